#!/usr/bin/env bash
# Under headless weston, which draws no title bars of its own for Wayland clients, the program
# goes through XWayland, where weston's title bars offer what X11's offer: no maximize for the
# fixed-size window, as its size hints say.
#
# Usage: title_bars.sh PROGRAM
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wayland_helpers.sh"
copy_program "$1"
start_compositor weston
display=
for _ in $(seq 100); do
  display=$(grep -ao 'xserver listening on display :[0-9]*' "$work/compositor.log" | grep -o ':[0-9]*$' || true)
  [[ -n $display ]] && break
  sleep 0.1
done
[[ -n $display ]] || fail "weston started no XWayland"

as_user env DISPLAY="$display" "$program" 2>"$work/stderr.log" &
pid=$!
started+=($pid)
window=
for _ in $(seq 100); do
  window=$(as_user env DISPLAY="$display" xdotool search --name '^Tallowby$' 2>/dev/null | head -1 || true)
  [[ -n $window ]] && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended: $(cat "$work/stderr.log")"
  sleep 0.1
done
[[ -n $window ]] || fail "the window did not come through XWayland"
hints=$(as_user env DISPLAY="$display" xprop -id "$window" WM_NORMAL_HINTS)
grep -q 'minimum size: 536 by 364' <<<"$hints" && grep -q 'maximum size: 536 by 364' <<<"$hints" ||
  fail "the window's size is not fixed for the window manager: $hints"
kill "$pid"
wait "$pid" 2>/dev/null || true
[[ ! -s $work/stderr.log ]] || fail "standard error: $(head -20 "$work/stderr.log")"
echo "PASS"
