// One run of boolfn-run: the command line, then the job it describes, from loading
// the input to the exit status.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/standard_streams.h"

struct RunOptions;

// The exit statuses; --sat's are those of SAT solvers.
constexpr int statusDone = 0;
constexpr int statusInputErrors =
    1;                               // reader errors in the input or a statement, or a failed write
constexpr int statusUsage = 2;       // a usage error or a fatal stop
constexpr int statusDifference = 3;  // --verify found a difference
constexpr int statusSatisfiable = 10;
constexpr int statusUnsatisfiable = 20;

// Places where a test may reach into the job; the program itself sets none.
struct JobHooks {
    std::function<void()> beforeWrite;  // after the steps, before the result is written
};

// Parses the arguments after the program name and runs the job, or prints the help,
// the version or the usage error. Answers the exit status. `closed` tells which
// standard descriptors the process started without: a result for a closed
// standard output is a failed write.
int runCommandLine(const std::vector<std::string>& arguments,
                   const ClosedStandardStreams& closed = {}, const JobHooks& hooks = {});

// Runs the job of valid options; answers the exit status.
int runJob(const RunOptions& options, const ClosedStandardStreams& closed = {},
           const JobHooks& hooks = {});
