#!/usr/bin/env python3
"""The menu program at a terminal, driven through pseudo-terminals of its own.

Line editing: a session typed cleanly shows exactly the conversation of a piped
run with the same answers (each prompt once, the answer echoed after it); the Up
arrow recalls the last answer instead of ending the session; cursor keys inside
"Add function" give a clean statement; Tab completes a path and a name.
Orientation: the notes on standard error name the functions and inputs after
loading, each new input of an added statement, the path and contents of a save and
the verdicts of a satisfiability test, and none of it appears when standard error
is not a terminal.
Recovery: a session that ends by a slip (Ctrl-D, a word at a menu, two failed
output paths) with unsaved work leaves a recovery file beside the input whose
functions, loaded again and saved as PLA, are those of the session as computed
here; the note names it, standard output stays the piped run's, and without
unsaved work, after Exit or without a terminal there is none. The file is private
(mode 0600), goes to the user's own folders before a shared one, where it gets a
random name, and a name swapped for a link after its creation gets nothing
written through the link.
History file: switched on, a second session recalls a line of the first; off,
nothing is written; each line is appended, and a file grown too long is cut.
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import termios
import threading
import time

import pexpect

UP = "\x1b[A"
LEFT = "\x1b[D"
ESCAPES = re.compile(r"\x1b(\[[0-9;?]*[A-Za-z]|[()][0-9A-B]|[=>])")

failures = []


def check(condition, what, detail=""):
    if not condition:
        failures.append(what + ("\n" + detail if detail else ""))
        print("FAIL " + what, file=sys.stderr)


DURATION = re.compile(r"Operation took [0-9.e-]+ seconds")
# The action menu's own "Choice:", not that of "What to save:" or "How to save:".
ACTION_CHOICE = "15. Exit\r\nChoice:"


def screen_text(raw):
    """The text a terminal shows: escape sequences and carriage returns dropped."""
    return ESCAPES.sub("", raw).replace("\r", "")


def without_durations(text):
    return DURATION.sub("Operation took N seconds", text)


class Session:
    def __init__(self, binary, folder, arguments, stderr_file=None, stdout_file=None, env=None):
        command = [binary] + arguments
        redirections = ""
        if stderr_file is not None:
            redirections += " 2>" + stderr_file
        if stdout_file is not None:
            redirections += " >" + stdout_file
        if redirections:
            command = ["/bin/sh", "-c", 'exec "$0" "$@"' + redirections] + command
        # No session keeps a history file unless it asks for one, and the state folder
        # (which may take a recovery file) is the test's; None removes a name.
        settings = dict(os.environ, TERM="xterm", XDG_STATE_HOME=os.path.join(folder, "state"))
        settings.pop("BOOLFN_HISTORY", None)
        settings.pop("XDG_RUNTIME_DIR", None)
        settings.update(env or {})
        env = {name: value for name, value in settings.items() if value is not None}
        self.child = pexpect.spawn(command[0], command[1:], cwd=folder, env=env,
                                   encoding="utf-8", timeout=20, dimensions=(24, 200))
        self.raw = ""

    def expect(self, text):
        self.child.expect_exact(text)
        self.raw += self.child.before + self.child.after

    def wait_for_editor(self):
        """Waits until the line editor reads (the terminal leaves canonical mode), so
        that keys are not typed ahead of it: a typed-ahead Ctrl-D would be taken by
        the terminal's own line discipline, and the first "Choice:" of a session is
        the input-type menu's, which reads nothing."""
        for _ in range(2000):
            if not termios.tcgetattr(self.child.child_fd)[3] & termios.ICANON:
                return
            time.sleep(0.01)
        raise pexpect.TIMEOUT("the line editor never read")

    def answer(self, prompt, keys):
        self.expect(prompt)
        self.wait_for_editor()
        self.child.send(keys + "\r")

    def finish(self):
        self.child.expect(pexpect.EOF)
        self.raw += self.child.before
        self.child.close()
        return self.child.exitstatus


def piped_run(binary, folder, arguments, answers):
    result = subprocess.run([binary] + arguments, cwd=folder, input="".join(a + "\n" for a in answers),
                            capture_output=True, text=True, timeout=60)
    return result.stdout, result.returncode


def write_xor_functions(folder, name, count):
    """`count` functions, each a xor of seven of 40 inputs: work that grows evenly."""
    with open(os.path.join(folder, name), "w") as many:
        for n in range(count):
            names = ["x%d" % ((n + i) % 40) for i in range(7)]
            many.write("f%d <= %s;\n" % (n, " xor ".join(names)))


