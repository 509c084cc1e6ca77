// A term sink for tests: records each reported term as its marks over the list
// ("1", "0", "-" per entry), a colon, and the positions in the order they were
// assigned, one term per line.
#pragma once

#include <string>

#include "expr/term_sink.h"
#include "expr/variable_list.h"

class RecordingSink final : public TermSink {
  public:
    std::string text;
    void acceptTerm(const VariableList& list) override {
        for (const VariableEntry& entry : list.entries) {
            text += entry.assigned ? ((entry.value & 1) != 0 ? '1' : '0') : '-';
        }
        text += ':';
        for (int32_t position : list.assignedPositions()) text += std::to_string(position) + ",";
        text += '\n';
    }
};
