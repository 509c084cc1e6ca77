#!/usr/bin/env python3
"""Oracle check of "Satisfiability test" followed by "Save as VHDL" (pseudo-VHDL) on
random CNF files: the note is " N" exactly when a SAT solver finds the formula
unsatisfiable; otherwise every term of the note satisfies every clause, and the
terms together cover every model of the formula (the formula and the negation of
every term is unsatisfiable).

Exit status 0 when every file passes, 1 on a failure, 77 (skipped) without a SAT
solver.
"""

import os
import re
import sys

from oracle_common import (SKIPPED, format_cnf, random_check_setup, random_cnf, run_boolfn,
                           scratch)

NOTE = re.compile(r"^y0 <= .*; --(.*)$", re.MULTILINE)


def parse_terms(note):
    """The terms of a satisfiability note as lists of literals (x3=0 is -4)."""
    terms = []
    for part in note.split("|")[1:]:
        literals = []
        for pair in part.split():
            name, value = pair.split("=")
            number = int(name[1:]) + 1
            if value == "1":
                literals.append(number)
            elif value == "0":
                literals.append(-number)
        terms.append(literals)
    return terms


def check_note(solver, variables, clauses, note):
    """None when the note tells the truth about the formula, else the reason."""
    satisfiable = solver.satisfiable(variables, clauses)
    if note.strip() == "N":
        return None if not satisfiable else "note N for a satisfiable formula"
    if not satisfiable:
        return "terms noted for an unsatisfiable formula"
    terms = parse_terms(note)
    if not terms:
        return "note without terms: %r" % note
    for term in terms:
        chosen = set(term)
        for clause in clauses:
            tautology = any(-literal in clause for literal in clause)
            if not tautology and not chosen.intersection(clause):
                return "term %s does not satisfy clause %s" % (term, clause)
    uncovered = clauses + [[-literal for literal in term] for term in terms]
    if solver.satisfiable(variables, uncovered):
        return "the terms miss a model of the formula"
    return None


def check_file(binary, solver, variables, clauses):
    with scratch() as folder:
        with open(os.path.join(folder, "in.cnf"), "w") as handle:
            handle.write(format_cnf(variables, clauses))
        run = run_boolfn(binary, folder, ["in.cnf", "out.vhd"], [5, 10, 2, 1, 15])
        if run.timed_out:
            return "boolfn ran out of time"
        if run.status != 1:
            return "boolfn ended with status %s:\n%s" % (run.status, run.stdout[-2000:])
        saved = run.read("out.vhd")
        match = NOTE.search(saved or "")
        if match is None:
            return "no function line with a note in %r" % saved
        return check_note(solver, variables, clauses, match.group(1))


def main():
    setup = random_check_setup(__doc__.split("\n\n")[0], "binary", 150, 20240602)
    if setup is None:
        return SKIPPED
    options, solver, rng = setup
    failed = 0
    unsatisfiable = 0
    for number in range(options.count):
        # Narrow files with many clauses are often unsatisfiable, so both notes occur.
        variables, clauses = random_cnf(rng, max_variables=5, max_clauses=14, max_width=3)
        if not solver.satisfiable(variables, clauses):
            unsatisfiable += 1
        reason = check_file(options.binary, solver, variables, clauses)
        if reason:
            failed += 1
            print("FAIL file %d: %s\n%s" % (number, reason, format_cnf(variables, clauses)))
    print("(%d of the files were unsatisfiable)" % unsatisfiable)
    print("%d passed, %d failed" % (options.count - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
