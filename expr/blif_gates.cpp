// BLIF gates of a tree, written in post-order: each operator node becomes one
// ".names" block whose output signal is "sig" plus the process-wide counter, or the
// function's own name at the root of the function being written.
//
// The post-order walk is a loop over an explicit stack, with the signals of the
// operands written so far waiting on a second one: a CNF of millions of clauses is
// a chain as deep, and its gates must not cost call stack.
#include <string>

#include "base/text_sink.h"
#include "expr/function_table.h"
#include "expr/node.h"
#include "expr/work_stack.h"

int64_t blifSignalCounter = 0;

namespace {

// The next internal signal; the root of the current function is named after the
// function instead, though the counter value is consumed all the same.
BlifSignal nextSignal(const Node* node) {
    BlifSignal signal{nullptr, blifSignalCounter++};
    FunctionEntry* entry = workspace.currentEntry;
    if (entry != nullptr && entry->tree() == node) signal.name = &entry->name;
    return signal;
}

TextSink& operator<<(TextSink& out, const BlifSignal& signal) {
    if (signal.name != nullptr) return out << std::string_view(*signal.name);
    return out << "sig" << signal.number;
}

const char* const gateRows[] = {
    "",              // not: written by UNode itself
    "11 1\n",        // and
    "1- 1\n-1 1\n",  // or
    "0- 1\n-0 1\n",  // nand
    "00 1\n",        // nor
    "10 1\n01 1\n",  // xor
    "00 1\n11 1\n",  // xnor
};

void writeNotGate(TextSink& out, const BlifSignal& input, const BlifSignal& signal) {
    out << ".names " << input << ' ' << signal << "\n0 1\n";
}

void writeBinaryGate(TextSink& out, int code, const BlifSignal& leftInput,
                     const BlifSignal& rightInput, const BlifSignal& signal) {
    out << ".names " << leftInput << ' ' << rightInput << ' ' << signal << '\n' << gateRows[code];
}

// The gates of the operators of a tree, after those of their operands; answers the
// signal the root drives.
BlifSignal emitOperatorGates(Node* root, TextSink& out) {
    struct Step {
        Node* node;
        bool operandsDone;
    };
    WorkStack<Step> pending;
    WorkStack<BlifSignal> signals;
    pending.push({root, false});
    while (!pending.empty()) {
        const Step step = pending.pop();
        Node* node = step.node;
        const int code = node->opCode();
        if (code == opLeaf) {
            signals.push(node->emitBlif(out));
        } else if (!step.operandsDone) {
            pending.push({node, true});
            if (code == opNot) {
                pending.push({static_cast<UNode*>(node)->operand, false});
            } else {
                pending.push({static_cast<BNode*>(node)->right, false});
                pending.push({static_cast<BNode*>(node)->left, false});
            }
        } else if (code == opNot) {
            const BlifSignal input = signals.pop();
            const BlifSignal signal = nextSignal(node);
            writeNotGate(out, input, signal);
            signals.push(signal);
        } else {
            const BlifSignal rightInput = signals.pop();
            const BlifSignal leftInput = signals.pop();
            const BlifSignal signal = nextSignal(node);
            writeBinaryGate(out, code, leftInput, rightInput, signal);
            signals.push(signal);
        }
    }
    return signals.pop();
}

}  // namespace

BlifSignal IdentNode::emitBlif(TextSink& out) {
    BlifSignal input{&symbolName(name)};
    FunctionEntry* entry = workspace.currentEntry;
    if (entry != nullptr && entry->tree() == this) {
        out << ".names " << input << ' ' << std::string_view(entry->name) << "\n1 1\n";
    }
    return input;
}

// A constant drives its own signal so that every gate input and output is driven:
// a single row "1" for true, no row for false.
BlifSignal VectNode::emitBlif(TextSink& out) {
    BlifSignal signal = nextSignal(this);
    out << ".names " << signal << '\n';
    if ((value & 1) != 0) out << "1\n";
    return signal;
}

BlifSignal UNode::emitBlif(TextSink& out) {
    return emitOperatorGates(this, out);
}

BlifSignal BNode::emitBlif(TextSink& out) {
    return emitOperatorGates(this, out);
}
