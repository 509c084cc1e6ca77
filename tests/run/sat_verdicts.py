#!/usr/bin/env python3
"""boolfn-run --sat against PicoSAT: on generated CNF files the exit status (10
satisfiable, 20 unsatisfiable) and the printed verdict must be the solver's, and a
printed model must satisfy every clause of the file.

Exit status 0 when every file agrees, 1 on a disagreement, 77 (skipped) without a
SAT solver on PATH.
"""

import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "oracle"))
from oracle_common import SKIPPED, format_cnf, random_cnf, random_check_setup  # noqa: E402


def model_of(lines):
    """{variable number: value} from the "v x0=1 x1=0" line."""
    values = {}
    for word in lines[1].split()[1:]:
        name, value = word.split("=")
        values[int(name[1:]) + 1] = value == "1"
    return values


def check(runner, solver, variables, clauses, folder):
    path = os.path.join(folder, "in.cnf")
    with open(path, "w") as handle:
        handle.write(format_cnf(variables, clauses))
    done = subprocess.run([runner, "--sat", path], stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=60)
    expected = solver.satisfiable(variables, clauses)
    lines = done.stdout.decode().splitlines()
    if done.returncode != (10 if expected else 20):
        return "status %d, PicoSAT says %s" % (done.returncode, expected)
    if lines[0] != ("y0: SATISFIABLE" if expected else "y0: UNSATISFIABLE"):
        return "verdict line %r" % lines[0]
    if expected:
        model = model_of(lines)
        if len(model) != variables:
            return "model over %d of %d variables" % (len(model), variables)
        for clause in clauses:
            if not any(model[abs(literal)] == (literal > 0) for literal in clause):
                return "model %s falsifies clause %s" % (lines[1], clause)
    return None


def main():
    setup = random_check_setup(__doc__.split("\n\n")[0], "run", 200, 20261208)
    if setup is None:
        return SKIPPED
    options, solver, rng = setup
    failed = verdicts = 0
    with tempfile.TemporaryDirectory(prefix="boolfn-run-sat-") as folder:
        for number in range(options.count):
            # Dense formulas near the threshold give both verdicts in fair numbers.
            variables, clauses = random_cnf(rng, max_variables=8, max_clauses=40, max_width=3)
            reason = check(os.path.abspath(options.run), solver, variables, clauses, folder)
            verdicts += 1
            if reason:
                failed += 1
                print("FAIL %s\n%s" % (format_cnf(variables, clauses), reason))
    print("%d verdicts, %d disagree" % (verdicts, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
