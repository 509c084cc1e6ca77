// The handlers only raise flags, record a signal and wake the waiting read through a
// pipe (or, when no safe point will come, end the run as the start-up handler
// would); everything else happens at a checkpoint or a safe point, on the thread
// that computes. The pipe makes the wake reach that thread even though the kernel
// may run the handler on another one. The progress timer is the process's interval
// timer, running only while an action is watched.
#include "base/action_watch.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <mutex>
#include <string>
#include <utility>

#include "base/safe_output.h"

RunningAction runningAction;

namespace {

constexpr int64_t secondInterruptMilliseconds = 1000;  // a second Ctrl-C this soon ends the run
constexpr long progressDelayMicroseconds = 1000000;    // an action this long shows progress
constexpr long progressPeriodMicroseconds = 250000;    // and redraws it this often
constexpr int defaultTerminalWidth = 80;

constexpr int endingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

bool interruptCancels = false;  // cancelActionsOnInterrupt was called
bool progressEnabled = false;   // showProgressOfActions was called
std::atomic<int64_t> lastInterrupt{0};
static_assert(std::atomic<int64_t>::is_always_lock_free, "read and written by a signal handler");

// The ending signals at safe points.
std::atomic<bool> deferring{false};    // endAtSafePoints was called
std::atomic<bool> alwaysDefer{false};  // keepWorkBeforeEnding was called
std::atomic<int> pendingSignal{0};     // recorded, not yet served
std::atomic<bool> keeping{false};      // the keeper runs
static_assert(std::atomic<int>::is_always_lock_free, "read and written by a signal handler");
void (*keepWork)() = nullptr;
int wakeReader = -1;  // the pipe that wakes the waiting read
int wakeWriter = -1;

constexpr int64_t publishWindowMilliseconds = 20;  // helpers publish their counts this long

// What the progress line says of one thread's function.
struct Progress {
    int64_t function = 0;
    int64_t functionCount = 0;
    std::string name;
    const char* step = nullptr;
    int pass = 0;
    int passes = 0;
    int64_t terms = -1;
    bool busy = false;  // a function is in progress
};
// The records by thread (0 the main one), under the lock; whether the line is on the
// screen is for the drawing thread alone.
std::mutex progressLock;
std::array<Progress, maxProgressHelpers + 1> progressRecords;
std::string progressHeading = "boolfn: ";  // the watching front end's, under the lock
bool progressDrawn = false;
thread_local int progressRecord = 0;
int64_t publishingSince = 0;  // the waiting thread saw the line due at this time

Progress& ownProgress() {
    return progressRecords[static_cast<std::size_t>(progressRecord)];
}

int64_t monotonicMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// An ending signal: recorded for a safe point when one will come, else the end.
void onEndingSignal(int signal) {
    if (keeping.load()) return;
    RunningAction& running = runningAction;
    const bool pointComing = running.atPrompt != 0 || running.watched != 0 || alwaysDefer.load();
    if (!deferring.load() || pendingSignal.load() != 0 || !pointComing) {
        discardPendingOutputsAndEnd(signal);
    }
    pendingSignal.store(signal);
    if (running.watched != 0) {
        running.cancelRequested = 1;
        running.attention = 1;
    }
    wakeWaitingRead();
}

void onInterrupt(int signal) {
    RunningAction& running = runningAction;
    const int64_t now = monotonicMilliseconds();
    const int64_t previous = lastInterrupt.exchange(now);
    const bool second = running.cancelRequested != 0 ||
                        (previous != 0 && now - previous < secondInterruptMilliseconds);
    if (running.watched != 0 && running.atPrompt == 0 && !second && pendingSignal.load() == 0) {
        running.cancelRequested = 1;
        running.attention = 1;
        return;
    }
    onEndingSignal(signal);
}

void onProgressTimer(int /*signal*/) {
    runningAction.progressDue = 1;
    runningAction.attention = 1;
}

bool ignoredAtStart(int signal) {
    struct sigaction current {};
    return ::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

// Reads and writes go on after the handler, rather than fail with EINTR.
void installHandler(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
}

void setProgressTimer(long delayMicroseconds, long periodMicroseconds) {
    itimerval timer{};
    timer.it_value.tv_sec = delayMicroseconds / 1000000;
    timer.it_value.tv_usec = delayMicroseconds % 1000000;
    timer.it_interval.tv_sec = periodMicroseconds / 1000000;
    timer.it_interval.tv_usec = periodMicroseconds % 1000000;
    ::setitimer(ITIMER_REAL, &timer, nullptr);
}

int terminalWidth() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return defaultTerminalWidth;
}

void writeToTerminal(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(STDERR_FILENO, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        done += static_cast<std::size_t>(written);
    }
}

// The function the line tells of: the lowest-numbered one a helper works on; between
// two functions the one a helper took last; else the main record's.
const Progress& shownProgress() {
    const Progress* busiest = nullptr;
    const Progress* latest = nullptr;
    for (std::size_t record = 1; record < progressRecords.size(); ++record) {
        const Progress& candidate = progressRecords[record];
        if (candidate.busy && (busiest == nullptr || candidate.function < busiest->function)) {
            busiest = &candidate;
        }
        if (candidate.function > 0 &&
            (latest == nullptr || candidate.function > latest->function)) {
            latest = &candidate;
        }
    }
    if (busiest != nullptr) return *busiest;
    return latest != nullptr ? *latest : progressRecords[0];
}

std::string progressText() {
    const Progress& progress = shownProgress();
    std::string text = progressHeading;
    if (progress.functionCount > 0) {
        text += "function " + std::to_string(progress.function) + " of " +
                std::to_string(progress.functionCount) + " (" + progress.name + ")";
    }
    if (progress.passes > 0) {
        text +=
            ", pass " + std::to_string(progress.pass) + " of " + std::to_string(progress.passes);
    } else if (progress.step != nullptr) {
        text += std::string(", ") + progress.step;
    }
    if (progress.terms >= 0) text += ", " + std::to_string(progress.terms) + " terms";
    return text;
}

// The line is cut to the terminal's width, so that the carriage return goes back to
// its start.
void drawProgress() {
    std::string text;
    {
        const std::lock_guard<std::mutex> hold(progressLock);
        text = progressText();
    }
    const auto width = static_cast<std::size_t>(terminalWidth());
    if (text.size() >= width) text.resize(width > 1 ? width - 1 : 0);
    writeToTerminal("\r" + text + "\x1b[K");
    progressDrawn = true;
}

// Lowers the attention flag unless a cancel still waits for the checkpoints.
void lowerAttention() {
    RunningAction& running = runningAction;
    running.attention = 0;
    if (running.cancelRequested != 0) running.attention = 1;
}

void clearFlags() {
    RunningAction& running = runningAction;
    running.watched = 0;
    running.cancelRequested = 0;
    running.progressDue = 0;
    running.attention = 0;
}

}  // namespace

