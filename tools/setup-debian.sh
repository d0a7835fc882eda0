#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine, as root.
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libz-mingw-w64-dev wine wine64 xvfb xauth x11-utils locales fonts-ipafont-gothic
  googletest dpkg-dev python3 python3-pil python3-markdown nsis
)

need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then exec sudo -E "$0" "$@"; fi
    echo "setup: run as root (or with sudo) to install packages" >&2
    exit 1
  fi
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# libpng is built from Debian's own source package, so deb-src must be enabled.
have_deb_src() {
  grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null
}

locale_ok() { locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; }

if [ ${#missing[@]} -eq 0 ] && have_deb_src && locale_ok; then
  exit 0
fi
need_root "$@"

export DEBIAN_FRONTEND=noninteractive
updated=0
if ! have_deb_src; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -i -E 's/^Types: deb$/Types: deb deb-src/' /etc/apt/sources.list.d/debian.sources
  fi
  if ! have_deb_src; then
    echo 'deb-src http://deb.debian.org/debian bookworm main' > /etc/apt/sources.list.d/varnok-src.list
  fi
fi
apt-get update -q
updated=1
if [ ${#missing[@]} -gt 0 ]; then
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
if ! locale_ok; then
  sed -i -E 's/^# *(ja_JP\.UTF-8 UTF-8)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen
fi
: "$updated"