def functions_for_seconds(folder, seconds, run_sample):
    """How many of those functions a binary brings into DNF in about `seconds`, timed
    on a sample that `run_sample(name)` takes through the DNF: a build with sanitizers
    is many times slower."""
    sample = 300
    write_xor_functions(folder, "sample.vhd", sample)
    started = time.monotonic()
    run_sample("sample.vhd")
    each = (time.monotonic() - started) / sample
    return max(20, min(20000, int(seconds / each)))


def clean_session_matches_piped_run(binary, folder):
    """Answers typed cleanly: the screen is the piped conversation with each answer
    echoed after its prompt, and the files and the status are the same."""
    arguments = ["full_adder.pla", "typed.vhd"]
    steps = [("Choice:", "8"), ("Input command string:", "h <= sum and not cout;"),
             ("Choice:", "4 13"), ("Choice:", "10"), ("How to save:", "2"),
             ("What to save:", "1"), ("Choice:", "15")]
    session = Session(binary, folder, arguments, stderr_file="/dev/null")
    for prompt, keys in steps:
        session.answer(prompt, keys)
    status = session.finish()
    typed = open(os.path.join(folder, "typed.vhd")).read()
    piped, piped_status = piped_run(binary, folder, ["full_adder.pla", "piped.vhd"],
                                    [keys for _, keys in steps])
    # The screen is the piped conversation with each typed line echoed where it
    # was read: "Input command string:" or the "Choice:" of a menu. The line "4 13"
    # answers two menus; the second reads it without a prompt of its own taking it.
    expected = piped
    position = expected.index("Select action:")
    for _, keys in steps:
        read_at = "Input command string:" if "<=" in keys else "Choice:"
        position = expected.index(read_at, position) + len(read_at)
        expected = expected[:position] + keys + "\n" + expected[position:]
        position += len(keys) + 1
        if keys == "4 13":
            position = expected.index("Choice:", position) + len("Choice:")
    shown = without_durations(screen_text(session.raw))
    expected = without_durations(expected)
    check(shown == expected, "clean session: the screen shows the piped conversation",
          "expected:\n%r\nshown:\n%r" % (expected, shown))
    check(status == piped_status == 1, "clean session: status 1 (%s, %s)" % (status, piped_status))
    check(typed == open(os.path.join(folder, "piped.vhd")).read(),
          "clean session: the saved file is the piped run's")


def up_arrow_recalls_last_answer(binary, folder):
    session = Session(binary, folder, ["full_adder.pla", "unused.pla"])
    session.answer("Choice:", "13")
    session.expect("Absorption disabled")
    session.answer("Choice:", UP)
    session.expect("Absorption enabled")
    session.answer("Choice:", "15")
    session.expect("Exiting")
    check(session.finish() == 1, "Up arrow: the session ends only at 15")


def cursor_keys_edit_a_statement(binary, folder):
    session = Session(binary, folder, ["full_adder.pla", "edited.vhd"])
    session.answer("Choice:", "8")
    session.answer("Input command string:", "h <= a b;" + LEFT + LEFT + "and ")
    session.answer("Choice:", "10")
    session.answer("How to save:", "2")
    session.answer("What to save:", "2")
    session.answer("Choice:", "15")
    session.finish()
    saved = open(os.path.join(folder, "edited.vhd")).read()
    check("Invalid" not in screen_text(session.raw), "cursor keys: no reader message",
          screen_text(session.raw))
    check(saved.strip().endswith("h <= a and b;"), "cursor keys: the clean statement is saved", saved)


def tab_completes_path_and_name(binary, folder):
    os.mkdir(os.path.join(folder, "results"))
    session = Session(binary, folder, ["full_adder.pla"])
    session.answer("Choice:", "8")
    session.answer("Input command string:", "both <= co\tand su\t;")
    session.answer("Choice:", "9")
    session.answer("Enter legal output file path :", "res\tadder.pla")
    session.answer("What to save:", "2")
    session.answer("Choice:", "15")
    session.finish()
    path = os.path.join(folder, "results", "adder.pla")
    saved = open(path).read() if os.path.exists(path) else ""
    check(".ob both" in saved and ".p 1" in saved, "Tab: path and names completed", saved)


