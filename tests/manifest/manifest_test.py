#!/usr/bin/python3
"""The program's embedded manifest declares the display scaling it is built for.

Usage: manifest_test.py --exe VARNOK.exe --tools TOOLS_DIR

Wanted: dpiAwareness "PerMonitorV2, System" (never per-monitor version 1, whose dialogs get no
scaling) and dpiAware true for the systems before it, each in its own namespace. The same check must
refuse each spoilt copy of the manifest below: a check that cannot fail would show here.
"""
import argparse
import re
import sys
import xml.etree.ElementTree as ElementTree

SETTINGS = "{urn:schemas-microsoft-com:asm.v3}application/{urn:schemas-microsoft-com:asm.v3}windowsSettings/"
AWARE = SETTINGS + "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}dpiAware"
AWARENESS = SETTINGS + "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}dpiAwareness"


def problem(text):
    """What is wrong with the manifest's display scaling; None when nothing is."""
    try:
        root = ElementTree.fromstring(text)
    except ElementTree.ParseError as error:
        return "not XML: %s" % error
    aware = [(e.text or "").strip() for e in root.findall(AWARE)]
    awareness = [[t.strip() for t in (e.text or "").split(",")] for e in root.findall(AWARENESS)]
    if aware != ["true"]:
        return "dpiAware is %r, wanted true" % aware
    if awareness != [["PerMonitorV2", "System"]]:
        return "dpiAwareness is %r, wanted PerMonitorV2, System" % awareness
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--tools", required=True)
    args = parser.parse_args()
    sys.path.insert(0, args.tools)
    import peresources

    text = peresources.manifest(args.exe) or ""
    found = problem(text)
    print("%s the manifest of %s: %s" % ("FAIL" if found else "ok  ", args.exe, found or "PerMonitorV2, System"))
    spoilt = {
        "version 1 as the fallback": text.replace("PerMonitorV2, System", "PerMonitorV2, PerMonitor"),
        "version 1 alone": text.replace("PerMonitorV2, System", "PerMonitor"),
        "dpiAware per monitor": text.replace(">true</dpiAware>", ">true/pm</dpiAware>"),
        "no scaling declared": re.sub(r"<application .*?</application>", "", text, flags=re.S),
        "cut short": text[: len(text) // 2],
    }
    failed = bool(found)
    for name, copy in spoilt.items():
        refused = copy != text and problem(copy)
        print("%s refused %s: %s" % ("ok  " if refused else "FAIL", name, refused or "passed"))
        failed = failed or not refused
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
