#!/usr/bin/env python3
"""The ways a session at a terminal ends by a signal.

SIGTERM and SIGHUP sent to the menu program alone at a prompt end it alone: the
shell that started it goes on, with line editing as without. Every end by a signal
with unsaved work writes the recovery file first, as a slip does, and the run still
ends by that signal: Ctrl-C at the action menu and at a question inside an action
(the functions recovered are those of the session, not the half-made ones of the
action), a second Ctrl-C during an action, a Ctrl-C just after one, SIGTERM during
an action and at a prompt without line editing (standard output in a file, which
then holds the conversation up to the prompt). Ctrl-Z at a prompt gives the
terminal its own mode back for the stop and the line editor its own after it.
"""
import os
import shutil
import signal
import tempfile
import termios
import time

from cancel_and_progress import PROGRESS, write_inputs
from terminal_session import (ACTION_CHOICE, ADD_H, ADDED, LOADED, NEGATED, RECOVERY_NAME,
                              Session, check, piped_run, recovered_functions, recovery_files,
                              run_cases)

SAVE_DIMACS_QUESTION = [("Choice:", "12"), ("Enter legal output file path :", "saved.cnf")]


def ended_by(session):
    status = session.finish()
    return status if status is not None else -session.child.signalstatus


def wrapper_goes_on(binary, folder):
    """SIGTERM or SIGHUP to the program alone, at "Choice:", with line editing: the
    shell around it goes on and sees the program's end by the signal, with the
    terminal in its own mode again."""
    cases = [("SIGTERM", signal.SIGTERM, True), ("SIGHUP", signal.SIGHUP, True),
             ("SIGTERM, nothing unsaved", signal.SIGTERM, False)]
    for name, number, unsaved in cases:
        with tempfile.TemporaryDirectory() as scratch:
            shutil.copy(os.path.join(folder, "full_adder.pla"), scratch)
            script = '"$0" full_adder.pla; echo "WRAPPER-CONTINUES $?"'
            session = Session("/bin/sh", scratch, ["-c", script, binary])
            if unsaved:
                for prompt, keys in ADD_H:
                    session.answer(prompt, keys)
            session.expect(ACTION_CHOICE)
            session.wait_for_editor()
            menu = [int(p) for p in os.popen("pgrep -P %d" % session.child.pid).read().split()]
            check(len(menu) == 1, "%s: one program under the shell" % name, str(menu))
            for pid in menu:
                os.kill(pid, number)
            session.expect("WRAPPER-CONTINUES %d" % (128 + number))
            check(termios.tcgetattr(session.child.child_fd)[3] & termios.ICANON,
                  "%s: the terminal is back in its own mode" % name)
            session.finish()
            wanted = [RECOVERY_NAME] if unsaved else []
            check(recovery_files(scratch) == wanted, "%s: recovery files" % name,
                  str(recovery_files(scratch)))


def second_interrupt(session):
    session.expect(PROGRESS)
    session.child.sendintr()
    time.sleep(0.2)  # apart, or the terminal raises one signal for both
    session.child.sendintr()


def interrupt_just_after_an_action(session):
    session.expect("Operation finished")
    session.child.sendintr()


def terminate_during_an_action(session):
    session.expect(PROGRESS)
    os.kill(session.child.pid, signal.SIGTERM)


def interrupt_at_the_prompt(session):
    session.wait_for_editor()
    session.child.sendintr()


SUMS_ADDED = "h <= a0 and not b0;"
# name, the steps, what is awaited then, how the run is ended, the signal it ends
# by, the recovered functions
ENDINGS = [
    ("Ctrl-C at Choice:", ADD_H, ACTION_CHOICE, interrupt_at_the_prompt, signal.SIGINT,
     LOADED + [ADDED]),
    ("Ctrl-C at What to save: of a DIMACS save", ADD_H + SAVE_DIMACS_QUESTION, "What to save:",
     interrupt_at_the_prompt, signal.SIGINT, LOADED + [ADDED]),
    ("Ctrl-C at a cofactor question", ADD_H + [("Choice:", "14")],
     "Enter output variable number:", interrupt_at_the_prompt, signal.SIGINT, LOADED + [ADDED]),
    ("Ctrl-C just after Negation", ADD_H + [("Choice:", "1")], "Operation took",
     interrupt_just_after_an_action, signal.SIGINT, NEGATED + [set(range(8)) - ADDED]),
]
# The same on the long input: the work is the added function, the action is a CNF.
LONG_ENDINGS = [
    ("a second Ctrl-C during CNF", second_interrupt, signal.SIGINT),
    ("SIGTERM during CNF", terminate_during_an_action, signal.SIGTERM),
]