def orientation_notes(binary, folder):
    session = Session(binary, folder, ["full_adder.pla", "noted.pla"])
    session.expect("boolfn: 2 functions: 0 sum, 1 cout\r\n")
    session.expect("boolfn: 3 inputs: 0 a, 1 b, 2 cin\r\n")
    session.answer("Choice:", "8")
    session.answer("Input command string:", "h <= a and cuot;")
    session.expect("boolfn: new input 3 cuot\r\n")
    session.answer("Choice:", "9")
    session.answer("What to save:", "1")
    session.expect("boolfn: saved noted.pla: 3 functions, 8 rows\r\n")
    session.answer("Choice:", "8")
    session.answer("Input command string:", "never <= a and not a;")
    session.answer("Choice:", "5")
    for verdict in ["0 sum: satisfiable (4 terms)", "1 cout: satisfiable (3 terms)",
                    "2 h: satisfiable (1 term)", "3 never: unsatisfiable"]:
        session.expect("boolfn: " + verdict + "\r\n")
    session.answer("Choice:", "12")
    session.answer("Enter legal output file path :", "noted.cnf")
    session.answer("What to save:", "1")
    session.expect("boolfn: saved noted.cnf: ")
    session.expect(" clauses (the conjunction of the functions)\r\n")
    session.answer("Choice:", "15")
    session.finish()
    rows = [l for l in open(os.path.join(folder, "noted.pla")) if l[:1] in "01-"]
    check(len(rows) == 8, "orientation: the row count is the file's (%d)" % len(rows))


def save_to_a_device_is_not_read_back(binary, folder):
    session = Session(binary, folder, ["full_adder.pla", "/dev/stdout"])
    session.answer("Choice:", "9")
    session.answer("What to save:", "1")
    session.expect("Data saved\r\nboolfn: saved /dev/stdout\r\n")
    session.answer("Choice:", "15")
    check(session.finish() == 1, "save to /dev/stdout: the session goes on")
    check(".ob sum cout" in session.raw, "save to /dev/stdout: the rows are on the terminal")


def lost_saves_get_no_save_note(binary, folder):
    """Every save that says "Data NOT saved" goes without the note of a save, the
    second as well as the first; a good save after them gets it."""
    session = Session(binary, folder, ["full_adder.pla", "/dev/full"])
    for path in [None, "/dev/full", "good.pla"]:
        session.answer(ACTION_CHOICE, "9")
        if path is not None:
            session.answer("Enter legal output file path :", path)
        session.answer("What to save:", "1")
    session.expect("boolfn: saved good.pla: 2 functions")
    session.answer(ACTION_CHOICE, "15")
    check(session.finish() == 2, "lost saves: status 2")
    notes = [line for line in screen_text(session.raw).splitlines() if "boolfn: saved" in line]
    check(notes == ["boolfn: saved good.pla: 2 functions, 7 rows"],
          "lost saves: only the good save is noted", str(notes))


def long_lists_are_cut(binary, folder):
    inputs = ["x%d" % n for n in range(25)]
    with open(os.path.join(folder, "wide.vhd"), "w") as wide:
        wide.write("y <= " + " and ".join(inputs) + ";\n")
    session = Session(binary, folder, ["wide.vhd", "wide.pla"])
    session.expect("boolfn: 25 inputs: 0 x0, 1 x1, ")
    session.expect(", 19 x19, ... (5 more)\r\n")
    session.answer("Choice:", "15")
    session.finish()


def no_orientation_without_terminal(binary, folder):
    errors = os.path.join(folder, "errors.txt")
    session = Session(binary, folder, ["full_adder.pla", "quiet.pla"], stderr_file=errors)
    session.answer("Choice:", "8")
    session.answer("Input command string:", "h <= a and cuot;")
    session.answer("Choice:", "9")
    session.answer("What to save:", "1")
    session.answer("Choice:", "5")
    session.answer("Choice:", UP)
    session.answer("Choice:", "15")
    check(session.finish() == 1, "stderr not a terminal: the Up arrow still works")
    check("boolfn:" not in session.raw, "stderr not a terminal: no note on the terminal")
    check(open(errors).read() == "", "stderr not a terminal: nothing on standard error",
          open(errors).read())


def prompt_endings_keep_todays_behaviour(binary, folder):
    """Ctrl-D ends the input as at a plain terminal, and for good (a later read fails
    too); Ctrl-C at a prompt ends the run by the signal."""
    cases = [
        ("Ctrl-D at Choice:", [], "eof", "Exiting", 1),
        ("Ctrl-D at a path prompt", ["10"], "eof", "Cannot open output file - terminating", 2),
        ("Ctrl-C at Choice:", [], "intr", None, -signal.SIGINT),
    ]
    for name, answers, key, last_words, status in cases:
        session = Session(binary, folder, ["full_adder.pla"])
        for keys in answers:
            session.answer("Choice:", keys)
        session.expect("Enter legal output file path :" if answers else "Choice:")
        session.wait_for_editor()
        if key == "eof":
            session.child.sendeof()
        else:
            session.child.sendintr()
        if last_words:
            session.expect(last_words)
        ended = session.finish()
        ended = ended if ended is not None else -session.child.signalstatus
        check(ended == status, "%s: status %s, wanted %s" % (name, ended, status))



# ---------------------------------------------------------------- recovery file

