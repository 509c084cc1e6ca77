#!/usr/bin/env python3
"""Two builds of boolfn and Espresso side by side on named PLA files, as Markdown.

For an engine change that must keep every byte: each file is run through
"CNF" + "Save as DIMACS" (answers 12, 1, 15) by the build before and the build
after, beside Espresso -epos, and with --dnf also through "DNF" + "Save as PLA"
(answers 9, 1, 15) beside Espresso -Dso. The figures are CPU seconds (user plus
system, from the child's resource usage) under a CPU-time limit per run, since on a
shared, loaded machine a run's wall time mostly measures its neighbours; runs
under 0.3 s are repeated and the best of three kept. The files the two builds
write are compared byte for byte.

Usage: engine_compare.py --before BOOLFN --after BOOLFN --espresso ESPRESSO
       --pla-dir DIR [--limit SECONDS] [--dnf] NAME ...
"""

import argparse
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

SIDES = {"cnf": ("12\n1\n15\n", "out.cnf", "-epos"), "dnf": ("9\n1\n15\n", "out.pla", "-Dso")}


class Usage:
    def __init__(self, seconds, megabytes, timed_out, wall=0.0):
        self.seconds = seconds  # CPU: user plus system
        self.megabytes = megabytes
        self.timed_out = timed_out
        self.wall = wall


def once_measured(command, folder, stdin_text, stdout_path, limit, environment=None):
    def limited():
        resource.setrlimit(resource.RLIMIT_CPU, (limit, limit + 1))
        resource.setrlimit(resource.RLIMIT_STACK, (resource.RLIM_INFINITY,) * 2)

    # GNU time reads the command's own peak memory (the forked child's would count
    # this interpreter's pages too); the CPU time is the usage of time and its child.
    usage_path = os.path.join(folder, ".usage")
    command = ["/usr/bin/time", "-f", "%M", "-o", usage_path] + list(command)
    with open(stdout_path, "wb") as sink:
        started = time.monotonic()
        process = subprocess.Popen(command, cwd=folder, stdin=subprocess.PIPE, stdout=sink,
                                   stderr=subprocess.DEVNULL, preexec_fn=limited,
                                   env=environment)
        process.stdin.write(stdin_text.encode())
        process.stdin.close()
        _, status, usage = os.wait4(process.pid, 0)
        wall = time.monotonic() - started
        process.returncode = status
    cpu = usage.ru_utime + usage.ru_stime
    with open(usage_path) as handle:
        kilobytes = int(handle.read().split()[-1])
    # A command stopped by SIGXCPU or SIGKILL: time reports it as 128 + the signal.
    killed = os.WIFEXITED(status) and os.WEXITSTATUS(status) in (128 + 24, 128 + 9)
    return Usage(cpu, kilobytes / 1024.0, killed or cpu >= limit, wall)


def measured_run(command, folder, stdin_text, stdout_path, limit):
    best = once_measured(command, folder, stdin_text, stdout_path, limit)
    if best.timed_out or best.seconds >= 0.3:
        return best
    for _ in range(2):
        again = once_measured(command, folder, stdin_text, stdout_path, limit)
        if again.seconds < best.seconds:
            best = again
    return best


def seconds(result, limit):
    return ">%d" % limit if result.timed_out else "%.2f" % result.seconds


def read(path):
    if not os.path.exists(path):
        return None
    with open(path, "rb") as handle:
        return handle.read()


def measure_file(path, side, tools, limit):
    answers, output, option = SIDES[side]
    row = {}
    with tempfile.TemporaryDirectory(prefix="boolfn-compare-") as folder:
        shutil.copyfile(path, os.path.join(folder, "in.pla"))
        written = {}
        for key in ("before", "after"):
            console = os.path.join(folder, "console.txt")
            row[key] = measured_run([tools[key], "in.pla", output], folder, answers, console,
                                    limit)
            written[key] = read(os.path.join(folder, output))
            if os.path.exists(os.path.join(folder, output)):
                os.unlink(os.path.join(folder, output))
        finished = not row["before"].timed_out and not row["after"].timed_out
        row["same"] = ("yes" if written["before"] == written["after"] else "NO") \
            if finished else "-"
        row["peer"] = measured_run([tools["espresso"], option, "in.pla"], folder, "",
                                   os.path.join(folder, "espresso.pla"), limit)
    return row


def table(side, names, rows, limit):
    peer = SIDES[side][2]
    lines = ["| file | before s | MB | after s | MB | after / before | Espresso %s s | MB "
             "| after / Espresso | same bytes |" % peer,
             "|---|---:|---:|---:|---:|---:|---:|---:|---:|---|"]
    totals = {"before": 0.0, "after": 0.0, "peer": 0.0, "both": 0, "peer_both": 0.0,
              "after_both": 0.0}
    for name, row in zip(names, rows):
        b, a, p = row["before"], row["after"], row["peer"]
        speedup = "%.2f" % (a.seconds / b.seconds) if not (a.timed_out or b.timed_out) and \
            b.seconds > 0 else "-"
        ratio = "%.2f" % (a.seconds / p.seconds) if not (a.timed_out or p.timed_out) and \
            p.seconds > 0 else "-"
        lines.append("| %s | %s | %.1f | %s | %.1f | %s | %s | %.1f | %s | %s |" % (
            name, seconds(b, limit), b.megabytes, seconds(a, limit), a.megabytes, speedup,
            seconds(p, limit), p.megabytes, ratio, row["same"]))
        for key, result in (("before", b), ("after", a), ("peer", p)):
            totals[key] += min(result.seconds, limit)
        if not a.timed_out and not p.timed_out:
            totals["both"] += 1
            totals["after_both"] += a.seconds
            totals["peer_both"] += p.seconds
    lines.append("")
    lines.append("CPU seconds. Totals (a run that hit the limit counted as %d s): before %.1f s, after %.1f s, "
                 "Espresso %s %.1f s. Over the %d files that the build after and Espresso both "
                 "finished: %.1f s against %.1f s (%.2f times)." % (
                     limit, totals["before"], totals["after"], peer, totals["peer"],
                     totals["both"], totals["after_both"], totals["peer_both"],
                     totals["after_both"] / totals["peer_both"] if totals["peer_both"] else 0))
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--before", required=True)
    parser.add_argument("--after", required=True)
    parser.add_argument("--espresso", required=True)
    parser.add_argument("--pla-dir", required=True)
    parser.add_argument("--limit", type=int, default=60)
    parser.add_argument("--dnf", action="store_true", help="add the DNF + Save as PLA side")
    parser.add_argument("names", nargs="+", help="PLA files of --pla-dir, without .pla")
    args = parser.parse_args()
    tools = {"before": os.path.abspath(args.before), "after": os.path.abspath(args.after),
             "espresso": os.path.abspath(args.espresso)}
    for side in ("cnf", "dnf") if args.dnf else ("cnf",):
        rows = []
        for name in args.names:
            rows.append(measure_file(os.path.join(args.pla_dir, name + ".pla"), side, tools,
                                     args.limit))
            print("%s %s: done" % (side, name), file=sys.stderr, flush=True)
        print(table(side, args.names, rows, args.limit))
        print()


if __name__ == "__main__":
    main()
