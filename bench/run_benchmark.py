#!/usr/bin/env python3
"""Side-by-side benchmark of boolfn against the field's tools, written as Markdown.

PLA part, for every PLA file of a folder:
- boolfn, DNF and "Save as PLA" (answers 9, 1, 15), and CNF and "Save as DIMACS"
  (answers 12, 1, 15);
- Espresso with -Dso (one cover per output, as boolfn writes) and with -epos
  (the complement's cover, the product-of-sums side);
- ABC (berkeley-abc): read_pla; strash; collapse; write_pla (on a copy with one
  row per line, which its reader needs).
Every run records wall time, peak resident memory (as GNU time reports it), and
the rows and literals written. Every written cover is checked against the
input by ABC's cec with the input's don't cares masked on both sides, so a
minimizer that uses them is not called wrong; boolfn's CNF file (all outputs'
clauses under one header) is checked against the conjunction of the outputs.

CNF part, for every CNF file of a folder: boolfn load + "Save as DIMACS" and load +
"Save as BLIF", against the time CaDiCaL takes to parse the file (with a
decision limit of 0 it reads, propagates and stops); the saved DIMACS file is
checked by a SAT solver where it is small, the BLIF file by ABC's cec. A
generated random 3-CNF of a million clauses is loaded and saved as BLIF too.
Satisfiability: boolfn's "Satisfiability test" and "Save as VHDL" (answers 5, 10,
2, 1, 15) on every CNF file, beside CaDiCaL solving the same file; the note the
VHDL file carries (" N" for an unsatisfiable function) is checked against the
solver's verdict.

Runs under 0.3 s are repeated and the best of three kept. Every run has a time
limit (60 s by default); a run that hits it shows as ">N". The product-of-sums
side of the PLA files (boolfn CNF, Espresso -epos) can be given a different one
with --cnf-limit. With --gbench the engine's Google Benchmark curves (normalizeTerms
and the cover product) are added. The machine, the date and the wall time of the
whole run head the file.

Usage: run_benchmark.py --binary BOOLFN --espresso ESPRESSO [--pla-dir DIR]
       [--cnf-dir DIR] [--gbench ENGINE_GBENCH] [--output docs/benchmark.md]
       [--limit SECONDS] [--cnf-limit SECONDS] [--only NAME ...]
"""

import argparse
import datetime
import json
import os
import platform
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "oracle"))

from check_pla_equivalence import READER_MESSAGE, parse_pla  # noqa: E402
from oracle_common import Solver, cnf_to_blif, parse_cnf, unlimited_stack  # noqa: E402
import gen_pla  # noqa: E402
from sat_vhdl import NOTE  # noqa: E402

TIME = "/usr/bin/time"
REPEATS = 3
REPEAT_BELOW = 0.3
SHARED_BENCH = os.path.normpath(os.path.join(ROOT, "..", "shared", "bench"))
LARGE_CLAUSES = 1000000
SOLVER_CHECK_CLAUSES = 5000  # the saved DIMACS file is proved equivalent up to this size
CEC_CHECK_CLAUSES = 20000  # and the saved BLIF file
CEC_LIMIT = 20  # seconds for one equivalence check of a PLA result


# ---------------------------------------------------------------- measured runs

class Measure:
    """One finished (or stopped) run: wall seconds, peak RSS in MB, exit status."""

    def __init__(self, seconds, megabytes, status, timed_out, limit):
        self.limit = limit
        self.seconds = seconds
        self.megabytes = megabytes
        self.status = status
        self.timed_out = timed_out


def measured_run(command, folder, stdin_text, stdout_path, limit):
    """Runs a command as once_measured does; a run under REPEAT_BELOW seconds is run
    REPEATS times in all and its best time kept, since on a shared machine a single
    short run mostly measures the neighbours."""
    best = once_measured(command, folder, stdin_text, stdout_path, limit)
    if best.timed_out or best.seconds >= REPEAT_BELOW:
        return best
    for _ in range(REPEATS - 1):
        again = once_measured(command, folder, stdin_text, stdout_path, limit)
        if again.seconds < best.seconds:
            best = again
    return best


def once_measured(command, folder, stdin_text, stdout_path, limit):
    """Runs a command in `folder` under GNU time, with standard input from a file and
    standard output to a file. GNU time reads the command's own peak memory (a
    child forked from this Python process would count the interpreter's pages too).
    When the limit passes, the command is killed and GNU time still reports it."""
    stdin_path = os.path.join(folder, ".stdin")
    usage_path = os.path.join(folder, ".usage")
    stderr_path = os.path.join(folder, ".stderr")
    with open(stdin_path, "w") as handle:
        handle.write(stdin_text)
    args = [TIME, "-f", "%M", "-o", usage_path] + list(command)
    # Standard error goes apart: Espresso writes its warnings there, and they must
    # not end up in the cover it writes to standard output.
    with open(stdin_path, "rb") as source, open(stdout_path, "wb") as sink, \
            open(stderr_path, "wb") as errors:
        started = time.monotonic()
        process = subprocess.Popen(args, cwd=folder, stdin=source, stdout=sink, stderr=errors,
                                   preexec_fn=lambda: (os.setpgrp(), unlimited_stack()))
        stopped = []

        def stop():
            stopped.append(True)
            children = "/proc/%d/task/%d/children" % (process.pid, process.pid)
            try:
                with open(children) as handle:
                    for pid in handle.read().split():
                        os.kill(int(pid), signal.SIGKILL)
            except (OSError, ValueError):
                os.killpg(process.pid, signal.SIGKILL)

        timer = threading.Timer(limit, stop)
        timer.start()
        try:
            process.wait(limit + 10)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
        seconds = time.monotonic() - started
        timer.cancel()
    status = process.returncode
    megabytes = 0.0
    with open(usage_path, errors="replace") as handle:
        lines = handle.read().split("\n")
    for line in lines:
        if line.startswith("Command exited with non-zero status"):
            status = int(line.split()[-1])
        elif line.strip().isdigit():
            megabytes = int(line) / 1024.0
    return Measure(min(seconds, limit) if stopped else seconds, megabytes, status, bool(stopped),
                   limit)


