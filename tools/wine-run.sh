#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's private prefix and Japanese locale.
# Usage: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
set -u
build=$(cd "$1" && pwd); shift
export WINEPREFIX="${VARNOK_WINEPREFIX:-$build/wineprefix}"
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko install prompts: nothing here needs them.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64
if [ -z "${DISPLAY:-}" ]; then
  # A display of its own, numbered by Xvfb itself: programs started side by side (CTest without
  # run-tests.sh) would race for the number that xvfb-run -a checks first and takes after.
  read -r DISPLAY xvfb_pid < <("$(dirname "$0")/start-xvfb.sh") || { echo "wine-run: Xvfb did not start" >&2; exit 1; }
  export DISPLAY
  trap 'kill "$xvfb_pid" 2>/dev/null' EXIT
  wine "$@"
  exit
fi
exec wine "$@"
