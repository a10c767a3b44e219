#!/usr/bin/env python3
"""Measures the test suite's strength by injecting faults into the code.

Each mutant changes one place of one source file of core/, platform/, controls/ or shell/ (a
comparison flipped, a constant moved by one, a logical operator swapped, a call removed),
rebuilds, and runs the suite; a mutant that makes a test fail (or hang) is killed. Mutants that
do not compile are not counted. The same seed picks the same kinds of place, so two versions of
the tree can be compared by their kill rates.

    python3 scripts/mutants.py BUILD_DIR [--count N] [--seed S] [--list]

BUILD_DIR must be a configured build of the tests (any build type; add -Wno-parentheses to
CMAKE_CXX_FLAGS so that a swapped logical operator still builds); the tree is restored after each
mutant, also when the script is interrupted.
"""
import argparse
import pathlib
import random
import re
import signal
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
FOLDERS = ["core", "platform", "controls", "shell"]

OPERATORS = [
    ("flip <", re.compile(r"(?<= )<(?= )"), "<="),
    ("flip <=", re.compile(r"<="), "<"),
    ("flip >", re.compile(r"(?<= )>(?= )"), ">="),
    ("flip >=", re.compile(r">="), ">"),
    ("flip ==", re.compile(r"=="), "!="),
    ("flip !=", re.compile(r"!="), "=="),
    ("swap &&", re.compile(r"(?<= )&&(?= )"), "||"),
    ("swap ||", re.compile(r"(?<= )\|\|(?= )"), "&&"),
    ("constant +1", re.compile(r"(?<![\w.])([1-9]\d{0,4})(?![\w.])"), None),
]
CALL_LINE = re.compile(r"^\s+[A-Za-z_][\w:>.\-]*\([^;]*\);\s*$")


def candidates():
    found = []
    for folder in FOLDERS:
        for path in sorted((ROOT / folder).rglob("*.cpp")):
            lines = path.read_text(encoding="utf-8").split("\n")
            for number, line in enumerate(lines):
                stripped = line.strip()
                if stripped.startswith(("#", "//", "*", "/*")) or "QStringLiteral(\"" in line and "%" in line:
                    continue
                for name, pattern, replacement in OPERATORS:
                    for match in pattern.finditer(line):
                        if "template" in line or line[: match.start()].count('"') % 2 == 1:
                            continue
                        found.append((path, number, name, match.start(), match.end(), replacement))
                if CALL_LINE.match(line) and not stripped.startswith(("return", "throw", "delete")):
                    found.append((path, number, "remove call", 0, len(line), None))
    return found


def mutate(line, name, start, end, replacement):
    if name == "remove call":
        return line[: len(line) - len(line.lstrip())] + ";"
    if name == "constant +1":
        return line[:start] + str(int(line[start:end]) + 1) + line[end:]
    return line[:start] + replacement + line[end:]


def run(cmd, timeout):
    try:
        return subprocess.run(cmd, cwd=ROOT, capture_output=True, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--count", type=int, default=60)
    parser.add_argument("--seed", type=int, default=2026)
    parser.add_argument("--list", action="store_true")
    args = parser.parse_args()
    # A stop by signal still restores the file being mutated (the finally clause below).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    pool = candidates()
    rng = random.Random(args.seed)
    picked = rng.sample(pool, min(args.count, len(pool)))
    killed = survived = broken = 0
    for path, number, name, start, end, replacement in picked:
        original = path.read_text(encoding="utf-8")
        lines = original.split("\n")
        mutated = mutate(lines[number], name, start, end, replacement)
        where = f"{path.relative_to(ROOT)}:{number + 1} {name}: {lines[number].strip()} -> {mutated.strip()}"
        if args.list:
            print(where)
            continue
        lines[number] = mutated
        try:
            path.write_text("\n".join(lines), encoding="utf-8")
            if run(["cmake", "--build", args.build], 600) != 0:
                broken += 1
                print("does not build  " + where, flush=True)
                continue
            result = run(["ctest", "--test-dir", args.build, "--parallel", "4", "--timeout", "30",
                          "--stop-on-failure"], 900)
            if result == 0:
                survived += 1
                print("SURVIVED        " + where, flush=True)
            else:
                killed += 1
                print("killed          " + where, flush=True)
        finally:
            path.write_text(original, encoding="utf-8")
    if not args.list:
        run(["cmake", "--build", args.build], 600)
        counted = killed + survived
        print(f"{killed} killed, {survived} survived, {broken} did not build; "
              f"kill rate {100.0 * killed / counted if counted else 0:.1f} %")


if __name__ == "__main__":
    sys.exit(main())
