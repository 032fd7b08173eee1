#!/usr/bin/env bash
# The searches on the word database made by run.sh: each mode's query in-process, the main window listing every
# word for the mask "*" (offscreen) and a confirmed stop of that listing, each part in a process of its own for
# its peak memory; beside them grep over the word list for the same masks and an(6) for the anagrams of "tea".
set -euo pipefail
build=$1
db=${LEXIVO_BENCH_DB:?}
list=${LEXIVO_BENCH_LIST:?}

echo "== searches, in-process (median) =="
queries=$("$build/bench_search" queries "$db")
echo "$queries"
echo
echo "== main window: mask \"*\" from the click to \"Found N word(s).\" =="
window=$("$build/bench_search" window "$db")
echo "$window"
echo
echo "== main window: a confirmed stop of that listing =="
stop=$("$build/bench_search" stop "$db")
echo "$stop"

value() { echo "$1" | awk -v key="$2" '$1 == key {print $2}'; }
verdict() { if [ "$(echo "$1" | bc)" = 1 ]; then echo "met"; else echo "MISSED"; fi; }
target() {  # label, figure, limit, unit
  echo "$1 under $3 $4: $(verdict "$2 < $3") ($2 $4)"
}
echo
target "anagram tea" "$(value "$queries" anagram_tea)" 0.1 ms
target "synogram tea" "$(value "$queries" synogram_tea)" 0.1 ms
target "letters in a word tea" "$(value "$queries" letters_tea)" 60 ms
target "mask c??k" "$(value "$queries" 'mask_c??k')" 60 ms
target "mask *@" "$(value "$queries" 'mask_*@')" 60 ms
target "palindromes" "$(value "$queries" palindromes)" 1500 ms
target "window listing" "$(value "$window" window_listing_median_ms)" 2000 ms
target "window peak memory" "$(value "$window" peak_memory_mib)" 250 MiB
target "stop: result shown after the confirmation" "$(value "$stop" stop_worst_ms)" 50 ms
target "stop: command returned after the confirmation" "$(value "$stop" stop_worst_returned_ms)" 50 ms

echo
echo "== other tools on the same list (best of 3) =="
best() {
  local label=$1
  shift
  local best_ms=""
  for _ in 1 2 3; do
    local t0 t1 ms
    t0=$(date +%s%N)
    "$@" >/dev/null
    t1=$(date +%s%N)
    ms=$(((t1 - t0) / 1000000))
    if [ -z "$best_ms" ] || [ "$ms" -lt "$best_ms" ]; then best_ms=$ms; fi
  done
  printf '%-34s %6s ms  (%s words)\n' "$label" "$best_ms" "$("$@" | wc -l)"
}
# grep -i -x with the regular expressions that mean the masks c??k, *@ and *.
best "grep -i -x 'c..k'" grep -i -x 'c..k' "$list"
best "grep -i -x '.*[aeiou]'" grep -i -x '.*[aeiou]' "$list"
best "grep -i -x '.*' (every word)" grep -i -x '.*' "$list"
best "an -l 1 -d LIST tea" /usr/games/an -l 1 -d "$list" tea
/usr/bin/time -f "grep -i -x '.*' peak memory: %M KiB" grep -i -x '.*' "$list" >/dev/null
