#!/usr/bin/env bash
# Wordle and the pattern language: in the window's path (the words in memory) and lexivo-cli as whole processes.
# Targets: Wordle crane:..... under 5 ms, --rank info over its words under 1 s, the patterns ??1221, c<ra?e> and
# [l-p]?[m-r]?[w-z] each under 20 ms, the expression /(..).*\1 under 100 ms; each command line under 0.5 s.
set -euo pipefail
build=${1:-build}
db=${LEXIVO_BENCH_DB:?}
runs=${LEXIVO_BENCH_RUNS:-7}
cli="$build/lexivo-cli"

value() { echo "$1" | awk -v key="$2" '$1 == key {print $2}'; }
verdict() { if [ "$(echo "$1" | bc)" = 1 ]; then echo "met"; else echo "MISSED"; fi; }

echo "== Wordle and patterns in the window's path (median of 7) =="
figures=$("$build/bench_wordle_pattern" "$db" 2>/dev/null)
echo "$figures"
for target in wordle_crane_ms:5 wordle_crane_rank_info_ms:1000 pattern_1221_ms:20 pattern_c_ra_e_ms:20 \
  pattern_sets_ms:20 regex_backreference_ms:100; do
  name=${target%%:*} limit=${target##*:}
  echo "$name under $limit: $(verdict "$(value "$figures" "$name") < $limit")"
done

echo
echo "== lexivo-cli, whole processes (median of $runs runs) =="
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for args in "wordle crane:....." "wordle crane:..... --rank info" "pattern ??1221" "pattern c<ra?e>" \
  "pattern [l-p]?[m-r]?[w-z]" "pattern /(..).*\\1"; do
  times=()
  for _ in $(seq "$runs"); do
    t0=$(date +%s%N)
    # shellcheck disable=SC2086
    set -f; "$cli" --db "$db" $args >/dev/null 2>&1; set +f
    t1=$(date +%s%N)
    times+=("$(( (t1 - t0) / 1000000 ))")
  done
  ms=$(printf '%s\n' "${times[@]}" | median)
  echo "cli_ms $ms  $args  (under 500: $(verdict "$ms < 500"))"
done
