#!/usr/bin/env bash
# The same run of 10,000,000 numbers through the real window twice: the Linux program natively,
# and Tallowby.exe under Wine, each timed from the press of "Start Generating" until results.txt
# takes its place (just before the "Done." box).
# Needs the native build (scripts/test: build/test) and the Windows lane's (build/windows).
#
# Usage: bench/windows_vs_linux.sh [count]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
count=${1:-10000000}
[ -n "${TALLOWBY_BENCH_IN_X:-}" ] || exec env TALLOWBY_BENCH_IN_X=1 \
  xvfb-run -a -n 190 -s "-screen 0 1280x1024x24 -noreset" bash "$0" "$@"

source "$root/tests/e2e/x11_helpers.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"; wineserver -k 2>/dev/null || true' EXIT
mkdir -p "$work/out" "$work/config" "$work/home/Desktop"

# Natively: the settings file holds the fields, xdotool presses the button, and the run ends
# when results.txt takes its place, just before the "Done." box.
cat >"$work/config/Kestrelane.conf" <<CONF
[Tallowby]
Text1=$count
Text2=100000
Text3=$work/out/
CONF
HOME="$work/home" XDG_CONFIG_HOME="$work/config" "$root/build/test/bin/tallowby" &
pid=$!
window=$(wait_for_window '^Tallowby$' 1 20)
sleep 0.5
start=$(date +%s.%N)
xdotool mousemove --window "$window" 268 307 click 1
while [ ! -f "$work/out/results.txt" ]; do sleep 0.002; done
end=$(date +%s.%N)
wait_for_window '^Tallowby$' 2 60 >/dev/null
kill "$pid"; wait "$pid" 2>/dev/null || true
linux=$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')

# Under Wine, in the lane's prefix.
source "$root/scripts/wine-environment.sh"
tallowby_wine_environment "$root/build/windows"
tallowby_wine_prepare_prefix
rm -f "$work/out/results.txt"
wine_seconds=$(wine explorer /desktop=bench,1024x768 \
  "$root/build/windows/bench/windows/tallowby_window_run_bench.exe" \
  "Z:$(echo "$root/build/windows/bin/Tallowby.exe" | tr / '\\')" \
  "Z:$(echo "$work/out/" | tr / '\\')" "$count" 2>/dev/null | tr -d '\r')

echo "$count numbers, from the press to the finished results.txt:"
printf '  Linux (Qt):         %.3f s\n' "$linux"
printf '  Windows under Wine: %.3f s = %.2f x Linux\n' "$wine_seconds" \
  "$(awk -v w="$wine_seconds" -v l="$linux" 'BEGIN { print w / l }')"
