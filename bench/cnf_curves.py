#!/usr/bin/env python3
"""CNF + "Save as DIMACS" along two curves of generated PLA files, as Markdown.

Each point is a random multi-output cover (a fixed seed per point): every row has
four to six literals of random polarity on distinct inputs and sets each output at
random (at least one). One curve grows the rows at a fixed input count, the other
the inputs at a fixed row count. The menu program runs each file with one worker
and with all workers (BOOLFN_WORKERS), Espresso -epos beside it in the same loop;
for each run the CPU seconds (user plus system of the child, under a CPU-time
limit), the wall seconds and the peak resident memory are read, and the files that
one and all workers write are compared byte for byte. On a shared machine the wall
seconds mostly measure the neighbours; the load average is given per point.

Usage: cnf_curves.py --binary BOOLFN --espresso ESPRESSO [--limit SECONDS]
       [--workers N] [--rows-at INPUTS] [--rows R ...] [--inputs-at ROWS] [--inputs N ...]
"""

import argparse
import os
import random
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from engine_compare import Usage, once_measured  # noqa: E402,F401 (Usage: the tests build rows)


def cover_text(inputs, rows, outputs, seed):
    rng = random.Random(seed * 1000003 + inputs * 1009 + rows)
    lines = [".i %d" % inputs, ".o %d" % outputs, ".p %d" % rows]
    for _ in range(rows):
        cube = ["-"] * inputs
        for position in rng.sample(range(inputs), min(inputs, rng.randint(4, 6))):
            cube[position] = rng.choice("01")
        marks = [rng.choice("01") for _ in range(outputs)]
        if "1" not in marks:
            marks[rng.randrange(outputs)] = "1"
        lines.append("".join(cube) + " " + "".join(marks))
    lines.append(".e")
    return "\n".join(lines) + "\n"


def measured(command, folder, stdin_text, limit, workers=None):
    environment = dict(os.environ)
    if workers is not None:
        environment["BOOLFN_WORKERS"] = str(workers)
    return once_measured(command, folder, stdin_text, os.devnull, limit, environment)


def read(path):
    if not os.path.exists(path):
        return None
    with open(path, "rb") as handle:
        return handle.read()


def clause_count(data):
    if data is None:
        return None
    for line in data.decode(errors="replace").splitlines():
        if line.startswith("p cnf"):
            return int(line.split()[3])
    return None


def measure_point(inputs, rows, args):
    with tempfile.TemporaryDirectory(prefix="boolfn-curves-") as folder:
        with open(os.path.join(folder, "in.pla"), "w") as handle:
            handle.write(cover_text(inputs, rows, args.outputs, args.seed))
        point = {"inputs": inputs, "rows": rows}
        written = {}
        for key, workers in (("one", 1), ("all", args.workers)):
            point[key] = measured([args.binary, "in.pla", key + ".cnf"], folder, "12\n1\n15\n",
                                  args.limit, workers)
            written[key] = read(os.path.join(folder, key + ".cnf"))
        finished = not point["one"].timed_out and not point["all"].timed_out
        point["same"] = ("yes" if written["one"] == written["all"] else "NO") if finished else "-"
        point["clauses"] = clause_count(written["one"]) if finished else None
        point["espresso"] = measured([args.espresso, "-epos", "in.pla"], folder, "", args.limit)
        point["load"] = os.getloadavg()[0]
    return point


def cpu_text(usage, limit):
    return ">%d" % limit if usage.timed_out else "%.2f" % usage.seconds


def wall_text(usage, limit):
    return ">%d" % limit if usage.timed_out else "%.2f" % usage.wall


def table(points, limit, workers):
    lines = ["| inputs | rows | clauses | 1 worker CPU s | wall s | MB | %d workers wall s | MB "
             "| same bytes | Espresso `-epos` CPU s | MB | 1 worker / Espresso | load |" % workers,
             "|---:|---:|---:|---:|---:|---:|---:|---:|---|---:|---:|---:|---:|"]
    for point in points:
        one, every, peer = point["one"], point["all"], point["espresso"]
        if one.timed_out or peer.timed_out or peer.seconds <= 0:
            ratio = "-"
        else:
            ratio = "%.2f" % (one.seconds / peer.seconds)
        clauses = "" if point["clauses"] is None else str(point["clauses"])
        lines.append("| %d | %d | %s | %s | %s | %.1f | %s | %.1f | %s | %s | %.1f | %s | %.1f |" % (
            point["inputs"], point["rows"], clauses, cpu_text(one, limit), wall_text(one, limit),
            one.megabytes, wall_text(every, limit), every.megabytes, point["same"],
            cpu_text(peer, limit), peer.megabytes, ratio, point["load"]))
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", required=True, help="the menu program")
    parser.add_argument("--espresso", required=True)
    parser.add_argument("--limit", type=int, default=60)
    parser.add_argument("--workers", type=int, default=os.cpu_count() or 1)
    parser.add_argument("--outputs", type=int, default=4)
    parser.add_argument("--seed", type=int, default=2027)
    parser.add_argument("--rows-at", type=int, default=24, help="inputs of the rows curve")
    parser.add_argument("--rows", type=int, nargs="*", default=[4, 6, 8, 10, 12, 14, 16, 18, 20])
    parser.add_argument("--inputs-at", type=int, default=12, help="rows of the inputs curve")
    parser.add_argument("--inputs", type=int, nargs="*",
                        default=[12, 16, 24, 32, 48, 64, 96, 128, 192, 256])
    args = parser.parse_args()
    args.binary = os.path.abspath(args.binary)
    args.espresso = os.path.abspath(args.espresso)
    curves = (("rows", [(args.rows_at, rows) for rows in args.rows]),
              ("inputs", [(inputs, args.inputs_at) for inputs in args.inputs]))
    for title, grid in curves:
        points = []
        for inputs, rows in grid:
            points.append(measure_point(inputs, rows, args))
            print("%s curve: %d inputs, %d rows done" % (title, inputs, rows), file=sys.stderr,
                  flush=True)
        print("Growing %s:\n" % title)
        print(table(points, args.limit, args.workers))
        print()


if __name__ == "__main__":
    main()
