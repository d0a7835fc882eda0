#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's private prefix and Japanese locale.
# Usage: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
set -u
build=$(cd "$1" && pwd); shift
export WINEPREFIX="${VARNOK_WINEPREFIX:-$build/wineprefix}"
here=$(cd "$(dirname "$0")" && pwd)
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko install prompts: nothing here needs them.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64
# A program that takes the keyboard and the foreground, or changes what every program of a prefix
# sees (its display settings), runs in a prefix of its own under the build folder: its own Wine
# server, so its own desktop, foreground and input, and its own display.
if [ -n "${VARNOK_OWN_PREFIX:-}" ]; then
  export WINEPREFIX="$build/$VARNOK_OWN_PREFIX"
  unset DISPLAY
fi
if [ -z "${DISPLAY:-}" ]; then
  # A display of its own, numbered by Xvfb itself: programs started side by side (CTest without
  # run-tests.sh) would race for the number that xvfb-run -a checks first and takes after.
  read -r DISPLAY xvfb_pid < <("$here/start-xvfb.sh") || { echo "wine-run: Xvfb did not start" >&2; exit 1; }
  export DISPLAY
  # The prefix's own server goes first: its desktop lives on this display.
  trap '[ -n "${VARNOK_OWN_PREFIX:-}" ] && wineserver -k 2>/dev/null; kill "$xvfb_pid" 2>/dev/null' EXIT
  if [ -n "${VARNOK_OWN_PREFIX:-}" ]; then
    "$here/prepare-prefix.sh" || exit 1
  fi
  wine "$@"
  exit
fi
exec wine "$@"
