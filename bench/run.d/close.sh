#!/usr/bin/env bash
# Closing the window with every word of the database loaded and listed: from the click on "&Close" to the end
# of the process. Target: under 100 ms. Runs without a display (Qt's offscreen platform) unless one is set.
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
"$build/bench_close" "$db" "${LEXIVO_BENCH_RUNS_CLOSE:-7}"
