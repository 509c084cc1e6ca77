// The console answers: a failed read leaves the asker's default, and the console
// stays failed so that every later read fails too.
#include "base/console.h"

#include <gtest/gtest.h>

#include <iostream>

#include "tests/unit/base/console_redirect.h"

namespace {

struct IntegerCase {
    const char* typed;
    int fallback;
    int expected;
    bool readable;
};

class ReadIntegerTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(ReadIntegerTest, KeepsTheDefaultUnlessANumberIsRead) {
    const IntegerCase& example = GetParam();
    ConsoleRedirect console;
    console.type(example.typed);
    EXPECT_EQ(readInteger(example.fallback), example.expected);
    EXPECT_EQ(static_cast<bool>(std::cin), example.readable);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ReadIntegerTest,
    ::testing::Values(IntegerCase{"4\n", 15, 4, true}, IntegerCase{"  \n -3\n", 15, -3, true},
                      IntegerCase{"0", 15, 0, true},
                      IntegerCase{"2147483647\n", -1, 2147483647, true},
                      IntegerCase{"word\n", -1, -1, false}, IntegerCase{"word\n", 15, 15, false},
                      IntegerCase{"2147483648\n", -1, -1, false},
                      IntegerCase{"-99999999999\n", 0, 0, false}, IntegerCase{"", 15, 15, false}));

struct TruthCase {
    const char* typed;
    bool expected;
    bool readable;
};

class ReadTruthValueTest : public ::testing::TestWithParam<TruthCase> {};

TEST_P(ReadTruthValueTest, OnlyZeroAndOneAreTruthValues) {
    const TruthCase& example = GetParam();
    ConsoleRedirect console;
    console.type(example.typed);
    EXPECT_EQ(readTruthValue(), example.expected);
    EXPECT_EQ(static_cast<bool>(std::cin), example.readable);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ReadTruthValueTest,
    ::testing::Values(TruthCase{"1\n", true, true}, TruthCase{"0\n", false, true},
                      TruthCase{"2\n", false, false}, TruthCase{"-1\n", false, false},
                      TruthCase{"yes\n", false, false}, TruthCase{"", false, false}));

TEST(ConsoleTest, OneFailedReadFailsEveryLaterRead) {
    ConsoleRedirect console;
    console.type("x\n7\nname\n");
    EXPECT_EQ(readInteger(15), 15);
    EXPECT_EQ(readInteger(15), 15);
    std::string word = "before";
    EXPECT_FALSE(readWord(word));
    EXPECT_EQ(word, "before");
    EXPECT_FALSE(readTruthValue());
    EXPECT_EQ(readRestOfLine(), "");
}

TEST(ConsoleTest, ReadWordTakesOneWhitespaceDelimitedWord) {
    ConsoleRedirect console;
    console.type("\n   first.pla second.pla\n");
    std::string word;
    ASSERT_TRUE(readWord(word));
    EXPECT_EQ(word, "first.pla");
    ASSERT_TRUE(readWord(word));
    EXPECT_EQ(word, "second.pla");
    EXPECT_FALSE(readWord(word));
    EXPECT_EQ(word, "second.pla");
}

TEST(ConsoleTest, ReadRestOfLineSkipsTheLineEndLeftByTheMenuChoice) {
    ConsoleRedirect console;
    console.type("8\nf <= a and b; g <= c;\n15\n");
    EXPECT_EQ(readInteger(15), 8);
    EXPECT_EQ(readRestOfLine(), "f <= a and b; g <= c;");
    EXPECT_EQ(readInteger(15), 15);
}

TEST(ConsoleTest, PromptsHaveNoLineEndAndMessagesHaveOne) {
    ConsoleRedirect console;
    printPrompt("Choice:");
    printLine("");
    printLine("Exiting");
    EXPECT_EQ(console.printedText(), "Choice:\nExiting\n");
}

}  // namespace
