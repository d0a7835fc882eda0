#!/usr/bin/python3
"""Makes the shipped user guide: one HTML page with its pictures, and the change list beside it.

Usage: make-guide.py --guide docs/guide.md --changes CHANGES.txt --version X.Y.Z --out FOLDER

FOLDER receives docs/guide.html, docs/images/<every picture the page shows> and CHANGES.txt, laid out
as they are in both packages: the page links the change list as ../CHANGES.txt. The guide's section
更新履歴 is made here from CHANGES.txt, at the marker line <!-- CHANGES.txt -->, so the change list
lives in one file. The shipped CHANGES.txt is UTF-8 with a byte order mark and Windows line ends,
like the zip's README.txt, so that Notepad shows it right.
"""
import argparse
import html
import os
import re
import shutil
import sys

try:
    import markdown
except ImportError:
    sys.exit("make-guide: Python-Markdown is missing: tools/setup-debian.sh installs python3-markdown")

MARKER = "<!-- CHANGES.txt -->"
# Kana, CJK ideographs and the full-width forms: the scripts whose lines join without a space.
CJK = "\u3000-\u30ff\u3400-\u4dbf\u4e00-\u9fff\uf900-\ufaff\uff00-\uffef"
CJK_CHAR = re.compile("[%s]" % CJK)
VERSION_LINE = re.compile(r"^(\d+\.\d+\.\d+)\s*(.*)$")

STYLE = """
body { margin: 0; background: #fff; color: #222; line-height: 1.75;
  font-family: "Yu Gothic UI", "Yu Gothic", "Meiryo", "MS PGothic", "Hiragino Sans", "Noto Sans CJK JP",
    "IPAPGothic", sans-serif; }
main { max-width: 46em; margin: 0 auto; padding: 1.5em 1.25em 4em; }
h1 { font-size: 1.8em; border-bottom: 3px solid #3a7d44; padding-bottom: .2em; }
h2 { font-size: 1.4em; border-bottom: 1px solid #bbb; padding-bottom: .15em; margin-top: 2.2em; }
h3 { font-size: 1.15em; margin-top: 1.8em; }
a { color: #1a5fb4; }
code { font-family: Consolas, "MS Gothic", monospace; font-size: .95em; background: #f3f3f3;
  padding: 0 .25em; border-radius: 3px; overflow-wrap: anywhere; }
pre { background: #f3f3f3; padding: .6em .9em; overflow-x: auto; line-height: 1.5; }
pre code { padding: 0; background: none; }
table { border-collapse: collapse; margin: 1em 0; font-size: .95em; }
th, td { border: 1px solid #999; padding: .3em .6em; text-align: left; vertical-align: top; }
th { background: #e8eee9; }
img { max-width: 100%; height: auto; border: 1px solid #ccc; }
footer { margin-top: 3em; color: #666; font-size: .9em; border-top: 1px solid #ccc; }
@media print { main { max-width: none; } a { color: inherit; } }
"""


class GuideError(Exception):
    pass


def github_slug(value, separator):
    """The anchor GitHub gives a heading, which the guide's own links use: lower case, every
    character but letters, digits, "_", "-" and spaces dropped, each space one separator (runs are
    not folded, as GitHub does not fold them). Markdown's own Unicode slug folds runs and strips the
    ends, which would break links to headings such as "A - B"."""
    value = re.sub(r"[^\w\- ]", "", value.lower())
    return value.replace(" ", separator)


def join_cjk_lines(text):
    """Joins a hard-wrapped line to the next when both sides of the break are Japanese: a browser
    shows such a line end as a space in the middle of a sentence. Code blocks, headings and table
    rows keep their lines."""
    out = []
    fenced = False
    for line in text.split("\n"):
        if line.lstrip().startswith("```"):
            fenced = not fenced
            out.append(line)
            continue
        body = line.lstrip()
        if (not fenced and out and body and CJK_CHAR.match(body) and out[-1].strip()
                and CJK_CHAR.match(out[-1][-1:]) and not out[-1].lstrip().startswith(("#", "|", "```"))):
            out[-1] += body
        else:
            out.append(line)
    return "\n".join(out)


def join_wrapped(lines):
    text = ""
    for line in lines:
        line = line.strip()
        if text and not (CJK_CHAR.match(text[-1]) and CJK_CHAR.match(line[0])):
            text += " "
        text += line
    return text


