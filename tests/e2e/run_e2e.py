#!/usr/bin/env python3
"""End-to-end runner: drives the real boolfn (or boolfn-run) binary through recorded runs.

Each case file holds the command-line arguments, the files to create, the console
input, and what must come out: standard output, exit status, written files and files
that must not exist. A case runs in a fresh scratch directory with argv[0] set to
"boolfn", so transcripts do not depend on where the binary was built. The durations
("Operation took N seconds", and boolfn-run's "STEP: COUNTS, N.NNN s") are the only volatile
text and are masked before comparing.

Case format: sections start with a line beginning with "@":
  @args WORD...      command-line arguments ('' stands for an empty argument)
  @status N          expected exit status
  @file NAME         a file created before the run
  @folder NAME       an empty folder created before the run
  @stdin             console input (empty when absent)
  @stdout            expected standard output
  @stdout-file NAME  standard output is the file NAME, opened for appending as by the
                     shell's `>>` (laid out by @file first, or new); check it by @expect
  @stderr            expected standard error (not checked when absent)
  @expect NAME       expected content of a file after the run
  @absent NAME       a file that must not exist after the run
Content runs until the next "@" line and ends with a newline unless the header line
ends with " -n". A content line that starts with "@" is written "@@".
"""

import argparse
import difflib
import os
import re
import subprocess
import sys
import tempfile

TIMEOUT_SECONDS = 60
TIMING_LINE = re.compile(rb"^Operation took .* seconds$", re.MULTILINE)
STEP_TIME = re.compile(rb" [0-9]+\.[0-9]{3} s$", re.MULTILINE)
CONTENT_SECTIONS = ("file", "stdin", "stdout", "stderr", "expect")


class CaseError(Exception):
    """A case file that cannot be understood."""


class Case:
    def __init__(self, path):
        self.path = path
        self.args = []
        self.status = None
        self.files = []        # (name, bytes) created before the run
        self.folders = []      # names of empty folders created before the run
        self.stdin = b""
        self.stdout = None     # bytes, or None when not checked
        self.stderr = None     # bytes, or None when not checked
        self.stdout_file = None  # name of the file standard output appends to
        self.expected = []     # (name, bytes) compared after the run
        self.absent = []       # names that must not exist after the run


def split_args(text):
    return ["" if word == "''" else word for word in text.split()]


def parse_case(path):
    case = Case(path)
    with open(path, "rb") as handle:
        lines = handle.read().split(b"\n")
    if lines and lines[-1] == b"":
        lines.pop()

    index = 0
    while index < len(lines) and not lines[index].startswith(b"@"):
        index += 1  # free comment lines before the first section
    while index < len(lines):
        header = lines[index].decode("utf-8")
        index += 1
        keep_newline = True
        if header.endswith(" -n"):
            keep_newline = False
            header = header[: -len(" -n")]
        keyword, _, rest = header[1:].partition(" ")
        rest = rest.strip()

        content = []
        while index < len(lines) and not (
            lines[index].startswith(b"@") and not lines[index].startswith(b"@@")
        ):
            line = lines[index]
            content.append(line[1:] if line.startswith(b"@@") else line)
            index += 1
        body = b"\n".join(content)
        if content and keep_newline:
            body += b"\n"

        if keyword not in CONTENT_SECTIONS and any(line.strip() for line in content):
            raise CaseError(f"section @{keyword} takes no content")

        if keyword == "args":
            case.args = split_args(rest)
        elif keyword == "status":
            try:
                case.status = int(rest)
            except ValueError:
                raise CaseError(f"@status needs a number, not {rest!r}")
        elif keyword == "file":
            case.files.append((required_name(keyword, rest), body))
        elif keyword == "folder":
            case.folders.append(required_name(keyword, rest))
        elif keyword == "stdin":
            case.stdin = body
        elif keyword == "stdout":
            case.stdout = body
        elif keyword == "stdout-file":
            case.stdout_file = required_name(keyword, rest)
        elif keyword == "stderr":
            case.stderr = body
        elif keyword == "expect":
            case.expected.append((required_name(keyword, rest), body))
        elif keyword == "absent":
            case.absent.append(required_name(keyword, rest))
        else:
            raise CaseError(f"unknown section @{keyword}")
    if case.stdout_file is not None and case.stdout is not None:
        raise CaseError("@stdout-file and @stdout exclude each other")
    return case


