// The memory benchmark's bar for a DIMACS load: CaDiCaL reading a file into its
// clause database and stopping there. Prints the variable count it read.
//
// Usage: cadical_parse FILE.cnf
#include <cadical.hpp>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: cadical_parse FILE.cnf\n");
        return 2;
    }
    CaDiCaL::Solver solver;
    solver.set("quiet", 1);
    int variables = 0;
    const char* error = solver.read_dimacs(argv[1], variables, 1);
    if (error != nullptr) {
        std::fprintf(stderr, "cadical_parse: %s\n", error);
        return 1;
    }
    std::printf("%d variables\n", variables);
    return 0;
}
