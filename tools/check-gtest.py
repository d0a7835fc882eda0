#!/usr/bin/env python3
"""Runs one GoogleTest program and passes only on what it saw of that program's run.

A pass needs all of: exit code 0 and no crash reported by Wine; GoogleTest's own XML report,
written for this run to a path nobody else was given, saying that N > 0 tests ran with no
failure, no skip and no disabled test; and that report naming exactly the tests the program lists
(a listing run comes first), so a report left by a child test process cannot stand in for the
program's own. Neither run sees a variable of the caller's environment that GoogleTest reads
(GTEST_FILTER, sharding, repeats, disabled tests, output...): a filtered listing would agree with
a filtered run.
The console summary is never trusted: a child's summary can appear in the parent's output, and
a crash after the summary leaves the summary standing. Under Wine a crash can even end with exit
code 0 (Wine's debugger prints the backtrace and the process is ended with the debugger's code),
so Wine's own crash line in the program's output fails the run too.

Usage: check-gtest.py --reports DIR [--wine] [--allow-skips] -- [EMULATOR...] PROGRAM
  --reports DIR    where the reports are written (kept there when the check fails)
  --wine           the program runs under Wine: hand it the report path as drive Z: names it
  --allow-skips    a skipped or disabled test does not fail the check (routes without the full
                   test set-up)
"""
import argparse
import os
import re
import signal
import subprocess
import sys
import threading
import time
import xml.etree.ElementTree as ElementTree

# Printed by Wine for an exception nothing handled, in the crashing process's own output. A child
# test process's lines reach the parent's output marked "child ...|" and are its test's business.
WINE_CRASH = re.compile(rb"^(?!child \S+\| ).*(wine: Unhandled .*)$")
# After the program has ended, how long its output may take to drain; a process it left behind
# (a Wine service) may hold the pipe open for good.
DRAIN_SECONDS = 10
# What GoogleTest takes from the environment besides its GTEST_* flags: Bazel's filter, fail-fast,
# report, exit marker and temporary folder. Windows finds a variable whatever the case of its name, and Wine hands
# the program every Unix variable, so names are compared in capitals.
GTEST_READS = ("XML_OUTPUT_FILE", "TESTBRIDGE_TEST_ONLY", "TESTBRIDGE_TEST_RUNNER_FAIL_FAST",
               "TEST_PREMATURE_EXIT_FILE", "TEST_TMPDIR")

child = None


def say(text):
    print(f"check-gtest: {text}", flush=True)


def program_path(path, wine):
    """The report path as the program must name it."""
    return "Z:" + path.replace("/", "\\") if wine else path


def steers_gtest(name):
    name = name.upper()
    return name.startswith("GTEST_") or name in GTEST_READS


def program_environment():
    """The caller's environment without what would choose the tests or change how they run. The
    output flag goes on the command line only: in the environment it would reach every child test
    process, and a child's report would then replace this program's."""
    return {name: value for name, value in os.environ.items() if not steers_gtest(name)}


