#!/usr/bin/env bash
# Builds Lexivo when needed, starts it under a virtual X server, saves a screenshot of the screen and ends it.
#
#   scripts/screenshot.sh [-o shot.png] [-d word-database.mdb] [-b build-dir] [-w seconds] [-s WxH]
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

while getopts "o:d:b:w:s:h" option; do
  case $option in
    o) out=$(realpath -m "$OPTARG") ;;
    d) database=$(realpath -m "$OPTARG") ;;
    b) build=$(realpath -m "$OPTARG") ;;
    w) seconds=$OPTARG ;;
    s) screen=$OPTARG ;;
    *) sed -n '2,9p' "$0"; exit 2 ;;
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

xvfb-run -a -s "-screen 0 ${screen}x24" bash -c '
  "$1" &
  program=$!
  sleep "$2"
  import -window root "$3"
  kill "$program" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
' screenshot "$stage/lexivo" "$seconds" "$out"

echo "$out"
