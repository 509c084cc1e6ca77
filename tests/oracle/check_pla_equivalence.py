#!/usr/bin/env python3
"""Checks that "Save as PLA" writes a file equivalent to the PLA file it read.

For every PLA file the real boolfn binary is run in a scratch folder: the input type
is inferred from the ".pla" name, action 9 ("Save as PLA", which brings every
function into DNF first) saves all functions, and 15 exits. The saved file must agree
with the input wherever the input's outputs are specified:

- type fd (the default): output j is 1 on the union of the rows with "1" in column
  j; rows with "-" or "2" there are its don't-care set; everything else is 0;
- type fr: the rows with "1" give the ON-set, the rows with "0" the OFF-set, and
  every other point is a don't care (fdr: the "-" rows are don't cares as well).

Two independent checks are used. Up to 16 inputs, a truth table: every function is
a Python integer with one bit per input point, built from the rows. With ABC
installed (berkeley-abc), also its `cec` on two cleaned copies: the input reduced to
its ON-set rows and the saved file, both without labels and sharing one guard
output that uses every input, so that ABC sees the same inputs in both. Reducing to
the ON-set asks for equality everywhere, which is stricter than needed; boolfn reads
exactly the ON-set, so a correct save passes it.

A file whose load reports a reader message ("Syntax error at line:" and the like)
is listed as not loaded and not compared. The table (file, inputs, outputs, rows in,
rows out, literals, seconds, method, equivalent) is printed as Markdown.

Usage:
  check_pla_equivalence.py --binary BOOLFN (--generated DIR | --bench [DIR] | FILE...)
Exit status: 1 when a loaded file is not equivalent (or, with --generated, when a
file does not load or a check cannot be made), else 0.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

TRUTH_TABLE_LIMIT = 16
READER_MESSAGE = re.compile(
    r"^(Invalid lexical element|Too long identifier|Syntax error) at line:\d+$", re.MULTILINE
)
HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_BENCH = os.path.normpath(os.path.join(HERE, "..", "..", "..", "shared", "bench", "pla"))


class Pla:
    """A PLA file as Espresso reads it: the counts, the type and the rows."""

    def __init__(self):
        self.inputs = 0
        self.outputs = 0
        self.kind = "fd"
        self.rows = []  # (input part, output part)
        self.literals = None  # the "# literals:" line of a saved file


def parse_pla(path):
    """Reads directives line by line and the rows as one stream of characters, so that
    rows may wrap over lines and be split by blanks or "|"."""
    pla = Pla()
    stream = []
    with open(path, "r", newline="") as handle:
        text = handle.read()
    for line in text.replace("\r\n", "\n").split("\n"):
        if line.startswith("# literals:"):
            pla.literals = int(line.split(":")[1])
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        if line.startswith("."):
            words = line.split()
            if words[0] == ".i":
                pla.inputs = int(words[1])
            elif words[0] == ".o":
                pla.outputs = int(words[1])
            elif words[0] == ".type":
                pla.kind = words[1]
            elif words[0] in (".e", ".end"):
                break
            continue
        stream.extend(c for c in line if c not in " \t|")
    width = pla.inputs + pla.outputs
    for start in range(0, len(stream) - width + 1, width):
        row = "".join(stream[start:start + width])
        pla.rows.append((row[:pla.inputs], row[pla.inputs:]))
    return pla


def truth_tables(pla):
    """Per output: (ON, OFF, don't-care) as integers with one bit per input point."""
    points = 1 << pla.inputs
    full = (1 << points) - 1
    variables = []
    for index in range(pla.inputs):
        # Bit p of the table is input `index` under point p (input 0 is the
        # most significant bit of p, as in a row).
        shift = pla.inputs - 1 - index
        pattern = 0
        for point in range(points):
            if (point >> shift) & 1:
                pattern |= 1 << point
        variables.append(pattern)
    on = [0] * pla.outputs
    off = [0] * pla.outputs
    dont_care = [0] * pla.outputs
    for inputs, outputs in pla.rows:
        cube = full
        for index, literal in enumerate(inputs):
            if literal == "1":
                cube &= variables[index]
            elif literal == "0":
                cube &= full ^ variables[index]
        for column, mark in enumerate(outputs):
            if mark == "1":
                on[column] |= cube
            elif mark == "0":
                off[column] |= cube
            elif mark in "-2":
                dont_care[column] |= cube
    tables = []
    for column in range(pla.outputs):
        if pla.kind == "fd":
            care = full ^ dont_care[column]
            expected_off = care & ~on[column]
        elif pla.kind == "fr":
            care = on[column] | off[column]
            expected_off = off[column]
        else:  # fdr and other types with an explicit OFF-set
            care = (on[column] | off[column]) & ~dont_care[column]
            expected_off = off[column] & care
        tables.append((on[column] & care, expected_off, care))
    return tables


def truth_table_check(original, saved):
    expected = truth_tables(original)
    written = truth_tables(saved)
    for (on, off, care), (saved_on, _, _) in zip(expected, written):
        if (saved_on & care) != on or (saved_on & off) != 0:
            return False
    return True


def write_clean(path, pla):
    """The ON-set rows with "0"/"1" outputs, no labels, and a guard output that uses
    every input, as ABC is to read them."""
    width = pla.outputs + 1
    lines = [f".i {pla.inputs}", f".o {width}"]
    for inputs, outputs in pla.rows:
        marks = "".join("1" if mark == "1" else "0" for mark in outputs)
        if "1" in marks:
            lines.append(f"{inputs.replace('2', '-')} {marks}0")
    for index in range(pla.inputs):
        lines.append("-" * index + "1" + "-" * (pla.inputs - index - 1) + " " + "0" * pla.outputs + "1")
    lines.append(".e")
    with open(path, "w") as handle:
        handle.write("\n".join(lines) + "\n")


def abc_check(abc, original, saved, scratch):
    left = os.path.join(scratch, "original_clean.pla")
    right = os.path.join(scratch, "saved_clean.pla")
    write_clean(left, original)
    write_clean(right, saved)
    result = subprocess.run([abc, "-c", f"cec {left} {right}"], capture_output=True, text=True,
                            timeout=600)
    if "Networks are equivalent" in result.stdout:
        return True
    if "NOT EQUIVALENT" in result.stdout:
        return False
    return None  # ABC could not decide


def run_boolfn(binary, source, scratch, timeout):
    shutil.copyfile(source, os.path.join(scratch, "in.pla"))
    started = time.monotonic()
    result = subprocess.run(["boolfn", "in.pla", "out.pla"], executable=binary, cwd=scratch,
                            input=b"9\n1\n15\n", capture_output=True, timeout=timeout)
    return result, time.monotonic() - started


def check_file(path, binary, abc, timeout):
    row = {"file": os.path.basename(path), "inputs": "", "outputs": "", "rows in": "",
           "rows out": "", "literals": "", "seconds": "", "method": "", "equivalent": ""}
    original = parse_pla(path)
    row.update({"inputs": original.inputs, "outputs": original.outputs,
                "rows in": len(original.rows)})
    with tempfile.TemporaryDirectory(prefix="boolfn-pla-") as scratch:
        try:
            result, seconds = run_boolfn(binary, path, scratch, timeout)
        except subprocess.TimeoutExpired:
            row.update({"seconds": f">{timeout}", "equivalent": "timeout"})
            return row, "timeout"
        row["seconds"] = f"{seconds:.2f}"
        console = result.stdout.decode(errors="replace")
        message = READER_MESSAGE.search(console)
        if message:
            row["equivalent"] = f"not loaded: {message.group(0)}"
            return row, "not loaded"
        saved_path = os.path.join(scratch, "out.pla")
        if result.returncode != 1 or not os.path.exists(saved_path):
            row["equivalent"] = f"no file written (status {result.returncode})"
            return row, "failed"
        saved = parse_pla(saved_path)
        row.update({"rows out": len(saved.rows), "literals": saved.literals})
        if saved.inputs != original.inputs or saved.outputs != original.outputs:
            row["equivalent"] = "no (counts differ)"
            return row, "different"
        verdicts = []
        methods = []
        if original.inputs <= TRUTH_TABLE_LIMIT:
            methods.append("truth table")
            verdicts.append(truth_table_check(original, saved))
        if abc:
            methods.append("abc cec")
            verdicts.append(abc_check(abc, original, saved, scratch))
        row["method"] = " + ".join(methods)
        if not verdicts or None in verdicts:
            row["equivalent"] = "unchecked"
            return row, "unchecked"
        equivalent = all(verdicts)
        row["equivalent"] = "yes" if equivalent else "no"
        return row, "equivalent" if equivalent else "different"


COLUMNS = ["file", "inputs", "outputs", "rows in", "rows out", "literals", "seconds", "method",
           "equivalent"]


def markdown_table(rows):
    lines = ["| " + " | ".join(COLUMNS) + " |",
             "|" + "|".join("---" if c in ("file", "method", "equivalent") else "---:"
                            for c in COLUMNS) + "|"]
    for row in rows:
        lines.append("| " + " | ".join(str(row[c]) for c in COLUMNS) + " |")
    return "\n".join(lines)


def summary(rows, outcomes):
    count = {name: outcomes.count(name) for name in set(outcomes)}
    loaded = len(outcomes) - count.get("not loaded", 0)
    lines = [f"Files: {len(rows)}; loaded: {loaded}; equivalent: {count.get('equivalent', 0)}; "
             f"not equivalent: {count.get('different', 0)}; not loaded: "
             f"{count.get('not loaded', 0)}; unchecked: {count.get('unchecked', 0)}; "
             f"timed out: {count.get('timeout', 0)}; failed: {count.get('failed', 0)}."]
    timed = [row for row in rows if row["seconds"] and not row["seconds"].startswith(">")]
    if timed:
        slowest = max(timed, key=lambda row: float(row["seconds"]))
        lines.append(f"Slowest file: {slowest['file']}, {slowest['seconds']} s.")
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    parser.add_argument("--binary", required=True, help="the boolfn executable")
    parser.add_argument("--generated", metavar="DIR",
                        help="generate the project's PLA files into DIR and check them; every "
                             "one must load and be equivalent")
    parser.add_argument("--bench", nargs="?", const=DEFAULT_BENCH, metavar="DIR",
                        help=f"check every .pla file of DIR (default {DEFAULT_BENCH})")
    parser.add_argument("--timeout", type=int, default=600, help="seconds per boolfn run")
    parser.add_argument("--markdown", metavar="FILE", help="also write the table to FILE")
    parser.add_argument("files", nargs="*", help="PLA files to check")
    options = parser.parse_args()

    files = list(options.files)
    if options.generated:
        sys.path.insert(0, HERE)
        import gen_pla
        files += gen_pla.generate(options.generated)
    if options.bench:
        if not os.path.isdir(options.bench):
            print(f"The benchmark folder {options.bench} is absent: no benchmark file checked.")
        else:
            files += sorted(os.path.join(options.bench, name) for name in os.listdir(options.bench)
                            if name.endswith(".pla"))
    if not files:
        print("No PLA file to check.")
        return 0

    abc = shutil.which("berkeley-abc") or shutil.which("abc")
    if not abc:
        print("berkeley-abc is not installed: only inputs of up to "
              f"{TRUTH_TABLE_LIMIT} variables can be checked (by truth table).")
    binary = os.path.abspath(options.binary)
    rows = []
    outcomes = []
    for path in files:
        row, outcome = check_file(path, binary, abc, options.timeout)
        rows.append(row)
        outcomes.append(outcome)
        print(f"{row['file']}: {row['equivalent']} ({row['seconds']} s)", file=sys.stderr,
              flush=True)
    table = markdown_table(rows)
    closing = summary(rows, outcomes)
    print(table)
    print()
    print(closing)
    if options.markdown:
        with open(options.markdown, "w") as handle:
            handle.write(table + "\n\n" + closing + "\n")

    bad = {"different", "failed"}
    if options.generated:
        bad |= {"not loaded", "unchecked", "timeout"}
    failed = sum(outcome in bad for outcome in outcomes)
    passed = len(outcomes) - failed
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
