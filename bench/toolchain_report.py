#!/usr/bin/env python3
"""boolfn-run in the tool chain, measured on a folder of PLA files beside ABC:
the size of `-t sop-blif` against ABC's own `read_pla; write_blif`, ABC's `cec` of
the two, ABC's BLIF read back by boolfn-run and proven equal, and the time and
clauses per tree node of `--tseitin`. Writes a Markdown report.

    python3 bench/toolchain_report.py --run build/boolfn-run \\
        --pla ../shared/bench/pla --out docs/toolchain.md [--timeout 60]
"""

import argparse
import os
import platform
import re
import subprocess
import sys
import tempfile
import time


def run(command, timeout, cwd=None):
    start = time.monotonic()
    try:
        done = subprocess.run(command, capture_output=True, text=True, timeout=timeout, cwd=cwd,
                              errors="replace")
    except subprocess.TimeoutExpired:
        return None, timeout
    return done, time.monotonic() - start


def cec(abc, first, second, timeout):
    done, _ = run([abc, "-q", "cec -n %s %s" % (first, second)], timeout)
    if done is None:
        return "timeout"
    text = done.stdout + done.stderr
    if "are equivalent" in text:
        return "equal"
    return "NOT EQUAL" if "NOT EQUIVALENT" in text else "no verdict"


def measure(binary, abc, path, folder, timeout):
    name = os.path.basename(path)[:-4]
    row = {"file": name}
    ours = os.path.join(folder, name + ".sop.blif")
    theirs = os.path.join(folder, name + ".abc.blif")
    back = os.path.join(folder, name + ".back.blif")
    done, seconds = run([binary, path, "--lenient", "-t", "sop-blif", "-o", ours], timeout)
    row["sop"] = os.path.getsize(ours) if done is not None and done.returncode == 0 else None
    row["sop_s"] = seconds
    done, seconds = run([abc, "-q", "read_pla %s; write_blif %s" % (path, theirs)], timeout)
    row["abc"] = os.path.getsize(theirs) if done is not None and os.path.exists(theirs) else None
    row["abc_s"] = seconds
    row["cec"] = cec(abc, path, ours, timeout) if row["sop"] and row["abc"] else "-"
    if row["abc"]:
        done, _ = run([binary, theirs, "-t", "sop-blif", "-o", back], timeout)
        ok = done is not None and done.returncode == 0
        row["read_back"] = cec(abc, path, back, timeout) if ok else "not read"
    else:
        row["read_back"] = "-"
    done, seconds = run([binary, path, "--lenient", "-t", "dimacs", "--tseitin", "-o",
                         os.path.join(folder, name + ".cnf")], timeout)
    row["tseitin_s"] = seconds if done is not None and done.returncode == 0 else None
    row["clauses"] = None
    if row["tseitin_s"] is not None:
        with open(os.path.join(folder, name + ".cnf")) as handle:
            for line in handle:
                if line.startswith("p cnf"):
                    row["clauses"] = int(line.split()[3])
                    break
    done, _ = run([binary, path, "--lenient", "--stats=tsv"], timeout)
    row["nodes"] = None
    if done is not None and done.returncode == 0:
        total = [line for line in done.stdout.splitlines() if line.startswith("total\t")]
        row["nodes"] = int(total[0].split("\t")[4]) if total else None
    return row


def shown(value, digits=2):
    if value is None:
        return "-"
    return ("%." + str(digits) + "f") % value if isinstance(value, float) else str(value)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--run", required=True)
    parser.add_argument("--pla", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--abc", default="berkeley-abc")
    parser.add_argument("--timeout", type=float, default=60)
    options = parser.parse_args()
    binary = os.path.abspath(options.run)
    files = sorted(os.path.join(options.pla, f) for f in os.listdir(options.pla)
                   if f.endswith(".pla"))
    rows = []
    started = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="boolfn-toolchain-") as folder:
        for path in files:
            rows.append(measure(binary, options.abc, path, folder, options.timeout))
            print(rows[-1]["file"], file=sys.stderr)
    both = [r for r in rows if r["sop"] and r["abc"]]
    sop_total = sum(r["sop"] for r in both)
    abc_total = sum(r["abc"] for r in both)
    ratios = [r["clauses"] / r["nodes"] for r in rows if r["clauses"] and r["nodes"]]
    lines = [
        "# boolfn-run in the tool chain",
        "",
        "Made by `python3 bench/toolchain_report.py --run build/boolfn-run --pla "
        "../shared/bench/pla --out docs/toolchain.md` on %s (%d cores, shared with other "
        "builds while it ran), %d s of wall time, %g s per run." %
        (time.strftime("%Y-%m-%d"), os.cpu_count(), time.monotonic() - started, options.timeout),
        "",
        "- `sop-blif`: bytes of `boolfn-run FILE --lenient -t sop-blif` against ABC's "
        "`read_pla FILE; write_blif`, and ABC's `cec -n` of the file with boolfn's BLIF.",
        "- `read back`: ABC's BLIF read by `boolfn-run -f blif` and written as `sop-blif`, "
        "then `cec -n` against the file.",
        "- `--tseitin`: seconds of `-t dimacs --tseitin`, its clauses, and the clauses per "
        "node of the loaded trees (`--stats`).",
        "",
        "Over the %d files both write: boolfn %d bytes, ABC %d bytes, **%.2f×**. "
        "`cec` equal: %d of %d; read back equal: %d of %d. `--tseitin`: slowest %.2f s, "
        "at most %.2f clauses per tree node." %
        (len(both), sop_total, abc_total, sop_total / abc_total if abc_total else 0,
         sum(r["cec"] == "equal" for r in rows), len(both),
         sum(r["read_back"] == "equal" for r in rows), len(both),
         max(r["tseitin_s"] or 0 for r in rows), max(ratios) if ratios else 0),
        "",
        "| file | sop-blif bytes | ABC bytes | ratio | cec | read back | tseitin s | clauses "
        "| clauses/node |",
        "|---|---:|---:|---:|---|---|---:|---:|---:|",
    ]
    for r in rows:
        ratio = r["sop"] / r["abc"] if r["sop"] and r["abc"] else None
        per_node = r["clauses"] / r["nodes"] if r["clauses"] and r["nodes"] else None
        lines.append("| %s | %s | %s | %s | %s | %s | %s | %s | %s |" % (
            r["file"], shown(r["sop"]), shown(r["abc"]), shown(ratio), r["cec"], r["read_back"],
            shown(r["tseitin_s"]), shown(r["clauses"]), shown(per_node)))
    lines.append("")
    lines.append("ABC 1.01 (Debian berkeley-abc); %s." % platform.platform())
    with open(options.out, "w") as handle:
        handle.write("\n".join(lines) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
