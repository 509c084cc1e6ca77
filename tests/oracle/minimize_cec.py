#!/usr/bin/env python3
"""boolfn-run -d minimize checked by ABC's cec and against Espresso's cover sizes.

For the generated PLA files (adders, comparators, random covers) and a few files
of the public corpus (../shared/bench/pla, when it is there, with and without
their don't-cares): the minimized cover, written as PLA, must be equivalent to
the input on the input's care set (ABC's cec, the don't-cares masked on both
sides), as must the cover of minimize=exact, which may not have more rows (where
it finishes within its limits; on cordic, apex1, apex2 and seq, at its defaults, per
output at most the rows of `espresso -Dexact` on that output), and every row must be prime: no input literal can be dropped without the
cover changing on the care set (decided by cec too, on a sample of rows). When an
Espresso binary is given, the cover must not have more rows than `espresso -Dso`.
Exits 77 (skipped) without ABC.

Usage: minimize_cec.py --run BOOLFN_RUN [--espresso ESPRESSO]
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(ROOT, "bench"))

import gen_pla  # noqa: E402
import run_benchmark as bench  # noqa: E402
from check_pla_equivalence import parse_pla, truth_tables  # noqa: E402

# Small and middle-sized corpus files: plain covers, "-" don't-cares, .type fr.
CORPUS = ["5xp1.pla", "9sym.pla", "Z9sym.pla", "b12.pla", "dekoder.pla", "pdc.pla", "wim.pla",
          "mytest.pla", "misex1.pla", "rd53.pla"]
PRIME_SAMPLE = 6  # rows per file whose literals are each tried
# Corpus files (and whether they are read with their don't-cares) where the loop
# once ended above `espresso -Dso`: now neither its rows nor its literals may.
AT_MOST_ESPRESSO = [("9sym.pla", False), ("apex3.pla", False), ("ex1010.pla", True),
                    ("ex74.train.pla", True), ("seq.pla", False)]


def minimized(run, path, folder, dont_cares, step="minimize"):
    out = os.path.join(folder, "out.pla")
    command = [run, path, "-d", step, "--lenient", "-q", "-o", out]
    if dont_cares:
        command.append("--dont-cares")
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=300)
    if done.returncode != 0:
        return None, "status %d: %s" % (done.returncode, done.stderr.decode(errors="replace"))
    return out, None


def rewritten(path, rows, folder):
    """The written cover with its rows replaced (header lines kept)."""
    pla = parse_pla(path)
    lines = [".i %d" % pla.inputs, ".o %d" % pla.outputs]
    lines += ["%s %s" % row for row in rows] + [".e"]
    target = os.path.join(folder, "variant.pla")
    with open(target, "w") as handle:
        handle.write("\n".join(lines) + "\n")
    return target


def check_file(abc, run, espresso, path, folder, dont_cares):
    """Problems found with one file, as messages."""
    name = os.path.basename(path) + (" --dont-cares" if dont_cares else "")
    original = parse_pla(path)
    # Espresso reads the don't-cares always: its sizes compare with the switch on,
    # or with a file that has none.
    comparable = dont_cares or (original.kind in ("f", "fd") and not any(
        "-" in outputs or "2" in outputs for _, outputs in original.rows))
    if not dont_cares:
        # Read as boolfn reads it without the switch: every "-" output is OFF.
        original.kind = "fd"
        original.rows = [(inputs, outputs.replace("-", "0").replace("2", "0"))
                         for inputs, outputs in original.rows if "1" in outputs]
    out, failure = minimized(run, path, folder, dont_cares)
    if failure:
        return ["%s: %s" % (name, failure)]
    verdict = bench.check_cover(abc, original, out, folder, 120)
    if verdict != "yes":
        return ["%s: the cover is not equivalent (%s)" % (name, verdict)]
    problems = []
    written = parse_pla(out).rows
    for index, (inputs, outputs) in enumerate(written[:PRIME_SAMPLE]):
        for column, value in enumerate(inputs):
            if value == "-":
                continue
            raised = list(written)
            raised[index] = (inputs[:column] + "-" + inputs[column + 1:], outputs)
            variant = rewritten(out, raised, folder)
            if bench.check_cover(abc, original, variant, folder, 120) == "yes":
                problems.append("%s: row %d keeps a literal it can drop (column %d)"
                                % (name, index + 1, column))
    problems += check_exact(abc, run, original, path, folder, dont_cares, name, len(written))
    if espresso and comparable and path.startswith(bench.SHARED_BENCH):
        peer = os.path.join(folder, "espresso.pla")
        with open(peer, "w") as handle:
            subprocess.run([espresso, "-Dso", path], stdout=handle, stderr=subprocess.DEVNULL,
                           timeout=300)
        mine, theirs = len(written), len(parse_pla(peer).rows)
        # The heuristics differ: a file may come out a row or 2% larger.
        if mine > theirs + max(1, theirs // 50):
            problems.append("%s: %d rows, espresso -Dso %d" % (name, mine, theirs))
    return problems


def cost(rows):
    """Rows and literals counted per output, as one function's cover each."""
    terms = literals = 0
    for inputs, outputs in rows:
        functions = outputs.count("1")
        terms += functions
        literals += functions * sum(1 for value in inputs if value != "-")
    return terms, literals


