#!/usr/bin/env bash
# Starts the panel under Wine on the simulated GPU, from a demo folder that holds the program
# and the simulated driver together. Without a display it runs under Xvfb.
# Usage: run-demo.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
demo="$build/demo"
mkdir -p "$demo"
cp "$build/VARNOK.exe" "$demo/"
cp "$build/simgpu/nvapi64.dll" "$demo/"
# The settings file is named on the command line: a bare name would resolve to the Windows folder.
settings="Z:${demo//\//\\}\\VARNOK.CFG"
echo "run-demo: starting $demo/VARNOK.exe with settings $settings"
cd "$demo"
"$here/wine-run.sh" "$build" "$demo/VARNOK.exe" "$settings" || true
