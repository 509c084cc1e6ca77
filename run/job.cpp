// The job in the order a user of the menu would go: load the input, add the
// statements and scripts, apply the steps, then (for --sat) decide each function,
// write the result as the menu's save of that notation writes it, and (for
// --verify) prove the written result right. Reader messages and the front end's own
// go to standard error; standard output carries only the result or the verdicts.
#include "run/job.h"

#include <fstream>
#include <iostream>
#include <new>
#include <sstream>

#include "actions/actions.h"
#include "actions/added_functions.h"
#include "actions/dispatcher.h"
#include "base/stops.h"
#include "expr/function_table.h"
#include "formats/dimacs.h"
#include "formats/pla.h"
#include "formats/save_dialogue.h"
#include "formats/vhdl.h"
#include "normal/satisfiability.h"
#include "run/messages.h"
#include "run/options.h"
#include "run/output_file.h"
#include "run/steps.h"
#include "run/usage.h"
#include "run/verification.h"

namespace {

// What the job found along the way, for the exit status.
struct JobOutcome {
    bool inputErrors = false;
    bool writeFailed = false;
    bool difference = false;
    bool unsatisfiable = false;
};

class Job {
  public:
    Job(const RunOptions& runOptions, const JobHooks& jobHooks)
        : options(runOptions), hooks(jobHooks) {}

    int run() {
        if (!load()) return statusUsage;
        if (!addFunctions()) return statusUsage;
        if (options.verify) expectation.takeLoadedFunctions();
        if (!applySteps()) return statusUsage;
        if (hooks.beforeWrite) hooks.beforeWrite();
        firstSaved = firstSavedEntry(options.addedOnly);
        if (options.satisfiability) decideFunctions();
        if (!options.satisfiability || options.outputGiven) write();
        return status();
    }

  private:
    const RunOptions& options;
    const JobHooks& hooks;
    JobOutcome outcome;
    Expectation expectation;
    int64_t firstSaved = 0;

    // Runs `read` on the file at `path` ("-": standard input), with reader messages
    // naming `path`; false when the file cannot be opened.
    bool readFrom(const std::string& path, const std::function<void(std::istream&)>& read) {
        program.readerSourceName = path == "-" ? "<stdin>" : path;
        const int64_t errorsBefore = program.readerErrorCount;
        if (path == "-") {
            read(std::cin);
        } else {
            std::ifstream in(path);
            if (!in.is_open()) {
                reportMessage("cannot open '" + path + "'");
                return false;
            }
            read(in);
        }
        if (program.readerErrorCount != errorsBefore) outcome.inputErrors = true;
        return true;
    }

    bool load() {
        StepTimer timer(options.verbose, "read " + options.inputPath);
        const bool opened = readFrom(options.inputPath, [&](std::istream& in) {
            switch (*inputNotationOf(options)) {
                case InputNotation::pla:
                    loadPla(in);
                    break;
                case InputNotation::vhdl:
                    loadVhdl(in);
                    break;
                case InputNotation::dimacs:
                    loadDimacs(in);
                    break;
            }
        });
        if (opened && !options.dontCares) noteUnspecifiedRows();
        return opened;
    }

    // One note when a PLA file's type gives don't-cares that the load read as OFF.
    void noteUnspecifiedRows() const {
        const FunctionTable& table = *program.table;
        if (table.unspecifiedRows == 0) return;
        const std::string rows = std::to_string(table.unspecifiedRows);
        reportMessage(program.readerSourceName + ": " +
                      (table.offSetType
                           ? rows + " rows give OFF-set or don't-care outputs (.type fr or fdr); "
                                    "every point outside the ON-set was read as OFF"
                           : rows + " rows with don't-care outputs were read as OFF") +
                      " (--dont-cares keeps the don't-cares)");
    }

    bool addFunctions() {
        int statementNumber = 0;
        for (const Addition& addition : options.additions) {
            StepTimer timer(options.verbose,
                            addition.isScript ? "script " + addition.text : "add " + addition.text);
            if (addition.isScript) {
                const int64_t addedBefore = program.addedCount;
                if (!readFrom(addition.text, [](std::istream& in) { addScript(in); })) return false;
                program.addedCount += addedBefore;
                continue;
            }
            program.readerSourceName = "<add " + std::to_string(++statementNumber) + ">";
            const int64_t errorsBefore = program.readerErrorCount;
            if (!addStatement(addition.text)) {
                outcome.inputErrors = true;
                if (program.readerErrorCount == errorsBefore) {
                    reportMessage(program.readerSourceName + ": no statement in '" + addition.text +
                                  "'");
                }
            }
        }
        return true;
    }

    bool applySteps() {
        for (const JobStep& step : options.steps) {
            ResolvedCofactor cofactor;
            if (step.kind == JobStep::Kind::cofactor) {
                cofactor = resolveCofactor(step);
                if (!cofactor.error.empty()) {
                    reportUsageError(cofactor.error);
                    return false;
                }
                if (options.verify) {
                    expectation.restrict(cofactor.functionPosition, cofactor.inputName, step.value);
                }
            }
            if (step.kind == JobStep::Kind::negate && options.verify) expectation.complementAll();
            StepTimer timer(options.verbose, stepName(step));
            applyStep(step, cofactor);
        }
        return true;
    }