ADD_H = [("Choice:", "8"), ("Input command string:", "h <= sum and not cout;")]
SAVE_ALL = [("Choice:", "10"), ("Enter legal output file path :", "saved.vhd"),
            ("How to save:", "2"), ("What to save:", "1")]
SAVE_ADDED = [("Choice:", "10"), ("Enter legal output file path :", "saved.vhd"),
              ("How to save:", "2"), ("What to save:", "2")]
SAVE_REFUSED = [("Choice:", "10"), ("Enter legal output file path :", "/dev/full"),
                ("How to save:", "2"), ("What to save:", "1")]
RECOVERY_NAME = "full_adder.recovered.vhd"


def full_adder(a, b, cin):
    """The full adder's functions, computed here rather than read from a file."""
    return {"sum": a ^ b ^ cin, "cout": (a & b) | (a & cin) | (b & cin)}


def points(function):
    """The points (a b cin as the bits of 0..7) where `function` of a, b, cin is 1."""
    return {p for p in range(8) if function((p >> 2) & 1, (p >> 1) & 1, p & 1)}


ADDED = points(lambda a, b, c: full_adder(a, b, c)["sum"] & (1 - full_adder(a, b, c)["cout"]))
LOADED = [points(lambda a, b, c: full_adder(a, b, c)["sum"]),
          points(lambda a, b, c: full_adder(a, b, c)["cout"])]
NEGATED = [set(range(8)) - table for table in LOADED]
# After "Negation", "h <= sum and not cout" takes the negated sum and cout.
ADDED_TO_NEGATED = NEGATED[0] & LOADED[1]


def pla_points(path):
    """Per output column of a PLA file, the points its rows cover."""
    inputs, rows = 0, []
    for line in open(path):
        words = line.split("#")[0].split()
        if words and words[0] == ".i":
            inputs = int(words[1])
        elif words and not words[0].startswith("."):
            rows.append(words)
    tables = [set() for _ in rows[0][1]] if rows else []
    for point in range(1 << inputs):
        bits = [(point >> (inputs - 1 - i)) & 1 for i in range(inputs)]
        for part, result in rows:
            if all(l == "-" or int(l) == bit for l, bit in zip(part, bits)):
                for column, mark in enumerate(result):
                    if mark == "1":
                        tables[column].add(point)
    return tables


def recovered_functions(binary, folder, name):
    """The recovery file loaded as VHDL input and saved as PLA by a piped run: the
    points of each of its functions, in order."""
    subprocess.run([binary, name, "back.pla"], cwd=folder, input="9\n1\n15\n",
                   capture_output=True, text=True, timeout=60)
    path = os.path.join(folder, "back.pla")
    return pla_points(path) if os.path.exists(path) else None


def recovery_files(folder):
    return sorted(f for f in os.listdir(folder) if ".recovered" in f)


def end_session(session, ending):
    """Ctrl-D at the action menu when asked; the session then runs to its end."""
    if ending == "eof":
        session.expect(ACTION_CHOICE)
        session.wait_for_editor()
        session.child.sendeof()
    return session.finish()


# name, steps, ending, status, unsaved functions, the recovered functions (None: no file)
SLIPS = [
    ("Ctrl-D at Choice:", ADD_H, "eof", 1, 1, LOADED + [ADDED]),
    ("a word at Choice:", ADD_H + [("Choice:", "x")], None, 1, 1, LOADED + [ADDED]),
    ("two failed output paths",
     ADD_H + [("Choice:", "9"), ("Enter legal output file path :", "missing/adder.pla")], None, 2,
     1, LOADED + [ADDED]),
    ("Ctrl-D at a cofactor question", ADD_H + [("Choice:", "14")], "eof-here", 1, 3,
     LOADED + [ADDED]),
    ("negated, the added function saved", [("Choice:", "1")] + ADD_H + SAVE_ADDED, "eof", 1, 2,
     NEGATED + [ADDED_TO_NEGATED]),
    ("a save said Data NOT saved", ADD_H + SAVE_REFUSED, "eof", 2, 1, LOADED + [ADDED]),
    ("nothing changed", [("Choice:", "13")], "eof", 1, 0, None),
    ("all saved", ADD_H + SAVE_ALL, "eof", 1, 0, None),
    ("the added function saved", ADD_H + SAVE_ADDED, "eof", 1, 0, None),
    ("left by Exit", ADD_H + [("Choice:", "15")], None, 1, 0, None),
]


# What Exit leaves unsaved: (title, answers before Exit, the note or None).
EXIT_CASES = [
    ("an added function", ADD_H, "boolfn: 1 function not saved: h"),
    ("negated, then saved as BLIF", [("Choice:", "1"), ("Choice:", "11"), ("What to save:", "1")],
     None),
    ("negated, the added function saved",
     [("Choice:", "1")] + ADD_H + [("Choice:", "10"), ("How to save:", "2"),
                                   ("What to save:", "2")],
     "boolfn: 2 functions not saved: sum, cout"),
    ("nothing changed", [("Choice:", "13")], None),
]


