// See blif_reader.h. The file is read in two passes: the first collects the
// signals and gates, the second walks from the outputs in post-order, checks for
// loops, adds up the tree sizes and only then builds the trees. A gate's tree is
// built once and handed to its last reader; every earlier reader gets a copy.
#include "formats/blif_reader.h"

#include <algorithm>
#include <istream>
#include <memory>
#include <sstream>
#include <unordered_map>
#include <utility>

#include "expr/function_table.h"

namespace {

// The commands that describe timing, loads or clocks: skipped, as they do not
// change what a netlist computes.
constexpr std::string_view skippedCommands[] = {
    ".area",
    ".delay",
    ".wire_load_slope",
    ".wire",
    ".input_arrival",
    ".default_input_arrival",
    ".output_required",
    ".default_output_required",
    ".input_drive",
    ".default_input_drive",
    ".output_load",
    ".default_output_load",
    ".max_input_load",
    ".default_max_input_load",
    ".clock",
    ".cname",
};

// The commands of netlists this reader does not take.
constexpr std::string_view refusedCommands[] = {
    ".latch", ".subckt", ".gate", ".mlatch", ".exdc", ".search", ".clock_event",
};

bool isOneOf(std::string_view word, auto& list) {
    return std::find(std::begin(list), std::end(list), word) != std::end(list);
}

struct Gate {
    std::vector<int32_t> fanins;    // signal numbers, in column order
    std::vector<std::string> rows;  // the input part of each cover row
    char outputValue = 0;           // '1' (ON-set rows), '0' (OFF-set rows), 0 (no row)
    int64_t line = 0;
};

struct Signal {
    std::string name;
    bool isInput = false;
    int32_t gate = -1;  // the gate driving it
};

// One line as the netlist sees it: continuations joined, the comment cut off.
struct LogicalLine {
    int64_t number = 0;  // of its first physical line
    std::vector<std::string> words;
};

class BlifParser {
  public:
    BlifParser(std::istream& input, const BlifReaderLimits& readerLimits)
        : in(input), limits(readerLimits) {}

    BlifReadResult read() {
        LogicalLine line;
        while (!stopped && nextLine(line)) takeLine(line);
        if (result.errors.empty()) build();
        return std::move(result);
    }

  private:
    std::istream& in;
    const BlifReaderLimits& limits;
    BlifReadResult result;
    int64_t physicalLine = 0;
    bool stopped = false;
    bool modelSeen = false;
    std::vector<Signal> signals;
    std::unordered_map<std::string, int32_t> signalNumbers;
    std::vector<int32_t> inputs;
    std::vector<int32_t> outputs;
    std::vector<int64_t> outputLines;  // where each output was listed
    std::vector<Gate> gates;
    Gate* openGate = nullptr;  // the gate whose cover rows follow

    void fail(int64_t line, std::string text) {
        result.errors.push_back({line, std::move(text)});
        stopped = true;
    }

