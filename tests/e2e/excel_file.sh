#!/usr/bin/env bash
# "Excel File" in the real program under an X server: LibreOffice Calc comes up with a new,
# untitled workbook holding the numbers in column A, Tallowby says "Done.", and the workbook stays
# open after Tallowby has gone. Run it through xvfb-run; it needs xdotool, xclip and LibreOffice.
#
# Usage: excel_file.sh <path to the tallowby executable>
set -euo pipefail
program=$1

work=$(mktemp -d)
pid=
office_pipe=
cleanup() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  # The office outlives Tallowby by design; the test ends the one it caused, and its sockets.
  if [ -n "$office_pipe" ]; then
    pkill -KILL -f "pipe,name=$office_pipe;" 2>/dev/null || true
    for _ in $(seq 50); do pgrep -f "pipe,name=$office_pipe;" > /dev/null || break; sleep 0.1; done
  fi
  # A killed office leaves its sockets behind; remove those made during this test.
  find /tmp -maxdepth 1 -name 'OSL_PIPE_*' -newer "$work/started" -delete 2>/dev/null || true
  rm -rf "$work"
}
trap 'status=$?; cleanup; exit $status' EXIT
touch "$work/started"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
mkdir -p "$HOME/Desktop" "$XDG_CONFIG_HOME"
unset QT_QPA_PLATFORM

source "$(dirname "${BASH_SOURCE[0]}")/x11_helpers.sh"

"$program" &
pid=$!
window=$(wait_for_window '^Tallowby$' 1 20)
xdotool windowfocus --sync "$window"
sleep 0.3
xdotool key ctrl+a && xdotool type 25                    # highest possible number
xdotool mousemove --window "$window" 150 36 click 1      # "Excel File"
sleep 0.5
[ "$(xdotool search --onlyvisible --name '^Tallowby$' | grep -c .)" -eq 1 ] ||
  fail "choosing Excel File said the spreadsheet application is missing"
xdotool mousemove --window "$window" 268 307 click 1     # "Start Generating"

calc=$(wait_for_window '^Untitled 1 - LibreOffice Calc$' 1 90)
wait_for_window '^Tallowby$' 2 30 > /dev/null            # the "Done." box beside the window
office_pipe=$(pgrep -a -f 'soffice.bin' | grep -o "tallowby_${pid}_[^;]*" | head -n 1 || true)

# Stop Tallowby; the workbook must stay.
kill "$pid"; wait "$pid" 2>/dev/null || true; pid=
sleep 1
xdotool search --onlyvisible --name '^Untitled 1 - LibreOffice Calc$' > /dev/null ||
  fail "the workbook closed with Tallowby"

# Copy column A from A1 down to its last filled cell: 100 numbers from 1 to 26, and nothing
# below them, or the selection would reach further.
xdotool windowfocus --sync "$calc"
sleep 0.5
xdotool key ctrl+Home
xdotool key ctrl+shift+Down
sleep 0.3
xdotool key ctrl+c
sleep 0.5
cells=$(xclip -selection clipboard -o | tr -d '\r')
count=$(printf '%s\n' "$cells" | grep -c '^[0-9][0-9]*$' || true)
[ "$count" -eq 100 ] || fail "expected 100 numbers in column A, found $count"
printf '%s\n' "$cells" | grep '^[0-9]' | while read -r n; do
  { [ "$n" -ge 1 ] && [ "$n" -le 26 ]; } || fail "$n is outside 1..26"
done
echo PASS