def exit_names_unsaved_work(binary, folder):
    """Exit ends a session on purpose and keeps no recovery file, so it says which
    functions hold work no save wrote; a session with nothing unsaved ends quietly."""
    for title, answers, expected in EXIT_CASES:
        session = Session(binary, folder, ["full_adder.pla", "exit.blif"])
        for prompt, keys in answers:
            session.answer(prompt, keys)
        session.answer(ACTION_CHOICE, "15")
        check(session.finish() == 1, "Exit (%s): status 1" % title)
        notes = [line for line in screen_text(session.raw).splitlines()
                 if "not saved" in line]
        check(notes == ([expected] if expected else []), "Exit (%s): the note" % title,
              str(notes))


def save_in_another_notation_than_the_extension(binary, folder):
    """A BLIF saved to the out.pla of the command line is flagged; a save that
    matches its extension, or a path without one, is not."""
    session = Session(binary, folder, ["full_adder.pla", "out.pla"])
    session.answer(ACTION_CHOICE, "11")
    session.answer("What to save:", "1")
    session.expect("boolfn: out.pla holds BLIF, not the PLA its extension names\r\n")
    session.answer(ACTION_CHOICE, "9")
    session.answer("Enter legal output file path :", "right.pla")
    session.answer("What to save:", "1")
    session.answer(ACTION_CHOICE, "12")
    session.answer("Enter legal output file path :", "plain")
    session.answer("What to save:", "1")
    session.answer(ACTION_CHOICE, "15")
    session.finish()
    notes = [line for line in screen_text(session.raw).splitlines() if "extension" in line]
    check(len(notes) == 1, "extension notes: only the BLIF in out.pla", str(notes))


def slips_keep_unsaved_work(binary, folder):
    """A session at a terminal that ends by a slip with unsaved work writes every
    function to the recovery file, which loads back to the same functions (checked
    against the full adder computed here); the note on standard error names it.
    Without unsaved work, or after Exit, there is no file."""
    for name, steps, ending, status, unsaved, recovered in SLIPS:
        with tempfile.TemporaryDirectory() as scratch:
            shutil.copy(os.path.join(folder, "full_adder.pla"), scratch)
            session = Session(binary, scratch, ["full_adder.pla"])
            for prompt, keys in steps:
                session.answer(prompt, keys)
            if ending == "eof-here":
                session.expect("Enter output variable number:")
                session.wait_for_editor()
                session.child.sendeof()
            ended = end_session(session, ending)
            check(ended == status, "%s: status %s, wanted %s" % (name, ended, status))
            files = recovery_files(scratch)
            note = "boolfn: %d function%s not saved: 3 functions written as pseudo-VHDL to %s" % (
                unsaved, "" if unsaved == 1 else "s", RECOVERY_NAME)
            if recovered is None:
                check(files == [], "%s: no recovery file" % name, str(files))
                check("pseudo-VHDL to" not in session.raw, "%s: no recovery note" % name, session.raw)
                continue
            check(files == [RECOVERY_NAME], "%s: the recovery file beside the input" % name,
                  str(files))
            check(note + "\r\n" in session.raw, "%s: the note names it" % name, session.raw)
            back = recovered_functions(binary, scratch, RECOVERY_NAME)
            check(back == recovered, "%s: the recovered functions are the session's" % name,
                  "wanted %r\ngot %r" % (recovered, back))


def recovery_leaves_standard_output_as_it_is(binary, folder):
    """With standard output in a file, a slip writes the recovery file and standard
    output holds exactly the bytes of a piped run with the same answers, which
    writes no recovery file; the exit statuses agree."""
    endings = [("Ctrl-D", []), ("a word", ["x"]), ("two failed output paths", ["9", "nowhere/a.pla"])]
    for name, more in endings:
        with tempfile.TemporaryDirectory() as scratch:
            shutil.copy(os.path.join(folder, "full_adder.pla"), scratch)
            answers = ["8", "h <= sum and not cout;"] + more
            piped, piped_status = piped_run(binary, scratch, ["full_adder.pla"], answers)
            check(recovery_files(scratch) == [], "%s: a piped run writes no recovery file" % name)
            session = Session(binary, scratch, ["full_adder.pla"], stdout_file="conversation.txt")
            session.expect("boolfn: 3 inputs")
            for keys in answers:
                session.child.send(keys + "\r")
            if not more:
                session.child.sendeof()
            session.expect("written as pseudo-VHDL to " + RECOVERY_NAME)
            status = session.finish()
            shown = open(os.path.join(scratch, "conversation.txt")).read()
            check(shown == piped, "%s: standard output is the piped run's" % name,
                  "piped:\n%r\nshown:\n%r" % (piped, shown))
            check(status == piped_status, "%s: status %s, piped %s" % (name, status, piped_status))
            check(recovery_files(scratch) == [RECOVERY_NAME], "%s: the recovery file" % name)