# ---------------------------------------------------------------- covers and checks

def cover_counts(pla):
    """(rows, literals) of a written cover: literals are the 0 and 1 input columns."""
    literals = sum(sum(1 for c in inputs if c in "01") for inputs, _ in pla.rows)
    return len(pla.rows), literals


def read_phase(path):
    """The ".phase" line Espresso writes with -epos ("0" marks a complemented
    output), or None."""
    with open(path, "r", errors="replace") as handle:
        for line in handle:
            match = re.match(r"^#?\.phase\s+(\S+)", line)
            if match:
                return match.group(1)
    return None


def names_gate(inputs, rows, name, value="1"):
    """A BLIF gate over all inputs whose ON-set (value "1") or OFF-set (value "0")
    is the union of the rows; without rows it is the constant 0 or 1."""
    if not rows:
        return [".names " + name] + (["1"] if value == "0" else [])
    fanins = "".join(" i%d" % i for i in range(inputs))
    return [".names" + fanins + " " + name] + ["%s %s" % (part.replace("2", "-"), value)
                                              for part in rows]


def care_gates(original):
    """Per output j the gates on_j (the ON-set rows) and care_j (the points where
    the input specifies the output), as check_pla_equivalence reads the types."""
    lines = []
    for j in range(original.outputs):
        marked = {mark: [inputs for inputs, outputs in original.rows if outputs[j:j + 1] == mark]
                  for mark in "10"}
        dont_care = [inputs for inputs, outputs in original.rows if outputs[j:j + 1] in ("-", "2")]
        lines += names_gate(original.inputs, marked["1"], "on%d" % j)
        if original.kind == "fd":
            lines += names_gate(original.inputs, dont_care, "care%d" % j, "0")
        else:
            lines += names_gate(original.inputs, marked["1"] + marked["0"], "given%d" % j)
            lines += names_gate(original.inputs, dont_care, "free%d" % j, "0")
            lines += [".names given%d free%d care%d" % (j, j, j), "11 1"]
    return lines


def model(original, name, body, outputs):
    head = [".model " + name, ".inputs" + "".join(" i%d" % i for i in range(original.inputs)),
            ".outputs" + "".join(" o%d" % j for j in range(outputs))]
    return "\n".join(head + body + [".end"]) + "\n"


def masked(original, function_of):
    """o_j = f_j and care_j, where f_j is the gate named by function_of(j)."""
    lines = care_gates(original)
    for j in range(original.outputs):
        lines += [".names %s care%d o%d" % (function_of(j), j, j), "11 1"]
    return lines


def abc_cec(abc, first, second, limit):
    """"yes", "NO" or why nothing was decided."""
    try:
        done = subprocess.run([abc, "-c", "cec -n %s %s" % (first, second)],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=limit,
                              preexec_fn=unlimited_stack)
    except subprocess.TimeoutExpired:
        return "cec timeout"
    text = done.stdout.decode("latin-1")
    if "NOT EQUIVALENT" in text:
        return "NO"
    if "equivalent" in text and done.returncode == 0:
        return "yes"
    return "cec failed"


def check_cover(abc, original, saved_path, folder, limit, complemented=False):
    """Compares a written PLA cover with the input on the input's care set. With
    `complemented`, outputs whose phase is 0 hold the complement's cover."""
    if abc is None:
        return "unchecked"
    saved = parse_pla(saved_path)
    if saved.inputs != original.inputs or saved.outputs != original.outputs:
        return "NO (counts)"
    phase = read_phase(saved_path) if complemented else None
    body = []
    for j in range(saved.outputs):
        rows = [inputs for inputs, outputs in saved.rows if outputs[j:j + 1] == "1"]
        inverted = phase is not None and phase[j:j + 1] == "0"
        body += names_gate(saved.inputs, rows, "f%d" % j, "0" if inverted else "1")
    left = os.path.join(folder, "check_input.blif")
    right = os.path.join(folder, "check_saved.blif")
    with open(left, "w") as handle:
        handle.write(model(original, "input", masked(original, lambda j: "on%d" % j),
                           original.outputs))
    with open(right, "w") as handle:
        handle.write(model(original, "saved", body + masked(original, lambda j: "f%d" % j),
                           original.outputs))
    return abc_cec(abc, left, right, min(limit, CEC_LIMIT))


def check_pla_cnf(abc, original, saved_path, folder, limit):
    """boolfn's "Save as DIMACS" writes every output's clauses under one header: the
    formula is the conjunction of the outputs as boolfn reads them (the ON-set rows)."""
    if abc is None:
        return "unchecked"
    with open(saved_path, "r", errors="replace") as handle:
        variables, clauses = parse_cnf(handle.read())
    if variables != original.inputs:
        return "NO (variables)"
    body = []
    for j in range(original.outputs):
        body += names_gate(original.inputs,
                           [inputs for inputs, outputs in original.rows if outputs[j:j + 1] == "1"],
                           "on%d" % j)
    body += [".names" + "".join(" on%d" % j for j in range(original.outputs)) + " o0",
             "1" * original.outputs + " 1"]
    left = os.path.join(folder, "check_input.blif")
    right = os.path.join(folder, "check_saved.blif")
    with open(left, "w") as handle:
        handle.write(model(original, "input", body, 1))
    with open(right, "w") as handle:
        # cnf_to_blif names the inputs x0..; ABC matches inputs by order.
        handle.write(cnf_to_blif(variables, clauses))
    return abc_cec(abc, left, right, min(limit, CEC_LIMIT))


# ---------------------------------------------------------------- the PLA part

