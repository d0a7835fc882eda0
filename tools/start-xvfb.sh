#!/usr/bin/env bash
# Starts Xvfb on a display number of its own choosing and prints ":N PID" once it accepts clients.
# Xvfb picks the number under its own lock (-displayfd), so runs started at the same moment never
# meet on one display; a free number checked here first could be taken before Xvfb got to it.
set -u
limit_s=30
# The number arrives on the pipe when the server is ready. Xvfb's other output goes nowhere: a caller
# reading this script's output to its end must not wait on the server.
exec {number}< <(exec Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>&1 >/dev/null 2>&1 </dev/null)
pid=$!
if read -r -t "$limit_s" n <&"$number" && [[ $n =~ ^[0-9]+$ ]]; then
  echo ":$n $pid"
  exit 0
fi
kill "$pid" 2>/dev/null
echo "start-xvfb: Xvfb gave no display number within $limit_s s" >&2
exit 1
