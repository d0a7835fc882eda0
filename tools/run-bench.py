#!/usr/bin/python3
"""Runs every benchmark under Wine and prints their figures as one table (Markdown).

Usage: run-bench.py BUILD_DIR

The benchmarks run one after the other in a Wine prefix of their own (BUILD_DIR/bench/prefix,
kept between runs) with their own Xvfb display, so that a test run beside them does not share their
Wine server. Each benchmark prints lines of "what   figure" or "what: figure"; an indented line
belongs to the line above it. The machine the figures were measured on closes the table.
"""
import glob
import os
import platform
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from winesession import WineError, WineSession  # noqa: E402

# The mask benchmark measures the per-pixel reference build, which takes minutes.
BENCH_LIMIT_S = 3600
FIGURE_AFTER_COLON = re.compile(r"^(.*?):\s+(\S*\s?-?\d.*)$")
FIGURE_AFTER_GAP = re.compile(r"^(.*?\S)\s{2,}(-?\d.*)$")


def split(line):
    """(what, figure) of one output line; the figure is empty for a title line."""
    for pattern in (FIGURE_AFTER_GAP, FIGURE_AFTER_COLON):
        match = pattern.match(line.strip())
        if match:
            return match.group(1).strip(), " ".join(match.group(2).split())
    return line.strip(), ""


def table_rows(name, output):
    """Rows of (benchmark, what, figure). An indented line belongs to the unindented line above
    it; an indented line without a figure continues the figure above it."""
    rows, parent = [], ""
    for line in output.splitlines():
        if not line.strip():
            continue
        what, figure = split(line)
        if not line.startswith(" "):
            parent = what
            rows.append([name, what, figure])
        elif figure:
            rows.append([name, "%s: %s" % (parent, what), figure])
        elif rows:
            rows[-1][2] += " " + what
    return rows


def machine():
    model = ""
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    memory = ""
    with open("/proc/meminfo") as f:
        kilobytes = int(f.readline().split()[1])
        memory = "%.0f GiB" % (kilobytes / 1024 / 1024)
    return "%s, %d cores, %s memory; %s %s; %s" % (model, os.cpu_count(), memory, platform.system(),
                                                   platform.release(), wine)


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    build = os.path.abspath(sys.argv[1])
    programs = sorted(glob.glob(os.path.join(build, "bench", "bench_*.exe")))
    if not programs:
        print("run-bench: no benchmark programs in %s/bench" % build)
        return 1
    rows, failed = [], []
    session = WineSession(os.path.join(build, "bench", "prefix"), os.path.dirname(os.path.abspath(__file__)))
    try:
        session.boot()
        for program in programs:
            name = os.path.basename(program)[len("bench_"):-len(".exe")]
            started = time.monotonic()
            code, out = session.run(program, limit_s=BENCH_LIMIT_S)
            print("run-bench: %s ran %.0f s" % (name, time.monotonic() - started), file=sys.stderr)
            if code != 0:
                failed.append(name)
            rows.extend(table_rows(name, out))
    except WineError as error:
        print("run-bench: %s" % error)
        return 1
    finally:
        session.close()

    print("| Benchmark | Measurement | Figure |")
    print("|---|---|---|")
    for name, what, figure in rows:
        print("| %s | %s | %s |" % (name, what.replace("|", "/"), figure.replace("|", "/")))
    print()
    print("Measured on: %s" % machine())
    if failed:
        print("run-bench: these benchmarks failed: %s" % ", ".join(failed))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
