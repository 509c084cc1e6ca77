// The engine's parameters over the test table's inputs.
#pragma once

#include "expr/function_table.h"
#include "normal/normalize.h"

inline EngineParams tableEngine(bool absorption = true) {
    return EngineParams{workspace.table->variableList, absorption};
}
