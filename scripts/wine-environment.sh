# The Wine environment the Windows tests run in, shared by scripts/test-windows and
# cmake/wine-emulator. Source it; do not run it.
#
# Wine's whole state (prefix and home) lives in the build folder's wine/ folder: a test run never
# touches the user's own Wine, and deleting the build folder leaves nothing behind.

# Exports the Wine environment. With a build folder, Wine's state is that folder's; without one,
# WINEPREFIX and HOME are left as they are, pointing at it already. WINEDEBUG and WINEDLLOVERRIDES
# keep a value the caller set, for looking into one test by hand.
tallowby_wine_environment() {
  if [[ $# -gt 0 ]]; then
    export WINEPREFIX="$1/wine/prefix"
    export HOME="$1/wine/home"
  fi
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEARCH=win64
  # No .NET or browser engine downloads, and no menu entries or file associations on the host.
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
}

# A program started while wineboot is still setting up the prefix can wait for minutes on COM, so
# the prefix is finished (and its wineserver gone) before the first program runs. Programs started
# side by side take turns here.
tallowby_wine_prepare_prefix() {
  mkdir -p "$HOME" "$(dirname "$WINEPREFIX")"
  [[ -f "$WINEPREFIX/.tallowby-ready" ]] && return 0
  (
    flock 9
    if [[ ! -f "$WINEPREFIX/.tallowby-ready" ]]; then
      wineboot --init >/dev/null 2>&1
      wineserver -w
      touch "$WINEPREFIX/.tallowby-ready"
    fi
  ) 9>"$(dirname "$WINEPREFIX")/.prefix.lock"
}
