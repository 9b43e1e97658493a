#!/usr/bin/env bash
# Sets up a Debian machine for Pixtrel, builds it, then runs the program or
# every test.
#
#   bash scripts/build.sh run    install what is missing, build, start the program
#   bash scripts/build.sh test   install what is missing, build, run every test
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ libgtest-dev libbenchmark-dev unifont qt6-base-dev fonts-wqy-microhei dpkg-dev file)

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
  cmake -S . -B build -G Ninja
  cmake --build build
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
  (cd build && ctest --output-on-failure)
}

case "${1:-}" in
  run) install_missing; build; run ;;
  test) install_missing; build; run_tests ;;
  *) echo "usage: bash scripts/build.sh run|test" >&2; exit 2 ;;
esac
