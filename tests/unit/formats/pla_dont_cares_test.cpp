// The PLA reader's don't-cares: with the switch each output keeps its "-" (and "2")
// rows, or under .type fr and fdr its "0" rows and the ON-set as loaded; without it
// the ON-set is all that is read, and the rows that would have been kept are
// counted for boolfn-run's note. Either way the ON-set is the same.
#include <gtest/gtest.h>

#include <string>

#include "expr/function_table.h"
#include "tests/unit/formats/pla_test_support.h"

namespace {

// The tree of a kept cover, as text; "-" when there is none.
std::string coverText(const std::unique_ptr<PendingCover>& cover) {
    if (!cover) return "-";
    Node* tree = cover->buildTree();
    if (tree == nullptr) return "(empty)";
    std::string text = toText(*tree);
    delete tree;
    return text;
}

struct DontCareCase {
    const char* name;
    const char* text;
    int64_t unspecifiedRows;
    bool offSetType;
    const char* dontCares;  // per output, its kept don't-care rows (with the switch)
    const char* offSets;    // per output, its kept OFF rows
};

class PlaDontCares : public PlaFixture, public ::testing::WithParamInterface<DontCareCase> {};

TEST_P(PlaDontCares, KeptOnlyWithTheSwitch) {
    const DontCareCase& c = GetParam();
    for (const bool keep : {false, true}) {
        createTable();
        ReaderSettings settings;
        settings.plaDontCares = keep;
        load(c.text, settings);
        const std::string onSet = describeTable();
        const FunctionTable& table = *workspace.table;
        EXPECT_EQ(table.unspecifiedRows, c.unspecifiedRows) << c.name;
        EXPECT_EQ(table.offSetType, c.offSetType) << c.name;
        std::string dontCares;
        std::string offSets;
        for (int64_t position = 0; position < table.entryCount(); ++position) {
            const FunctionEntry& entry = *table.entryAt(position);
            if (!keep) {
                EXPECT_EQ(entry.unspecified, nullptr) << c.name;
                continue;
            }
            const UnspecifiedPoints* points = entry.unspecified.get();
            dontCares += (points ? coverText(points->dontCareRows) : "-") + ";";
            offSets += (points ? coverText(points->offRows) : "-") + ";";
        }
        if (keep) {
            EXPECT_EQ(dontCares, c.dontCares) << c.name;
            EXPECT_EQ(offSets, c.offSets) << c.name;
        }
        // The ON-set is what it is without the switch.
        createTable();
        load(c.text);
        EXPECT_EQ(describeTable(), onSet) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, PlaDontCares,
    testing::Values(DontCareCase{"plain", ".i 2\n.o 1\n11 1\n00 0\n", 0, false, "-;", "-;"},
                    DontCareCase{"dash", ".i 2\n.o 2\n11 1-\n0- -1\n10 00\n", 2, false,
                                 "not x0;x0 and x1;", "-;-;"},
                    DontCareCase{"two", ".i 2\n.o 1\n1- 2\n01 1\n", 1, false, "x0;", "-;"},
                    DontCareCase{"fr", ".type fr\n.i 2\n.o 1\n11 1\n00 0\n-1 -\n", 2, true, "-;",
                                 "( not x0 ) and ( not x1 );"},
                    DontCareCase{"fr without zeros", ".i 2\n.o 2\n.type fr\n11 10\n", 1, true,
                                 "-;-;", "(empty);x0 and x1;"}),
    [](const testing::TestParamInfo<DontCareCase>& param) {
        std::string name = param.param.name;
        for (char& c : name) {
            if (c == ' ') c = '_';
        }
        return name;
    });

}  // namespace
