#!/usr/bin/env python3
"""Memory at scale: seconds and peak resident memory of boolfn-run's jobs on large
generated inputs, before and after a change, beside the peers in the same run.

The inputs are made by bench/memory_inputs.py (fixed seeds) in a temporary folder:
random PLA files of 100,000 and 1,000,000 rows (32 inputs, one output), random
3-CNF files of 100,000 clauses over 20,000 variables and 1,000,000 clauses over
200,000 variables, and a satisfiable one of 1,000,000 clauses over 400,000
variables. The jobs:

- PLA: `boolfn-run FILE -t pseudo-vhdl -o /dev/null` and `boolfn-run --sat FILE`;
  Espresso on the file (its minimized cover to /dev/null) and ABC (`read_pla;
  strash; write_blif`);
- CNF: `boolfn-run FILE -t blif -o /dev/null`; CaDiCaL reading the file and nothing
  else (bench/cadical_parse, the bar) and the `cadical` program with a decision
  limit of 0 (reads, propagates, stops); on the satisfiable file also
  `boolfn-run --sat FILE` beside the `cadical` program solving it.

Every run is measured by GNU time (wall seconds, peak resident memory) under a time
limit; a run that hits it shows as ">N s" with the peak it had reached.

Usage: memory_benchmark.py --before OLD_BOOLFN_RUN --after NEW_BOOLFN_RUN
       --cadical-parse build/bench/cadical_parse [--espresso ESPRESSO]
       [--limit 60] [--output docs/memory_benchmark.md]
"""

import argparse
import datetime
import os
import platform
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))

INPUTS = [
    ("pla100k.pla", ["pla", "100000"]),
    ("pla1m.pla", ["pla", "1000000"]),
    ("cnf100k.cnf", ["cnf", "100000", "20000"]),
    ("cnf1m.cnf", ["cnf", "1000000", "200000"]),
    ("sat1m.cnf", ["cnf", "1000000", "400000"]),
]

# Files whose satisfiability is decided too: clause ratio 2.5, far below the
# threshold, so the solving is quick and the memory is the reading's.
SATISFIABLE = {"sat1m.cnf"}


def measure(command, limit):
    """(seconds, peak MB, finished) of one run under GNU time and a time limit."""
    with tempfile.NamedTemporaryFile("r", suffix=".time") as report:
        start = time.time()
        done = subprocess.run(["/usr/bin/time", "-o", report.name, "-f", "%e %M",
                               "timeout", str(limit)] + command,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        elapsed = time.time() - start
        words = report.read().split()
    peak = int(words[-1]) / 1024.0 if words else float("nan")
    return elapsed, peak, done.returncode != 124


def cell(result, limit):
    seconds, peak, finished = result
    if not finished:
        return ">%d s" % limit, "%.0f (stopped)" % peak
    return "%.2f" % seconds, "%.0f" % peak


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--before", required=True)
    parser.add_argument("--after", required=True)
    parser.add_argument("--cadical-parse", required=True)
    parser.add_argument("--espresso")
    parser.add_argument("--limit", type=int, default=60)
    parser.add_argument("--output", default="docs/memory_benchmark.md")
    args = parser.parse_args()

    started = time.time()
    folder = tempfile.mkdtemp(prefix="memory-bench-")
    rows = []
    try:
        for name, how in INPUTS:
            subprocess.run([sys.executable, os.path.join(HERE, "memory_inputs.py")] + how
                           + [os.path.join(folder, name)], check=True)
        abc = shutil.which("berkeley-abc") or shutil.which("abc")
        cadical = shutil.which("cadical")
        for name, _ in INPUTS:
            path = os.path.join(folder, name)
            size = os.path.getsize(path) / 1e6
            jobs = []
            if name.endswith(".pla"):
                jobs.append(("boolfn-run -t pseudo-vhdl", ["-t", "pseudo-vhdl", "-o", "/dev/null"]))
                jobs.append(("boolfn-run --sat", ["--sat"]))
            else:
                jobs.append(("boolfn-run -t blif", ["-t", "blif", "-o", "/dev/null"]))
                if name in SATISFIABLE:
                    jobs.append(("boolfn-run --sat", ["--sat"]))
            for title, options in jobs:
                before = measure([args.before, path] + options, args.limit)
                after = measure([args.after, path] + options, args.limit)
                rows.append((name, size, title) + cell(before, args.limit)
                            + cell(after, args.limit))
                print(rows[-1], file=sys.stderr, flush=True)
            peers = []
            if name.endswith(".pla"):
                if args.espresso:
                    peers.append(("Espresso", [args.espresso, path]))
                if abc:
                    peers.append(("ABC read_pla; strash; write_blif",
                                  [abc, "-c", "read_pla %s; strash; write_blif /dev/null" % path]))
            else:
                peers.append(("CaDiCaL parse (the bar)", [args.cadical_parse, path]))
                if cadical:
                    peers.append(("cadical -d 0", [cadical, "-q", "-n", "-d", "0", path]))
                if cadical and name in SATISFIABLE:
                    peers.append(("cadical (solving)", [cadical, "-q", "-n", path]))
            for title, command in peers:
                result = measure(command, args.limit)
                rows.append((name, size, title, "", "") + cell(result, args.limit))
                print(rows[-1], file=sys.stderr, flush=True)
    finally:
        shutil.rmtree(folder)

    lines = [
        "# Memory at scale",
        "",
        "Made by `bench/memory_benchmark.py` on %s (%s, %d cores, shared with other"
        " work while it ran: the seconds are wall-clock under load; the peaks are"
        " the processes' own) in %.0f s. Time limit %d s per run."
        % (datetime.date.today().isoformat(), platform.machine(), os.cpu_count() or 0,
           time.time() - started, args.limit),
        "",
        "\"before\" is the binary given as `--before`, \"after\" the one given as"
        " `--after`; a peer's figures are in the \"after\" columns. Peak memory is the"
        " peak resident set in MB, as GNU time reports it.",
        "",
        "| input | MB | job | before s | before peak MB | after s | after peak MB |",
        "|---|---:|---|---:|---:|---:|---:|",
    ]
    for name, size, title, before_s, before_m, after_s, after_m in rows:
        lines.append("| %s | %.1f | %s | %s | %s | %s | %s |"
                     % (name, size, title, before_s, before_m, after_s, after_m))
    with open(args.output, "w") as out:
        out.write("\n".join(lines) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
