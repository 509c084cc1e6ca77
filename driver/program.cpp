// The entry routine, step by step: invocation path, start-up, arguments, input and
// script files, input-type menu and loading, action loop, shut-down.
//
// Every open file gets exactly one second chance through a typed path; a path is
// one whitespace-delimited word, and a folder is a path that cannot be opened. A
// save goes through base/safe_output.h, so the file it replaces is only replaced
// once the new one is complete. Batch mode walks the action loop like a user would,
// but takes its choices from a fixed sequence (DNF, Save as PLA, Exit) and echoes
// each after "Choice:", so that a batch transcript reads like an interactive one.
//
// For a person at a terminal the session also gets line editing (when the caller
// hands in driver/terminal_reading.h's start, as the menu program does), the watch over
// running actions (Ctrl-C cancels, a progress line shows) and short notes on
// standard error (driver/orientation.h); none of it changes standard output. A
// session at a terminal that ends by a slip keeps its unsaved functions in a
// recovery file (driver/recovery.h).
#include "driver/program.h"

#include <unistd.h>

#include <fstream>
#include <new>
#include <stdexcept>
#include <string_view>

#include "actions/actions.h"
#include "actions/added_functions.h"
#include "actions/dispatcher.h"
#include "actions/table_load.h"
#include "base/action_watch.h"
#include "base/console.h"
#include "base/paths.h"
#include "base/safe_output.h"
#include "base/stops.h"
#include "driver/menu_table.h"
#include "driver/orientation.h"
#include "driver/recovery.h"
#include "driver/unsaved_changes.h"
#include "expr/function_table.h"
#include "formats/save_dialogue.h"

