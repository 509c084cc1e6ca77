// BLIF gates of a tree, written in post-order: each operator node becomes one
// ".names" block whose output signal is "sig" plus the process-wide counter, or the
// function's own name at the root of the function being written.
#include <ostream>
#include <string>

#include "base/text_sink.h"
#include "expr/function_table.h"
#include "expr/node.h"

namespace {

// The next internal signal; the root of the current function is named after the
// function instead, though the counter value is consumed all the same.
BlifSignal nextSignal(const Node* node) {
    BlifSignal signal{nullptr, program.signalCounter++};
    FunctionEntry* entry = program.currentEntry;
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

}  // namespace

void writeBlifGates(Node& tree, std::ostream& out) {
    TextSink sink(out);
    tree.emitBlif(sink);
}

BlifSignal IdentNode::emitBlif(TextSink& out) {
    BlifSignal input{&symbolName(name)};
    FunctionEntry* entry = program.currentEntry;
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
    BlifSignal input = operand->emitBlif(out);
    BlifSignal signal = nextSignal(this);
    out << ".names " << input << ' ' << signal << "\n0 1\n";
    return signal;
}

BlifSignal BNode::emitBlif(TextSink& out) {
    BlifSignal leftInput = left->emitBlif(out);
    BlifSignal rightInput = right->emitBlif(out);
    BlifSignal signal = nextSignal(this);
    out << ".names " << leftInput << ' ' << rightInput << ' ' << signal << '\n' << gateRows[op];
    return signal;
}
