// Options are GNU-style: short ones take their value as the next word, long ones as
// the next word or after "=", and "--" ends the options. Every problem found here is
// a usage error (status 2) with a message that names the option.
#include "run/options.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <map>
#include <string_view>

#include "base/worker_pool.h"

namespace {

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::optional<InputNotation> inputNotationNamed(std::string_view name) {
    if (name == "pla") return InputNotation::pla;
    if (name == "vhdl") return InputNotation::vhdl;
    if (name == "dimacs") return InputNotation::dimacs;
    if (name == "blif") return InputNotation::blif;
    return std::nullopt;
}

std::optional<InputNotation> notationOfExtension(const std::string& path) {
    if (endsWith(path, ".pla")) return InputNotation::pla;
    if (endsWith(path, ".vhd") || endsWith(path, ".vhdl")) return InputNotation::vhdl;
    if (endsWith(path, ".cnf") || endsWith(path, ".dimacs")) return InputNotation::dimacs;
    if (endsWith(path, ".blif")) return InputNotation::blif;
    return std::nullopt;
}

// The extension of the path's last name, without its dot; empty when it has none
// (a name that starts with its only dot has none).
std::string extensionOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot + 1);
}

std::optional<OutputNotation> outputNotationOfExtension(const std::string& path) {
    if (endsWith(path, ".pla")) return OutputNotation::pla;
    if (endsWith(path, ".vhd")) return OutputNotation::pseudoVhdl;
    if (endsWith(path, ".vhdl")) return OutputNotation::completeVhdl;
    if (endsWith(path, ".blif")) return OutputNotation::blif;
    if (endsWith(path, ".cnf") || endsWith(path, ".dimacs")) return OutputNotation::dimacs;
    return std::nullopt;
}

// The options that print a report on standard output instead of the result.
bool reportsOnStandardOutput(const RunOptions& options) {
    return options.satisfiability || options.statistics || !options.equivalentTo.empty();
}

std::string_view reportOption(const RunOptions& options) {
    if (options.satisfiability) return "--sat prints its verdicts";
    return options.statistics ? "--stats prints its table" : "--equiv prints its verdicts";
}

std::optional<OutputNotation> outputNotationNamed(std::string_view name) {
    if (name == "pla") return OutputNotation::pla;
    if (name == "pseudo-vhdl") return OutputNotation::pseudoVhdl;
    if (name == "vhdl") return OutputNotation::completeVhdl;
    if (name == "blif") return OutputNotation::blif;
    if (name == "sop-blif") return OutputNotation::sopBlif;
    if (name == "dimacs") return OutputNotation::dimacs;
    return std::nullopt;
}

// "cofactor:FUNCTION:INPUT=0|1"; false when malformed.
bool parseCofactor(std::string_view text, JobStep& step) {
    const std::size_t secondColon = text.find(':');
    const std::size_t equals = text.rfind('=');
    if (secondColon == std::string_view::npos || equals == std::string_view::npos ||
        equals < secondColon || equals + 2 != text.size()) {
        return false;
    }
    step.function = std::string(text.substr(0, secondColon));
    step.input = std::string(text.substr(secondColon + 1, equals - secondColon - 1));
    const char value = text[equals + 1];
    if (step.function.empty() || step.input.empty() || (value != '0' && value != '1')) return false;
    step.kind = JobStep::Kind::cofactor;
    step.value = value == '1';
    return true;
}

// One ACTION of --do; false when it names none.
bool parseStep(std::string_view text, JobStep& step) {
    static const std::map<std::string_view, JobStep::Kind> plain{
        {"negate", JobStep::Kind::negate},     {"and-or-not", JobStep::Kind::andOrNot},
        {"cnf", JobStep::Kind::cnf},           {"dnf", JobStep::Kind::dnf},
        {"nand", JobStep::Kind::nand},         {"nor", JobStep::Kind::nor},
        {"minimize", JobStep::Kind::minimize},
    };
    if (auto found = plain.find(text); found != plain.end()) {
        step.kind = found->second;
        return true;
    }
    if (text.substr(0, 9) == "cofactor:") return parseCofactor(text.substr(9), step);
    if (text == "minimize=exact") {
        step.kind = JobStep::Kind::minimize;
        step.value = true;
        return true;
    }
    if (text == "absorption=on" || text == "absorption=off") {
        step.kind = JobStep::Kind::absorption;
        step.value = text == "absorption=on";
        return true;
    }
    return false;
}

std::string addSteps(std::string_view list, std::vector<JobStep>& steps) {
    for (;;) {
        const std::size_t comma = list.find(',');
        const std::string_view word = list.substr(0, comma);
        JobStep step;
        if (!parseStep(word, step)) return "unknown action '" + std::string(word) + "' for --do";
        steps.push_back(step);
        if (comma == std::string_view::npos) return {};
        list.remove_prefix(comma + 1);
    }
}

