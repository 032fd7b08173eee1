#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds (default 60). Inputs that reach new code are kept in
# the build folder's corpus; crashes, leaks and timeouts are written to fuzz/found/<target>/, which `make test`
# replays (commit them with the fix). FUZZ_MERGE=1 afterwards folds the new inputs into the seed corpus.
set -uo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
targets=(word_list_reader like_match mask_test query_text)
status=0
for target in "${targets[@]}"; do
  found="$root/fuzz/found/$target"
  work="$build/corpus/$target"
  mkdir -p "$found" "$work"
  echo "== fuzz_$target for ${seconds}s"
  "$build/fuzz_$target" -max_total_time="$seconds" -max_len=1024 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$found/" "$work" "$root/fuzz/corpus/$target" >"$build/$target.log" 2>&1
  rc=$?
  runs=$(grep -E '^stat::number_of_executed_units' "$build/$target.log" | awk '{print $2}')
  added=$(grep -E '^stat::new_units_added' "$build/$target.log" | awk '{print $2}')
  if [ $rc -eq 0 ]; then
    echo "   ${runs:-?} inputs run, ${added:-0} new ones kept, no failure"
  else
    echo "   FAILED after ${runs:-?} inputs: see $build/$target.log; the input is in fuzz/found/$target/"
    status=1
  fi
  if [ "${FUZZ_MERGE:-0}" = 1 ]; then
    "$build/fuzz_$target" -merge=1 "$root/fuzz/corpus/$target" "$work" >/dev/null 2>&1
  fi
done
exit $status