def boolfn_run(binary, folder, input_name, output_name, answers, limit):
    console = os.path.join(folder, "console.txt")
    measure = measured_run([binary, input_name, output_name], folder, answers, console, limit)
    with open(console, "r", errors="replace") as handle:
        message = READER_MESSAGE.search(handle.read())
    return measure, message.group(0) if message else None


def remove(folder, *names):
    for name in names:
        path = os.path.join(folder, name)
        if os.path.exists(path):
            os.unlink(path)


def pla_file(path, tools, limit, cnf_limit):
    """One row of the PLA table: a dictionary per tool of time, memory, size and
    check, or a reason why the file was not loaded."""
    original = parse_pla(path)
    row = {"file": os.path.basename(path), "inputs": original.inputs,
           "outputs": original.outputs, "rows": len(original.rows)}
    with tempfile.TemporaryDirectory(prefix="boolfn-bench-") as folder:
        shutil.copyfile(path, os.path.join(folder, "in.pla"))
        # boolfn, DNF side.
        measure, message = boolfn_run(tools.boolfn, folder, "in.pla", "out.pla", "9\n1\n15\n",
                                      limit)
        if message:
            row["not loaded"] = message
            return row
        row["dnf"] = judge(measure, folder, "out.pla",
                           lambda p: check_cover(tools.abc, original, p, folder, limit))
        # boolfn, CNF side.
        measure, _ = boolfn_run(tools.boolfn, folder, "in.pla", "out.cnf", "12\n1\n15\n",
                                cnf_limit)
        row["cnf"] = judge(measure, folder, "out.cnf",
                           lambda p: check_pla_cnf(tools.abc, original, p, folder, limit),
                           counts=cnf_counts)
        remove(folder, "out.pla", "out.cnf")
        # Espresso, one cover per output and the product-of-sums side.
        for key, option, run_limit in (("espresso", "-Dso", limit), ("epos", "-epos", cnf_limit)):
            measure = measured_run([tools.espresso, option, "in.pla"], folder, "",
                                   os.path.join(folder, "out.pla"), run_limit)
            complemented = key == "epos"
            row[key] = judge(measure, folder, "out.pla",
                             lambda p, c=complemented: check_cover(tools.abc, original, p, folder,
                                                                   limit, c),
                             expect_status=0)
            remove(folder, "out.pla")
        # ABC, collapsed into one cover per output. Its PLA reader wants each row on
        # one line with the output part in one word, which many corpus files do not
        # have, so it reads the same rows and type laid out that way.
        if tools.abc:
            write_one_row_per_line(os.path.join(folder, "abc_in.pla"), original)
            measure = measured_run(
                [tools.abc, "-c", "read_pla abc_in.pla; strash; collapse; write_pla out.pla"],
                folder, "", os.path.join(folder, "abc.txt"), limit)
            row["abc"] = judge(measure, folder, "out.pla",
                               lambda p: check_cover(tools.abc, original, p, folder, limit),
                               expect_status=0)
            with open(os.path.join(folder, "abc.txt"), errors="replace") as handle:
                if "Reading network from file has failed" in handle.read():
                    row["abc"]["check"] = "ABC cannot read the file"
    return row


def write_one_row_per_line(path, pla):
    lines = [".i %d" % pla.inputs, ".o %d" % pla.outputs]
    if pla.kind != "fd":
        lines.append(".type " + pla.kind)
    lines += ["%s %s" % (inputs, outputs) for inputs, outputs in pla.rows] + [".e"]
    with open(path, "w") as handle:
        handle.write("\n".join(lines) + "\n")


def cnf_counts(path):
    with open(path, "r", errors="replace") as handle:
        _, clauses = parse_cnf(handle.read())
    return len(clauses), sum(len(clause) for clause in clauses)


def pla_counts(path):
    return cover_counts(parse_pla(path))


def judge(measure, folder, output_name, check, counts=pla_counts, expect_status=1):
    """The figures of one run: time, memory, rows, literals and the check's verdict."""
    result = {"seconds": measure.seconds, "mb": measure.megabytes, "timed_out": measure.timed_out,
              "limit": measure.limit, "rows": None, "literals": None, "check": ""}
    path = os.path.join(folder, output_name)
    if measure.timed_out:
        result["check"] = "timeout"
    elif measure.status != expect_status or not os.path.exists(path) or os.path.getsize(path) == 0:
        result["check"] = "no output (status %s)" % measure.status
    else:
        result["rows"], result["literals"] = counts(path)
        result["check"] = check(path)
    return result


# ---------------------------------------------------------------- the CNF part

def cnf_file(path, tools, limit):
    with open(path, "r", errors="replace") as handle:
        variables, clauses = parse_cnf(handle.read())
    row = {"file": os.path.basename(path), "variables": variables, "clauses": len(clauses)}
    with tempfile.TemporaryDirectory(prefix="boolfn-bench-") as folder:
        os.symlink(os.path.abspath(path), os.path.join(folder, "in.cnf"))
        if tools.cadical:
            measure = measured_run([tools.cadical, "-q", "-n", "-d", "0", "in.cnf"], folder, "",
                                   os.path.join(folder, "solver.txt"), limit)
            row["parse"] = {"seconds": measure.seconds, "mb": measure.megabytes,
                            "timed_out": measure.timed_out, "limit": limit}
        measure, message = boolfn_run(tools.boolfn, folder, "in.cnf", "out.cnf", "12\n1\n15\n",
                                      limit)
        row["message"] = message or ""

        def dimacs_check(saved_path):
            if tools.solver is None or len(clauses) > SOLVER_CHECK_CLAUSES:
                return "unchecked (size)" if tools.solver else "unchecked"
            with open(saved_path, "r", errors="replace") as handle:
                saved_variables, saved = parse_cnf(handle.read())
            verdict = tools.solver.equivalent(max(variables, saved_variables), clauses, saved,
                                              timeout=limit)
            return {True: "yes", False: "NO", None: "solver timeout"}[verdict]

        row["dimacs"] = judge(measure, folder, "out.cnf", dimacs_check, counts=cnf_counts)
        remove(folder, "out.cnf")
        measure, _ = boolfn_run(tools.boolfn, folder, "in.cnf", "out.blif", "11\n1\n15\n", limit)

        def blif_check(saved_path):
            if tools.abc is None or len(clauses) > CEC_CHECK_CLAUSES:
                return "unchecked (size)" if tools.abc else "unchecked"
            reference = os.path.join(folder, "reference.blif")
            with open(reference, "w") as handle:
                handle.write(cnf_to_blif(variables, clauses))
            return abc_cec(tools.abc, saved_path, reference, limit)

        row["blif"] = judge(measure, folder, "out.blif", blif_check,
                            counts=lambda p: (None, None))
    return row


