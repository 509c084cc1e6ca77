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
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "expr/function_table.h"
#include "formats/vhdl.h"
#include "formats/vhdl_lexer.h"

namespace {

// What reads the notation carry over from one to the next, in every input of the
// run (formats/vhdl_lexer.h).
VhdlCarry carried;

struct VhdlReader {
    VhdlLexer lexer;
    std::unique_ptr<VariableList> names;  // of the statement being read
    std::string target;                   // left-hand name of the statement being read
    // Function name -> position of its latest definition in the table, kept by
    // loadVhdl while it runs; without it a name is looked up by walking the table.
    const std::unordered_map<std::string, int64_t>* functionIndex = nullptr;

    VhdlReader(std::istream& in, const ReaderSettings& settings) : lexer(in, settings, carried) {}
};

VhdlToken token(const VhdlReader& reader) {
    return reader.lexer.token;
}

void syntaxError(VhdlReader& reader) {
    reportVhdl(reader.lexer, ReaderMessage::SyntaxError);
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
FunctionEntry* latestDefinition(const VhdlReader& reader, const std::string& name) {
    const FunctionTable& table = *workspace.table;
    if (reader.functionIndex != nullptr) {
        auto found = reader.functionIndex->find(name);
        return found == reader.functionIndex->end() ? nullptr : table.entryAt(found->second);
    }
    for (int64_t position = table.entryCount() - 1; position >= 0; --position) {
        FunctionEntry* entry = table.entryAt(position);
        if (entry->hasTree() && entry->name == name) return entry;
    }
    return nullptr;
}

// A name refers to an earlier function when one has it; otherwise it is an input
// of this statement.
Node* identifierPrimary(VhdlReader& reader) {
    FunctionEntry* definition = latestDefinition(reader, reader.lexer.text);
    if (definition != nullptr) return definition->tree()->clone();
    addVariable(*reader.names, reader.lexer.text);
    return new IdentNode(reader.lexer.text);
}

// A number refers to an earlier function by its position; a position without a
// function is only a warning and reads as the constant 0.
Node* positionPrimary(VhdlReader& reader) {
    FunctionEntry* entry = workspace.table->entryAt(reader.lexer.number);
    if (entry != nullptr && entry->hasTree()) return entry->tree()->clone();
    reportVhdl(reader.lexer, ReaderMessage::InvalidOutputIndex);
    return new VectNode(0, 1);
}

// A primary that is no group and no NOT; advances past it. Null after a syntax
// error, which leaves the token in place.
Node* leafPrimary(VhdlReader& reader) {
    Node* leaf = nullptr;
    switch (token(reader)) {
        case VhdlToken::Identifier:
            leaf = identifierPrimary(reader);
            break;
        case VhdlToken::Number:
            leaf = positionPrimary(reader);
            break;
        case VhdlToken::BitString:
            leaf = new VectNode(static_cast<int32_t>(reader.lexer.number),
                                static_cast<int32_t>(reader.lexer.widthInForce));
            break;
        default:
            syntaxError(reader);
            return nullptr;
    }
    advanceVhdlToken(reader.lexer);
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
void openPrefixes(VhdlReader& reader, std::vector<Frame>& frames) {
    for (;;) {
        if (token(reader) == VhdlToken::LeftParen) {
            frames.push_back(Frame{Pending::Group});
        } else if (token(reader) == VhdlToken::Not) {
            frames.push_back(Frame{Pending::Not});
        } else {
            return;
        }
        advanceVhdlToken(reader.lexer);
    }
}

// Hands a finished primary to the frames waiting for it: the NOTs in front of it,
// then the operator it is the right operand of, then the chain goes on. Answers
// false when an operator follows (its right operand is to be read next), true when
// the whole expression is finished in `result`. A group whose chain ends is itself
// a finished primary, so the closing goes on one level further down.
bool finishPrimary(VhdlReader& reader, std::vector<Frame>& frames, Node*& result) {
    for (;;) {
        while (!frames.empty() && frames.back().kind == Pending::Not) {
            result = makeNot(result);
            frames.pop_back();
        }
        if (!frames.empty() && frames.back().kind == Pending::Operand) {
            result = makeBinary(frames.back().code, frames.back().left, result);
            frames.pop_back();
        }
        int code = binaryOperatorCode(token(reader));
        if (code != opLeaf) {
            frames.push_back(Frame{Pending::Operand, result, code});
            advanceVhdlToken(reader.lexer);
            return false;
        }
        if (frames.empty()) return true;
        frames.pop_back();  // the Group frame of the chain that just ended
        if (token(reader) != VhdlToken::RightParen) {
            syntaxError(reader);
            delete result;
            result = nullptr;
        } else {
            advanceVhdlToken(reader.lexer);
        }
    }
}

// Parses an expression: a primary and the operator chain that follows it. Each
// chain level holds, from the bottom, the Group frame that opened it (none for the
// outermost level), at most one Operand frame, and the NOTs in front of the next
// primary; a "(" among those NOTs opens the next level above them.
Node* parseExpression(VhdlReader& reader) {
    std::vector<Frame> frames;
    Node* result = nullptr;
    do {
        openPrefixes(reader, frames);
        result = leafPrimary(reader);
    } while (!finishPrimary(reader, frames, result));
    return result;
}

void declareName(VhdlReader& reader) {
    addVariable(workspace.table->variableList, reader.lexer.text);
    workspace.table->inputCount += 1;
}

// Declared names enter the table at once, so they stay even when the rest of the
// statement fails; a repeated name still counts as an input.
void parseDeclarationList(VhdlReader& reader) {
    if (token(reader) != VhdlToken::Identifier) {
        syntaxError(reader);
        return;
    }
    declareName(reader);
    advanceVhdlToken(reader.lexer);
    while (token(reader) == VhdlToken::Comma) {
        advanceVhdlToken(reader.lexer);
        if (token(reader) != VhdlToken::Identifier) {
            syntaxError(reader);
            return;
        }
        declareName(reader);
        advanceVhdlToken(reader.lexer);
    }
}

Node* parseAssignment(VhdlReader& reader) {
    if (token(reader) != VhdlToken::Identifier) {
        syntaxError(reader);
        return nullptr;
    }
    reader.target = reader.lexer.text;
    advanceVhdlToken(reader.lexer);
    if (token(reader) != VhdlToken::LessEqual) {
        syntaxError(reader);
        return nullptr;
    }
    advanceVhdlToken(reader.lexer);
    return parseExpression(reader);
}

// Leaves the closing ";" as the current token.
Node* parseStatement(VhdlReader& reader) {
    if (token(reader) == VhdlToken::Variable) {
        advanceVhdlToken(reader.lexer);
        parseDeclarationList(reader);
        if (token(reader) != VhdlToken::Semicolon) {
            syntaxError(reader);
            return nullptr;
        }
        advanceVhdlToken(reader.lexer);
    }
    Node* tree = parseAssignment(reader);
    if (token(reader) != VhdlToken::Semicolon) {
        syntaxError(reader);
        delete tree;
        return nullptr;
    }
    return tree;
}

// Reads one statement from where the previous read stopped; the carried values
// are brought up to date after it.
VhdlStatement readStatement(VhdlReader& reader) {
    VhdlLexer& lexer = reader.lexer;
    const int64_t errorsBefore = lexer.report.errorCount;
    lexer.error = false;
    reader.names = std::make_unique<VariableList>();
    VhdlStatement statement;
    std::unique_ptr<Node> tree;
    advanceVhdlToken(lexer);
    if (token(reader) != VhdlToken::EndOfInput) tree.reset(parseStatement(reader));
    if (token(reader) != VhdlToken::Semicolon || lexer.error) {
        reader.names.reset();
        lexer.line = 1;
    } else {
        // Constants must all have the width of the last bit string lexed; a mismatch
        // is reported but does not reject the statement.
        if (!tree->hasWidth(static_cast<int32_t>(lexer.widthInForce))) {
            reportVhdl(lexer, ReaderMessage::DifferentVectorLengths);
        }
        statement.tree = std::move(tree);
        statement.names = std::move(reader.names);
        statement.target = reader.target;
    }
    statement.errorCount = lexer.report.errorCount - errorsBefore;
    carried = VhdlCarry{lexer.widthInForce, lexer.line};
    return statement;
}

}  // namespace

VhdlStatement readVhdlStatement(std::istream& in, const ReaderSettings& settings) {
    VhdlReader reader(in, settings);
    return readStatement(reader);
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
int64_t loadVhdl(std::istream& in, const ReaderSettings& settings) {
    FunctionTable& table = *workspace.table;
    std::unordered_map<std::string, int64_t> latestPositions;
    for (int64_t position = 0; position < table.entryCount(); ++position) {
        const FunctionEntry& entry = *table.entryAt(position);
        if (entry.hasTree()) latestPositions[entry.name] = position;
    }
    VhdlReader reader(in, settings);
    reader.functionIndex = &latestPositions;
    for (;;) {
        VhdlStatement statement = readStatement(reader);
        if (!statement.tree) break;
        adoptStatementNames(*statement.names);
        table.appendEntry(statement.tree.release(), statement.names.release(), statement.target);
        latestPositions[statement.target] = table.entryCount() - 1;
    }
    return reader.lexer.report.errorCount;
}

void resetVhdlReader() {
    carried = VhdlCarry{};
}
