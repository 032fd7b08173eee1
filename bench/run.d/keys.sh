#!/usr/bin/env bash
# The letter-key searches miss no word: 300 random words of each of american-english-insane, ngerman and french,
# each searched as an anagram and a synogram in small letters and in capitals, must find the word. Then the load
# of a file of the version before the keys were folded (the words of the first list, keys of the word as
# written): the keys rewritten at load, median of 3. Target: every word found.
set -euo pipefail
build=${1:-build}
work=${LEXIVO_BENCH_WORK:-$(mktemp -d /tmp/lexivo-keys.XXXXXX)}
lists=()
for list in /usr/share/dict/american-english-insane /usr/share/dict/ngerman /usr/share/dict/french; do
  if [ -r "$list" ]; then lists+=("$list"); else echo "($list is not installed)"; fi
done
echo "== letter keys of the folded word: no word missed =="
cmake --build "$build" --target bench_keys >/dev/null
"$build/bench_keys" "$work" "${lists[@]}"
rm -f "$work"/keys*.mdb
