#!/usr/bin/env bash
# The real program under an X server, used as a person would: type into the fields, pick an
# option, press "Start Generating", close the message, then start again and find the fields as
# they were left. Run it through xvfb-run; it needs xdotool and xclip.
#
# Usage: end_to_end.sh <path to the tallowby executable>
set -euo pipefail
program=$1

source "$(dirname "${BASH_SOURCE[0]}")/x11_helpers.sh"
private_home

start() {
  "$program" &
  pid=$!
  window=$(wait_for_window '^Tallowby$' 1 10)
  xdotool windowfocus --sync "$window"
  sleep 0.3
}

# Clicks a point given in the window's own pixels, as laid out.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.2; }
type_text() { xdotool type --delay 20 "$1"; sleep 0.2; }
key() { xdotool key --delay 30 "$@"; sleep 0.2; }
selected_text() {
  key ctrl+c
  xclip -selection clipboard -o 2>/dev/null || true
}

start
# The focus starts in "Highest possible number" with its text selected: typing replaces it.
type_text 50
key Tab
type_text 20        # "How many numbers", selected on Tab
key Tab Tab Tab Tab # Start Generating, the output group, the kind group, then the folder field
key ctrl+a
type_text "$work/out"
click 200 88        # "Odd"
click 268 307       # "Start Generating"

box=$(wait_for_window '^Tallowby$' 2 10)  # the message box beside the window
xdotool windowfocus --sync "$box"
key Return
[ -f "$work/out/results.txt" ] || fail "results.txt was not written"
lines=$(tr -d '\r' < "$work/out/results.txt" | grep -c .)
[ "$lines" -eq 20 ] || fail "expected 20 numbers, found $lines"
[ "$(grep -c $'\r$' "$work/out/results.txt")" -eq 20 ] || fail "every line must end in CR LF"
while read -r n; do
  n=${n%$'\r'}
  { [ $((n % 2)) -eq 1 ] && [ "$n" -ge 1 ] && [ "$n" -le 51 ]; } || fail "$n is not odd in 1..51"
done < "$work/out/results.txt"

kill "$pid"; wait "$pid" 2>/dev/null || true; pid=

start
[ "$(selected_text)" = "50" ] || fail "the highest number was not restored"
key Tab
[ "$(selected_text)" = "20" ] || fail "the count was not restored"
grep -q "^Text3=$work/out\$" "$XDG_CONFIG_HOME/Kestrelane.conf" || fail "the folder was not stored"
echo "PASS"
