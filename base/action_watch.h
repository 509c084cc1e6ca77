// Ctrl-C and a progress line for an action a person at a terminal waits for.
//
// When standard input is a terminal, a Ctrl-C while a watched action computes asks
// it to stop: the next checkpoint throws `ActionCancelled`, which the dispatcher
// catches to put the table back as it was. The checkpoints sit in the long loops
// (the multiplication of covers, the engine's sweep, the term walk into the engine,
// distribution, the writers' terms) and cost one load and one compare, so a cancel
// takes effect within a fraction of a second. A Ctrl-C while a question waits for
// its answer, a second Ctrl-C while the first is pending or within a second of it,
// and any Ctrl-C when standard input is not a terminal end the run as before.
//
// At a terminal such an end, and SIGTERM, SIGHUP and SIGQUIT, come at a safe point,
// so that the session's work can be kept first: the handler only records the
// signal; a console read that waits returns at once (driver/line_editing.h), a
// watched action is called off at its next checkpoint, and `serveEndingSignal`
// then runs the keeper and ends the process by the recorded signal, with the
// status a signal end always had. A further ending signal while one waits to be
// served ends the run at once; one that comes while the keeper runs is dropped,
// the run ending by the first.
//
// When standard error is a terminal, an action that has run for a second shows one
// line there, redrawn in place four times a second (the function, the phase and the
// terms so far) and erased before anything else is printed and when it ends.
//
// An action may compute its functions on helper threads (base/worker_pool.h). Each
// thread notes its progress in a record of its own; a helper's checkpoint throws on
// a cancel as the main thread's does, and when the line is due it only publishes its
// term count, for the thread that waits for the helpers to draw the line
// (`serveCheckpointWhileWaiting`) from the lowest-numbered function in progress.
#pragma once

#include <atomic>
#include <csignal>
#include <cstdint>
#include <string>

// An action running for a person at a terminal. The signal handlers raise the
// flags; the checkpoints in the long loops (base/action_watch.h) act on them, on
// whichever thread computes.
struct RunningAction {
    std::atomic<int> attention{0};        // some flag below waits for a checkpoint
    std::atomic<int> cancelRequested{0};  // Ctrl-C asked to cancel the action
    std::atomic<int> progressDue{0};      // time to redraw the progress line
    std::atomic<int> watched{0};          // an action runs that Ctrl-C may cancel
    std::atomic<int> atPrompt{0};         // the console waits for an answer

    void clear() {
        attention = 0;
        cancelRequested = 0;
        progressDue = 0;
        watched = 0;
        atPrompt = 0;
    }
};
static_assert(std::atomic<int>::is_always_lock_free, "written by the signal handlers");

// The one running action's flags; all zero unless standard input or error is a
// terminal.
extern RunningAction runningAction;

// Thrown by a checkpoint after a Ctrl-C asked to cancel the watched action.
struct ActionCancelled {};

// Makes a Ctrl-C cancel watched actions. Called once, when standard input is a
// terminal; a SIGINT that was ignored at start-up stays ignored.
void cancelActionsOnInterrupt();

// Makes watched actions show the progress line. Called once, when standard error is
// a terminal.
void showProgressOfActions();

// Makes the ending signals wait for a safe point (see above). Called once, when
// standard input is a terminal; a signal ignored at start-up stays ignored. Until
// `keepWorkBeforeEnding` is called only a waiting read or a watched action is such
// a point, and the signals end the run at once elsewhere.
void endAtSafePoints();

// Sets what a safe point does before the recorded signal ends the run, and makes
// every moment a safe point in waiting: a signal between two actions is served at
// the next read or when the action that starts ends.
void keepWorkBeforeEnding(void (*keeper)());

// Whether a Ctrl-C or an ending signal can cancel a watched action, so that its
// originals must be kept.
bool actionsCancellable();

// Whether an ending signal waits to be served.
bool endingSignalPending();

// A safe point: when an ending signal waits, ends the run by it, the keeper first;
// inside a watched action (a question the action asks) throws ActionCancelled
// instead, so that the action is undone before the caller of the action serves it.
void serveEndingSignal();

// A descriptor that becomes readable when a signal handler has recorded something,
// for a read that waits on it with poll (-1 when the ending signals do not wait for
// safe points); `drainWakes` empties it, and `wakeWaitingRead`, safe in a signal
// handler, makes it readable.
int wakeDescriptor();
void drainWakes();
void wakeWaitingRead() noexcept;

// Watches one action from construction to destruction. The progress line begins
// with `heading` ("boolfn: " for the menu program's actions).
class ActionWatch {
  public:
    ActionWatch() : ActionWatch("boolfn: ") {}
    explicit ActionWatch(std::string heading);
    ~ActionWatch();
    ActionWatch(const ActionWatch&) = delete;
    ActionWatch& operator=(const ActionWatch&) = delete;
};

// Marks the console's wait for an answer, during which Ctrl-C ends the run as before.
class QuestionWait {
  public:
    QuestionWait() { runningAction.atPrompt = 1; }
    ~QuestionWait() { runningAction.atPrompt = 0; }
    QuestionWait(const QuestionWait&) = delete;
    QuestionWait& operator=(const QuestionWait&) = delete;
};

// What the progress line says: the function being worked on (number from 1), and
// the step it is in (a text that lives as long as the program, or a pass of the
// engine). A new function starts without a step. Each thread notes in its own
// record; `noteProgressDone` says the thread's function is finished.
void noteProgressFunction(int64_t number, int64_t count, const std::string& name);
void noteProgressStep(const char* step);
void noteProgressPass(int pass, int passes);
void noteProgressDone();

// The most helper threads whose progress is recorded; helper `number` (from 1) notes
// in its own record from the call on (0, the thread that starts the work, is the
// main record).
constexpr int maxProgressHelpers = 64;
void noteProgressAsHelper(int number);

// Serves a raised flag: see `actionCheckpoint`.
void serveCheckpoint(int64_t termsSoFar);

// Called often (every few milliseconds) by the thread that waits for helpers: draws
// the progress line once the helpers had a moment to publish their term counts.
// Never throws; the helpers stop at their own checkpoints.
void serveCheckpointWhileWaiting();

// A checkpoint: after a Ctrl-C throws ActionCancelled; when the progress line is due,
// redraws it with `termsSoFar` (negative when the caller has no count).
inline void actionCheckpoint(int64_t termsSoFar) {
    if (runningAction.attention != 0) [[unlikely]]
        serveCheckpoint(termsSoFar);
}

// Erases the progress line if it is shown; the console calls it before printing.
void eraseProgressLine();