class Parser {
  public:
    explicit Parser(const std::vector<std::string>& words) : arguments(words) {}

    ParsedCommandLine parse() {
        bool optionsEnded = false;
        std::vector<std::string> operands;
        for (position = 0; position < arguments.size() && result.usageError.empty(); ++position) {
            const std::string& word = arguments[position];
            if (optionsEnded || word == "-" || word.empty() || word[0] != '-') {
                operands.push_back(word);
            } else if (word == "--") {
                optionsEnded = true;
            } else {
                takeOption(word);
            }
        }
        if (!result.usageError.empty() || result.options.help || result.options.version) {
            return result;
        }
        if (operands.size() != 1) {
            result.usageError = operands.empty() ? "no INPUT given" : "more than one INPUT given";
            return result;
        }
        result.options.inputPath = operands.front();
        for (JobStep& step : result.options.steps) {
            step.limit = result.options.exactLimit;
            step.branches = result.options.exactBranches;
        }
        checkCombinations();
        return result;
    }

  private:
    const std::vector<std::string>& arguments;
    std::size_t position = 0;
    ParsedCommandLine result;

    // The value of the option `name`: after "=" in `attached`, else the next word.
    std::optional<std::string> valueOf(const std::string& name,
                                       const std::optional<std::string>& attached) {
        if (attached) return attached;
        if (position + 1 >= arguments.size()) {
            result.usageError = "option " + name + " needs a value";
            return std::nullopt;
        }
        return arguments[++position];
    }

    void takeOption(const std::string& word) {
        std::string name = word;
        std::optional<std::string> attached;
        if (word.size() > 2 && word[1] == '-') {
            const std::size_t equals = word.find('=');
            if (equals != std::string::npos) {
                name = word.substr(0, equals);
                attached = word.substr(equals + 1);
            }
        }
        RunOptions& options = result.options;
        if (name == "--stats") {
            takeStatistics(attached);
            return;
        }
        const std::map<std::string, bool*> switches{
            {"--added", &options.addedOnly},
            {"--sat", &options.satisfiability},
            {"--verify", &options.verify},
            {"--keep-names", &options.keepNames},
            {"--tseitin", &options.tseitin},
            {"--partial", &options.partial},
            {"--lenient", &options.lenient},
            {"--dont-cares", &options.dontCares},
            {"--shared-rows", &options.sharedRows},
            {"-v", &options.verbose},
            {"--verbose", &options.verbose},
            {"-q", &options.quiet},
            {"--quiet", &options.quiet},
            {"-h", &options.help},
            {"--help", &options.help},
            {"--version", &options.version},
        };
        if (auto found = switches.find(name); found != switches.end()) {
            if (attached) {
                result.usageError = "option " + name + " takes no value";
                return;
            }
            *found->second = true;
            return;
        }
        const std::map<std::string, std::function<void(const std::string&)>> valued{
            {"-f", [&](const std::string& value) { takeFrom(value); }},
            {"--from", [&](const std::string& value) { takeFrom(value); }},
            {"-t", [&](const std::string& value) { takeTo(value); }},
            {"--to", [&](const std::string& value) { takeTo(value); }},
            {"-o", [&](const std::string& value) { takeOutput(value); }},
            {"--output", [&](const std::string& value) { takeOutput(value); }},
            {"-a",
             [&](const std::string& value) {
                 options.additions.push_back({false, value});
             }},
            {"--add",
             [&](const std::string& value) {
                 options.additions.push_back({false, value});
             }},
            {"-s",
             [&](const std::string& value) {
                 options.additions.push_back({true, value});
             }},
            {"--script",
             [&](const std::string& value) {
                 options.additions.push_back({true, value});
             }},
            {"--equiv",
             [&](const std::string& value) {
                 options.equivalentTo = value;
                 if (value.empty()) result.usageError = "empty path for --equiv";
             }},
            {"--exact-limit",
             [&](const std::string& value) {
                 takeCount(value, "--exact-limit", result.options.exactLimit);
             }},
            {"--exact-branches",
             [&](const std::string& value) {
                 takeCount(value, "--exact-branches", result.options.exactBranches);
             }},
            {"--workers", [&](const std::string& value) { takeWorkers(value); }},
            {"--max-memory", [&](const std::string& value) { takeMaxMemory(value); }},
            {"-d",
             [&](const std::string& value) { result.usageError = addSteps(value, options.steps); }},
            {"--do",
             [&](const std::string& value) { result.usageError = addSteps(value, options.steps); }},
        };
        auto found = valued.find(name);
        if (found == valued.end()) {
            result.usageError = "unknown option " + name;
            return;
        }
        if (std::optional<std::string> value = valueOf(name, attached)) found->second(*value);
    }

    void takeFrom(const std::string& value) {
        result.options.from = inputNotationNamed(value);
        if (!result.options.from) {
            result.usageError =
                "unknown notation '" + value + "' for --from (pla, vhdl, dimacs, blif)";
        }
    }