void cancelActionsOnInterrupt() {
    if (ignoredAtStart(SIGINT)) return;
    installHandler(SIGINT, onInterrupt);
    interruptCancels = true;
}

void endAtSafePoints() {
    if (deferring.load()) return;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
    wakeReader = ends[0];
    wakeWriter = ends[1];
    deferring.store(true);
    for (int signal : endingSignals) {
        if (signal == SIGINT && interruptCancels) continue;  // onInterrupt defers it
        if (!ignoredAtStart(signal)) installHandler(signal, onEndingSignal);
    }
}

void keepWorkBeforeEnding(void (*keeper)()) {
    keepWork = keeper;
    alwaysDefer.store(true);
}

bool endingSignalPending() {
    return pendingSignal.load() != 0;
}

void serveEndingSignal() {
    const int signal = pendingSignal.load();
    if (signal == 0) return;
    if (runningAction.watched != 0) throw ActionCancelled();
    keeping.store(true);
    clearFlags();
    if (keepWork != nullptr) keepWork();
    discardPendingOutputsAndEnd(signal);
}

int wakeDescriptor() {
    return wakeReader;
}

void drainWakes() {
    char bytes[64];
    while (wakeReader >= 0 && ::read(wakeReader, bytes, sizeof bytes) > 0) {
    }
}

