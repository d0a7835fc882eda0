#!/usr/bin/python3
"""Gathers the licence texts of VARNOK and of everything linked into it, for the packages.

Usage: collect-licenses.py OUTPUT_DIR SOURCE_DIR LIBPNG_PREFIX LIBPNG_SOURCES CXX

The texts are read from this machine when the packages are made, never copied into the repository:
libpng's from the source tree it was built from, zlib's and the MinGW-w64 runtime's from the
copyright files of the Debian packages that hold the static libraries the compiler links. Each text
says where it came from. Any text that cannot be found fails the run: a package without its
licences must not be made.
"""
import glob
import os
import re
import subprocess
import sys


def fail(message):
    sys.exit("collect-licenses: " + message)


def read(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read()


def library(cxx, name):
    path = subprocess.run([cxx, "-print-file-name=" + name], capture_output=True, text=True).stdout.strip()
    if not os.path.isabs(path) or not os.path.exists(path):
        fail("the compiler %s does not know %s" % (cxx, name))
    return os.path.realpath(path)


def package_copyright(path):
    """(package, version, copyright file) of the Debian package that installed path."""
    found = subprocess.run(["dpkg", "-S", path], capture_output=True, text=True)
    if found.returncode != 0:
        fail("no Debian package holds %s" % path)
    package = found.stdout.split(":")[0].strip()
    version = subprocess.run(["dpkg-query", "-W", "-f=${Version}", package], capture_output=True,
                             text=True).stdout.strip()
    copyright_file = "/usr/share/doc/%s/copyright" % package
    if not os.path.exists(copyright_file):
        fail("the package %s has no copyright file" % package)
    return package, version, copyright_file


def between(text, start, end, what):
    """The text from the line starting with start up to (not including) the line starting with end."""
    match = re.search(r"^%s.*?(?=^%s)" % (re.escape(start), re.escape(end)), text, re.M | re.S)
    if not match:
        fail("the %s is not where it was expected" % what)
    return match.group(0).rstrip() + "\n"


def header(title, origin):
    return "%s\n%s\n\nTaken from %s.\n\n" % (title, "=" * len(title), origin)


def libpng_licence(prefix, sources):
    installed = read(os.path.join(prefix, "include", "png.h"))
    version = re.search(r'#define PNG_LIBPNG_VER_STRING "([^"]+)"', installed)
    if not version:
        fail("no libpng version in %s" % prefix)
    for tree in sorted(glob.glob(os.path.join(sources, "libpng1.6-*"))):
        png_h = os.path.join(tree, "png.h")
        if os.path.exists(png_h) and '"%s"' % version.group(1) in read(png_h):
            licence = os.path.join(tree, "LICENSE")
            if os.path.exists(licence):
                origin = "LICENSE of the libpng source tree built into VARNOK, %s" % os.path.basename(tree)
                return header("libpng %s" % version.group(1), origin) + read(licence)
    fail("no source tree of libpng %s with a LICENSE under %s" % (version.group(1), sources))


def gcc_runtime_licence(cxx):
    paths = [library(cxx, "libstdc++.a"), library(cxx, "libgcc.a")]
    origins = sorted({package_copyright(p) for p in paths})
    text = "".join(read(c) for _, _, c in origins[:1])
    listing = between(text, "The following runtime libraries are licensed", "The libbacktrace library",
                      "list of runtime libraries")
    exception = between(text, "GCC RUNTIME LIBRARY EXCEPTION", "libquadmath", "runtime library exception")
    gpl = "/usr/share/common-licenses/GPL-3"
    if not os.path.exists(gpl):
        fail("%s is missing" % gpl)
    origin = ", ".join("%s (Debian package %s %s)" % (c, p, v) for p, v, c in origins)
    return (header("libstdc++ and libgcc (GCC %s)" % origins[0][1], origin + " and " + gpl) +
            "VARNOK links libstdc++ and libgcc statically. They are covered by the GNU General Public\n"
            "License version 3 with the GCC Runtime Library Exception version 3.1, which allows\n"
            "programs compiled with GCC to be distributed under terms of their own choice.\n\n" +
            listing + "\n" + exception + "\n\n" + read(gpl))


def package_licence(title, path, note):
    package, version, copyright_file = package_copyright(path)
    return (header(title, "%s (Debian package %s %s)" % (copyright_file, package, version)) + note +
            read(copyright_file))


def main():
    if len(sys.argv) != 6:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    out, source, png_prefix, png_sources, cxx = sys.argv[1:]
    os.makedirs(out, exist_ok=True)
    texts = {
        "VARNOK.txt": read(os.path.join(source, "LICENSE")),
        "libpng.txt": libpng_licence(png_prefix, png_sources),
        "zlib.txt": package_licence("zlib", library(cxx, "libz.a"),
                                    "VARNOK links zlib statically, beneath libpng.\n\n"),
        "libstdc++-libgcc.txt": gcc_runtime_licence(cxx),
        "mingw-w64-runtime.txt": package_licence(
            "MinGW-w64 runtime (C runtime start-up code and winpthreads)", library(cxx, "libwinpthread.a"),
            "VARNOK links the MinGW-w64 C runtime start-up code and winpthreads statically.\n\n"),
    }
    for name, text in texts.items():
        with open(os.path.join(out, name), "w", encoding="utf-8", newline="\r\n") as f:
            f.write(text)
    print("collect-licenses: %d licence texts in %s" % (len(texts), out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
