#!/usr/bin/env bash
# recipes.sh check|pictures BUILD_DIR DOCUMENT...: runs what each document
# shows, as a reader would, in a scratch folder of its own that holds a copy
# of samples/, with BUILD_DIR/bin first on the PATH; block by block:
#
#   ```sh     a bash script (-e -o pipefail), run in the scratch folder; one
#             after <!-- runs until Ctrl-C --> must print an address and
#             stop on Ctrl-C;
#   ```make   a makefile, made in the copy of samples/;
#   ```cmake  the calls of a project whose program is `firmware`, configured
#             and built against Pixtrel installed from BUILD_DIR, beside a
#             copy of the samples;
#   ```c      after <!-- from: FILE -->: must stand in FILE, written by a
#             block before it, as it is.
#
# A block after <!-- not run: REASON --> is left alone, as is one that runs
# scripts/build.sh (the tests are what it runs) and any other (C a firmware
# compiles against a display library, Windows' cmd, output).
# Then every picture the document shows whose file name a command wrote in
# the scratch folder must be that file (check), or is replaced by it
# (pictures): so the pictures show what this build draws.
set -euo pipefail
mode=$1 build=$(cd "$2" && pwd)
shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
export PATH=$build/bin:$PATH
unset DISPLAY WAYLAND_DISPLAY # The studio's recipe must not open a browser here.

work=$(mktemp -d "${TMPDIR:-/tmp}/pixtrel-recipes-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Splits DOCUMENT into DIR/N.LANG, one file a fenced block, and DIR/index,
# a line "N LANG MARKER" for each (MARKER the comment right before it).
split_blocks() {
  awk -v dir="$2" '
    /^```/ && !inside { inside = 1; n++; lang = substr($0, 4); file = dir "/" n "." lang
                        printf "" > file; print n, lang, marker > (dir "/index"); marker = ""; next }
    /^```/ && inside  { inside = 0; close(file); next }
    inside            { print > file; next }
    /^<!-- .* -->$/   { marker = $0; next }
                      { marker = "" }' "$1"
}

run_sh() {
  (cd "$work/run" && bash -e -o pipefail "$1") </dev/null >"$work/out" 2>&1 || fail "$document: $(cat "$1"): $(cat "$work/out")"
}

run_until_interrupted() {
  set -m
  (cd "$work/run" && exec bash -e "$1") </dev/null >"$work/out" 2>&1 &
  local pid=$!
  set +m
  for _ in $(seq 100); do
    grep -q 'http://127\.0\.0\.1:' "$work/out" && break
    sleep 0.1
  done
  kill -INT -- "-$pid" 2>/dev/null || true
  local status=0
  wait "$pid" || status=$?
  grep -q 'http://127\.0\.0\.1:' "$work/out" || fail "$document: $(cat "$1") printed no address: $(cat "$work/out")"
  [ "$status" = 0 ] || [ "$status" = 130 ] || fail "$document: $(cat "$1") ended with status $status on Ctrl-C"
}

run_make() {
  cp "$1" "$work/run/samples/Makefile"
  make -C "$work/run/samples" >"$work/out" 2>&1 || fail "$document: its makefile: $(cat "$work/out")"
  rm "$work/run/samples/Makefile"
}

run_cmake() {
  local project=$work/cmake-project
  [ -d "$work/prefix" ] || cmake --install "$build" --prefix "$work/prefix" >/dev/null
  rm -rf "$project" && cp -r "$root/samples" "$project"
  printf 'cmake_minimum_required(VERSION 3.20)\nproject(firmware C)\nadd_executable(firmware firmware.c)\n' \
    >"$project/CMakeLists.txt"
  cat "$1" >>"$project/CMakeLists.txt"
  printf 'int main(void) { return 0; }\n' >"$project/firmware.c"
  { cmake -S "$project" -B "$project/build" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" &&
    cmake --build "$project/build"; } >"$work/out" 2>&1 || fail "$document: $(cat "$1"): $(cat "$work/out")"
}

check_excerpt() {
  local file=$work/run/$2
  [ -f "$file" ] || fail "$document: no $2 holds the excerpt after it"
  [[ "$(cat "$file")" == *"$(cat "$1")"* ]] || fail "$document: $2 no longer holds the excerpt that begins $(head -1 "$1")"
}

compare_pictures() {
  local shown name
  { grep -o '!\[[^]]*\]([^)]*\.png)' "$document" || true; } | sed 's/.*(\(.*\))/\1/' | sort -u | while read -r shown; do
    name=$(basename "$shown")
    [ -f "$work/run/$name" ] || continue
    shown=$(dirname "$document")/$shown
    if [ "$mode" = pictures ]; then
      cp "$work/run/$name" "$shown"
    else
      cmp -s "$work/run/$name" "$shown" ||
        fail "$document: $shown is not what its recipe draws now (cmake --build build --target doc_pictures)"
    fi
  done
}

for document in "$@"; do
  rm -rf "$work/run" "$work/blocks"
  mkdir -p "$work/run" "$work/blocks"
  cp -r "$root/samples" "$work/run/samples"
  : >"$work/blocks/index"
  split_blocks "$document" "$work/blocks"
  while read -r n lang marker; do
    block=$work/blocks/$n.$lang
    case "$marker" in "<!-- not run:"*) continue ;; esac
    ! grep -q 'scripts/build\.sh' "$block" || continue
    case "$lang" in
      sh) if [ "$marker" = "<!-- runs until Ctrl-C -->" ]; then run_until_interrupted "$block"; else run_sh "$block"; fi ;;
      make) run_make "$block" ;;
      cmake) run_cmake "$block" ;;
      c) case "$marker" in "<!-- from: "*) check_excerpt "$block" "$(sed 's/<!-- from: \(.*\) -->/\1/' <<<"$marker")" ;; esac ;;
    esac
  done <"$work/blocks/index"
  compare_pictures
done
