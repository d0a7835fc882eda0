#!/usr/bin/env bash
# Starts the panel under Wine on the simulated GPU, from a demo folder that holds the program
# and the simulated driver together. With a display it runs until "終了" is chosen from its
# context menu; without one it runs under Xvfb, saves a screenshot of the panel and ends.
# Usage: run-demo.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
demo="$build/demo"
mkdir -p "$demo"
cp "$build/VARNOK.exe" "$build/simgpu/nvapi64.dll" "$demo/"
# The settings file is named on the command line: a bare name would resolve to the Windows folder.
[ -f "$demo/VARNOK.CFG" ] || printf '[GLOBAL]\nTimer=1\n[LOG]\nFile=Z:%s\\VARNOK.LOG\n' "${demo//\//\\}" > "$demo/VARNOK.CFG"
settings="Z:${demo//\//\\}\\VARNOK.CFG"
export WINEPREFIX="$build/wineprefix"
cd "$demo"

if [ -n "${DISPLAY:-}" ]; then
  echo "run-demo: starting the panel; right-click it and choose 終了 to end"
  exec "$here/wine-run.sh" "$build" "$demo/VARNOK.exe" "$settings"
fi

read -r DISPLAY xvfb_pid < <("$here/start-xvfb.sh") || { echo "run-demo: Xvfb did not start" >&2; exit 1; }
export DISPLAY
trap 'wineserver -k >/dev/null 2>&1 || true; kill "$xvfb_pid" 2>/dev/null || true' EXIT
"$here/wine-run.sh" "$build" "$demo/VARNOK.exe" "$settings" &
echo "run-demo: no display given; running the panel on Xvfb $DISPLAY"
for _ in $(seq 1 600); do
  if xwininfo -root -children 2>/dev/null | grep -q 'MB"'; then break; fi
  sleep 0.2
done
sleep 3  # a few measurements, so the graph has a trace
/usr/bin/python3 - "$DISPLAY" "$demo/screenshot.png" <<'PY'
import sys
from PIL import ImageGrab
shot = ImageGrab.grab(xdisplay=sys.argv[1])
box = shot.getbbox()
(shot.crop(box) if box else shot).save(sys.argv[2])
PY
echo "run-demo: screenshot of the panel saved as $demo/screenshot.png"
