// A product of clauses kept as literal lists until its tree is first needed.
//
// A DIMACS file is one function, the and of its clauses, each clause the or of its
// literals; as a tree that is about five nodes per literal, twenty times the file's
// own size. The reader instead appends the clauses to one flat store (four bytes a
// literal), which builds, when the function is first used, the tree the reader
// would have built: each clause's literals or-ed left to right, the clauses and-ed
// left to right in file order. Printing and the BLIF gates are written from the
// store directly (expr/row_chains.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "expr/pending_sum.h"
#include "expr/row_chains.h"

class PendingClauses final : public PendingTree {
  public:
    // The reader adds the literals of the clause being read here, then closes or
    // discards it (RowStore's closeRow, discardOpenRow).
    RowStore& store() { return clauses; }
    const RowStore& store() const { return clauses; }

    // An empty clause: the product becomes the constant false, which the clauses
    // read after it are and-ed to.
    void falsify() {
        clauses.clear();
        clauses.closeRow();
    }
    // No clause was read: the product is the empty conjunction.
    bool empty() const { return clauses.rowCount() == 0; }
    // The same clauses with every name that `renamed` maps replaced by its new name,
    // as renaming the built tree's identifiers would give.
    std::unique_ptr<PendingClauses> renamed(const std::unordered_map<Symbol, Symbol>& names) const;

    Node* buildTree() const override;
    int64_t literalCount() const override;
    bool printWithoutTree(std::ostream& out) const override;
    bool emitBlifWithoutTree(TextSink& out, const std::string& rootName) const override;
    bool collectVariablesWithoutTree(VariableList& list) const override;

  private:
    RowStore clauses;  // in file order; an empty first row is the constant false
    RowChains chains() const { return {clauses, nullptr, opAnd, opOr, valueFalse}; }
};
