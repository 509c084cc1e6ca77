// The printed text and the BLIF gates follow the tree walks of node.cpp and
// blif_gates.cpp over the shape described in the header: an operand that is not a
// leaf is printed inside "( " and " )", so a left-deep chain of n operands opens n-2
// parentheses at its start and closes one after each operand from the second on; the
// gates come in post-order, each operand's before the gate that joins it, and each
// operator and constant takes the next signal number, the root's named after the
// function.
#include "expr/row_chains.h"

#include <ostream>
#include <string_view>

#include "base/text_sink.h"
#include "expr/variable_list.h"

namespace {

const char* spacedWord(OperatorCode code) {
    return code == opAnd ? " and " : " or ";
}

const char* gateRows(OperatorCode code) {
    return code == opAnd ? "11 1\n" : "1- 1\n-1 1\n";
}

Node* literalNode(uint32_t literal) {
    Node* node = new IdentNode(literalSymbol(literal));
    return literalNegated(literal) ? new UNode(node) : node;
}

Node* rowNode(const RowChains& chains, uint32_t row) {
    const RowStore& rows = chains.rows;
    if (rows.rowSize(row) == 0) return new VectNode(chains.emptyRowValue, 1);
    Node* chain = nullptr;
    for (uint32_t i = rows.rowStarts[row]; i < rows.rowStarts[row + 1]; ++i) {
        Node* node = literalNode(rows.literals[i]);
        chain = chain == nullptr ? node : new BNode(chains.inner, chain, node);
    }
    return chain;
}

// --- printing ----------------------------------------------------------------

class ChainPrinter {
  public:
    ChainPrinter(const RowChains& rowChains, std::ostream& stream)
        : chains(rowChains), rows(rowChains.rows), out(stream) {}

    void printTree() {
        const std::size_t count = chains.count();
        if (count == 1) {
            printRow(chains.rowAt(0));
            return;
        }
        for (std::size_t i = 2; i < count; ++i) out << "( ";
        for (std::size_t i = 0; i < count; ++i) {
            if (i >= 2) out << " )";
            if (i >= 1) out << spacedWord(chains.outer);
            printRowOperand(chains.rowAt(i));
        }
    }

  private:
    const RowChains& chains;
    const RowStore& rows;
    std::ostream& out;

    void printLiteral(uint32_t literal) {
        if (literalNegated(literal)) out << "not ";
        out << symbolName(literalSymbol(literal));
    }

    void printLiteralOperand(uint32_t literal) {
        if (literalNegated(literal)) {
            out << "( ";
            printLiteral(literal);
            out << " )";
        } else {
            printLiteral(literal);
        }
    }

    void printRow(uint32_t row) {
        const uint32_t first = rows.rowStarts[row];
        const uint32_t size = rows.rowSize(row);
        if (size == 0) {
            out << ((chains.emptyRowValue & 1) != 0 ? "\"1\"" : "\"0\"");
            return;
        }
        if (size == 1) {
            printLiteral(rows.literals[first]);
            return;
        }
        for (uint32_t i = 2; i < size; ++i) out << "( ";
        for (uint32_t i = 0; i < size; ++i) {
            if (i >= 2) out << " )";
            if (i >= 1) out << spacedWord(chains.inner);
            printLiteralOperand(rows.literals[first + i]);
        }
    }

    // A row as an operand: inside parentheses unless it is a leaf (a constant or
    // one positive literal).
    void printRowOperand(uint32_t row) {
        const uint32_t size = rows.rowSize(row);
        const bool leaf =
            size == 0 || (size == 1 && !literalNegated(rows.literals[rows.rowStarts[row]]));
        if (leaf) {
            printRow(row);
            return;
        }
        out << "( ";
        printRow(row);
        out << " )";
    }
};

// --- BLIF gates --------------------------------------------------------------

class ChainGates {
  public:
    ChainGates(const RowChains& rowChains, TextSink& sink, const std::string& function)
        : chains(rowChains), rows(rowChains.rows), out(sink), rootName(function) {}

