#!/usr/bin/env bash
# Closing the real window during a long run ends the program, with nothing written: the old
# results.txt stays byte for byte and no new file is left. Run it through xvfb-run.
#
# Usage: close_during_run.sh <path to the tallowby executable> <path to close_window>
set -euo pipefail
program=$1
close_window=$2

source "$(dirname "${BASH_SOURCE[0]}")/x11_helpers.sh"
private_home

printf 'old\r\n' >"$work/out/results.txt"
# Prime numbers below two billion: a million of them take the better part of a second, so
# two billion would take half an hour.
cat >"$XDG_CONFIG_HOME/Kestrelane.conf" <<CONF
[Tallowby]
Text1=2000000000
Text2=2000000000
Text3=$work/out/
CONF

"$program" &
pid=$!
window=$(wait_for_window '^Tallowby$' 1 10)
xdotool windowfocus --sync "$window"
sleep 0.3
xdotool mousemove --window "$window" 300 88 click 1   # "Prime only"
sleep 0.2
xdotool mousemove --window "$window" 268 307 click 1  # "Start Generating"
sleep 2
# The new file, open in the folder, though it has no name there until the run ends.
writing=
for fd in /proc/"$pid"/fd/*; do
  [[ "$(readlink "$fd")" == "$work/out/"* ]] && writing=yes
done
[ -n "$writing" ] || fail "the run was not writing when the window was closed"

"$close_window" "$window"
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program did not end within 10 seconds of the close"
wait "$pid" || fail "the program ended with status $?"
pid=

[ "$(cat "$work/out/results.txt")" = $'old\r' ] || fail "the old results.txt was changed"
[ "$(ls -A "$work/out")" = "results.txt" ] || fail "left behind: $(ls -A "$work/out" | tr '\n' ' ')"
echo "PASS"
