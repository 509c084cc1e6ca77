#include "run/messages.h"

#include <cstdio>
#include <iostream>
#include <string>

#include "base/console.h"

void reportMessage(std::string_view text) {
    if (consoleSettings.silenced) return;
    std::cerr << "boolfn-run: " << text << '\n' << std::flush;
}

void reportAtLine(std::string_view source, int64_t line, std::string_view text) {
    if (consoleSettings.silenced) return;
    std::cerr << source << ':' << line << ": " << text << '\n' << std::flush;
}

void reportUsageError(std::string_view text) {
    std::cerr << "boolfn-run: " << text << "\nTry 'boolfn-run --help' for more information.\n"
              << std::flush;
}

StepTimer::StepTimer(bool verbose, std::string_view step)
    : shown(verbose), name(step), start(std::chrono::steady_clock::now()) {}

StepTimer::~StepTimer() {
    if (!shown) return;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", elapsed.count());
    reportMessage(name + ": " + seconds + " s");
}
