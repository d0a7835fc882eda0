#!/usr/bin/env bash
# Runs every test under Wine: one Xvfb display (unless DISPLAY is given), one Wine server kept
# alive for the whole run so each test program starts quickly.
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

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "run-tests: preparing the Wine prefix in $WINEPREFIX"
  wineboot -i >/dev/null 2>&1
fi
wineserver -p
# A crash ends the program at once with its backtrace, instead of waiting on Wine's crash dialog
# that nobody clicks. Set on every run, so a prefix made before this setting gets it too.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1 ||
  { echo "run-tests: could not turn Wine's crash dialog off" >&2; exit 1; }
# Start Wine's background services now, outside CTest: a service started by the first test would
# inherit CTest's output pipe and keep CTest waiting for it to close.
wine cmd.exe /c exit </dev/null >/dev/null 2>&1

ctest --test-dir "$build" --output-on-failure --no-tests=error -j"$(nproc)" "$@"
