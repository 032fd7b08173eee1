#!/usr/bin/env bash
# Builds Lexivo when needed, starts it under a virtual X server, saves a screenshot of the screen and ends it.
#
#   scripts/screenshot.sh [-o shot.png] [-d word-database.mdb] [-b build-dir] [-w seconds] [-s WxH]
#                         [-m mode -i input [-x sort-score] [-x ignore-accents] [-x tooltip] [-x meaning]]
#
# With -m, the window is shown with one search of that mode done (anagram, synogram, palindrome, mask, letters,
# rack, phrase, wordle, pattern) on the input -i, and the picture is of the window alone; -x sort-score ticks
# Options > Sort by score first, -x ignore-accents ticks Ignore accents, -x tooltip shows the tool tip of the
# first result, -x meaning shows the Meaning window of the first result instead.
#
# The program runs from a scratch folder of its own, so that its settings file there names the given
# database (or none) and the settings of a real installation are left alone.
# Needs xvfb, xauth and imagemagick (scripts/setup.sh --screenshot).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=$PWD/shot.png
database=""
build=$root/build
seconds=3
screen=800x600
mode=""
input=""
extras=()

while getopts "o:d:b:w:s:m:i:x:h" option; do
  case $option in
    o) out=$(realpath -m "$OPTARG") ;;
    d) database=$(realpath -m "$OPTARG") ;;
    b) build=$(realpath -m "$OPTARG") ;;
    w) seconds=$OPTARG ;;
    s) screen=$OPTARG ;;
    m) mode=$OPTARG ;;
    i) input=$OPTARG ;;
    x) extras+=("$OPTARG") ;;
    *) sed -n '2,14p' "$0"; exit 2 ;;
  esac
done

for tool in xvfb-run import; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/setup.sh --screenshot" >&2; exit 1; }
done

[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" >/dev/null
if ! cmake --build "$build" --target lexivo -j2 >/dev/null; then
  [ -x "$build/lexivo" ] || { echo "the build failed" >&2; exit 1; }
  echo "the build failed; using the program built before" >&2
fi

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$build/lexivo" "$stage/"
printf '%s\r\n' "$database" >"$stage/lexivo.ini"

if [ -n "$mode" ]; then
  cmake --build "$build" --target window_shot -j2 >/dev/null || { echo "the build failed" >&2; exit 1; }
  xvfb-run -a -s "-screen 0 ${screen}x24" "$build/window_shot" "$stage" "$out" "$mode" "$input" "${extras[@]}"
  echo "$out"
  exit 0
fi

xvfb-run -a -s "-screen 0 ${screen}x24" bash -c '
  "$1" &
  program=$!
  sleep "$2"
  import -window root "$3"
  kill "$program" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
' screenshot "$stage/lexivo" "$seconds" "$out"

echo "$out"
