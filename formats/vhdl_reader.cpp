// The parser of the VHDL-like notation: one statement at a time, into a tree.
//
//   statement        := [ VARIABLE declaration-list ";" ] assignment ";"
//   declaration-list := identifier { "," identifier }
//   assignment       := identifier "<=" expression
//   expression       := primary { binary-operator primary }
//   primary          := "(" expression ")" | NOT primary | identifier | number
//                       | bit-string-literal
//
// All binary operators share one precedence and group from the left; NOT binds to
// the one primary after it. The parser looks one token ahead and never backs up. A
// syntax error writes its message and yields no tree without consuming the token,
// and the procedure that asked goes on with that token, so one faulty token may
// give several messages; the statement then fails as a whole.
//
// Expressions are parsed with an explicit stack of pending groups, NOTs and
// operators instead of recursion, because inputs nest parentheses and NOTs as deep
// as they like; the order in which tokens are examined and messages written is
// that of the recursive procedures.
#include <istream>
#include <unordered_map>
#include <vector>

#include "expr/function_table.h"
#include "formats/vhdl.h"
#include "formats/vhdl_lexer.h"

namespace {

VhdlToken token() {
    return vhdlReader.token;
}

void syntaxError() {
    reportVhdl(ReaderMessage::SyntaxError);
}

// The operator code of a binary-operator token, or opLeaf for any other token.
int binaryOperatorCode(VhdlToken kind) {
    switch (kind) {
        case VhdlToken::And:
            return opAnd;
        case VhdlToken::Or:
            return opOr;
        case VhdlToken::Nand:
            return opNand;
        case VhdlToken::Nor:
            return opNor;
        case VhdlToken::Xor:
            return opXor;
        case VhdlToken::Xnor:
            return opXnor;
        default:
            return opLeaf;
    }
}

// The latest function of that name, so that a redefinition hides the earlier one.
FunctionEntry* latestDefinition(const std::string& name) {
    const FunctionTable& table = *workspace.table;
    if (vhdlReader.functionIndex != nullptr) {
        auto found = vhdlReader.functionIndex->find(name);
        return found == vhdlReader.functionIndex->end() ? nullptr : table.entryAt(found->second);
    }
    for (int64_t position = table.entryCount() - 1; position >= 0; --position) {
        FunctionEntry* entry = table.entryAt(position);
        if (entry->hasTree() && entry->name == name) return entry;
    }
    return nullptr;
}

// A name refers to an earlier function when one has it; otherwise it is an input
// of this statement.
Node* identifierPrimary() {
    FunctionEntry* definition = latestDefinition(vhdlReader.text);
    if (definition != nullptr) return definition->tree()->clone();
    addVariable(*vhdlReader.statementList, vhdlReader.text);
    return new IdentNode(vhdlReader.text);
}

// A number refers to an earlier function by its position; a position without a
// function is only a warning and reads as the constant 0.
Node* positionPrimary() {
    FunctionEntry* entry = workspace.table->entryAt(vhdlReader.number);
    if (entry != nullptr && entry->hasTree()) return entry->tree()->clone();
    reportVhdl(ReaderMessage::InvalidOutputIndex);
    return new VectNode(0, 1);
}

// A primary that is no group and no NOT; advances past it. Null after a syntax
// error, which leaves the token in place.
Node* leafPrimary() {
    Node* leaf = nullptr;
    switch (token()) {
        case VhdlToken::Identifier:
            leaf = identifierPrimary();
            break;
        case VhdlToken::Number:
            leaf = positionPrimary();
            break;
        case VhdlToken::BitString:
            leaf = new VectNode(static_cast<int32_t>(vhdlReader.number),
                                static_cast<int32_t>(vhdlReader.widthInForce));
            break;
        default:
            syntaxError();
            return nullptr;
    }
    advanceVhdlToken();
    return leaf;
}

// A part that failed makes the whole fail: trees never hold null operands.
Node* makeNot(Node* operand) {
    return operand == nullptr ? nullptr : new UNode(operand);
}

Node* makeBinary(int code, Node* left, Node* right) {
    if (left == nullptr || right == nullptr) {
        delete left;
        delete right;
        return nullptr;
    }
    return new BNode(code, left, right);
}

// What a pending frame waits for: the primary after a NOT, the expression inside
// a "(" (closed by ")"), or the right operand of a binary operator.
enum class Pending { Not, Group, Operand };

struct Frame {
    Pending kind;
    Node* left = nullptr;  // Operand: the tree so far (owned while pending)
    int code = opLeaf;     // Operand: the operator
};

// Pushes a frame for every "(" and NOT in front of the next primary.
void openPrefixes(std::vector<Frame>& frames) {
    for (;;) {
        if (token() == VhdlToken::LeftParen) {
            frames.push_back(Frame{Pending::Group});
        } else if (token() == VhdlToken::Not) {
            frames.push_back(Frame{Pending::Not});
        } else {
            return;
        }
        advanceVhdlToken();
    }
}

// Hands a finished primary to the frames waiting for it: the NOTs in front of it,
// then the operator it is the right operand of, then the chain goes on. Answers
// false when an operator follows (its right operand is to be read next), true when
// the whole expression is finished in `result`. A group whose chain ends is itself
// a finished primary, so the closing goes on one level further down.
bool finishPrimary(std::vector<Frame>& frames, Node*& result) {
    for (;;) {
        while (!frames.empty() && frames.back().kind == Pending::Not) {
            result = makeNot(result);
            frames.pop_back();
        }
        if (!frames.empty() && frames.back().kind == Pending::Operand) {
            result = makeBinary(frames.back().code, frames.back().left, result);
            frames.pop_back();
        }
        int code = binaryOperatorCode(token());
        if (code != opLeaf) {
            frames.push_back(Frame{Pending::Operand, result, code});
            advanceVhdlToken();
            return false;
        }
        if (frames.empty()) return true;
        frames.pop_back();  // the Group frame of the chain that just ended
        if (token() != VhdlToken::RightParen) {
            syntaxError();
            delete result;
            result = nullptr;
        } else {
            advanceVhdlToken();
        }
    }
}

// Parses an expression: a primary and the operator chain that follows it. Each
// chain level holds, from the bottom, the Group frame that opened it (none for the
// outermost level), at most one Operand frame, and the NOTs in front of the next
// primary; a "(" among those NOTs opens the next level above them.
Node* parseExpression() {
    std::vector<Frame> frames;
    Node* result = nullptr;
    do {
        openPrefixes(frames);
        result = leafPrimary();
    } while (!finishPrimary(frames, result));
    return result;
}

void declareName() {
    addVariable(workspace.table->variableList, vhdlReader.text);
    workspace.table->inputCount += 1;
}

// Declared names enter the table at once, so they stay even when the rest of the
// statement fails; a repeated name still counts as an input.
void parseDeclarationList() {
    if (token() != VhdlToken::Identifier) {
        syntaxError();
        return;
    }
    declareName();
    advanceVhdlToken();
    while (token() == VhdlToken::Comma) {
        advanceVhdlToken();
        if (token() != VhdlToken::Identifier) {
            syntaxError();
            return;
        }
        declareName();
        advanceVhdlToken();
    }
}

Node* parseAssignment() {
    if (token() != VhdlToken::Identifier) {
        syntaxError();
        return nullptr;
    }
    vhdlReader.targetName = vhdlReader.text;
    advanceVhdlToken();
    if (token() != VhdlToken::LessEqual) {
        syntaxError();
        return nullptr;
    }
    advanceVhdlToken();
    return parseExpression();
}

// Leaves the closing ";" as the current token.
Node* parseStatement() {
    if (token() == VhdlToken::Variable) {
        advanceVhdlToken();
        parseDeclarationList();
        if (token() != VhdlToken::Semicolon) {
            syntaxError();
            return nullptr;
        }
        advanceVhdlToken();
    }
    Node* tree = parseAssignment();
    if (token() != VhdlToken::Semicolon) {
        syntaxError();
        delete tree;
        return nullptr;
    }
    return tree;
}

}  // namespace