void wakeWaitingRead() noexcept {
    if (wakeWriter < 0) return;
    const int savedErrno = errno;
    const char byte = 1;
    (void)!::write(wakeWriter, &byte, 1);
    errno = savedErrno;
}

void showProgressOfActions() {
    installHandler(SIGALRM, onProgressTimer);
    progressEnabled = true;
}

bool actionsCancellable() {
    return interruptCancels || deferring.load();
}

// The flags are all clear here: the watch before cleared them as it ended, and a
// Ctrl-C between two actions ends the run or waits for the safe point after this
// action, which it calls off at once.
ActionWatch::ActionWatch(std::string heading) {
    {
        const std::lock_guard<std::mutex> hold(progressLock);
        progressRecords.fill(Progress());
        progressHeading = std::move(heading);
    }
    publishingSince = 0;
    if (actionsCancellable()) runningAction.watched = 1;
    if (pendingSignal.load() != 0) {
        runningAction.cancelRequested = 1;
        runningAction.attention = 1;
    }
    if (progressEnabled) setProgressTimer(progressDelayMicroseconds, progressPeriodMicroseconds);
}

ActionWatch::~ActionWatch() {
    if (progressEnabled) setProgressTimer(0, 0);
    clearFlags();
    eraseProgressLine();
}

void noteProgressFunction(int64_t number, int64_t count, const std::string& name) {
    const std::lock_guard<std::mutex> hold(progressLock);
    Progress& progress = ownProgress();
    progress.function = number;
    progress.functionCount = count;
    progress.name = name;
    progress.step = nullptr;
    progress.pass = 0;
    progress.passes = 0;
    progress.terms = -1;
    progress.busy = true;
}

void noteProgressStep(const char* step) {
    const std::lock_guard<std::mutex> hold(progressLock);
    ownProgress().step = step;
    ownProgress().passes = 0;
}

void noteProgressPass(int pass, int passes) {
    const std::lock_guard<std::mutex> hold(progressLock);
    ownProgress().pass = pass;
    ownProgress().passes = passes;
}

void noteProgressDone() {
    const std::lock_guard<std::mutex> hold(progressLock);
    ownProgress().busy = false;
}

void noteProgressAsHelper(int number) {
    progressRecord = std::clamp(number, 0, maxProgressHelpers);
}

void serveCheckpoint(int64_t termsSoFar) {
    RunningAction& running = runningAction;
    if (running.cancelRequested != 0) {
        // Every later checkpoint throws too, until the watch ends.
        running.attention = 1;
        throw ActionCancelled();
    }
    if (progressRecord != 0) {
        // A helper publishes; the waiting thread lowers the flags and draws.
        if (running.progressDue != 0 && termsSoFar >= 0) {
            const std::lock_guard<std::mutex> hold(progressLock);
            ownProgress().terms = termsSoFar;
        }
        return;
    }
    lowerAttention();
    if (running.progressDue.exchange(0) != 0) {
        if (termsSoFar >= 0) {
            const std::lock_guard<std::mutex> hold(progressLock);
            ownProgress().terms = termsSoFar;
        }
        drawProgress();
    }
}

void serveCheckpointWhileWaiting() {
    RunningAction& running = runningAction;
    if (running.progressDue == 0) return;
    const int64_t now = monotonicMilliseconds();
    if (publishingSince == 0) {
        publishingSince = now;
        return;
    }
    if (now - publishingSince < publishWindowMilliseconds) return;
    publishingSince = 0;
    running.progressDue = 0;
    lowerAttention();
    drawProgress();
}

void eraseProgressLine() {
    if (!progressDrawn) return;
    writeToTerminal("\r\x1b[K");
    progressDrawn = false;
}