def table_equal(original, out, dont_cares):
    """The cover holds every ON point of the input and no OFF point; without the
    don't-cares read, every point outside ON is OFF."""
    full = (1 << (1 << original.inputs)) - 1
    written = truth_tables(parse_pla(out))
    for (on, off, _), (result, _, _) in zip(truth_tables(original), written):
        if not dont_cares:
            off = full ^ on
        if on & ~result or result & off:
            return False
    return True


def check_against_espresso(abc, run, espresso, path, folder, dont_cares):
    """The minimized cover is equivalent and has at most the rows and at most the
    literals of `espresso -Dso`."""
    name = os.path.basename(path)
    out, failure = minimized(run, path, folder, dont_cares)
    if failure:
        return ["%s: %s" % (name, failure)]
    original = parse_pla(path)
    # Up to 16 inputs by truth table: ABC's cec of ex74.train's masked don't-cares
    # takes minutes.
    if original.inputs <= 16:
        if not table_equal(original, out, dont_cares):
            return ["%s: the cover is not equivalent (truth table)" % name]
    elif bench.check_cover(abc, original, out, folder, 120) != "yes":
        return ["%s: the cover is not equivalent" % name]
    peer = os.path.join(folder, "espresso.pla")
    with open(peer, "w") as handle:
        subprocess.run([espresso, "-Dso", path], stdout=handle, stderr=subprocess.DEVNULL,
                       timeout=300)
    mine, theirs = cost(parse_pla(out).rows), cost(parse_pla(peer).rows)
    if mine[0] > theirs[0] or mine[1] > theirs[1]:
        return ["%s: %d rows / %d literals, espresso -Dso %d / %d"
                % ((name,) + mine + theirs)]
    return []


def check_exact(abc, run, original, path, folder, dont_cares, name, heuristic_rows):
    """minimize=exact: equivalent, and no more rows than the heuristic; a file past
    its limits must stop with status 2."""
    out = os.path.join(folder, "out.pla")
    # Lower limits than the defaults keep the symmetric files' long searches short.
    command = [run, path, "-d", "minimize=exact", "--exact-limit", "2000", "--exact-branches",
               "200000", "--lenient", "-q", "-o", out]
    if dont_cares:
        command.append("--dont-cares")
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=300)
    if done.returncode == 2:
        return []
    if done.returncode != 0:
        return ["%s minimize=exact: status %d" % (name, done.returncode)]
    verdict = bench.check_cover(abc, original, out, folder, 120)
    if verdict != "yes":
        return ["%s minimize=exact: the cover is not equivalent (%s)" % (name, verdict)]
    rows = len(parse_pla(out).rows)
    if rows > heuristic_rows:
        return ["%s minimize=exact: %d rows, minimize %d" % (name, rows, heuristic_rows)]
    return []


