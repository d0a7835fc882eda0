#!/usr/bin/env bash
# Makes the Wine prefix named by WINEPREFIX ready for the tests: created when it is missing, Wine's
# crash dialog off, its background services started. Run with the tests' environment (WINEPREFIX,
# DISPLAY, LANG...) set; safe to run for the same prefix from several places at once.
set -u
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "prepare-prefix: preparing the Wine prefix in $WINEPREFIX" >&2
  wineboot -i </dev/null >/dev/null 2>&1
fi
# A crash ends the program at once with its backtrace, instead of waiting on Wine's crash dialog
# that nobody clicks. Set on every run, so a prefix made before this setting gets it too.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1 ||
  { echo "prepare-prefix: could not turn Wine's crash dialog off in $WINEPREFIX" >&2; exit 1; }
# Start Wine's background services now, with no output to inherit: a service started by a test
# program would hold that program's output pipe open long after it ended.
wine cmd.exe /c exit </dev/null >/dev/null 2>&1
exit 0
