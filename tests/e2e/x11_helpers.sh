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