def recovery_never_replaces_a_file(binary, folder):
    with open(os.path.join(folder, RECOVERY_NAME), "w") as kept:
        kept.write("kept\n")
    errors = os.path.join(folder, "errors.txt")
    session = Session(binary, folder, ["full_adder.pla"], stderr_file=errors)
    for prompt, keys in ADD_H:
        session.answer(prompt, keys)
    end_session(session, "eof")
    check(open(os.path.join(folder, RECOVERY_NAME)).read() == "kept\n",
          "recovery: an existing file is kept")
    check(recovery_files(folder) == sorted([RECOVERY_NAME, "full_adder.recovered-2.vhd"]),
          "recovery: the next free name", str(recovery_files(folder)))
    check(open(errors).read() == "", "recovery: no note when standard error is not a terminal")


def mode_of(path):
    return os.stat(path).st_mode & 0o7777


def as_root():
    return os.geteuid() == 0


NOBODY = 65534


def readable_by_another_user(path):
    """Whether an unprivileged user can read `path` (run as that user)."""
    return subprocess.run(["cat", path], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          preexec_fn=lambda: (os.setgid(NOBODY), os.setuid(NOBODY))).returncode == 0


def recovery_file_is_private(binary, folder):
    """The recovery file beside the input has mode 0600 whatever the umask, and
    another user cannot read it (as root only: the test switches users)."""
    os.chmod(folder, 0o755)
    session = Session(binary, folder, ["full_adder.pla"])
    for prompt, keys in ADD_H:
        session.answer(prompt, keys)
    end_session(session, "eof")
    path = os.path.join(folder, RECOVERY_NAME)
    check(mode_of(path) == 0o600, "private recovery file: mode %o" % mode_of(path))
    if as_root():
        check(not readable_by_another_user(path), "private recovery file: another user cannot read it")
    else:
        print("skipped: reading as another user needs root")


def plant_names(folder, stem):
    for number in range(1, 101):
        name = "%s.recovered%s.vhd" % (stem, "-%d" % number if number > 1 else "")
        with open(os.path.join(folder, name), "w") as planted:
            planted.write("planted\n")


def make_folder(path, mode, owner=None):
    os.makedirs(path, exist_ok=True)
    os.chmod(path, mode)
    if owner is not None:
        os.chown(path, owner, owner)


# name, the environment (relative paths lie in the test's folder), the set-up, where
# the file goes (a pattern relative to the folder; None: nowhere), whether root is needed
RECOVERY_FOLDERS = [
    ("the state folder", {"XDG_STATE_HOME": "state"}, lambda f: None,
     r"state/boolfn/fifo\.recovered\.vhd", False),
    ("the state folder open to the group: the runtime folder",
     {"XDG_STATE_HOME": "state", "XDG_RUNTIME_DIR": "run"},
     lambda f: (make_folder(os.path.join(f, "state/boolfn"), 0o770),
                make_folder(os.path.join(f, "run"), 0o700)),
     r"run/fifo\.recovered\.vhd", False),
    ("the state folder of another user: a random name in TMPDIR", {"XDG_STATE_HOME": "state"},
     lambda f: make_folder(os.path.join(f, "state/boolfn"), 0o700, NOBODY),
     r"tmp/fifo\.recovered-[A-Za-z0-9]{6}\.vhd", True),
    ("a runtime folder of another user, no state folder",
     {"XDG_STATE_HOME": "/proc/none", "XDG_RUNTIME_DIR": "run"},
     lambda f: make_folder(os.path.join(f, "run"), 0o700, NOBODY),
     r"tmp/fifo\.recovered-[A-Za-z0-9]{6}\.vhd", True),
    ("every numbered name planted in TMPDIR", {"XDG_STATE_HOME": "/proc/none"},
     lambda f: plant_names(os.path.join(f, "tmp"), "fifo"),
     r"tmp/fifo\.recovered-[A-Za-z0-9]{6}\.vhd", False),
    ("no folder takes it", {"XDG_STATE_HOME": "/proc/none", "TMPDIR": "/proc"}, lambda f: None,
     None, False),
]


