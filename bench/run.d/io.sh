#!/usr/bin/env bash
# Word list export of the whole database, and the import from the Import/Export window against the same import
# without a window. Targets: export under 1 s; the window's import within 10% of the plain one.
set -euo pipefail
build=${1:-build}
echo "== export and the import from the window =="
out=$("$build/bench_io" "$LEXIVO_BENCH_LIST" "$LEXIVO_BENCH_WORK" "$LEXIVO_BENCH_DB")
echo "$out"
value() { echo "$out" | awk -v key="$1" '$1 == key {print $2}'; }
verdict() { if [ "$(echo "$1" | bc)" = 1 ]; then echo "met"; else echo "MISSED"; fi; }
echo "export under 1000 ms: $(verdict "$(value export_ms) < 1000") ($(value export_ms) ms wall, $(value export_cpu_ms) ms processor)"
echo "window import within 10%: $(verdict "$(value import_window_over_core) <= 1.10") (ratio $(value import_window_over_core) wall, $(value import_window_over_core_cpu) processor)"
if command -v iconv >/dev/null; then
  # The export reads back as the words it holds: one per line, CR LF, valid UTF-8 without a byte order mark.
  file="$LEXIVO_BENCH_WORK/io-export.txt"
  iconv -f UTF-8 -t UTF-8 "$file" >/dev/null && echo "export is valid UTF-8"
  [ "$(head -c 3 "$file" | od -An -tx1 | tr -d ' ')" != "efbbbf" ] && echo "export has no byte order mark"
  [ "$(grep -c $'\r$' "$file")" = "$(value export_lines)" ] && echo "every line ends with CR LF"
fi
