// The PLA reader: the parse step over directives and rows, and `loadPla`.
//
// Every output is a sum of products: a row's literals are and-ed left to right into
// one term, and each output marked "1" in the row receives that term, or-ed to the
// right of what it had. The rows are recorded once, and each output keeps the rows
// it took as a pending cover whose tree is built on first use (expr/pending_cover.h).
//
// Rows are not tied to lines: the reader takes exactly one token per column, and a
// row that breaks off early simply leaves its token for the next parse step.
#include <cstdint>
#include <istream>
#include <limits>
#include <memory>
#include <string>

#include "expr/function_table.h"
#include "expr/node.h"
#include "formats/pla.h"
#include "formats/pla_lexer.h"

namespace {

// A count saturates at the largest unsigned 32-bit value instead of overflowing.
// Such a count is far beyond memory anyway, so the allocation it asks for ends the
// program through the out-of-memory stop.
constexpr uint64_t largestCount = std::numeric_limits<uint32_t>::max();

struct PlaReader {
    PlaLexer lexer;
    bool keepDontCares;  // the don't-care and OFF-set rows go beside the ON-set
    std::shared_ptr<RowStore> rows = std::make_shared<RowStore>();

    PlaReader(std::istream& in, const ReaderSettings& settings)
        : lexer(in, settings), keepDontCares(settings.plaDontCares) {}
};

bool isDigitToken(const PlaLexer& lexer, int value) {
    return lexer.token == PlaToken::Digit && lexer.digit == value;
}

// An unused input column: "-", or "2" in the benchmark dialect (tms).
bool isUnusedInputToken(const PlaLexer& lexer) {
    return lexer.token == PlaToken::Dash || (lexer.benchmarkDialects && isDigitToken(lexer, 2));
}

// Reads the number after a directive. Digits are single tokens, so a number is the
// run of digit tokens with no separator between them: ".i 1 2" is 1, and the 2 is
// left as the current token.
int64_t readNumber(PlaLexer& lexer) {
    nextPlaToken(lexer);
    lexer.separatorSeen = false;
    uint64_t value = 0;
    while (lexer.token == PlaToken::Digit && !lexer.separatorSeen) {
        value = value * 10u + static_cast<uint64_t>(lexer.digit);
        if (value > largestCount) value = largestCount;
        nextPlaToken(lexer);
    }
    return static_cast<int64_t>(value);
}

void readInputCount(PlaLexer& lexer) {
    int64_t count = readNumber(lexer);
    FunctionTable& table = *workspace.table;
    table.inputCount = count;
    // Reserving first makes an impossible count fail at once, before any names are
    // made, rather than after minutes of growing the list.
    table.variableList.reserve(count);
    for (int64_t index = 0; index < count; ++index) {
        addVariable(table.variableList, "x" + std::to_string(index));
    }
}

void readOutputCount(PlaLexer& lexer) {
    int64_t count = readNumber(lexer);
    workspace.table->reserveEntries(count);  // as for the inputs: fail at once if impossible
    for (int64_t index = 0; index < count; ++index) {
        workspace.table->appendEntry(nullptr, nullptr, "y" + std::to_string(index));
    }
}

// Labels rename from position 0 on; labels past the last input or output are read
// and dropped.
void readInputLabels(PlaLexer& lexer) {
    FunctionTable& table = *workspace.table;
    table.hasInputLabels = true;
    nextPlaToken(lexer);
    for (int32_t position = 0; lexer.token == PlaToken::Identifier; ++position) {
        if (position < table.variableList.count()) {
            table.variableList.rename(position, intern(lexer.text));
        }
        nextPlaToken(lexer);
    }
}

void readOutputLabels(PlaLexer& lexer) {
    FunctionTable& table = *workspace.table;
    table.hasOutputLabels = true;
    nextPlaToken(lexer);
    for (int64_t position = 0; lexer.token == PlaToken::Identifier; ++position) {
        if (FunctionEntry* entry = table.entryAt(position)) entry->name = lexer.text;
        nextPlaToken(lexer);
    }
}

// An output's don't-care or OFF-set cover, made on first use.
PendingCover& unspecifiedCover(FunctionEntry& entry, const std::shared_ptr<RowStore>& rows,
                               bool offSet) {
    if (!entry.unspecified) entry.unspecified = std::make_shared<UnspecifiedPoints>();
    std::unique_ptr<PendingCover>& cover =
        offSet ? entry.unspecified->offRows : entry.unspecified->dontCareRows;
    if (!cover) cover = std::make_unique<PendingCover>(rows);
    return *cover;
}

// Reads one row: a column per declared input, then a column per output; each
// output marked "1" takes the row. A row without literals is the constant 1: the
// first output marked "1" is replaced by it, and any further output in the same
// row or-s it on like any term. Answers whether the row made a term. An input
// column that is not 0, 1 or "-" ends the row there, before the outputs.
bool readRow(PlaReader& reader) {
    PlaLexer& lexer = reader.lexer;
    const std::shared_ptr<RowStore>& rows = reader.rows;
    FunctionTable& table = *workspace.table;
    bool termMade = false;
    for (int64_t column = 0; column < table.inputCount; ++column) {
        bool positive = isDigitToken(lexer, 1);
        if (positive || isDigitToken(lexer, 0)) {
            // .i only ever adds names, so the list is at least inputCount long.
            rows->addLiteral(table.variableList.entries[static_cast<size_t>(column)].name,
                             !positive);
            termMade = true;
        } else if (!isUnusedInputToken(lexer)) {
            rows->discardOpenRow();
            return termMade;
        }
        nextPlaToken(lexer);
    }
    const uint32_t row = rows->rowCount();  // the number the row gets once closed
    bool taken = false;
    bool unspecified = false;  // a "-" or "2" column, or a "0" column under .type fr or fdr
    for (int64_t column = 0; column < table.entryCount(); ++column) {
        const bool offSet = table.offSetType && isDigitToken(lexer, 0);
        if (offSet || lexer.token == PlaToken::Dash || isDigitToken(lexer, 2)) {
            unspecified = true;
            // Under fr and fdr a "-" point is a don't-care as any unlisted point is.
            // "2" is the older files' "-".
            if (reader.keepDontCares && (offSet || !table.offSetType)) {
                unspecifiedCover(*table.entryAt(column), rows, offSet).takeRow(row);
                taken = true;
            }
        } else if (isDigitToken(lexer, 1)) {
            PendingCover& cover = table.entryAt(column)->pendingCover(rows);
            if (termMade) {
                cover.takeRow(row);
            } else {
                cover.replaceWithRow(row);
                termMade = true;
            }
            taken = true;
        }
        nextPlaToken(lexer);
    }
    if (unspecified) ++table.unspecifiedRows;
    if (taken) {
        rows->closeRow();
    } else {
        rows->discardOpenRow();
    }
    return termMade;
}

void parseStep(PlaReader& reader) {
    PlaLexer& lexer = reader.lexer;
    switch (lexer.token) {
        case PlaToken::Inputs:
            readInputCount(lexer);
            break;
        case PlaToken::Outputs:
            readOutputCount(lexer);
            break;
        case PlaToken::InputLabels:
            readInputLabels(lexer);
            break;
        case PlaToken::OutputLabels:
            readOutputLabels(lexer);
            break;
        case PlaToken::Products:
            workspace.table->termCount = readNumber(lexer);
            break;
        case PlaToken::Type:
            // Only fr and fdr change what a row means: "0" marks the OFF-set, and
            // what no row names is a don't-care.
            nextPlaToken(lexer);
            workspace.table->offSetType =
                lexer.token == PlaToken::Identifier && (lexer.text == "fr" || lexer.text == "fdr");
            nextPlaToken(lexer);
            break;
        case PlaToken::End:
            break;
        default: {
            if (!readRow(reader)) reportPla(lexer, ReaderMessage::SyntaxError);
            break;
        }
    }
}

}  // namespace

int64_t loadPla(std::istream& in, const ReaderSettings& settings) {
    PlaReader reader(in, settings);
    PlaLexer& lexer = reader.lexer;
    const std::shared_ptr<RowStore>& rows = reader.rows;
    nextPlaToken(lexer);
    do parseStep(reader);
    while (lexer.token != PlaToken::EndOfInput && lexer.token != PlaToken::End && !lexer.error);
    FunctionTable& table = *workspace.table;
    for (int64_t position = 0; position < table.entryCount(); ++position) {
        FunctionEntry& entry = *table.entryAt(position);
        // Under fr and fdr the don't-cares are what neither the ON-set as loaded
        // nor the OFF-set holds; an output without "0" rows has an empty OFF-set.
        if (reader.keepDontCares && table.offSetType) {
            unspecifiedCover(entry, rows, true);  // empty where no row had "0"
            entry.unspecified->onRows = std::make_unique<PendingCover>(
                entry.hasPendingCover() ? entry.pendingCover(rows) : PendingCover(rows));
        }
        completeEntry(entry);
    }
    return lexer.report.errorCount;
}
