#!/usr/bin/env python3
"""boolfn-run where its result goes somewhere other than a regular file: --verify
on standard output, a pipe named /dev/stdout, a FIFO and a terminal (it must prove
the bytes it wrote, never read its own output back, and never hang); standard
output closed at start or full, with and without --sat (a failed write: status 1
and a message, above the --sat verdict); and a megabyte of one repeated reader
error, which must not become a million lines.

Each check runs in a fresh folder under a time limit and prints "ok NAME" or
"FAIL NAME: why"; the exit status is 1 when any check failed.
"""

import argparse
import os
import pty
import select
import subprocess
import sys
import tempfile
import threading
import time

# Only a stuck run should pass it: the sanitizer build on a loaded machine takes up to
# ten seconds for the million-message input.
TIMEOUT = 60
FULL_ADDER = b""".i 3
.o 2
.ilb a b cin
.ob sum cout
.p 7
001 10
010 10
100 10
111 10
11- 01
1-1 01
-11 01
.e
"""


class CheckFailed(Exception):
    pass


def expect(condition, what):
    if not condition:
        raise CheckFailed(what)


def run(binary, args, folder, stdout=subprocess.PIPE, close_stdout=False):
    """The finished run; `close_stdout` starts it with descriptor 1 closed."""
    return subprocess.run([binary] + args, cwd=folder, stdin=subprocess.DEVNULL,
                          stdout=None if close_stdout else stdout, stderr=subprocess.PIPE,
                          timeout=TIMEOUT,
                          preexec_fn=(lambda: os.close(1)) if close_stdout else None)


def expect_status(result, status, stderr=None):
    expect(result.returncode == status, f"exit status {result.returncode}, expected {status}"
           f" (standard error {result.stderr[-300:]!r})")
    if stderr is not None:
        expect(result.stderr == stderr, f"standard error {result.stderr[-300:]!r}, "
               f"expected {stderr!r}")


def prepare(binary, folder):
    """The full adder as in.pla, and its plain result (from a pipe, no --verify)."""
    with open(os.path.join(folder, "in.pla"), "wb") as handle:
        handle.write(FULL_ADDER)
    plain = run(binary, ["in.pla"], folder)
    expect_status(plain, 0)
    return plain.stdout


def check_verify_to_dev_stdout(binary, folder):
    expected = prepare(binary, folder)
    result = run(binary, ["in.pla", "--verify", "-o", "/dev/stdout"], folder)
    expect_status(result, 0, b"")
    expect(result.stdout == expected, f"wrote {result.stdout!r}")


def check_verify_to_fifo(binary, folder):
    expected = prepare(binary, folder)
    fifo = os.path.join(folder, "out.fifo")
    os.mkfifo(fifo)
    received = []

    def reader():
        with open(fifo, "rb") as handle:
            received.append(handle.read())

    thread = threading.Thread(target=reader, daemon=True)
    thread.start()
    result = run(binary, ["in.pla", "--verify", "-t", "pla", "-o", "out.fifo"], folder)
    thread.join(TIMEOUT)
    expect_status(result, 0, b"")
    expect(received == [expected], f"the FIFO received {received!r}")


def check_verify_at_terminal(binary, folder):
    """Standard input and output a terminal, the result to /dev/stdout: the run must
    not wait for the keyboard, and must find no difference."""
    expected = prepare(binary, folder)
    leader, follower = pty.openpty()
    process = subprocess.Popen([binary, "in.pla", "--verify", "-o", "/dev/stdout"], cwd=folder,
                               stdin=follower, stdout=follower, stderr=subprocess.PIPE)
    os.close(follower)
    shown = b""
    deadline = time.monotonic() + TIMEOUT
    # The terminal reports an error (EIO) once the run has closed its last descriptor.
    while time.monotonic() < deadline:
        if not select.select([leader], [], [], 0.1)[0]:
            continue
        try:
            chunk = os.read(leader, 65536)
        except OSError:
            break
        if not chunk:
            break
        shown += chunk
    os.close(leader)
    try:
        process.wait(max(deadline - time.monotonic(), 1))
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        process.stderr.close()
        raise CheckFailed("still running at a terminal after the time limit")
    stderr = process.stderr.read()
    process.stderr.close()
    expect(process.returncode == 0, f"exit status {process.returncode} ({stderr!r})")
    expect(shown.replace(b"\r\n", b"\n") == expected, f"the terminal showed {shown!r}")


def check_closed_standard_output(binary, folder):
    prepare(binary, folder)
    result = run(binary, ["in.pla"], folder, close_stdout=True)
    expect_status(result, 1, b"boolfn-run: cannot write '-': standard output is closed\n")
    result = run(binary, ["in.pla", "-o", "/dev/stdout"], folder, close_stdout=True)
    expect_status(result, 1,
                  b"boolfn-run: cannot write '/dev/stdout': standard output is closed\n")
    # A file is written as ever.
    result = run(binary, ["in.pla", "-o", "out.pla"], folder, close_stdout=True)
    expect_status(result, 0, b"")
    expect(os.path.getsize(os.path.join(folder, "out.pla")) > 0, "out.pla not written")


def check_verdicts_lost(binary, folder):
    prepare(binary, folder)
    with open("/dev/full", "wb") as full:
        result = run(binary, ["--sat", "in.pla"], folder, stdout=full)
    expect_status(result, 1, b"boolfn-run: cannot write '-': standard output failed\n")
    result = run(binary, ["--sat", "in.pla"], folder, close_stdout=True)
    expect_status(result, 1, b"boolfn-run: cannot write '-': standard output is closed\n")
    # The file of -o is still written; the lost verdicts decide the status.
    with open("/dev/full", "wb") as full:
        result = run(binary, ["--sat", "in.pla", "-o", "out.blif"], folder, stdout=full)
    expect_status(result, 1)
    expect(os.path.getsize(os.path.join(folder, "out.blif")) > 0, "out.blif not written")


def check_repeated_messages(binary, folder):
    with open(os.path.join(folder, "in.vhd"), "wb") as handle:
        handle.write(b"f <= " + b"(" * 1_000_000 + b"\n")
    result = run(binary, ["in.vhd"], folder)
    lines = result.stderr.splitlines()
    expect_status(result, 1)
    expect(lines == [b"in.vhd:2:1: syntax error at the end of the input"] * 5 +
           [b"boolfn-run: 999997 more identical messages not shown",
            b"boolfn-run: nothing written to '-': the input had errors"
            b" (--partial writes what was read)"],
           f"{len(lines)} lines on standard error, the last {lines[-1:]!r}")


CHECKS = [
    ("verify_to_dev_stdout", check_verify_to_dev_stdout),
    ("verify_to_fifo", check_verify_to_fifo),
    ("verify_at_terminal", check_verify_at_terminal),
    ("closed_standard_output", check_closed_standard_output),
    ("verdicts_lost", check_verdicts_lost),
    ("repeated_messages", check_repeated_messages),
]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--run", required=True, help="the boolfn-run binary")
    parser.add_argument("checks", nargs="*", help="names of checks to run (default: all)")
    options = parser.parse_args()
    binary = os.path.abspath(options.run)
    failed = 0
    for name, check in CHECKS:
        if options.checks and name not in options.checks:
            continue
        with tempfile.TemporaryDirectory(prefix="boolfn-run-output-") as folder:
            try:
                check(binary, folder)
                print(f"ok   {name}")
            except (CheckFailed, subprocess.TimeoutExpired) as problem:
                failed += 1
                print(f"FAIL {name}: {problem}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
