#!/usr/bin/env python3
"""The bash completion of boolfn-run, driven as bash drives it.

Each case sets COMP_LINE and COMP_POINT as readline does for the text before the
cursor, calls the completion function and compares the words offered with the
words expected (after readline's break at ":" and "="). Beside the table: every
long option of --help is offered after "--", and every notation and action the
completion offers is one boolfn-run accepts. Last, an interactive bash at a
pseudo-terminal completes a cofactor action with Tab, so that readline's own
break at ":" is met as the table assumes.

Usage: completion.py --run BOOLFN_RUN
"""

import argparse
import os
import shlex
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SCRIPT = os.path.join(ROOT, "completion", "boolfn-run.bash")
FULL_ADDER = os.path.join(ROOT, "examples", "full_adder.pla")


def offered(run, line, folder):
    """The words the completion offers with the cursor at the end of LINE."""
    words = shlex.split(line) + ([""] if line.endswith(" ") else [])
    words[0] = run
    program = (
        f"source {shlex.quote(SCRIPT)}\n"
        f"COMP_LINE={shlex.quote(' '.join(shlex.quote(w) for w in words[:-1]) + ' ' + words[-1])}\n"
        "COMP_POINT=${#COMP_LINE}\n"
        f"COMP_WORDS=({' '.join(shlex.quote(w) for w in words)})\n"
        "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
        "_boolfn_run\n"
        "printf '%s\\n' \"${COMPREPLY[@]}\"\n"
    )
    done = subprocess.run(["bash", "-c", program], cwd=folder, capture_output=True, text=True, timeout=60)
    if done.returncode != 0 or done.stderr:
        raise AssertionError(f"{line!r}: bash status {done.returncode}: {done.stderr}")
    return sorted(word for word in done.stdout.split("\n") if word)


CASES = [
    # (line before the cursor, words offered)
    ("boolfn-run --wo", ["--workers"]),
    ("boolfn-run --sta", ["--stats"]),
    ("boolfn-run --stats=", ["tsv"]),
    ("boolfn-run -t ", ["blif", "dimacs", "pla", "pseudo-vhdl", "sop-blif", "vhdl"]),
    ("boolfn-run --to p", ["pla", "pseudo-vhdl"]),
    ("boolfn-run -f ", ["blif", "dimacs", "pla", "vhdl"]),
    ("boolfn-run -d ne", ["negate"]),
    ("boolfn-run -d n", ["nand", "negate", "nor"]),
    ("boolfn-run -d dnf,mi", ["dnf,minimize", "dnf,minimize=exact"]),
    ("boolfn-run -d minimize=", ["exact"]),
    ("boolfn-run -d absorption=o", ["off", "on"]),
    ("boolfn-run full_adder.pla -d cofactor:", ["sum:", "cout:"]),
    ("boolfn-run full_adder.pla -d negate,cofactor:c", ["cout:"]),
    ("boolfn-run full_adder.pla -d cofactor:sum:c", ["cin=0", "cin=1"]),
    ("boolfn-run -q full_adder.pla -o x.pla -d cofactor:cout:a", ["a=0", "a=1"]),
    ("boolfn-run missing.pla -d cofactor:", []),
    ("boolfn-run full", ["full_adder.pla"]),
    ("boolfn-run full_adder.pla -o fu", ["full_adder.pla"]),
    ("boolfn-run --workers ", []),
]


TYPED = [
    # (typed before Tab, the line readline then shows)
    ("boolfn-run full_adder.pla -d cofactor:su", "boolfn-run full_adder.pla -d cofactor:sum:"),
    ("boolfn-run full_adder.pla -d dnf,cofactor:sum:ci", "boolfn-run full_adder.pla -d dnf,cofactor:sum:cin="),
    ("boolfn-run --max-m", "boolfn-run --max-memory "),
]


def typed_at_terminal(run, folder):
    """The lines an interactive bash shows after Tab, for each of TYPED."""
    import pexpect

    environment = dict(os.environ, PATH=os.path.dirname(run) + os.pathsep + os.environ["PATH"],
                       INPUTRC="/dev/null", TERM="dumb")
    shell = pexpect.spawn("bash", ["--norc", "--noprofile", "-i"], cwd=folder, env=environment,
                          encoding="utf-8", timeout=20, dimensions=(24, 200))
    shell.sendline(f"PS1='ready> '; source {shlex.quote(SCRIPT)}")
    shell.expect("ready> ")
    shell.expect("ready> ")
    shown = []
    for text, _ in TYPED:
        shell.send(text + "\t")
        # Readline echoes the completed line; a marker after it ends the read.
        shell.send("#end")
        shell.expect("#end")
        shown.append(shell.before.replace("\x07", "").lstrip())
        shell.sendcontrol("c")
        shell.expect("ready> ")
    shell.sendline("exit")
    shell.expect(pexpect.EOF)
    return shown


def long_options(run):
    text = subprocess.run([run, "--help"], capture_output=True, text=True, check=True).stdout
    names = set()
    for line in text.split("\n"):
        stripped = line.strip()
        if stripped.startswith("-"):
            for word in stripped.replace(",", " ").split():
                if word.startswith("--"):
                    names.add(word.split("[")[0].split("=")[0])
                elif not word.startswith("-"):
                    break
    return sorted(names)


def accepted(run, arguments, folder):
    """True when boolfn-run takes ARGUMENTS without a usage complaint about them."""
    done = subprocess.run([run, *arguments], cwd=folder, capture_output=True, text=True, timeout=60)
    return "unknown" not in done.stderr and done.returncode != 2


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--run", required=True)
    args = parser.parse_args()
    run = os.path.abspath(args.run)
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        with open(FULL_ADDER) as source, open(os.path.join(folder, "full_adder.pla"), "w") as copy:
            copy.write(source.read())
        for line, expected in CASES:
            got = offered(run, line, folder)
            if got != sorted(expected):
                failures.append(f"{line!r}: offered {got}, expected {sorted(expected)}")

        options = long_options(run)
        got = offered(run, "boolfn-run --", folder)
        if got != options:
            failures.append(f"after '--': offered {got}, the help lists {options}")

        for notation in offered(run, "boolfn-run -t ", folder):
            if not accepted(run, ["-q", "-t", notation, "full_adder.pla", "-o", "out"], folder):
                failures.append(f"-t {notation} is offered but refused")
        for notation in offered(run, "boolfn-run -f ", folder):
            # An empty input in each notation: an error of reading, not of the option.
            done = subprocess.run([run, "-f", notation, "/dev/null"], capture_output=True, text=True)
            if "unknown notation" in done.stderr:
                failures.append(f"-f {notation} is offered but refused")
        actions = offered(run, "boolfn-run full_adder.pla -d ", folder)
        for action in actions:
            if action == "cofactor:":
                action = "cofactor:sum:a=1"
            if not accepted(run, ["-q", "-d", action, "full_adder.pla", "-o", "out"], folder):
                failures.append(f"-d {action} is offered but refused")
        for (text, expected), line in zip(TYPED, typed_at_terminal(run, folder)):
            if not line.endswith(expected):
                failures.append(f"typed {text!r} and Tab: the line shows {line!r}, expected {expected!r}")
    for failure in failures:
        print("FAIL:", failure)
    print(f"{len(CASES)} completion cases, {len(options)} options; {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
