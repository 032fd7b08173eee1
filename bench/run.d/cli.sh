#!/usr/bin/env bash
# lexivo-cli as a whole process (start-up, opening and checking the database, the search, the output) beside
# the tools a user would otherwise reach for, measured in the same run: the anagrams of "tea" against an(6)
# and the mask c??k against grep. Targets: the anagram search at most a fifth of an's time, the mask at most
# three times grep's. "keys tea" needs no database and shows what starting the program alone costs.
set -euo pipefail
build=${1:-build}
db=${LEXIVO_BENCH_DB:?}
list=${LEXIVO_BENCH_LIST:?}
runs=${LEXIVO_BENCH_RUNS:-21}
cli="$build/lexivo-cli"
an=/usr/games/an
. "$(dirname "$0")/../hyperfine_times.sh"

echo "== lexivo-cli, whole process (median of $runs runs, wall clock) =="
if [ ! -x "$cli" ]; then
  echo "lexivo-cli is not built in $build"
  exit 1
fi

labels=(cli_anagram an_anagram cli_mask grep_mask cli_start)
commands=(
  "$cli --db '$db' anagram tea"
  "$an -d '$list' -l 1 tea"
  "$cli --db '$db' mask 'c??k'"
  "grep -i -x 'c..k' '$list'"
  "$cli keys tea"
)
if [ ! -x "$an" ]; then
  echo "(an is not installed: scripts/setup.sh --bench installs it)"
fi

declare -A wall cpu
if command -v hyperfine >/dev/null; then
  todo=()
  for c in "${commands[@]}"; do
    if [[ $c == "$an "* && ! -x $an ]]; then continue; fi
    todo+=("$c")
  done
  hyperfine_times "$runs" "${todo[@]}"
  tool="hyperfine $(hyperfine --version | awk '{print $2}')"
else
  # Without hyperfine: a loop of wall-clock readings, the middle one taken.
  for k in "${!commands[@]}"; do
    c=${commands[$k]}
    if [[ $c == "$an "* && ! -x $an ]]; then continue; fi
    for _ in 1 2 3; do eval "$c" >/dev/null 2>&1; done
    times=()
    for _ in $(seq "$runs"); do
      t0=$(date +%s%N)
      eval "$c" >/dev/null 2>&1
      t1=$(date +%s%N)
      times+=($(((t1 - t0) / 1000)))
    done
    median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
    wall[${labels[$k]}]=$(echo "scale=2; $median / 1000" | bc)
    cpu[${labels[$k]}]="-"
  done
  tool="date +%s%N loop (install hyperfine for processor times)"
fi

echo "timed with $tool"
for k in "${!commands[@]}"; do
  label=${labels[$k]}
  [ -n "${wall[$label]:-}" ] || continue
  printf '%-12s %9s ms wall %9s ms processor   %s\n' "$label" "${wall[$label]}" "${cpu[$label]}" "${commands[$k]}"
done

verdict() { if [ "$(echo "$1" | bc)" = 1 ]; then echo "met"; else echo "MISSED"; fi; }
if [ -n "${wall[an_anagram]:-}" ]; then
  ratio=$(echo "scale=3; ${wall[cli_anagram]} / ${wall[an_anagram]}" | bc)
  echo "cli_anagram_over_an $ratio"
  echo "anagram at most 1/5 of an: $(verdict "$ratio <= 0.2") (ratio $ratio)"
fi
ratio=$(echo "scale=2; ${wall[cli_mask]} / ${wall[grep_mask]}" | bc)
echo "cli_mask_over_grep $ratio"
echo "mask at most 3x grep: $(verdict "$ratio <= 3") (ratio $ratio)"
if [ -n "${wall[cli_start]:-}" ]; then
  rest=$(echo "scale=2; ${wall[cli_mask]} - ${wall[cli_start]}" | bc)
  echo "of the mask's time, starting the program (Qt Core and SQLite loaded, no database) takes ${wall[cli_start]} ms;" \
    "opening the database and the search ${rest} ms"
fi

# The same words as the window lists them, whatever the timings: the mask's result against grep's, with the
# case-insensitive duplicates the import leaves out removed from grep's.
cli_words=$("$cli" --db "$db" mask 'c??k' 2>/dev/null | sort -f | uniq -i | wc -l)
grep_words=$(grep -i -x 'c..k' "$list" | sort -f | uniq -i | wc -l)
echo "mask c??k: $cli_words words from lexivo-cli, $grep_words from grep (letter case folded)"