def vhdl_verdict(text):
    """What the note of a CNF's function y0, written by "Save as VHDL" after the
    satisfiability test, says: "unsat" for " N", "sat" for satisfying terms, "no note"."""
    note = NOTE.search(text)
    if note is None:
        return "no note"
    return "unsat" if note.group(1).strip() == "N" else "sat"


def satisfiability_file(path, tools, limit):
    """One row of the satisfiability table: CaDiCaL solving the file (exit status 10:
    satisfiable, 20: unsatisfiable) and boolfn's test + "Save as VHDL"."""
    row = {"file": os.path.basename(path), "solver": None, "verdict": ""}
    with tempfile.TemporaryDirectory(prefix="boolfn-bench-") as folder:
        os.symlink(os.path.abspath(path), os.path.join(folder, "in.cnf"))
        if tools.cadical:
            # The SATLIB files end in "%" and "0" lines, which CaDiCaL's parser refuses:
            # it solves a copy that stops before them.
            with open(path, "r", errors="replace") as source, \
                    open(os.path.join(folder, "solver.cnf"), "w") as copy:
                for line in source:
                    if line.startswith("%"):
                        break
                    copy.write(line)
            measure = measured_run([tools.cadical, "-q", "solver.cnf"], folder, "",
                                   os.path.join(folder, "solver.txt"), limit)
            row["solver"] = {"seconds": measure.seconds, "mb": measure.megabytes,
                             "timed_out": measure.timed_out, "limit": limit}
            row["verdict"] = {10: "sat", 20: "unsat"}.get(measure.status, "unknown") \
                if not measure.timed_out else "unknown"
        measure, _ = boolfn_run(tools.boolfn, folder, "in.cnf", "out.vhd", "5\n10\n2\n1\n15\n",
                                limit)

        def note_check(saved_path):
            with open(saved_path, "r", errors="replace") as handle:
                note = vhdl_verdict(handle.read())
            if row["verdict"] not in ("sat", "unsat"):
                return note + " (solver undecided)"
            return note + (" (agrees)" if note == row["verdict"] else " (DISAGREES)")

        row["boolfn"] = judge(measure, folder, "out.vhd", note_check,
                              counts=lambda p: (None, None))
    return row


