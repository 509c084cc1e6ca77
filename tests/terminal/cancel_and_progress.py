#!/usr/bin/env python3
"""Ctrl-C and the progress line of the menu program at a terminal.

A Ctrl-C while an action computes brings the action menu back, says on standard
error that nothing changed, and leaves the functions as they were: a save made
afterwards writes the file a session without the cancelled action writes, and a
cancelled save leaves the file it would have replaced untouched. A Ctrl-C at a
question, a second Ctrl-C at once, and a Ctrl-C when standard input is not a
terminal end the run by the signal, as before. An action that runs for a second
shows a progress line on standard error, erased before the next output; with
standard error elsewhere nothing is drawn and nothing is said. The cancel and the
progress line behave alike whether one thread or several compute the functions.
"""
import os
import signal
import subprocess
import sys
import time

from terminal_session import (ACTION_CHOICE, Session, check, functions_for_seconds, piped_run,
                              run_cases, screen_text, write_xor_functions)

PROGRESS = "boolfn: function "


def write_inputs(folder):
    """Functions whose CNF (sums) or DNF (products) takes far longer than a second,
    and whose other forms take no time."""
    pairs = 22
    with open(os.path.join(folder, "sums.vhd"), "w") as sums:
        sums.write("f <= " + " or ".join("(a%d and b%d)" % (i, i) for i in range(pairs)) + ";\n")
        sums.write("g <= a0 xor b1;\n")
    with open(os.path.join(folder, "products.vhd"), "w") as products:
        products.write("h <= " + " and ".join("(a%d or b%d)" % (i, i) for i in range(pairs)) + ";\n")
        products.write("k <= not a3 or b2;\n")


def piped_dnf_of(binary, folder):
    return lambda name: piped_run(binary, folder, [name, "sample.pla"], ["4", "15"])


def temporary_files(folder):
    return [name for name in os.listdir(folder) if name.startswith(".")]


def cancel_when_progress_shows(session):
    session.expect(PROGRESS)
    pressed = time.monotonic()
    session.child.sendintr()
    return pressed


# Each case: the input, the output path on the command line (created first with
# old contents when `existing`), the cancelled action, its note, then the answers of
# a save (prompt, keys) that must write what a piped run without the cancelled
# action writes.
CANCEL_CASES = [
    ("CNF", "sums.vhd", "after.pla", False, "3", "CNF cancelled: every function is as it was before",
     [("Choice:", "9"), ("What to save:", "1")]),
    ("DNF of many functions", "many.vhd", "after.vhd", False, "4",
     "DNF cancelled: every function is as it was before",
     [("Choice:", "10"), ("How to save:", "2"), ("What to save:", "1")]),
    ("Save as PLA", "products.vhd", "old.pla", True, "9",
     "Save as PLA cancelled: nothing was saved to old.pla, and every function is as it was before",
     [("Choice:", "10"), ("Enter legal output file path :", "after.vhd"), ("How to save:", "2"),
      ("What to save:", "1")]),
    ("Save as DIMACS", "sums.vhd", "old.cnf", True, "12",
     "Save as DIMACS cancelled: nothing was saved to old.cnf, and every function is as it was before",
     [("Choice:", "9"), ("Enter legal output file path :", "after.pla"), ("What to save:", "1")]),
]


WORKER_SETTINGS = [("one worker", {"BOOLFN_WORKERS": "1"}), ("four workers", {"BOOLFN_WORKERS": "4"})]


def cancel_leaves_everything_as_it_was(binary, folder):
    count = functions_for_seconds(folder, 8, piped_dnf_of(binary, folder))
    write_xor_functions(folder, "many.vhd", count)
    for (title, source, output, existing, action, said, save), (workers, env) in [
            (case, setting) for case in CANCEL_CASES for setting in WORKER_SETTINGS]:
        title = "%s, %s" % (title, workers)
        old = "old contents\n"
        if existing:
            with open(os.path.join(folder, output), "w") as file:
                file.write(old)
        session = Session(binary, folder, [source, output], env=env)
        session.answer("Choice:", action)
        pressed = cancel_when_progress_shows(session)
        session.expect("boolfn: " + said + "\r\n")
        session.expect("Select action:")
        print("%s: the menu was back %.3f s after Ctrl-C" % (title, time.monotonic() - pressed))
        if existing:
            check(open(os.path.join(folder, output)).read() == old,
                  title + ": the old file is untouched")
        check(temporary_files(folder) == [], title + ": no temporary file left",
              str(temporary_files(folder)))
        for prompt, keys in save:
            session.answer(prompt, keys)
        session.answer(ACTION_CHOICE, "15")
        check(session.finish() == 1, title + ": the session ends with status 1")
        saved_name = [keys for prompt, keys in save if prompt.startswith("Enter legal")]
        saved_name = saved_name[0] if saved_name else output
        piped_answers = [keys for prompt, keys in save if not prompt.startswith("Enter legal")]
        _, status = piped_run(binary, folder, [source, "piped.out"], piped_answers + ["15"])
        saved = open(os.path.join(folder, saved_name)).read()
        piped = open(os.path.join(folder, "piped.out")).read()
        check(status == 1 and saved == piped,
              title + ": the save after the cancel writes the file of a session without it",
              "after the cancel:\n%s\nwithout it:\n%s" % (saved[:500], piped[:500]))


