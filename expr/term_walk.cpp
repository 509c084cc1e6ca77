// The term walk: `tryValue` runs over a sum of products and, for every product term,
// tries to build an assignment (in the walk's variable list) under which the term takes
// the target value. Each or-node tries its operands from an empty assignment and
// reports those that succeed and are not themselves or-nodes, so every term is
// reported exactly once, by the or-node directly above it. The report goes to the
// walk's term sink (expr/term_sink.h), which decides what the term becomes.
#include "expr/term_walk.h"

#include "base/stack_guard.h"
#include "expr/node.h"
#include "expr/term_sink.h"
#include "expr/variable_list.h"

bool reportAllTerms(Node* tree, VariableList& marks, TermSink& sink) {
    TermWalk walk{marks, sink};
    bool satisfiable = tree->tryValue(valueTrue, walk);
    if (satisfiable && !tree->containsOperator(opOr)) sink.acceptTerm(marks);
    return satisfiable;
}

bool VectNode::tryValue(int32_t target, TermWalk& /*walk*/) {
    return value == target;
}

bool IdentNode::tryValue(int32_t target, TermWalk& walk) {
    VariableList& list = walk.marks;
    int32_t position = list.positionOf(name);
    if (position < 0) return false;
    VariableEntry& entry = list.entries[static_cast<size_t>(position)];
    if (entry.assigned) return entry.value == target;
    list.assign(position, target);
    return true;
}

bool UNode::tryValue(int32_t target, TermWalk& walk) {
    guardStackDepth();
    return operand->tryValue(~target, walk);
}

bool BNode::tryValue(int32_t target, TermWalk& walk) {
    guardStackDepth();
    if (op == opAnd) return left->tryValue(target, walk) && right->tryValue(target, walk);
    if (op != opOr) return false;
    walk.marks.clearAssignments();
    bool leftHolds = left->tryValue(target, walk);
    if (leftHolds && left->opCode() != opOr) walk.sink.acceptTerm(walk.marks);
    walk.marks.clearAssignments();
    bool rightHolds = right->tryValue(target, walk);
    if (rightHolds && right->opCode() != opOr) walk.sink.acceptTerm(walk.marks);
    return leftHolds || rightHolds;
}
