// Sums of products and products of sums held as rows of literals, and the tree each
// stands for: a left-deep chain of the outer operator over the rows taken, in order,
// each row a left-deep chain of the inner operator over its literals (a negated
// literal a not over its identifier; a row without literals a one-digit constant).
// That is the shape the PLA reader gives an output (an or of and-ed rows) and the
// DIMACS reader its formula (an and of or-ed clauses).
//
// Besides building that tree, the functions here write what printing it and what its
// BLIF gates would write, byte for byte, straight from the rows: a file of a million
// rows is written without the tens of nodes per row its tree would take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "expr/node.h"
#include "expr/symbol.h"

class VariableList;

struct RowStore {
    static constexpr uint32_t negatedBit = uint32_t{1} << 31;

    std::vector<uint32_t> literals;      // a symbol, with negatedBit for a negated literal
    std::vector<uint32_t> rowStarts{0};  // row r spans literals[rowStarts[r], rowStarts[r+1])

    uint32_t rowCount() const { return static_cast<uint32_t>(rowStarts.size() - 1); }
    uint32_t rowSize(uint32_t row) const { return rowStarts[row + 1] - rowStarts[row]; }
    void addLiteral(Symbol name, bool negated) {
        literals.push_back(negated ? (name | negatedBit) : name);
    }
    // Closes the row being read; it keeps the number rowCount() had before.
    void closeRow() { rowStarts.push_back(static_cast<uint32_t>(literals.size())); }
    // Drops the row being read (one that ended before its outputs).
    void discardOpenRow() { literals.resize(rowStarts.back()); }
    // Drops every row, closed or open.
    void clear() {
        literals.clear();
        rowStarts.assign(1, 0);
    }
};

inline Symbol literalSymbol(uint32_t literal) {
    return static_cast<Symbol>(literal & ~RowStore::negatedBit);
}
inline bool literalNegated(uint32_t literal) {
    return (literal & RowStore::negatedBit) != 0;
}

// Which rows make the tree, and with which operators.
struct RowChains {
    const RowStore& rows;
    const std::vector<uint32_t>* taken;  // row numbers in order; null: every row of the store
    OperatorCode outer;
    OperatorCode inner;
    int32_t emptyRowValue;  // the constant a row without literals stands for

    std::size_t count() const { return taken != nullptr ? taken->size() : rows.rowCount(); }
    uint32_t rowAt(std::size_t index) const {
        return taken != nullptr ? (*taken)[index] : static_cast<uint32_t>(index);
    }
};

// The tree; null without rows. The caller owns it.
Node* buildChains(const RowChains& chains);
// What `print` writes for the built tree (there must be a row).
void printChains(const RowChains& chains, std::ostream& out);
// What `emitBlif` writes for the built tree as the function `rootName` (there must
// be a row), numbering the internal signals from the program-wide counter on.
void emitChainsBlif(const RowChains& chains, TextSink& out, const std::string& rootName);
// The built tree's literal count.
int64_t chainLiteralCount(const RowChains& chains);
// Adds the names to the list in the order a walk of the built tree meets them.
void collectChainVariables(const RowChains& chains, VariableList& list);
