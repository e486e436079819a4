# Shared by the end-to-end scripts; source it.

fail() { echo "FAIL: $*" >&2; exit 1; }

# Waits until at least `count` visible windows have a name matching `pattern`, for at most
# `seconds`, and prints the newest.
wait_for_window() {
  local pattern=$1 count=$2 seconds=$3 ids
  for _ in $(seq $((seconds * 10))); do
    ids=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null || true)
    if [ "$(echo "$ids" | grep -c .)" -ge "$count" ]; then
      echo "$ids" | tail -n 1
      return 0
    fi
    sleep 0.1
  done
  fail "fewer than $count windows named '$pattern' appeared"
}

# A private home, configuration and output folder for the program in "$work", removed at the
# end together with the program, when it still runs as "$pid".
private_home() {
  work=$(mktemp -d)
  pid=
  trap 'status=$?; if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi; rm -rf "$work"; exit $status' EXIT
  export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
  mkdir -p "$HOME/Desktop" "$XDG_CONFIG_HOME" "$work/out"
  unset QT_QPA_PLATFORM
}
