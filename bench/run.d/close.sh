#!/usr/bin/env bash
# Closing the window with every word of the database loaded and listed: from the click on "&Close" to the end
# of the process; and closing it while the words are read into memory. Target: under 100 ms. Runs without a
# display (Qt's offscreen platform) unless one is set.
set -euo pipefail
build=${1:-build}
db=${LEXIVO_BENCH_DB:?}
echo "== closing the window with every word listed =="
if [ ! -x "$build/bench_close" ]; then
  echo "bench_close is not built in $build"
  exit 1
fi
words=$("$build/lexivo-cli" --db "$db" stats)
echo "$words"
[ -n "${DISPLAY:-}" ] || export QT_QPA_PLATFORM=offscreen
env -u LEXIVO_BENCH_CLOSE_AT "$build/bench_close" "$db" "${LEXIVO_BENCH_RUNS_CLOSE:-7}"
echo "== closing the window while the words are read into memory (${LEXIVO_BENCH_CLOSE_AT:-150} ms after opening) =="
LEXIVO_BENCH_CLOSE_AT=${LEXIVO_BENCH_CLOSE_AT:-150} "$build/bench_close" "$db" "${LEXIVO_BENCH_RUNS_CLOSE:-7}"
