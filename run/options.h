// The command line of boolfn-run, taken apart into what the job should do. Parsing
// only reads the words: names of functions and inputs, and whether files exist, are
// for the job to find out once the input is loaded.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "actions/vocabulary.h"

// One step of --do, in the order given.
struct JobStep {
    enum class Kind { negate, andOrNot, cnf, dnf, nand, nor, cofactor, absorption, minimize };
    Kind kind = Kind::negate;
    std::string function;   // cofactor: a function's name or 0-based number
    std::string input;      // cofactor: an input's name or 0-based number
    bool value = false;     // cofactor: the input's value; absorption: on; minimize: exact
    uint64_t limit = 0;     // minimize=exact: --exact-limit
    uint64_t branches = 0;  // minimize=exact: --exact-branches
};

// One -a statement or -s script, in the order given.
struct Addition {
    bool isScript = false;
    std::string text;  // the statement, or the script's path
};

struct RunOptions {
    std::string inputPath;  // "-" for standard input
    std::optional<InputNotation> from;
    std::string outputPath = "-";  // "-" for standard output
    bool outputGiven = false;
    std::optional<OutputNotation> to;
    std::vector<Addition> additions;
    std::vector<JobStep> steps;
    bool addedOnly = false;
    bool satisfiability = false;
    bool verify = false;
    bool keepNames = false;
    bool partial = false;  // write the result even after reader errors
    bool tseitin = false;  // DIMACS as the linear-size encoding of the formulas
    bool statistics = false;
    bool statisticsTabSeparated = false;  // --stats=tsv
    std::string equivalentTo;             // --equiv: the other input, or empty
    bool lenient = false;
    bool dontCares = false;
    uint64_t exactLimit = 200000;      // --exact-limit, for minimize=exact
    uint64_t exactBranches = 2000000;  // --exact-branches, for minimize=exact
    bool sharedRows = false;           // --shared-rows: a minimized PLA's rows per input part
    int workers = 0;                   // --workers: threads that compute; 0 leaves the default
    uint64_t maxMemory = 0;            // --max-memory in bytes; 0: what the machine can give
    std::string maxMemoryText;         // --max-memory as written, for the stop's message
    bool verbose = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
};

// The options, or the usage error that stopped the parse.
struct ParsedCommandLine {
    RunOptions options;
    std::string usageError;  // empty when the command line is good
};

// Parses the arguments after the program name.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The notation of the input: --from, else the path's extension; none for "-" or an
// unknown extension.
std::optional<InputNotation> inputNotationOf(const RunOptions& options);
// The notation of the other input of --equiv: its extension, else --from.
std::optional<InputNotation> otherInputNotationOf(const RunOptions& options);
// The notation of the output: --to, else the path's extension, else PLA.
OutputNotation outputNotationOf(const RunOptions& options);
