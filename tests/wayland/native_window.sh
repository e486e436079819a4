#!/usr/bin/env bash
# The real program as a native Wayland client under headless sway, driven as a user would.
#
# Usage: native_window.sh ROW PROGRAM VIRTUAL_POINTER [WINDOW_PICTURE], where ROW is one of
#   starts    native, application id "tallowby" although the program file is renamed, fixed size,
#             lives through a request to fill the screen, nothing on standard error
#   busy-run  a long run while the mouse moves over the busy pointer, with freed memory poisoned:
#             the program lives and writes its file
#   close     closing the window during a run ends the program and leaves nothing
#   children  the message box and the folder dialog are children of the window
#   picture   the window's picture is the X11 one's, pixel for pixel (WINDOW_PICTURE compares)
set -euo pipefail
row=$1
source "$(dirname "${BASH_SOURCE[0]}")/wayland_helpers.sh"
copy_program "$2"
# An output refreshed five times a second answers the pointer surface's frame callbacks late, as a
# busy compositor does: an animated busy pointer then meets Qt 6.4's fault at every run.
[[ $row == busy-run ]] && refresh=5
start_compositor sway
start_pointer "$3"

config() { printf '[Tallowby]\nText1=%s\nText2=%s\nText3=%s/\n' "$1" "$2" "$work/out" \
  >"$work/config/Kestrelane.conf"; chmod a+rw "$work/config/Kestrelane.conf"; }
config 100 100000
case $row in
  busy-run) config 100000000 100000 ;;  # some seconds
  close) config 300000000 100000 ;;
  children) config "" 100000 ;;  # "Must input a number." at the first press
esac

# The program as a Wayland session starts it, with its standard error kept. sway draws title
# bars, so the program stays native, although an X server seems to be there. Freed memory is
# poisoned with 0xa5, so that a use after free in any library crashes at once.
debug=
[[ $row == children ]] && debug=client  # the protocol's requests, to standard error
as_user env DISPLAY=:1999 WAYLAND_DEBUG="$debug" \
  LD_PRELOAD="$(gcc -print-file-name=libasan.so)" \
  ASAN_OPTIONS=detect_leaks=0:max_free_fill_size=4096:free_fill_byte=165 \
  "$program" 2>"$work/stderr.log" &
pid=$!
started+=($pid)

# The window's facts from sway: application id, shell, content origin and size.
window_facts() {
  tree | jq -r '.. | objects | select(.app_id? == "tallowby" and .name == "Tallowby") |
    "\(.app_id) \(.shell) \(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width)x\(.window_rect.height) \(.type)"'
}
facts=
for _ in $(seq 100); do
  facts=$(window_facts)
  [[ -n $facts ]] && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended: $(cat "$work/stderr.log")"
  sleep 0.1
