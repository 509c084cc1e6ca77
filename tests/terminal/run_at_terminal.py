#!/usr/bin/env python3
"""boolfn-run at a terminal, and the ends of a job by a signal.

A step that runs for a second shows the progress line on standard error when it is
a terminal, under the step's own heading, erased before the next line; with
standard error elsewhere, or with --quiet, nothing is drawn. Ctrl-C ends the job at
once by the signal (the shell's status 130) with one line, writes no output file,
leaves an existing one and no temporary file behind. A termination signal does the
same without a terminal, and says so when part of the result has already gone to
standard output.
"""
import os
import signal
import subprocess
import sys
import time

import pexpect

from terminal_session import (Session, check, functions_for_seconds, run_cases, screen_text,
                              write_xor_functions)


def write_inputs(folder):
    """A function whose CNF takes far longer than a second."""
    pairs = 22
    with open(os.path.join(folder, "sums.vhd"), "w") as sums:
        sums.write("f <= " + " or ".join("(a%d and b%d)" % (i, i) for i in range(pairs)) + ";\n")
        sums.write("g <= a0 xor b1;\n")


def dnf_of(binary, folder):
    return lambda name: subprocess.run([binary, name, "-d", "dnf", "-o", "sample.pla"],
                                       cwd=folder, capture_output=True, timeout=120)


def leftovers(folder, names):
    return [name for name in os.listdir(folder) if name.startswith(".") or name in names]


def progress_line_at_a_terminal(binary, folder):
    heading = "boolfn-run: dnf: function "
    count = functions_for_seconds(folder, 2.5, dnf_of(binary, folder))
    # The step is sized on a sample, and the machine's load may fall in between: a
    # step that ended before its first progress line is run again, twice as long.
    for _ in range(4):
        write_xor_functions(folder, "some.vhd", count)
        session = Session(binary, folder, ["-v", "some.vhd", "-d", "dnf", "-o", "some.pla"])
        session.child.timeout = 120  # or sized on a quieter moment of the machine
        if session.child.expect_exact([heading, pexpect.EOF]) == 0:
            break
        session.child.close()
        count *= 2
    else:
        check(False, "progress: a step of %d functions drew no progress line" % count)
        return
    session.raw += session.child.before + session.child.after
    session.expect("boolfn-run: dnf: %d functions" % count)
    status = session.finish()
    raw = session.raw
    end = raw.rindex("boolfn-run: dnf: %d functions" % count)
    last_drawn = raw.rindex(heading, 0, end)
    check(status == 0, "progress: the job ends with status 0 (%s)" % status)
    check(raw[last_drawn:end].endswith("\r\x1b[K"),
          "progress: the line is erased before the step's line", repr(raw[last_drawn:end]))
    check(" of %d (f" % count in raw[last_drawn:end], "progress: the line names the function",
          repr(raw[last_drawn:end]))
    check(heading not in screen_text(raw).split("dnf: %d functions" % count)[1],
          "progress: nothing drawn after the step")


def no_progress_elsewhere(binary, folder):
    count = functions_for_seconds(folder, 1.5, dnf_of(binary, folder))
    write_xor_functions(folder, "some.vhd", count)
    for title, arguments, redirected in [
            ("standard error elsewhere", ["some.vhd", "-d", "dnf", "-o", "some.pla"], True),
            ("--quiet", ["-q", "some.vhd", "-d", "dnf", "-o", "some.pla"], False)]:
        errors = os.path.join(folder, "errors.txt")
        session = Session(binary, folder, arguments, stderr_file=errors if redirected else None)
        status = session.finish()
        shown = open(errors).read() if redirected else session.raw
        check(status == 0 and shown == "", title + ": no progress line (%s)" % status, shown[:300])


def interrupt_writes_nothing(binary, folder):
    for title, output, existing in [("a new file", "new.pla", None),
                                    ("a file that exists", "old.pla", "old contents\n")]:
        if existing is not None:
            with open(os.path.join(folder, output), "w") as file:
                file.write(existing)
        session = Session(binary, folder, ["sums.vhd", "-d", "cnf", "-o", output])
        session.expect("boolfn-run: cnf: function 1 of 2 (f)")
        pressed = time.monotonic()
        session.child.sendintr()
        session.expect("boolfn-run: interrupted; nothing written\r\n")
        session.finish()
        waited = time.monotonic() - pressed
        check(session.child.signalstatus == signal.SIGINT,
              "%s: the job ends by SIGINT, status 130 in a shell (%s, %s)"
              % (title, session.child.exitstatus, session.child.signalstatus))
        check(waited < 1.0, "%s: the job ended %.3f s after Ctrl-C" % (title, waited))
        said = screen_text(session.raw)
        check(said.count("boolfn-run: interrupted") == 1, title + ": one line", said[-300:])
        left = leftovers(folder, [output])
        if existing is None:
            check(left == [], title + ": no file and no temporary file", str(left))
        else:
            check(left == [output] and open(os.path.join(folder, output)).read() == existing,
                  title + ": the old file is untouched and no temporary file left", str(left))
            os.remove(os.path.join(folder, output))


def termination_without_terminal(binary, folder):
    """SIGTERM while the CNF computes: nothing written; while a large result fills the
    pipe of standard output that nobody reads: part of it has gone."""
    cases = [("during a step", ["sums.vhd", "-d", "cnf", "-o", "out.pla"], False,
              "boolfn-run: terminated; nothing written\n"),
             ("with part of the result on standard output", ["some.vhd", "-d", "dnf"], True,
              "boolfn-run: terminated; standard output holds part of the result\n")]
    write_xor_functions(folder, "some.vhd", 3000)
    for title, arguments, reads_some, said in cases:
        run = subprocess.Popen([binary] + arguments, cwd=folder, stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        if reads_some:
            # The first bytes show that the writer runs; the full pipe then holds it.
            run.stdout.read(16)
            time.sleep(1.0)
        else:
            time.sleep(1.5)
        run.send_signal(signal.SIGTERM)
        try:
            status = run.wait(timeout=20)
        except subprocess.TimeoutExpired:
            run.kill()
            status = "still running"
        errors = run.stderr.read().decode()
        check(status == -signal.SIGTERM, "%s: ended by SIGTERM (%s)" % (title, status))
        check(errors == said, title + ": the line says what was written", errors[:300])
        check(leftovers(folder, ["out.pla"]) == [], title + ": no file and no temporary file")


if __name__ == "__main__":
    sys.exit(run_cases([progress_line_at_a_terminal, no_progress_elsewhere,
                        interrupt_writes_nothing, termination_without_terminal], write_inputs))
