#!/usr/bin/env python3
"""Checks of the CNF curves' own bookkeeping: the generated covers are the same for
the same point and as the file comment says, a timed-out run reads as such in the
table, and one point measured with the real menu program (and Espresso, when it is
installed; a program that does nothing otherwise) gives the clause count of the file written and the same bytes with one
and two workers.

Usage: test_cnf_curves.py --binary BOOLFN
"""

import argparse
import os
import shutil
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cnf_curves as curves  # noqa: E402

BINARY = None


class Covers(unittest.TestCase):
    def test_rows_as_described(self):
        for inputs, rows in ((4, 3), (12, 12), (64, 20)):
            text = curves.cover_text(inputs, rows, 4, 2027)
            self.assertEqual(text, curves.cover_text(inputs, rows, 4, 2027))
            body = [line for line in text.splitlines() if not line.startswith(".")]
            self.assertEqual(len(body), rows)
            for line in body:
                cube, marks = line.split(" ")
                self.assertEqual(len(cube), inputs)
                self.assertIn(len(cube) - cube.count("-"), range(min(inputs, 4), min(inputs, 6) + 1))
                self.assertEqual(len(marks), 4)
                self.assertIn("1", marks)
        self.assertNotEqual(curves.cover_text(12, 12, 4, 2027), curves.cover_text(12, 12, 4, 1))

    def test_clause_count(self):
        cases = [(b"c x\np cnf 3 2\n1 0\n-2 0\n", 2), (b"1 0\n", None), (None, None)]
        for data, count in cases:
            self.assertEqual(curves.clause_count(data), count)


class Table(unittest.TestCase):
    def test_timeouts_and_ratios(self):
        done = curves.Usage(1.0, 3.0, False, wall=1.5)
        late = curves.Usage(60.0, 9.0, True, wall=61.0)
        point = {"inputs": 8, "rows": 4, "clauses": None, "one": late, "all": late,
                 "same": "-", "espresso": done, "load": 1.0}
        row = curves.table([point], 60, 2).splitlines()[2].split(" | ")
        self.assertEqual(row[3:5], [">60", ">60"])
        self.assertEqual(row[11], "-")
        point.update(one=done, all=done, same="yes", clauses=7,
                     espresso=curves.Usage(0.5, 2.0, False, wall=0.5))
        row = curves.table([point], 60, 2).splitlines()[2].split(" | ")
        self.assertEqual(row[2:5], ["7", "1.00", "1.50"])
        self.assertEqual(row[11], "2.00")


class MeasuredPoint(unittest.TestCase):
    def test_point(self):
        # Without Espresso installed, a program that does nothing stands in for it.
        peer = shutil.which("espresso") or shutil.which("true")
        args = argparse.Namespace(binary=BINARY, espresso=peer, limit=60,
                                  workers=2, outputs=4, seed=2027)
        point = curves.measure_point(16, 8, args)
        self.assertFalse(point["one"].timed_out)
        self.assertEqual(point["same"], "yes")
        self.assertGreater(point["clauses"], 0)
        self.assertGreater(point["one"].megabytes, 0)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    known, rest = parser.parse_known_args()
    BINARY = os.path.abspath(known.binary)
    unittest.main(argv=[sys.argv[0]] + rest)