def recovery_folders(binary, folder):
    """An input that is no regular file has no folder to write beside: the file goes
    to the user's state folder, else the runtime folder, when they are the user's
    own and closed to others, else under a random name to $TMPDIR, where names
    planted by others cannot stop it; when nothing can take it, the note says so."""
    adder = open(os.path.join(folder, "full_adder.pla")).read()
    for name, env, prepare, where, needs_root in RECOVERY_FOLDERS:
        if needs_root and not as_root():
            print("skipped %s: making a folder of another user needs root" % name)
            continue
        with tempfile.TemporaryDirectory() as scratch:
            make_folder(os.path.join(scratch, "tmp"), 0o1777)
            prepare(scratch)
            settings = {"TMPDIR": os.path.join(scratch, "tmp")}
            settings.update({key: value if value.startswith("/") else os.path.join(scratch, value)
                             for key, value in env.items()})
            fifo = os.path.join(scratch, "fifo.pla")
            os.mkfifo(fifo)
            feeder = threading.Thread(target=lambda: open(fifo, "w").write(adder))
            feeder.start()
            session = Session(binary, scratch, ["fifo.pla"], env=settings)
            for prompt, keys in ADD_H:
                session.answer(prompt, keys)
            end_session(session, "eof")
            feeder.join()
            os.unlink(fifo)
            check(not [f for f in os.listdir(scratch) if ".recovered" in f],
                  "%s: nothing beside the FIFO" % name)
            if where is None:
                check("1 function not saved; no recovery file could be written\r\n" in session.raw,
                      "%s: the note says nothing was written" % name, session.raw)
                continue
            found = re.search(r"written as pseudo-VHDL to (\S+)\r\n", session.raw)
            path = found.group(1) if found else ""
            check(re.fullmatch(re.escape(scratch + "/") + where, path) is not None,
                  "%s: the file and the note" % name, "%s\n%s" % (path, session.raw[-300:]))
            if not os.path.exists(path):
                continue
            check(mode_of(path) == 0o600, "%s: mode %o" % (name, mode_of(path)))
            back = recovered_functions(binary, scratch, path)
            check(back == LOADED + [ADDED], "%s: the recovered functions" % name, repr(back))
            if where.startswith("state/"):
                check(mode_of(os.path.dirname(path)) == 0o700, "%s: the folder made 0700" % name)


def recovery_name_swapped_for_a_link(binary, folder):
    """Another user who swaps the just-made recovery file for a link, in the input's
    folder, gets nothing written through the link: the program holds the file open
    from its creation. The swap comes in a pause that strace puts after the
    creating open."""
    victim = os.path.join(folder, "profile")
    with open(victim, "w") as kept:
        kept.write("kept\n")
    path = os.path.join(folder, RECOVERY_NAME)
    tracer = shutil.which("strace")
    traced = tracer is not None and subprocess.run(
        [tracer, "-o", "/dev/null", "true"], capture_output=True).returncode == 0
    if not traced:
        print("skipped: no strace that can trace here")
        return
    # The program names the file as the input's folder is named: here relatively.
    session = Session(tracer, folder, ["-f", "-o", "/dev/null", "-P", path, "-P", RECOVERY_NAME,
                                       "-e", "inject=openat:delay_exit=1500000", binary,
                                       "full_adder.pla"])
    for prompt, keys in ADD_H:
        session.answer(prompt, keys)
    session.expect(ACTION_CHOICE)
    session.wait_for_editor()
    session.child.sendeof()
    for _ in range(1000):
        if os.path.lexists(path):
            break
        time.sleep(0.005)
    swapped = os.path.join(folder, "swap")
    os.symlink(victim, swapped)
    os.rename(swapped, path)
    session.finish()
    check(open(victim).read() == "kept\n", "swapped name: nothing written through the link",
          open(victim).read()[:300])


# ---------------------------------------------------------------- history file

def history_file_between_sessions(binary, folder):
    """With BOOLFN_HISTORY=1 a second session recalls a line of the first with the
    Up arrow; the file lies under the state folder. Off, nothing is written."""
    state, home = os.path.join(folder, "state"), os.path.join(folder, "home")
    cases = [
        ("on, XDG_STATE_HOME", {"BOOLFN_HISTORY": "1", "XDG_STATE_HOME": state, "HOME": home},
         "state/boolfn/history"),
        ("on, HOME", {"BOOLFN_HISTORY": "1", "XDG_STATE_HOME": None, "HOME": home},
         "home/.local/state/boolfn/history"),
        ("off", {"XDG_STATE_HOME": state, "HOME": home}, None),
        ("0 is off", {"BOOLFN_HISTORY": "0", "XDG_STATE_HOME": state, "HOME": home}, None),
    ]
    for name, env, path in cases:
        for made in (state, home):
            shutil.rmtree(made, ignore_errors=True)
        first = Session(binary, folder, ["full_adder.pla"], env=env)
        first.answer("Choice:", "13")
        first.expect("Absorption disabled")
        first.answer("Choice:", "15")
        first.finish()
        second = Session(binary, folder, ["full_adder.pla"], env=env)
        second.answer("Choice:", UP + UP)
        if path:
            second.expect("Absorption disabled")
        second.answer("Choice:" if path else "", "15")
        second.finish()
        written = [os.path.join(top, f) for made in (state, home)
                   for top, _, found in os.walk(made) for f in found]
        if path is None:
            check(written == [], "history %s: nothing written" % name, str(written))
            check("Absorption disabled" not in second.raw, "history %s: nothing recalled" % name)
            continue
        check(written == [os.path.join(folder, path)], "history %s: the file" % name, str(written))
        lines = open(os.path.join(folder, path)).read().split("\n") if written else []
        check("13" in lines and "15" in lines, "history %s: the typed lines" % name, str(lines))


