// boolfn-run's command line: what each option sets, the notations told from the
// paths, and the usage errors with the option they name.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "run/options.h"

namespace {

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> result;
    for (std::string word; in >> word;) result.push_back(word);
    return result;
}

struct UsageErrorCase {
    const char* line;
    const char* error;  // a part of the message
};

class RunUsageErrors : public ::testing::TestWithParam<UsageErrorCase> {};

TEST_P(RunUsageErrors, NameWhatIsWrong) {
    const ParsedCommandLine parsed = parseCommandLine(words(GetParam().line));
    EXPECT_NE(parsed.usageError.find(GetParam().error), std::string::npos)
        << "'" << GetParam().line << "' gave: " << parsed.usageError;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RunUsageErrors,
    ::testing::Values(UsageErrorCase{"", "no INPUT"},
                      UsageErrorCase{"a.pla b.pla", "more than one"},
                      UsageErrorCase{"in.txt", "--from"}, UsageErrorCase{"-", "--from"},
                      UsageErrorCase{"--from edif in.pla", "--from"},
                      UsageErrorCase{"--to=edif in.pla", "--to"},
                      UsageErrorCase{"in.pla -o", "-o needs a value"},
                      UsageErrorCase{"in.pla --added=yes", "--added takes no value"},
                      UsageErrorCase{"in.pla -x", "unknown option -x"},
                      UsageErrorCase{"in.pla -d dnf,,cnf", "unknown action ''"},
                      UsageErrorCase{"in.pla -d cofactor:f:a", "cofactor:f:a"},
                      UsageErrorCase{"in.pla -d cofactor::a=1", "cofactor::a=1"},
                      UsageErrorCase{"in.pla -d cofactor:f:=1", "cofactor:f:=1"},
                      UsageErrorCase{"in.pla -d absorption=maybe", "absorption=maybe"},
                      UsageErrorCase{"in.pla --sat -o -", "--sat"},
                      UsageErrorCase{"in.pla --sat --verify", "--verify"},
                      UsageErrorCase{"in.pla -q -v", "--quiet"},
                      UsageErrorCase{"in.pla -o out.txt", "name it with --to"},
                      UsageErrorCase{"in.pla -o dir.d/x.BLIF", "name it with --to"},
                      UsageErrorCase{"in.pla --tseitin -o x.pla", "--tseitin"},
                      UsageErrorCase{"in.pla --stats -o -", "--stats"},
                      UsageErrorCase{"in.pla --equiv b.txt", "cannot tell the notation of 'b.txt'"},
                      UsageErrorCase{"in.pla --stats=json", "unknown layout"},
                      UsageErrorCase{"in.pla --workers 0", "--workers needs"},
                      UsageErrorCase{"in.pla --workers=x", "--workers needs"},
                      UsageErrorCase{"in.pla --workers", "--workers needs a value"},
                      UsageErrorCase{"in.pla --max-memory 0", "--max-memory needs a size"},
                      UsageErrorCase{"in.pla --max-memory=5MB", "--max-memory needs a size"},
                      UsageErrorCase{"in.pla --max-memory M", "--max-memory needs a size"},
                      UsageErrorCase{"in.pla --max-memory -1G", "--max-memory needs a size"},
                      UsageErrorCase{"in.pla --max-memory 4194305T", "--max-memory needs a size"},
                      UsageErrorCase{"in.pla --max-memory", "--max-memory needs a value"}));

struct MemorySizeCase {
    const char* size;
    uint64_t bytes;
};

class RunMemorySizes : public ::testing::TestWithParam<MemorySizeCase> {};

