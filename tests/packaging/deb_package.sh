#!/usr/bin/env bash
# Makes the Debian package with scripts/package and checks it as a Debian desktop would meet it:
# its control fields and lintian's verdict; installed into a throw-away root, every file where the
# desktop looks for it and the installed program's window; purged, nothing left behind.
#
# Needs lintian, desktop-file-utils, appstream, xvfb and xdotool (scripts/test-packages installs
# them).
set -euo pipefail
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
helpers="$source_dir/tests/e2e/x11_helpers.sh"
source "$helpers"

bash "$source_dir/scripts/package" >/dev/null
debs=("$source_dir"/build/packages/tallowby_*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one package, found: ${debs[*]}"
deb=${debs[0]}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Installing runs nothing: the package has no maintainer scripts.
control=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -vxE '\./|\./control|\./md5sums' || true)
[ -z "$control" ] || fail "the package has maintainer scripts: $control"

# Dependencies come from the binaries; LibreOffice, and the UNO runtime the Calc plugin links, are
# only recommended, as "Excel File" is the one thing that needs them.
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libqt6widgets6* ]] || fail "Depends does not name the Qt libraries: $depends"
[[ $depends == *fonts-liberation2* ]] || fail "Depends does not name the window's font: $depends"
[[ $depends == *qt6-wayland* ]] || fail "Depends does not name Qt's Wayland plugin: $depends"
! grep -qiE 'uno|libreoffice' <<<"$depends" || fail "Depends names LibreOffice: $depends"
[ "$(dpkg-deb -f "$deb" Recommends)" = libreoffice-calc ] || fail "Calc is not recommended"
apt-get install --simulate -q "$deb" >/dev/null || fail "apt cannot satisfy the package's Depends"

lintian --fail-on error "$deb" || fail "lintian reports errors"

# The throw-away root has a dpkg database of its own, holding nothing else, so this package's
# dependencies are not there and are not needed for what follows.
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
in_root() {
  dpkg --root="$root" --log=/dev/null --force-not-root --force-depends "$@" >"$work/dpkg.out" 2>&1 ||
    { cat "$work/dpkg.out" >&2; fail "dpkg $*"; }
}
in_root --install "$deb"

link="$root/usr/bin/tallowby"
[ -L "$link" ] || fail "no link /usr/bin/tallowby"
program=$(readlink -f "$link")
program_folder=$(dirname "$program")
[[ $program_folder == "$root"/usr/lib/*/tallowby || $program_folder == "$root"/usr/lib/tallowby ]] ||
  fail "/usr/bin/tallowby leads to ${program#"$root"}, not into a program folder under /usr/lib"
[ -x "$program" ] || fail "the program is not executable"
for file in libtallowby_calc.so HAND-M.CUR x/o.cjs; do
  [ -f "$program_folder/$file" ] || fail "$file is not in the program folder"
done
cli_link="$root/usr/bin/tallowby-cli"
[ "$(readlink -f "$cli_link")" = "$program_folder/tallowby-cli" ] ||
  fail "/usr/bin/tallowby-cli does not lead to tallowby-cli in the program folder"
[ "$("$cli_link" --count 3 --highest 0 --lf)" = $'1\n1\n1' ] ||
  fail "the installed tallowby-cli does not draw"
[ -f "$root/usr/share/man/man1/tallowby-cli.1.gz" ] || fail "no manual page for tallowby-cli"
completion="$root/usr/share/bash-completion/completions/tallowby-cli"
[ -f "$completion" ] && bash -n "$completion" || fail "no bash completion for tallowby-cli"
for size in 32 48 128 256; do
  icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/tallowby.png"
  [[ $(file -b "$icon") == "PNG image data, $size x $size,"* ]] || fail "no $size pixel icon"
done
desktop-file-validate "$root/usr/share/applications/tallowby.desktop" ||
  fail "the menu entry is not valid"
metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --pedantic "${metainfo[@]}" || fail "the AppStream metadata is not valid"

# The program, started through its link, opens its window; the settings go to a folder of the
# test's own.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
unset QT_QPA_PLATFORM
xvfb-run -a -n 200 -s "-screen 0 1280x1024x24 -noreset" bash -c '
  source "$1"
  "$2" &
  pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  wait_for_window "^Tallowby$" 1 20 >/dev/null
  kill "$pid"
  wait "$pid" 2>/dev/null || true' _ "$helpers" "$link" || fail "the installed program showed no window"

in_root --purge tallowby
left=$(cd "$root" && find . -mindepth 1 -path ./var/lib/dpkg -prune -o -print |
  grep -vxE '\./var|\./var/lib' || true)
[ -z "$left" ] || fail "purging left behind: $left"
echo "PASS: $(basename "$deb")"
