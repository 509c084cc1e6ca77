// The DIMACS reader through `loadDimacs`: the function it builds, the variables it
// declares and the messages it prints, for the edge cases of the notation and for
// the faults it guards against; and a file of many clauses on the large stack.
#include "formats/dimacs_reader.h"

#include <chrono>
#include <memory>
#include <sstream>
#include <string>

#include "base/large_stack.h"
#include "expr/workspace.h"
#include "formats/dimacs.h"
#include "tests/unit/formats/dimacs_test_support.h"

namespace {

using DimacsReaderSteps = DimacsFixture;

struct ReadCase {
    const char* title;
    std::string input;
    int64_t entries;       // entries in the table afterwards
    std::string tree;      // printed tree of the first entry ("" without entry)
    std::string ownNames;  // the first entry's own variable list
    int64_t declared;      // names in the table's variable list
    int64_t inputCount;
    std::string console;
};

std::string namesOf(const VariableList* list) {
    std::string names;
    if (list == nullptr) return names;
    for (const VariableEntry& entry : list->entries) {
        if (!names.empty()) names += ' ';
        names += symbolName(entry.name);
    }
    return names;
}

// Failures name the case by its title.
void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.title;
}

class DimacsReaderTest : public DimacsFixture, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(DimacsReaderTest, LoadsTheFunction) {
    const ReadCase& c = GetParam();
    std::istringstream in(c.input);
    loadDimacs(in);
    FunctionTable& table = *workspace.table;
    EXPECT_EQ(console(), c.console);
    ASSERT_EQ(table.entryCount(), c.entries);
    EXPECT_EQ(table.variableList.count(), c.declared);
    EXPECT_EQ(table.inputCount, c.inputCount);
    if (c.entries == 0) return;
    FunctionEntry& first = *table.entryAt(0);
    EXPECT_EQ(first.name, "y0");
    ASSERT_NE(first.tree(), nullptr);
    EXPECT_EQ(toText(*first.tree()), c.tree);
    EXPECT_EQ(namesOf(first.variableList), c.ownNames);
}

const std::string name100(100, 'v');
const std::string name101(101, 'v');
const std::string exampleTree = "( x0 or ( not x1 ) ) and x1";

