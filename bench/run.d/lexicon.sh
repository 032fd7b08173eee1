#!/usr/bin/env bash
# Word levels, the level limit and WordNet. Targets: levels on the database of the list under 5 s; a search
# with --max-level 35 under 1.1 times the same search without it; define within 150 ms as a whole process,
# later look-ups in one process under 1 ms, the mapped WordNet under 60 MiB; and agreement with WordNet's own
# `wn WORD -over` (package wordnet) on 400 random lemmas and inflected forms.
set -euo pipefail
build=${1:-build}
db=${LEXIVO_BENCH_DB:?}
work=${LEXIVO_BENCH_WORK:?}
runs=${LEXIVO_BENCH_RUNS:-7}
cli="$build/lexivo-cli"
. "$(dirname "$0")/../hyperfine_times.sh"
declare -A wall cpu

echo "== word levels and meanings (median of $runs runs, wall clock) =="
if [ -d /usr/share/dict/scowl ]; then
  cp "$db" "$work/levels.mdb"
  labels=(levels)
  commands=("$cli --db '$work/levels.mdb' levels")
  hyperfine_times "$runs" "${commands[@]}"
  echo "levels_ms ${wall[levels]}"
  db="$work/levels.mdb"
  labels=() commands=()
  for search in "anagram listen" "letters tea" "mask 'c??k'" "palindromes" "rack 'retains?'" "phrase dormitory"; do
    name=${search%% *}
    labels+=("$name" "${name}_35")
    commands+=("$cli --db '$db' $search" "$cli --db '$db' $search --max-level 35")
  done
  hyperfine_times "$runs" "${commands[@]}"
  for search in anagram letters mask palindromes rack phrase; do
    echo "max_level_35_ratio_$search $(echo "scale=3; ${wall[${search}_35]} / ${wall[$search]}" | bc)" \
      "(${wall[${search}_35]} ms against ${wall[$search]} ms)"
  done
else
  echo "(SCOWL is not installed: package scowl)"
fi
if [ -d "${WNSEARCHDIR:-/usr/share/wordnet}" ]; then
  labels=(define) commands=("$cli define running")
  hyperfine_times "$runs" "${commands[@]}"
  echo "define_first_process_ms ${wall[define]}"
  cmake --build "$build" --target bench_lexicon >/dev/null
  "$build/bench_lexicon"
  if command -v wn >/dev/null; then
    python3 "$(dirname "$0")/../wordnet_agreement.py" "$cli" 400 | tail -n 1
  else
    echo "(wn is not installed: package wordnet)"
  fi
else
  echo "(WordNet is not installed: package wordnet-base)"
fi
