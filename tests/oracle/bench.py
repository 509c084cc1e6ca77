#!/usr/bin/env python3
"""Benchmark tables for the DIMACS reader and writer and the BLIF writer, over a
folder of public CNF files (and, optionally, of PLA files), checked by independent
tools:

- Load + Save as BLIF: ABC's cec proves the BLIF equivalent to a network of the
  CNF formula built here (one or-gate per clause, one and-gate).
- Save as DIMACS: a SAT solver proves the saved CNF equivalent to the file loaded
  (every clause of each implied by the other).
- Satisfiability test + Save as VHDL: the note is " N" exactly for unsatisfiable
  files; for satisfiable ones every term of the note satisfies every clause.
- PLA files (--pla-dir): Save as BLIF against Save as PLA after DNF, by ABC's cec.
- --large N: a random 3-CNF of N clauses is loaded and saved as BLIF and as
  pseudo-VHDL, with the times.

Each run of boolfn and each solver call has a time limit; a step that runs out of
time shows as "timeout" and is no failure. Prints Markdown tables; exit status 1
when a check fails.
"""

import argparse
import os
import random
import re
import sys
import time

from blif_cec import check_folder
from oracle_common import (abc_cec, cnf_to_blif, find_abc, find_solver, parse_cnf, run_boolfn,
                           scratch)
from sat_vhdl import check_note

NOTE = re.compile(r"^y0 <= .*; --(.*)$", re.MULTILINE)


def timed_run(binary, folder, args, answers, timeout):
    start = time.monotonic()
    run = run_boolfn(binary, folder, args, answers, timeout)
    return run, time.monotonic() - start


def blif_step(binary, abc, folder, variables, clauses, timeout):
    run, seconds = timed_run(binary, folder, ["in.cnf", "out.blif"], [11, 1, 15], timeout)
    if run.timed_out:
        return "timeout", seconds, False
    if run.read("out.blif") is None:
        return "not saved", seconds, True
    if abc is None:
        return "saved (no ABC)", seconds, False
    with open(os.path.join(folder, "cnf.blif"), "w") as handle:
        handle.write(cnf_to_blif(variables, clauses))
    verdict, report = abc_cec(abc, os.path.join(folder, "out.blif"),
                              os.path.join(folder, "cnf.blif"), max(timeout, 300))
    if verdict is None:
        return "cec timeout", seconds, False
    if verdict:
        return "equivalent", seconds, False
    return "DIFFERENT: " + report.strip()[-200:].replace("\n", " "), seconds, True


def dimacs_step(binary, solver, folder, variables, clauses, timeout):
    run, seconds = timed_run(binary, folder, ["in.cnf", "out.cnf"], [12, 1, 15], timeout)
    if run.timed_out:
        return "timeout", seconds, "", False
    text = run.read("out.cnf")
    if text is None:
        return "not saved", seconds, "", True
    saved_variables, saved = parse_cnf(text)
    verdict = solver.equivalent(max(variables, saved_variables), clauses, saved, timeout=timeout)
    if verdict is None:
        return "solver timeout", seconds, str(len(saved)), False
    return ("equivalent" if verdict else "DIFFERENT"), seconds, str(len(saved)), not verdict


def sat_step(binary, solver, folder, variables, clauses, satisfiable, timeout):
    run, seconds = timed_run(binary, folder, ["in.cnf", "out.vhd"], [5, 10, 2, 1, 15], timeout)
    if run.timed_out:
        return "timeout", seconds, False
    match = NOTE.search(run.read("out.vhd") or "")
    if match is None:
        return "no note", seconds, True
    note = match.group(1).strip()
    if satisfiable is None:
        return "note %s (solver timeout)" % ("N" if note == "N" else "terms"), seconds, False
    reason = check_note(solver, variables, clauses, note)
    shown = "N" if note == "N" else "%d term(s)" % note.count("|")
    return (shown + (", " + reason if reason else ", right")), seconds, bool(reason)


