#!/usr/bin/env python3
"""boolfn-run --sat against PicoSAT: on generated CNF files the exit status (10
satisfiable, 20 unsatisfiable) and the printed verdict must be the solver's, and a
printed model must satisfy every clause of the file. Both outputs are read by the
same parser of the solvers' output format ("s" verdict line, "v" literal lines
ended by 0, "c" comments), so a script written for PicoSAT reads boolfn-run's.

Exit status 0 when every file agrees, 1 on a disagreement, 77 (skipped) without a
SAT solver on PATH.
"""

import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "oracle"))
from oracle_common import SKIPPED, format_cnf, random_cnf, random_check_setup  # noqa: E402


def parse_solver_output(text):
    """(verdict, {variable: value}) from a SAT solver's output: the "s" line's word
    and the literals of the "v" lines up to their closing 0; "c" lines are skipped,
    any other line is an error."""
    verdict, model, closed = None, {}, False
    for line in text.splitlines():
        words = line.split()
        if not words or words[0] == "c":
            continue
        if words[0] == "s":
            verdict = " ".join(words[1:])
        elif words[0] == "v" and not closed:
            for word in words[1:]:
                literal = int(word)
                if literal == 0:
                    closed = True
                    break
                model[abs(literal)] = literal > 0
        else:
            raise ValueError("not a solver output line: %r" % line)
    return verdict, model


def check(runner, solver, variables, clauses, folder):
    path = os.path.join(folder, "in.cnf")
    with open(path, "w") as handle:
        handle.write(format_cnf(variables, clauses))
    done = subprocess.run([runner, "--sat", path], stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=60)
    peer = subprocess.run([solver.path, path], stdout=subprocess.PIPE, timeout=60)
    expected, _ = parse_solver_output(peer.stdout.decode())
    verdict, model = parse_solver_output(done.stdout.decode())
    if done.returncode != peer.returncode:
        return "status %d, PicoSAT's %d" % (done.returncode, peer.returncode)
    if verdict != expected:
        return "verdict %r, PicoSAT's %r" % (verdict, expected)
    if verdict == "SATISFIABLE":
        if len(model) != variables:
            return "model over %d of %d variables" % (len(model), variables)
        for clause in clauses:
            if not any(model[abs(literal)] == (literal > 0) for literal in clause):
                return "model %s falsifies clause %s" % (model, clause)
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