def required_name(keyword, rest):
    if not rest:
        raise CaseError(f"@{keyword} needs a file name")
    return rest


def mask_timing(data):
    data = TIMING_LINE.sub(b"Operation took <t> seconds", data)
    return STEP_TIME.sub(b" <t> s", data)


def show(data):
    return data.decode("utf-8", errors="backslashreplace").splitlines(keepends=True)


def difference(label, expected, actual):
    lines = list(
        difflib.unified_diff(
            show(expected), show(actual), f"expected {label}", f"actual {label}"
        )
    )
    if expected.endswith(b"\n") != actual.endswith(b"\n"):
        lines.append("(the two differ in the final line end)\n")
    return "".join(line if line.endswith("\n") else line + "\n" for line in lines)


def lay_out(case, scratch):
    """Creates the case's files and folders in the scratch folder."""
    for name in case.folders:
        os.makedirs(os.path.join(scratch, name), exist_ok=True)
    for name, content in case.files:
        target = os.path.join(scratch, name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as handle:
            handle.write(content)


def run_case(case, binary):
    """Answers a list of failure reports; empty when the case passes."""
    failures = []
    with tempfile.TemporaryDirectory(prefix="boolfn-e2e-") as scratch:
        lay_out(case, scratch)
        stdout = subprocess.PIPE
        if case.stdout_file is not None:
            stdout = open(os.path.join(scratch, case.stdout_file), "ab")
        try:
            result = subprocess.run(
                ["boolfn"] + case.args,
                executable=binary,
                cwd=scratch,
                input=case.stdin,
                stdout=stdout,
                stderr=subprocess.PIPE,
                timeout=TIMEOUT_SECONDS,
            )
        except subprocess.TimeoutExpired:
            return [f"timed out after {TIMEOUT_SECONDS} s"]
        finally:
            if stdout is not subprocess.PIPE:
                stdout.close()

        if case.stdout is not None:
            actual = mask_timing(result.stdout)
            if actual != case.stdout:
                failures.append(difference("stdout", case.stdout, actual))
        if case.stderr is not None:
            actual = mask_timing(result.stderr)
            if actual != case.stderr:
                failures.append(difference("stderr", case.stderr, actual))
        if case.status is not None and result.returncode != case.status:
            failures.append(
                f"exit status {result.returncode}, expected {case.status}\n"
            )
        for name, content in case.expected:
            target = os.path.join(scratch, name)
            if not os.path.isfile(target):
                failures.append(f"file {name} was not written\n")
                continue
            with open(target, "rb") as handle:
                actual = handle.read()
            if name == case.stdout_file:
                actual = mask_timing(actual)  # it holds the conversation
            if actual != content:
                failures.append(difference(name, content, actual))
        for name in case.absent:
            if os.path.lexists(os.path.join(scratch, name)):
                failures.append(f"file {name} exists but must not\n")
        if failures and result.stderr and case.stderr is None:
            failures.append("standard error:\n" + result.stderr.decode(errors="replace"))
    return failures


def case_label(path):
    group = os.path.basename(os.path.dirname(os.path.abspath(path)))
    name = os.path.splitext(os.path.basename(path))[0]
    return f"{group}/{name}"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", required=True, help="path of the boolfn executable")
    parser.add_argument("cases", nargs="+", help="case files to run")
    options = parser.parse_args()
    binary = os.path.abspath(options.binary)

    passed = failed = 0
    for path in options.cases:
        label = case_label(path)
        try:
            failures = run_case(parse_case(path), binary)
        except (CaseError, UnicodeDecodeError) as problem:
            failures = [f"bad case file: {problem}\n"]
        if failures:
            failed += 1
            print(f"FAIL {label}")
            for report in failures:
                sys.stdout.write(report)
        else:
            passed += 1
            print(f"PASS {label}")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
