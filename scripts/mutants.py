#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Samples mutants of the program and tells which the tests catch.

    scripts/mutants.py [--seed N] [--count K] [--want PERCENT] [--scratch DIR] [PATHS...]

Each mutant is one operator changed at one place in src/ (or in PATHS):
a comparison, a logical operator or a step of one. The sites are listed
(comments, strings and preprocessor lines skipped), K are drawn with the
seed, and each is applied alone in a scratch work tree of its own (a
detached checkout of HEAD with a build folder configured once; CMake keeps
absolute paths, so a copied build folder would not do). The tree is rebuilt
incrementally (with Qt's index checks on) and the whole suite is run under
a time limit, but for the package test, which builds a .deb and tests none
of the code; the suite must pass before any change. A failing
or hung suite catches the mutant. The file is then restored and touched so
the next build cannot reuse an object of the mutant.

One line per mutant:  file:line 'from'->'to' caught|SURVIVED|timeout|unbuilt
then each folder's caught, and the score of the built ones that are not
listed as equivalent in scripts/mutants-equivalent.txt ("file|code of the
line|from->to", one per line, with a "# why" comment above it). Exits 1
when the score is below --want.
"""

import argparse
import os
import random
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EQUIVALENTS = os.path.join(ROOT, "scripts", "mutants-equivalent.txt")

# Binary operators stand between blanks in this code base (clang-format),
# which tells them from template brackets and pointers.
SWAPS = [
    (" <= ", " < "), (" >= ", " > "), (" < ", " <= "), (" > ", " >= "),
    (" == ", " != "), (" != ", " == "), (" && ", " || "), (" || ", " && "),
    (" + 1", " - 1"), (" - 1", " + 1"),
]


def code_only(line):
    """The line with its string and character literals blanked and its
    comment cut, so no operator is found inside them."""
    out, i, quote = [], 0, None
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                out.append("  ")
                i += 2
                continue
            if c == quote:
                quote = None
            out.append(" ")
        elif c in "\"'":
            quote = c
            out.append(" ")
        elif line.startswith("//", i):
            break
        else:
            out.append(c)
        i += 1
    return "".join(out)


def sites(paths):
    found = []
    for path in paths:
        for folder, _, files in os.walk(path):
            for name in sorted(files):
                if not name.endswith((".cpp", ".h")):
                    continue
                file = os.path.relpath(os.path.join(folder, name), ROOT)
                with open(os.path.join(ROOT, file), encoding="utf-8") as f:
                    lines = f.read().split("\n")
                in_comment = False
                for number, line in enumerate(lines, 1):
                    code = code_only(line)
                    if in_comment or code.lstrip().startswith(("#", "/*", "*")):
                        in_comment = (in_comment or "/*" in code) and "*/" not in code
                        continue
                    for old, new in SWAPS:
                        for k, m in enumerate(re.finditer(re.escape(old), code)):
                            found.append((file, number, m.start(), old, new, f"{line.strip()}#{k}"))
    return found


def load_equivalents():
    keys = set()
    if os.path.exists(EQUIVALENTS):
        with open(EQUIVALENTS, encoding="utf-8") as f:
            for line in f:
                if line.strip() and not line.startswith("#"):
                    keys.add(line.rstrip("\n"))
    return keys


def run(command, cwd, timeout):
    try:
        return subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--count", type=int, default=10)
    parser.add_argument("--want", type=float, default=0.0, help="lowest score in percent that passes")
    parser.add_argument("--scratch", default=os.path.join(ROOT, "build-mutants"))
    parser.add_argument("--timeout", type=int, default=300, help="seconds for one run of the suite")
    parser.add_argument("paths", nargs="*", default=["src"])
    args = parser.parse_args()

    candidates = sites([os.path.join(ROOT, p) for p in args.paths])
    chosen = random.Random(args.seed).sample(candidates, min(args.count, len(candidates)))
    equivalent = load_equivalents()
    print(f"{len(candidates)} sites; seed {args.seed}, {len(chosen)} drawn", flush=True)

    tree, build = args.scratch, os.path.join(args.scratch, "build")
    if not os.path.isdir(tree):
        subprocess.run(["git", "worktree", "add", "--detach", tree, "HEAD"], cwd=ROOT, check=True)
    subprocess.run(["git", "checkout", "--detach", "--force", subprocess.check_output(
        ["git", "rev-parse", "HEAD"], cwd=ROOT, text=True).strip()], cwd=tree, check=True,
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if not os.path.exists(os.path.join(build, "CMakeCache.txt")):
        # Qt's index checks stay on, so a mutant that reads past the end of
        # a string fails where a test reaches it instead of reading the NUL.
        subprocess.run(["cmake", "-S", tree, "-B", build, "-DQUILLON_BUILD_BENCH=OFF",
                        "-DCMAKE_CXX_FLAGS=-DQT_FORCE_ASSERTS"], check=True, stdout=subprocess.DEVNULL)
    if run(["cmake", "--build", build, "-j2"], tree, 3600) != 0:
        sys.exit("the scratch tree does not build as it is")
    suite = ["ctest", "--test-dir", build, "-j2", "-E", "^desktop_package$", "--stop-on-failure"]
    # Against a suite that already fails, every mutant would look caught.
    if run(suite, tree, args.timeout) != 0:
        sys.exit("the suite fails in the scratch tree before any change")

    tally = {"caught": 0, "SURVIVED": 0, "timeout": 0, "unbuilt": 0, "equivalent": 0}
    folders = {}  # folder: [caught, judged]
    for file, number, column, old, new, text in sorted(chosen):
        key = f"{file}|{text}|{old.strip()}->{new.strip()}"
        path = os.path.join(tree, file)
        with open(path, encoding="utf-8") as f:
            original = f.read()
        lines = original.split("\n")
        line = lines[number - 1]
        lines[number - 1] = line[:column] + new + line[column + len(old):]
        with open(path, "w", encoding="utf-8") as f:
            f.write("\n".join(lines))
        try:
            if key in equivalent:
                verdict = "equivalent"
            elif run(["cmake", "--build", build, "-j2"], tree, 1800) != 0:
                verdict = "unbuilt"
            else:
                code = run(suite, tree, args.timeout)
                verdict = "timeout" if code is None else "caught" if code != 0 else "SURVIVED"
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)
            os.utime(path)
        tally[verdict] += 1
        if verdict in ("caught", "timeout", "SURVIVED"):
            folder = folders.setdefault(os.path.dirname(file), [0, 0])
            folder[0] += verdict != "SURVIVED"
            folder[1] += 1
        print(f"{file}:{number} '{old.strip()}'->'{new.strip()}' {verdict}    {text}", flush=True)

    judged = tally["caught"] + tally["timeout"] + tally["SURVIVED"]
    score = 100.0 * (tally["caught"] + tally["timeout"]) / judged if judged else 100.0
    for folder, (caught, of) in sorted(folders.items()):
        print(f"{folder}: {caught}/{of}")
    # One decimal, so a score just below the wanted one never reads as it.
    print(f"score: {score:.1f} % of {judged} ({tally['caught']} caught, {tally['timeout']} timed out, "
          f"{tally['SURVIVED']} survived; {tally['equivalent']} equivalent and {tally['unbuilt']} unbuilt "
          f"not counted)")
    sys.exit(1 if score < args.want else 0)


if __name__ == "__main__":
    main()
