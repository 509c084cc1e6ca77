#!/usr/bin/env python3
"""Generates PLA files for the equivalence check: adders, comparators and random covers.

The files exercise what real PLA files hold: minterm tables (the adders), covers with
"-" inputs, several outputs, don't-care output characters ("-", "~", "2"), type fr
files whose 0-rows give the OFF-set, label lines, "|" separators, comments, CRLF line
ends and rows that wrap over lines. A fixed seed makes every run write the same
files, and the sizes keep the whole set quick to check in CI, also under the
sanitizers. A few random covers have more than 16 inputs so that the check without
truth tables (ABC's cec) is exercised too.

Usage: gen_pla.py DIRECTORY
"""

import os
import random
import sys

SEED = 20261208


def adder(bits):
    """bits-wide a + b: inputs a(bits-1..0) b(bits-1..0), outputs s(bits..0), one row per
    minterm with its full output part."""
    rows = []
    for a in range(1 << bits):
        for b in range(1 << bits):
            total = a + b
            inputs = format(a, f"0{bits}b") + format(b, f"0{bits}b")
            outputs = format(total, f"0{bits + 1}b")
            rows.append((inputs, outputs))
    labels_in = [f"a{i}" for i in reversed(range(bits))] + [f"b{i}" for i in reversed(range(bits))]
    labels_out = [f"s{i}" for i in reversed(range(bits + 1))]
    return header(2 * bits, bits + 1, labels_in, labels_out) + body(rows) + ".e\n"


def comparator(bits):
    """bits-wide comparison of a and b: outputs lt, eq, gt, written as a cover that
    fixes the common prefix and the first differing bit ("-" below it)."""
    rows = []
    for first in range(bits):  # the most significant bit where a and b differ
        free = bits - first - 1
        for prefix in range(1 << first):
            common = format(prefix, f"0{first}b") if first else ""
            a_lt = common + "0" + "-" * free
            b_lt = common + "1" + "-" * free
            rows.append((a_lt + b_lt, "100"))
            rows.append((b_lt + a_lt, "001"))
    for value in range(1 << bits):
        word = format(value, f"0{bits}b")
        rows.append((word + word, "010"))
    return header(2 * bits, 3) + body(rows, separator="|") + ".e\n"


def header(inputs, outputs, labels_in=None, labels_out=None, kind=None, terms=None):
    text = ""
    if kind:
        text += f".type {kind}\n"
    text += f".i {inputs}\n.o {outputs}\n"
    if labels_in:
        text += ".ilb " + " ".join(labels_in) + "\n"
    if labels_out:
        text += ".ob " + " ".join(labels_out) + "\n"
    if terms is not None:
        text += f".p {terms}\n"
    return text


def body(rows, separator=" ", wrap=False):
    text = ""
    for inputs, outputs in rows:
        if wrap and len(outputs) > 3:
            middle = len(outputs) // 2
            text += f"{inputs}{separator}{outputs[:middle]}\n{outputs[middle:]}\n"
        else:
            text += f"{inputs}{separator}{outputs}\n"
    return text


def random_cover(rng, inputs, outputs, rows, dash_share, output_chars, kind=None):
    """Random cubes. Every row keeps at least one literal and, for covers without a
    type, at least one output 1, so that every row is one the reader accepts."""
    cubes = []
    for _ in range(rows):
        literals = [rng.choice("01") if rng.random() >= dash_share else "-" for _ in range(inputs)]
        if all(c == "-" for c in literals):
            literals[rng.randrange(inputs)] = rng.choice("01")
        marks = [rng.choice(output_chars) for _ in range(outputs)]
        if kind is None and "1" not in marks:
            marks[rng.randrange(outputs)] = "1"
        cubes.append(("".join(literals), "".join(marks)))
    return cubes


def random_files(rng):
    files = {}
    plain = [
        ("random_small", 4, 2, 10, 0.4),
        ("random_dashes", 8, 3, 30, 0.6),
        ("random_wide", 12, 4, 60, 0.5),
        ("random_16", 16, 2, 80, 0.6),
    ]
    for name, inputs, outputs, rows, dash_share in plain:
        cubes = random_cover(rng, inputs, outputs, rows, dash_share, "01")
        files[name] = header(inputs, outputs, terms=len(cubes)) + body(cubes) + ".e\n"

    # Don't-care output characters: "-" and "2" are don't cares, "~" means nothing.
    cubes = random_cover(rng, 7, 4, 40, 0.5, "01-~2")
    files["random_dont_cares"] = header(7, 4) + body(cubes) + ".e\n"

    # An fr file: rows with outputs "1" give the ON-set, "0" the OFF-set.
    cubes = []
    for _ in range(60):
        point = "".join(rng.choice("01") for _ in range(10))
        cubes.append((point, rng.choice("01") + rng.choice("01")))
    seen = {}
    for point, marks in cubes:
        seen.setdefault(point, marks)  # one row per point, so ON and OFF never meet
    rows = list(seen.items())
    files["random_type_fr"] = header(10, 2, kind="fr", terms=len(rows)) + body(rows) + ".e\n"

    # Labels, comments, wrapped rows and CRLF line ends together.
    cubes = random_cover(rng, 6, 6, 25, 0.5, "01")
    labels_in = [f"in_{i}" for i in range(6)]
    labels_out = [f"out_{i}" for i in range(6)]
    text = "# generated cover with labels\n" + header(6, 6, labels_in, labels_out)
    text += body(cubes, wrap=True).replace("\n", " # row\n", 3) + ".e\n"
    files["random_labels_crlf"] = text.replace("\n", "\r\n")

    # More inputs than a truth table is made for: checked by ABC's cec.
    for name, inputs, outputs, rows in [("random_24", 24, 3, 50), ("random_40", 40, 5, 80)]:
        cubes = random_cover(rng, inputs, outputs, rows, 0.8, "01")
        files[name] = header(inputs, outputs) + body(cubes) + ".e\n"
    return files


def generate(directory):
    """Writes the generated files into `directory`; answers their paths, sorted."""
    os.makedirs(directory, exist_ok=True)
    rng = random.Random(SEED)
    files = {f"adder{bits}": adder(bits) for bits in (1, 2, 3, 4)}
    files.update({f"comparator{bits}": comparator(bits) for bits in (1, 2, 4, 6)})
    files.update(random_files(rng))
    paths = []
    for name, text in sorted(files.items()):
        path = os.path.join(directory, name + ".pla")
        with open(path, "w", newline="") as handle:
            handle.write(text)
        paths.append(path)
    return paths


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip().splitlines()[-1])
    for path in generate(sys.argv[1]):
        print(path)


if __name__ == "__main__":
    main()