def read_changes(path):
    """[(version, note, [item, ...]), ...] from the change list, newest first, and its title.

    The format: a title underlined with "=", then for each version a line "X.Y.Z [note]" underlined
    with "-", and its items, each starting with "・", continued on lines that start with a space."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().lstrip("\ufeff").splitlines()
    versions, title = [], None
    i = 0
    while i < len(lines):
        line = lines[i].rstrip()
        under = lines[i + 1].strip() if i + 1 < len(lines) else ""
        where = "%s:%d" % (os.path.basename(path), i + 1)
        if not line:
            i += 1
        elif title is None and under and set(under) == {"="}:
            title = line.strip()
            i += 2
        elif VERSION_LINE.match(line) and under and set(under) == {"-"}:
            match = VERSION_LINE.match(line)
            versions.append((match.group(1), match.group(2), []))
            i += 2
        elif line.startswith("・") and versions:
            item = [line[1:]]
            i += 1
            while i < len(lines) and lines[i][:1] in (" ", "\u3000") and lines[i].strip():
                item.append(lines[i])
                i += 1
            versions[-1][2].append(join_wrapped(item))
        else:
            raise GuideError("%s: neither a title, a version nor an item starting with ・: %r" % (where, line))
    if title is None or not versions:
        raise GuideError("%s: no title or no version" % path)
    for version, _, items in versions:
        if not items:
            raise GuideError("%s: version %s lists nothing" % (path, version))
    return title, versions


def markdown_text(text):
    """Text shown as it is: HTML's specials as entities, Markdown's own marks escaped."""
    return re.sub(r"([\\`*_\[\]#!])", r"\\\1", html.escape(text, quote=False))


def changes_markdown(versions):
    parts = []
    for version, note, items in versions:
        parts.append("### %s%s\n" % (version, (" " + markdown_text(note)) if note else ""))
        parts.extend("- %s" % markdown_text(item) for item in items)
        parts.append("")
    return "\n".join(parts)


def copy_pictures(page, source_dir, out_dir):
    """Copies every picture the page shows, from beside the guide to beside the page."""
    copied = 0
    for src in sorted(set(re.findall(r'<img [^>]*src="([^"]+)"', page))):
        if re.match(r"[a-z]+:", src) or src.startswith("/") or ".." in src.split("/"):
            raise GuideError("picture %s is not a file beside the guide" % src)
        source = os.path.join(source_dir, *src.split("/"))
        if not os.path.isfile(source):
            raise GuideError("picture %s does not exist (%s)" % (src, source))
        target = os.path.join(out_dir, *src.split("/"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(source, target)
        copied += 1
    return copied


def main():
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    for name in ("guide", "changes", "version", "out"):
        parser.add_argument("--" + name, required=True)
    args = parser.parse_args()
    try:
        with open(args.guide, encoding="utf-8") as f:
            guide = f.read()
        if guide.count(MARKER) != 1:
            raise GuideError("%s must hold the line %s once, where the change list goes" % (args.guide, MARKER))
        _, versions = read_changes(args.changes)
        if versions[0][0] != args.version:
            raise GuideError("%s: the newest version is %s, the project's is %s" %
                             (args.changes, versions[0][0], args.version))
        guide = join_cjk_lines(guide.replace(MARKER, changes_markdown(versions)))
        converter = markdown.Markdown(extensions=["toc", "tables"], output_format="html",
                                      extension_configs={"toc": {"slugify": github_slug}})
        body = converter.convert(guide)
        title = re.search(r"<h1[^>]*>(.*?)</h1>", body)
        page = ("<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
                "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                "<meta name=\"generator\" content=\"VARNOK %s\">\n<title>%s</title>\n<style>%s</style>\n"
                "</head>\n<body>\n<main>\n%s\n<footer><p>VARNOK %s</p></footer>\n</main>\n</body>\n</html>\n"
                % (args.version, re.sub(r"<[^>]+>", "", title.group(1)) if title else "VARNOK",
                   STYLE, body, args.version))

        docs = os.path.join(args.out, "docs")
        if os.path.isdir(docs):
            shutil.rmtree(docs)
        os.makedirs(docs)
        pictures = copy_pictures(page, os.path.dirname(os.path.abspath(args.guide)), docs)
        with open(os.path.join(docs, "guide.html"), "w", encoding="utf-8", newline="\n") as f:
            f.write(page)
        with open(args.changes, encoding="utf-8") as f:
            changes = "\ufeff" + f.read().lstrip("\ufeff").replace("\r\n", "\n").replace("\n", "\r\n")
        with open(os.path.join(args.out, "CHANGES.txt"), "w", encoding="utf-8", newline="") as f:
            f.write(changes)
    except (GuideError, OSError, UnicodeDecodeError) as error:
        print("make-guide: %s" % error, file=sys.stderr)
        return 1
    print("make-guide: docs/guide.html (%d KB) with %d pictures, CHANGES.txt with %d versions"
          % ((len(page.encode("utf-8")) + 1023) // 1024, pictures, len(versions)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
