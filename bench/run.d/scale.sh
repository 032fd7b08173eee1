#!/usr/bin/env bash
# How lexivo-cli grows with the size of the word list: american-english-insane alone (0.63 million words), the
# three lists american-english-insane, ngerman and french together (1.3 million) and those with generated
# compounds (pairs of short English words) up to 5 million. For each: the import into a new database as a whole
# process (wall clock, processor time and peak memory from /usr/bin/time), then the searches letters "tea",
# mask "*@" and palindromes as whole processes (median of 3). Targets at 5 million words: the import under 20 s
# with a peak under 1 GiB, each search under 2 s.
# Optional, it takes minutes and a gigabyte of scratch space: runs only with LEXIVO_BENCH_SCALE=1.
set -euo pipefail
build=${1:-build}
work=${LEXIVO_BENCH_WORK:?}
if [ "${LEXIVO_BENCH_SCALE:-0}" != 1 ]; then
  echo "== scale: skipped (set LEXIVO_BENCH_SCALE=1 to import 0.63, 1.3 and 5 million words) =="
  exit 0
fi
cli="$build/lexivo-cli"
english=/usr/share/dict/american-english-insane
lists=("$english" /usr/share/dict/ngerman /usr/share/dict/french)
for list in "${lists[@]}"; do
  [ -r "$list" ] || { echo "(scale: $list is not installed)"; exit 0; }
done
target=${LEXIVO_BENCH_SCALE_WORDS:-5000000}

echo "== scale: 0.63, 1.3 and $((target / 1000000)) million words =="
cat "${lists[@]}" > "$work/scale-1.3M.txt"
# Compounds: each short lower-case English word followed by others a fixed stride apart in the list, enough of
# them that the list reaches the target once the words that occur twice are left out. Distinct pairs can still
# spell the same word ("ab" "cd", "abc" "d"): the import counts those as duplicates.
have=$(sort -u "$work/scale-1.3M.txt" | wc -l)
grep -x '[a-z]\{2,6\}' "$english" | awk -v need=$((target - have)) '
  { w[n++] = $0 }
  END {
    made = 0
    for (stride = 1; made < need; stride += 7919)
      for (i = 0; i < n && made < need; i++) { print w[i] w[(i + stride) % n]; made++ }
  }' > "$work/scale-compounds.txt"
cat "$work/scale-1.3M.txt" "$work/scale-compounds.txt" > "$work/scale-5M.txt"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
declare -A figure
for size in 0.63M 1.3M 5M; do
  case $size in
    0.63M) list=$english ;;
    *) list="$work/scale-$size.txt" ;;
  esac
  db="$work/scale.mdb"
  rm -f "$db"
  "$cli" new "$db" >/dev/null 2>&1
  report=$( { /usr/bin/time -f "time %e %U %S %M" "$cli" --db "$db" import "$list" >/dev/null; } 2>&1)
  read -r _ wall_s user_s sys_s peak_kib < <(echo "$report" | grep '^time ')
  words=$("$cli" --db "$db" stats | awk '{print $3}')
  figure[import_$size]=$(echo "$wall_s * 1000 / 1" | bc)
  figure[cpu_import_$size]=$(echo "($user_s + $sys_s) * 1000 / 1" | bc)
  echo "scale_words_$size $words  ($(wc -l < "$list") lines in the list; $(du -m "$db" | cut -f1) MiB database)"
  echo "scale_import_ms_$size ${figure[import_$size]}  (processor ${figure[cpu_import_$size]} ms)"
  figure[peak_$size]=$((peak_kib / 1024))
  echo "scale_import_peak_mib_$size ${figure[peak_$size]}"
  for search in "letters tea" "mask *@" "palindromes"; do
    name=${search%% *}
    times=() cpus=()
    for _ in 1 2 3; do
      report=$( { set -f; /usr/bin/time -f "time %e %U %S" "$cli" --db "$db" $search >/dev/null; set +f; } 2>&1)
      read -r _ wall_s user_s sys_s < <(echo "$report" | grep '^time ')
      times+=("$(echo "$wall_s * 1000 / 1" | bc)")
      cpus+=("$(echo "($user_s + $sys_s) * 1000 / 1" | bc)")
    done
    figure[${name}_$size]=$(printf '%s\n' "${times[@]}" | median)
    figure[cpu_${name}_$size]=$(printf '%s\n' "${cpus[@]}" | median)
    echo "scale_${name}_ms_$size ${figure[${name}_$size]}  (processor ${figure[cpu_${name}_$size]} ms;" \
      "$(set -f; "$cli" --db "$db" $search 2>/dev/null | wc -l) words)"
  done
done
rm -f "$work/scale.mdb" "$work"/scale-*.txt

echo "growth from 0.63M to 1.3M and to 5M words (times the 0.63M figure; wall clock, then processor time):"
growth() { echo "scale=2; ${figure[$1_$2]} / ${figure[$1_0.63M]}" | bc; }
for name in import letters mask palindromes; do
  echo "scale_growth_$name $(growth "$name" 1.3M) $(growth "$name" 5M)  (${figure[${name}_0.63M]}," \
    "${figure[${name}_1.3M]} and ${figure[${name}_5M]} ms)"
  echo "scale_growth_cpu_$name $(growth "cpu_$name" 1.3M) $(growth "cpu_$name" 5M)  (${figure[cpu_${name}_0.63M]}," \
    "${figure[cpu_${name}_1.3M]} and ${figure[cpu_${name}_5M]} ms)"
done
verdict() { if [ "$(echo "$1" | bc)" = 1 ]; then echo "met"; else echo "MISSED"; fi; }
echo "import of 5M under 20 s: $(verdict "${figure[import_5M]} < 20000"), peak under 1024 MiB:" \
  "$(verdict "${figure[peak_5M]} < 1024")"
for name in letters mask palindromes; do
  echo "$name on 5M under 2 s: $(verdict "${figure[${name}_5M]} < 2000")"
done
