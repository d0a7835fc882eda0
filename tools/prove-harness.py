#!/usr/bin/env python3
"""Proves that the test harness turns a broken GoogleTest program's run red.

Builds tests/fixtures/broken_gtest.cpp against the build's own GoogleTest into a throw-away
folder, once, under one file name per fault. Each copy then gets a CTest run of its own, made
from the registration of the real test programs (the same checker, arguments and properties;
only the program, the report folder and the time limit differ), and must end as expected:
  sound                     green: one test passes, with a passing child run
  crash_after_summary       red: it crashes in a static destructor (under Wine the exit code of
                            a crash may be 0; Wine's crash line in its output tells)
  no_tests                  red: no test ran
  skips                     red: a skip is a failure (green when the build allows skips)
  child_passes_parent_dies  red: the report its child wrote is not the parent's run
  child_lists_parent_dies   red: its child's listing, which names every test the program lists, is
                            not a run
  fails                     red: an ordinary assertion fails
  exits_nonzero             red: every test passed and the report is whole, but the exit code is 3
  no_report                 red: exit code 0 and a passing summary, but no report
  filtered                  red: run with a filter in the environment (GTEST_FILTER, its lower-case
                            spelling, which Windows finds as well, and Bazel's TESTBRIDGE_TEST_ONLY)
                            that leaves only its passing test; the checker leaves the filter out,
                            runs the failing test too, and says so
  disabled                  red: a disabled test is a failure like a skip (green when the build
                            allows skips), even with GTEST_ALSO_RUN_DISABLED_TESTS in the environment,
                            which the checker leaves out

Usage: prove-harness.py BUILD/tests/harness-proof.json  (written by tests/CMakeLists.txt)
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
from concurrent.futures import ThreadPoolExecutor

RED, GREEN = "red", "green"
FILTER = "Broken.Passes"


def left_out(*names):
    """The checker's words for leaving these variables (and perhaps the caller's own) out."""
    return r"left out of the program's environment, so that every test runs as usual: " + "".join(
        rf"(?=.*\b{name}\b)" for name in names)


# Each fault, what the run must turn, the checker's words that say why (every pattern must be found),
# and what the caller's environment adds to the run.
CASES = [
    ("sound", GREEN, [r"check-gtest: PASS$"], {}),
    ("crash_after_summary", RED, [r"FAIL: the program crashed|FAIL: exit code -?[1-9]"], {}),
    ("no_tests", RED, [r"FAIL: no test ran"], {}),
    ("skips", RED, [r"FAIL: 1 skipped"], {}),
    ("child_passes_parent_dies", RED, [r"FAIL: the report is not this program's run"], {}),
    ("child_lists_parent_dies", RED, [r"FAIL: the report gives 1 tests no outcome"], {}),
    ("fails", RED, [r"failed: Broken\.Fails: .*fails on purpose", r"FAIL: 1 failed"], {}),
    ("exits_nonzero", RED, [r"the report names the 1 tests", r"FAIL: exit code 3, not 0"], {}),
    ("no_report", RED, [r"FAIL: no report: the program ended before GoogleTest wrote it"], {}),
    ("filtered", RED, [left_out("GTEST_FILTER", "gtest_filter", "TESTBRIDGE_TEST_ONLY"), r"lists 2 tests",
                       r"FAIL: 1 failed"],
     {"GTEST_FILTER": FILTER, "gtest_filter": FILTER, "TESTBRIDGE_TEST_ONLY": FILTER}),
    ("disabled", RED, [left_out("GTEST_ALSO_RUN_DISABLED_TESTS"), r"FAIL: 1 disabled"],
     {"GTEST_ALSO_RUN_DISABLED_TESTS": "1"}),
]
# A skip or a disabled test passes where the build allows skips; the checker then says so.
ALLOWED_BY_SKIPS = {
    "skips": [r"check-gtest: PASS \(skips and disabled tests allowed"],
    "disabled": [left_out("GTEST_ALSO_RUN_DISABLED_TESTS"), r"1 disabled",
                 r"check-gtest: PASS \(skips and disabled tests allowed"],
}
# A crash that waited on Wine's crash dialog would hold the run this long, and fail the proof.
TIME_LIMIT = "120"
ARGUMENT = re.compile(r'"((?:[^"\\]|\\.)*)"')


def say(text):
    print(f"prove-harness: {text}", flush=True)


def unquote(text):
    return re.sub(r"\\(.)", r"\1", text)


def quote(text):
    return '"' + re.sub(r'(["\\$])', r"\\\1", text) + '"'


def real_registration(path):
    """The command and properties CTest uses for a GoogleTest program of the real run."""
    with open(path, encoding="utf-8") as file:
        lines = file.read().splitlines()
    for number, line in enumerate(lines):
        match = re.match(r"add_test\((\[=*\[.*?\]=*\]|\S+) (.*)\)$", line)
        if not match or "check-gtest.py" not in match.group(2):
            continue
        command = [unquote(arg) for arg in ARGUMENT.findall(match.group(2))]
        properties = lines[number + 1] if number + 1 < len(lines) else ""
        name = match.group(1)
        if not properties.startswith(f"set_tests_properties({name} PROPERTIES"):
            properties = ""
        properties = properties[len(f"set_tests_properties({name} PROPERTIES"):].rstrip(")")
        return name, command, properties
    raise SystemExit(f"prove-harness: no GoogleTest program is registered in {path}")


def build(setup, folder):
    program = os.path.join(folder, "broken.exe")
    command = [setup["compiler"], *setup["flags"], *(f"-I{path}" for path in setup["includes"]),
               *setup["sources"], *setup["libraries"], "-o", program]
    started = time.time()
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        print(result.stdout + result.stderr)
        raise SystemExit("prove-harness: the broken program did not build")
    say(f"built the broken program in {time.time() - started:.1f} s")
    return program


def run_case(setup, registration, program, folder, role, extra_env):
    name, command, properties = registration
    case = os.path.join(folder, role)
    os.makedirs(case)
    copy = os.path.join(case, role + ".exe")
    shutil.copyfile(program, copy)
    command = list(command)
    command[-1] = copy
    command[command.index("--reports") + 1] = os.path.join(case, "reports")
    properties = re.sub(r'TIMEOUT "\d+"', f'TIMEOUT "{TIME_LIMIT}"', properties)
    with open(os.path.join(case, "CTestTestfile.cmake"), "w", encoding="utf-8") as file:
        file.write(f"add_test({role} {' '.join(quote(arg) for arg in command)})\n")
        file.write(f"set_tests_properties({role} PROPERTIES {properties})\n")
    started = time.time()
    result = subprocess.run([setup["ctest"], "--test-dir", case, "--no-tests=error", "-V"],
                            capture_output=True, text=True, errors="replace", env=dict(os.environ, **extra_env))
    return result.returncode, result.stdout + result.stderr, time.time() - started


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    with open(sys.argv[1], encoding="utf-8") as file:
        setup = json.load(file)
    registration = real_registration(setup["registrations"])
    skips_allowed = "--allow-skips" in registration[1]
    say(f"checking broken programs through the registration of the test '{registration[0].strip('[]=')}': "
        + " ".join(registration[1][:-1]) + " PROGRAM")
    started = time.time()
    folder = tempfile.mkdtemp(prefix="varnok-harness-proof-")
    program = build(setup, folder)
    with ThreadPoolExecutor(len(CASES)) as pool:
        runs = [pool.submit(run_case, setup, registration, program, folder, role, env) for role, _, _, env in CASES]
    wrong = 0
    for (role, expected, reasons, _), future in zip(CASES, runs):
        code, output, seconds = future.result()
        if role in ALLOWED_BY_SKIPS and skips_allowed:
            expected, reasons = GREEN, ALLOWED_BY_SKIPS[role]
        turned = GREEN if code == 0 else RED
        unsaid = [reason for reason in reasons if not re.search(reason, output, re.MULTILINE)]
        said = [line.split("check-gtest: ", 1)[1] for line in output.splitlines()
                if re.search(r"check-gtest: (FAIL|left out)", line)]
        if turned == expected and not unsaid:
            say(f"{role}: turned the run {turned} in {seconds:.1f} s" + (f" ({'; '.join(said)})" if said else ""))
            continue
        wrong += 1
        say(f"{role}: WRONG: the run turned {turned}, expected {expected}"
            + (f" with /{'/ and /'.join(unsaid)}/" if unsaid else "") + "; its output:")
        for line in output.splitlines():
            print(f"  {role}| {line}")
    say(f"{len(CASES) - wrong} of {len(CASES)} runs ended as they must, in {time.time() - started:.1f} s")
    if wrong:
        say(f"the throw-away build is kept in {folder}")
        return 1
    shutil.rmtree(folder, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
