#!/usr/bin/env python3
"""Record and compare what boolfn prints and writes for every corpus file.

A refactor of the engine, a reader or a writer must keep every byte of output
the same.  `record` runs a boolfn binary on every file of the corpus
(`../shared/bench/pla/*.pla` and `../shared/bench/cnf/*.cnf` from the checkout)
under a fixed set of menu sequences and stores, per run, the standard output,
the exit status and every file the run wrote.  `compare` reports every run
whose recording differs between two such recordings.

    python3 scripts/corpus_outputs.py record --binary build/boolfn \\
        --corpus ../shared/bench --out ../corpus-new [--timeout 10] \\
        [--jobs 2] [--only SUBSTRING] [--sequence NAME]
    python3 scripts/corpus_outputs.py compare ../corpus-base ../corpus-new

Layout of a recording: DIR/<kind>/<file>/<sequence>/ holds `stdout`, `status`
and `files/<name>`, or only `timeout` when the run was killed.  Each run gets a
fresh folder holding the input as `in.pla` or `in.cnf`; the binary is started
with argv[0] `boolfn` (it prints that first), so recordings made with binaries
at different paths stay comparable.  The only volatile text, the N of
`Operation took N seconds`, is replaced by `T`.
"""

import argparse
import concurrent.futures
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

# Menu answers, one per line.  The first save goes to the output path given on
# the command line; a later save first asks for its path.  A save of PLA, BLIF
# or DIMACS asks "What to save:" (1 = all); "Save as VHDL" asks "How to save:"
# (1 complete, 2 pseudo) and then "What to save:".  15 exits.
PLA_SEQUENCES = {
    "dnf_pla": ("out.pla", ["4", "9", "1", "15"]),
    "blif": ("out.blif", ["11", "1", "15"]),
    "vhdl": ("out.vhd", ["10", "1", "1", "10", "second.vhd", "2", "1", "15"]),
    "negation": ("out.vhd", ["1", "10", "2", "1", "15"]),
    "cofactor": ("out.vhd", ["14", "0", "0", "1", "10", "2", "1", "15"]),
    "nand": ("out.blif", ["6", "11", "1", "15"]),
    # "{statement}" is filled in per file, see add_statement().
    "add_function": ("out.pla", ["8", "{statement}", "9", "1", "15"]),
    "cnf_dimacs": ("out.cnf", ["12", "1", "15"]),
}
CNF_SEQUENCES = {
    "sat_vhdl": ("out.vhd", ["5", "10", "2", "1", "15"]),
    "dnf_pla": ("out.pla", ["4", "9", "1", "15"]),
    "dimacs": ("out.cnf", ["12", "1", "15"]),
    "cnf_vhdl": ("out.vhd", ["3", "10", "2", "1", "15"]),
}
KINDS = {"pla": PLA_SEQUENCES, "cnf": CNF_SEQUENCES}

TOOK = re.compile(rb"(Operation took )\S+( seconds)")


def pla_names(data, keyword, prefix):
    """The names of a PLA header line (.ilb or .ob), or the default names."""
    for line in data.split(b"\n"):
        words = line.split(b"#")[0].split()
        if words and words[0] == keyword and len(words) > 1:
            return words[1:]
    return [prefix + b"0"]


def add_statement(data):
    output = pla_names(data, b".ob", b"y")[0]
    input_ = pla_names(data, b".ilb", b"x")[0]
    return b"extra <= " + output + b" and not " + input_ + b";"


def sequence_stdin(answers, data):
    lines = [a.encode() for a in answers]
    lines = [add_statement(data) if a == b"{statement}" else a for a in lines]
    return b"\n".join(lines) + b"\n"


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def run_one(binary, source, kind, sequence, run_dir, timeout):
    """Run one file under one sequence; store the result in run_dir."""
    output, answers = KINDS[kind][sequence]
    with open(source, "rb") as f:
        data = f.read()
    input_name = "in." + kind
    shutil.rmtree(run_dir, ignore_errors=True)
    with tempfile.TemporaryDirectory(prefix="corpus-run-") as work:
        write(os.path.join(work, input_name), data)
        try:
            done = subprocess.run(
                ["boolfn", input_name, output],
                executable=binary,
                cwd=work,
                input=sequence_stdin(answers, data),
                stdout=subprocess.PIPE,
                stderr=subprocess.DEVNULL,
                timeout=timeout,
            )
        except subprocess.TimeoutExpired:
            write(os.path.join(run_dir, "timeout"), b"killed after %gs\n" % timeout)
            return "timeout"
        write(os.path.join(run_dir, "stdout"), TOOK.sub(rb"\1T\2", done.stdout))
        write(os.path.join(run_dir, "status"), b"%d\n" % done.returncode)
        for root, _, names in os.walk(work):
            for name in names:
                rel = os.path.relpath(os.path.join(root, name), work)
                if rel != input_name:
                    with open(os.path.join(work, rel), "rb") as f:
                        write(os.path.join(run_dir, "files", rel), f.read())
    return "finished"


