#!/usr/bin/python3
"""Packs the portable build: VARNOK-<version>-win64.zip with one folder of the same name.

Usage: make-zip.py ZIP PROGRAM START_TEXT LICENSES_DIR THEMES_DIR

The folder holds VARNOK.exe, README.txt (the start text, UTF-8 with a byte order mark and Windows
line ends, so that Notepad shows it right), licenses\\ and themes\\.
"""
import os
import sys
import zipfile


def main():
    if len(sys.argv) != 6:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    archive, program, start_text, licenses, themes = sys.argv[1:]
    folder = os.path.splitext(os.path.basename(archive))[0]
    with open(start_text, encoding="utf-8") as f:
        readme = "\ufeff" + f.read().replace("\r\n", "\n").replace("\n", "\r\n")
    os.makedirs(os.path.dirname(os.path.abspath(archive)), exist_ok=True)
    partial = archive + ".part"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        z.write(program, folder + "/VARNOK.exe")
        z.writestr(folder + "/README.txt", readme.encode("utf-8"))
        for sub, source in (("licenses", licenses), ("themes", themes)):
            names = sorted(os.listdir(source))
            if not names:
                sys.exit("make-zip: %s is empty" % source)
            for name in names:
                z.write(os.path.join(source, name), "%s/%s/%s" % (folder, sub, name))
    os.replace(partial, archive)
    print("make-zip: %s (%d KB)" % (archive, (os.path.getsize(archive) + 1023) // 1024))
    return 0


if __name__ == "__main__":
    sys.exit(main())
