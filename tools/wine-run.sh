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
  exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$@"
fi
exec wine "$@"
