#!/usr/bin/env bash
# Inside the pristine root that scripts/test-pristine makes: the package installed as a new user
# would install it, used, and purged. Usage: pristine_root.sh PACKAGE.deb QT_TESTS
#
# QT_TESTS is the test program of the Qt window; its font test, run here, measures every caption
# against its control in the fonts this pristine system resolves.
set -euo pipefail
deb=$1
qt_tests=$2
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Without recommendations: what the package declares must be enough.
apt-get install -y -q --no-install-recommends "$deb" >/tmp/install.log 2>&1 ||
  { cat /tmp/install.log; fail "the package does not install on a pristine system"; }
dpkg -L tallowby | sort >/tmp/files
# A Wayland session gets the native window: Qt's Wayland plugin came with the package.
find /usr/lib -path '*/qt6/plugins/platforms/libqwayland-generic.so' | grep -q . ||
  fail "the package does not bring Qt's Wayland plugin"
fc-match 'Arial:bold' | grep -q 'Liberation Sans' ||
  fail "Arial is not Liberation Sans but $(fc-match 'Arial:bold')"

home=/home/tester
mkdir -p "$home"
cd "$home"
[[ $(HOME=$home tallowby-cli --count 3 --highest 10 | wc -l) -eq 3 ]] || fail "tallowby-cli"

# The tools that look at the window come only after the package, so they satisfy none of its
# dependencies.
apt-get install -y -q --no-install-recommends xvfb xauth xdotool netpbm libqt6test6 \
  >/tmp/tools.log 2>&1 ||
  { cat /tmp/tools.log; fail "the lane's tools do not install"; }

# The window, under an X server of its own that the host's programs cannot reach (a network
# namespace of its own: X listens on abstract sockets).
unshare --net bash -euo pipefail -c '
  home=$1 qt_tests=$2
  fail() { echo "FAIL: $*" >&2; exit 1; }
  mkdir -p /tmp/screen
  exec 3>/tmp/display
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 -fbdir /tmp/screen >/tmp/xvfb.log 2>&1 &
  for _ in $(seq 100); do [[ -s /tmp/display ]] && break; sleep 0.1; done
  export DISPLAY=:$(cat /tmp/display) HOME=$home XDG_RUNTIME_DIR=/tmp/runtime
  mkdir -m 700 -p "$XDG_RUNTIME_DIR"
  "$qt_tests" --gtest_filter=Fonts.* >/tmp/fonts.log 2>&1 || { cat /tmp/fonts.log; fail "fonts"; }
  grep -q "font: Liberation Sans" /tmp/fonts.log || { cat /tmp/fonts.log; fail "not Liberation Sans"; }
  tallowby >/tmp/tallowby.log 2>&1 &
  window=$(xdotool search --sync --onlyvisible --name "^Tallowby$" | head -1)
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xwdtopnm </tmp/screen/Xvfb_screen0 2>/dev/null | pamcut -left "$X" -top "$Y" -width 536 \
    -height 364 >/tmp/window.ppm
  pnmtopng </tmp/window.ppm >/mnt/out/window.png
  # A text run with the stored defaults: 100 numbers into results.txt in the home folder, as
  # there is no desktop folder.
  xdotool mousemove --window "$window" 268 307 click 1
  for _ in $(seq 100); do [[ -f $home/results.txt ]] && break; sleep 0.1; done
  [[ $(wc -l <"$home/results.txt") -eq 100 ]] || fail "the run did not write 100 numbers"
' window "$home" "$qt_tests"

apt-get purge -y -q tallowby >/tmp/purge.log 2>&1 || { cat /tmp/purge.log; fail "purge"; }
while read -r file; do
  [[ -d $file ]] && continue
  [[ -e $file || -L $file ]] && fail "left behind after the purge: $file"
done </tmp/files
echo "PASS"
