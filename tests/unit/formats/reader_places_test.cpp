// Where the readers' diagnostics point: the line and column where the offending
// token begins, counted in what this read reads, and the token as it stands in the
// input (empty at its end); the menu's line numbers are untouched by it. Each case
// lists every diagnostic of one load as "KIND LINE:COLUMN 'TOKEN'".
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "expr/function_table.h"
#include "formats/dimacs.h"
#include "formats/pla.h"
#include "formats/reader_messages.h"
#include "formats/vhdl.h"
#include "tests/unit/base/console_redirect.h"

namespace {

using Loader = std::function<int64_t(std::istream&, const ReaderSettings&)>;

const char* kindOf(ReaderMessage message) {
    switch (message) {
        case ReaderMessage::InvalidLexicalElement:
            return "lexical";
        case ReaderMessage::TooLongIdentifier:
            return "long";
        case ReaderMessage::SyntaxError:
            return "syntax";
        case ReaderMessage::DifferentVectorLengths:
            return "widths";
        case ReaderMessage::InvalidOutputIndex:
            return "index";
    }
    return "?";
}

struct PlaceCase {
    const char* title;
    Loader load;
    std::string text;
    std::vector<std::string> diagnostics;
};

class ReaderPlaceTest : public ::testing::TestWithParam<PlaceCase> {
  protected:
    void SetUp() override {
        createTable();
        resetVhdlReader();
    }
    void TearDown() override { releaseTable(); }
};

TEST_P(ReaderPlaceTest, PointsAtTheToken) {
    const PlaceCase& c = GetParam();
    ConsoleRedirect console;
    std::vector<std::string> seen;
    ReaderSettings settings;
    settings.sourceName = "in";
    settings.diagnostics = [&](const ReaderDiagnostic& diagnostic) {
        EXPECT_EQ(diagnostic.source, "in");
        seen.push_back(
            std::string(kindOf(diagnostic.message)) + ' ' + std::to_string(diagnostic.place.line) +
            ':' + std::to_string(diagnostic.place.column) + " '" + diagnostic.place.token + "'");
    };
    std::istringstream in(c.text);
    c.load(in, settings);
    EXPECT_EQ(seen, c.diagnostics);
    EXPECT_EQ(console.printedText(), "");
}

const Loader pla = loadPla;
const Loader vhdl = loadVhdl;
const Loader dimacs = loadDimacs;
// Two statements read one after the other, as two "Add function" commands are.
const Loader twoStatements = [](std::istream& in, const ReaderSettings& settings) {
    std::string first;
    std::string second;
    std::getline(in, first, '|');
    std::getline(in, second);
    std::istringstream one(first);
    std::istringstream two(second);
    return readVhdlStatement(one, settings).errorCount +
           readVhdlStatement(two, settings).errorCount;
};

const std::string longName(101, 'n');

INSTANTIATE_TEST_SUITE_P(
    Cases, ReaderPlaceTest,
    ::testing::Values(
        PlaceCase{"PlaLetterInARow", pla, ".i 2\n.o 1\n.p 1\n1x 1\n.e\n", {"syntax 4:2 'x'"}},
        PlaceCase{"PlaInvalidCharacter", pla, ".i 2\n.o 1\n1 @ 1\n", {"lexical 3:3 '@'"}},
        PlaceCase{"PlaTabsAndCrLf", pla, ".i 1\r\n.o 1\r\n\t\t&\r\n", {"lexical 3:3 '&'"}},
        PlaceCase{"PlaDirectiveWord", pla, ".i 1\n.o 1\n .bogus 1 1\n", {"syntax 3:2 '.bogus'"}},
        PlaceCase{"PlaTooLongLabel",
                  pla,
                  ".i 1\n.o 1\n.ilb  " + longName + "\n",
                  {"long 3:7 '" + longName + "'"}},
        PlaceCase{"PlaEmptyFile", pla, "", {"syntax 1:1 ''"}},
        PlaceCase{"PlaCommentAtTheEnd", pla, "# only\n# comments", {"syntax 2:11 ''"}},
        PlaceCase{"DimacsLiteralAboveTheCount",
                  dimacs,
                  "p cnf 3 2\n1 -2 0\n  -4 0\n",
                  {"syntax 3:3 '-4'"}},
        PlaceCase{"DimacsNumberPastThirtyTwoBits",
                  dimacs,
                  "p cnf 3 1\n99999999999 0\n",
                  {"syntax 2:1 '99999999999'"}},
        PlaceCase{"DimacsFormatWord", dimacs, "c a comment\np dnf 3 1\n", {"syntax 2:3 'dnf'"}},
        PlaceCase{"DimacsInvalidCharacter", dimacs, "p cnf 2 1\n1 2 ; 0\n", {"lexical 2:5 ';'"}},
        PlaceCase{"DimacsEndAfterTheLastLine", dimacs, "p cnf 2\n", {"syntax 2:1 ''"}},
        PlaceCase{"VhdlUnclosedGroup", vhdl, "f <= a and (b or c;\n", {"syntax 1:19 ';'"}},
        PlaceCase{"VhdlStatementWithoutSemicolon", vhdl, "h <= sum and cuot", {"syntax 1:18 ''"}},
        PlaceCase{"VhdlOnTheThirdLine", vhdl, "f <= a;\ng <= b\n   or ;\n", {"syntax 3:7 ';'"}},
        // The parser then finds the error token where it wants an operator or a ";".
        PlaceCase{
            "VhdlInvalidCharacter", vhdl, "f <= a $ b;\n", {"lexical 1:8 '$'", "syntax 1:8 '$'"}},
        PlaceCase{"VhdlMalformedBitString",
                  vhdl,
                  "f <= \"01x;\n",
                  {"syntax 1:6 '\"01x'", "syntax 1:6 '\"01x'"}},
        PlaceCase{"VhdlCommentToTheEnd", vhdl, "f <= a -- and b", {"syntax 1:16 ''"}},
        PlaceCase{"VhdlWarningsPointAtTheirToken",
                  vhdl,
                  "f <= 7 or \"01\" or \"1\";\n",
                  {"index 1:6 '7'", "widths 1:22 ';'"}},
        PlaceCase{"VhdlSecondStatementCountsFromItsStart",
                  twoStatements,
                  "f <= a\n\n or b;|g <= ;",
                  {"syntax 1:6 ';'"}}),
    [](const ::testing::TestParamInfo<PlaceCase>& param) {
        return std::string(param.param.title);
    });

}  // namespace