TEST_P(RunMemorySizes, AreBytesOrPowersOf1024) {
    const ParsedCommandLine parsed = parseCommandLine({"in.pla", "--max-memory", GetParam().size});
    ASSERT_EQ(parsed.usageError, "");
    EXPECT_EQ(parsed.options.maxMemory, GetParam().bytes);
    EXPECT_EQ(parsed.options.maxMemoryText, GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(Table, RunMemorySizes,
                         ::testing::Values(MemorySizeCase{"1000000", 1000000},
                                           MemorySizeCase{"64k", 65536},
                                           MemorySizeCase{"512M", uint64_t{512} << 20},
                                           MemorySizeCase{"2G", uint64_t{2} << 30},
                                           MemorySizeCase{"2g", uint64_t{2} << 30},
                                           MemorySizeCase{"4194304T", uint64_t{1} << 62}));

TEST(RunMemorySizes, DefaultIsNoLimit) {
    EXPECT_EQ(parseCommandLine({"in.pla"}).options.maxMemory, 0u);
}

TEST(RunOptions, EveryOptionSetsItsField) {
    const ParsedCommandLine parsed = parseCommandLine(
        words("-f vhdl --output=out.x -t blif -a f<=a; --script s.vhd --add=g<=b; "
              "-d negate,cofactor:f:0=1 --do=absorption=off --added --verify --keep-names "
              "--lenient --verbose --workers 5 in"));
    ASSERT_EQ(parsed.usageError, "");
    const RunOptions& options = parsed.options;
    EXPECT_EQ(options.inputPath, "in");
    EXPECT_EQ(options.workers, 5);
    EXPECT_EQ(options.from, InputNotation::vhdl);
    EXPECT_EQ(options.outputPath, "out.x");
    EXPECT_TRUE(options.outputGiven);
    EXPECT_EQ(options.to, OutputNotation::blif);
    ASSERT_EQ(options.additions.size(), 3u);
    EXPECT_FALSE(options.additions[0].isScript);
    EXPECT_EQ(options.additions[0].text, "f<=a;");
    EXPECT_TRUE(options.additions[1].isScript);
    EXPECT_EQ(options.additions[2].text, "g<=b;");
    ASSERT_EQ(options.steps.size(), 3u);
    EXPECT_EQ(options.steps[0].kind, JobStep::Kind::negate);
    EXPECT_EQ(options.steps[1].kind, JobStep::Kind::cofactor);
    EXPECT_EQ(options.steps[1].function, "f");
    EXPECT_EQ(options.steps[1].input, "0");
    EXPECT_TRUE(options.steps[1].value);
    EXPECT_EQ(options.steps[2].kind, JobStep::Kind::absorption);
    EXPECT_FALSE(options.steps[2].value);
    EXPECT_TRUE(options.addedOnly && options.verify && options.keepNames && options.lenient &&
                options.verbose);
    EXPECT_FALSE(options.satisfiability || options.quiet || options.help || options.version);
}

TEST(RunOptions, HelpAndVersionNeedNoInput) {
    EXPECT_TRUE(parseCommandLine(words("--help")).options.help);
    EXPECT_TRUE(parseCommandLine(words("-h -d nothing-known")).usageError.size() > 0);
    EXPECT_TRUE(parseCommandLine(words("--version")).options.version);
    EXPECT_EQ(parseCommandLine(words("--version")).usageError, "");
}

TEST(RunOptions, DoubleDashEndsTheOptions) {
    const ParsedCommandLine parsed = parseCommandLine(words("-f pla -- -v"));
    ASSERT_EQ(parsed.usageError, "");
    EXPECT_EQ(parsed.options.inputPath, "-v");
    EXPECT_FALSE(parsed.options.verbose);
}

struct NotationCase {
    const char* line;
    InputNotation input;
    OutputNotation output;
};

class RunNotations : public ::testing::TestWithParam<NotationCase> {};

TEST_P(RunNotations, FromOptionOrExtension) {
    const ParsedCommandLine parsed = parseCommandLine(words(GetParam().line));
    ASSERT_EQ(parsed.usageError, "") << GetParam().line;
    EXPECT_EQ(inputNotationOf(parsed.options), GetParam().input) << GetParam().line;
    EXPECT_EQ(outputNotationOf(parsed.options), GetParam().output) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RunNotations,
    ::testing::Values(
        NotationCase{"in.pla", InputNotation::pla, OutputNotation::pla},
        NotationCase{"in.vhd -o out.vhd", InputNotation::vhdl, OutputNotation::pseudoVhdl},
        NotationCase{"in.vhdl -o out.vhdl", InputNotation::vhdl, OutputNotation::completeVhdl},
        NotationCase{"in.cnf -o out.cnf", InputNotation::dimacs, OutputNotation::dimacs},
        NotationCase{"in.dimacs -o out.dimacs", InputNotation::dimacs, OutputNotation::dimacs},
        NotationCase{"in.pla -o out.blif", InputNotation::pla, OutputNotation::blif},
        NotationCase{"in.pla -o out", InputNotation::pla, OutputNotation::pla},
        NotationCase{"in.pla -o /dev/stdout", InputNotation::pla, OutputNotation::pla},
        NotationCase{"in.pla -o .hidden", InputNotation::pla, OutputNotation::pla},
        NotationCase{"in.pla -o out.txt -t blif", InputNotation::pla, OutputNotation::blif},
        NotationCase{"in.blif --equiv b.cnf", InputNotation::blif, OutputNotation::pla},
        NotationCase{"in.pla.cnf", InputNotation::dimacs, OutputNotation::pla},
        NotationCase{"-f dimacs x.pla -o y.blif -t pseudo-vhdl", InputNotation::dimacs,
                     OutputNotation::pseudoVhdl},
        NotationCase{"--from=pla - --to=vhdl", InputNotation::pla, OutputNotation::completeVhdl}));

}  // namespace