Node* readVhdlStatement(std::istream& in) {
    vhdlReader.source = &in;
    vhdlReader.error = false;
    vhdlReader.statementList = new VariableList;
    workspace.currentList = vhdlReader.statementList;
    Node* tree = nullptr;
    advanceVhdlToken();
    if (token() != VhdlToken::EndOfInput) tree = parseStatement();
    if (token() != VhdlToken::Semicolon || vhdlReader.error) {
        delete vhdlReader.statementList;
        vhdlReader.statementList = nullptr;
        workspace.currentList = nullptr;
        delete tree;
        vhdlReader.line = 1;
        return nullptr;
    }
    // Constants must all have the width of the last bit string lexed; a mismatch
    // is reported but does not reject the statement.
    if (!tree->hasWidth(static_cast<int32_t>(vhdlReader.widthInForce))) {
        reportVhdl(ReaderMessage::DifferentVectorLengths);
    }
    // The list now belongs to the caller, through `workspace.currentList`.
    vhdlReader.statementList = nullptr;
    return tree;
}

const std::string& vhdlTargetName() {
    return vhdlReader.targetName;
}

void adoptStatementNames(const VariableList& statementList) {
    FunctionTable& table = *workspace.table;
    for (const VariableEntry& entry : statementList.entries) {
        if (table.variableList.positionOf(entry.name) >= 0) continue;
        table.variableList.add(entry.name);
        table.inputCount += 1;
    }
}

// A file may define thousands of functions that refer to each other by name, so
// the load keeps the names of the table in an index instead of walking the table
// for every identifier; only the load appends to the table while it runs.
void loadVhdl(std::istream& in) {
    FunctionTable& table = *workspace.table;
    std::unordered_map<std::string, int64_t> latestPositions;
    for (int64_t position = 0; position < table.entryCount(); ++position) {
        const FunctionEntry& entry = *table.entryAt(position);
        if (entry.hasTree()) latestPositions[entry.name] = position;
    }
    vhdlReader.functionIndex = &latestPositions;
    for (;;) {
        Node* tree = readVhdlStatement(in);
        if (tree == nullptr) break;
        VariableList* statementList = workspace.currentList;
        adoptStatementNames(*statementList);
        table.appendEntry(tree, statementList, vhdlTargetName());
        latestPositions[vhdlTargetName()] = table.entryCount() - 1;
    }
    vhdlReader.functionIndex = nullptr;
}