# Corpus files whose minimize=exact once stopped at its default limits, though
# `espresso -Dexact` finishes each of their outputs quickly: now each output must
# have at most the rows Espresso's exact mode gives it alone.
EXACT_PER_OUTPUT = ["cordic.pla", "apex1.pla", "apex2.pla", "seq.pla"]


def rows_per_output(rows, outputs):
    return [sum(1 for _, bits in rows if bits[o] == "1") for o in range(outputs)]


def check_exact_per_output(abc, run, espresso, path, folder):
    """minimize=exact at its defaults: equivalent, and per output no more rows than
    `espresso -Dexact` on that output alone (the file has no don't-cares)."""
    name = os.path.basename(path)
    out = os.path.join(folder, "out.pla")
    done = subprocess.run([run, path, "-d", "minimize=exact", "-q", "-o", out],
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=300)
    if done.returncode != 0:
        return ["%s minimize=exact: status %d: %s"
                % (name, done.returncode, done.stderr.decode(errors="replace"))]
    original = parse_pla(path)
    if bench.check_cover(abc, original, out, folder, 120) != "yes":
        return ["%s minimize=exact: the cover is not equivalent" % name]
    mine = rows_per_output(parse_pla(out).rows, original.outputs)
    problems = []
    for o in range(original.outputs):
        single = os.path.join(folder, "single.pla")
        with open(single, "w") as handle:
            handle.write(".i %d\n.o 1\n" % original.inputs)
            for inputs, bits in original.rows:
                if bits[o] == "1":
                    handle.write("%s 1\n" % inputs)
            handle.write(".e\n")
        if mine[o] == 0:
            continue  # Espresso reads no cover without a row
        peer = subprocess.run([espresso, "-Dexact", single], stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True, timeout=300).stdout
        theirs = sum(1 for line in peer.splitlines() if line[:1] in "01-")
        if mine[o] > theirs:
            problems.append("%s output %d: %d rows, espresso -Dexact %d"
                            % (name, o, mine[o], theirs))
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--run", required=True)
    parser.add_argument("--espresso")
    options = parser.parse_args()
    if options.espresso and not os.path.exists(options.espresso):
        options.espresso = None
    abc = shutil.which("berkeley-abc") or shutil.which("abc")
    if abc is None:
        print("ABC is not installed: skipped")
        return 77
    problems = []
    checked = 0
    with tempfile.TemporaryDirectory(prefix="boolfn-minimize-cec-") as folder:
        # The generated adders and comparators (the random covers are the engine's
        # stress test, too large here).
        paths = [(path, False) for path in gen_pla.generate(os.path.join(folder, "generated"))
                 if not os.path.basename(path).startswith("random")]
        corpus = os.path.join(bench.SHARED_BENCH, "pla")
        if os.path.isdir(corpus):
            for name in CORPUS:
                path = os.path.join(corpus, name)
                if os.path.exists(path):
                    paths += [(path, False), (path, True)]
        for path, dont_cares in paths:
            problems += check_file(abc, options.run, options.espresso, path, folder, dont_cares)
            checked += 1
        for name, dont_cares in AT_MOST_ESPRESSO:
            path = os.path.join(corpus, name)
            if options.espresso and os.path.exists(path):
                problems += check_against_espresso(abc, options.run, options.espresso, path,
                                                   folder, dont_cares)
                checked += 1
        for name in EXACT_PER_OUTPUT:
            path = os.path.join(corpus, name)
            if options.espresso and os.path.exists(path):
                problems += check_exact_per_output(abc, options.run, options.espresso, path,
                                                   folder)
                checked += 1
    for problem in problems:
        print(problem)
    print("%d covers checked, %d problems" % (checked, len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
