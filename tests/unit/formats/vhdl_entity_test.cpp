// Complete VHDL design units turned into assignments: which texts count as a unit,
// where the declaration of the port's inputs goes, and that every assignment stays
// on the line it had, so that reader messages name the file's own lines.
#include "formats/vhdl_entity.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

namespace {

struct UnitCase {
    const char* title;
    std::string text;
    // The lines of the result that hold anything, as "NUMBER: TEXT" joined by " | ";
    // none when the text is no unit.
    std::optional<std::string> lines;
};

void PrintTo(const UnitCase& c, std::ostream* out) {
    *out << c.title;
}

std::string occupiedLines(const std::string& text) {
    std::istringstream in(text);
    std::string joined;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        const auto first = line.find_first_not_of(' ');
        if (first == std::string::npos) continue;
        const auto last = line.find_last_not_of(' ');
        if (!joined.empty()) joined += " | ";
        joined += std::to_string(number) + ": " + line.substr(first, last - first + 1);
    }
    return joined;
}

class DesignUnits : public ::testing::TestWithParam<UnitCase> {};

TEST_P(DesignUnits, BecomeAssignmentsOnTheirLines) {
    const UnitCase& c = GetParam();
    const std::optional<std::string> result = designUnitAsAssignments(c.text);
    ASSERT_EQ(result.has_value(), c.lines.has_value());
    if (result) {
        EXPECT_EQ(occupiedLines(*result), *c.lines);
    }
}

const std::string writersLayout =
    "library IEEE;\nuse IEEE.Std_Logic_1164.all;\nuse work.define.all;\n\nentity ent is\n"
    "port (\n a, b, cin: in std_logic;\n sum, cout: out std_logic);\nend ent;\n\n"
    "architecture dataflow of ent is\nbegin\nsum <= a xor b;\ncout <= a and cin;\n"
    "end dataflow;\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, DesignUnits,
    ::testing::Values(
        UnitCase{"TheWritersLayout", writersLayout,
                 "6: variable a, b, cin; | 13: sum <= a xor b; | 14: cout <= a and cin;"},
        UnitCase{"KeywordsInAnyCaseAndSeveralInputGroups",
                 "ENTITY e IS PORT (a, b: IN bit; c : in std_logic; f: OUT bit);\nEND e;\n"
                 "ARCHITECTURE rtl OF e IS\nBEGIN\nf <= a AND b AND c;\nEND rtl;\n",
                 "1: variable a, b, c; | 5: f <= a AND b AND c;"},
        UnitCase{"CommentsNamingKeywordsAreIgnored",
                 "-- an entity\nentity e is port (a: in bit; f: out bit); end e; -- end\n"
                 "architecture x of e is -- begin here\nbegin\nf <= not a; -- end of f\nend x;\n",
                 "2: variable a; | 5: f <= not a;"},
        UnitCase{"NoAssignmentsGiveNoDeclaration",
                 "entity ent is\nport (\n a: in std_logic;\n: out std_logic);\nend ent;\n"
                 "architecture dataflow of ent is\nbegin\nend dataflow;\n",
                 ""},
        UnitCase{"NoInputs",
                 "entity e is\nport (\n f: out std_logic);\nend e;\narchitecture d of e is\n"
                 "begin\nf <= \"1\";\nend d;\n",
                 "7: f <= \"1\";"},
        UnitCase{"AssignmentsAreNoUnit", "variable a;\nf <= a;\n", std::nullopt},
        UnitCase{"FunctionNamedLikeAKeywordIsNoUnit", "entity <= a and b;\n", std::nullopt},
        UnitCase{"UnitWithoutArchitectureIsReadAsItIs",
                 "library ieee;\nentity e is port (a: in bit); end e;\n", std::nullopt}));

}  // namespace
