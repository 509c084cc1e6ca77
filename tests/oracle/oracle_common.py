"""Shared pieces of the oracle checks: running boolfn through a scripted console,
making random CNF and PLA files, and asking independent tools (a SAT solver, ABC)
about the files boolfn writes.

The tools are oracles of truth, never of text: they decide satisfiability and
equivalence, so a check cannot pass by agreeing with boolfn's own output.
"""

import argparse
import os
import random
import resource
import shutil
import subprocess
import tempfile

# CTest reads this exit status as "skipped" (SKIP_RETURN_CODE).
SKIPPED = 77


def find_tool(*names):
    """The path of the first of the named programs on PATH, or None."""
    for name in names:
        path = shutil.which(name)
        if path:
            return path
    return None


class Run:
    """One run of boolfn: its exit status, console output and the files it wrote."""

    def __init__(self, status, stdout, timed_out, folder):
        self.status = status
        self.stdout = stdout
        self.timed_out = timed_out
        self.folder = folder

    def read(self, name):
        path = os.path.join(self.folder, name)
        if not os.path.exists(path):
            return None
        with open(path, "rb") as handle:
            return handle.read().decode("latin-1")


def run_boolfn(binary, folder, args, answers, timeout=60):
    """Runs boolfn in `folder` with the arguments and the console answers (a list of
    lines). A run that outlives `timeout` seconds is stopped and marked."""
    stdin = "".join(str(answer) + "\n" for answer in answers).encode()
    try:
        done = subprocess.run([os.path.abspath(binary)] + list(args), cwd=folder, input=stdin,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout)
        return Run(done.returncode, done.stdout.decode("latin-1"), False, folder)
    except subprocess.TimeoutExpired:
        return Run(None, "", True, folder)


def scratch():
    """A scratch folder for one run, removed with everything in it afterwards."""
    return tempfile.TemporaryDirectory(prefix="boolfn-oracle-")


# ---------------------------------------------------------------- CNF text

def format_cnf(variables, clauses):
    lines = ["p cnf %d %d" % (variables, len(clauses))]
    lines += [" ".join(str(literal) for literal in clause + [0]) for clause in clauses]
    return "\n".join(lines) + "\n"


def parse_cnf(text):
    """(variable count, clauses) of a DIMACS text as a SAT solver reads it: comment
    lines skipped, a SATLIB "%" line ends the formula."""
    variables = 0
    clauses = []
    current = []
    for line in text.replace("\r", "").split("\n"):
        stripped = line.strip()
        if stripped.startswith("%"):
            break
        if not stripped or stripped.startswith("c"):
            continue
        if stripped.startswith("p"):
            variables = int(stripped.split()[2])
            continue
        for word in stripped.split():
            literal = int(word)
            if literal == 0:
                clauses.append(current)
                current = []
            else:
                current.append(literal)
    return variables, clauses


def random_cnf(rng, max_variables=6, max_clauses=8, max_width=4):
    """A small random CNF; now and then one with no clause or with an empty clause."""
    variables = rng.randint(1, max_variables)
    count = rng.randint(0, max_clauses)
    clauses = []
    for _ in range(count):
        width = rng.randint(1, max_width)
        clauses.append([rng.choice((-1, 1)) * rng.randint(1, variables) for _ in range(width)])
    if count and rng.random() < 0.05:
        clauses.insert(rng.randrange(len(clauses) + 1), [])
    return variables, clauses


def random_pla(rng, max_inputs=6, max_outputs=3, max_rows=10):
    inputs = rng.randint(1, max_inputs)
    outputs = rng.randint(1, max_outputs)
    rows = []
    for _ in range(rng.randint(1, max_rows)):
        part = "".join(rng.choice("01-") for _ in range(inputs))
        result = "".join(rng.choice("01") for _ in range(outputs))
        rows.append(part + " " + result)
    return ".i %d\n.o %d\n%s\n.e\n" % (inputs, outputs, "\n".join(rows))


# ---------------------------------------------------------------- SAT solver

class Solver:
    """A DIMACS SAT solver run as a program: exit status 10 is satisfiable, 20 not."""

    def __init__(self, path):
        self.path = path

    def satisfiable(self, variables, clauses, timeout=None):
        """True, False, or None when the solver gave no answer in time."""
        with tempfile.NamedTemporaryFile("w", suffix=".cnf", delete=False) as handle:
            handle.write(format_cnf(variables, clauses))
            name = handle.name
        try:
            done = subprocess.run([self.path, name], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL, timeout=timeout)
        except subprocess.TimeoutExpired:
            return None
        finally:
            os.unlink(name)
        if done.returncode == 10:
            return True
        if done.returncode == 20:
            return False
        raise RuntimeError("%s ended with status %d" % (self.path, done.returncode))

    def implies(self, variables, clauses, clause, timeout=None):
        """Whether the formula implies the clause: formula and not clause is
        unsatisfiable."""
        negated = [[-literal] for literal in clause]
        answer = self.satisfiable(variables, clauses + negated, timeout)
        return None if answer is None else not answer

    def implies_all(self, variables, clauses, implied, timeout=None):
        """Whether the formula implies every one of the `implied` clauses, in one
        solver call: the formula together with "some implied clause is false"
        (a fresh variable per clause forcing its literals false) is unsatisfiable."""
        if not implied:
            return True
        top = variables
        some_false = []
        extra = []
        for clause in implied:
            top += 1
            some_false.append(top)
            extra += [[-top, -literal] for literal in clause]
        answer = self.satisfiable(top, clauses + extra + [some_false], timeout)
        return None if answer is None else not answer

    def equivalent(self, variables, first, second, timeout=None):
        """Whether two CNFs are equivalent: every clause of each is implied by the
        other. A clause that the other formula holds as well needs no proof."""
        for formula, other in ((first, second), (second, first)):
            held = {frozenset(clause) for clause in other}
            missing = [clause for clause in formula if frozenset(clause) not in held]
            answer = self.implies_all(variables, other, missing, timeout)
            if not answer:
                return answer
        return True


