#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks the tree: the program folder with its skin
# and cursor, the link in bin, the icons and the menu entry; then starts the installed program.
#
# Usage: install_tree.sh <build folder>
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" > /dev/null

libdir=$(cmake -LA -N "$build" | sed -n 's/^CMAKE_INSTALL_LIBDIR:[A-Z]*=//p')
program_folder="$prefix/${libdir:-lib}/tallowby"
for file in tallowby HAND-M.CUR x/o.cjs; do
  [ -f "$program_folder/$file" ] || fail "missing $program_folder/$file"
done
[ -x "$program_folder/tallowby" ] || fail "the program is not executable"
if [ -f "$build/bin/libtallowby_calc.so" ]; then
  [ -f "$program_folder/libtallowby_calc.so" ] || fail "the spreadsheet plugin is not beside the program"
fi
[ -L "$prefix/bin/tallowby" ] || fail "no link in bin"
[ "$(readlink -f "$prefix/bin/tallowby")" = "$(readlink -f "$program_folder/tallowby")" ] ||
  fail "bin/tallowby does not lead to the program folder"
for size in 32 48 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/tallowby.png"
  [ -f "$icon" ] || fail "missing $icon"
  [ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$icon is no PNG"
done
desktop="$prefix/share/applications/tallowby.desktop"
grep -qx 'Exec=tallowby' "$desktop" || fail "the menu entry does not start tallowby"
grep -qx 'Icon=tallowby' "$desktop" || fail "the menu entry has no icon"

# The installed program starts from its link and keeps running until it is closed.
export HOME="$prefix/home" XDG_CONFIG_HOME="$prefix/config" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
"$prefix/bin/tallowby" &
pid=$!
sleep 2
kill -0 "$pid" 2>/dev/null || fail "the installed program did not keep running"
kill "$pid"
wait "$pid" 2>/dev/null || true
grep -q '^Text1=100$' "$XDG_CONFIG_HOME/Kestrelane.conf" || fail "the installed program did not start up"
echo PASS
