#!/usr/bin/env bash
# Runs every test under Wine: one Xvfb display (unless DISPLAY is given), one Wine server kept
# alive for the whole run so each test program starts quickly. A test program registered with a
# prefix of its own (VARNOK_OWN_PREFIX) gets its own server and display instead (tools/wine-run.sh).
# Usage: run-tests.sh BUILD_DIR [CTEST_ARGS...]
set -u
build=$(cd "$1" && pwd); shift
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="${VARNOK_WINEPREFIX:-$build/wineprefix}"
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid=
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1
  true
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  # Read straight from the script: a file in the build folder could be another run's by the time it is read.
  read -r DISPLAY xvfb_pid < <("$here/start-xvfb.sh") || { echo "run-tests: Xvfb did not start" >&2; exit 1; }
  export DISPLAY
fi

wineserver -p
"$here/prepare-prefix.sh" || exit 1

ctest --test-dir "$build" --output-on-failure --no-tests=error -j"$(nproc)" "$@"
