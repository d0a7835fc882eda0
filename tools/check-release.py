#!/usr/bin/python3
"""Fails when any place that carries VARNOK's version disagrees with the project version.

Usage: check-release.py --version X.Y.Z --exe VARNOK.exe [--installer SETUP.exe] [--zip ZIP]

Checked: the program's version block (fixed and text versions) and its embedded manifest; the
installer's version block and file name; the zip's name, its folder, that the program inside it
is the one checked, that the newest version of its change list is the project version and that its
guide was made for it. Windows wants four parts where the project has three: the fourth is 0.
"""
import argparse
import os
import re
import sys
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import peresources  # noqa: E402


class Checks:
    def __init__(self):
        self.count = 0
        self.failures = []

    def expect(self, what, found, wanted):
        self.count += 1
        if found == wanted:
            print("  ok   %-52s %s" % (what, found))
        else:
            print("  FAIL %-52s %s (wanted %s)" % (what, found, wanted))
            self.failures.append(what)


def check_version_block(checks, label, path, full):
    file_version, product_version, strings = peresources.version_info(path)
    checks.expect(label + ": fixed file version", file_version, full)
    checks.expect(label + ": fixed product version", product_version, full)
    checks.expect(label + ": FileVersion text", strings.get("FileVersion"), full)
    checks.expect(label + ": ProductVersion text", strings.get("ProductVersion"), full)


def check_program(checks, path, full):
    check_version_block(checks, "program", path, full)
    manifest = peresources.manifest(path) or ""
    identity = re.search(r'<assemblyIdentity[^>]*name="VARNOK\.[^"]*"[^>]*version="([^"]+)"', manifest)
    checks.expect("program: manifest assemblyIdentity version", identity.group(1) if identity else None, full)


def check_zip(checks, path, version, program):
    name = os.path.basename(path)
    folder = "VARNOK-%s-win64" % version
    checks.expect("zip: file name", name, folder + ".zip")
    with zipfile.ZipFile(path) as z:
        names = z.namelist()
        checks.expect("zip: one top folder", sorted({n.split("/")[0] for n in names}), [folder])
        with open(program, "rb") as f:
            same = z.read(folder + "/VARNOK.exe") == f.read() if folder + "/VARNOK.exe" in names else False
        checks.expect("zip: VARNOK.exe is the program checked", same, True)
        checks.expect("zip: start text", folder + "/README.txt" in names, True)
        checks.expect("zip: one-click start", folder + "/VARNOK-start.cmd" in names, True)
        changes = z.read(folder + "/CHANGES.txt").decode("utf-8-sig") if folder + "/CHANGES.txt" in names else ""
        newest = re.search(r"^(\d+\.\d+\.\d+)", changes, re.M)
        checks.expect("zip: newest version in CHANGES.txt", newest.group(1) if newest else None, version)
        guide = z.read(folder + "/docs/guide.html").decode("utf-8") if folder + "/docs/guide.html" in names else ""
        made_for = re.search(r'<meta name="generator" content="VARNOK ([^"]+)">', guide)
        checks.expect("zip: version the guide was made for", made_for.group(1) if made_for else None, version)
        licences = [n for n in names if n.startswith(folder + "/licenses/") and n.endswith(".txt")]
        checks.expect("zip: licence texts", len(licences) >= 5, True)
        themes = [n for n in names if n.startswith(folder + "/themes/") and n.upper().endswith(".VKT")]
        checks.expect("zip: sample themes", len(themes) >= 3, True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    parser.add_argument("--version", required=True)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--installer")
    parser.add_argument("--zip")
    args = parser.parse_args()
    if not re.fullmatch(r"\d+\.\d+\.\d+", args.version):
        print("check-release: the project version %r does not have three parts" % args.version)
        return 1
    full = args.version + ".0"
    checks = Checks()
    print("check-release: every version against the project version %s" % args.version)
    try:
        check_program(checks, args.exe, full)
        if args.installer:
            checks.expect("installer: file name", os.path.basename(args.installer),
                          "VARNOK-%s-setup.exe" % args.version)
            check_version_block(checks, "installer", args.installer, full)
        if args.zip:
            check_zip(checks, args.zip, args.version, args.exe)
    except (OSError, KeyError, peresources.PeError, zipfile.BadZipFile) as error:
        print("check-release: %s" % error)
        return 1
    if checks.failures:
        print("check-release: %d of %d checks disagree" % (len(checks.failures), checks.count))
        return 1
    print("check-release: %d checks, every version agrees" % checks.count)
    return 0


if __name__ == "__main__":
    sys.exit(main())
