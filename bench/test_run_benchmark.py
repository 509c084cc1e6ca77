#!/usr/bin/env python3
"""Checks of the benchmark's own bookkeeping: how a written satisfiability note is
read, which files count as finished by both tools, how the ratios and the subset
choice read, and one satisfiability row measured with the real binary (and
CaDiCaL, when it is installed) on a satisfiable and an unsatisfiable formula.

Usage: test_run_benchmark.py --binary BOOLFN
"""

import argparse
import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run_benchmark as bench  # noqa: E402

BINARY = None


def result(seconds, timed_out=False, limit=60):
    return {"seconds": seconds, "mb": 1.0, "timed_out": timed_out, "limit": limit}


class Reading(unittest.TestCase):
    def test_notes(self):
        cases = [
            ("y0 <= \"0\"; -- N\n", "unsat"),
            ("-- literals: 2\ny0 <= x0 and x1; -- | x0=1 x1=1\n", "sat"),
            # A variable named N in a term is not the unsatisfiable note.
            ("y0 <= N; -- | N=1\n", "sat"),
            ("y0 <= x0 or x1; -- | x0=1 x1=x | x0=x x1=1\n", "sat"),
            ("y0 <= x0;\n", "no note"),
            ("", "no note"),
        ]
        for text, verdict in cases:
            with self.subTest(text=text):
                self.assertEqual(bench.vhdl_verdict(text), verdict)

    def test_both_finished(self):
        rows = [
            {"file": "a", "cnf": result(1.0), "epos": result(2.0)},
            {"file": "b", "cnf": result(60, True), "epos": result(3.0)},
            {"file": "c", "cnf": result(4.0), "epos": result(60, True)},
            {"file": "d", "not loaded": "Syntax error at line:3"},
            {"file": "e", "cnf": result(0.5), "epos": result(0.25)},
        ]
        self.assertEqual(bench.both_finished(rows, "cnf", "epos"), (2, 1.5, 2.25))
        self.assertEqual(bench.both_finished([], "cnf", "epos"), (0, 0, 0))

    def test_ratios(self):
        cases = [
            (result(1.0), result(4.0), "0.25"),
            (result(6.0), result(60, True), "<0.100"),
            (result(60, True), result(1.0), ""),
            (result(1.0), None, ""),
        ]
        for mine, peer, text in cases:
            with self.subTest(mine=mine, peer=peer):
                self.assertEqual(bench.ratio_text(mine, peer, 60), text)

    def test_subset(self):
        class Options:
            only = ["t481", "hole6.cnf"]
        for name, wanted in (("t481.pla", True), ("hole6.cnf", True), ("hole6.pla", False),
                             ("t4.pla", False)):
            with self.subTest(name=name):
                self.assertEqual(bench.chosen(Options, name), wanted)
        Options.only = None
        self.assertTrue(bench.chosen(Options, "anything.pla"))


class Measured(unittest.TestCase):
    """One row of the satisfiability table, with the real binary."""

    def row_of(self, text):
        tools = bench.Tools()
        tools.boolfn = BINARY
        tools.cadical = shutil.which("cadical")
        with tempfile.TemporaryDirectory(prefix="boolfn-bench-test-") as folder:
            path = os.path.join(folder, "formula.cnf")
            with open(path, "w") as handle:
                handle.write(text)
            return bench.satisfiability_file(path, tools, 60), tools.cadical

    def test_rows(self):
        # The second formula ends as the SATLIB files do, which the solver is spared.
        cases = [("p cnf 2 2\n1 2 0\n-1 0\n", "sat"),
                 ("p cnf 2 4\n1 2 0\n-1 2 0\n1 -2 0\n-1 -2 0\n%\n0\n", "unsat")]
        for text, verdict in cases:
            with self.subTest(verdict=verdict):
                row, solver = self.row_of(text)
                self.assertFalse(row["boolfn"]["timed_out"])
                if solver:
                    self.assertEqual(row["verdict"], verdict)
                    self.assertEqual(row["boolfn"]["check"], verdict + " (agrees)")
                else:
                    self.assertEqual(row["boolfn"]["check"], verdict + " (solver undecided)")


def main():
    global BINARY
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--binary", required=True)
    options, rest = parser.parse_known_args()
    BINARY = os.path.abspath(options.binary)
    unittest.main(argv=[sys.argv[0]] + rest)


if __name__ == "__main__":
    main()
