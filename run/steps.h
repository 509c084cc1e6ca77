// The --do steps: their names and numbers resolved against the loaded table, and
// each applied through the dispatcher's chains, as the menu's action would.
#pragma once

#include <cstdint>
#include <string>

#include "expr/symbol.h"
#include "run/options.h"

// A cofactor's function and input as positions in the table and its variable list.
struct ResolvedCofactor {
    int64_t functionPosition = -1;
    int64_t inputPosition = -1;
    Symbol inputName = 0;
    std::string error;  // why the names did not resolve; empty when they did
};

// Finds the cofactor's function (a 0-based number, or the latest function of that
// name) and input (a 0-based number, or a name of the table's variable list).
ResolvedCofactor resolveCofactor(const JobStep& step);

// The step's text as the user wrote it in --do, for messages.
std::string stepName(const JobStep& step);

// Applies one step to the table (a resolved cofactor for cofactor steps).
void applyStep(const JobStep& step, const ResolvedCofactor& cofactor);
