#!/usr/bin/env python3
"""Oracle check of "Save as DIMACS": random CNF files are loaded and saved again, and
a SAT solver decides that the saved formula is logically equivalent to the loaded
one (every clause of each is implied by the other: F and not c is unsatisfiable)
and has the same satisfiability status.

Exit status 0 when every file passes, 1 on a failure, 77 (skipped) without a SAT
solver (picosat, minisat or cadical).
"""

import os
import sys

from oracle_common import (SKIPPED, format_cnf, parse_cnf, random_check_setup, random_cnf,
                           run_boolfn, scratch)


def check_file(binary, solver, variables, clauses):
    """None when the round trip holds, else the reason it does not."""
    with scratch() as folder:
        with open(os.path.join(folder, "in.cnf"), "w") as handle:
            handle.write(format_cnf(variables, clauses))
        run = run_boolfn(binary, folder, ["in.cnf", "out.cnf"], [12, 1, 15])
        if run.timed_out:
            return "boolfn ran out of time"
        saved_text = run.read("out.cnf")
        if run.status != 1 or saved_text is None or "Data saved" not in run.stdout:
            return "no file saved (status %s):\n%s" % (run.status, run.stdout[-2000:])
        saved_variables, saved = parse_cnf(saved_text)
        if saved_variables != variables:
            return "header declares %d variables, not %d" % (saved_variables, variables)
        if saved_text.split("\n")[0].split()[3] != str(len(saved)):
            return "header clause count differs from the clauses written"
        for clause in saved:
            if not solver.implies(variables, clauses, clause):
                return "saved clause %s is not implied by the input" % clause
        for clause in clauses:
            if not solver.implies(variables, saved, clause):
                return "input clause %s is not implied by the saved file" % clause
        if solver.satisfiable(variables, clauses) != solver.satisfiable(variables, saved):
            return "satisfiability differs"
        return None


def main():
    setup = random_check_setup(__doc__.split("\n\n")[0], "binary", 150, 20240601)
    if setup is None:
        return SKIPPED
    options, solver, rng = setup
    failed = 0
    for number in range(options.count):
        variables, clauses = random_cnf(rng)
        reason = check_file(options.binary, solver, variables, clauses)
        if reason:
            failed += 1
            print("FAIL file %d: %s\n%s" % (number, reason, format_cnf(variables, clauses)))
    print("%d passed, %d failed" % (options.count - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
