#!/usr/bin/python3
"""The program's embedded manifest declares the display scaling it is built for.

Usage: manifest_test.py --exe VARNOK.exe --tools TOOLS_DIR

Wanted: dpiAwareness "PerMonitorV2, System" (per-monitor version 2, and system aware where that is
missing: never per-monitor version 1, whose dialogs get no scaling) and dpiAware true for the systems
before it, each in its own namespace; the common controls of version 6 still requested. The checks
must also refuse each broken manifest below, so that a check that cannot fail shows.
"""
import argparse
import re
import sys
import xml.etree.ElementTree as ElementTree

ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
SETTINGS_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"
SETTINGS_2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings"


def problems(text):
    """What is wrong with the manifest's display scaling; empty when nothing is."""
    try:
        root = ElementTree.fromstring(text)
    except ElementTree.ParseError as error:
        return ["not XML: %s" % error]
    found = []
    settings = root.findall("{%s}application/{%s}windowsSettings" % (ASM_V3, ASM_V3))
    if len(settings) != 1:
        return ["%d application/windowsSettings elements, wanted 1" % len(settings)]
    aware = settings[0].findall("{%s}dpiAware" % SETTINGS_2005)
    awareness = settings[0].findall("{%s}dpiAwareness" % SETTINGS_2016)
    if [e.text.strip().lower() for e in aware if e.text] != ["true"]:
        found.append("dpiAware (2005) is %r, wanted true" % [e.text for e in aware])
    tokens = [t.strip() for e in awareness if e.text for t in e.text.split(",")]
    if len(awareness) != 1 or tokens != ["PerMonitorV2", "System"]:
        found.append("dpiAwareness (2016) is %r, wanted PerMonitorV2, System" % tokens)
    if "comctl32" not in text.lower() and "Microsoft.Windows.Common-Controls" not in text:
        found.append("the common controls of version 6 are no longer requested")
    return found


def broken_variants(text):
    """The real manifest spoilt in each way the checks must notice."""
    awareness = "PerMonitorV2, System"
    return {
        "per-monitor version 1 as the fallback": text.replace(awareness, "PerMonitorV2, PerMonitor"),
        "per-monitor version 1 alone": text.replace(awareness, "PerMonitor"),
        "dpiAware per monitor": text.replace(">true</dpiAware>", ">true/pm</dpiAware>"),
        "dpiAwareness in the 2005 namespace": text.replace(SETTINGS_2016, SETTINGS_2005),
        "no scaling declared": re.sub(r"<application .*?</application>", "", text, flags=re.S),
        "cut short": text[: len(text) // 2],
    }


def main():
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--tools", required=True)
    args = parser.parse_args()
    sys.path.insert(0, args.tools)
    import peresources

    text = peresources.manifest(args.exe)
    if not text:
        print("FAIL: %s has no embedded manifest" % args.exe)
        return 1
    failed = 0
    for problem in problems(text):
        print("FAIL: %s" % problem)
        failed += 1
    if not failed:
        print("ok   the manifest declares PerMonitorV2, System and dpiAware true")
    for name, variant in broken_variants(text).items():
        if variant == text:
            print("FAIL: the variant %r changed nothing: the manifest is not the one the checks expect" % name)
            failed += 1
        elif problems(variant):
            print("ok   refused: %s (%s)" % (name, problems(variant)[0]))
        else:
            print("FAIL: passed although broken: %s" % name)
            failed += 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
