#!/usr/bin/env bash
# Makes the Windows packages with scripts/package and checks them under Wine as a Windows user
# would meet them: the MSI installed silently, the program folder and the Start-menu shortcut in
# place, the installed Tallowby.exe showing its window and closing; uninstalled silently, nothing
# left behind. The zip holds the same program folder.
#
# Wine runs in a fresh private prefix in build/package-windows/wine each time, so an install left
# over from an earlier run cannot hide a fault. Needs wine, xvfb and mingw-w64 (scripts/test-packages
# installs them).
set -euo pipefail
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$source_dir/tests/e2e/x11_helpers.sh"
source "$source_dir/scripts/wine-environment.sh"

bash "$source_dir/scripts/package" >/dev/null
msis=("$source_dir"/build/packages/Tallowby-*-x64.msi)
zips=("$source_dir"/build/packages/Tallowby-*-windows.zip)
[ ${#msis[@]} -eq 1 ] && [ -f "${msis[0]}" ] || fail "expected one MSI, found: ${msis[*]}"
[ ${#zips[@]} -eq 1 ] && [ -f "${zips[0]}" ] || fail "expected one zip, found: ${zips[*]}"
msi=${msis[0]}

files=(Tallowby.exe HAND-M.CUR x/o.cjs)
listed=$(unzip -Z1 "${zips[0]}" | grep -v '/$' | sort)
expected=$(printf 'Tallowby/%s\n' "${files[@]}" | sort)
[ "$listed" = "$expected" ] || fail "the zip holds: $listed"

build="$source_dir/build/package-windows"
unset WINEDEBUG WINEDLLOVERRIDES DISPLAY WAYLAND_DISPLAY
rm -rf "$build/wine"
tallowby_wine_environment "$build"
trap 'wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true' EXIT
tallowby_wine_prepare_prefix

# The helper that starts the installed program and closes its window.
helper="$build/start_and_close.exe"
x86_64-w64-mingw32-g++-posix -std=c++20 -O1 -Wall -Wextra -Wpedantic -Werror -static \
  -o "$helper" "$source_dir/tests/packaging/start_and_close.cpp"

windows_path() { local path=$1; echo "Z:${path//\//\\}"; }
drive_c="$WINEPREFIX/drive_c"
program_folder="$drive_c/Program Files/Kestrelane/Tallowby"
# Windows puts a per-machine install's shortcut into the common Start menu, Wine into the
# installing user's; either will do.
shortcuts() {
  find "$drive_c/ProgramData" "$drive_c/users" -path '*/Start Menu/Programs/Tallowby.lnk' \
    2>/dev/null || true
}
key='HKLM\Software\Kestrelane'

wine msiexec /i "$(windows_path "$msi")" /qn >/dev/null 2>&1 || fail "msiexec /i failed"
for file in "${files[@]}"; do
  cmp -s "$program_folder/$file" "$build/packaging/Tallowby/$file" ||
    fail "$file is not installed as packed"
done
shortcut=$(shortcuts)
[ -n "$shortcut" ] || fail "no Start-menu shortcut"
grep -qa 'Kestrelane\\Tallowby\\Tallowby.exe' "$shortcut" ||
  fail "the shortcut does not lead to the installed Tallowby.exe"

report=$(xvfb-run -a -n 220 -s "-screen 0 1280x1024x24 -noreset" \
  "$source_dir/cmake/wine-emulator" --virtual-desktop "$helper" \
  'C:\Program Files\Kestrelane\Tallowby\Tallowby.exe' 2>&1 || true)
tr -d '\r' <<<"$report" | grep -qx PASS || fail "the installed program: $report"

wine msiexec /x "$(windows_path "$msi")" /qn >/dev/null 2>&1 || fail "msiexec /x failed"
[ ! -e "$drive_c/Program Files/Kestrelane" ] ||
  fail "uninstalling left: $(cd "$drive_c/Program Files" && find Kestrelane)"
[ -z "$(shortcuts)" ] || fail "uninstalling left the shortcut"
! wine reg query "$key" >/dev/null 2>&1 || fail "uninstalling left the registry key $key"
echo "PASS: $(basename "$msi"), $(basename "${zips[0]}")"
