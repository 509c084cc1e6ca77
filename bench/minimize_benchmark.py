#!/usr/bin/env python3
"""boolfn-run's minimal covers against Espresso, side by side, written as Markdown.

For every PLA file of a folder: `boolfn-run -d dnf`, `boolfn-run -d minimize`
(and `-d minimize=exact` when the binary has it), `espresso -Dso` (one cover per
output, the fair peer of per-function covers), `espresso` (multi-output) and
`espresso -Dexact`. Each run records wall time, peak memory, the rows and literals
written, and ABC's cec of the written cover against the input with the input's
don't cares masked on both sides. boolfn-run reads with --lenient (the corpus uses
the benchmark dialects) and, where the file has don't cares, --dont-cares when the
binary has it.

Usage: minimize_benchmark.py --run BOOLFN_RUN --espresso ESPRESSO [--pla-dir DIR]
       [--limit SECONDS] [--only NAME ...] [--output docs/minimize_benchmark.md]
"""

import argparse
import datetime
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "oracle"))

import run_benchmark as bench  # noqa: E402
from check_pla_equivalence import parse_pla  # noqa: E402

TOOLS = ("dnf", "minimize", "exact", "espresso", "multi", "espresso-exact")
TITLES = {"dnf": "boolfn dnf", "minimize": "boolfn minimize", "exact": "boolfn minimize=exact",
          "espresso": "espresso -Dso", "multi": "espresso", "espresso-exact": "espresso -Dexact"}


def has_dont_cares(original):
    return original.kind in ("fr", "fdr") or any(
        "-" in outputs or "2" in outputs for _, outputs in original.rows)


def supports(run, word):
    text = subprocess.run([run, "--help"], stdout=subprocess.PIPE, text=True).stdout
    return word in text


def measure_file(path, options):
    original = parse_pla(path)
    row = {"file": os.path.basename(path), "inputs": original.inputs,
           "outputs": original.outputs}
    extra = ["--lenient"]
    if options.dont_cares and has_dont_cares(original):
        extra.append("--dont-cares")
    commands = {
        "dnf": [options.run, "in.pla", "-d", "dnf", "-q", "-o", "out.pla", "--lenient"],
        "minimize": [options.run, "in.pla", "-d", "minimize", "-q", "-o", "out.pla"] + extra,
        "espresso": [options.espresso, "-Dso", "in.pla"],
        "multi": [options.espresso, "in.pla"],
        "espresso-exact": [options.espresso, "-Dexact", "in.pla"],
    }
    if options.exact:
        commands["exact"] = [options.run, "in.pla", "-d", "minimize=exact", "-q", "-o",
                             "out.pla"] + extra
    with tempfile.TemporaryDirectory(prefix="boolfn-minimize-") as folder:
        shutil.copyfile(path, os.path.join(folder, "in.pla"))
        for key in TOOLS:
            if key not in commands or key not in options.tools:
                continue
            mine = key in ("dnf", "minimize", "exact")
            stdout = os.path.join(folder, "console.txt" if mine else "out.pla")
            measure = bench.measured_run(commands[key], folder, "", stdout, options.limit)
            row[key] = bench.judge(
                measure, folder, "out.pla",
                lambda p: bench.check_cover(options.abc, original, p, folder, options.limit),
                expect_status=0)
            bench.remove(folder, "out.pla")
    return row


def cell(result):
    if result is None:
        return ""
    if result["timed_out"]:
        return ">%d s" % result["limit"]
    if result["rows"] is None:
        return result["check"]
    text = "%d / %d, %.3f s, %.0f MB" % (result["rows"], result["literals"], result["seconds"],
                                          result["mb"])
    return text if result["check"] == "yes" else text + " (" + result["check"] + ")"


def finished(result):
    return result is not None and result["rows"] is not None and not result["timed_out"]


