// The job in the order a user of the menu would go: load the input, add the
// statements and scripts, apply the steps, then (for --sat) decide each function,
// write the result as the menu's save of that notation writes it, and (for
// --verify) prove the written result right. Reader messages and the front end's own
// go to standard error; standard output carries only the result or the verdicts.
// After a read with errors, the job's functions are let go and the input is read
// once more with the benchmark dialects, to tell whether --lenient would read it.
#include "run/job.h"

#include <unistd.h>

#include <fstream>
#include <iostream>
#include <new>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "actions/added_functions.h"
#include "actions/dispatcher.h"
#include "base/action_watch.h"
#include "base/console.h"
#include "base/stops.h"
#include "base/worker_pool.h"
#include "expr/function_table.h"
#include "formats/blif.h"
#include "formats/dimacs.h"
#include "formats/pla.h"
#include "formats/save_dialogue.h"
#include "formats/vhdl.h"
#include "normal/minimal_cover.h"
#include "normal/satisfiability.h"
#include "run/equivalence.h"
#include "run/input_file.h"
#include "run/job_stops.h"
#include "run/messages.h"
#include "run/options.h"
#include "run/output_file.h"
#include "run/reader_diagnostics.h"
#include "run/repeated_messages.h"
#include "run/sat_report.h"
#include "run/shared_rows.h"
#include "run/statistics.h"
#include "run/steps.h"
#include "run/sum_satisfiability.h"
#include "run/table_counts.h"
#include "run/usage.h"
#include "run/verification.h"
#include "run/written_names.h"

namespace {

// Identical messages in a row shown before the rest are only counted.
constexpr int64_t repeatedMessagesShown = 5;

// What the job found along the way, for the exit status.
struct JobOutcome {
    bool inputErrors = false;
    bool loadErrors = false;  // the INPUT itself had reader errors
    bool writeFailed = false;
    bool difference = false;
    bool unsatisfiable = false;
};

class Job {
  public:
    Job(const RunOptions& runOptions, const ClosedStandardStreams& closedStreams,
        const JobHooks& jobHooks, const StepReporting& stepReporting)
        : options(runOptions), closed(closedStreams), hooks(jobHooks), reporting(stepReporting) {}

    int run() {
        const int finished = runSteps();
        if (outcome.loadErrors) {
            // The job is done: its functions give their memory to the second read,
            // which a --max-memory limit could otherwise not hold beside them.
            createTable();
            noteLenientReading();
        }
        return finished;
    }

  private:
    const RunOptions& options;
    const ClosedStandardStreams& closed;
    const JobHooks& hooks;
    const StepReporting& reporting;
    JobOutcome outcome;
    Expectation expectation;
    int64_t firstSaved = 0;

    int runSteps() {
        if (!load()) return statusUsage;
        if (!addFunctions()) return statusUsage;
        if (options.verify) expectation.takeLoadedFunctions();
        if (!applySteps()) return statusUsage;
        if (hooks.beforeWrite) hooks.beforeWrite();
        firstSaved = firstSavedEntry(options.addedOnly);
        if (options.satisfiability) decideFunctions();
        if (options.statistics) {
            std::ostringstream table;
            writeStatistics(table, firstSaved,
                            options.statisticsTabSeparated ? StatisticsLayout::tabSeparated
                                                           : StatisticsLayout::text);
            report(table.str());
        }
        if (!options.equivalentTo.empty() && !compareWithOther()) return statusUsage;
        const bool reported =
            options.satisfiability || options.statistics || !options.equivalentTo.empty();
        if (reported && !options.outputGiven) return status();
        // What a reader stopped at an error left is no result to hand on.
        if (outcome.inputErrors && !options.partial) {
            reportMessage("nothing written to '" + options.outputPath +
                          "': the input had errors (--partial writes what was read)");
            return status();
        }
        write();
        return status();
    }

    // How the readers read, with their messages naming `source`.
    ReaderSettings readerSettings(const std::string& source) const {
        ReaderSettings settings;
        settings.sourceName = source;
        settings.diagnostics = printedDiagnostics();
        settings.benchmarkDialects = options.lenient;
        settings.plaDontCares = options.dontCares;
        return settings;
    }

    static std::string sourceName(const std::string& path) {
        return path == "-" ? "<stdin>" : path;
    }

    // Runs `read` on the file at `path` ("-": standard input), with reader messages
    // naming `path`; `read` answers the number of reader errors. False when the file
    // cannot be opened.
    bool readFrom(const std::string& path,
                  const std::function<int64_t(std::istream&, const ReaderSettings&)>& read) {
        const ReaderSettings settings = readerSettings(sourceName(path));
        int64_t errors = 0;
        if (path == "-") {
            errors = read(std::cin, settings);
        } else {
            std::ifstream in;
            if (!openInputFile(path, in)) return false;
            errors = read(in, settings);
        }
        if (errors != 0) outcome.inputErrors = true;
        return true;
    }

