# Shared by the Wayland tests; source it. A headless compositor, sway or weston, runs as an
# unprivileged user (sway refuses root, and CI runs as root) in a folder of its own, and the
# program runs as that user beside it, natively: QT_QPA_PLATFORM=wayland.

fail() { echo "FAIL: $*" >&2; exit 1; }

# The user the compositor and the program run as, when the test runs as root.
user_id=$(id -u)
[[ $user_id -eq 0 ]] && user_id=$(id -u nobody)

# A private folder in "$work" (runtime folder, home, configuration, output, the program's own
# copy) readable by that user, removed at the end with everything started in it.
work=$(mktemp -d)
chmod 755 "$work"
started=()
finish() {
  local status=$? pid
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${started[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
  exit "$status"
}
trap finish EXIT
mkdir -m 700 "$work/runtime"
mkdir -p "$work/home/Desktop" "$work/config" "$work/out"
[[ $(id -u) -eq 0 ]] && chown -R "$user_id:$user_id" "$work/runtime" "$work/home" "$work/config" \
  "$work/out"

# Runs a command as the user, in the compositor's environment and nothing of the caller's. Run
# in the background, it takes the place of the shell that runs it, so that its process id is $!.
as_user() {
  local become=()
  [[ $(id -u) -eq 0 ]] && become=(setpriv --reuid="$user_id" --regid="$user_id" --clear-groups)
  [[ $BASH_SUBSHELL -gt 0 ]] && become=(exec "${become[@]}")
  "${become[@]}" env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_CONFIG_HOME="$work/config" \
    XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY=wayland-1 XDG_SESSION_TYPE=wayland LANG=C.UTF-8 \
    "$@"
}

# Starts sway or weston, headless, with a 1024x768 output (sway's refreshed $refresh times a
# second, 60 unless set), and waits for its socket.
start_compositor() {
  case $1 in
    sway)
      printf 'output HEADLESS-1 mode 1024x768@%sHz position 0 0\n' "${refresh:-60}" >"$work/sway.conf"
      as_user env WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        sway -c "$work/sway.conf" >"$work/compositor.log" 2>&1 &
      ;;
    weston)
      as_user weston --backend=headless-backend.so --use-pixman --width=1024 --height=768 \
        --socket=wayland-1 --idle-time=0 --xwayland >"$work/compositor.log" 2>&1 &
      ;;
  esac
  started+=($!)
  for _ in $(seq 100); do
    [[ -S $work/runtime/wayland-1 ]] && return 0
    sleep 0.1
  done
  cat "$work/compositor.log" >&2
  fail "$1 did not start"
}

# sway's tree, for the window facts.
tree() { as_user env SWAYSOCK="$(echo "$work"/runtime/sway-ipc.*.sock)" swaymsg -t get_tree; }

# A copy of the program folder the user can read, under another name than the program's own.
copy_program() {
  local folder
  folder=$(dirname "$1")
  cp -r "$folder" "$work/program"
  mv "$work/program/$(basename "$1")" "$work/program/renamed"
  chmod -R a+rX "$work/program"
  program="$work/program/renamed"
}

# One virtual pointer for the whole test (see virtual_pointer.cpp), started once the compositor
# runs; pointer COMMAND... sends a command and waits until it is done.
start_pointer() {
  coproc POINTER { as_user "$1" 1024 768 2>&1; }
  started+=($!)
  local reply
  read -r -t 10 reply <&"${POINTER[0]}" && [[ $reply == ready ]] || fail "no virtual pointer: $reply"
}
pointer() {
  local reply
  echo "$*" >&"${POINTER[1]}"
  read -r -t 60 reply <&"${POINTER[0]}" && [[ $reply == done ]] || fail "pointer $*: $reply"
}