def run(command, report, wine, echo):
    """Runs the program once with its XML output sent to report. Answers the exit code, the
    output, and the crash line Wine printed, if any. The output is passed on as it comes when
    echo is set."""
    global child
    child = subprocess.Popen(command + ["--gtest_output=xml:" + program_path(report, wine)],
                             env=program_environment(),
                             stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    lines = []

    def collect(pipe):
        for line in iter(pipe.readline, b""):
            lines.append(line)
            if echo:
                sys.stdout.buffer.write(line)
                sys.stdout.buffer.flush()

    reader = threading.Thread(target=collect, args=(child.stdout,), daemon=True)
    reader.start()
    code = child.wait()
    reader.join(DRAIN_SECONDS)
    child = None
    crash = None
    for line in lines:
        match = WINE_CRASH.match(line.rstrip(b"\r\n"))
        if match:
            crash = match.group(1).decode(errors="replace")
            break
    return code, b"".join(lines), crash


def read_report(path, started):
    """The parsed report, or the reason there is none this run could have written."""
    if not os.path.isfile(path):
        return None, "no report: the program ended before GoogleTest wrote it"
    if os.path.getmtime(path) < started - 2:
        return None, "the report is older than this run"
    try:
        return ElementTree.parse(path).getroot(), None
    except ElementTree.ParseError as error:
        return None, f"the report is not readable XML ({error}): the program died while writing it"


def cases(root):
    """(suite.name, outcome, message) for every test case of a report. A case that does not say
    it ran to its end (a listing's entry has no status at all) has not passed."""
    for suite in root.iter("testsuite"):
        for case in suite.iter("testcase"):
            name = f"{suite.get('name')}.{case.get('name')}"
            failure = case.find("failure")
            skipped = case.find("skipped")
            if failure is not None:
                yield name, "failed", failure.get("message", "")
            elif case.get("status") == "notrun":
                yield name, "disabled", ""
            elif case.get("result") == "skipped" or skipped is not None:
                yield name, "skipped", skipped.get("message", "") if skipped is not None else ""
            elif case.get("status") == "run" and case.get("result") == "completed":
                yield name, "passed", ""
            else:
                yield name, "unfinished", (f"status {case.get('status')}, result {case.get('result')}"
                                           if case.get("status") else "no status at all, as in a listing")


def fresh_path(directory, program, kind):
    stem = os.path.splitext(os.path.basename(program))[0]
    path = os.path.join(directory, f"{stem}-{kind}-{os.getpid()}-{time.time_ns()}.xml")
    if os.path.exists(path):
        raise SystemExit(f"check-gtest: {path} exists already")
    return path


def list_tests(args, path, problems):
    """The tests the program holds, from a listing run of its own; None when it could not tell."""
    started = time.time()
    code, output, crash = run(args.command + ["--gtest_list_tests"], path, args.wine, echo=False)
    listing, reason = read_report(path, started)
    if code == 0 and listing is not None and not crash:
        return {f"{s.get('name')}.{c.get('name')}" for s in listing.iter("testsuite") for c in s.iter("testcase")}
    for line in output.decode(errors="replace").splitlines():
        print(f"listing| {line}")
    problems.append(f"listing the tests failed (exit code {code}"
                    + (f"; {reason}" if reason else "") + (f"; {crash}" if crash else "") + ")")
    return None


def check_report(args, report, listed, problems):
    outcomes = {}
    for name, outcome, message in cases(report):
        outcomes.setdefault(outcome, []).append(name)
        if outcome in ("failed", "skipped", "disabled", "unfinished"):
            say(f"{outcome}: {name}" + (f": {' '.join(message.split())}" if message else ""))
    count = {outcome: len(outcomes.get(outcome, []))
             for outcome in ("passed", "failed", "skipped", "disabled", "unfinished")}
    # A failure outside any test (an environment's set-up) shows in the totals only.
    failed = max(count["failed"], int(report.get("failures", "0"))) + int(report.get("errors", "0"))
    disabled = max(count["disabled"], int(report.get("disabled", "0")))
    say(f"the report says: {count['passed'] + count['failed']} tests ran, {failed} failed, "
        f"{count['skipped']} skipped, {disabled} disabled")
    if count["passed"] + count["failed"] + count["skipped"] == 0:
        problems.append("no test ran")
    if failed:
        problems.append(f"{failed} failed")
    if count["unfinished"]:
        problems.append(f"the report gives {count['unfinished']} tests no outcome: it is not a test run's")
    if count["skipped"] and not args.allow_skips:
        problems.append(f"{count['skipped']} skipped, and a skip is a failure on this route "
                        "(configure with -DVARNOK_ALLOW_SKIPS=ON where tests may be skipped)")
    if disabled and not args.allow_skips:
        problems.append(f"{disabled} disabled, and a disabled test is a failure on this route, like a skip "
                        "(configure with -DVARNOK_ALLOW_SKIPS=ON where tests may be left out)")
    if listed is None:
        return count["skipped"] + disabled
    reported = {name for names in outcomes.values() for name in names}
    missing, foreign = sorted(listed - reported), sorted(reported - listed)
    if missing or foreign:
        problems.append("the report is not this program's run: "
                        + "; ".join(([f"it lacks {', '.join(missing[:5])}"] if missing else [])
                                    + ([f"it names {', '.join(foreign[:5])}, which the program does not list"]
                                       if foreign else [])))
    else:
        say(f"the report names the {len(listed)} tests the program lists, and no other")
    return count["skipped"] + disabled


def check(args):
    program = args.command[-1]
    os.makedirs(args.reports, exist_ok=True)
    listing_path = fresh_path(args.reports, program, "list")
    report_path = fresh_path(args.reports, program, "run")
    problems = []
    left_out = sorted(name for name in os.environ if steers_gtest(name))
    if left_out:
        say(f"left out of the program's environment, so that every test runs as usual: {', '.join(left_out)}")

    listed = list_tests(args, listing_path, problems)
    say(f"{program} lists {'?' if listed is None else len(listed)} tests; running it")
    started = time.time()
    code, _, crash = run(args.command, report_path, args.wine, echo=True)
    say(f"exit code {code}" + ("" if code == 0 else f" (0x{code & 0xFFFFFFFF:08X})"))
    if code != 0:
        problems.append(f"exit code {code}, not 0")
    if crash:
        problems.append(f"the program crashed ({crash})")

    left_alone = 0
    report, reason = read_report(report_path, started)
    if report is None:
        problems.append(reason)
    else:
        say(f"report {report_path}")
        left_alone = check_report(args, report, listed, problems)

    for problem in problems:
        say(f"FAIL: {problem}")
    if problems:
        say(f"reports kept: {listing_path} {report_path}")
        return 1
    for path in (listing_path, report_path):
        os.remove(path)
    say("PASS" + (" (skips and disabled tests allowed by VARNOK_ALLOW_SKIPS)" if left_alone else ""))
    return 0


def stop(signum, frame):
    # CTest ends a test that runs out of time; the program under test must not outlive it.
    if child is not None:
        child.kill()
    sys.exit(128 + signum)


def main():
    parser = argparse.ArgumentParser(usage=__doc__.split("Usage: ")[1].split("\n")[0])
    parser.add_argument("--reports", required=True)
    parser.add_argument("--wine", action="store_true")
    parser.add_argument("--allow-skips", action="store_true")
    parser.add_argument("command", nargs="+")
    args = parser.parse_args()
    args.reports = os.path.abspath(args.reports)
    signal.signal(signal.SIGTERM, stop)
    return check(args)


if __name__ == "__main__":
    sys.exit(main())
