#!/usr/bin/env bash
# Sets up a Debian machine for Pixtrel, builds it, then runs the program or
# every test.
#
#   bash scripts/build.sh run    install what is missing, build, start the program
#   bash scripts/build.sh test   install what is missing, build, run every test:
#                                the suite; the suite again, built with clang++
#                                under AddressSanitizer and UndefinedBehavior-
#                                Sanitizer; each fuzzer for
#                                $PIXTREL_FUZZ_SECONDS seconds (60); then the
#                                Windows build's suite under Wine
#   bash scripts/build.sh windows
#                                install what is missing, build the Windows
#                                programs (64-bit) and their installer in
#                                build-windows/, with FreeType, libpng and
#                                zlib built from Debian's sources on its
#                                first configuration
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ libgtest-dev xfonts-unifont xfonts-efont-unicode xfonts-intl-chinese libfreetype-dev libharfbuzz-dev zlib1g-dev libpng-dev libuchardet-dev libfontconfig-dev qt6-base-dev qt6-translations-l10n fonts-wqy-microhei fonts-wqy-zenhei xfonts-wqy fonts-droid-fallback fonts-noto-cjk fonts-dejavu-core dpkg-dev file
          clang libclang-rt-14-dev clang-format xvfb openbox xdotool x11-utils lintian gcc-arm-none-eabi
          g++-mingw-w64-x86-64-posix wine wine64 nsis imagemagick libcpp-httplib-dev nlohmann-json3-dev chromium)
# node and npm run the studio's browser test (puppeteer-core, from npm); a
# machine may have them from elsewhere.
command -v npm >/dev/null || packages+=(nodejs npm)

install_missing() {
  local missing=()
  for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

build() {
  cmake -S . -B build -G Ninja "$@"
  cmake --build build
}

# The sanitized build holds the fuzzers too: one build serves both. Its
# path is absolute: the studio's fuzzer works in a folder of its own.
sanitized=$PWD/build-sanitize

sanitized_build() {
  cmake -S . -B "$sanitized" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DPIXTREL_WERROR=ON \
    -DPIXTREL_SANITIZE=ON -DPIXTREL_FUZZ=ON -DPIXTREL_BUILD_BENCH=OFF
  cmake --build "$sanitized"
}

# The Windows build takes the tools that make its data files from the build
# for this machine.
windows=build-windows

windows_build() {
  cmake -S . -B "$windows" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DPIXTREL_WERROR=ON \
    -DPIXTREL_HOST_TOOLS="$PWD/build/bin" -DPIXTREL_BUILD_BENCH=OFF
  cmake --build "$windows"
}

run() {
  if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/bin/Pixtrel
  fi
  echo "No display: extracting the bundled sample with pixtrel-extract instead." >&2
  mkdir -p build/sample
  cp samples/menu.txt build/sample/menu.txt
  build/bin/pixtrel-extract build/sample/menu.txt
  echo "Glyph file: build/sample/menu.bin"
}

run_tests() {
  (cd "$1" && ctest --output-on-failure)
}

# Runs every fuzzer for a bounded time, seeded from samples/ (and the table
# fuzzer from the built code table too); new inputs are kept in
# $sanitized/corpus, and a finding is written to $sanitized/findings and
# fails the run.
run_fuzzers() {
  mkdir -p "$sanitized/findings" "$sanitized/seeds/table"
  cp "$sanitized/bin/GB2312.tbl" "$sanitized/seeds/table/"
  fuzz code_table_fuzzer -max_len=70000 samples "$sanitized/seeds/table"
  fuzz output_path_fuzzer samples
  fuzz run_fuzzer samples
  mkdir -p "$sanitized/seeds/studio"
  printf '{"args": ["--font", "font.ttf", "--format", "lvgl", "-o", "a.c", "menu.txt"]}' >"$sanitized/seeds/studio/export"
  printf '{"args": ["--png", "p.png"], "text": "x", "json": true}' >"$sanitized/seeds/studio/preview"
  fuzz studio_request_fuzzer -dict="$PWD/fuzz/studio_request.dict" "$sanitized/seeds/studio"
}

# fuzz NAME [LIBFUZZER_OPTION | SEED_DIR]...
fuzz() {
  local name=$1 seconds=${PIXTREL_FUZZ_SECONDS:-60}
  shift
  mkdir -p "$sanitized/corpus/$name"
  echo "Fuzzing $name for $seconds s" >&2
  "$sanitized/fuzz/$name" -max_total_time="$seconds" -artifact_prefix="$sanitized/findings/$name-" -print_final_stats=1 \
    "$sanitized/corpus/$name" "$@" 2>"$sanitized/$name.log" \
    || { tail -n 60 "$sanitized/$name.log" >&2; echo "$name found a fault; the input is in $sanitized/findings/" >&2; return 1; }
  grep -E '^stat::(number_of_executed_units|new_units_added)' "$sanitized/$name.log" >&2
}

case "${1:-}" in
  run) install_missing; build; run ;;
  test)
    install_missing
    build -DPIXTREL_WERROR=ON
    run_tests build
    sanitized_build
    run_tests "$sanitized"
    run_fuzzers
    windows_build
    run_tests "$windows"
    ;;
  windows)
    install_missing
    build
    windows_build
    (cd "$windows" && cpack -G NSIS64)
    echo "Windows programs: $windows/bin/Pixtrel.exe, $windows/bin/pixtrel-extract.exe, $windows/bin/pixtrel-mkfont.exe; installer: $windows/pixtrel-*-win64.exe"
    ;;
  *) echo "usage: bash scripts/build.sh run|test|windows" >&2; exit 2 ;;
esac
