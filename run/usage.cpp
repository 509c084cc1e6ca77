// Kept as one literal so that the help reads in the source as it prints.
#include "run/usage.h"

std::string_view usageText() {
    return R"(Usage: boolfn-run [OPTIONS] INPUT
Loads the Boolean functions of INPUT (a path, or - for standard input), applies
the actions given, and writes the result (PLA unless told otherwise).

  -f, --from NOTATION          pla, vhdl, dimacs or blif, the notation of INPUT (default:
                               from .pla, .vhd/.vhdl, .cnf/.dimacs, .blif)
  -o, --output PATH            write the result to PATH (default -, standard output)
  -t, --to NOTATION            pla, pseudo-vhdl, vhdl, blif (a gate per operator), sop-blif
                               (a gate per function, its DNF rows) or dimacs (default: from
                               the output's extension .pla, .vhd, .vhdl, .blif, .cnf; pla without
                               one; another extension needs --to)
  -a, --add STATEMENT          add a function, as "Add function" does (repeatable)
  -s, --script FILE            add every function of a script, as batch mode does
  -d, --do ACTION[,ACTION...]  apply in order: negate, and-or-not, cnf, dnf, nand, nor,
                               cofactor:FUNCTION:INPUT=0|1, absorption=off|on,
                               minimize (an irredundant sum of prime implicants),
                               minimize=exact (fewest terms, then fewest literals)
      --added                  write only the added functions
      --sat                    print satisfiability as SAT solvers do (s and v lines; for a
                               DIMACS input one verdict, else one per function); exit 10
                               when all are satisfiable, 20 when one is not
      --verify                 prove by SAT that the written result is what the job gives
      --equiv OTHER            prove each function equal to OTHER's (any notation), or print
                               an input point where they differ; exit 1 on a difference
      --stats[=tsv]            print per function its inputs, terms, literals, nodes and
                               depth, and a total (tsv: a tab-separated table)
      --partial                write the result even when the input had errors (what was
                               read before them)
      --keep-names             write input and output names where the notation drops them
      --tseitin                write DIMACS as a linear-size encoding of the functions as
                               they stand (inputs 1..n, auxiliary variables after them)
      --lenient                read the benchmark dialects (<>[] in PLA labels, 2 as an
                               unused input, .end, the SATLIB % trailer)
      --dont-cares             keep a PLA file's don't-cares (.type fd "-", fr and fdr
                               points outside the ON- and OFF-set) for minimize
      --exact-limit N          stop minimize=exact past N prime implicants or N rows of
                               its covering problem (default 200000)
      --exact-branches N       stop minimize=exact past N branches of its covering
                               searches, all functions together (default 2000000)
      --shared-rows            write a minimized PLA with each input part on one row,
                               its output bits set for every function holding it
      --workers N              compute the functions on N threads (default: BOOLFN_WORKERS,
                               else one per processor thread; 1 computes them one by one)
      --max-memory SIZE        end the job, nothing written, when it would take more than
                               SIZE of memory (bytes, or K, M, G, T: 512M, 2G; default:
                               what the machine can give)
  -v, --verbose                report each step, the functions, inputs and terms it left,
                               and its time on standard error
  -q, --quiet                  print no messages (the exit status still tells)
  -h, --help                   print this help and exit
      --version                print the version and exit

At a terminal a long step shows its progress on standard error. Ctrl-C ends the
job at once, writes nothing and says so; the shell reports status 130.

Exit status: 0 done; 1 the input or a statement had errors, or a write failed;
2 usage error, a file that cannot be opened, or a fatal stop (out of memory, or
past --max-memory); 3 --verify found a difference; 10/20 for --sat.
)";
}

std::string_view versionText() {
    return "boolfn-run 1.0\n";
}