def find_solver():
    path = find_tool("picosat", "minisat", "cadical")
    return Solver(path) if path else None


# ---------------------------------------------------------------- ABC

def find_abc():
    return find_tool("berkeley-abc", "abc")


def unlimited_stack():
    """ABC walks networks recursively; the gates of a CNF of many clauses form a
    chain as deep as the clause count, which needs more than the default stack."""
    _, hard = resource.getrlimit(resource.RLIMIT_STACK)
    resource.setrlimit(resource.RLIMIT_STACK, (hard, hard))


def run_abc(abc, command, timeout):
    done = subprocess.run([abc, "-c", command], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          timeout=timeout, preexec_fn=unlimited_stack)
    text = done.stdout.decode("latin-1")
    if done.returncode != 0:
        text += "\nABC ended with status %d" % done.returncode
    return text


def abc_cec(abc, first, second, timeout=300):
    """(verdict, text): verdict True when ABC proves the two files' networks
    equivalent, matching inputs and outputs by order, False when it finds a
    difference or cannot read a file, None when it runs out of time."""
    try:
        text = run_abc(abc, "cec -n %s %s" % (first, second), timeout)
    except subprocess.TimeoutExpired:
        return None, "timeout"
    failed = ("NOT EQUIVALENT" in text or "failed" in text or "rror" in text
              or "Cannot" in text or "ended with status" in text)
    return ("equivalent" in text and not failed), text


def pla_to_blif(text):
    """A PLA file (as boolfn writes it: type fd, a "1" in the output part puts the row
    in that output's cover) as a BLIF model with inputs i0.. and outputs o0..
    ABC reads PLA files itself, but drops every input of a file without rows, so
    the cover is handed over in BLIF, which keeps the input count."""
    inputs = outputs = 0
    rows = []
    for line in text.replace("\r", "").split("\n"):
        words = line.split("#")[0].split()
        if not words:
            continue
        if words[0] == ".i":
            inputs = int(words[1])
        elif words[0] == ".o":
            outputs = int(words[1])
        elif not words[0].startswith("."):
            rows.append(words)
    lines = [".model pla", ".inputs" + "".join(" i%d" % i for i in range(inputs)),
             ".outputs" + "".join(" o%d" % j for j in range(outputs))]
    for j in range(outputs):
        cover = []
        for row in rows:
            part, result = (row[0], row[1]) if inputs else ("", row[0])
            if result[j] == "1":
                cover.append((part + " 1").strip())
        # ABC takes a gate with inputs but no row for a malformed cover, so an
        # empty cover is written as the constant 0 without inputs.
        fanins = "".join(" i%d" % i for i in range(inputs)) if cover else ""
        lines.append(".names" + fanins + " o%d" % j)
        lines += cover
    lines.append(".end")
    return "\n".join(lines) + "\n"


def cnf_to_blif(variables, clauses):
    """The CNF formula as a BLIF model built here, independently of boolfn: inputs
    x0.., one or-gate per clause, and the output y0 as the and of all clauses."""
    lines = [".model cnf", ".inputs" + "".join(" x%d" % i for i in range(variables)), ".outputs y0"]
    for number, clause in enumerate(clauses):
        signs = {}
        for literal in clause:
            signs.setdefault(abs(literal), set()).add(literal > 0)
        if any(len(both) == 2 for both in signs.values()):
            lines += [".names c%d" % number, "1"]  # a clause with l and not l is true
            continue
        order = sorted(signs)
        lines.append(" ".join([".names"] + ["x%d" % (v - 1) for v in order] + ["c%d" % number]))
        for position, variable in enumerate(order):
            row = ["-"] * len(order)
            row[position] = "1" if True in signs[variable] else "0"
            lines.append("".join(row) + " 1")
    if clauses:
        lines.append(".names %s y0" % " ".join("c%d" % n for n in range(len(clauses))))
        lines.append("1" * len(clauses) + " 1")
    else:
        lines += [".names y0", "1"]
    lines.append(".end")
    return "\n".join(lines) + "\n"


def seeded(seed):
    return random.Random(seed)


def random_check_setup(description, program, count, seed):
    """The command line of a check on random files (`--PROGRAM`, `--count`, `--seed`),
    the SAT solver and the seeded generator; None, after saying why, when no solver
    is installed (the check then exits with SKIPPED)."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--" + program, required=True)
    parser.add_argument("--count", type=int, default=count)
    parser.add_argument("--seed", type=int, default=seed)
    options = parser.parse_args()
    solver = find_solver()
    if solver is None:
        print("SKIPPED: no SAT solver (picosat, minisat or cadical) on PATH")
        return None
    return options, solver, seeded(options.seed)
