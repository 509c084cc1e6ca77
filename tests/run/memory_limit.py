#!/usr/bin/env python3
"""--max-memory: a job that would pass the limit ends with one message, status 2,
nothing on standard output and no output or temporary file; a job within it writes
exactly what it writes without one. Under a range of limits the same job stops
wherever the limit bites (the reader, the engine, the SAT solver, a writer) and
every run either gives the unlimited result or that stop, never a crash.
"""
import argparse
import os
import random
import subprocess
import sys
import tempfile

failures = []


def check(condition, what, detail=""):
    if not condition:
        failures.append(what + ("\n" + detail if detail else ""))
        print("FAIL " + what, file=sys.stderr)


def stop_line(size):
    return "boolfn-run: the job needs more memory than --max-memory %s allows; nothing written\n" % size


def run(binary, folder, arguments):
    result = subprocess.run([binary] + arguments, cwd=folder, capture_output=True, timeout=300)
    return result.returncode, result.stdout, result.stderr.decode()


def leftovers(folder, names):
    return sorted(name for name in os.listdir(folder) if name.startswith(".") or name in names)


def write_inputs(folder):
    with open(os.path.join(folder, "xors.vhd"), "w") as xors:
        xors.write("f <= a0" + "".join(" xor a%d" % i for i in range(1, 41)) + ";\n")
    # A satisfiable random 3-CNF, large enough that loading and solving both take memory.
    rng = random.Random(25)
    variables, clauses = 20000, 60000
    model = [rng.random() < 0.5 for _ in range(variables + 1)]
    with open(os.path.join(folder, "big.cnf"), "w") as cnf:
        cnf.write("p cnf %d %d\n" % (variables, clauses))
        for _ in range(clauses):
            picked = rng.sample(range(1, variables + 1), 3)
            literals = [v if rng.random() < 0.5 else -v for v in picked]
            if not any((l > 0) == model[abs(l)] for l in literals):
                literals[0] = -literals[0]
            cnf.write(" ".join(map(str, literals)) + " 0\n")


def limit_stops_the_job(binary, folder):
    for title, arguments in [("to a file", ["xors.vhd", "-d", "and-or-not", "-o", "out.pla"]),
                             ("to standard output", ["xors.vhd", "-d", "and-or-not"])]:
        for size in ["200M", "204800k"]:
            status, out, errors = run(binary, folder, ["--max-memory", size] + arguments)
            check(status == 2, "%s, %s: status 2 (%s)" % (title, size, status))
            check(errors == stop_line(size), "%s, %s: the stop line" % (title, size), errors[:500])
            check(out == b"", "%s, %s: nothing on standard output" % (title, size))
            check(leftovers(folder, ["out.pla"]) == [], "%s, %s: no file left" % (title, size),
                  str(leftovers(folder, ["out.pla"])))


def job_within_the_limit_is_unchanged(binary, folder):
    for arguments in [["big.cnf", "-t", "blif"], ["xors.vhd", "-d", "negate", "-t", "blif"]]:
        free = run(binary, folder, arguments)
        limited = run(binary, folder, ["--max-memory", "2G"] + arguments)
        check(free[0] == 0 and limited == free, "within 2G: %s is unchanged" % " ".join(arguments),
              "%s %s" % (limited[0], limited[2][:300]))


def every_limit_stops_cleanly(binary, folder):
    for arguments, output in [(["--sat", "big.cnf"], None),
                              (["big.cnf", "-d", "nand", "-o", "out.blif"], "out.blif")]:
        free = run(binary, folder, arguments)
        if output is not None:
            with open(os.path.join(folder, output), "rb") as file:
                free = (free[0], file.read(), free[2])
            os.remove(os.path.join(folder, output))
        stops = 0
        for megabytes in [1, 4, 8, 16, 24, 32, 48, 64, 96, 128, 256, 1024]:
            size = "%dM" % megabytes
            status, out, errors = run(binary, folder, ["--max-memory", size] + arguments)
            if status == 2:
                stops += 1
                check(errors == stop_line(size) and out == b"",
                      "%s at %s: the stop line alone" % (arguments[0], size), errors[:300])
                check(leftovers(folder, [output]) == [], "%s at %s: no file left" % (arguments[0], size))
                continue
            if output is not None:
                with open(os.path.join(folder, output), "rb") as file:
                    out = file.read()
                os.remove(os.path.join(folder, output))
            check((status, out, errors) == free,
                  "%s at %s: the result without a limit (%s)" % (arguments[0], size, status), errors[:300])
        check(0 < stops < 12, "%s: some limits stop the job, the largest does not (%d stops)"
              % (arguments[0], stops))


def lowest_limit_giving(binary, folder, arguments, wanted, stdin_path=None):
    """The smallest limit of a ladder (steps of about 1.19x) under which the run
    ends with `wanted`, and what it wrote to standard error there."""
    megabytes = 4.0
    while megabytes < 4096:
        size = "%dM" % round(megabytes)
        stdin = open(os.path.join(folder, stdin_path), "rb") if stdin_path else None
        try:
            result = subprocess.run([binary, "--max-memory", size] + arguments, cwd=folder,
                                    stdin=stdin, capture_output=True, timeout=300)
        finally:
            if stdin:
                stdin.close()
        if result.returncode == wanted:
            return megabytes, result.stderr.decode()
        megabytes *= 2 ** 0.25
    return None, ""


def lenient_retry_needs_no_second_table(binary, folder):
    # A large PLA whose only fault is the benchmark dialect's .end: the plain read
    # gives status 1, and a second read tells that --lenient reads it. That read must
    # fit in the room of the first, not beside the functions the first one loaded.
    rng = random.Random(7)
    with open(os.path.join(folder, "dialect.pla"), "w") as pla:
        pla.write(".i 30\n.o 1\n")
        for _ in range(150000):
            pla.write("".join(rng.choice("01-") for _ in range(30)) + " 1\n")
        pla.write(".end\n")
    # Standard input is not read twice, so this limit holds the load alone.
    alone, _ = lowest_limit_giving(binary, folder, ["-f", "pla", "-"], 1, "dialect.pla")
    retried, errors = lowest_limit_giving(binary, folder, ["dialect.pla"], 1)
    check(alone is not None and retried is not None, "dialect.pla: some limit lets both runs end")
    if alone is None or retried is None:
        return
    check("--lenient reads 'dialect.pla' without errors" in errors,
          "dialect.pla: the --lenient line under the lowest limit", errors[-300:])
    check(retried <= alone * 1.2 + 1,
          "dialect.pla: the second read takes the room of the first (%.0fM alone, %.0fM with it)"
          % (alone, retried))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--run", required=True)
    binary = os.path.abspath(parser.parse_args().run)
    cases = [limit_stops_the_job, job_within_the_limit_is_unchanged, every_limit_stops_cleanly,
             lenient_retry_needs_no_second_table]
    for case in cases:
        with tempfile.TemporaryDirectory() as folder:
            write_inputs(folder)
            case(binary, folder)
    for failure in failures:
        print("\n" + failure, file=sys.stderr)
    print("%d cases, %d failures" % (len(cases), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
