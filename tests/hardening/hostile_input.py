#!/usr/bin/env python3
"""Hostile input for every reader: the program must get through it and end normally.

Each reader (PLA, VHDL-subset file, DIMACS, and the "Add function" line) is given a
few megabytes of text meant to hurt: very long lines, no line end at all, binary
bytes, NUL bytes, carriage returns, numbers with hundreds of digits, deep chains.
Every run must end with the usual closing line ("Exiting") and exit status 1 within
a generous time limit, whatever the readers made of the text; the measured speed is
printed (MB/s) for docs/hardening.md, but not asserted, since test machines differ.

Usage: hostile_input.py --binary PATH [--megabytes N]
"""
import argparse
import os
import random
import subprocess
import sys
import tempfile
import time

TIMEOUT_SECONDS = 300


def junk(rng, length, forbidden=b"\n"):
    """Random bytes, NUL and CR included, without the bytes in `forbidden`."""
    data = bytearray(rng.getrandbits(8) for _ in range(length))
    for index, byte in enumerate(data):
        if byte in forbidden:
            data[index] = 0
    return bytes(data)


def fill(size, pieces):
    """Repeats the pieces in turn until `size` bytes are reached."""
    out = bytearray()
    index = 0
    while len(out) < size:
        out += pieces[index % len(pieces)]
        index += 1
    return bytes(out)


def many_zeros(value, zeros=300):
    return b"0" * zeros + str(value).encode()


def pla_inputs(rng, size):
    header = b".i " + many_zeros(3) + b"\r\n.o " + many_zeros(1) + b"\r\n"
    yield "PLA: comment lines of binary bytes between rows, CR line ends", header + fill(
        size, [b"# " + junk(rng, 2000) + b"\n", b"1-0 1\r\n", b"01- 1\r\n"])
    yield "PLA: one line, no line end", b".i 3 .o 1 " + fill(size, [b"1-0 1 ", b"0 1 1 1\t|"])
    yield "PLA: binary bytes only", junk(rng, size, forbidden=b"")
    yield "PLA: one row written across separators", header + b"1" + b" \t|" * (size // 3) + b"-0 1\n"


def vhdl_inputs(rng, size):
    count = size // 40
    yield "VHDL: statements between comments of binary bytes, CR line ends", fill(
        size, [b"-- " + junk(rng, 2000) + b"\n"] +
        [b"f%d <= a and not (b or c);\r\n" % i for i in range(64)])
    yield "VHDL: one statement on one line, a chain of %d or" % count, (
        b"f <= a0" + b"".join(b" or a%d" % (i % 5000) for i in range(1, count)) + b";")
    yield "VHDL: bit strings and positions with hundreds of digits", fill(
        size, [b"v <= \"" + b"01" * 400 + b"\" xor \"" + b"1" * 800 + b"\";\n",
               b"w <= " + b"9" * 300 + b" or x;\r\n"])
    yield "VHDL: binary bytes only", junk(rng, size, forbidden=b"")


def dimacs_inputs(rng, size):
    yield "DIMACS: comments of binary bytes, CR line ends, literals with hundreds of zeros", (
        b"p cnf 5 " + b"9" * 300 + b"\r\n" + fill(
            size, [b"c " + junk(rng, 2000) + b"\n", b"1 -2 " + many_zeros(3) + b" 0\r\n",
                   b"-" + many_zeros(5) + b" 4 0\r\n"]))
    yield "DIMACS: every clause on one line", b"p cnf 5 0 " + fill(size, [b"1 -2 3 0 ", b"-4\t5 0 "])
    yield "DIMACS: binary bytes only", junk(rng, size, forbidden=b"")


def command_inputs(rng, size):
    yield "Add function: a line of binary bytes", junk(rng, size, forbidden=b"\n")
    yield "Add function: one long statement", (
        b"g <= f" + b"".join(b" and b%d" % (i % 1000) for i in range(size // 10)) + b";")


def run(binary, scratch, arguments, stdin):
    started = time.monotonic()
    result = subprocess.run(["boolfn"] + arguments, executable=binary, cwd=scratch,
                            input=stdin, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            timeout=TIMEOUT_SECONDS)
    return result, time.monotonic() - started


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", required=True)
    parser.add_argument("--megabytes", type=float, default=1.0,
                        help="size of each hostile text (default 1)")
    options = parser.parse_args()
    binary = os.path.abspath(options.binary)
    size = int(options.megabytes * 1024 * 1024)
    rng = random.Random(7)

    runs = []
    for name, inputs in (("in.pla", pla_inputs), ("in.vhd", vhdl_inputs),
                         ("in.cnf", dimacs_inputs)):
        for title, text in inputs(rng, size):
            runs.append((title, [(name, text)], [name], b"15\n"))
    for title, line in command_inputs(rng, size):
        files = [("in.vhd", b"f <= a or b;\n")]
        runs.append((title, files, ["in.vhd"], b"8\n" + line + b"\n15\n"))

    failed = 0
    for title, files, arguments, stdin in runs:
        with tempfile.TemporaryDirectory(prefix="boolfn-hostile-") as scratch:
            megabytes = sum(len(text) for _, text in files) + len(stdin)
            megabytes /= 1024 * 1024
            for name, text in files:
                with open(os.path.join(scratch, name), "wb") as handle:
                    handle.write(text)
            try:
                result, seconds = run(binary, scratch, arguments, stdin)
            except subprocess.TimeoutExpired:
                print(f"FAIL {title}: no end after {TIMEOUT_SECONDS} s")
                failed += 1
                continue
            ending = result.stdout.rstrip(b"\n").rsplit(b"\n", 1)[-1]
            if result.returncode != 1 or ending != b"Exiting" or result.stderr:
                print(f"FAIL {title}: status {result.returncode}, last line {ending[:80]!r}, "
                      f"standard error {result.stderr[:500]!r}")
                failed += 1
                continue
            print(f"ok   {title}: {megabytes:.1f} MB in {seconds:.2f} s "
                  f"({megabytes / max(seconds, 1e-6):.1f} MB/s)")
    print(f"{len(runs) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
