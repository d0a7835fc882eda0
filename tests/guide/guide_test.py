#!/usr/bin/python3
"""The shipped guide's tools on the real guide and on broken ones.

Usage: guide_test.py --tools TOOLS_DIR --guide docs/guide.md --changes CHANGES.txt --version X.Y.Z

make-guide.py must turn the real guide into a page that check-guide.py passes, with anchors as the
guide's GitHub-style links expect; each broken input below must end in a clear refusal (exit 1 and
its reason), never a crash and never a pass. Every case works in a folder of its own.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

MINI_GUIDE = """# 試験ガイド

- [複数](#複数の-gpu-を監視する)
- [区切り](#a---b)
- [括弧](#インストーラーvarnok-版-setupexe)
- [履歴](#更新履歴)

## 複数の GPU を監視する

日本語の文章が
ここで折り返されます。`code`
の後ろ。

## A - B

## インストーラー（VARNOK-<版>-setup.exe）

![絵](images/a.png)

## 更新履歴

[CHANGES.txt](../CHANGES.txt)

<!-- CHANGES.txt -->
"""
MINI_CHANGES = "履歴\n====\n\n9.8.7\n-----\n・一つ目の変更で、\n  続きの行です。\n・`*二つ目*` <b>\n"
PNG = b"\x89PNG\r\n\x1a\n" + bytes(16)


class Checks:
    def __init__(self):
        self.count = 0
        self.failed = 0

    def expect(self, what, condition, detail=""):
        self.count += 1
        print(("  ok   %s" if condition else "  FAIL %s") % what + ("" if condition else ": " + detail[-600:]))
        self.failed += 0 if condition else 1


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data.encode("utf-8") if isinstance(data, str) else data)


def edit(path, old, new):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    write(path, text.replace(old, new, 1))


def make_zip(path, entries):
    with zipfile.ZipFile(path, "w") as z:
        for name, data in entries:
            z.writestr(name, data)


def main():
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    for name in ("tools", "guide", "changes", "version"):
        parser.add_argument("--" + name, required=True)
    args = parser.parse_args()
    checks = Checks()
    work = tempfile.mkdtemp(prefix="varnok-guide-test-")

    def run(tool, *arguments):
        done = subprocess.run([sys.executable, os.path.join(args.tools, tool), *arguments], capture_output=True,
                              text=True, timeout=120)
        return done.returncode, done.stdout + done.stderr

    def make(case, guide, changes, version="9.8.7", pictures=(("images/a.png", PNG),)):
        folder = os.path.join(work, case)
        write(os.path.join(folder, "src", "guide.md"), guide)
        write(os.path.join(folder, "src", "CHANGES.txt"), changes)
        for name, data in pictures:
            write(os.path.join(folder, "src", name), data)
        out = os.path.join(folder, "out")
        return run("make-guide.py", "--guide", os.path.join(folder, "src", "guide.md"), "--changes",
                   os.path.join(folder, "src", "CHANGES.txt"), "--version", version, "--out", out) + (out,)

    try:
        print("The real guide:")
        code, out = run("make-guide.py", "--guide", args.guide, "--changes", args.changes, "--version", args.version,
                        "--out", os.path.join(work, "real"))
        checks.expect("make-guide makes the shipped guide", code == 0, out)
        code, out = run("check-guide.py", os.path.join(work, "real"))
        checks.expect("check-guide finds every link, anchor and picture of it", code == 0, out)

        print("Anchors, line joins and the change list on a small guide:")
        code, out, mini = make("mini", MINI_GUIDE, MINI_CHANGES)
        page_path = os.path.join(mini, "docs", "guide.html")
        page = open(page_path, encoding="utf-8").read() if code == 0 else out
        checks.expect("GitHub's anchors: runs of separators kept, brackets and dots dropped",
                      check_ok(run("check-guide.py", mini)) and 'id="a---b"' in page, page)
        checks.expect("Japanese lines join without a space, a line after code keeps its break",
                      "文章がここで" in page and "<code>code</code>\nの後ろ" in page, page)
        checks.expect("the change list becomes the 更新履歴 section, its marks shown as text",
                      '<h3 id="987">9.8.7</h3>' in page and "一つ目の変更で、続きの行です。" in page and
                      "`*二つ目*` &lt;b&gt;" in page, page)
        changes = open(os.path.join(mini, "CHANGES.txt"), "rb").read() if code == 0 else b""
        checks.expect("the shipped CHANGES.txt: UTF-8 with a byte order mark and Windows line ends",
                      changes.startswith(b"\xef\xbb\xbf") and changes.count(b"\n") == changes.count(b"\r\n") > 0)

        print("make-guide refuses:")
        refusals = [
            ("a guide without the change list's marker", MINI_GUIDE.replace("<!-- CHANGES.txt -->", ""),
             MINI_CHANGES, "9.8.7", "must hold the line"),
            ("a change list line that is no item", MINI_GUIDE, MINI_CHANGES + "stray line\n", "9.8.7", "neither"),
            ("a change list whose newest version is not the project's", MINI_GUIDE, MINI_CHANGES, "9.8.8",
             "the newest version is 9.8.7"),
            ("a version that lists nothing", MINI_GUIDE, MINI_CHANGES + "\n1.0.0\n-----\n", "9.8.7", "lists nothing"),
            ("an empty change list", MINI_GUIDE, "", "9.8.7", "no title or no version"),
            ("a picture that does not exist", MINI_GUIDE.replace("a.png", "b.png"), MINI_CHANGES, "9.8.7",
             "does not exist"),
            ("a picture outside the guide's folder", MINI_GUIDE.replace("images/a.png", "../a.png"), MINI_CHANGES,
             "9.8.7", "not a file beside the guide"),
            ("a change list that is not UTF-8", MINI_GUIDE, MINI_CHANGES.encode("cp932"), "9.8.7", "codec"),
        ]
        for index, (what, guide, change_list, version, reason) in enumerate(refusals):
            code, out, _ = make("refuse%d" % index, guide, change_list, version)
            checks.expect(what, code == 1 and reason in out, out)

        print("check-guide finds:")
        faults = [
            ("a missing picture", lambda root: os.remove(os.path.join(root, "docs", "images", "a.png")),
             "no such file"),
            ("a picture that is no image", lambda root: write(os.path.join(root, "docs", "images", "a.png"), "text"),
             "is no PNG"),
            ("an in-page link to no id", lambda root: edit(page_of(root), "#a---b", "#a-b"), "no such id"),
            ("a file link that is missing", lambda root: os.remove(os.path.join(root, "CHANGES.txt")),
             "no such file"),
            ("a link out of the package", lambda root: edit(page_of(root), "../CHANGES.txt", "../../CHANGES.txt"),
             "leaves the package"),
            ("a link into another page to no id", lambda root: edit(page_of(root), "../CHANGES.txt", "guide.html#x"),
             "no such id in that page"),
            ("an id given twice", lambda root: edit(page_of(root), 'id="a---b"', 'id="987"'), "given twice"),
            ("a page without contents", lambda root: write(page_of(root), "<h1 id='x'>x</h1>"), "no in-page link"),
            ("a page that is missing", lambda root: os.remove(page_of(root)), "is missing"),
            ("a page that is not UTF-8", lambda root: write(page_of(root), b"<h1 id='x'>\x82\xa0</h1>"), "codec"),
        ]
        for index, (what, damage, reason) in enumerate(faults):
            root = os.path.join(work, "fault%d" % index)
            shutil.copytree(mini, root)
            damage(root)
            code, out = run("check-guide.py", root)
            checks.expect(what, code == 1 and reason in out, out)

        print("check-guide on zips:")
        whole = os.path.join(work, "whole.zip")
        make_zip(whole, [("P/" + os.path.relpath(os.path.join(d, n), mini).replace(os.sep, "/"),
                          open(os.path.join(d, n), "rb").read()) for d, _, names in os.walk(mini) for n in names])
        checks.expect("a zip with the whole package passes", check_ok(run("check-guide.py", whole)))
        bad_zips = [
            ("a zip of two top folders", [("A/x", "1"), ("B/y", "1")], "2 top folders"),
            ("a zip naming a path out of its folder", [("P/../x", "1")], "outside its folder"),
            ("a cut zip", None, "neither a folder nor a zip"),
        ]
        for index, (what, entries, reason) in enumerate(bad_zips):
            path = os.path.join(work, "bad%d.zip" % index)
            if entries is None:
                write(path, open(whole, "rb").read()[:200])
            else:
                make_zip(path, entries)
            code, out = run("check-guide.py", path)
            checks.expect(what, code == 1 and reason in out, out)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("guide: %d checks, %d failed" % (checks.count, checks.failed))
    return 1 if checks.failed or checks.count == 0 else 0


def page_of(root):
    return os.path.join(root, "docs", "guide.html")


def check_ok(result):
    return result[0] == 0


if __name__ == "__main__":
    sys.exit(main())
