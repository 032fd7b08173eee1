#!/usr/bin/env bash
# Runs the benchmarks on a word list and prints their figures beside the figures of other tools measured in
# the same run. Usage: bench/run.sh BUILD_DIR [LIST]
set -euo pipefail
build=${1:-build}
list=${2:-/usr/share/dict/american-english-insane}
work=$(mktemp -d /tmp/lexivo-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
words=$(wc -l < "$list")
echo "word list: $list ($words lines)"
now() { date +%s%N; }
ms() { echo "scale=1; ($2 - $1) / 1000000" | bc; }

echo
echo "== import into a new word database, beside the raw bulk load (median of 5 pairs) =="
# The raw bulk load of the same list by the stock sqlite3 tool: a table and one index, no keys.
printf '%s\n' "CREATE TABLE Dictionary(Word TEXT COLLATE NOCASE);" "CREATE INDEX Word ON Dictionary(Word);" \
  ".mode list" ".separator \"\\t\" \"\\n\"" ".import $list Dictionary" > "$work/raw.sql"
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
imports=() raws=() ratios=() cpu_ratios=()
for pair in 1 2 3 4 5; do
  rm -f "$work/words.mdb" "$work/raw.db"
  out=$("$build/bench_import" "$list" "$work/words.mdb")
  import_ms=$(echo "$out" | awk '/^import_ms/ {print $2}')
  import_cpu_ms=$(echo "$out" | awk '/^import_cpu_ms/ {print $2}')
  t0=$(now)
  raw_cpu_ms=$( { /usr/bin/time -f "%U %S" sqlite3 "$work/raw.db" < "$work/raw.sql"; } 2>&1 | tail -n 1 |
    awk '{printf "%.1f", ($1 + $2) * 1000}')
  t1=$(now)
  raw_ms=$(ms "$t0" "$t1")
  echo "pair $pair: import ${import_ms} ms (processor ${import_cpu_ms} ms), sqlite3 raw bulk load ${raw_ms} ms" \
    "(processor ${raw_cpu_ms} ms)"
  imports+=("$import_ms") raws+=("$raw_ms") ratios+=("$(echo "scale=3; $import_ms / $raw_ms" | bc)")
  cpu_ratios+=("$(echo "scale=3; $import_cpu_ms / $raw_cpu_ms" | bc)")
done
echo "$out" | grep -v '^import_'
echo "import_ms $(printf '%s\n' "${imports[@]}" | median)  (median)"
echo "raw_load_ms $(printf '%s\n' "${raws[@]}" | median)  (sqlite3, median)"
# The wall clock's ratio is the target's; the processor times' ratio beside it holds still while other programs
# compete for the machine.
echo "import_ratio $(printf '%s\n' "${ratios[@]}" | median)  (import / raw, median of the pairs' ratios; target <= 2.0)"
echo "import_cpu_ratio $(printf '%s\n' "${cpu_ratios[@]}" | median)  (the same of the processor times)"
export LEXIVO_BENCH_DB="$work/words.mdb" LEXIVO_BENCH_LIST="$list" LEXIVO_BENCH_WORK="$work"

# Each further benchmark is a script of its own in bench/run.d/, given the build folder; it finds the word
# database made above (LEXIVO_BENCH_DB), the list (LEXIVO_BENCH_LIST) and a scratch folder (LEXIVO_BENCH_WORK).
for part in bench/run.d/*.sh; do
  [ -e "$part" ] || continue
  echo
  bash "$part" "$build"
done
