// boolfn-run's own messages: one line each on standard error, "boolfn-run: " first.
// The readers' and writers' messages reach standard error through the console's
// settings (base/console.h); these are the front end's.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

// A message shown unless --quiet.
void reportMessage(std::string_view text);
// A reader's message for a place in a file, "SOURCE:LINE: TEXT", unless --quiet.
void reportAtLine(std::string_view source, int64_t line, std::string_view text);
// A usage error: the message and a hint at --help, shown even with --quiet.
void reportUsageError(std::string_view text);

// Times one step of the job for --verbose: "boolfn-run: STEP: 0.012 s" when done.
class StepTimer {
  public:
    StepTimer(bool verbose, std::string_view step);
    ~StepTimer();
    StepTimer(const StepTimer&) = delete;
    StepTimer& operator=(const StepTimer&) = delete;

  private:
    bool shown;
    std::string name;
    std::chrono::steady_clock::time_point start;
};