def report(rows, options, started):
    tools = [key for key in TOOLS if any(key in row for row in rows)]
    lines = ["# Minimal covers: boolfn-run against Espresso", "",
             "Written by `scripts/minimize_benchmark.sh` on %s UTC (%s), corpus `%s`, %d s "
             "per run. Each cell: rows / literals, wall seconds, peak memory; every cover "
             "is checked by ABC's cec against the input with its don't cares masked, and a "
             "failed or missing check is named in the cell. Runs under %.1f s are the best "
             "of %d." % (started.strftime("%Y-%m-%d %H:%M"), bench.machine(), options.label,
                         options.limit, bench.REPEAT_BELOW, bench.REPEATS), "",
             "| file | " + " | ".join(TITLES[key] for key in tools) + " |",
             "|---|" + "---|" * len(tools)]
    for row in rows:
        lines.append("| %s | " % row["file"] + " | ".join(cell(row.get(key)) for key in tools)
                     + " |")
    lines += ["", "## Totals and targets", ""]
    both = [row for row in rows if finished(row.get("minimize")) and finished(row.get("espresso"))]
    lines.append("Over the %d files both `boolfn-run -d minimize` and `espresso -Dso` finish:"
                 % len(both))
    lines.append("")
    lines.append("| | rows | literals | seconds |")
    lines.append("|---|---|---|---|")
    for key in ("dnf", "minimize", "espresso"):
        present = [row[key] for row in both if finished(row.get(key))]
        if len(present) != len(both):
            continue
        lines.append("| %s | %d | %d | %.2f |" % (
            TITLES[key], sum(r["rows"] for r in present), sum(r["literals"] for r in present),
            sum(r["seconds"] for r in present)))
    worse = [row["file"] for row in both
             if row["minimize"]["rows"] > row["espresso"]["rows"] or
             row["minimize"]["literals"] > row["espresso"]["literals"]]
    lines += ["", "Files where minimize has more rows or more literals than `espresso -Dso`: "
              + (", ".join(worse) if worse else "none") + "."]
    failed = [row["file"] + " " + key for row in rows for key in tools
              if finished(row.get(key)) and row[key]["check"] != "yes"]
    lines += ["", "Covers ABC's cec did not prove equal: " + (", ".join(failed) or "none") + "."]
    with open(options.output, "w") as handle:
        handle.write("\n".join(lines) + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--run", required=True, help="the boolfn-run binary")
    parser.add_argument("--espresso", required=True, help="the Espresso binary")
    parser.add_argument("--pla-dir", default=os.path.join(bench.SHARED_BENCH, "pla"))
    parser.add_argument("--limit", type=int, default=60, help="seconds per run (60)")
    parser.add_argument("--only", nargs="*", default=None)
    parser.add_argument("--tools", nargs="*", default=list(TOOLS), choices=TOOLS,
                        help="the columns to measure (all)")
    parser.add_argument("--no-check", action="store_true", help="skip ABC's cec (iterating)")
    parser.add_argument("--output", default=os.path.join(ROOT, "docs", "minimize_benchmark.md"))
    options = parser.parse_args()
    options.run = os.path.abspath(options.run)
    options.espresso = os.path.abspath(options.espresso)
    options.abc = None if options.no_check else shutil.which("berkeley-abc") or shutil.which("abc")
    options.exact = supports(options.run, "minimize=exact")
    options.dont_cares = supports(options.run, "--dont-cares")
    options.label = os.path.relpath(options.pla_dir, ROOT)
    started = datetime.datetime.now(datetime.timezone.utc)
    names = sorted(name for name in os.listdir(options.pla_dir) if name.endswith(".pla"))
    if options.only:
        names = [n for n in names if n in options.only or os.path.splitext(n)[0] in options.only]
    rows = []
    for name in names:
        rows.append(measure_file(os.path.join(options.pla_dir, name), options))
        row = rows[-1]
        print("%s: %s" % (name, "; ".join("%s %s" % (key, cell(row.get(key)))
                                          for key in TOOLS if key in row)),
              file=sys.stderr, flush=True)
    report(rows, options, started)
    print("Written: %s" % options.output)
    return 0


if __name__ == "__main__":
    sys.exit(main())
