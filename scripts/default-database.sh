#!/usr/bin/env bash
# Prints the path of the user's default word database, making it first if it is missing: the system's word
# list imported once, by the lexivo-cli built in BUILD, into ${XDG_DATA_HOME:-~/.local/share}/Lexivo/words.mdb,
# with each word's level from SCOWL's lists where they are installed.
# Without a word list it says so in one line on standard error and prints nothing.
#
#   scripts/default-database.sh [BUILD]
#
# LEXIVO_WORD_LIST names another list (default /usr/share/dict/words, Debian package wamerican).
set -euo pipefail

build=${1:-build}
list=${LEXIVO_WORD_LIST:-/usr/share/dict/words}
folder=${XDG_DATA_HOME:-$HOME/.local/share}/Lexivo
database=$folder/words.mdb

if [ ! -f "$database" ]; then
  if [ ! -r "$list" ]; then
    echo "No word list at $list (Debian package wamerican): Lexivo starts without a word database." >&2
    exit 0
  fi
  mkdir -p "$folder"
  # Made under another name and renamed when complete, so that an interrupted run is made again next time.
  partial=$(mktemp "$folder/.words.XXXXXX.mdb")
  trap 'rm -f "$partial"' EXIT
  echo "Making the word database $database from $list (once)..." >&2
  "$build/lexivo-cli" new "$partial" --force >/dev/null 2>&1
  # Possessives ("cat's") are no words for a word game.
  "$build/lexivo-cli" --db "$partial" import "$list" --ignore "'" 2>&1 | tail -n 1 >&2
  [ "${PIPESTATUS[0]}" -eq 0 ] || exit 1
  # How common each word is, so that "Common words only" works from the first run (package scowl).
  if [ -d /usr/share/dict/scowl ]; then
    "$build/lexivo-cli" --db "$partial" levels 2>&1 | tail -n 1 >&2 || true
  fi
  mv "$partial" "$database"
  trap - EXIT
fi
echo "$database"