    bool load() {
        StepTimer timer(reporting, "read " + options.inputPath, [] { return tableCounts(0); });
        LoadSettings settings;
        settings.dimacsNames = options.keepNames;
        settings.reader = readerSettings("");
        const LoadOutcome loaded =
            loadInputFile(options.inputPath, *inputNotationOf(options), settings);
        if (loaded.readerErrors) outcome.inputErrors = outcome.loadErrors = true;
        if (loaded.opened && !options.dontCares) noteUnspecifiedRows();
        return loaded.opened;
    }

    // One line when the input had reader errors that the benchmark dialects would
    // not have given. Only the PLA and DIMACS readers have dialects, and standard
    // input cannot be read twice.
    void noteLenientReading() const {
        const InputNotation notation = *inputNotationOf(options);
        if (options.lenient || options.inputPath == "-" ||
            (notation != InputNotation::pla && notation != InputNotation::dimacs)) {
            return;
        }
        LoadSettings settings;
        settings.dimacsNames = options.keepNames;
        settings.reader.benchmarkDialects = true;
        settings.reader.plaDontCares = options.dontCares;
        settings.reader.diagnostics = [](const ReaderDiagnostic&) {};
        if (readsWithoutErrors(options.inputPath, notation, settings)) {
            reportMessage("--lenient reads '" + options.inputPath +
                          "' without errors (the benchmark dialects)");
        }
    }

    // One note when a PLA file's type gives don't-cares that the load read as OFF.
    void noteUnspecifiedRows() const {
        const FunctionTable& table = *workspace.table;
        if (table.unspecifiedRows == 0) return;
        const std::string rows = std::to_string(table.unspecifiedRows);
        reportMessage(sourceName(options.inputPath) + ": " +
                      (table.offSetType
                           ? rows + " rows give OFF-set or don't-care outputs (.type fr or fdr); "
                                    "every point outside the ON-set was read as OFF"
                           : rows + " rows with don't-care outputs were read as OFF") +
                      " (--dont-cares keeps the don't-cares)");
    }

    bool addFunctions() {
        int statementNumber = 0;
        for (const Addition& addition : options.additions) {
            StepTimer timer(reporting,
                            addition.isScript ? "script " + addition.text : "add " + addition.text,
                            [] { return tableCounts(0); });
            const int32_t inputsBefore = workspace.table->variableList.count();
            if (addition.isScript) {
                const int64_t addedBefore = workspace.table->addedCount;
                if (!readFrom(addition.text, addScript)) return false;
                workspace.table->addedCount += addedBefore;
                noteNewInputs(addition.text, inputsBefore);
                continue;
            }
            const std::string source = "<add " + std::to_string(++statementNumber) + ">";
            const AddedStatement added = addStatement(addition.text, readerSettings(source));
            if (!added.added) {
                outcome.inputErrors = true;
                if (added.readerErrors == 0) {
                    reportMessage(source + ": no statement in '" + addition.text + "'");
                }
            }
            noteNewInputs(source, inputsBefore);
        }
        return true;
    }

    // A name of a statement that is neither a function nor an input becomes a new
    // input; a typo such as cuot for cout does the same, so each one is noted.
    static void noteNewInputs(const std::string& source, int32_t inputsBefore) {
        const VariableList& inputs = workspace.table->variableList;
        for (int32_t position = inputsBefore; position < inputs.count(); ++position) {
            reportMessage(source + ": new input " + std::to_string(position) + " " +
                          symbolName(inputs.entries[static_cast<std::size_t>(position)].name));
        }
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
            StepTimer timer(reporting, stepName(step), [&step] {
                return tableCounts(
                    0, step.kind == JobStep::Kind::cnf ? CountedSize::clauses : CountedSize::terms);
            });
            try {
                applyStep(step, cofactor);
            } catch (const ExactLimitReached& stop) {
                reportMessage("minimize=exact: " + std::string(stop.what()) + " (" +
                              (stop.ofBranches ? "--exact-branches" : "--exact-limit") +
                              " sets the limit; minimize is the heuristic)");
                return false;
            }
        }
        return true;
    }

    // --equiv: false when the other input cannot be opened.
    bool compareWithOther() {
        StepTimer timer(reporting, "equiv " + options.equivalentTo, [] { return tableCounts(0); });
        std::ostringstream verdicts;
        LoadSettings settings;
        settings.reader = readerSettings("");
        const EquivalenceOutcome compared =
            compareWithFile(verdicts, options.inputPath, options.equivalentTo,
                            *otherInputNotationOf(options), settings);
        report(verdicts.str());
        if (compared.readerErrors) outcome.inputErrors = true;
        if (compared.different) outcome.difference = true;
        return compared.opened;
    }

