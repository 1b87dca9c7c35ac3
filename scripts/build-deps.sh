#!/usr/bin/env bash
# Cross-builds libcurl (Schannel TLS) and jsoncpp as static libraries for both Windows targets from
# Debian's source packages, into a cache outside the repository keyed by package version and target.
# A second run finds every stamp and rebuilds nothing.
set -euo pipefail

CACHE="${TOVIK_DEPS_CACHE:-$HOME/.cache/tovik-setup/deps}"
# Bumped whenever the way the libraries are built changes, so that the cache is rebuilt.
RECIPE=3
TARGETS=(i686-w64-mingw32 x86_64-w64-mingw32)
JOBS=$(nproc)
# Small code, one section a function so that the setup's link drops what it never calls, and no
# unwind tables for C code that never sees an exception: the shipped exe carries every byte.
C_SIZE_FLAGS="-Os -ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables"
CXX_SIZE_FLAGS="-Os -DNDEBUG -ffunction-sections -fdata-sections"

ensure_deb_src() {
  if apt-get source --print-uris curl >/dev/null 2>&1 && apt-get source --print-uris libjsoncpp >/dev/null 2>&1; then
    return
  fi
  # Mirror whatever binary sources the machine already uses as source entries.
  local out=/etc/apt/sources.list.d/tovik-deb-src.sources
  : > "$out.tmp"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    [ "$f" = "$out" ] && continue
    sed -e 's/^Types:.*/Types: deb-src/' "$f" >> "$out.tmp"
    echo >> "$out.tmp"
  done
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > /etc/apt/sources.list.d/tovik-deb-src.list || true
  fi
  mv "$out.tmp" "$out"
  apt-get update -qq
}

src_version() { apt-cache showsrc "$1" 2>/dev/null | awk '/^Version:/{print $2; exit}'; }

fetch_source() { # pkg version -> prints source dir
  local pkg=$1 ver=$2 dir="$CACHE/src/$pkg-$ver"
  if [ ! -f "$dir/.fetched" ]; then
    rm -rf "$dir" && mkdir -p "$dir"
    (cd "$dir" && apt-get source -qq "$pkg=$ver" >/dev/null 2>&1 || apt-get source -qq "$pkg" >/dev/null)
    touch "$dir/.fetched"
  fi
  find "$dir" -mindepth 1 -maxdepth 1 -type d -name "$pkg-*" | head -n 1
}

build_jsoncpp() { # srcdir prefix triple
  local src=$1 prefix=$2 triple=$3 b
  b=$(mktemp -d)
  cmake -S "$src" -B "$b" -G "Unix Makefiles" \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_C_COMPILER="$triple-gcc-posix" -DCMAKE_CXX_COMPILER="$triple-g++-posix" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="$CXX_SIZE_FLAGS" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON -DBUILD_OBJECT_LIBS=OFF \
    -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF -DJSONCPP_WITH_PKGCONFIG_SUPPORT=OFF \
    -DJSONCPP_WITH_CMAKE_PACKAGE=OFF >/dev/null
  cmake --build "$b" -j "$JOBS" >/dev/null
  cmake --install "$b" >/dev/null
  rm -rf "$b"
}

build_curl() { # srcdir prefix triple
  local src=$1 prefix=$2 triple=$3 b
  b=$(mktemp -d)
  (cd "$b" && CC="$triple-gcc-posix" CFLAGS="$C_SIZE_FLAGS" AR="$triple-ar" RANLIB="$triple-ranlib" STRIP="$triple-strip" PKG_CONFIG=false \
      "$src/configure" --host="$triple" --prefix="$prefix" \
      --disable-shared --enable-static --with-schannel --with-zlib="/usr/$triple" \
      --disable-ldap --disable-ldaps --without-libidn2 --without-libpsl --without-brotli --without-zstd \
      --without-nghttp2 --without-nghttp3 --without-ngtcp2 --without-libssh2 --without-librtmp \
      --without-libgsasl --disable-pthreads --disable-manual \
      --disable-dict --disable-file --disable-ftp --disable-gopher --disable-imap --disable-mqtt \
      --disable-pop3 --disable-rtsp --disable-smb --disable-smtp --disable-telnet --disable-tftp \
      --disable-alt-svc --disable-hsts --disable-doh --disable-mime --disable-netrc --disable-crypto-auth \
      --disable-unix-sockets --disable-get-easy-options --disable-headers-api --disable-progress-meter \
      --disable-ntlm \
      >/dev/null)
  make -C "$b/lib" -j "$JOBS" >/dev/null
  make -C "$b/lib" install >/dev/null
  make -C "$b/include" install >/dev/null
  rm -rf "$b"
}

build_one() { # pkg builder
  local pkg=$1 builder=$2 ver src
  ver=$(src_version "$pkg")
  [ -n "$ver" ] || { echo "build-deps: no source version for $pkg" >&2; exit 1; }
  for t in "${TARGETS[@]}"; do
    local prefix="$CACHE/$pkg-$ver-r$RECIPE/$t"
    [ -f "$prefix/.built" ] && continue
    src=$(fetch_source "$pkg" "$ver")
    echo "build-deps: building $pkg $ver for $t"
    rm -rf "$prefix"
    "$builder" "$src" "$prefix" "$t"
    touch "$prefix/.built"
  done
  ln -sfn "$pkg-$ver-r$RECIPE" "$CACHE/$pkg"
}

mkdir -p "$CACHE"
# Fast path: both libraries already built for both targets at the versions the links point at, by
# this recipe (a link left by an older recipe means a rebuild).
all_built=1
for pkg in curl libjsoncpp; do
  case "$(readlink "$CACHE/$pkg" 2>/dev/null)" in *-r$RECIPE) ;; *) all_built=0 ;; esac
  for t in "${TARGETS[@]}"; do [ -f "$CACHE/$pkg/$t/.built" ] || all_built=0; done
done
[ $all_built -eq 1 ] && exit 0

ensure_deb_src
build_one libjsoncpp build_jsoncpp
build_one curl build_curl