namespace {

constexpr int statusInputTypeZero = 0;
constexpr int statusLoopEnded = 1;
constexpr int statusCannotOpen = 2;
constexpr int statusDataLost = 2;  // the loop ended, but some save said "Data NOT saved"

// What the entry routine keeps for the whole run.
struct Session {
    std::string inputPath;
    std::string outputPath;
    std::string scriptPath;
    bool batch = false;
    bool outputPathGiven = false;  // only the first save takes the command line's path
    int actionCounter = 0;         // batch mode steps through its sequence with it
};

Session takeArguments(const std::vector<std::string>& arguments) {
    Session session;
    if (arguments.size() > 1) {
        session.inputPath = arguments[1];
        session.outputPathGiven = true;
    }
    if (arguments.size() > 2) session.outputPath = arguments[2];
    if (arguments.size() > 3) {
        session.scriptPath = arguments[3];
        session.batch = true;
        saveRecord.batchMode = true;
    }
    return session;
}

bool openFile(std::ifstream& stream, const std::string& path) {
    // A folder opens for reading on this system but yields only read errors.
    if (namesFolder(path)) return false;
    stream.open(path);
    return stream.is_open();
}

// Opens `path`; on failure asks once for another path and tries that.
bool openForReading(std::ifstream& stream, std::string& path, std::string_view prompt) {
    if (openFile(stream, path)) return true;
    stream = std::ifstream();
    printPrompt(prompt);
    path = readPath();
    return openFile(stream, path);
}

bool pathContains(const std::string& path, std::string_view part) {
    return path.find(part) != std::string::npos;
}

// Shows the input-type menu until the answer is 0 to 3. The path decides where it
// names a format: ".pla", ".vhd" and ".cnf" are looked for in this order and the
// last one found wins, wherever it stands in the path; batch mode always reads PLA. A decided type
// is echoed; otherwise the answer is read, 0 when none.
int chooseInputType(const Session& session) {
    for (;;) {
        printLine("Select input type:");
        printLine("1. PLA");
        printLine("2. VHDL");
        printLine("3. DIMACS");
        printPrompt("Choice:");
        int choice = 0;
        const std::string_view suffixes[] = {".pla", ".vhd", ".cnf"};
        for (int type = 1; type <= 3; ++type) {
            if (pathContains(session.inputPath, suffixes[type - 1])) choice = type;
        }
        const bool inferred = choice != 0;
        if (session.batch) choice = 1;
        if (session.batch || inferred) {
            printLine(std::to_string(choice));
        } else {
            choice = readInteger(0);
        }
        if (choice >= 0 && choice <= 3) return choice;
    }
}

// Input types 1 to 3 of the menu are the three notations; 0 reads nothing.
void load(int inputType, std::istream& input) {
    constexpr InputNotation notations[] = {InputNotation::pla, InputNotation::vhdl,
                                           InputNotation::dimacs};
    if (inputType >= 1 && inputType <= 3) loadTable(input, notations[inputType - 1], {});
}

void printActionMenu() {
    printLine("");
    printLine("Select action:");
    int number = 1;
    for (std::string_view text : actionTexts) {
        printLine(std::to_string(number) + ". " + std::string(text));
        ++number;
    }
    printPrompt("Choice:");
}

// The next action: read from the console (Exit when nothing can be read), or in
// batch mode the next of the fixed sequence, whose first step also adds the
// script's functions.
int nextAction(Session& session, std::istream& script) {
    ++session.actionCounter;
    int choice = actionExit;
    if (session.batch) {
        if (session.actionCounter == 1) {
            addScript(script);
            choice = actionDnf;
        } else if (session.actionCounter == 2) {
            choice = actionSavePla;
        }
        printPrompt(std::to_string(choice));
    } else {
        choice = readInteger(actionExit);
    }
    printLine("");
    return choice;
}

// Opens the output file of a save action. The first save takes the command line's
// output path without asking (when any argument was given); later saves ask. A
// failed open is retried once with a typed path.
bool openOutput(Session& session, SafeOutput& out) {
    if (!session.outputPathGiven) {
        printPrompt("Enter legal output file path :");
        session.outputPath = readPath();
    }
    session.outputPathGiven = false;
    bool opened = out.open(session.outputPath);
    printLine("");
    if (opened) return true;
    printPrompt("Enter legal output file path :");
    session.outputPath = readPath();
    opened = out.open(session.outputPath);
    printLine("");
    if (opened) return true;
    printLine("Cannot open output file - terminating");
    return false;
}

// Runs one action to its end or its cancel; notes what a completed one changed, and
// serves a signal that came meanwhile (the end of the run, see base/action_watch.h).
bool runAndNote(int action, std::ostream* out) {
    const bool completed = runAction(action, out);
    if (completed) noteCompletedAction(action);
    serveEndingSignal();
    return completed;
}

// Runs actions until a choice outside 1 to 14; answers the exit status.
int actionLoop(Session& session, std::istream& script) {
    for (;;) {
        printActionMenu();
        const int action = nextAction(session, script);
        SafeOutput out;
        bool completed;
        if (isSaveAction(action)) {
            if (!openOutput(session, out)) return statusCannotOpen;
            const int64_t lostBefore = saveRecord.lostSaves;
            completed = runAndNote(action, &out.stream());
            if (!completed) {
                orientAfterCancel(action, session.outputPath);
            } else if (saveRecord.lostSaves == lostBefore) {
                orientAfterSave(action, session.outputPath);
            }
        } else {
            const int32_t inputsBefore = workspace.table->variableList.count();
            completed = runAndNote(action, nullptr);
            if (!completed) {
                orientAfterCancel(action, "");
            } else if (action == actionAddFunction) {
                orientAfterAdd(inputsBefore);
            } else if (action == actionSatisfiability) {
                orientAfterSatisfiability();
            }
        }
        if (!isTableAction(action)) {
            // Leaving on purpose; a slip (nothing could be read) keeps the work instead.
            if (!session.batch && !consoleReadFailed()) orientAtExit();
            return statusLoopEnded;
        }
    }
}

int runSession(Session& session) {
    std::ifstream input;
    if (!openForReading(input, session.inputPath, "Enter legal input file path :")) {
        printLine("Cannot open input file - terminating");
        return statusCannotOpen;
    }
    std::ifstream script;
    if (session.batch &&
        !openForReading(script, session.scriptPath, "Enter legal script file path :")) {
        printLine("Cannot open script file - terminating");
        return statusCannotOpen;
    }
    const int inputType = chooseInputType(session);
    if (inputType == 0) {
        printLine("Exiting");
        return statusInputTypeZero;
    }
    load(inputType, input);
    orientAfterLoad();
    recoverUnsavedWorkOnSignals(session.inputPath);
    int status = actionLoop(session, script);
    serveEndingSignal();  // one that came as the loop ended
    if (status == statusCannotOpen || consoleReadFailed()) recoverUnsavedWork(session.inputPath);
    if (status == statusLoopEnded && saveRecord.lostSaves > 0) status = statusDataLost;
    // Shut-down: the files close as the streams go out of scope; the table stays
    // for the caller (see runProgram).
    printLine("");
    printLine("Exiting");
    return status;
}

// For a person at a terminal: Ctrl-C cancels a running action when the answers are
// typed there, a signal that ends the run waits for a safe point (so that the
// work can be kept first), and a long action shows its progress where the notes
// appear.
void watchActions() {
    if (isatty(STDIN_FILENO) != 0) {
        cancelActionsOnInterrupt();
        endAtSafePoints();
    }
    if (isatty(STDERR_FILENO) != 0) showProgressOfActions();
}

}  // namespace

void initProgram() {
    std::set_new_handler(onOutOfMemory);
    saveRecord = SaveRecord{};
    dispatcherState = DispatcherState{};
    createTable();
}

int runProgram(const std::vector<std::string>& arguments, TerminalStart startTerminal) {
    // The handler ends every failed allocation before it can throw; a size no
    // container can hold is the same stop, and nothing else may end the run by an
    // exception.
    try {
        printLine(arguments.empty() ? std::string() : arguments[0]);
        initProgram();
        Session session = takeArguments(arguments);
        if (!session.batch) {
            if (startTerminal != nullptr) startTerminal();
            watchActions();
        }
        return runSession(session);
    } catch (const std::bad_alloc&) {
        onOutOfMemory();
    } catch (const std::length_error&) {
        onOutOfMemory();
    }
}
