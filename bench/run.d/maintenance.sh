#!/usr/bin/env bash
# The maintenance commands on a copy of the word database made by run.sh: the complete rebuild of that sound
# database and of one whose keys are all wrong, the quick re-build of one whose keys are all missing, and the
# compaction after the words with a "z" have been deleted. Targets: complete rebuild under 3 s; quick
# re-build of all-null keys under 3 s; compaction under 2 s.
set -euo pipefail
build=${1:-build}
echo "== maintenance: complete rebuild, quick re-build, compaction =="
out=$("$build/bench_maintenance" "$LEXIVO_BENCH_DB" "$LEXIVO_BENCH_LIST" "$LEXIVO_BENCH_WORK")
echo "$out"
value() { echo "$out" | awk -v key="$1" '$1 == key {print $2}'; }
verdict() { if [ "$(echo "$1" | bc)" = 1 ]; then echo "met"; else echo "MISSED"; fi; }
figures() { echo "$(value "$1_ms") ms wall, $(value "$1_cpu_ms") ms processor"; }
echo "complete rebuild under 3000 ms: $(verdict "$(value complete_rebuild_ms) < 3000") ($(figures complete_rebuild))"
echo "complete rebuild, every key wrong, under 3000 ms: $(verdict "$(value complete_rebuild_all_rows_ms) < 3000")" \
  "($(figures complete_rebuild_all_rows))"
echo "quick re-build of all-null keys under 3000 ms: $(verdict "$(value quick_rebuild_all_null_ms) < 3000")" \
  "($(figures quick_rebuild_all_null))"
echo "compaction under 2000 ms: $(verdict "$(value compact_ms) < 2000") ($(figures compact))"
[ "$(value complete_rebuild_all_rows_sound)" = yes ] && [ "$(value quick_rebuild_all_null_sound)" = yes ] &&
  [ "$(value compact_words_kept)" = yes ] && echo "every key sound after the re-builds; every word kept by the compaction"
