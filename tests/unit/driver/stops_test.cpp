// Start-up and the two stops: start-up installs the out-of-memory handler and
// resets the program-wide state; the handler ends the process at once with status 2;
// the operation-timer check returns without touching anything.
#include "base/stops.h"

#include <gtest/gtest.h>

#include <new>

#include "actions/dispatcher.h"
#include "driver/program.h"
#include "expr/function_table.h"
#include "formats/save_dialogue.h"

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
    dispatcherState.absorptionEnabled = false;
    saveRecord.batchMode = true;
    workspace.table->addedCount = 3;
    workspace.table->appendEntry(nullptr, nullptr, "y0");
    releaseTable();
    initProgram();
    ASSERT_NE(workspace.table, nullptr);
    EXPECT_EQ(workspace.table->entryCount(), 0);
    EXPECT_TRUE(workspace.table->variableList.empty());
    EXPECT_TRUE(dispatcherState.absorptionEnabled);
    EXPECT_FALSE(saveRecord.batchMode);
    EXPECT_EQ(workspace.table->addedCount, 0);
    releaseTable();
    std::set_new_handler(nullptr);
}

TEST(StopsTest, UnarmedTimerCheckReturnsAndKeepsTheClockReadings) {
    createTable();
    dispatcherState.operationStartTime = 1;
    dispatcherState.operationEndTime = 7;
    checkOperationTimer();
    EXPECT_EQ(dispatcherState.operationStartTime, 1);
    EXPECT_EQ(dispatcherState.operationEndTime, 7);
    releaseTable();
}

}  // namespace
