#!/usr/bin/env python3
"""Writes src/store/collation_tables.cpp, the tables of the word order, from the Unicode Character Database.

    python3 scripts/make_collation_tables.py [/usr/share/unicode] > src/store/collation_tables.cpp

The Debian package unicode-data provides the files. The output is committed: the word order must never change
with the machine that builds the program, only when these tables are made again on purpose (and then the order
version in collation.h goes up, so that existing files get their indexes rebuilt).

Two tables:
- simple case folding (CaseFolding.txt, status C and S): the folding under which two words are equal;
- the base letters of each folded character: its full decomposition (canonical and compatibility), folded
  again, without combining marks and format characters, with a few letters that have no decomposition but are
  written out in dictionaries (ae, oe, ss, and the Latin letters "with stroke" and the like, by their names).
"""
import re
import sys

folder = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/unicode"

fold = {}
version = None
for line in open(f"{folder}/CaseFolding.txt", encoding="utf-8"):
    if version is None:
        m = re.search(r"CaseFolding-(\d+\.\d+\.\d+)", line)
        if m:
            version = m.group(1)
    line = line.split("#")[0].strip()
    if not line:
        continue
    code, status, mapping = [f.strip() for f in line.split(";")[:3]]
    if status in ("C", "S"):
        fold[int(code, 16)] = int(mapping, 16)

names, category, decomposition = {}, {}, {}
for line in open(f"{folder}/UnicodeData.txt", encoding="utf-8"):
    fields = line.rstrip("\n").split(";")
    code = int(fields[0], 16)
    names[code] = fields[1]
    category[code] = fields[2]
    if fields[5]:
        parts = fields[5].split()
        if parts[0].startswith("<"):
            parts = parts[1:]
        decomposition[code] = [int(p, 16) for p in parts]

# Letters without a decomposition that dictionaries file under other letters.
special = {0x00DF: "ss", 0x00E6: "ae", 0x0153: "oe", 0x0131: "i"}
letter_with = re.compile(r"^LATIN SMALL LETTER ([A-Z]) WITH ")
for code, name in names.items():
    m = letter_with.match(name)
    if m and code not in decomposition and code not in special and fold.get(code, code) == code:
        special[code] = m.group(1).lower()

IGNORED = {"Mn", "Me", "Cf"}


def folded(c):
    return fold.get(c, c)


def base(c, depth=0):
    assert depth < 20
    c = folded(c)
    if c in special:
        return [x for ch in special[c] for x in base(ord(ch), depth + 1)]
    if c in decomposition:
        return [x for d in decomposition[c] for x in base(d, depth + 1)]
    if category.get(c) in IGNORED:
        return []
    return [c]


entries = []
pool = []
for code in sorted(names):
    if folded(code) != code:
        continue
    b = base(code)
    if b == [code]:
        continue
    for e in b:
        assert base(e) == [e], hex(code)
    entries.append((code, len(pool), len(b)))
    pool.extend(b)

assert len(pool) < 65536 and max(n for _, _, n in entries) < 256

out = sys.stdout


def rows(items, per_line):
    for i in range(0, len(items), per_line):
        out.write("    " + " ".join(items[i:i + per_line]) + "\n")


out.write("// Made by scripts/make_collation_tables.py from the Unicode Character Database %s. Do not edit.\n" % version)
out.write("// clang-format off\n\n")
out.write('#include "store/collation_tables.h"\n\nnamespace lexivo::collation {\n\n')
out.write('const char kUnicodeVersion[] = "%s";\n\n' % version)
out.write("const FoldEntry kFold[] = {\n")
rows(["{0x%X, 0x%X}," % (k, fold[k]) for k in sorted(fold)], 6)
out.write("};\nconst size_t kFoldSize = sizeof(kFold) / sizeof(kFold[0]);\n\n")
out.write("const BaseEntry kBase[] = {\n")
rows(["{0x%X, %d, %d}," % e for e in entries], 5)
out.write("};\nconst size_t kBaseSize = sizeof(kBase) / sizeof(kBase[0]);\n\n")
out.write("const char32_t kBasePool[] = {\n")
rows(["0x%X," % c for c in pool], 12)
out.write("};\n\n}  // namespace lexivo::collation\n")
