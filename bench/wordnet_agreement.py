#!/usr/bin/env python3
"""Compares lexivo-cli define with WordNet's own `wn WORD -over` (Debian package wordnet) on random words:
half of them lemmas from the index files, half inflected forms (irregular forms from the exception lists and
regular ones made by adding an ending to a lemma). For each word both must give the same parts of speech, the
same base forms and the same number of senses of each. Usage: wordnet_agreement.py LEXIVO_CLI [COUNT] [SEED]"""
import os, random, re, subprocess, sys

cli = sys.argv[1]
count = int(sys.argv[2]) if len(sys.argv) > 2 else 400
random.seed(int(sys.argv[3]) if len(sys.argv) > 3 else 22)
folder = os.environ.get("WNSEARCHDIR", "/usr/share/wordnet")
names = {"noun": "noun", "verb": "verb", "adj": "adjective", "adv": "adverb"}

lemmas = []
for pos in names:
    with open(f"{folder}/index.{pos}", encoding="latin-1") as f:
        lemmas += [line.split(" ", 1)[0] for line in f if not line.startswith(" ")]
lemmas = [l for l in lemmas if re.fullmatch(r"[a-z]+", l)]
exceptions = []
for pos in ("noun", "verb", "adj"):
    with open(f"{folder}/{pos}.exc", encoding="latin-1") as f:
        exceptions += [line.split()[0] for line in f if re.fullmatch(r"[a-z]+", line.split()[0])]
endings = ["s", "es", "ed", "ing", "er", "est", "ies"]
words = random.sample(lemmas, count // 2)
inflected = random.sample(exceptions, count // 8)
while len(inflected) < count - len(words):
    inflected.append(random.choice(lemmas) + random.choice(endings))
words += inflected

def ours(word):
    out = subprocess.run([cli, "define", word], capture_output=True, text=True).stdout
    found, current = {}, None
    for line in out.splitlines():
        m = re.fullmatch(r"(?:.+ \u2192 )?(.+), (noun|verb|adjective|adverb)", line)
        if m:
            current = (m.group(2), m.group(1)); found[current] = 0
        elif current and re.match(r"  \d+\. ", line):
            found[current] += 1
    return found

def theirs(word):
    out = subprocess.run(["wn", word, "-over"], capture_output=True, text=True).stdout
    found = {}
    for m in re.finditer(r"^The (noun|verb|adj|adv) (.+) has (\d+) senses?", out, re.M):
        found[(names[m.group(1)], m.group(2))] = int(m.group(3))
    return found

agree = 0
for word in words:
    a, b = ours(word), theirs(word)
    if a == b:
        agree += 1
    else:
        print(f"differs: {word}: lexivo {sorted(a.items())} wn {sorted(b.items())}")
print(f"wordnet_agreement {agree}/{len(words)} words ({100.0 * agree / len(words):.1f}%)")
