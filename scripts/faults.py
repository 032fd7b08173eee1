#!/usr/bin/env python3
"""Puts each deliberate fault of a faults file into the code in turn, builds, runs the whole test suite and says
whether the suite caught it (failed); the file is restored afterwards, whatever happens. The suite stops at its first failing test.

  python3 scripts/faults.py BUILD_DIR [FAULTS_FILE [NAME_PATTERN]]

Run it from the repository's top folder, with BUILD_DIR configured. FAULTS_FILE (tests/faults.txt by default)
holds one fault per block, blocks ended by a line '---'; lines starting with '#' are comments:
  name: keys sorted ascending
  file: src/store/keys.cpp
  old:  return a.unicode() > b.unicode();
  new:  return a.unicode() < b.unicode();
'old' is one line of text that occurs in the file; its first occurrence is replaced by 'new', which must compile.
NAME_PATTERN (a regular expression) runs only the faults whose names it matches. Exit status: 0 when every
fault was caught, 1 when one was missed, did not build or did not apply."""
import os
import re
import subprocess
import sys
import time

FIELDS = ("name", "file", "old", "new")


def blocks(path):
    current, number = {}, 0
    for lineno, line in enumerate(open(path, encoding="utf-8").read().split("\n"), 1):
        if line.startswith("#"):
            continue
        if line.strip() == "---":
            if current:
                yield current
            current = {}
            continue
        key, sep, value = line.partition(":")
        if sep and key.strip() in FIELDS:
            current[key.strip()] = value.strip()
            current.setdefault("line", lineno)
        elif line.strip():
            sys.exit(f"{path}:{lineno}: not a field of a fault: {line}")
    if current:
        yield current


def build(folder):
    return subprocess.run(["cmake", "--build", folder, "-j", str(os.cpu_count() or 2)], capture_output=True,
                          text=True)


def main():
    if len(sys.argv) < 2 or len(sys.argv) > 4:
        print(__doc__)
        return 2
    folder = sys.argv[1]
    faults = sys.argv[2] if len(sys.argv) > 2 else "tests/faults.txt"
    pattern = re.compile(sys.argv[3]) if len(sys.argv) > 3 else None
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    caught = missed = 0
    for fault in blocks(faults):
        name = fault.get("name", f"line {fault['line']}")
        if pattern and not pattern.search(name):
            continue
        if any(k not in fault for k in FIELDS):
            print(f"MISSED  {name}: a field is missing (name, file, old and new are needed)")
            missed += 1
            continue
        path = fault["file"]
        original = open(path, encoding="utf-8").read()
        if fault["old"] not in original:
            print(f"MISSED  {name}: the text to replace is not in {path}")
            missed += 1
            continue
        started = time.time()
        try:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original.replace(fault["old"], fault["new"], 1))
            if build(folder).returncode:
                print(f"MISSED  {name}: does not build with the fault")
                missed += 1
                continue
            # The first failing test is enough to know the fault was caught.
            run = subprocess.run(["ctest", "-j", str(os.cpu_count() or 2), "--timeout", "300", "--stop-on-failure"],
                                 cwd=folder,
                                 capture_output=True, text=True, env=env)
            failing = [l.split(" - ", 1)[1].split(" (")[0] for l in run.stdout.splitlines()
                       if " - " in l and re.search(r"\((Failed|Timeout|SEGFAULT|Subprocess aborted)", l)]
            seconds = time.time() - started
            if run.returncode:
                shown = ", ".join(failing[:3]) + (", ..." if len(failing) > 3 else "")
                print(f"caught  {name}: {len(failing)} tests failed ({shown}) in {seconds:.0f} s", flush=True)
                caught += 1
            else:
                print(f"MISSED  {name}: the suite passed with this fault", flush=True)
                missed += 1
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)
    build(folder)
    print(f"{caught} caught, {missed} missed")
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
