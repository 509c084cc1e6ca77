// Start-up and the two stops: start-up installs the out-of-memory handler and
// resets the program-wide state; the handler ends the process at once with status 2;
// the operation-timer check returns without touching anything.
#include "base/stops.h"

#include <gtest/gtest.h>

#include <new>

#include "driver/program.h"
#include "expr/function_table.h"

namespace {

TEST(StopsDeathTest, OutOfMemoryEndsTheProcessWithStatusTwo) {
    EXPECT_EXIT(onOutOfMemory(), ::testing::ExitedWithCode(2), "");
}

TEST(StopsDeathTest, StartUpInstallsTheHandler) {
    EXPECT_EXIT(
        {
            initProgram();
            std::get_new_handler()();
        },
        ::testing::ExitedWithCode(2), "");
}

TEST(StartUpTest, StartUpGivesAnEmptyTableAndTheStartingFlags) {
    createTable();
    program.absorptionEnabled = false;
    program.batchMode = true;
    program.addedCount = 3;
    program.table->appendEntry(nullptr, nullptr, "y0");
    releaseTable();
    initProgram();
    ASSERT_NE(program.table, nullptr);
    EXPECT_EQ(program.table->entryCount(), 0);
    EXPECT_TRUE(program.table->variableList.empty());
    EXPECT_TRUE(program.absorptionEnabled);
    EXPECT_FALSE(program.batchMode);
    EXPECT_EQ(program.addedCount, 0);
    releaseTable();
    std::set_new_handler(nullptr);
}

TEST(StopsTest, UnarmedTimerCheckReturnsAndKeepsTheClockReadings) {
    createTable();
    program.operationStartTime = 1;
    program.operationEndTime = 7;
    checkOperationTimer();
    EXPECT_EQ(program.operationStartTime, 1);
    EXPECT_EQ(program.operationEndTime, 7);
    releaseTable();
}

}  // namespace
