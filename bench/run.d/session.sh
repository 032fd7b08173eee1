#!/usr/bin/env bash
# The main window's listing searches with its words in memory (the search session's index ready), in-process on the
# word database made by run.sh. Targets: letters tea under 10 ms, mask *@ under 15 ms, palindromes under 60 ms,
# anagram tea under 0.1 ms; the index read in under 400 ms and holding at most 60 MiB.
set -euo pipefail
build=${1:-build}
db=${LEXIVO_BENCH_DB:?}

echo "== listing searches on the index of the main window (median) =="
figures=$("$build/bench_session" "$db")
echo "$figures"
value() { echo "$figures" | awk -v key="$1" '$1 == key {print $2}'; }
verdict() { if [ "$(echo "$1" | bc)" = 1 ]; then echo "met"; else echo "MISSED"; fi; }
for target in window_letters_tea_ms:10 window_mask_star_vowel_ms:15 window_palindromes_ms:60 \
  window_anagram_tea_ms:0.1 index_read_ms:400 index_mib:60.01; do
  name=${target%%:*} limit=${target##*:}
  echo "$name under $limit: $(verdict "$(value "$name") < $limit") ($(value "$name"))"
done
