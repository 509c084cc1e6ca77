#!/usr/bin/env python3
"""The console conversation when standard input is unusual.

Every end-to-end case is run again twice, with the same files and arguments:

* with its console input delivered one byte at a time through a pipe (a feeder
  writes a byte, lets the program take it, writes the next): the program must give
  exactly the case's recorded standard output, exit status and files, as it does
  when the whole input sits in the pipe at once;
* with standard input closed (as `boolfn ... <&-` starts it): the program must
  behave exactly as with an empty standard input, every read failing and keeping
  its default, even though the first file it opens could take descriptor 0.

Usage: console_input.py --binary PATH [case files or folders...]
(default: every case under tests/e2e/cases)
"""
import argparse
import os
import pathlib
import subprocess
import sys
import tempfile
import threading
import time

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "e2e"))
import run_e2e  # noqa: E402  (the case format and its parser live there)

TIMEOUT_SECONDS = 60
BYTE_PAUSE_SECONDS = 0.0005


def outcome(result_stdout, status, case, scratch):
    files = {}
    for name, _ in case.expected:
        target = os.path.join(scratch, name)
        if os.path.isfile(target):
            with open(target, "rb") as handle:
                files[name] = handle.read()
    return run_e2e.mask_timing(result_stdout), status, files


def run_trickled(case, binary):
    """Runs the case feeding its input one byte at a time; answers its outcome."""
    with tempfile.TemporaryDirectory(prefix="boolfn-trickle-") as scratch:
        run_e2e.lay_out(case, scratch)
        process = subprocess.Popen(["boolfn"] + case.args, executable=binary, cwd=scratch,
                                   stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL)

        def feed():
            try:
                for byte in case.stdin:
                    process.stdin.write(bytes([byte]))
                    process.stdin.flush()
                    time.sleep(BYTE_PAUSE_SECONDS)
                process.stdin.close()
            except BrokenPipeError:
                pass  # the program ended before taking all of it, as it may

        feeder = threading.Thread(target=feed)
        feeder.start()
        stdout = process.stdout.read()
        process.stdout.close()
        process.wait(timeout=TIMEOUT_SECONDS)
        feeder.join()
        return outcome(stdout, process.returncode, case, scratch)


def run_with_stdin(case, binary, closed):
    """Runs the case with standard input closed, or empty."""
    with tempfile.TemporaryDirectory(prefix="boolfn-closed-") as scratch:
        run_e2e.lay_out(case, scratch)
        if closed:
            # The shell closes descriptor 0 just before starting the program.
            command = ['exec "$0" "$@" <&-', binary] + case.args
            result = subprocess.run(["sh", "-c"] + command, cwd=scratch,
                                    stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                    stderr=subprocess.DEVNULL, timeout=TIMEOUT_SECONDS)
        else:
            result = subprocess.run([binary] + case.args, cwd=scratch,
                                    stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                    stderr=subprocess.DEVNULL, timeout=TIMEOUT_SECONDS)
        return outcome(result.stdout, result.returncode, case, scratch)


def expected_outcome(case):
    files = {name: content for name, content in case.expected}
    return case.stdout, case.status, files


def compare(label, expected, actual):
    problems = []
    names = ("standard output", "exit status", "files")
    for name, want, got in zip(names, expected, actual):
        if want is not None and want != got:
            problems.append(f"{label}: {name} differs\n  expected {want!r:.300}\n  actual   {got!r:.300}")
    return problems


def case_files(arguments):
    paths = arguments or [str(HERE.parent / "e2e" / "cases")]
    found = []
    for path in map(pathlib.Path, paths):
        found.extend(sorted(path.rglob("*.case")) if path.is_dir() else [path])
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", required=True)
    parser.add_argument("cases", nargs="*")
    options = parser.parse_args()
    binary = os.path.abspath(options.binary)

    failed = skipped = 0
    cases = case_files(options.cases)
    for path in cases:
        case = run_e2e.parse_case(path)
        if case.stdout_file is not None:
            skipped += 1  # its standard output is a file, not the console pipe replayed here
            continue
        problems = compare("one byte at a time", expected_outcome(case), run_trickled(case, binary))
        empty = run_with_stdin(case, binary, closed=False)
        closed = run_with_stdin(case, binary, closed=True)
        problems += compare("standard input closed", empty, closed)
        if problems:
            failed += 1
            print(f"FAIL {path}")
            for problem in problems:
                print("  " + problem)
    passed = len(cases) - failed - skipped
    print(f"{passed} passed, {failed} failed, {skipped} skipped")
    return 1 if failed or not cases else 0


if __name__ == "__main__":
    sys.exit(main())