def progress_line_is_erased(binary, folder):
    for workers, env in WORKER_SETTINGS:
        progress_line_is_erased_with(binary, folder, workers, env)


def progress_line_is_erased_with(binary, folder, workers, env):
    count = functions_for_seconds(folder, 4, piped_dnf_of(binary, folder))
    write_xor_functions(folder, "some.vhd", count)
    session = Session(binary, folder, ["some.vhd", "some.pla"], env=env)
    session.answer("Choice:", "4")
    session.expect(PROGRESS)
    session.expect("Operation took")
    raw = session.raw
    end = raw.rindex("Operation took")
    last_drawn = raw.rindex(PROGRESS, 0, end)
    check(raw[last_drawn:end].endswith("\r\x1b[K"),
          "progress, %s: the line is erased before the next output" % workers,
          repr(raw[last_drawn:end]))
    check(" of %d (f" % count in raw[last_drawn:end],
          "progress, %s: the line names the function" % workers, repr(raw[last_drawn:end]))
    session.answer("Choice:", "15")
    session.finish()
    shown = screen_text(session.raw)
    check("boolfn: function" not in shown.split("Operation took")[1],
          "progress, %s: nothing drawn after the action" % workers)


def without_terminal_for_standard_error(binary, folder):
    errors = os.path.join(folder, "errors.txt")
    session = Session(binary, folder, ["sums.vhd", "quiet.pla"], stderr_file=errors)
    session.answer("Choice:", "3")
    session.expect("Operation started")
    time.sleep(1.5)
    session.child.sendintr()
    session.expect("Select action:")
    session.answer("Choice:", "15")
    check(session.finish() == 1, "stderr elsewhere: Ctrl-C still cancels")
    check(open(errors).read() == "", "stderr elsewhere: no progress and no note",
          open(errors).read()[:500])


def interrupts_that_end_the_run(binary, folder):
    cases = [
        ("a second Ctrl-C at once", "sums.vhd", ["3"], None),
        ("Ctrl-C at a question inside a save", "full_adder.pla", ["9"], "What to save:"),
    ]
    for title, source, answers, question in cases:
        with open(os.path.join(folder, "kept.pla"), "w") as file:
            file.write("kept\n")
        session = Session(binary, folder, [source, "kept.pla"])
        for keys in answers:
            session.answer("Choice:", keys)
        if question is None:
            session.expect(PROGRESS)
            # Apart, or the terminal raises one signal for both.
            session.child.sendintr()
            time.sleep(0.2)
            session.child.sendintr()
        else:
            session.expect(question)
            session.wait_for_editor()
            session.child.sendintr()
        ended = session.finish()
        ended = ended if ended is not None else -session.child.signalstatus
        check(ended == -signal.SIGINT, "%s: ended by SIGINT (%s)" % (title, ended))
        check(open(os.path.join(folder, "kept.pla")).read() == "kept\n",
              title + ": the old file is untouched")
        check(temporary_files(folder) == [], title + ": no temporary file left")


def piped_input_keeps_todays_interrupt(binary, folder):
    run = subprocess.Popen([binary, "sums.vhd", "piped.pla"], cwd=folder, stdin=subprocess.PIPE,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    run.stdin.write(b"3\n")
    run.stdin.flush()
    time.sleep(1.5)
    run.send_signal(signal.SIGINT)
    try:
        status = run.wait(timeout=20)
    except subprocess.TimeoutExpired:
        run.kill()
        status = "still running"
    check(status == -signal.SIGINT, "piped input: Ctrl-C ends the run (%s)" % status)


if __name__ == "__main__":
    sys.exit(run_cases([cancel_leaves_everything_as_it_was, progress_line_is_erased,
                        without_terminal_for_standard_error, interrupts_that_end_the_run,
                        piped_input_keeps_todays_interrupt], write_inputs))