INSTANTIATE_TEST_SUITE_P(
    Cases, DimacsReaderTest,
    ::testing::Values(
        ReadCase{"ThreeLineExample", "p cnf 2 2\n1 -2 0\n2 0\n", 1, exampleTree, "x0 x1", 2, 2, ""},
        ReadCase{"CrLfLineEnds", "c crlf\r\np cnf 2 2\r\n1 -2 0\r\n2 0\r\n", 1, exampleTree,
                 "x0 x1", 2, 2, ""},
        ReadCase{"ClausesSpanAndShareLines", "p cnf 3 3\n1 2 0 -3 0 2\n3\n0\n", 1,
                 "( ( x0 or x1 ) and ( not x2 ) ) and ( x1 or x2 )", "x0 x1 x2", 3, 3, ""},
        ReadCase{"ProblemLineAloneIsTrue", "p cnf 2 0\n", 1, "\"1\"", "", 2, 2, ""},
        ReadCase{"LoneZeroIsFalse", "p cnf 2 1\n0\n", 1, "\"0\"", "", 2, 2, ""},
        ReadCase{"LoneZeroReplacesEarlierClauses", "p cnf 2 3\n1 0\n-2 1 0\n0\n", 1, "\"0\"", "", 2,
                 2, ""},
        ReadCase{"ClausesAfterLoneZeroAreConjoined", "p cnf 2 2\n0\n1 2 0\n", 1,
                 "\"0\" and ( x0 or x1 )", "x0 x1", 2, 2, ""},
        ReadCase{"LastClauseWithoutZeroIsDropped", "p cnf 2 2\n1 0\n2 -1", 1, "x0", "x0", 2, 2, ""},
        ReadCase{"ClauseCountIsIgnored", "p cnf 2 5\n1 0\n2 0\n", 1, "x0 and x1", "x0 x1", 2, 2,
                 ""},
        ReadCase{"CommentAfterLiterals", "p cnf 2 1\n1 2 c note\n0\n", 1, "x0 or x1", "x0 x1", 2, 2,
                 ""},
        ReadCase{"MinusZeroEndsAClause", "p cnf 1 1\n-1 -0\n", 1, "not x0", "x0", 1, 1, ""},
        ReadCase{"EmptyFile", "", 0, "", "", 0, 0, "Syntax error at line:1\n"},
        ReadCase{"CommentsOnly", "c one\nc two\n", 0, "", "", 0, 0, "Syntax error at line:3\n"},
        ReadCase{"Identifier100IsAStatement", "p cnf 2 1\n" + name100 + " 1 0\n", 1, "\"1\"", "", 2,
                 2, "Syntax error at line:2\n"},
        ReadCase{"Identifier101IsTooLong", "p cnf 2 1\n1 0\n" + name101 + " 1 0\n", 1, "x0", "x0",
                 2, 2, "Too long identifier at line:3\n"},
        ReadCase{"CnBeginsAnIdentifier", "p cnf 1 1\n1 0\ncnote\n-1 0\n", 1, "x0", "x0", 1, 1,
                 "Syntax error at line:3\n"},
        ReadCase{"LiteralAboveVariableCount", "p cnf 2 3\n1 0\n1\n3 0\n2 0\n", 1, "x0", "x0", 2, 2,
                 "Syntax error at line:4\n"},
        ReadCase{"NegativeLiteralAboveVariableCount", "p cnf 2 1\n-3 0\n", 1, "\"1\"", "", 2, 2,
                 "Syntax error at line:2\n"},
        ReadCase{"LiteralBeforeProblemLine", "1 2 0\np cnf 2 1\n", 0, "", "", 0, 0,
                 "Syntax error at line:1\n"},
        ReadCase{"ZeroBeforeProblemLine", "0\np cnf 1 1\n", 0, "", "", 0, 0,
                 "Syntax error at line:2\n"},
        ReadCase{"WrongFormatKeyword", "p dnf 2 1\n1 0\n", 0, "", "", 0, 0,
                 "Syntax error at line:1\n"},
        ReadCase{"MissingVariableCount", "p cnf\nx\n", 0, "", "", 0, 0, "Syntax error at line:2\n"},
        ReadCase{"MissingClauseCount", "p cnf 2 x\n1 0\n", 1, "\"1\"", "", 2, 2,
                 "Syntax error at line:1\n"},
        ReadCase{"InvalidCharacterInProblemLine", "p cnf 2 #\n", 1, "\"1\"", "", 2, 2,
                 "Invalid lexical element at line:1\nSyntax error at line:1\n"},
        ReadCase{"InvalidFirstCharacter", "#\n", 0, "", "", 0, 0,
                 "Invalid lexical element at line:1\nSyntax error at line:1\n"},
        ReadCase{"InvalidCharacterDropsTheClause", "p cnf 2 3\n1 0\n2 # 0\n-1 0\n", 1, "x0", "x0",
                 2, 2, "Invalid lexical element at line:3\n"},
        ReadCase{"SatlibTrailerStopsReading", "p cnf 2 1\n 1 -2 0\n%\n0\n", 1, "x0 or ( not x1 )",
                 "x0 x1", 2, 2, "Invalid lexical element at line:3\n"},
        ReadCase{"UnrecognisedStatement", "p cnf 1 1\nfoo\n1 0\n", 1, "\"1\"", "", 1, 1,
                 "Syntax error at line:2\n"},
        ReadCase{"VariableCountWraps", "p cnf 4294967295 0\n", 1, "\"1\"", "", 0, -1, ""},
        ReadCase{"SecondProblemLineAppendsAnEntry", "p cnf 1 1\n1 0\np cnf 2 1\n-2 0\n", 2,
                 "x0 and ( not x1 )", "x0 x1", 2, 2, ""},
        // The lower count of a later problem line bounds the literals after it, although
        // the variable list still holds the earlier names.
        ReadCase{"SecondProblemLineLowersTheCount", "p cnf 3 1\n3 0\np cnf 2 1\n3 0\n", 2, "x2",
                 "x2", 3, 2, "Syntax error at line:4\n"}),
    [](const ::testing::TestParamInfo<ReadCase>& param) { return std::string(param.param.title); });

