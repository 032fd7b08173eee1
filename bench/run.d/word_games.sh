#!/usr/bin/env bash
# The rack and phrase searches: in-process on the word database made by run.sh (the words already in memory), the
# main window's first 100 phrases of "the morse code" after the click, and lexivo-cli as a whole process beside
# an(6) on the same list, measured in the same run. Then the result sets of both against an's on a list of
# lower-case words. Targets: rack aeinrst?? under 30 ms and the phrases of "dormitory" (up to 3 words of at least
# 3 letters) under 50 ms in-process; the first 100 phrases within 100 ms of the click; lexivo-cli at most half
# of an's time for "rack aeinrst" (an -w aeinrst) and "phrase dormitory --min 3" (an -l 3 -m 3 dormitory).
set -euo pipefail
build=${1:-build}
db=${LEXIVO_BENCH_DB:?}
list=${LEXIVO_BENCH_LIST:?}
work=${LEXIVO_BENCH_WORK:-$(mktemp -d /tmp/lexivo-games.XXXXXX)}
runs=${LEXIVO_BENCH_RUNS:-21}
cli="$build/lexivo-cli"
an=/usr/games/an
. "$(dirname "$0")/../hyperfine_times.sh"

value() { echo "$1" | awk -v key="$2" '$1 == key {print $2}'; }
verdict() { if [ "$(echo "$1" | bc)" = 1 ]; then echo "met"; else echo "MISSED"; fi; }

echo "== rack and phrase, in-process (median; the words read into memory once before) =="
queries=$("$build/bench_word_games" queries "$db" 2>/dev/null)
echo "$queries"
echo
echo "== main window: phrases of \"the morse code\", up to 3 words =="
window=$("$build/bench_word_games" window "$db" 2>/dev/null)
echo "$window"
echo
echo "rack aeinrst?? under 30 ms: $(verdict "$(value "$queries" 'rack_aeinrst??') < 30") ($(value "$queries" 'rack_aeinrst??') ms)"
echo "phrase dormitory under 50 ms: $(verdict "$(value "$queries" phrase_dormitory_3x3) < 50")" \
  "($(value "$queries" phrase_dormitory_3x3) ms)"
echo "first 100 phrases within 100 ms of the click: $(verdict "$(value "$window" window_first_100_ms) < 100")" \
  "($(value "$window" window_first_100_ms) ms)"

echo
echo "== lexivo-cli and an, whole processes (median of $runs runs) =="
if [ ! -x "$an" ] || ! command -v hyperfine >/dev/null; then
  echo "(an or hyperfine is not installed: scripts/setup.sh --bench installs them)"
  exit 0
fi
labels=(cli_rack an_rack cli_phrase an_phrase)
commands=(
  "$cli --db '$db' rack aeinrst"
  "$an -d '$list' -w aeinrst"
  "$cli --db '$db' phrase dormitory --min 3"
  "$an -d '$list' -l 3 -m 3 dormitory"
)
declare -A wall cpu
hyperfine_times "$runs" "${commands[@]}"
for k in "${!commands[@]}"; do
  label=${labels[$k]}
  printf '%-11s %9s ms wall %9s ms processor   %s\n' "$label" "${wall[$label]}" "${cpu[$label]}" "${commands[$k]}"
done
for pair in rack phrase; do
  ratio=$(echo "scale=3; ${wall[cli_$pair]} / ${wall[an_$pair]}" | bc)
  cpu_ratio=$(echo "scale=3; ${cpu[cli_$pair]} / ${cpu[an_$pair]}" | bc)
  echo "cli_${pair}_over_an $ratio  (processor $cpu_ratio)"
  echo "$pair at most 0.5 of an: $(verdict "$ratio <= 0.5") (ratio $ratio wall, $cpu_ratio processor)"
done

echo
echo "== the same result sets as an on a list of lower-case words (each phrase's words in any order) =="
grep -x '[a-z][a-z]*' "$list" > "$work/lower.txt"
rm -f "$work/lower.mdb"
"$cli" new "$work/lower.mdb" >/dev/null 2>&1
"$cli" --db "$work/lower.mdb" import "$work/lower.txt" >/dev/null 2>&1
words_sorted() { perl -lane 'print join " ", sort @F' | sort; }
compare() {  # label, lexivo-cli arguments, an arguments
  local label=$1 ours theirs
  ours=$("$cli" --db "$work/lower.mdb" $2 2>/dev/null | words_sorted)
  theirs=$("$an" -d "$work/lower.txt" $3 | words_sorted)
  if [ "$ours" = "$theirs" ]; then
    echo "$label: same ($(echo "$ours" | grep -c .) results)"
  else
    echo "$label: DIFFERENT ($(echo "$ours" | grep -c .) from lexivo-cli, $(echo "$theirs" | grep -c .) from an)"
  fi
}
compare "rack aeinrst / an -w aeinrst" "rack aeinrst" "-w aeinrst"
compare "phrase dormitory --min 3 / an -l 3 -m 3 dormitory" "phrase dormitory --min 3" "-l 3 -m 3 dormitory"
compare "phrase 'the morse code' / an -l 3" "phrase the_morse_code" "-l 3 the_morse_code"
