#include "run/messages.h"

#include <cstdio>
#include <iostream>
#include <string>

#include "base/action_watch.h"
#include "base/console.h"

void reportMessage(std::string_view text) {
    if (consoleSettings.silenced) return;
    eraseProgressLine();
    std::cerr << "boolfn-run: " << text << '\n' << std::flush;
}

void reportAtPlace(std::string_view source, int64_t line, int64_t column, std::string_view text) {
    if (consoleSettings.silenced) return;
    eraseProgressLine();
    std::cerr << source << ':' << line << ':' << column << ": " << text << '\n' << std::flush;
}

void reportUsageError(std::string_view text) {
    std::cerr << "boolfn-run: " << text << "\nTry 'boolfn-run --help' for more information.\n"
              << std::flush;
}

StepTimer::StepTimer(const StepReporting& reporting, std::string_view step,
                     std::function<std::string()> counts)
    : shown(reporting.verbose),
      name(step),
      counted(std::move(counts)),
      start(std::chrono::steady_clock::now()) {
    if (reporting.progress) watch = std::make_unique<ActionWatch>("boolfn-run: " + name + ": ");
}

StepTimer::~StepTimer() {
    watch.reset();  // the progress line goes before the step's own line
    if (!shown) return;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", elapsed.count());
    const std::string counts = counted ? counted() : std::string();
    reportMessage(name + ": " + (counts.empty() ? std::string() : counts + ", ") + seconds + " s");
}
