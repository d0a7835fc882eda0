#!/usr/bin/python3
"""Packs the portable build: VARNOK-<version>-win64.zip with one folder of the same name.

Usage: make-zip.py ZIP PROGRAM START_TEXT START_SCRIPT DOCS_DIR LICENSES_DIR THEMES_DIR

The folder holds VARNOK.exe, README.txt (the start text, UTF-8 with a byte order mark and Windows
line ends, so that Notepad shows it right), the one-click start VARNOK-start.cmd (ASCII with Windows
line ends, the only text cmd.exe reads the same in every code page), everything in DOCS_DIR (the
guide's page docs/guide.html with its pictures, CHANGES.txt), licenses\\ and themes\\.
"""
import os
import sys
import zipfile


def windows_text(path, encoding):
    with open(path, encoding=encoding) as f:
        return f.read().replace("\r\n", "\n").replace("\n", "\r\n")


def main():
    if len(sys.argv) != 8:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    archive, program, start_text, start_script, docs, licenses, themes = sys.argv[1:]
    folder = os.path.splitext(os.path.basename(archive))[0]
    readme = "\ufeff" + windows_text(start_text, "utf-8")
    try:
        script = windows_text(start_script, "ascii")
    except UnicodeDecodeError:
        sys.exit("make-zip: %s must be ASCII: cmd.exe reads it in the console's code page" % start_script)
    os.makedirs(os.path.dirname(os.path.abspath(archive)), exist_ok=True)
    partial = archive + ".part"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        z.write(program, folder + "/VARNOK.exe")
        z.writestr(folder + "/README.txt", readme.encode("utf-8"))
        z.writestr(folder + "/" + os.path.basename(start_script), script.encode("ascii"))
        for top, _, names in sorted(os.walk(docs)):
            for name in sorted(names):
                path = os.path.join(top, name)
                z.write(path, "%s/%s" % (folder, os.path.relpath(path, docs).replace(os.sep, "/")))
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
