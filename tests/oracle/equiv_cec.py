#!/usr/bin/env python3
"""Oracle check of `boolfn-run --equiv` against ABC's `cec`: random PLA files are
paired with a copy that has one row changed (which may or may not change the
functions) or with their own DNF; boolfn-run's verdict (status 0 equal, 1
different) must be ABC's, and a printed point of difference must be one where
the two files' truth tables differ.

Exit status 0 when every pair agrees, 1 on a disagreement, 77 (skipped) without ABC.
"""

import argparse
import itertools
import os
import subprocess
import sys

from oracle_common import SKIPPED, abc_cec, find_abc, pla_to_blif, random_pla, scratch, seeded


def rows_of(text):
    header, rows = [], []
    for line in text.strip().split("\n"):
        (header if line.startswith(".") else rows).append(line)
    return header, rows


def changed_copy(rng, text):
    header, rows = rows_of(text)
    index = rng.randrange(len(rows))
    part, outputs = rows[index].split()
    position = rng.randrange(len(part))
    part = part[:position] + rng.choice("01-".replace(part[position], "")) + part[position + 1:]
    rows[index] = part + " " + outputs
    return "\n".join([line for line in header if line != ".e"] + rows + [".e"]) + "\n"


def outputs_at(text, point):
    header, rows = rows_of(text)
    outputs = int([line for line in header if line.startswith(".o")][0].split()[1])
    values = [0] * outputs
    for row in rows:
        part, result = row.split()
        if all(c == "-" or int(c) == v for c, v in zip(part, point)):
            values = [v | (r == "1") for v, r in zip(values, result)]
    return values


def check_pair(binary, abc, first, second):
    """A failure, or None; "skipped" when a file holds rows the reader refuses or
    ABC gives no verdict."""
    with scratch() as folder:
        for name, text in (("a.pla", first), ("b.pla", second)):
            with open(os.path.join(folder, name), "w") as handle:
                handle.write(text)
            with open(os.path.join(folder, name + ".blif"), "w") as handle:
                handle.write(pla_to_blif(text))
            read = subprocess.run([binary, name, "-o", os.devnull], cwd=folder,
                                  capture_output=True, timeout=60)
            if read.returncode != 0:
                return "skipped"
        done = subprocess.run([binary, "a.pla", "--equiv", "b.pla"], cwd=folder,
                              capture_output=True, text=True, timeout=60)
        verdict, report = abc_cec(abc, os.path.join(folder, "a.pla.blif"),
                                  os.path.join(folder, "b.pla.blif"))
    # ABC runs out of time, or stops on an assertion (it does on covers that are a
    # tautology): no verdict to compare with.
    if verdict is None or (not verdict and "NOT EQUIVALENT" not in report):
        return "skipped"
    if done.returncode != (0 if verdict else 1):
        return "status %d, ABC says %s\n%s" % (done.returncode,
                                               "equivalent" if verdict else "different", done.stdout)
    for line in done.stdout.splitlines():
        if ": different at " not in line:
            continue
        point = [int(word.split("=")[1]) for word in line.split(": different at ")[1].split()]
        if outputs_at(first, point) == outputs_at(second, point):
            return "the files agree at the printed point: %s" % line
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--run", required=True, help="the boolfn-run binary")
    parser.add_argument("--count", type=int, default=60)
    parser.add_argument("--seed", type=int, default=20261211)
    options = parser.parse_args()
    abc = find_abc()
    if abc is None:
        print("SKIPPED: ABC (berkeley-abc) is not on PATH")
        return SKIPPED
    binary = os.path.abspath(options.run)
    rng = seeded(options.seed)
    failed = verdicts = 0
    for number in range(options.count):
        first = random_pla(rng)
        if number % 3 == 0:
            with scratch() as folder:
                with open(os.path.join(folder, "a.pla"), "w") as handle:
                    handle.write(first)
                second = subprocess.run([binary, "a.pla", "-d", "dnf"], cwd=folder,
                                        capture_output=True, text=True).stdout
        else:
            second = changed_copy(rng, first)
        failure = check_pair(binary, abc, first, second)
        if failure == "skipped":
            continue
        verdicts += 1
        if failure:
            failed += 1
            print("FAIL pair %d:\n%s\n--\n%s\n%s" % (number, first, second, failure))
    print("%d passed, %d failed" % (verdicts - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