    // A DIMACS input is one formula, the conjunction of the saved functions, and
    // gets one verdict as a solver prints it, over the file's own variable numbers.
    // Other inputs get a verdict per function, "NAME: SATISFIABLE" or "NAME:
    // UNSATISFIABLE", with the model as "v" lines over the inputs numbered 1 to n,
    // which "c NUMBER NAME" lines name first.
    void decideFunctions() {
        StepTimer timer(reporting, "sat", [this] { return tableCounts(firstSaved); });
        FunctionTable& table = *workspace.table;
        const VariableList& inputs = table.variableList;
        std::string verdicts;
        if (*inputNotationOf(options) == InputNotation::dimacs) {
            // The constant 1 and-ed with the functions; the file's clauses go to the
            // solver from their rows, unbuilt.
            const VectNode one(valueTrue, 1);
            std::vector<ConjunctionPart> formula{{&one, nullptr}};
            for (int64_t position = firstSaved; position < table.entryCount(); ++position) {
                FunctionEntry& entry = *table.entryAt(position);
                if (!entry.hasTree()) continue;
                if (const PendingClauses* held = entry.pendingClauses()) {
                    formula.push_back({nullptr, &held->store()});
                } else {
                    formula.push_back({entry.tree(), nullptr});
                }
            }
            const SatAnswer answer = decideConjunction(formula, inputs, LeafReading::Evaluation);
            const bool satisfiable = answer.verdict == SatVerdict::Satisfiable;
            outcome.unsatisfiable = !satisfiable;
            verdicts = solverVerdict(satisfiable, answer.model);
        } else {
            int64_t number = 0;
            for (const VariableEntry& input : inputs.entries) {
                verdicts += "c " + std::to_string(++number) + ' ' + symbolName(input.name) + '\n';
            }
            for (int64_t position = firstSaved; position < table.entryCount(); ++position) {
                FunctionEntry& entry = *table.entryAt(position);
                if (!entry.hasTree()) continue;
                // Any tree, so its leaves are read as evaluation reads them; a sum's
                // leaves are the table's names and the constants 1 and 0, which both
                // readings read alike.
                const PendingSum* sum = entry.pendingSum();
                const SatAnswer answer =
                    sum != nullptr
                        ? decideSum(*sum, inputs)
                        : decideSatisfiable(*entry.tree(), inputs, LeafReading::Evaluation);
                if (answer.verdict != SatVerdict::Satisfiable) {
                    verdicts += entry.name + ": UNSATISFIABLE\n";
                    outcome.unsatisfiable = true;
                    continue;
                }
                verdicts += entry.name + ": SATISFIABLE\n" + modelLines(answer.model);
            }
        }
        report(verdicts);
    }

    // A report on standard output (verdicts, statistics, equivalences), written as a
    // result is, so that a closed or full standard output is a failed write.
    void report(const std::string& text) {
        const std::string failure = writeResult(
            "-", [&](std::ostream& out) { out << text; }, closed.output,
            [] { noteOutputStarted("-"); });
        if (!failure.empty()) {
            reportMessage("cannot write '-': " + failure);
            outcome.writeFailed = true;
            return;
        }
        noteOutputFinished("-");
    }

    // The menu's save of the notation, with the answers the options give.
    void writeNotation(std::ostream& out, OutputNotation notation) {
        FunctionTable& table = *workspace.table;
        switch (notation) {
            case OutputNotation::pla:
                if (options.keepNames) table.hasInputLabels = table.hasOutputLabels = true;
                // A minimized table is written as it is: the save's DNF passes would
                // rework the minimal cover.
                if (endsMinimized() && options.sharedRows) {
                    writeSharedRowsPla(out, firstSaved);
                } else if (endsMinimized()) {
                    writePla(out, firstSaved);
                } else {
                    writeTable(OutputNotation::pla, out, firstSaved);
                }
                break;
            case OutputNotation::pseudoVhdl:
            case OutputNotation::completeVhdl:
            case OutputNotation::blif:
            case OutputNotation::sopBlif:
                writeTable(notation, out, firstSaved);
                break;
            case OutputNotation::dimacs:
                if (options.keepNames) writeDimacsNames(out);
                if (options.tseitin) {
                    writeDimacsEncoding(out, firstSaved);
                } else {
                    writeTable(OutputNotation::dimacs, out, firstSaved);
                }
                break;
        }
    }

