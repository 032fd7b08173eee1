#!/usr/bin/env bash
# Loading word databases written by earlier versions, which converts them once: the whole run of "lexivo-cli stats"
# on a fresh copy of each, median of 3, wall clock and processor time. Target: under 4 s for the 632,075 words of
# american-english-insane.
# - keys: the file of the version before the keys were made of the folded word (user_version 1, the program's
#   word order, the keys of each word as written): the keys that differ are written anew.
# - nocase: a file from before the program had its own word order (user_version 0, text fields in SQLite's NOCASE
#   with its three indexes, no Level field, the keys of each word as written): the table is copied into the word
#   order with the keys made anew on the way, and the indexes are built again.
set -euo pipefail
build=${1:-build}
db=${LEXIVO_BENCH_DB:?}
work=${LEXIVO_BENCH_WORK:?}
cli="$build/lexivo-cli"
. "$(dirname "$0")/../hyperfine_times.sh"
keys="$work/older-keys.mdb"
nocase="$work/older-nocase.mdb"

echo "== loading files of earlier versions, converted at load (median of 3) =="
cmake --build "$build" --target bench_keys lexivo_sqlite >/dev/null
"$build/bench_keys" --older "$db" "$keys"
rm -f "$nocase"
sqlite3 "$nocase" <<SQL
CREATE TABLE Dictionary (ID INTEGER, Letters TEXT(255) COLLATE NOCASE, Sorted TEXT(255) COLLATE NOCASE,
  Word TEXT(255) COLLATE NOCASE);
ATTACH '$keys' AS older;
INSERT INTO Dictionary (rowid, ID, Letters, Sorted, Word)
  SELECT rowid, ID, Letters, Sorted, Word FROM older.Dictionary NOT INDEXED ORDER BY rowid;
DETACH older;
CREATE INDEX Word ON Dictionary (Word);
CREATE INDEX Sorted ON Dictionary (Sorted);
CREATE INDEX Letters ON Dictionary (Letters);
SQL
sql() { sqlite3 "$1" -cmd ".load $build/lexivo" "$2"; }
for kind in keys nocase; do
  file="$work/older-$kind.mdb"
  echo "$kind file: user_version $(sql "$file" 'PRAGMA user_version'), $(sql "$file" 'SELECT COUNT(*) FROM Dictionary')" \
    "words, $(sql "$file" 'SELECT COUNT(*) FROM Dictionary WHERE Sorted IS NOT SortString(Word) COLLATE BINARY')" \
    "rows with keys other than the current ones, text fields in $(sql "$file" \
    "SELECT sql FROM sqlite_master WHERE name = 'Dictionary'" | grep -o 'COLLATE [A-Z]*' | sort -u | tr '\n' ' ')"
  times_on_copies "$file" "$work/converting.mdb" "$cli" --db "$work/converting.mdb" stats
  t0=$(date +%s%N)
  out=$("$cli" --db "$work/converting.mdb" stats)
  t1=$(date +%s%N)
  wall_ms=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 2p)
  echo "conversion runs ($kind): ${times[*]} ms wall, ${cpus[*]} ms processor; the converted file loaded again:" \
    "$(((t1 - t0) / 1000000)) ms ($out)"
  echo "conversion_${kind}_ms $wall_ms"
  echo "conversion_${kind}_cpu_ms $(printf '%s\n' "${cpus[@]}" | sort -n | sed -n 2p)"
  verdict=MISSED
  [ "$wall_ms" -lt 4000 ] && verdict=met
  # The converted file: sound, every word kept, the keys of every row those of the folded word, the current version.
  check=$(sql "$work/converting.mdb" 'PRAGMA integrity_check;
    SELECT COUNT(*) FROM Dictionary;
    SELECT COUNT(*) FROM Dictionary WHERE Sorted IS NOT SortString(Word) COLLATE BINARY
      OR Letters IS NOT UniqueChars(SortString(Word)) COLLATE BINARY;
    PRAGMA user_version;' | tr '\n' ' ')
  echo "conversion ($kind) under 4000 ms: $verdict; after it: integrity, words, rows with stale keys, user_version:" \
    "$check"
  rm -f "$work/converting.mdb"
done
rm -f "$keys" "$nocase"