HISTORY_HEADER = "_HiStOrY_V2_\n"


def history_file_is_appended_and_bounded(binary, folder):
    """Each line typed is appended: the file keeps its bytes and its inode and grows
    by the line. A file past twice the history size, or with a line too long, is
    cut once as the session starts to the latest 500 lines that fit, and the Up
    arrow still recalls the last of them."""
    state = os.path.join(folder, "state")
    path = os.path.join(state, "boolfn", "history")
    env = {"BOOLFN_HISTORY": "1", "XDG_STATE_HOME": state}
    numbers = ["%d" % (n % 7 + 2) for n in range(1500)]
    cases = [("appended", ["10", "2"], False),
             ("bounded", numbers + ["a" * 200000, "13"], True)]
    for name, old_lines, bounded in cases:
        os.makedirs(os.path.dirname(path), exist_ok=True)
        old = HISTORY_HEADER + "".join(line + "\n" for line in old_lines)
        with open(path, "w") as history:
            history.write(old)
        # A file rewritten under a temporary name and renamed over this one would
        # leave this descriptor on the old file, which would not grow.
        held = open(path)
        session = Session(binary, folder, ["full_adder.pla"], env=env)
        session.answer(ACTION_CHOICE, UP if bounded else "13")
        session.expect("Absorption disabled")
        session.answer(ACTION_CHOICE, "15")
        session.finish()
        now = open(path).read()
        if not bounded:
            check(now == old + "13\n15\n", "history %s: the lines added at the end" % name, now)
            check(held.read() == now, "history %s: the same file, grown" % name)
            held.close()
            continue
        held.close()
        lines = now.split("\n")[1:-1]
        kept = [line for line in old_lines if len(line) <= 16384][-500:]
        check(lines == kept + ["13", "15"], "history %s: the latest lines that fit, then the "
              "new ones" % name, "%d lines, last %r" % (len(lines), lines[-4:]))


def run_cases(cases, prepare=lambda folder: None):
    """Runs each case on the binary of the command line, in a folder of its own with
    the full adder and what `prepare` writes; answers the exit status."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--examples", required=True)
    options = parser.parse_args()
    binary = os.path.abspath(options.binary)
    for case in cases:
        # A case whose session stalls runs once more from a fresh folder, and only a
        # second stall fails it: the sanitizer build on a busy machine has missed a
        # turn once, which no rerun alone or under load repeated. A program that
        # hangs hangs both times.
        for attempt in (1, 2):
            recorded = len(failures)
            with tempfile.TemporaryDirectory() as folder:
                shutil.copy(os.path.join(options.examples, "full_adder.pla"), folder)
                prepare(folder)
                try:
                    case(binary, folder)
                    break
                except (pexpect.TIMEOUT, pexpect.EOF) as error:
                    del failures[recorded:]
                    if attempt == 2:
                        check(False, case.__name__ + ": the session stalled twice", str(error)[:2000])
                    else:
                        print("note: %s stalled; running it again" % case.__name__, file=sys.stderr)
    for failure in failures:
        print("\n" + failure, file=sys.stderr)
    print("%d cases, %d failures" % (len(cases), len(failures)))
    return 1 if failures else 0


def main():
    return run_cases([clean_session_matches_piped_run, up_arrow_recalls_last_answer,
                      cursor_keys_edit_a_statement, tab_completes_path_and_name,
                      orientation_notes, long_lists_are_cut, no_orientation_without_terminal,
                      prompt_endings_keep_todays_behaviour, save_to_a_device_is_not_read_back,
                      lost_saves_get_no_save_note, slips_keep_unsaved_work,
                      recovery_leaves_standard_output_as_it_is, recovery_never_replaces_a_file,
                      recovery_file_is_private, recovery_folders,
                      recovery_name_swapped_for_a_link, history_file_between_sessions,
                      history_file_is_appended_and_bounded, exit_names_unsaved_work,
                      save_in_another_notation_than_the_extension])


if __name__ == "__main__":
    sys.exit(main())
