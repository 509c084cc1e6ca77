#!/usr/bin/env python3
"""Oracle check of boolfn-run's BLIF and design-unit notations, decided by ABC's
`cec`: for random PLA and VHDL-subset files, the gate-per-operator BLIF (the
functions as loaded) is the reference, and each of these must be equivalent to it:

- the sum-of-products BLIF (`-t sop-blif`), read by ABC;
- ABC's own BLIF of the reference after `strash; dc2` (shared internal nodes, OFF-set
  covers, outputs read by other gates), read back by boolfn-run's BLIF reader;
- the complete VHDL entity (`-t vhdl`), read back by boolfn-run and written as BLIF.

Exit status 0 when every file passes, 1 on a failure, 77 (skipped) without ABC.
"""

import argparse
import os
import subprocess
import sys

from blif_cec import random_vhdl
from oracle_common import SKIPPED, abc_cec, find_abc, random_pla, run_abc, scratch, seeded


def run(binary, folder, args, accepted=(0,)):
    completed = subprocess.run([binary] + args, cwd=folder, capture_output=True, text=True,
                               timeout=120)
    if completed.returncode not in accepted:
        raise RuntimeError("boolfn-run %s: status %d\n%s" % (" ".join(args), completed.returncode,
                                                             completed.stderr))


def check_file(binary, abc, name, text):
    """The list of failures for one input file."""
    failures = []
    with scratch() as folder:
        with open(os.path.join(folder, name), "w") as handle:
            handle.write(text)
        path = lambda file: os.path.join(folder, file)
        try:
            # A random PLA may hold rows the reader refuses (status 1); every run that
            # reads it reads the same functions, and --partial writes them.
            run(binary, folder, [name, "--partial", "-t", "blif", "-o", "gates.blif"], (0, 1))
            run(binary, folder, [name, "--partial", "-t", "sop-blif", "-o", "sop.blif"], (0, 1))
            run_abc(abc, "read_blif %s; strash; dc2; write_blif %s" %
                    (path("gates.blif"), path("abc.blif")), 120)
            run(binary, folder, ["abc.blif", "-t", "sop-blif", "-o", "abc-back.blif"])
            run(binary, folder, [name, "--partial", "-t", "vhdl", "-o", "unit.vhdl"], (0, 1))
            run(binary, folder, ["unit.vhdl", "-t", "blif", "-o", "unit.blif"])
        except (RuntimeError, subprocess.TimeoutExpired) as error:
            return [str(error)]
        for candidate in ["sop.blif", "abc-back.blif", "unit.blif"]:
            verdict, report = abc_cec(abc, path("gates.blif"), path(candidate))
            if not verdict:
                failures.append("%s: %s" % (candidate, report.strip()[-300:]))
    return failures


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--run", required=True, help="the boolfn-run binary")
    parser.add_argument("--count", type=int, default=60)
    parser.add_argument("--seed", type=int, default=20261209)
    options = parser.parse_args()
    binary = os.path.abspath(options.run)
    abc = find_abc()
    if abc is None:
        print("SKIPPED: ABC (berkeley-abc) is not on PATH")
        return SKIPPED
    rng = seeded(options.seed)
    failed = 0
    for number in range(options.count):
        if number % 2 == 0:
            name, text = "in.pla", random_pla(rng)
        else:
            name, text = "in.vhd", random_vhdl(rng)
        failures = check_file(binary, abc, name, text)
        if failures:
            failed += 1
            print("FAIL file %d (%s):\n%s\n%s" % (number, name, "\n".join(failures), text))
    print("%d passed, %d failed" % (options.count - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
