#!/usr/bin/python3
"""Fails when the shipped user guide points at anything its package does not hold.

Usage: check-guide.py PACKAGE [PAGE]

PACKAGE is an installed or unpacked folder, or the portable zip (its one top folder is checked);
PAGE is the guide's place in it, docs/guide.html unless given. Checked: every in-page link names an
id of the page; every relative link names a file inside the package (and, with a #fragment into an
HTML page, an id of that page); every picture is a file inside the package that starts like a PNG,
JPEG or GIF image. Links with a scheme (https:, mailto:) are counted, not followed. The page must
have headings with ids and at least one in-page link, or there would be nothing to check.
"""
import html.parser
import os
import posixpath
import re
import sys
import tempfile
import urllib.parse
import zipfile

IMAGE_SIGNATURES = (b"\x89PNG\r\n\x1a\n", b"\xff\xd8\xff", b"GIF87a", b"GIF89a")


class PageParser(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.ids = set()
        self.duplicate_ids = set()
        self.links = []
        self.pictures = []
        self.headings = 0

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        for key in ("id",) + (("name",) if tag == "a" else ()):
            if attrs.get(key):
                if attrs[key] in self.ids:
                    self.duplicate_ids.add(attrs[key])
                self.ids.add(attrs[key])
        if re.fullmatch(r"h[1-6]", tag) and attrs.get("id"):
            self.headings += 1
        if tag == "a" and attrs.get("href") is not None:
            self.links.append(attrs["href"])
        if tag == "img":
            self.pictures.append(attrs.get("src") or "")


def parse(path):
    parser = PageParser()
    with open(path, encoding="utf-8") as f:
        parser.feed(f.read())
    parser.close()
    return parser


def inside(root, page_dir, reference):
    """The file a relative reference names, or None when it leaves the package."""
    path = urllib.parse.unquote(reference)
    if path.startswith("/") or "\\" in path:
        return None
    relative = posixpath.normpath(posixpath.join(page_dir, path))
    if relative == ".." or relative.startswith("../"):
        return None
    return os.path.join(root, *relative.split("/"))


def check_page(root, page):
    """[failure, ...] and a summary of what was checked."""
    failures = []
    page_path = os.path.join(root, *page.split("/"))
    if not os.path.isfile(page_path):
        return ["the page %s is missing" % page], ""
    parsed = parse(page_path)
    page_dir = posixpath.dirname(page)
    in_page = external = files = 0
    other_pages = {}
    for duplicate in sorted(parsed.duplicate_ids):
        failures.append("id %r is given twice" % duplicate)
    if parsed.headings == 0:
        failures.append("no heading has an id")
    for link in parsed.links:
        target, _, fragment = link.partition("#")
        fragment = urllib.parse.unquote(fragment)
        if not target:
            in_page += 1
            if fragment not in parsed.ids:
                failures.append("in-page link %r: no such id" % link)
            continue
        if re.match(r"[A-Za-z][A-Za-z0-9+.-]*:", target):
            external += 1
            continue
        files += 1
        path = inside(root, page_dir, target)
        if path is None:
            failures.append("link %r leaves the package" % link)
        elif not os.path.isfile(path):
            failures.append("link %r: no such file in the package" % link)
        elif fragment and path.lower().endswith((".html", ".htm")):
            ids = other_pages.setdefault(path, parse(path).ids)
            if fragment not in ids:
                failures.append("link %r: no such id in that page" % link)
    if in_page == 0:
        failures.append("no in-page link: the contents are missing")
    for src in parsed.pictures:
        path = inside(root, page_dir, src) if src and not re.match(r"[A-Za-z][A-Za-z0-9+.-]*:", src) else None
        if path is None:
            failures.append("picture %r is not a file inside the package" % src)
        elif not os.path.isfile(path):
            failures.append("picture %r: no such file in the package" % src)
        else:
            with open(path, "rb") as f:
                head = f.read(8)
            if not head.startswith(IMAGE_SIGNATURES):
                failures.append("picture %r is no PNG, JPEG or GIF image" % src)
    summary = ("%d ids, %d in-page links, %d file links, %d pictures, %d external links not followed"
               % (len(parsed.ids), in_page, files, len(parsed.pictures), external))
    return failures, summary


def unpack(archive, folder):
    """The zip's one top folder, unpacked into folder."""
    with zipfile.ZipFile(archive) as z:
        names = z.namelist()
        tops = {n.split("/")[0] for n in names}
        if len(tops) != 1:
            raise ValueError("the zip has %d top folders" % len(tops))
        for name in names:
            parts = name.split("/")
            if ".." in parts or name.startswith("/") or "\\" in name:
                raise ValueError("the zip names a path outside its folder: %r" % name)
        z.extractall(folder)
    return os.path.join(folder, tops.pop())


def main():
    if len(sys.argv) not in (2, 3):
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    package = sys.argv[1]
    page = sys.argv[2] if len(sys.argv) == 3 else "docs/guide.html"
    with tempfile.TemporaryDirectory(prefix="varnok-guide-") as folder:
        try:
            root = unpack(package, folder) if zipfile.is_zipfile(package) else package
            if not os.path.isdir(root):
                raise ValueError("%s is neither a folder nor a zip" % package)
            failures, summary = check_page(root, page)
        except (OSError, ValueError, zipfile.BadZipFile, UnicodeDecodeError) as error:
            failures, summary = [str(error)], ""
    for failure in failures:
        print("  FAIL %s" % failure)
    if failures:
        print("check-guide: %s: %d faults in %s" % (package, len(failures), page))
        return 1
    print("check-guide: %s: %s, every one found" % (package, summary))
    return 0


if __name__ == "__main__":
    sys.exit(main())