    bool nextLine(LogicalLine& line) {
        line.words.clear();
        std::string text;
        bool continued = false;
        while (std::getline(in, text)) {
            ++physicalLine;
            if (!continued) line.number = physicalLine;
            if (const auto hash = text.find('#'); hash != std::string::npos) text.resize(hash);
            while (!text.empty() &&
                   (text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) {
                text.pop_back();
            }
            continued = !text.empty() && text.back() == '\\';
            if (continued) text.pop_back();
            std::istringstream words(text);
            for (std::string word; words >> word;) line.words.push_back(std::move(word));
            if (!continued && !line.words.empty()) return true;
        }
        return !line.words.empty();
    }

    int32_t signalNumber(const std::string& name) {
        const auto [place, added] =
            signalNumbers.try_emplace(name, static_cast<int32_t>(signals.size()));
        if (added) signals.push_back({name});
        return place->second;
    }

    void takeLine(const LogicalLine& line) {
        const std::string& command = line.words.front();
        if (command[0] != '.') {
            takeRow(line);
            return;
        }
        openGate = nullptr;
        if (command == ".model") {
            // Only the first model is read; a second starts where the first ended.
            if (modelSeen) stopped = true;
            modelSeen = true;
        } else if (command == ".inputs") {
            for (std::size_t i = 1; i < line.words.size(); ++i) takeInput(line, line.words[i]);
        } else if (command == ".outputs") {
            for (std::size_t i = 1; i < line.words.size(); ++i) takeOutput(line, line.words[i]);
        } else if (command == ".names") {
            takeGate(line);
        } else if (command == ".end") {
            stopped = true;
        } else if (isOneOf(command, refusedCommands)) {
            fail(line.number,
                 "'" + command + "': only combinational netlists of .names gates are read");
        } else if (!isOneOf(command, skippedCommands)) {
            fail(line.number, "unknown command '" + command + "'");
        }
    }

    void takeInput(const LogicalLine& line, const std::string& name) {
        Signal& signal = signals[static_cast<std::size_t>(signalNumber(name))];
        if (signal.isInput) return fail(line.number, "input '" + name + "' listed twice");
        signal.isInput = true;
        inputs.push_back(signalNumber(name));
    }

    void takeOutput(const LogicalLine& line, const std::string& name) {
        const int32_t number = signalNumber(name);
        if (std::find(outputs.begin(), outputs.end(), number) != outputs.end()) {
            return fail(line.number, "output '" + name + "' listed twice");
        }
        outputs.push_back(number);
        outputLines.push_back(line.number);
    }

    void takeGate(const LogicalLine& line) {
        if (line.words.size() < 2) return fail(line.number, "'.names' without a signal");
        Gate gate;
        gate.line = line.number;
        for (std::size_t i = 1; i + 1 < line.words.size(); ++i) {
            gate.fanins.push_back(signalNumber(line.words[i]));
        }
        const int32_t driven = signalNumber(line.words.back());
        Signal& signal = signals[static_cast<std::size_t>(driven)];
        if (signal.gate >= 0) {
            return fail(line.number, "signal '" + signal.name + "' is driven twice");
        }
        signal.gate = static_cast<int32_t>(gates.size());
        gates.push_back(std::move(gate));
        openGate = &gates.back();
    }

    void takeRow(const LogicalLine& line) {
        if (openGate == nullptr) {
            return fail(line.number, "'" + line.words.front() + "' outside a .names cover");
        }
        Gate& gate = *openGate;
        const std::size_t width = gate.fanins.size();
        const std::size_t expectedWords = width == 0 ? 1 : 2;
        if (line.words.size() != expectedWords || (width > 0 && line.words[0].size() != width) ||
            line.words.back().size() != 1) {
            return fail(line.number, "a cover row of " + std::to_string(width) +
                                         " input columns and one output column expected");
        }
        const std::string& part = width > 0 ? line.words[0] : std::string();
        if (part.find_first_not_of("01-") != std::string::npos) {
            return fail(line.number, "cover row '" + part + "': only 0, 1 and - are allowed");
        }
        const char value = line.words.back()[0];
        if (value != '0' && value != '1') {
            return fail(line.number, "output column '" + line.words.back() + "': 0 or 1 expected");
        }
        if (gate.outputValue != 0 && gate.outputValue != value) {
            return fail(line.number, "a cover mixes rows of the ON-set (1) and the OFF-set (0)");
        }
        gate.outputValue = value;
        gate.rows.push_back(part);
    }

    // The gates the outputs read, fanins before their readers; false on a loop or an
    // undriven signal, which is reported.
    bool orderGates(std::vector<int32_t>& order) {
        enum : uint8_t { unseen, open, done };
        std::vector<uint8_t> state(gates.size(), unseen);
        std::vector<std::pair<int32_t, std::size_t>> stack;  // gate, next fanin
        for (std::size_t index = 0; index < outputs.size(); ++index) {
            const int32_t output = outputs[index];
            if (!reaches(output, outputLines[index])) return false;
            const int32_t root = signals[static_cast<std::size_t>(output)].gate;
            if (root < 0 || state[static_cast<std::size_t>(root)] == done) continue;
            stack.push_back({root, 0});
            state[static_cast<std::size_t>(root)] = open;
            while (!stack.empty()) {
                auto& [gate, next] = stack.back();
                const Gate& current = gates[static_cast<std::size_t>(gate)];
                if (next == current.fanins.size()) {
                    state[static_cast<std::size_t>(gate)] = done;
                    order.push_back(gate);
                    stack.pop_back();
                    continue;
                }
                const int32_t fanin = current.fanins[next++];
                if (!reaches(fanin, current.line)) return false;
                const int32_t driver = signals[static_cast<std::size_t>(fanin)].gate;
                if (driver < 0 || state[static_cast<std::size_t>(driver)] == done) continue;
                if (state[static_cast<std::size_t>(driver)] == open) {
                    fail(current.line, "a loop through signal '" +
                                           signals[static_cast<std::size_t>(fanin)].name + "'");
                    return false;
                }
                state[static_cast<std::size_t>(driver)] = open;
                stack.push_back({driver, 0});
            }
        }
        return true;
    }

    // Whether the signal is an input or driven by exactly one of the two.
    bool reaches(int32_t number, int64_t line) {
        const Signal& signal = signals[static_cast<std::size_t>(number)];
        if (signal.isInput && signal.gate >= 0) {
            fail(gates[static_cast<std::size_t>(signal.gate)].line,
                 "input '" + signal.name + "' is driven by a gate");
            return false;
        }
        if (!signal.isInput && signal.gate < 0) {
            fail(line, "signal '" + signal.name + "' is neither an input nor driven by a gate");
            return false;
        }
        return true;
    }

    // Nodes of each gate's tree, saturated just past the limit.
    int64_t saturated(int64_t a, int64_t b) const {
        return std::min(a + b, limits.maxTreeNodes + 1);
    }

    void build() {
        std::vector<int32_t> order;
        if (!orderGates(order)) return;
        // Which signal each gate drives, once, instead of a search per gate.
        std::vector<int32_t> driven(gates.size(), -1);
        for (std::size_t number = 0; number < signals.size(); ++number) {
            if (signals[number].gate >= 0) {
                driven[static_cast<std::size_t>(signals[number].gate)] =
                    static_cast<int32_t>(number);
            }
        }
        const std::vector<int64_t> sizes = treeSizesOf(order, driven);
        int64_t total = 0;
        for (const int32_t output : outputs) {
            total = saturated(total, sizes[static_cast<std::size_t>(output)]);
        }
        if (total > limits.maxTreeNodes) {
            return fail(physicalLine, "the netlist unfolds into more than " +
                                          std::to_string(limits.maxTreeNodes) +
                                          " tree nodes (too much shared logic to read as trees)");
        }
        TreeBuilder builder{*this, driven};
        builder.countUses(order);
        for (const int32_t number : order) builder.buildGate(number);
        FunctionTable& table = *workspace.table;
        for (const int32_t input : inputs) {
            addVariable(table.variableList, signals[static_cast<std::size_t>(input)].name);
        }
        table.inputCount = static_cast<int64_t>(inputs.size());
        for (const int32_t output : outputs) {
            FunctionEntry& entry = table.appendEntry(
                builder.take(output), nullptr, signals[static_cast<std::size_t>(output)].name);
            completeEntry(entry);
        }
    }

    std::vector<int64_t> treeSizesOf(const std::vector<int32_t>& order,
                                     const std::vector<int32_t>& driven) const {
        std::vector<int64_t> sizes(signals.size(), 1);  // an input is one leaf
        for (const int32_t number : order) {
            const Gate& gate = gates[static_cast<std::size_t>(number)];
            int64_t size = 0;
            bool constant = gate.rows.empty();
            for (const std::string& row : gate.rows) {
                int64_t literals = 0;
                for (std::size_t column = 0; column < row.size(); ++column) {
                    if (row[column] == '-') continue;
                    const auto fanin = static_cast<std::size_t>(gate.fanins[column]);
                    size = saturated(size, sizes[fanin] + (row[column] == '0' ? 1 : 0));
                    ++literals;
                }
                if (literals == 0) constant = true;
                size = saturated(size, std::max<int64_t>(literals - 1, 0));  // the ands
            }
            size = saturated(size, static_cast<int64_t>(gate.rows.size()) - 1);  // the ors
            if (gate.outputValue == '0') size = saturated(size, 1);
            sizes[static_cast<std::size_t>(driven[static_cast<std::size_t>(number)])] =
                constant ? 1 : size;
        }
        return sizes;
    }

    // Builds each gate's tree once and hands out copies to all readers but the last.
    struct TreeBuilder {
        const BlifParser& parser;
        const std::vector<int32_t>& driven;
        std::vector<std::unique_ptr<Node>> trees{parser.signals.size()};
        std::vector<int64_t> uses = std::vector<int64_t>(parser.signals.size(), 0);

        void countUses(const std::vector<int32_t>& order) {
            for (const int32_t number : order) {
                const Gate& gate = parser.gates[static_cast<std::size_t>(number)];
                if (isConstant(gate)) continue;
                for (const std::string& row : gate.rows) {
                    for (std::size_t column = 0; column < row.size(); ++column) {
                        if (row[column] != '-')
                            ++uses[static_cast<std::size_t>(gate.fanins[column])];
                    }
                }
            }
            for (const int32_t output : parser.outputs) ++uses[static_cast<std::size_t>(output)];
        }

        static bool isConstant(const Gate& gate) {
            if (gate.rows.empty()) return true;
            return std::any_of(gate.rows.begin(), gate.rows.end(), [](const std::string& row) {
                return row.find_first_not_of('-') == std::string::npos;
            });
        }

        Node* take(int32_t number) {
            const Signal& signal = parser.signals[static_cast<std::size_t>(number)];
            if (signal.isInput) return new IdentNode(signal.name);
            auto& tree = trees[static_cast<std::size_t>(number)];
            if (--uses[static_cast<std::size_t>(number)] == 0) return tree.release();
            return tree->clone();
        }

        void buildGate(int32_t number) {
            const Gate& gate = parser.gates[static_cast<std::size_t>(number)];
            Node* sum = nullptr;
            if (isConstant(gate)) {
                // No row is the constant 0 of its set; a row without literals is the
                // whole set.
                const bool onSetTrue = !gate.rows.empty();
                const bool value = gate.outputValue == '0' ? !onSetTrue : onSetTrue;
                sum = new VectNode(value ? valueTrue : valueFalse, 1);
            } else {
                for (const std::string& row : gate.rows) {
                    Node* product = nullptr;
                    for (std::size_t column = 0; column < row.size(); ++column) {
                        if (row[column] == '-') continue;
                        Node* literal = take(gate.fanins[column]);
                        if (row[column] == '0') literal = new UNode(literal);
                        product = product == nullptr ? literal : new BNode(opAnd, product, literal);
                    }
                    sum = sum == nullptr ? product : new BNode(opOr, sum, product);
                }
                if (gate.outputValue == '0') sum = new UNode(sum);
            }
            trees[static_cast<std::size_t>(driven[static_cast<std::size_t>(number)])].reset(sum);
        }
    };
};

}  // namespace

BlifReadResult loadBlif(std::istream& in, const BlifReaderLimits& limits) {
    return BlifParser(in, limits).read();
}
