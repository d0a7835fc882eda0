#!/usr/bin/env python3
"""Fails when a quoted include crosses the program's layers the wrong way.

The program's folders, lowest first: base < ui < config < gpu < gdi < image < shape < render <
app = dialogs. A folder
includes only folders below it (app and dialogs may include each other); resources/ (ids) serves
every layer. simgpu/ stands apart: it may use the driver's record layouts of gpu/ but nothing of the
program may include it. tests/ and bench/ may include the program; a benchmark may also use the
reference code under tests/support/, and nothing else may include either.

Usage: check-layers.py SOURCE_DIR
"""
import os
import re
import sys

RANK = {"base": 0, "ui": 1, "config": 2, "gpu": 3, "gdi": 4, "image": 5, "shape": 6, "render": 7, "app": 8, "dialogs": 8}
SERVES_ALL = {"resources"}
APART = {"simgpu": {"gpu", "resources", "simgpu"}}
ANYTHING = {"tests", "bench"}
SOURCE_SUFFIXES = (".c", ".cc", ".cpp", ".h", ".hpp", ".rc")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def top_folder(path):
    parts = path.split("/")
    return parts[0] if len(parts) > 1 else ""


def allowed(source_folder, target):
    target_folder = top_folder(target)
    if target_folder in SERVES_ALL or target_folder == source_folder:
        return True
    if target_folder in ANYTHING:
        # Tests and benchmarks share their reference code there, deliberately; a test never
        # depends on a benchmark.
        return source_folder == "bench" and target.startswith("tests/support/")
    if source_folder in ANYTHING:
        return True
    if source_folder in APART:
        return target_folder in APART[source_folder]
    if target_folder in APART:
        return False
    if source_folder in RANK and target_folder in RANK:
        return RANK[target_folder] <= RANK[source_folder]
    return False


def resolve(root, source, name):
    """The include as a path from the root: folder-qualified names first, then beside the file."""
    if os.path.exists(os.path.join(root, name)) and "/" in name:
        return name
    beside = os.path.normpath(os.path.join(os.path.dirname(source), name))
    if os.path.exists(os.path.join(root, beside)):
        return beside
    return None


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    root = os.path.abspath(sys.argv[1])
    folders = sorted(set(RANK) | SERVES_ALL | set(APART) | ANYTHING)
    files = includes = 0
    broken = []
    for folder in folders:
        for here, _, names in os.walk(os.path.join(root, folder)):
            for name in sorted(names):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                source = os.path.relpath(os.path.join(here, name), root).replace(os.sep, "/")
                files += 1
                with open(os.path.join(root, source), encoding="utf-8", errors="replace") as text:
                    for number, line in enumerate(text, 1):
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        includes += 1
                        target = resolve(root, source, match.group(1))
                        if target is None:
                            continue  # generated at build time (icons, sound): not a layer
                        if not allowed(top_folder(source), target):
                            broken.append(f"{source}:{number}: {top_folder(source)}/ may not include {target}")
    print(f"check-layers: {files} files, {includes} quoted includes checked against "
          "base < ui < config < gpu < gdi < image < shape < render < app = dialogs (resources/ serves all; "
          "simgpu/, tests/ and bench/ stand apart)")
    if files == 0 or includes == 0:
        print("check-layers: nothing was checked: wrong source folder?")
        return 1
    for line in broken:
        print(line)
    if broken:
        print(f"check-layers: {len(broken)} include(s) break the layering")
        return 1
    print("check-layers: every include keeps the layering")
    return 0


if __name__ == "__main__":
    sys.exit(main())
