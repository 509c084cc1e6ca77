#!/usr/bin/env python3
"""The generated inputs of the memory benchmark, the same bytes on every run (fixed
seeds):

- a random PLA of ROWS rows over 32 inputs and one output, each input column 0, 1
  or "-" with equal chance, the output 1 in every row;
- a random 3-CNF of CLAUSES clauses over VARIABLES variables, each clause three
  distinct variables, each negated with chance one half.

Usage: memory_inputs.py pla ROWS PATH
       memory_inputs.py cnf CLAUSES VARIABLES PATH
"""

import random
import sys

PLA_SEED = 25
CNF_SEED = 26


def write_pla(rows, path):
    generator = random.Random(PLA_SEED)
    columns = "01-"
    with open(path, "w") as out:
        out.write(".i 32\n.o 1\n.p %d\n" % rows)
        for _ in range(rows):
            out.write("".join(generator.choice(columns) for _ in range(32)) + " 1\n")
        out.write(".e\n")


def write_cnf(clauses, variables, path):
    generator = random.Random(CNF_SEED)
    with open(path, "w") as out:
        out.write("p cnf %d %d\n" % (variables, clauses))
        for _ in range(clauses):
            chosen = generator.sample(range(1, variables + 1), 3)
            out.write(" ".join(str(v if generator.random() < 0.5 else -v) for v in chosen)
                      + " 0\n")


def main(arguments):
    if len(arguments) == 3 and arguments[0] == "pla":
        write_pla(int(arguments[1]), arguments[2])
    elif len(arguments) == 4 and arguments[0] == "cnf":
        write_cnf(int(arguments[1]), int(arguments[2]), arguments[3])
    else:
        sys.stderr.write(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
