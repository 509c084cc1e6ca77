// What a function may hold in place of its tree until the tree is needed, and the
// sums of products among those forms.
//
// Sums of products are what the notations load (a PLA output) and what the normal
// forms leave; a DIMACS file loads a product of clauses. As trees they take one node
// per literal and operator, and most of what is done with them next (the next normal
// form, a save) only reads their rows or terms. So a function may hold such a form
// instead; the rewrites, the cofactor and whatever else walks nodes ask for the tree,
// which is then built node for node as it would have been built at once.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

class Node;
class PendingSum;
class TermSink;
class TextSink;
class VariableList;

class PendingTree {
  public:
    virtual ~PendingTree() = default;

    // The tree this form stands for; the caller owns it.
    virtual Node* buildTree() const = 0;

    // The built tree's literal count.
    virtual int64_t literalCount() const = 0;

    // The form as a sum of products, or null when it is none.
    virtual const PendingSum* asSum() const { return nullptr; }

    // Write what `print` and `emitBlif` (for the function `rootName`) write for the
    // built tree, without building it; false, with nothing written, where the form
    // cannot, and the caller writes the tree.
    virtual bool printWithoutTree(std::ostream& /*out*/) const { return false; }
    virtual bool emitBlifWithoutTree(TextSink& /*out*/, const std::string& /*rootName*/) const {
        return false;
    }
    // Adds the names to the list in the order a walk of the built tree meets them,
    // without building it; false, with nothing added, where the form cannot.
    virtual bool collectVariablesWithoutTree(VariableList& /*list*/) const { return false; }
};

class PendingSum : public PendingTree {
  public:
    const PendingSum* asSum() const override { return this; }

    // Reports to the sink exactly the terms the term walk reports from the built
    // tree, in the same order, with the same assignments in `marks` (a list with
    // the table's names and no assignment on entry); answers whether there was any.
    virtual bool reportTerms(VariableList& marks, TermSink& sink) const = 0;

    // Whether the built tree is a leaf or a not over a leaf (a sum of one term of
    // at most one literal), which the normal forms take without an engine call.
    virtual bool buildsLeaf() const = 0;
};
