#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and
# the machine lacks, then cross-builds libjpeg-turbo from Debian's source
# package. Safe to run again: a second run finds everything and returns.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
deps="$top/.deps"
export DEBIAN_FRONTEND=noninteractive

need_root() {
  if [ "$(id -u)" != 0 ]; then
    command -v sudo >/dev/null && sudo "$@" || { echo "setup: run as root to install: $*" >&2; exit 1; }
  else
    "$@"
  fi
}

pkgs=(cmake make g++ dpkg-dev ca-certificates
      g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
      wine wine32:i386 wine64 fonts-wine
      xvfb xdotool x11-apps imagemagick
      googletest libgtest-dev)

missing=()
updated=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  need_root dpkg --add-architecture i386
  need_root apt-get update -qq; updated=1
fi
for p in "${pkgs[@]}"; do
  st=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$st" = "install ok installed" ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  [ $updated = 1 ] || { need_root apt-get update -qq; updated=1; }
  need_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# libjpeg-turbo, cross-built static from Debian's own source package.
jpeg_prefix="$deps/libjpeg-i686"
if [ ! -f "$jpeg_prefix/lib/libjpeg.a" ]; then
  src_list=/etc/apt/sources.list.d/debian-src.sources
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    base=/etc/apt/sources.list.d/debian.sources
    sed 's/^Types: deb$/Types: deb-src/' "$base" | need_root tee "$src_list" >/dev/null
    need_root apt-get update -qq
  elif [ $updated = 0 ] && ! apt-cache showsrc libjpeg-turbo 2>/dev/null | grep -q '^Package:'; then
    need_root apt-get update -qq
  fi
  mkdir -p "$deps/src"
  ( cd "$deps/src"
    ls libjpeg-turbo_*.dsc >/dev/null 2>&1 || apt-get source --download-only -qq libjpeg-turbo
    rm -rf libjpeg-turbo-src && mkdir libjpeg-turbo-src
    tar -xf libjpeg-turbo_*.orig.tar.* -C libjpeg-turbo-src --strip-components=1 )
  cmake -S "$deps/src/libjpeg-turbo-src" -B "$deps/build-jpeg" \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$jpeg_prefix" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
    -DWITH_JAVA=OFF >/dev/null
  cmake --build "$deps/build-jpeg" -j2 --target jpeg-static >/dev/null
  cmake --install "$deps/build-jpeg" >/dev/null 2>&1 || true
  # the install rules name targets not built; copy what the program links
  mkdir -p "$jpeg_prefix/lib" "$jpeg_prefix/include"
  cp "$deps/build-jpeg/libjpeg.a" "$jpeg_prefix/lib/"
  cp "$deps/build-jpeg/jconfig.h" "$deps/src/libjpeg-turbo-src/jpeglib.h" \
     "$deps/src/libjpeg-turbo-src/jmorecfg.h" "$deps/src/libjpeg-turbo-src/jerror.h" "$jpeg_prefix/include/"
fi
echo "setup: ready"