    // Whether the last step was minimize and every function still holds its cover
    // (or a constant).
    bool endsMinimized() const {
        if (options.steps.empty() || options.steps.back().kind != JobStep::Kind::minimize) {
            return false;
        }
        const FunctionTable& table = *workspace.table;
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
        for (const VariableEntry& input : workspace.table->variableList.entries) {
            out << "c " << ++number << ' ' << symbolName(input.name) << '\n';
        }
    }

    // With --verify the result is written from memory and proved from the bytes
    // held, so a target that cannot be read back (standard output, a pipe, a FIFO, a
    // terminal, /dev/stdout) is proved as surely as a file and is never read.
    void write() {
        const OutputNotation notation = outputNotationOf(options);
        const std::vector<std::string> refused = unwritableNames(notation, firstSaved);
        if (!refused.empty()) {
            reportMessage("cannot write '" + options.outputPath +
                          "': " + unwritableNamesMessage(notation, refused));
            outcome.writeFailed = true;
            return;
        }
        std::string text;
        std::string failure;
        {
            const CountedSize size = notation == OutputNotation::dimacs && !options.tseitin
                                         ? CountedSize::clauses
                                         : CountedSize::terms;
            StepTimer timer(reporting, "write " + options.outputPath,
                            [this, size] { return tableCounts(firstSaved, size); });
            std::function<void()> firstBytes;
            if (writesDirectly(options.outputPath)) {
                firstBytes = [this] { noteOutputStarted(options.outputPath); };
            }
            if (options.verify) {
                std::ostringstream held;
                writeNotation(held, notation);
                text = std::move(held).str();
                failure = writeResult(
                    options.outputPath, [&](std::ostream& out) { out << text; }, closed.output,
                    firstBytes);
            } else {
                failure = writeResult(
                    options.outputPath, [&](std::ostream& out) { writeNotation(out, notation); },
                    closed.output, firstBytes);
            }
        }
        if (!failure.empty()) {
            reportMessage("cannot write '" + options.outputPath + "': " + failure);
            outcome.writeFailed = true;
            return;
        }
        noteOutputFinished(options.outputPath);
        if (options.verify) verify(notation, std::move(text));
    }

    void verify(OutputNotation notation, std::string text) {
        StepTimer timer(reporting, "verify");
        std::vector<std::string> differences = expectation.checkTable(firstSaved);
        const ReaderSettings settings =
            readerSettings(options.outputPath == "-" ? "<stdout>" : options.outputPath);
        if (options.tseitin) {
            std::istringstream in(std::move(text));
            std::vector<std::string> encoding = expectation.checkEncoding(in, firstSaved, settings);
            differences.insert(differences.end(), encoding.begin(), encoding.end());
        } else if (readsBack(notation)) {
            std::istringstream in(std::move(text));
            std::vector<std::string> readBack =
                expectation.checkReadBack(notation, in, firstSaved, settings);
            differences.insert(differences.end(), readBack.begin(), readBack.end());
        }
        for (const std::string& difference : differences) reportMessage("verify: " + difference);
        outcome.difference = !differences.empty();
    }

    int status() const {
        // --equiv: 1 for a difference, as cmp and diff answer.
        if (outcome.difference && !options.equivalentTo.empty()) return statusInputErrors;
        if (outcome.difference) return statusDifference;
        if (outcome.inputErrors || outcome.writeFailed) return statusInputErrors;
        if (options.satisfiability) {
            return outcome.unsatisfiable ? statusUnsatisfiable : statusSatisfiable;
        }
        return statusDone;
    }
};

}  // namespace

int runJob(const RunOptions& options, const ClosedStandardStreams& closed, const JobHooks& hooks) {
    std::set_new_handler(onOutOfMemory);
    StepReporting reporting;
    reporting.verbose = options.verbose;
    reporting.progress = !options.quiet && isatty(STDERR_FILENO) != 0;
    if (reporting.progress) showProgressOfActions();
    stopJobOnSignals(reporting.progress);
    if (options.maxMemory != 0 && !limitJobMemory(options.maxMemory, options.maxMemoryText)) {
        reportUsageError("--max-memory: the system takes no memory limit here");
        return statusUsage;
    }
    createTable();
    consoleSettings.toStandardError = true;
    consoleSettings.silenced = options.quiet;
    if (options.workers > 0) setWorkerCount(options.workers);
    // The handler ends every failed allocation before it can throw; a size no
    // container can hold is the same stop.
    try {
        return Job(options, closed, hooks, reporting).run();
    } catch (const std::length_error&) {
        std::get_new_handler()();
    }
    return statusUsage;
}

int runCommandLine(const std::vector<std::string>& arguments, const ClosedStandardStreams& closed,
                   const JobHooks& hooks) {
    const RepeatedLineCut cut(std::cerr, repeatedMessagesShown);
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
    return runJob(parsed.options, closed, hooks);
}
