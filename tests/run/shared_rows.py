#!/usr/bin/env python3
"""boolfn-run --shared-rows against truth tables, on random multi-output PLA files.

Each file is minimized twice, with and without --shared-rows (and with and
without --dont-cares). The shared file must hold each function exactly as the
input does on its care set (truth tables), have one row per distinct input part,
and give every function the same cubes as the file written without the option;
".p" and "# literals" must count the rows written.

Usage: shared_rows.py --run BOOLFN_RUN
"""

import argparse
import os
import random
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "oracle"))

import gen_pla  # noqa: E402
from check_pla_equivalence import parse_pla, truth_table_check  # noqa: E402


def cubes_per_output(pla):
    cubes = [set() for _ in range(pla.outputs)]
    for inputs, outputs in pla.rows:
        for column, mark in enumerate(outputs):
            if mark == "1":
                cubes[column].add(inputs)
    return cubes


def minimized(run, path, out, extra):
    command = [run, path, "-d", "minimize", "-q", "-o", out] + extra
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
    return done.returncode, done.stderr.decode(errors="replace")


def check(run, path, folder, dont_cares):
    """Problems with one file, as messages."""
    name = os.path.basename(path) + (" --dont-cares" if dont_cares else "")
    extra = ["--dont-cares"] if dont_cares else []
    plain = os.path.join(folder, "plain.pla")
    shared = os.path.join(folder, "shared.pla")
    for target, options in ((plain, extra), (shared, extra + ["--shared-rows"])):
        status, errors = minimized(run, path, target, options)
        if status != 0:
            return ["%s %s: status %d: %s" % (name, " ".join(options), status, errors)]
    original = parse_pla(path)
    if not dont_cares:
        original.kind = "fd"
        original.rows = [(i, o.replace("-", "0")) for i, o in original.rows if "1" in o]
    written = parse_pla(shared)
    problems = []
    if not truth_table_check(original, written):
        problems.append("%s: the shared rows differ from the input" % name)
    parts = [inputs for inputs, _ in written.rows]
    if len(parts) != len(set(parts)):
        problems.append("%s: an input part is written twice" % name)
    if cubes_per_output(written) != cubes_per_output(parse_pla(plain)):
        problems.append("%s: the functions' cubes differ from the unshared file" % name)
    with open(shared) as handle:
        text = handle.read()
    literals = sum(len(inputs) - inputs.count("-") for inputs in parts)
    if (".p %d\n" % len(parts)) not in text or ("# literals: %d\n" % literals) not in text:
        problems.append("%s: .p or # literals does not count the written rows" % name)
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--run", required=True)
    options = parser.parse_args()
    rng = random.Random(20261209)
    problems = []
    checked = 0
    with tempfile.TemporaryDirectory(prefix="boolfn-shared-rows-") as folder:
        for number in range(60):
            inputs = rng.randint(2, 10)
            outputs = rng.randint(2, 5)
            kind = "fd" if number % 2 else None
            marks = "01-" if kind else "01"
            rows = gen_pla.random_cover(rng, inputs, outputs, rng.randint(1, 40), 0.4, marks, kind)
            path = os.path.join(folder, "random%d.pla" % number)
            with open(path, "w") as handle:
                handle.write(gen_pla.header(inputs, outputs, kind=kind))
                handle.write("".join("%s %s\n" % row for row in rows) + ".e\n")
            for dont_cares in ((False, True) if kind else (False,)):
                problems += check(options.run, path, folder, dont_cares)
                checked += 1
    for problem in problems:
        print(problem)
    print("%d files checked, %d problems" % (checked, len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
