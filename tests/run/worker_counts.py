#!/usr/bin/env python3
"""One thread or several: both programs print, write and exit alike.

For every input and job of the byte-identity test (the shipped examples and
generated PLA, VHDL and CNF files; every action, a cofactor, absorption off; every
output notation), the menu program runs with BOOLFN_WORKERS=1 and =4, and
boolfn-run with BOOLFN_WORKERS=1, =4 and --workers 4. The console text (the
durations masked), the files, standard error and the exit status must be equal.

Usage: worker_counts.py --menu BOOLFN --run BOOLFN_RUN [--count N] [--seed S]
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile

from byte_identity import JOBS, NOTATIONS, inputs

DURATION = re.compile(rb"Operation took [0-9.e+-]+ seconds")


def run(command, folder, workers, stdin=b""):
    env = dict(os.environ, BOOLFN_WORKERS=workers)
    done = subprocess.run(command, cwd=folder, input=stdin, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=300, env=env)
    return done.returncode, DURATION.sub(b"Operation took T seconds", done.stdout), done.stderr


def menu_outcome(menu, folder, source, answers, workers):
    target = os.path.join(folder, "menu.out")
    if os.path.exists(target):
        os.unlink(target)
    stdin = "".join(answer + "\n" for answer in answers + ["15"]).encode()
    outcome = run([menu, source, "menu.out"], folder, workers, stdin)
    with open(target, "rb") as handle:
        return outcome + (handle.read(),)


def differs(label, outcomes):
    first = outcomes[0]
    for name, outcome in outcomes[1:]:
        if outcome != first[1]:
            print("FAIL %s: %s differs from %s\n%r\n%r"
                  % (label, name, first[0], first[1], outcome))
            return 1
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--menu", required=True)
    parser.add_argument("--run", required=True)
    parser.add_argument("--count", type=int, default=1)
    parser.add_argument("--seed", type=int, default=20261209)
    options = parser.parse_args()
    menu, runner = os.path.abspath(options.menu), os.path.abspath(options.run)
    failed = compared = 0
    with tempfile.TemporaryDirectory(prefix="boolfn-workers-") as folder:
        for name, text in inputs(options.count, options.seed):
            with open(os.path.join(folder, name), "w") as handle:
                handle.write(text)
            for steps, answers in JOBS:
                for notation, save in NOTATIONS.items():
                    menu_answers = answers + [a.format(sel="1") for a in save]
                    failed += differs("boolfn %s %s" % (name, " ".join(menu_answers)), [
                        ("one worker", menu_outcome(menu, folder, name, menu_answers, "1")),
                        ("four workers", menu_outcome(menu, folder, name, menu_answers, "4")),
                    ])
                    arguments = [name, "-t", notation] + (["-d", ",".join(steps)] if steps else [])
                    failed += differs("boolfn-run %s" % " ".join(arguments), [
                        ("one worker", run([runner] + arguments, folder, "1")),
                        ("four workers", run([runner] + arguments, folder, "4")),
                        ("--workers 4", run([runner, "--workers", "4"] + arguments, folder, "1")),
                    ])
                    compared += 2
    print("%d compared, %d differ" % (compared, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