// The step functions on their own: a clause ends at its "0" and leaves the next
// token as the lookahead; a clause cut short by another token is handed back open.
// Its literals wait as the open row of the reader's clauses.
std::string openClauseText(DimacsReader& reader) {
    RowStore& store = reader.clauses->store();
    std::string text;
    for (uint32_t i = store.rowStarts.back(); i < store.literals.size(); ++i) {
        if (!text.empty()) text += ' ';
        if (literalNegated(store.literals[i])) text += '-';
        text += symbolName(literalSymbol(store.literals[i]));
    }
    return text;
}

TEST_F(DimacsReaderSteps, ReadClauseStopsAtItsEnd) {
    std::istringstream in("p cnf 3 2\n1 -3 0 2 p");
    DimacsReader reader(in);
    reader.lexer.token = nextDimacsToken(reader.lexer);
    readDimacsStep(reader);
    EXPECT_EQ(reader.variableCount, 3);

    ClauseOutcome closed = readClause(reader);
    EXPECT_EQ(closed.end, ClauseEnd::Closed);
    EXPECT_EQ(closed.literals, 2);
    EXPECT_EQ(openClauseText(reader), "x0 -x2");
    EXPECT_EQ(reader.lexer.token, DimacsToken::Number);
    reader.clauses->store().closeRow();

    ClauseOutcome open = readClause(reader);
    EXPECT_EQ(open.end, ClauseEnd::Open);
    EXPECT_EQ(open.literals, 1);
    EXPECT_EQ(openClauseText(reader), "x1");
    EXPECT_EQ(reader.lexer.token, DimacsToken::Problem);
    reader.clauses->store().closeRow();
    const std::unique_ptr<Node> both(reader.clauses->buildTree());
    EXPECT_EQ(toText(*both), "( x0 or ( not x2 ) ) and x1");
    EXPECT_EQ(console(), "");
}

// A million-clause file is a chain a million nodes deep; this one, smaller so that
// the test stays quick under the sanitizers, checks the shape and the loading speed.
TEST_F(DimacsReaderSteps, LoadsManyClausesAsALeftDeepChain) {
    constexpr int clauses = 200000;
    constexpr int variables = 5000;
    std::string text = "p cnf " + std::to_string(variables) + " " + std::to_string(clauses) + "\n";
    for (int i = 0; i < clauses; ++i) {
        text += std::to_string(i % variables + 1) + " -" +
                std::to_string((i * 7 + 3) % variables + 1) + " 0\n";
    }
    int depth = runOnLargeStack([&text] {
        std::istringstream in(text);
        auto start = std::chrono::steady_clock::now();
        loadDimacs(in);
        auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_LT(elapsed, std::chrono::seconds(20));
        int links = 0;
        const Node* node = workspace.table->entryAt(0)->tree();
        while (node->opCode() == opAnd) {
            const auto* conjunction = static_cast<const BNode*>(node);
            EXPECT_EQ(conjunction->right->opCode(), opOr);
            node = conjunction->left;
            ++links;
        }
        EXPECT_EQ(toText(*node), "x0 or ( not x3 )");
        releaseTable();  // the deep tree is destroyed here, on the large stack
        createTable();
        return links;
    });
    EXPECT_EQ(depth, clauses - 1);
    EXPECT_EQ(console(), "");
}

}  // namespace