    void emitTree() {
        const std::size_t count = chains.count();
        BlifSignal chain = emitRow(chains.rowAt(0), count == 1);
        for (std::size_t i = 1; i < count; ++i) {
            const BlifSignal operand = emitRow(chains.rowAt(i), false);
            const BlifSignal gate = nextSignal(i + 1 == count);
            writeGate(chains.outer, chain, operand, gate);
            chain = gate;
        }
    }

  private:
    const RowChains& chains;
    const RowStore& rows;
    TextSink& out;
    const std::string& rootName;

    BlifSignal nextSignal(bool root) {
        BlifSignal signal{nullptr, blifSignalCounter++};
        if (root) signal.name = &rootName;
        return signal;
    }

    void write(const BlifSignal& signal) {
        if (signal.name != nullptr) {
            out << std::string_view(*signal.name);
        } else {
            out << "sig" << signal.number;
        }
    }

    void writeGate(OperatorCode code, const BlifSignal& left, const BlifSignal& right,
                   const BlifSignal& signal) {
        out << ".names ";
        write(left);
        out << ' ';
        write(right);
        out << ' ';
        write(signal);
        out << '\n' << gateRows(code);
    }

    // An identifier drives no gate of its own, except at the root of the function,
    // where a buffer names it after the function.
    BlifSignal emitLiteral(uint32_t literal, bool root) {
        const BlifSignal input{&symbolName(literalSymbol(literal))};
        if (literalNegated(literal)) {
            const BlifSignal signal = nextSignal(root);
            out << ".names ";
            write(input);
            out << ' ';
            write(signal);
            out << "\n0 1\n";
            return signal;
        }
        if (root) {
            out << ".names ";
            write(input);
            out << ' ' << std::string_view(rootName) << "\n1 1\n";
        }
        return input;
    }

    BlifSignal emitRow(uint32_t row, bool root) {
        const uint32_t first = rows.rowStarts[row];
        const uint32_t size = rows.rowSize(row);
        if (size == 0) {
            const BlifSignal signal = nextSignal(root);
            out << ".names ";
            write(signal);
            out << '\n';
            if ((chains.emptyRowValue & 1) != 0) out << "1\n";
            return signal;
        }
        BlifSignal chain = emitLiteral(rows.literals[first], root && size == 1);
        for (uint32_t i = 1; i < size; ++i) {
            const BlifSignal operand = emitLiteral(rows.literals[first + i], false);
            const BlifSignal gate = nextSignal(root && i + 1 == size);
            writeGate(chains.inner, chain, operand, gate);
            chain = gate;
        }
        return chain;
    }
};

}  // namespace

Node* buildChains(const RowChains& chains) {
    Node* tree = nullptr;
    for (std::size_t i = 0; i < chains.count(); ++i) {
        Node* row = rowNode(chains, chains.rowAt(i));
        tree = tree == nullptr ? row : new BNode(chains.outer, tree, row);
    }
    return tree;
}

void printChains(const RowChains& chains, std::ostream& out) {
    ChainPrinter(chains, out).printTree();
}

void emitChainsBlif(const RowChains& chains, TextSink& out, const std::string& rootName) {
    ChainGates(chains, out, rootName).emitTree();
}

int64_t chainLiteralCount(const RowChains& chains) {
    int64_t count = 0;
    for (std::size_t i = 0; i < chains.count(); ++i) count += chains.rows.rowSize(chains.rowAt(i));
    return count;
}

void collectChainVariables(const RowChains& chains, VariableList& list) {
    const RowStore& rows = chains.rows;
    for (std::size_t i = 0; i < chains.count(); ++i) {
        const uint32_t row = chains.rowAt(i);
        for (uint32_t k = rows.rowStarts[row]; k < rows.rowStarts[row + 1]; ++k) {
            list.add(literalSymbol(rows.literals[k]));
        }
    }
}
