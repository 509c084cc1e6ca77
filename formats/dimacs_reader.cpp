// The DIMACS reader: the problem line declares the variables x0, x1, ... and appends
// the one function "y0"; every clause after it is the or of its literals and is
// conjoined to the function, the and of the clauses in file order. An empty clause
// makes the whole function the constant false; a function that gets no clause at
// all is true, as an empty conjunction is.
//
// The clauses go to one flat store that the function holds in place of its tree
// (expr/pending_clauses.h): files of a million clauses must load in seconds and in
// little more memory than their literals take. Reading stops at the first error and
// keeps what was conjoined before it.
#include "formats/dimacs_reader.h"

#include <istream>
#include <string>

#include "expr/function_table.h"
#include "formats/dimacs.h"

namespace {

void advance(DimacsLexer& lexer) {
    lexer.token = nextDimacsToken(lexer);
}

void readProblemLine(DimacsReader& reader) {
    DimacsLexer& lexer = reader.lexer;
    advance(lexer);
    if (lexer.token != DimacsToken::Format) {
        reportDimacs(lexer, ReaderMessage::SyntaxError);
        return;
    }
    advance(lexer);
    if (lexer.token != DimacsToken::Number) {
        reportDimacs(lexer, ReaderMessage::SyntaxError);
        return;
    }
    // The count is a 32-bit field: larger numbers wrap, and a negative count
    // declares no variable.
    auto variables = static_cast<int32_t>(lexer.number);
    FunctionTable& table = *workspace.table;
    reader.variableCount = variables;
    table.inputCount = variables;
    // As the PLA reader does for its counts: an impossible count fails at once.
    if (variables > 0) table.variableList.reserve(variables);
    for (int32_t i = 0; i < variables; ++i)
        addVariable(table.variableList, "x" + std::to_string(i));
    table.appendEntry(nullptr, nullptr, "y0");
    // The clause count is read and ignored: the clauses themselves decide.
    advance(lexer);
    if (lexer.token != DimacsToken::Number) {
        reportDimacs(lexer, ReaderMessage::SyntaxError);
        return;
    }
    advance(lexer);
}

}  // namespace

ClauseOutcome readClause(DimacsReader& reader) {
    DimacsLexer& lexer = reader.lexer;
    VariableList& variables = workspace.table->variableList;
    RowStore& store = reader.clauses->store();
    int64_t literals = 0;
    while (lexer.token == DimacsToken::Number) {
        if (lexer.number == 0) {
            advance(lexer);
            return {literals, ClauseEnd::Closed};
        }
        int64_t position = int64_t{lexer.number} - 1;
        const VariableEntry* variable = variableAt(variables, position);
        if (position >= reader.variableCount || variable == nullptr) {
            reportDimacs(lexer, ReaderMessage::SyntaxError);
            store.discardOpenRow();
            return {0, ClauseEnd::Rejected};
        }
        store.addLiteral(variable->name, lexer.minus);
        ++literals;
        advance(lexer);
    }
    return {literals, ClauseEnd::Open};
}

void readDimacsStep(DimacsReader& reader) {
    DimacsLexer& lexer = reader.lexer;
    if (lexer.token == DimacsToken::Problem) {
        readProblemLine(reader);
        return;
    }
    ClauseOutcome outcome = readClause(reader);
    if (outcome.end == ClauseEnd::Rejected) return;
    if (outcome.end == ClauseEnd::Closed && workspace.table->entryAt(0) != nullptr) {
        if (outcome.literals == 0) {
            reader.clauses->falsify();
        } else {
            reader.clauses->store().closeRow();
        }
        return;
    }
    // A statement that is neither a problem line nor a clause, or a lone "0" before
    // the problem line; a clause cut short by another token is dropped silently.
    if (outcome.literals == 0) reportDimacs(lexer, ReaderMessage::SyntaxError);
    reader.clauses->store().discardOpenRow();
}

int64_t loadDimacs(std::istream& in, const ReaderSettings& settings) {
    DimacsReader reader(in, settings);
    advance(reader.lexer);
    // At least one step runs, so that an empty file is reported.
    do {
        readDimacsStep(reader);
    } while (reader.lexer.token != DimacsToken::EndOfInput && !reader.lexer.error);
    FunctionEntry* function = workspace.table->entryAt(0);
    if (function != nullptr) {
        if (reader.clauses->empty()) {
            function->tree() = new VectNode(valueTrue, 1);
        } else {
            function->holdPending(std::move(reader.clauses));
        }
        completeEntry(*function);
    }
    return reader.lexer.report.errorCount;
}
