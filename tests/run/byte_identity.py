#!/usr/bin/env python3
"""boolfn-run writes, byte for byte, the file that the menu program's save writes.

For every input (the shipped examples and generated PLA, VHDL and CNF files), every
job (no action, each action of --do, a cofactor, absorption off, added functions
with --added, batch mode's job) and every output notation, the same job is done
twice: by boolfn through its menu, answering its questions on standard input, and
by boolfn-run from its options. The two files must be equal.

Usage: byte_identity.py --menu BOOLFN --run BOOLFN_RUN [--count N] [--seed S]
"""

import argparse
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "oracle"))
from blif_cec import random_vhdl  # noqa: E402
from oracle_common import format_cnf, random_cnf, random_pla, seeded  # noqa: E402

EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples")

# Output notation: (boolfn-run --to, menu answers of the save, with {sel} for
# "What to save:").
NOTATIONS = {
    "pla": ["9", "{sel}"],
    "pseudo-vhdl": ["10", "2", "{sel}"],
    "vhdl": ["10", "1", "{sel}"],
    "blif": ["11", "{sel}"],
    "dimacs": ["12", "{sel}"],
}

# A job: (--do list, menu answers before the save).
JOBS = [
    ([], []),
    (["negate"], ["1"]),
    (["and-or-not"], ["2"]),
    (["cnf"], ["3"]),
    (["dnf"], ["4"]),
    (["nand"], ["6"]),
    (["nor"], ["7"]),
    (["cofactor:0:0=1"], ["14", "0", "0", "1"]),
    (["negate", "cofactor:0:0=0", "dnf"], ["1", "14", "0", "0", "0", "4"]),
    (["absorption=off", "dnf"], ["13", "4"]),
]


def run(command, folder, stdin=b""):
    return subprocess.run(command, cwd=folder, input=stdin, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=120)


def menu_file(menu, folder, source, answers):
    """The file the menu program writes for `answers` (a save among them)."""
    target = os.path.join(folder, "menu.out")
    if os.path.exists(target):
        os.unlink(target)
    stdin = "".join(answer + "\n" for answer in answers + ["15"]).encode()
    run([menu, source, "menu.out"], folder, stdin)
    with open(target, "rb") as handle:
        return handle.read()


def run_file(runner, folder, arguments):
    done = run([runner] + arguments, folder)
    if done.returncode not in (0, 1):
        raise RuntimeError("boolfn-run %s ended with %d:\n%s"
                           % (" ".join(arguments), done.returncode, done.stderr.decode()))
    return done.stdout


def inputs(count, seed):
    """(name, text) of every input: the examples, then generated files."""
    files = []
    for name in ("full_adder.pla", "full_adder.vhd", "small.cnf"):
        with open(os.path.join(EXAMPLES, name)) as handle:
            files.append((name, handle.read()))
    rng = seeded(seed)
    for number in range(count):
        files.append(("random%d.pla" % number, random_pla(rng)))
        files.append(("random%d.vhd" % number, random_vhdl(rng)))
        files.append(("random%d.cnf" % number, format_cnf(*random_cnf(rng))))
    return files


def compare(label, expected, actual):
    if expected == actual:
        return 0
    print("FAIL %s\n--- boolfn\n%s--- boolfn-run\n%s" % (label, expected.decode(errors="replace"),
                                                        actual.decode(errors="replace")))
    return 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--menu", required=True)
    parser.add_argument("--run", required=True)
    parser.add_argument("--count", type=int, default=4)
    parser.add_argument("--seed", type=int, default=20261208)
    options = parser.parse_args()
    menu, runner = os.path.abspath(options.menu), os.path.abspath(options.run)
    failed = compared = 0
    with tempfile.TemporaryDirectory(prefix="boolfn-run-identity-") as folder:
        for name, text in inputs(options.count, options.seed):
            with open(os.path.join(folder, name), "w") as handle:
                handle.write(text)
            for steps, answers in JOBS:
                for notation, save in NOTATIONS.items():
                    expected = menu_file(menu, folder, name,
                                         answers + [a.format(sel="1") for a in save])
                    arguments = [name, "-t", notation] + (["-d", ",".join(steps)] if steps else [])
                    failed += compare("%s %s" % (name, " ".join(arguments)), expected,
                                      run_file(runner, folder, arguments))
                    compared += 1
            # An added function saved alone, as "Add function" and "Save added only" do.
            statement = "added <= not (0 and 0);"
            for notation, save in NOTATIONS.items():
                expected = menu_file(menu, folder, name,
                                     ["8", statement, "4"] + [a.format(sel="2") for a in save])
                arguments = [name, "-a", statement, "-d", "dnf", "--added", "-t", notation]
                failed += compare("%s %s" % (name, " ".join(arguments)), expected,
                                  run_file(runner, folder, arguments))
                compared += 1
        # Batch mode's one job: the script's functions added, DNF, the added ones as PLA.
        for name in ("full_adder.pla",):
            script = os.path.join(EXAMPLES, "script.vhd")
            run([menu, name, "batch.pla", script], folder)
            with open(os.path.join(folder, "batch.pla"), "rb") as handle:
                expected = handle.read()
            arguments = [name, "-s", script, "-d", "dnf", "--added", "-o", "run.pla"]
            run_file(runner, folder, arguments)
            with open(os.path.join(folder, "run.pla"), "rb") as handle:
                failed += compare("batch " + " ".join(arguments), expected, handle.read())
            compared += 1
    print("%d compared, %d differ" % (compared, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