def large_cnf(folder, clauses, seed=20261208):
    """A random 3-CNF of `clauses` clauses over clauses / 10 variables, written to a file."""
    rng = random.Random(seed)
    variables = max(3, clauses // 10)
    path = os.path.join(folder, "random-%d.cnf" % clauses)
    with open(path, "w") as handle:
        handle.write("p cnf %d %d\n" % (variables, clauses))
        for _ in range(clauses):
            literals = rng.sample(range(1, variables + 1), 3)
            handle.write(" ".join(str(v if rng.random() < 0.5 else -v) for v in literals) + " 0\n")
    return path


def large_file(tools, limit, clauses):
    with tempfile.TemporaryDirectory(prefix="boolfn-bench-") as folder:
        path = large_cnf(folder, clauses)
        row = {"file": os.path.basename(path), "variables": clauses // 10, "clauses": clauses}
        os.rename(path, os.path.join(folder, "in.cnf"))
        if tools.cadical:
            measure = measured_run([tools.cadical, "-q", "-n", "-d", "0", "in.cnf"], folder, "",
                                   os.path.join(folder, "solver.txt"), limit)
            row["parse"] = {"seconds": measure.seconds, "mb": measure.megabytes,
                            "timed_out": measure.timed_out, "limit": limit}
        measure, message = boolfn_run(tools.boolfn, folder, "in.cnf", "out.blif", "11\n1\n15\n",
                                      limit)
        row["message"] = message or ""
        row["blif"] = judge(measure, folder, "out.blif", lambda p: "not checked (size)",
                            counts=lambda p: (None, None))
    return row


# ---------------------------------------------------------------- the engine curve

def engine_curve(gbench, limit):
    """Runs the Google Benchmark target and returns per benchmark a dictionary of its
    name, wall and CPU ms and its counters."""
    try:
        done = subprocess.run([gbench, "--benchmark_format=json", "--benchmark_min_time=0.1"],
                              stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, timeout=limit * 5)
    except subprocess.TimeoutExpired:
        return []
    report = json.loads(done.stdout.decode())
    curve = []
    for bench in report.get("benchmarks", []):
        unit = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[bench.get("time_unit", "ns")]
        figures = {key: int(bench.get(key, 0))
                   for key in ("terms", "other_terms", "variables", "pairs", "terms_out")}
        figures.update(name=bench["name"], wall=bench["real_time"] * unit,
                       cpu=bench["cpu_time"] * unit)
        curve.append(figures)
    return curve


# ---------------------------------------------------------------- Markdown

def seconds_text(result, limit):
    if result is None:
        return ""
    if result["timed_out"]:
        return ">%d" % result["limit"]
    return "%.3f" % result["seconds"]


def mb_text(result):
    return "" if result is None or result["mb"] <= 0 else "%.1f" % result["mb"]


def ratio_text(mine, peer, limit):
    """boolfn's time over the peer's; a peer that ran out of time gives an upper bound."""
    if mine is None or peer is None or mine["timed_out"]:
        return ""
    if peer["timed_out"]:
        return "<%.3f" % (mine["seconds"] / peer["limit"])
    return "%.2f" % (mine["seconds"] / max(peer["seconds"], 1e-6))


def size_text(result):
    if result is None or result["rows"] is None:
        return ""
    return "%d / %d" % (result["rows"], result["literals"])


def machine():
    model = ""
    try:
        lscpu = subprocess.run(["lscpu"], stdout=subprocess.PIPE, text=True).stdout
        match = re.search(r"^Model name:\s*(.+)$", lscpu, re.MULTILINE)
        model = match.group(1).strip() if match else ""
    except OSError:
        pass
    with open("/proc/meminfo") as handle:
        kilobytes = int(handle.readline().split()[1])
    return "%s, %d cores, %.1f GiB memory, %s %s" % (model or platform.processor(), os.cpu_count(),
                                                     kilobytes / 1048576.0, platform.system(),
                                                     platform.release())


def pla_tables(rows, limit):
    lines = ["| file | in | out | rows | boolfn s | MB | rows / literals | equiv | "
             "espresso -Dso s | MB | rows / literals | equiv | ratio | "
             "ABC s | MB | rows / literals | equiv | ratio |",
             "|---|---:|---:|---:|---:|---:|---:|---|---:|---:|---:|---|---:|---:|---:|---:|---|---:|"]
    skipped = []
    for row in rows:
        if "not loaded" in row:
            skipped.append("- `%s`: %s (boolfn's reader stops there; not compared)"
                           % (row["file"], row["not loaded"]))
            continue
        cells = [row["file"], str(row["inputs"]), str(row["outputs"]), str(row["rows"])]
        for key in ("dnf", "espresso", "abc"):
            result = row.get(key)
            cells += [seconds_text(result, limit), mb_text(result), size_text(result),
                      result["check"] if result else "absent"]
            if key != "dnf":
                cells.append(ratio_text(row["dnf"], result, limit))
        lines.append("| " + " | ".join(cells) + " |")
    cnf_lines = ["| file | boolfn CNF s | MB | clauses / literals | equiv | "
                 "espresso -epos s | MB | rows / literals | equiv | ratio |",
                 "|---|---:|---:|---:|---|---:|---:|---:|---|---:|"]
    for row in rows:
        if "not loaded" in row:
            continue
        cells = [row["file"]]
        for key in ("cnf", "epos"):
            result = row[key]
            cells += [seconds_text(result, limit), mb_text(result), size_text(result),
                      result["check"]]
        cells.append(ratio_text(row["cnf"], row["epos"], limit))
        cnf_lines.append("| " + " | ".join(cells) + " |")
    return lines, cnf_lines, skipped


def total(rows, key, limit):
    """(seconds with each timeout counted at the limit, timeouts, peak MB)."""
    results = [row[key] for row in rows if "not loaded" not in row and row.get(key)]
    seconds = sum(r["seconds"] for r in results)
    limits = sorted({r["limit"] for r in results if r["timed_out"]})
    return seconds, sum(r["timed_out"] for r in results), max([r["mb"] for r in results] or [0]), \
        limits


def both_finished(rows, mine, peer):
    """(files, boolfn's seconds, the peer's seconds) over the loaded files on which
    neither run hit its limit."""
    both = [row for row in rows if "not loaded" not in row and row.get(mine) and row.get(peer)
            and not row[mine]["timed_out"] and not row[peer]["timed_out"]]
    return (len(both), sum(row[mine]["seconds"] for row in both),
            sum(row[peer]["seconds"] for row in both))


def targets(rows, cnf_rows, sat_rows, large, limit):
    """The bars set for the engine, judged from this run."""
    loaded = [row for row in rows if "not loaded" not in row]
    notes = []
    slow = [row for row in loaded if row["dnf"]["timed_out"] or row["dnf"]["seconds"] >= 1.0]
    notes.append("- DNF + \"Save as PLA\" under 1 s on every loadable file: %s"
                 % ("met" if not slow else "missed on " + ", ".join(
                     "%s (%s s)" % (r["file"], seconds_text(r["dnf"], limit)) for r in slow)))
    count, on_both, peer_both = both_finished(rows, "dnf", "espresso")
    notes.append("- DNF + \"Save as PLA\" total at most 0.3 times Espresso -Dso's over the %d "
                 "files both finish: %.3f s against %.3f s, ratio %.2f; %s"
                 % (count, on_both, peer_both, on_both / max(peer_both, 1e-6),
                    "met" if on_both <= 0.3 * peer_both else "missed"))
    late = [row for row in loaded if row["cnf"]["timed_out"]]
    notes.append("- CNF + \"Save as DIMACS\" finishes within the limit on every loadable file: %s"
                 % ("met" if not late else "missed on %d: " % len(late) + ", ".join(
                     "%s (>%d s)" % (r["file"], r["cnf"]["limit"]) for r in late)))
    count, on_both, peer_both = both_finished(rows, "cnf", "epos")
    notes.append("- CNF + \"Save as DIMACS\" total at most Espresso -epos's over the %d files both "
                 "finish: %.3f s against %.3f s, ratio %.2f; %s"
                 % (count, on_both, peer_both, on_both / max(peer_both, 1e-6),
                    "met" if on_both <= peer_both else "missed"))
    peer_only = [row["file"] for row in loaded if row["cnf"]["timed_out"]
                 and not row["epos"]["timed_out"]]
    mine_only = [row["file"] for row in loaded if row["epos"]["timed_out"]
                 and not row["cnf"]["timed_out"]]
    if peer_only or mine_only:
        notes.append("  (finished by Espresso -epos alone: %s; by boolfn alone: %s)"
                     % (", ".join(peer_only) or "none", ", ".join(mine_only) or "none"))
    if sat_rows:
        unsat = [row for row in sat_rows if row["verdict"] == "unsat"]
        slow = [row for row in unsat if row["boolfn"]["timed_out"]
                or row["boolfn"]["seconds"] >= 1.0 or not row["boolfn"]["check"].startswith("unsat")]
        notes.append("- Satisfiability test + \"Save as VHDL\" of each of the %d files CaDiCaL "
                     "refutes under 1 s with the note \" N\": %s"
                     % (len(unsat), "met (slowest %s s)" % max(
                         [seconds_text(r["boolfn"], limit) for r in unsat] or ["0"], key=float)
                        if not slow else "missed on " + ", ".join(
                            "%s (%s s, %s)" % (r["file"], seconds_text(r["boolfn"], limit),
                                               r["boolfn"]["check"]) for r in slow)))
        wrong = [row["file"] for row in sat_rows if "DISAGREES" in row["boolfn"]["check"]
                 or row["boolfn"]["check"].startswith(("no output", "no note"))]
        notes.append("- Every written note agrees with the solver's verdict: %s"
                     % ("met" if not wrong else "missed on " + ", ".join(wrong)))
    heavy = sorted((row for row in loaded if not row["espresso"]["timed_out"]
                    and row["dnf"]["mb"] > row["espresso"]["mb"]),
                   key=lambda r: r["espresso"]["mb"] - r["dnf"]["mb"])
    compared = sum(1 for row in loaded if not row["espresso"]["timed_out"])
    notes.append("- DNF + \"Save as PLA\" peak memory no more than Espresso -Dso's on every file "
                 "it finishes: %s"
                 % ("met" if not heavy else "missed on %d of %d files, largest excess first: "
                    % (len(heavy), compared) + ", ".join(
                        "%s (%.2f MB against %.2f MB)"
                        % (r["file"], r["dnf"]["mb"], r["espresso"]["mb"])
                        for r in heavy)))
    if heavy:
        notes.append("  boolfn reads every function into an expression tree, one node of 16 to 32 "
                     "bytes per literal and per operator, before its normal form is computed "
                     "(the results are then held as covers of literal lists); Espresso holds a "
                     "product term as a bit vector of two bits per input.")
    # A run stopped at its time limit counts with the peak it had reached by then.
    dnf_peak = max([row["dnf"]["mb"] for row in loaded] or [0])
    over = sorted((row for row in loaded if row["cnf"]["mb"] > 200),
                  key=lambda r: -r["cnf"]["mb"])
    cnf_peak = max([row["cnf"]["mb"] for row in loaded] or [0])
    notes.append("- Peak memory never above 200 MB: DNF + \"Save as PLA\" runs %s (highest %.1f MB); "
                 "CNF + \"Save as DIMACS\" runs %s"
                 % ("met" if dnf_peak <= 200 else "missed", dnf_peak,
                    "met (highest %.1f MB)" % cnf_peak if not over else "missed on " + ", ".join(
                        "%s (%.1f MB%s)" % (r["file"], r["cnf"]["mb"],
                                            ", stopped at the time limit" if r["cnf"]["timed_out"]
                                            else "")
                        for r in over)))
    if cnf_rows:
        largest = max(cnf_rows, key=lambda row: row["clauses"])
        blif = largest["blif"]
        notes.append("- Largest corpus CNF (%s, %d clauses) loaded and saved as BLIF under 0.5 s: "
                     "%s s, %s" % (largest["file"], largest["clauses"], seconds_text(blif, limit),
                                   "met" if not blif["timed_out"] and blif["seconds"] < 0.5
                                   else "missed"))
    if large:
        blif = large["blif"]
        notes.append("- Generated %d-clause CNF loaded and saved as BLIF under 3 s: %s s, %s"
                     % (large["clauses"], seconds_text(blif, limit),
                        "met" if not blif["timed_out"] and blif["seconds"] < 3 else "missed"))
    crashed = [row["file"] for row in loaded if row["cnf"]["check"].startswith("no output")]
    crashed += [row["file"] for row in cnf_rows
                if any(row[k]["check"].startswith("no output") for k in ("dimacs", "blif"))]
    notes.append("- No crash and no memory exhaustion in any CNF run: %s"
                 % ("met" if not crashed else "missed on " + ", ".join(crashed)))
    return notes


def cnf_table(cnf_rows, large, limit):
    lines = ["| file | variables | clauses | CaDiCaL parse s | MB | boolfn DIMACS s | MB | "
             "clauses / literals | equiv | ratio | boolfn BLIF s | MB | equiv | ratio |",
             "|---|---:|---:|---:|---:|---:|---:|---:|---|---:|---:|---:|---|---:|"]
    for row in cnf_rows + ([large] if large else []):
        parse = row.get("parse")
        cells = [row["file"], str(row["variables"]), str(row["clauses"]),
                 seconds_text(parse, limit), mb_text(parse)]
        dimacs = row.get("dimacs")
        if dimacs:
            cells += [seconds_text(dimacs, limit), mb_text(dimacs), size_text(dimacs),
                      dimacs["check"], ratio_text(dimacs, parse, limit)]
        else:
            cells += ["", "", "", "", ""]
        blif = row["blif"]
        cells += [seconds_text(blif, limit), mb_text(blif), blif["check"],
                  ratio_text(blif, parse, limit)]
        if row.get("message"):
            cells[0] += " (%s)" % row["message"]
        lines.append("| " + " | ".join(cells) + " |")
    return lines


def sat_table(sat_rows, limit):
    lines = ["| file | CaDiCaL solve s | MB | verdict | boolfn test + VHDL s | MB | note | ratio |",
             "|---|---:|---:|---|---:|---:|---|---:|"]
    for row in sat_rows:
        solver, mine = row["solver"], row["boolfn"]
        lines.append("| " + " | ".join([
            row["file"], seconds_text(solver, limit), mb_text(solver), row["verdict"],
            seconds_text(mine, limit), mb_text(mine), mine["check"],
            ratio_text(mine, solver, limit)]) + " |")
    return lines


def sat_totals(sat_rows, limit):
    """Lines of the satisfiability totals: per verdict, files, boolfn's finished runs and
    the times of both tools over the files both finish."""
    lines = []
    for verdict in ("unsat", "sat", "unknown"):
        group = [row for row in sat_rows if row["verdict"] == verdict]
        if not group:
            continue
        done = [row for row in group if not row["boolfn"]["timed_out"]
                and (row["solver"] is None or not row["solver"]["timed_out"])]
        mine = sum(row["boolfn"]["seconds"] for row in done)
        peer = sum(row["solver"]["seconds"] for row in done if row["solver"])
        lines.append("- %s by CaDiCaL: %d files; boolfn finishes %d within %d s; over those: "
                     "boolfn %.3f s, CaDiCaL %.3f s%s"
                     % ({"unsat": "Unsatisfiable", "sat": "Satisfiable",
                         "unknown": "Undecided"}[verdict], len(group), len(done), limit, mine, peer,
                        "" if not done else ", highest peak memory %.1f MB against %.1f MB"
                        % (max(r["boolfn"]["mb"] for r in done),
                           max(r["solver"]["mb"] if r["solver"] else 0 for r in done))))
    return lines


def write_report(path, options, rows, cnf_rows, sat_rows, large, curve, limit, started,
                 load_before):
    dnf_lines, pos_lines, skipped = pla_tables(rows, limit)
    wall = time.time() - started.timestamp()
    out = ["# Benchmark: boolfn against Espresso, ABC and a SAT solver", "",
           "Generated by `scripts/benchmark.sh` (bench/run_benchmark.py) on %s UTC; the whole "
           "run took %.0f s (%d min) of wall time."
           % (started.strftime("%Y-%m-%d %H:%M"), wall, round(wall / 60)),
           "Machine: %s." % machine(),
           "Load average (1 minute) at the start %.2f, at the end %.2f: other work on the "
           "machine slows every tool alike, and short runs are repeated to lessen it."
           % (load_before, os.getloadavg()[0]),
           "PLA folder: `%s`; CNF folder: `%s`; time limit per run: %d s (product-of-sums "
           "runs on the PLA files: %d s)."
           % (options.pla_label, options.cnf_label, limit, options.cnf_limit), "",
           "Times are wall seconds of the whole process (load, compute, write), memory is the "
           "peak resident set of the process in MB. \"rows / literals\" counts the rows written "
           "and their 0/1 input columns (for DIMACS: clauses and literals). \"ratio\" is boolfn's "
           "time divided by the peer's (below 1: boolfn is faster); \"<x\" means the peer ran "
           "out of time. \"equiv\" is ABC's cec of the written result against the input, with the "
           "input's don't-care points masked on both sides (boolfn's CNF file: against the "
           "conjunction of the outputs, which is the formula it writes). ABC's PLA reader "
           "needs each row on one line with the output part in one word, so ABC reads a copy "
           "of each file with the same rows and type laid out that way.", "",
           "## Totals and targets", ""]
    for label, key in (("boolfn DNF + Save as PLA", "dnf"), ("Espresso -Dso", "espresso"),
                       ("ABC collapse", "abc"), ("boolfn CNF + Save as DIMACS", "cnf"),
                       ("Espresso -epos", "epos")):
        seconds, timeouts, peak, limits = total(rows, key, limit)
        counted = " (each counted as %s s)" % "/".join(map(str, limits)) if limits else ""
        out.append("- %s: %.3f s in all, %d runs out of time%s; highest peak memory %.1f MB"
                   % (label, seconds, timeouts, counted, peak))
    out += [""] + targets(rows, cnf_rows, sat_rows, large, limit) + [""]
    out += ["## PLA: DNF and \"Save as PLA\" against Espresso -Dso and ABC", ""] + dnf_lines + [""]
    if skipped:
        out += ["Files boolfn does not load:", ""] + skipped + [""]
    out += ["## PLA: CNF and \"Save as DIMACS\" against Espresso -epos", ""] + pos_lines + [""]
    out += ["## CNF: load and save against a SAT solver's parse", "",
            "\"CaDiCaL parse\" is `cadical -q -n -d 0` (decision limit 0: the file is read and "
            "unit propagation runs, no search). The saved DIMACS file is proved equivalent to the "
            "input by a SAT solver up to %d clauses; the BLIF file by ABC's cec against a network "
            "built from the clauses, up to %d clauses (tests/oracle/bench.py checks the large "
            "ones with longer limits). The last row is a generated random 3-CNF."
            % (SOLVER_CHECK_CLAUSES, CEC_CHECK_CLAUSES),
            ""] + cnf_table(cnf_rows, large, limit) + [""]
    if sat_rows:
        out += ["## CNF: satisfiability test and \"Save as VHDL\" against a SAT solver", "",
                "boolfn: load, \"Satisfiability test\", \"Save as VHDL\" as pseudo-VHDL (answers "
                "5, 10, 2, 1, 15). CaDiCaL: `cadical -q` solving the same file; its exit status "
                "gives the verdict. \"note\" is what the written file says (\"unsat\": the "
                "function's line ends in the note \" N\"; \"sat\": it lists satisfying terms) "
                "and whether that agrees with the solver.", ""]
        out += sat_totals(sat_rows, limit) + [""] + sat_table(sat_rows, limit) + [""]
    normalize = [bench for bench in curve if bench["name"].startswith("normalizeRandomSum")]
    product = [bench for bench in curve if bench["name"].startswith("coverProduct")]
    if normalize:
        out += ["## Engine alone: normalizeTerms on generated sums of products", "",
                "bench/engine_gbench.cpp (Google Benchmark): one call of `normalizeTerms` on a "
                "random sum of products of the given number of terms over the given number of "
                "variables (half of each term's variables set, a fixed seed).", "",
                "| benchmark | terms | variables | wall ms per call | CPU ms per call | terms out |",
                "|---|---:|---:|---:|---:|---:|"]
        for bench in normalize:
            out.append("| %s | %d | %d | %.3f | %.3f | %d |"
                       % (bench["name"], bench["terms"], bench["variables"], bench["wall"],
                          bench["cpu"], bench["terms_out"]))
        out.append("")
    if product:
        out += ["## Engine alone: the product of two covers", "",
                "bench/engine_gbench.cpp (Google Benchmark): `Cover::enterProduct` of a random "
                "cover of the given number of terms by one of the other given number, over the "
                "given number of inputs (each term 2 to 6 variables of random polarity, fixed "
                "seeds), into a fresh term trie. \"pairs\" is the number of term pairs "
                "looked at, \"terms out\" the distinct terms the trie holds afterwards; the "
                "time per pair shows the cost of the clash test and of entering a union.", "",
                "| terms | other terms | inputs | pairs | terms out | wall ms per product | "
                "CPU ms | ns per pair |",
                "|---:|---:|---:|---:|---:|---:|---:|---:|"]
        for bench in product:
            out.append("| %d | %d | %d | %d | %d | %.3f | %.3f | %.1f |"
                       % (bench["terms"], bench["other_terms"], bench["variables"],
                          bench["pairs"], bench["terms_out"], bench["wall"], bench["cpu"],
                          bench["wall"] * 1e6 / max(bench["pairs"], 1)))
        out.append("")
    with open(path, "w") as handle:
        handle.write("\n".join(out))


# ---------------------------------------------------------------- main

class Tools:
    pass


def chosen(options, name):
    """Whether a corpus file belongs to this run (--only names files with or without
    their extension)."""
    return options.only is None or name in options.only or \
        os.path.splitext(name)[0] in options.only


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--binary", required=True, help="the boolfn binary")
    parser.add_argument("--espresso", required=True, help="the Espresso binary")
    parser.add_argument("--pla-dir", help="folder of PLA files (default: ../shared/bench/pla, "
                                          "else the generated examples)")
    parser.add_argument("--cnf-dir", help="folder of CNF files (default: ../shared/bench/cnf)")
    parser.add_argument("--gbench", help="the engine_gbench binary, for the engine curve")
    parser.add_argument("--limit", type=int, default=60, help="seconds per run (60)")
    parser.add_argument("--cnf-limit", type=int, default=60,
                        help="seconds per product-of-sums run on a PLA file (60)")
    parser.add_argument("--only", nargs="*", default=None,
                        help="measure only the PLA and CNF files of these names (a subset run)")
    parser.add_argument("--large", type=int, default=LARGE_CLAUSES,
                        help="clauses of the generated CNF (0: none)")
    parser.add_argument("--output", default=os.path.join(ROOT, "docs", "benchmark.md"))
    options = parser.parse_args()
    started = datetime.datetime.now(datetime.timezone.utc)
    load_before = os.getloadavg()[0]

    tools = Tools()
    tools.boolfn = os.path.abspath(options.binary)
    tools.espresso = os.path.abspath(options.espresso)
    tools.abc = shutil.which("berkeley-abc") or shutil.which("abc")
    tools.cadical = shutil.which("cadical")
    solver = shutil.which("picosat") or shutil.which("minisat")
    tools.solver = Solver(solver) if solver else None
    limit = options.limit

    with tempfile.TemporaryDirectory(prefix="boolfn-bench-gen-") as generated:
        pla_dir = options.pla_dir or os.path.join(SHARED_BENCH, "pla")
        if options.pla_dir is None and not os.path.isdir(pla_dir):
            pla_files = gen_pla.generate(generated)
            options.pla_label = "generated by tests/oracle/gen_pla.py"
        else:
            pla_files = sorted(os.path.join(pla_dir, name) for name in os.listdir(pla_dir)
                               if name.endswith(".pla") and chosen(options, name))
            options.pla_label = os.path.relpath(pla_dir, ROOT)
        rows = []
        for path in pla_files:
            rows.append(pla_file(path, tools, limit, options.cnf_limit))
            row = rows[-1]
            state = row.get("not loaded") or "boolfn %s s, espresso %s s, abc %s s, cnf %s s" % (
                seconds_text(row["dnf"], limit), seconds_text(row["espresso"], limit),
                seconds_text(row.get("abc"), limit), seconds_text(row["cnf"], limit))
            print("%s: %s" % (row["file"], state), file=sys.stderr, flush=True)

    cnf_dir = options.cnf_dir or os.path.join(SHARED_BENCH, "cnf")
    options.cnf_label = os.path.relpath(cnf_dir, ROOT) if os.path.isdir(cnf_dir) else "none"
    cnf_rows = []
    sat_rows = []
    if os.path.isdir(cnf_dir):
        for name in sorted(os.listdir(cnf_dir)):
            if name.endswith(".cnf") and chosen(options, name):
                cnf_rows.append(cnf_file(os.path.join(cnf_dir, name), tools, limit))
                row = cnf_rows[-1]
                sat_rows.append(satisfiability_file(os.path.join(cnf_dir, name), tools, limit))
                sat = sat_rows[-1]
                print("%s: dimacs %s s, blif %s s, satisfiability %s s (%s; solver %s s, %s)"
                      % (name, seconds_text(row["dimacs"], limit),
                         seconds_text(row["blif"], limit), seconds_text(sat["boolfn"], limit),
                         sat["boolfn"]["check"], seconds_text(sat["solver"], limit),
                         sat["verdict"]), file=sys.stderr, flush=True)
    large = large_file(tools, limit, options.large) if options.large > 0 else None
    curve = engine_curve(options.gbench, limit) if options.gbench else []
    write_report(options.output, options, rows, cnf_rows, sat_rows, large, curve, limit, started,
                 load_before)
    print("Written: %s" % options.output)
    return 0


if __name__ == "__main__":
    sys.exit(main())
