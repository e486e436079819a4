# Shared by the scripts in this folder: the Debian packages Tallowby needs, installed when
# missing, and the configure step. Source it; do not run it.

TALLOWBY_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Building and running the program, "Excel File" (LibreOffice Calc) included.
TALLOWBY_RUN_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev libgl-dev libxcursor-dev libwayland-dev qt6-qpa-plugins qt6-wayland
  fonts-liberation2
  libreoffice-calc libreoffice-dev
)
# Testing adds GoogleTest, Google Benchmark, an X server for the end-to-end tests and the tools
# that drive it, clang-format for the formatting check, and DejaVu, the wider font the window is
# also tested in.
TALLOWBY_TEST_PACKAGES=(
  "${TALLOWBY_RUN_PACKAGES[@]}" fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool xclip x11-utils libx11-dev
  clang-format
)
# The Wayland lane: headless compositors (sway, and weston, which draws no title bars, with
# XWayland), pictures, keys, the window's facts from sway, and AddressSanitizer's runtime, whose
# poisoned freed memory turns a use after free into a crash.
TALLOWBY_WAYLAND_PACKAGES=(
  sway weston xwayland grim wtype jq libasan8
)

# Packaging adds dpkg-shlibdeps, and file, with which CPack finds the binaries to ask it about;
# for Windows, mingw-w64 and wixl, which makes the MSI.
TALLOWBY_PACKAGE_PACKAGES=(
  "${TALLOWBY_RUN_PACKAGES[@]}"
  dpkg-dev file
  g++-mingw-w64-x86-64-posix wixl
)

tallowby_missing_packages() {
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$' ||
      echo "$package"
  done
}

tallowby_install_packages() {
  local missing
  mapfile -t missing < <(tallowby_missing_packages "$@")
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing ${missing[*]}" >&2
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    "${missing[@]}"
}

# Configures a build folder once; later calls leave it to the build tool, which re-runs CMake
# itself when a CMakeLists.txt changes.
tallowby_configure() {
  local build_dir=$1
  shift
  if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S "$TALLOWBY_ROOT" -B "$build_dir" -G Ninja "$@"
  fi
}

# The clang build that the sanitizer lane and the fuzz targets share, in build/sanitize:
# AddressSanitizer and UndefinedBehaviorSanitizer, libFuzzer's coverage, no Qt and no LibreOffice.
# Optimised, so that tests and fuzzers run at a useful speed, with the debugging information the
# sanitizers' reports name lines from. A unity build, which compiles it in little more than half
# the time; the main build, file by file, still catches a file that lacks an include.
TALLOWBY_SANITIZE_BUILD="$TALLOWBY_ROOT/build/sanitize"
tallowby_build_sanitized() {
  # clang brings the sanitizers; libFuzzer's runtime is in clang's runtime package.
  tallowby_install_packages cmake ninja-build clang libclang-rt-14-dev libgtest-dev libgmock-dev
  tallowby_configure "$TALLOWBY_SANITIZE_BUILD" -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_UNITY_BUILD=ON -DTALLOWBY_CORE_ONLY=ON -DTALLOWBY_LIBREOFFICE_PLUGIN=OFF \
    -DTALLOWBY_BUILD_BENCH=OFF -DTALLOWBY_SANITIZE=ON -DTALLOWBY_FUZZ=ON \
    -DTALLOWBY_WARNINGS_AS_ERRORS=ON
  cmake --build "$TALLOWBY_SANITIZE_BUILD" --parallel "$(nproc)"
}