def cnf_table(binary, abc, solver, cnf_dir, timeout, sat_timeout):
    print("| file | vars | clauses | solver | Load + BLIF | s | Save as DIMACS | clauses saved | s "
          "| Satisfiability + VHDL | s |")
    print("|---|---:|---:|---|---|---:|---|---:|---:|---|---:|")
    failed = 0
    for entry in sorted(os.listdir(cnf_dir)):
        if not entry.endswith(".cnf"):
            continue
        with open(os.path.join(cnf_dir, entry), "rb") as handle:
            raw = handle.read()
        variables, clauses = parse_cnf(raw.decode("latin-1"))
        satisfiable = solver.satisfiable(variables, clauses, timeout=timeout)
        with scratch() as folder:
            with open(os.path.join(folder, "in.cnf"), "wb") as handle:
                handle.write(raw)
            blif, blif_s, blif_bad = blif_step(binary, abc, folder, variables, clauses, timeout)
            dimacs, dimacs_s, saved, dimacs_bad = dimacs_step(binary, solver, folder, variables,
                                                              clauses, timeout)
            sat, sat_s, sat_bad = sat_step(binary, solver, folder, variables, clauses,
                                           satisfiable, sat_timeout)
        failed += blif_bad + dimacs_bad + sat_bad
        status = {True: "SAT", False: "UNSAT", None: "timeout"}[satisfiable]
        print("| %s | %d | %d | %s | %s | %.2f | %s | %s | %.2f | %s | %.2f |"
              % (entry, variables, len(clauses), status, blif, blif_s, dimacs, saved, dimacs_s,
                 sat, sat_s))
        sys.stdout.flush()
    return failed


def large_file(binary, clauses, timeout):
    rng = random.Random(7)
    variables = max(3, clauses // 4)
    print("| run | seconds | status | output bytes |")
    print("|---|---:|---:|---:|")
    failed = 0
    with scratch() as folder:
        with open(os.path.join(folder, "in.cnf"), "w") as handle:
            handle.write("p cnf %d %d\n" % (variables, clauses))
            for _ in range(clauses):
                handle.write("%d %d %d 0\n" % tuple(rng.choice((-1, 1)) * rng.randint(1, variables)
                                                     for _ in range(3)))
        size = os.path.getsize(os.path.join(folder, "in.cnf"))
        for title, args, answers, output in (
                ("load, exit", ["in.cnf", "none"], [15], None),
                ("load, Save as BLIF", ["in.cnf", "out.blif"], [11, 1, 15], "out.blif"),
                ("load, Save as VHDL (pseudo)", ["in.cnf", "out.vhd"], [10, 2, 1, 15], "out.vhd")):
            run, seconds = timed_run(binary, folder, args, answers, timeout)
            path = os.path.join(folder, output) if output else None
            written = os.path.getsize(path) if path and os.path.exists(path) else 0
            bad = run.timed_out or run.status != 1 or (output is not None and written == 0)
            failed += bad
            print("| %s | %.2f | %s | %d |" % (title, seconds,
                                              "timeout" if run.timed_out else run.status, written))
    print("\n(%d clauses over %d variables, %d bytes)" % (clauses, variables, size))
    return failed


def shown(folder):
    """A folder as the report names it: relative to the checkout, never a machine's
    absolute path."""
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    return os.path.relpath(os.path.abspath(folder), root)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--binary", required=True)
    parser.add_argument("--cnf-dir", default=os.path.join(os.path.dirname(__file__), "..", "..",
                                                          "..", "shared", "bench", "cnf"))
    parser.add_argument("--pla-dir")
    parser.add_argument("--large", type=int, default=0, help="clauses of the large file (0: none)")
    parser.add_argument("--timeout", type=int, default=60, help="seconds per run or solver call")
    parser.add_argument("--sat-timeout", type=int, default=60,
                        help="seconds for a satisfiability test, whose DNF grows fast")
    options = parser.parse_args()
    solver = find_solver()
    if solver is None:
        print("No SAT solver (picosat, minisat or cadical) on PATH: nothing checked.")
        return 1
    abc = find_abc()
    if abc is None:
        print("ABC (berkeley-abc) is not on PATH: BLIF files are checked by the solver only.")
    failed = 0
    if os.path.isdir(options.cnf_dir):
        print("## CNF files of %s\n" % shown(options.cnf_dir))
        failed += cnf_table(options.binary, abc, solver, options.cnf_dir, options.timeout,
                            options.sat_timeout)
    else:
        print("The CNF folder %s is absent: no CNF table." % shown(options.cnf_dir))
    if options.pla_dir:
        if os.path.isdir(options.pla_dir) and abc:
            print("\n## PLA files of %s: Save as BLIF against Save as PLA after DNF (ABC cec)\n"
                  % shown(options.pla_dir))
            failed += check_folder(options.binary, abc, options.pla_dir, options.timeout)
        else:
            print("\nThe PLA folder %s is absent (or ABC is missing): no PLA table."
                  % shown(options.pla_dir))
    if options.large:
        print("\n## A large CNF file\n")
        failed += large_file(options.binary, options.large, max(options.timeout, 600))
    print("\n%d check(s) failed" % failed)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
