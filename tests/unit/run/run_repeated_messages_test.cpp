// The cut of repeated lines on a stream: runs of identical lines beyond the limit
// are counted, the count comes when the run ends (a different line, or the end of
// the cut), and the stream gets its own buffer back.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "run/repeated_messages.h"

namespace {

struct CutCase {
    const char* title;
    std::string written;
    std::string shown;
};

void PrintTo(const CutCase& c, std::ostream* out) {
    *out << c.title;
}

class RunRepeatedMessages : public ::testing::TestWithParam<CutCase> {};

std::string repeated(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += line;
    return text;
}

TEST_P(RunRepeatedMessages, ShowsAFewThenTheCount) {
    std::ostringstream stream;
    {
        const RepeatedLineCut cut(stream, 2);
        // Written in pieces, as `<<` does, with flushes between them.
        for (char c : GetParam().written) stream << c << std::flush;
    }
    EXPECT_EQ(stream.str(), GetParam().shown) << GetParam().title;
    stream << "after\n";
    EXPECT_EQ(stream.str(), GetParam().shown + "after\n") << GetParam().title;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RunRepeatedMessages,
    ::testing::Values(CutCase{"Different", "a:1\nb:1\na:1\n", "a:1\nb:1\na:1\n"},
                      CutCase{"AtTheLimit", "e\ne\n", "e\ne\n"},
                      CutCase{"CountedAtTheEnd", repeated("e:2\n", 1000),
                              "e:2\ne:2\nboolfn-run: 998 more identical messages not shown\n"},
                      CutCase{"CountedWhenADifferentLineComes",
                              repeated("e\n", 5) + "f\n" + repeated("e\n", 3),
                              "e\ne\nboolfn-run: 3 more identical messages not shown\nf\ne\ne\n"
                              "boolfn-run: 1 more identical message not shown\n"},
                      CutCase{"UnfinishedLineKept", "e\ne\ne\nhalf",
                              "e\ne\nboolfn-run: 1 more identical message not shown\nhalf"}));

}  // namespace
