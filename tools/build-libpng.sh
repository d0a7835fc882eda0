#!/usr/bin/env bash
# Builds a static libpng 1.6 for 64-bit Windows from Debian's source package into DEPS_DIR.
# Usage: build-libpng.sh DEPS_DIR
set -euo pipefail
deps=$(mkdir -p "$1" && cd "$1" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
prefix="$deps/libpng"
[ -f "$prefix/lib/libpng.a" ] && [ -f "$prefix/include/png.h" ] && exit 0

src="$deps/src"
mkdir -p "$src"
if ! ls -d "$src"/libpng1.6-*/ >/dev/null 2>&1; then
  # The newest source version listed is not always on the mirror yet: try each listed version.
  for v in $(apt-cache showsrc libpng1.6 | sed -n 's/^Version: //p' | sort -rV | uniq); do
    if (cd "$src" && apt-get source -q "libpng1.6=$v" >"$deps/apt-source.log" 2>&1); then break; fi
    rm -rf "${src:?}"/*
  done
fi
dir=$(ls -d "$src"/libpng1.6-*/ 2>/dev/null | head -n 1)
if [ -z "$dir" ] || [ ! -f "$dir/png.h" ]; then
  echo "build-libpng: could not unpack Debian's libpng1.6 source (is deb-src enabled and dpkg-dev installed?)" >&2
  exit 1
fi
case "$(grep -m1 'define PNG_LIBPNG_VER_STRING' "$dir/png.h")" in
  *'"1.6.'*) ;;
  *) echo "build-libpng: $dir is not libpng 1.6" >&2; exit 1 ;;
esac

build="$deps/libpng-build"
rm -rf "$build"
cmake -S "$dir" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON -DPNG_HARDWARE_OPTIMIZATIONS=ON \
  -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
cmake --install "$build" >/dev/null
# The test images ship with the source; tests read them from here.
rm -rf "$deps/pngsuite"
cp -r "$dir/contrib/pngsuite" "$deps/pngsuite"
echo "build-libpng: libpng installed in $prefix"
