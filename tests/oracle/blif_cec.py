#!/usr/bin/env python3
"""Oracle check of "Save as BLIF": functions are loaded, saved as BLIF as they stand,
then brought into DNF and saved as PLA in the same run, and ABC's `cec` must prove
the two combinationally equivalent (inputs and outputs matched by order). ABC
reading the BLIF without complaint is part of the check; the PLA cover reaches ABC
as BLIF, since ABC's PLA reader drops the inputs of a file without rows.

The functions come from random PLA files and from random VHDL-subset files whose
expressions use every operator and constants; with --pla-dir, from the PLA files of
a folder instead, with a table of the results.

Exit status 0 when every file passes, 1 on a failure, 77 (skipped) without ABC.
"""

import argparse
import os
import sys
import time

from oracle_common import (SKIPPED, abc_cec, find_abc, pla_to_blif, random_pla, run_boolfn,
                           scratch, seeded)

INPUT_NAMES = ["a", "b", "c", "d", "e"]
BINARY_WORDS = ["and", "or", "nand", "nor", "xor", "xnor"]


def random_expression(rng, names, depth):
    roll = rng.random()
    if depth == 0 or roll < 0.25:
        if rng.random() < 0.08:
            return rng.choice(['"0"', '"1"'])
        return rng.choice(names)
    if roll < 0.4:
        return "not " + random_expression(rng, names, depth - 1)
    return "( %s %s %s )" % (random_expression(rng, names, depth - 1), rng.choice(BINARY_WORDS),
                             random_expression(rng, names, depth - 1))


def random_vhdl(rng):
    names = INPUT_NAMES[:rng.randint(1, len(INPUT_NAMES))]
    lines = ["variable %s;" % ", ".join(names)]
    for number in range(rng.randint(1, 3)):
        lines.append("f%d <= %s;" % (number, random_expression(rng, names, rng.randint(0, 4))))
    return "\n".join(lines) + "\n"


def check_file(binary, abc, name, text, timeout=120):
    """(verdict, detail, seconds): verdict None when the check passed."""
    with scratch() as folder:
        with open(os.path.join(folder, name), "w") as handle:
            handle.write(text)
        start = time.monotonic()
        run = run_boolfn(binary, folder, [name, "out.blif"], [11, 1, 9, "out.pla", 1, 15], timeout)
        seconds = time.monotonic() - start
        if run.timed_out:
            return "timeout", "boolfn ran out of time", seconds
        if run.status != 1:
            ending = "boolfn ended with status %s:\n%s" % (run.status, run.stdout[-2000:])
            return "failed", ending, seconds
        if run.read("out.blif") is None or run.read("out.pla") is None:
            return "failed", "a file was not saved (status %s)" % run.status, seconds
        with open(os.path.join(folder, "pla.blif"), "w") as handle:
            handle.write(pla_to_blif(run.read("out.pla")))
        verdict, report = abc_cec(abc, os.path.join(folder, "out.blif"),
                                  os.path.join(folder, "pla.blif"))
        if verdict is None:
            return "cec timeout", "ABC ran out of time", seconds
        if not verdict:
            return "failed", report.strip()[-400:], seconds
        return None, "equivalent", seconds


def check_random(binary, abc, count, seed):
    rng = seeded(seed)
    failed = 0
    for number in range(count):
        if number % 2 == 0:
            name, text = "in.pla", random_pla(rng)
        else:
            name, text = "in.vhd", random_vhdl(rng)
        verdict, detail, _ = check_file(binary, abc, name, text)
        if verdict:
            failed += 1
            print("FAIL file %d (%s): %s\n%s" % (number, name, detail, text))
    print("%d passed, %d failed" % (count - failed, failed))
    return 1 if failed else 0


def check_folder(binary, abc, folder, timeout):
    print("| file | result | seconds |")
    print("|---|---|---:|")
    failed = 0
    for entry in sorted(os.listdir(folder)):
        if not entry.endswith(".pla"):
            continue
        with open(os.path.join(folder, entry), "rb") as handle:
            text = handle.read().decode("latin-1")
        verdict, detail, seconds = check_file(binary, abc, "in.pla", text, timeout)
        if verdict == "failed":
            failed += 1
        shown = "equivalent" if verdict is None else verdict
        print("| %s | %s | %.2f |" % (entry, shown, seconds))
        if verdict == "failed":
            print("<!-- %s: %s -->" % (entry, detail.replace("\n", " ")))
        sys.stdout.flush()
    return 1 if failed else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--binary", required=True)
    parser.add_argument("--count", type=int, default=120)
    parser.add_argument("--seed", type=int, default=20240603)
    parser.add_argument("--pla-dir", help="check the PLA files of this folder instead")
    parser.add_argument("--timeout", type=int, default=120, help="seconds per file (--pla-dir)")
    options = parser.parse_args()
    abc = find_abc()
    if abc is None:
        print("SKIPPED: ABC (berkeley-abc) is not on PATH")
        return SKIPPED
    if options.pla_dir:
        if not os.path.isdir(options.pla_dir):
            print("SKIPPED: no folder %s" % options.pla_dir)
            return SKIPPED
        return check_folder(options.binary, abc, options.pla_dir, options.timeout)
    return check_random(options.binary, abc, options.count, options.seed)


if __name__ == "__main__":
    sys.exit(main())
