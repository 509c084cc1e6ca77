// One switch over the input notations. A VHDL input may be the assignment notation
// or a complete design unit (formats/vhdl_entity.h), which is read as its
// assignments; the BLIF reader returns its errors, which are reported here like the
// other readers' messages.
#include "run/input_file.h"

#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>

#include "expr/function_table.h"
#include "formats/blif_reader.h"
#include "formats/dimacs.h"
#include "formats/pla.h"
#include "formats/vhdl.h"
#include "formats/vhdl_entity.h"
#include "run/messages.h"

namespace {

void loadVhdlOrDesignUnit(std::istream& in) {
    std::ostringstream text;
    text << in.rdbuf();
    const std::optional<std::string> assignments = designUnitAsAssignments(text.str());
    std::istringstream statements(assignments ? *assignments : text.str());
    loadVhdl(statements);
}

}  // namespace

bool loadNotation(std::istream& in, InputNotation notation) {
    const int64_t errorsBefore = program.readerErrorCount;
    switch (notation) {
        case InputNotation::pla:
            loadPla(in);
            break;
        case InputNotation::vhdl:
            loadVhdlOrDesignUnit(in);
            break;
        case InputNotation::dimacs:
            loadDimacs(in);
            break;
        case InputNotation::blif: {
            const BlifReadResult result = loadBlif(in);
            for (const BlifMessage& error : result.errors) {
                reportAtLine(program.readerSourceName, error.line, error.text);
            }
            program.readerErrorCount += static_cast<int64_t>(result.errors.size());
            break;
        }
    }
    return program.readerErrorCount != errorsBefore;
}

LoadOutcome loadInputFile(const std::string& path, InputNotation notation) {
    program.readerSourceName = path == "-" ? "<stdin>" : path;
    LoadOutcome outcome;
    if (path == "-") {
        outcome.opened = true;
        outcome.readerErrors = loadNotation(std::cin, notation);
        return outcome;
    }
    std::ifstream in(path);
    if (!in.is_open()) {
        reportMessage("cannot open '" + path + "'");
        return outcome;
    }
    outcome.opened = true;
    outcome.readerErrors = loadNotation(in, notation);
    return outcome;
}
