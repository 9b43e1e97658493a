#!/usr/bin/env bash
# windows-libraries.sh DIR TOOLCHAIN_FILE: fetches Debian's source packages
# of zlib, libpng, FreeType, HarfBuzz, uchardet, cpp-httplib and nlohmann-json into DIR with the package tools and
# builds them as static libraries for Windows with TOOLCHAIN_FILE (the last
# two are headers alone, copied), into
# DIR/prefix, with their licences in DIR/prefix/licenses. Each is done once:
# a library DIR holds already is left as it is.
#
# The sources are those of this machine's Debian release (its main archive
# and its point-release updates), with Debian's patches applied. apt works
# on lists of its own in DIR: the machine's package sources stay as they are.
set -euo pipefail
dir=$(realpath -m "$1")
toolchain=$(realpath "$2")
prefix=$dir/prefix
# The source packages, in the order they are built, each after those it needs.
packages=(zlib libpng1.6 freetype harfbuzz uchardet cpp-httplib nlohmann-json3)
missing=()
for package in "${packages[@]}"; do
  [ -e "$prefix/built-$package" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

mkdir -p "$dir/apt/lists/partial" "$dir/apt/cache/archives/partial" "$dir/apt/sources.list.d" "$dir/logs"
. /etc/os-release
archive="[signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian"
printf 'deb-src %s %s main\n' "$archive" "$VERSION_CODENAME" "$archive" "$VERSION_CODENAME-updates" >"$dir/apt/sources.list"
apt_options=(-qq -o Dir::Etc::SourceList="$dir/apt/sources.list" -o Dir::Etc::SourceParts="$dir/apt/sources.list.d"
  -o Dir::State::Lists="$dir/apt/lists" -o Dir::Cache="$dir/apt/cache")
[ "$(id -u)" -eq 0 ] && apt_options+=(-o APT::Sandbox::User=root)

# fail WHAT LOG: says what failed, with the end of its log, and stops.
fail() {
  tail -n 40 "$2" >&2
  echo "windows-libraries.sh: $1 failed; its log is $2" >&2
  exit 1
}

echo "Fetching the Debian sources of ${missing[*]}" >&2
log=$dir/logs/fetch.log
mkdir -p "$dir/src"
for package in "${missing[@]}"; do rm -rf "$dir/src/$package"-[0-9]*; done
{ apt-get "${apt_options[@]}" update && (cd "$dir/src" && apt-get "${apt_options[@]}" source "${missing[@]}"); } \
  >"$log" 2>&1 || fail "Fetching the sources" "$log"

# source NAME: the directory of the unpacked source package NAME.
source_dir() {
  local found=("$dir"/src/"$1"-[0-9]*/)
  [ -d "${found[0]}" ] || fail "Unpacking $1" "$log"
  echo "${found[0]%/}"
}

# build NAME TARGET CMAKE_OPTION...: configures NAME's source with the
# toolchain and builds its TARGET, writing the log to logs/NAME.log.
build() {
  local name=$1 target=$2 log=$dir/logs/$1.log
  shift 2
  local source
  source=$(source_dir "$name")
  { cmake -S "$source" -B "$dir/build/$name" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_POSITION_INDEPENDENT_CODE=OFF "$@" &&
    cmake --build "$dir/build/$name" --target "$target"; } >"$log" 2>&1 || fail "Building $name" "$log"
  licence "$name"
}

# licence NAME: NAME's copyright and version beside the libraries.
licence() {
  local source
  source=$(source_dir "$1")
  mkdir -p "$prefix/licenses/$1"
  cp "$source/debian/copyright" "$prefix/licenses/$1/copyright"
  dpkg-parsechangelog -l "$source/debian/changelog" -S Version >"$prefix/licenses/$1/version"
}

# wanted NAME: true when the library NAME is still to be built.
wanted() { [[ " ${missing[*]} " == *" $1 "* ]]; }

echo "Building ${missing[*]} for Windows" >&2
mkdir -p "$prefix/lib" "$prefix/include"
zlib=(-DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include")
if wanted zlib; then
  # The static library and its headers alone: zlib's install would add its
  # DLL, which Debian's source cannot make (it has not the DLL's resources).
  build zlib zlibstatic
  cp "$dir/build/zlib/libzlibstatic.a" "$prefix/lib/libz.a"
  cp "$(source_dir zlib)/zlib.h" "$dir/build/zlib/zconf.h" "$prefix/include/"
  touch "$prefix/built-zlib"
fi

if wanted libpng1.6; then
  build libpng1.6 all "${zlib[@]}" -DPNG_SHARED=OFF -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF
  cmake --install "$dir/build/libpng1.6" >>"$dir/logs/libpng1.6.log" 2>&1 || fail "Installing libpng" "$dir/logs/libpng1.6.log"
  touch "$prefix/built-libpng1.6"
fi

if wanted freetype; then
  # As Debian builds it for Linux (debian/rules): zlib and libpng, no bzip2 nor
  # HarfBuzz; and no Brotli, which the build has not.
  build freetype all "${zlib[@]}" -DPNG_LIBRARY="$prefix/lib/libpng16.a" -DPNG_PNG_INCLUDE_DIR="$prefix/include" \
    -DBUILD_SHARED_LIBS=OFF -DFT_REQUIRE_ZLIB=ON -DFT_REQUIRE_PNG=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_HARFBUZZ=ON \
    -DFT_DISABLE_BROTLI=ON
  cmake --install "$dir/build/freetype" >>"$dir/logs/freetype.log" 2>&1 || fail "Installing FreeType" "$dir/logs/freetype.log"
  touch "$prefix/built-freetype"
fi

if wanted harfbuzz; then
  # HarfBuzz alone, as the programs read kerning with it: without FreeType,
  # GLib, ICU or Graphite, its tools or its subsetter.
  build harfbuzz all -DBUILD_SHARED_LIBS=OFF -DHB_HAVE_FREETYPE=OFF -DHB_HAVE_GLIB=OFF -DHB_HAVE_ICU=OFF \
    -DHB_HAVE_GRAPHITE2=OFF -DHB_BUILD_SUBSET=OFF -DHB_BUILD_UTILS=OFF
  cmake --install "$dir/build/harfbuzz" >>"$dir/logs/harfbuzz.log" 2>&1 || fail "Installing HarfBuzz" "$dir/logs/harfbuzz.log"
  touch "$prefix/built-harfbuzz"
fi

if wanted uchardet; then
  build uchardet all -DBUILD_SHARED_LIBS=OFF -DBUILD_BINARY=OFF
  cmake --install "$dir/build/uchardet" >>"$dir/logs/uchardet.log" 2>&1 || fail "Installing uchardet" "$dir/logs/uchardet.log"
  touch "$prefix/built-uchardet"
fi

if wanted cpp-httplib; then
  cp "$(source_dir cpp-httplib)/httplib.h" "$prefix/include/"
  licence cpp-httplib
  touch "$prefix/built-cpp-httplib"
fi

if wanted nlohmann-json3; then
  cp -r "$(source_dir nlohmann-json3)/single_include/nlohmann" "$prefix/include/"
  licence nlohmann-json3
  touch "$prefix/built-nlohmann-json3"
fi