    // "NAME: SATISFIABLE" and the model line "v a=1 b=0", or "NAME: UNSATISFIABLE".
    void decideFunctions() {
        StepTimer timer(options.verbose, "sat");
        FunctionTable& table = *program.table;
        const VariableList& inputs = table.variableList;
        std::ostringstream verdicts;
        for (int64_t position = firstSaved; position < table.entryCount(); ++position) {
            FunctionEntry& entry = *table.entryAt(position);
            if (!entry.hasTree()) continue;
            // Any tree, so its leaves are read as evaluation reads them.
            const SatAnswer answer =
                decideSatisfiable(*entry.tree(), inputs, LeafReading::Evaluation);
            if (answer.verdict != SatVerdict::Satisfiable) {
                verdicts << entry.name << ": UNSATISFIABLE\n";
                outcome.unsatisfiable = true;
                continue;
            }
            verdicts << entry.name << ": SATISFIABLE\nv";
            for (size_t i = 0; i < answer.model.size(); ++i) {
                verdicts << ' ' << symbolName(inputs.entries[i].name) << '='
                         << (answer.model[i] ? '1' : '0');
            }
            verdicts << '\n';
        }
        std::cout << verdicts.str() << std::flush;
    }

    // The menu's save of the notation, with the answers the options give.
    void writeNotation(std::ostream& out, OutputNotation notation) {
        FunctionTable& table = *program.table;
        switch (notation) {
            case OutputNotation::pla:
                if (options.keepNames) table.hasInputLabels = table.hasOutputLabels = true;
                // A minimized table is written as it is: the save's DNF passes would
                // rework the minimal cover.
                if (endsMinimized()) {
                    writePla(out, firstSaved);
                } else {
                    writeTable(actionSavePla, out, firstSaved, 0);
                }
                break;
            case OutputNotation::pseudoVhdl:
                writeTable(actionSaveVhdl, out, firstSaved, pseudoVhdl);
                break;
            case OutputNotation::completeVhdl:
                writeTable(actionSaveVhdl, out, firstSaved, completeVhdl);
                break;
            case OutputNotation::blif:
                writeTable(actionSaveBlif, out, firstSaved, 0);
                break;
            case OutputNotation::dimacs:
                if (options.keepNames) writeDimacsNames(out);
                writeTable(actionSaveDimacs, out, firstSaved, 0);
                break;
        }
    }

    // Whether the last step was minimize and every function still holds its cover
    // (or a constant).
    bool endsMinimized() const {
        if (options.steps.empty() || options.steps.back().kind != JobStep::Kind::minimize) {
            return false;
        }
        const FunctionTable& table = *program.table;
        for (int64_t position = 0; position < table.entryCount(); ++position) {
            FunctionEntry& entry = *table.entryAt(position);
            if (entry.hasTree() && entry.pendingSum() == nullptr && !entry.tree()->isLeaf()) {
                return false;
            }
        }
        return true;
    }

    // "c NUMBER NAME" for every input, before the problem line.
    static void writeDimacsNames(std::ostream& out) {
        int64_t number = 0;
        for (const VariableEntry& input : program.table->variableList.entries) {
            out << "c " << ++number << ' ' << symbolName(input.name) << '\n';
        }
    }

    void write() {
        const OutputNotation notation = outputNotationOf(options);
        // Standard output cannot be read back, so a verified result is kept in memory.
        const bool keepText = options.verify && options.outputPath == "-" && readsBack(notation);
        std::ostringstream text;
        std::string failure;
        {
            StepTimer timer(options.verbose, "write " + options.outputPath);
            if (keepText) {
                writeNotation(text, notation);
                failure = writeResult("-", [&](std::ostream& out) { out << text.str(); });
            } else {
                failure = writeResult(options.outputPath,
                                      [&](std::ostream& out) { writeNotation(out, notation); });
            }
        }
        if (!failure.empty()) {
            reportMessage("cannot write '" + options.outputPath + "': " + failure);
            outcome.writeFailed = true;
            return;
        }
        if (options.verify) verify(notation, text);
    }

    void verify(OutputNotation notation, const std::ostringstream& text) {
        StepTimer timer(options.verbose, "verify");
        std::vector<std::string> differences = expectation.checkTable(firstSaved);
        if (readsBack(notation)) {
            program.readerSourceName = options.outputPath == "-" ? "<stdout>" : options.outputPath;
            std::vector<std::string> readBack;
            if (options.outputPath == "-") {
                std::istringstream in(text.str());
                readBack = expectation.checkReadBack(notation, in, firstSaved);
            } else {
                std::ifstream in(options.outputPath);
                readBack = expectation.checkReadBack(notation, in, firstSaved);
            }
            differences.insert(differences.end(), readBack.begin(), readBack.end());
        }
        for (const std::string& difference : differences) reportMessage("verify: " + difference);
        outcome.difference = !differences.empty();
    }

    int status() const {
        if (outcome.difference) return statusDifference;
        if (outcome.inputErrors || outcome.writeFailed) return statusInputErrors;
        if (options.satisfiability) {
            return outcome.unsatisfiable ? statusUnsatisfiable : statusSatisfiable;
        }
        return statusDone;
    }
};

}  // namespace

int runJob(const RunOptions& options, const JobHooks& hooks) {
    std::set_new_handler(onOutOfMemory);
    createTable();
    program.messagesToStandardError = true;
    program.messagesSilenced = options.quiet;
    program.benchmarkDialects = options.lenient;
    program.plaDontCares = options.dontCares;
    return Job(options, hooks).run();
}

int runCommandLine(const std::vector<std::string>& arguments, const JobHooks& hooks) {
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    if (!parsed.usageError.empty()) {
        reportUsageError(parsed.usageError);
        return statusUsage;
    }
    if (parsed.options.help) {
        std::cout << usageText() << std::flush;
        return statusDone;
    }
    if (parsed.options.version) {
        std::cout << versionText() << std::flush;
        return statusDone;
    }
    return runJob(parsed.options, hooks);
}