    void takeTo(const std::string& value) {
        result.options.to = outputNotationNamed(value);
        if (!result.options.to) {
            result.usageError = "unknown notation '" + value +
                                "' for --to (pla, pseudo-vhdl, vhdl, blif, sop-blif, dimacs)";
        }
    }

    // --stats, or --stats=text or --stats=tsv.
    void takeStatistics(const std::optional<std::string>& layout) {
        result.options.statistics = true;
        if (!layout || *layout == "text") return;
        if (*layout == "tsv") {
            result.options.statisticsTabSeparated = true;
            return;
        }
        result.usageError = "unknown layout '" + *layout + "' for --stats (text, tsv)";
    }

    void takeCount(const std::string& value, const char* option, uint64_t& count) {
        const bool digits = !value.empty() && value.size() < 13 &&
                            value.find_first_not_of("0123456789") == std::string::npos;
        if (!digits || std::stoull(value) == 0) {
            result.usageError =
                std::string(option) + " needs a whole number from 1 to 999999999999";
            return;
        }
        count = std::stoull(value);
    }

    void takeWorkers(const std::string& value) {
        result.options.workers = workersNamedBy(value.c_str());
        if (result.options.workers == 0) {
            result.usageError =
                "--workers needs a whole number from 1 to " + std::to_string(maxWorkers);
        }
    }

    // A whole number of bytes, or of K, M, G or T (powers of 1024, either case), at
    // most 2^62 bytes.
    void takeMaxMemory(const std::string& value) {
        static const std::map<std::string, int> shifts{{"", 0},   {"K", 10}, {"k", 10},
                                                       {"M", 20}, {"m", 20}, {"G", 30},
                                                       {"g", 30}, {"T", 40}, {"t", 40}};
        const std::size_t digits = std::min(value.find_first_not_of("0123456789"), value.size());
        const auto shift = shifts.find(value.substr(digits));
        const uint64_t count =
            digits == 0 || digits > 18 ? 0 : std::stoull(value.substr(0, digits));
        if (shift == shifts.end() || count == 0 || count > (uint64_t{1} << (62 - shift->second))) {
            result.usageError =
                "--max-memory needs a size such as 512M or 2G (bytes, or K, M, G, T above 0)";
            return;
        }
        result.options.maxMemory = count << shift->second;
        result.options.maxMemoryText = value;
    }

    void takeOutput(const std::string& value) {
        result.options.outputPath = value;
        result.options.outputGiven = true;
        if (value.empty()) result.usageError = "empty path for --output";
    }

    void checkCombinations() {
        const RunOptions& options = result.options;
        if (!inputNotationOf(options)) {
            result.usageError = "cannot tell the notation of '" + options.inputPath +
                                "': name it with --from pla|vhdl|dimacs|blif";
        } else if (reportsOnStandardOutput(options) && options.outputGiven &&
                   options.outputPath == "-") {
            result.usageError =
                std::string(reportOption(options)) + " on standard output: give --output a file";
        } else if (!options.equivalentTo.empty() && !otherInputNotationOf(options)) {
            result.usageError = "cannot tell the notation of '" + options.equivalentTo +
                                "': name it with --from pla|vhdl|dimacs|blif";
        } else if (options.verify && options.satisfiability && !options.outputGiven) {
            result.usageError = "--verify checks a written result: with --sat give --output a file";
        } else if (!options.to && options.outputPath != "-" &&
                   !extensionOf(options.outputPath).empty() &&
                   !outputNotationOfExtension(options.outputPath)) {
            result.usageError = "cannot tell the notation of '" + options.outputPath +
                                "' from its extension: name it with --to";
        } else if (options.tseitin && outputNotationOf(options) != OutputNotation::dimacs) {
            result.usageError = "--tseitin is an encoding of DIMACS output: give -t dimacs";
        } else if (options.sharedRows &&
                   (options.steps.empty() || options.steps.back().kind != JobStep::Kind::minimize ||
                    outputNotationOf(options) != OutputNotation::pla)) {
            result.usageError =
                "--shared-rows writes a minimized PLA: end --do with minimize "
                "and write PLA";
        } else if (options.quiet && options.verbose) {
            result.usageError = "--quiet and --verbose exclude each other";
        }
    }
};

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    return Parser(arguments).parse();
}

std::optional<InputNotation> inputNotationOf(const RunOptions& options) {
    if (options.from) return options.from;
    return notationOfExtension(options.inputPath);
}

std::optional<InputNotation> otherInputNotationOf(const RunOptions& options) {
    if (std::optional<InputNotation> notation = notationOfExtension(options.equivalentTo)) {
        return notation;
    }
    return options.from;
}

OutputNotation outputNotationOf(const RunOptions& options) {
    if (options.to) return *options.to;
    return outputNotationOfExtension(options.outputPath).value_or(OutputNotation::pla);
}