def record(args):
    binary = os.path.abspath(args.binary)
    runs = []
    for kind, sequences in KINDS.items():
        folder = os.path.join(args.corpus, kind)
        for name in sorted(os.listdir(folder)):
            if not name.endswith("." + kind):
                continue
            if args.only and args.only not in kind + "/" + name:
                continue
            for sequence in sequences:
                if args.sequence and sequence != args.sequence:
                    continue
                runs.append((kind, name, sequence))
    if not runs:
        sys.exit("no corpus files found under " + args.corpus)

    start = time.time()
    counts = {"finished": 0, "timeout": 0}
    with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
        futures = {
            pool.submit(
                run_one,
                binary,
                os.path.join(args.corpus, kind, name),
                kind,
                sequence,
                os.path.join(args.out, kind, name, sequence),
                args.timeout,
            ): (kind, name, sequence)
            for kind, name, sequence in runs
        }
        for n, future in enumerate(concurrent.futures.as_completed(futures), 1):
            result = future.result()
            counts[result] += 1
            print("[%d/%d] %s: %s" % (n, len(runs), "/".join(futures[future]), result),
                  file=sys.stderr, flush=True)
    print("recorded %d runs in %s: %d finished, %d timed out, %.0f s"
          % (len(runs), args.out, counts["finished"], counts["timeout"],
             time.time() - start))


def run_dirs(top):
    """The <kind>/<file>/<sequence> folders of a recording."""
    found = set()
    for kind in KINDS:
        if not os.path.isdir(os.path.join(top, kind)):
            continue
        for name in os.listdir(os.path.join(top, kind)):
            for sequence in os.listdir(os.path.join(top, kind, name)):
                found.add(os.path.join(kind, name, sequence))
    return found


def files_of(run_dir):
    """Every file recorded for a run, as {relative path: bytes}."""
    result = {}
    for root, _, names in os.walk(run_dir):
        for name in names:
            path = os.path.join(root, name)
            with open(path, "rb") as f:
                result[os.path.relpath(path, run_dir)] = f.read()
    return result


def first_difference(a, b):
    a_lines, b_lines = a.split(b"\n"), b.split(b"\n")
    for n, (x, y) in enumerate(zip(a_lines, b_lines), 1):
        if x != y:
            return "line %d" % n
    return "length (%d vs %d lines)" % (len(a_lines), len(b_lines))


def difference(a, b):
    """A short reason why two recorded runs differ, or None."""
    if a == b:
        return None
    for name in sorted(set(a) | set(b)):
        if name not in b:
            return "%s only in A" % name
        if name not in a:
            return "%s only in B" % name
        if a[name] != b[name]:
            if name == "status":
                return "status %s vs %s" % (a[name].strip().decode(),
                                            b[name].strip().decode())
            return "%s differs at %s" % (name, first_difference(a[name], b[name]))


def compare(args):
    a_runs, b_runs = run_dirs(args.dir_a), run_dirs(args.dir_b)
    identical = differ = skipped = 0
    for run in sorted(a_runs | b_runs):
        if run not in b_runs or run not in a_runs:
            print("%s: run only in %s" % (run, "A" if run in a_runs else "B"))
            differ += 1
            continue
        a = files_of(os.path.join(args.dir_a, run))
        b = files_of(os.path.join(args.dir_b, run))
        if "timeout" in a or "timeout" in b:
            skipped += 1
            continue
        reason = difference(a, b)
        if reason:
            print("%s: %s" % (run, reason))
            differ += 1
        else:
            identical += 1
    total = identical + differ + skipped
    print("compared %d runs: %d identical, %d differ, "
          "%d timed out in one or both (skipped)" % (total, identical, differ, skipped))
    return 1 if differ else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    rec = commands.add_parser("record", help="record the outputs of a binary")
    rec.add_argument("--binary", required=True)
    rec.add_argument("--corpus", required=True, help="e.g. ../shared/bench")
    rec.add_argument("--out", required=True)
    rec.add_argument("--timeout", type=float, default=10)
    rec.add_argument("--jobs", type=int, default=2)
    rec.add_argument("--only", help="only files whose kind/name contains this")
    rec.add_argument("--sequence", help="only this sequence (for instance cnf_dimacs)")
    cmp = commands.add_parser("compare", help="compare two recordings")
    cmp.add_argument("dir_a")
    cmp.add_argument("dir_b")
    args = parser.parse_args()
    if args.command == "record":
        record(args)
        return 0
    return compare(args)


if __name__ == "__main__":
    sys.exit(main())
