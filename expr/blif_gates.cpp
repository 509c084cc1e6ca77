// BLIF gates of a tree, written in post-order: each operator node becomes one
// ".names" block whose output signal is "sig" plus the process-wide counter, or the
// function's own name at the root of the function being written.
#include <ostream>
#include <string>

#include "driver/function_table.h"
#include "expr/node.h"

namespace {

// The next internal signal name; the root of the current function is named after
// the function instead, though the counter value is consumed all the same.
std::string nextSignalName(const Node* node) {
    std::string name = "sig" + std::to_string(program.signalCounter++);
    const FunctionEntry* entry = program.currentEntry;
    if (entry != nullptr && entry->tree == node) return entry->name;
    return name;
}

const char* const gateRows[] = {
    "",                // not: written by UNode itself
    "11 1\n",          // and
    "1- 1\n-1 1\n",    // or
    "0- 1\n-0 1\n",    // nand
    "00 1\n",          // nor
    "10 1\n01 1\n",    // xor
    "00 1\n11 1\n",    // xnor
};

}  // namespace

std::string IdentNode::emitBlif(std::ostream& out) {
    const FunctionEntry* entry = program.currentEntry;
    if (entry != nullptr && entry->tree == this) {
        out << ".names " << symbolName(name) << ' ' << entry->name << "\n1 1\n";
    }
    return symbolName(name);
}

// A constant drives its own signal so that every gate input and output is driven:
// a single row "1" for true, no row for false.
std::string VectNode::emitBlif(std::ostream& out) {
    std::string signal = nextSignalName(this);
    out << ".names " << signal << '\n';
    if ((value & 1) != 0) out << "1\n";
    return signal;
}

std::string UNode::emitBlif(std::ostream& out) {
    std::string input = operand->emitBlif(out);
    std::string signal = nextSignalName(this);
    out << ".names " << input << ' ' << signal << "\n0 1\n";
    return signal;
}

std::string BNode::emitBlif(std::ostream& out) {
    std::string leftInput = left->emitBlif(out);
    std::string rightInput = right->emitBlif(out);
    std::string signal = nextSignalName(this);
    out << ".names " << leftInput << ' ' << rightInput << ' ' << signal << '\n'
        << gateRows[op];
    return signal;
}
