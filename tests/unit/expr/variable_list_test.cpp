// Name lookups in a variable list: after renames the index is rebuilt on the first
// lookup, which may come from several threads at once when the functions of a
// table are computed side by side.
#include "expr/variable_list.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "expr/symbol.h"

namespace {

struct LookupCase {
    int names;
    int threads;
};

class VariableListLookups : public ::testing::TestWithParam<LookupCase> {};

TEST_P(VariableListLookups, EveryThreadFindsEveryRenamedName) {
    const LookupCase settings = GetParam();
    std::vector<Symbol> renamed;
    for (int i = 0; i < settings.names; ++i) {
        renamed.push_back(
            intern("renamed_" + std::to_string(settings.names) + "_" + std::to_string(i)));
    }
    std::atomic<int> wrong{0};
    for (int round = 0; round < 40; ++round) {
        VariableList list;
        for (int i = 0; i < settings.names; ++i) list.add(intern("x" + std::to_string(i)));
        for (int i = 0; i < settings.names; ++i) list.rename(i, renamed[i]);
        std::atomic<int> ready{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < settings.threads; ++t) {
            threads.emplace_back([&, t] {
                ready.fetch_add(1);
                while (ready.load() < settings.threads) {
                }
                for (int k = 0; k < settings.names; ++k) {
                    const int i = (k + t * 7) % settings.names;
                    if (list.positionOf(renamed[i]) != i) wrong.fetch_add(1);
                }
            });
        }
        for (std::thread& thread : threads) thread.join();
        EXPECT_EQ(list.positionOf(intern("x0")), -1);
    }
    EXPECT_EQ(wrong.load(), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, VariableListLookups,
                         ::testing::Values(LookupCase{3, 2}, LookupCase{64, 4},
                                           LookupCase{5000, 4}));

}  // namespace
