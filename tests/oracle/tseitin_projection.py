#!/usr/bin/env python3
"""Oracle check of `boolfn-run --tseitin`: for random PLA and DIMACS files (up to 6
inputs), the linear-size encoding is solved by a SAT solver (PicoSAT) once per
point of the inputs, with the inputs fixed by unit clauses. It must be
satisfiable exactly at the points where every function of the file is 1, which
is computed here from the file's own rows or clauses: the encoding projects onto
the functions, and so is satisfiable exactly when they can all be 1.

Exit status 0 when every file passes, 1 on a failure, 77 (skipped) without a
solver.
"""

import argparse
import itertools
import os
import subprocess
import sys

from oracle_common import (SKIPPED, find_solver, format_cnf, parse_cnf, random_cnf, random_pla,
                           scratch, seeded)


def pla_points(text):
    """(inputs, the set of points where every output is 1), from the rows."""
    inputs = outputs = 0
    rows = []
    for line in text.split("\n"):
        words = line.split()
        if not words or words[0] == ".e":
            continue
        if words[0] == ".i":
            inputs = int(words[1])
        elif words[0] == ".o":
            outputs = int(words[1])
        else:
            rows.append(words)
    points = set()
    for point in itertools.product([0, 1], repeat=inputs):
        def covers(part):
            return all(c == "-" or int(c) == v for c, v in zip(part, point))
        if all(any(covers(part) and out[j] == "1" for part, out in rows) for j in range(outputs)):
            points.add(point)
    return inputs, points


def cnf_points(text):
    variables, clauses = parse_cnf(text)
    points = set()
    for point in itertools.product([0, 1], repeat=variables):
        if all(any((lit > 0) == bool(point[abs(lit) - 1]) for lit in clause) for clause in clauses):
            points.add(point)
    return variables, points


def check_file(binary, solver, name, text):
    with scratch() as folder:
        with open(os.path.join(folder, name), "w") as handle:
            handle.write(text)
        done = subprocess.run([binary, name, "-t", "dimacs", "--tseitin", "-o", "enc.cnf"],
                              cwd=folder, capture_output=True, text=True, timeout=60)
        # A random PLA may hold rows the reader refuses; those are left out below too.
        if done.returncode not in (0, 1):
            return "boolfn-run ended with status %d: %s" % (done.returncode, done.stderr)
        if done.returncode == 1:
            return None
        with open(os.path.join(folder, "enc.cnf")) as handle:
            variables, clauses = parse_cnf(handle.read())
    inputs, points = pla_points(text) if name.endswith(".pla") else cnf_points(text)
    for point in itertools.product([0, 1], repeat=inputs):
        units = [[i + 1 if value else -(i + 1)] for i, value in enumerate(point)]
        answer = solver.satisfiable(variables, clauses + units, timeout=60)
        if answer != (point in points):
            return "at %s the encoding is %s" % (point, "satisfiable" if answer else "not")
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--run", required=True, help="the boolfn-run binary")
    parser.add_argument("--count", type=int, default=40)
    parser.add_argument("--seed", type=int, default=20261210)
    options = parser.parse_args()
    solver = find_solver()
    if solver is None:
        print("SKIPPED: no SAT solver (picosat) on PATH")
        return SKIPPED
    binary = os.path.abspath(options.run)
    rng = seeded(options.seed)
    failed = 0
    for number in range(options.count):
        if number % 2 == 0:
            name, text = "in.pla", random_pla(rng)
        else:
            name, text = "in.cnf", format_cnf(*random_cnf(rng))
        failure = check_file(binary, solver, name, text)
        if failure:
            failed += 1
            print("FAIL file %d (%s): %s\n%s" % (number, name, failure, text))
    print("%d passed, %d failed" % (options.count - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
