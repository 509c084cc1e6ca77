// A sum of products kept as literal lists until its tree is first needed.
//
// A PLA row's term belongs to every output marked "1" in the row; built as trees at
// load time, a term would be held once per such output, one node per literal and
// operator. The reader instead records each row once in a `RowStore` shared by the
// outputs, and each output the rows it takes. The tree is built when the function
// is first used, node for node as the reader would have built it: each row's
// literals and-ed left to right, the rows or-ed left to right in the order taken.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "expr/pending_sum.h"
#include "expr/row_chains.h"

class Node;
class VariableList;

class PendingCover final : public PendingSum {
  public:
    explicit PendingCover(std::shared_ptr<const RowStore> store) : rows(std::move(store)) {}

    // Or-s the row's term to the right of what the output has. A row without
    // literals is the constant 1.
    void takeRow(uint32_t row) { taken.push_back(row); }
    // The output becomes that row's term alone (a row without literals replacing
    // whatever the output had).
    void replaceWithRow(uint32_t row) {
        taken.clear();
        taken.push_back(row);
    }
    bool empty() const { return taken.empty(); }

    // The tree, built as described above; the caller owns it.
    Node* buildTree() const override;
    bool reportTerms(VariableList& marks, TermSink& sink) const override;
    int64_t literalCount() const override;
    bool buildsLeaf() const override;
    bool printWithoutTree(std::ostream& out) const override;
    bool emitBlifWithoutTree(TextSink& out, const std::string& rootName) const override;
    bool collectVariablesWithoutTree(VariableList& list) const override;

  private:
    std::shared_ptr<const RowStore> rows;
    RowChains chains() const { return {*rows, &taken, opOr, opAnd, valueTrue}; }
    std::vector<uint32_t> taken;  // row numbers in the order the output took them
};
