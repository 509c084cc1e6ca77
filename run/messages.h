// boolfn-run's own messages: one line each on standard error, "boolfn-run: " first.
// The readers' and writers' messages reach standard error through the console's
// settings (base/console.h); these are the front end's. Each message first erases
// a progress line that is shown.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class ActionWatch;

// A message shown unless --quiet.
void reportMessage(std::string_view text);
// A reader's message for a place in a file, "SOURCE:LINE:COLUMN: TEXT", unless --quiet.
void reportAtPlace(std::string_view source, int64_t line, int64_t column, std::string_view text);
// A usage error: the message and a hint at --help, shown even with --quiet.
void reportUsageError(std::string_view text);

// How the job reports its steps: a line per finished step (--verbose), and the
// progress line at a terminal.
struct StepReporting {
    bool verbose = false;
    bool progress = false;  // standard error is a terminal and the job is not --quiet
};

// Reports one step of the job. With --verbose, when the step is done:
// "boolfn-run: STEP: COUNTS, 0.012 s", the counts (what `counts` answers, e.g. "2
// functions, 3 inputs, 7 terms") left out when `counts` is empty. With the progress
// line, a long step shows "boolfn-run: STEP: " and the menu's progress after it,
// erased when the step ends.
class StepTimer {
  public:
    StepTimer(const StepReporting& reporting, std::string_view step,
              std::function<std::string()> counts = {});
    ~StepTimer();
    StepTimer(const StepTimer&) = delete;
    StepTimer& operator=(const StepTimer&) = delete;

  private:
    bool shown;
    std::string name;
    std::function<std::string()> counted;
    std::chrono::steady_clock::time_point start;
    std::unique_ptr<ActionWatch> watch;
};