done
[[ -n $facts ]] || fail "no window with application id tallowby: $(tree | jq -c '[.. | .app_id? // empty]')"
read -r app_id shell left top size type <<<"$facts"
sleep 0.5
# Clicks a point in the window's own pixels, as laid out.
click() { pointer move $((left + $1)) $((top + $2)); sleep 0.1; pointer click; sleep 0.2; }
# The mouse over the whole window for half a second.
wiggle() { pointer wiggle "$left" "$top" 536 364 500; }
keys() { as_user wtype -s 300 "$@"; sleep 0.3; }
# The run's new file has no name until the end; it is open in the output folder meanwhile.
run_started() {
  local fd
  for _ in $(seq 20); do
    for fd in /proc/"$pid"/fd/*; do
      [[ "$(readlink "$fd" 2>/dev/null)" == "$work/out/"* ]] && return 0
    done
    sleep 0.1
  done
  return 1
}
# Start Generating, pressed again where a click of the virtual pointer was lost.
start_run() {
  for _ in $(seq 5); do
    click 268 307
    run_started && return 0
  done
  fail "the run did not start"
}
# The toplevels that the program gave a parent, from its requests.
children() { grep -c 'xdg_toplevel@[0-9]*\.set_parent(xdg_toplevel@' "$work/stderr.log" || true; }
sway_command() { as_user env SWAYSOCK="$(echo "$work"/runtime/sway-ipc.*.sock)" swaymsg "$@" >/dev/null; }
# A close that meets a message box closes the box first and is ignored by the window it blocks:
# asked again until the program ends, or $1 tenths of a second.
close_window() {
  for _ in $(seq 10); do
    sway_command '[app_id=tallowby] kill' || true
    ended "${1:-10}" && return 0
  done
  return 0
}
ended() {
  for _ in $(seq "$1"); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
  return 1
}

case $row in
  starts)
    [[ $shell == xdg_shell ]] || fail "not a native client but $shell"
    [[ $size == 536x364 ]] || fail "the window is $size, not 536x364"
    [[ $type == floating_con ]] || fail "sway tiles the window: it is not of fixed size"
    # A compositor's request to fill the screen never ends the program.
    sway_command '[app_id=tallowby] fullscreen enable'
    sleep 0.5
    kill -0 "$pid" 2>/dev/null || fail "the program ended when asked to fill the screen"
    close_window
    ended 100 || fail "the program did not end when its window was closed"
    ;;
  busy-run)
    start_run
    # Until the run ends with its message box.
    while [[ ! -s $work/out/results.txt ]] && kill -0 "$pid" 2>/dev/null; do wiggle; done
    kill -0 "$pid" 2>/dev/null || fail "the program died during the run: $(head -20 "$work/stderr.log")"
    [[ $(wc -l <"$work/out/results.txt") -eq 100000000 ]] || fail "results.txt is not whole"
    close_window
    ;;
  close)
    start_run
    wiggle
    close_window
    ended 100 || fail "the program did not end within 10 seconds of the close"
    [[ -z $(ls -A "$work/out") ]] || fail "left behind: $(ls -A "$work/out")"
    ;;
  picture)
    pointer move 1000 700  # away from the window
    # Pictures half a blink apart, here and under X11: the text caret shows in some of them.
    for shot in 1 2 3 4; do
      sleep 0.5
      as_user grim -g "$left,$top 536x364" "$work/out/wayland-$shot.png"
    done
    close_window
    # The same program and settings under an X server, focused as sway focuses it.
    mkdir -m 700 "$work/x11-runtime"
    env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_CONFIG_HOME="$work/config" LANG=C.UTF-8 \
      XDG_RUNTIME_DIR="$work/x11-runtime" \
      xvfb-run -a -n 200 -s "-screen 0 1024x768x24 -noreset" bash -c '
        "$1" 2>/dev/null &
        window=$(xdotool search --sync --onlyvisible --name "^Tallowby$" | head -1)
        xdotool windowfocus --sync "$window"
        sleep 1
        status=0
        "$2" grab "$window" "$3/x11-1.png" && sleep 0.5 && "$2" grab "$window" "$3/x11-2.png" ||
          status=$?
        kill %1
        exit "$status"' x11 "$program" "$4" "$work/out" ||
      fail "no picture of the window under X11"
    same=
    for native in "$work"/out/wayland-*.png; do
      for x11 in "$work"/out/x11-*.png; do
        "$4" compare "$native" "$x11" >/dev/null && same=yes
      done
    done
    [[ -n $same ]] || { "$4" compare "$work/out/wayland-1.png" "$work/out/x11-1.png" || true;
      fail "the native window differs from the X11 one"; }
    ;;
  children)
    # Each step is retried: a click or a key of the virtual devices can be lost on a loaded machine.
    for _ in $(seq 5); do
      click 268 307  # Start Generating: "Must input a number."
      for _ in $(seq 20); do [[ $(children) -ge 1 ]] && break; sleep 0.1; done
      [[ $(children) -ge 1 ]] && break
    done
    [[ $(children) -eq 1 ]] || fail "the message box is not a child of the window"
    for _ in $(seq 5); do
      keys -k Return
      [[ $(tree | jq '[.. | objects | select(.app_id? == "tallowby")] | length') -eq 1 ]] && break
    done
    for _ in $(seq 5); do
      click 491 263  # the folder button
      for _ in $(seq 20); do [[ $(children) -ge 2 ]] && break; sleep 0.1; done
      [[ $(children) -ge 2 ]] && break
    done
    [[ $(children) -eq 2 ]] || fail "the folder dialog is not a child of the window"
    keys -k Escape
    close_window
    ;;
esac
ended 100 || fail "the program did not end when its window was closed"
wait "$pid" || fail "the program ended with status $?"
pid=
if [[ $row != children ]]; then
  [[ ! -s $work/stderr.log ]] || fail "standard error: $(head -20 "$work/stderr.log")"
fi
echo "PASS"