def interrupt_keeps_unsaved_work(binary, folder):
    for name, steps, awaited, ending, number, recovered in ENDINGS:
        with tempfile.TemporaryDirectory() as scratch:
            shutil.copy(os.path.join(folder, "full_adder.pla"), scratch)
            session = Session(binary, scratch, ["full_adder.pla"])
            for prompt, keys in steps:
                session.answer(prompt, keys)
            session.expect(awaited)
            ending(session)
            session.expect("written as pseudo-VHDL to " + RECOVERY_NAME)
            check(ended_by(session) == -number, "%s: ended by signal %d" % (name, number))
            check(recovery_files(scratch) == [RECOVERY_NAME], "%s: the recovery file" % name,
                  str(recovery_files(scratch)))
            back = recovered_functions(binary, scratch, RECOVERY_NAME)
            check(back == recovered, "%s: the recovered functions are the session's" % name,
                  "wanted %r\ngot %r" % (recovered, back))
            check(not any(f.startswith(".") for f in os.listdir(scratch)),
                  "%s: no temporary file left" % name, str(os.listdir(scratch)))
    for name, ending, number in LONG_ENDINGS:
        with tempfile.TemporaryDirectory() as scratch:
            write_inputs(scratch)
            session = Session(binary, scratch, ["sums.vhd", "kept.pla"])
            session.answer("Choice:", "8")
            session.answer("Input command string:", SUMS_ADDED)
            session.answer(ACTION_CHOICE, "3")
            ending(session)
            session.expect("written as pseudo-VHDL to sums.recovered.vhd")
            check(ended_by(session) == -number, "%s: ended by signal %d" % (name, number))
            # What a save of every function as pseudo-VHDL writes without the action.
            piped_run(binary, scratch, ["sums.vhd", "before.vhd"],
                      ["8", SUMS_ADDED, "10", "2", "1", "15"])
            text = open(os.path.join(scratch, "sums.recovered.vhd")).read()
            before = open(os.path.join(scratch, "before.vhd")).read()
            check(text == before, "%s: the functions as before the action" % name,
                  "recovered:\n%s\nbefore:\n%s" % (text[:600], before[:600]))


def without_line_editing(binary, folder):
    """Standard output in a file, so no line editing: SIGTERM and Ctrl-C at the
    action menu keep the work, and standard output ends at the prompt as before."""
    for name, number in [("Ctrl-C", signal.SIGINT), ("SIGTERM", signal.SIGTERM)]:
        with tempfile.TemporaryDirectory() as scratch:
            shutil.copy(os.path.join(folder, "full_adder.pla"), scratch)
            session = Session(binary, scratch, ["full_adder.pla"], stdout_file="out.txt")
            session.expect("boolfn: 3 inputs")
            session.child.send("8\r" + ADD_H[1][1] + "\r")
            conversation = os.path.join(scratch, "out.txt")
            for _ in range(500):
                if open(conversation).read().count("15. Exit\nChoice:") == 2:
                    break
                time.sleep(0.01)
            if number == signal.SIGINT:
                session.child.sendintr()
            else:
                os.kill(session.child.pid, number)
            session.expect("written as pseudo-VHDL to " + RECOVERY_NAME)
            check(ended_by(session) == -number, "%s without editing: the signal" % name)
            shown = open(conversation).read()
            check(shown.endswith("15. Exit\nChoice:"),
                  "%s without editing: the conversation ends at the prompt" % name,
                  repr(shown[-200:]))
            back = recovered_functions(binary, scratch, RECOVERY_NAME)
            check(back == LOADED + [ADDED], "%s without editing: the recovered functions" % name,
                  repr(back))


def stop_and_continue(binary, folder):
    """Ctrl-Z at a prompt, in an interactive shell: the program stops with the
    terminal in its own mode; after "fg" the editor reads again and the session
    goes on."""
    shell = Session("/bin/bash", folder, ["--norc", "--noprofile", "--noediting", "-i"],
                    env={"PS1": "shell$ ", "PROMPT_COMMAND": None})
    shell.expect("shell$ ")
    shell.child.send("'%s' full_adder.pla\r" % binary)
    shell.expect(ACTION_CHOICE)
    shell.wait_for_editor()
    shell.child.send("\x1a")
    shell.expect("shell$ ")
    check(termios.tcgetattr(shell.child.child_fd)[3] & termios.ICANON,
          "Ctrl-Z: the terminal has its own mode during the stop")
    shell.child.send("fg\r")
    time.sleep(0.5)
    shell.wait_for_editor()
    shell.child.send("13\r")
    shell.expect("Absorption disabled")
    shell.answer(ACTION_CHOICE, "15")
    shell.expect("Exiting")
    shell.expect("shell$ ")
    shell.child.send("echo EXITED $?\r")
    shell.expect("EXITED 1")
    shell.child.send("exit\r")
    shell.finish()


if __name__ == "__main__":
    import sys
    sys.exit(run_cases([wrapper_goes_on, interrupt_keeps_unsaved_work, without_line_editing,
                        stop_and_continue]))
