#include "run/steps.h"

#include <algorithm>

#include "actions/actions.h"
#include "actions/dispatcher.h"
#include "expr/function_table.h"
#include "normal/minimal_cover.h"

namespace {

bool isNumber(const std::string& text) {
    return !text.empty() && text.size() < 19 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int64_t latestFunctionNamed(const std::string& name) {
    const FunctionTable& table = *program.table;
    for (int64_t position = table.entryCount() - 1; position >= 0; --position) {
        if (table.entryAt(position)->name == name) return position;
    }
    return -1;
}

// The menu action behind a step; minimize has none.
int actionOf(JobStep::Kind kind) {
    switch (kind) {
        case JobStep::Kind::negate:
            return actionNegation;
        case JobStep::Kind::andOrNot:
            return actionAndOrNot;
        case JobStep::Kind::cnf:
            return actionCnf;
        case JobStep::Kind::dnf:
            return actionDnf;
        case JobStep::Kind::nand:
            return actionNand;
        case JobStep::Kind::nor:
            return actionNor;
        case JobStep::Kind::cofactor:
            return actionCofactor;
        case JobStep::Kind::absorption:
            return actionAbsorption;
        case JobStep::Kind::minimize:
            break;
    }
    return actionExit;
}

// Every function with a tree becomes a minimal sum of products, in table order.
void minimizeTable(const MinimizeSettings& settings) {
    FunctionTable& table = *program.table;
    for (int64_t position = 0; position < table.entryCount(); ++position) {
        FunctionEntry& entry = *table.entryAt(position);
        program.currentEntry = &entry;
        program.currentList = entry.variableList;
        if (entry.hasTree()) minimizeFunction(entry, settings);
    }
}

}  // namespace

ResolvedCofactor resolveCofactor(const JobStep& step) {
    ResolvedCofactor resolved;
    const FunctionTable& table = *program.table;
    resolved.functionPosition =
        isNumber(step.function) ? std::stoll(step.function) : latestFunctionNamed(step.function);
    if (resolved.functionPosition < 0 || resolved.functionPosition >= table.entryCount()) {
        resolved.error = "cofactor: no function '" + step.function + "'";
        return resolved;
    }
    const VariableList& inputs = table.variableList;
    resolved.inputPosition =
        isNumber(step.input) ? std::stoll(step.input) : inputs.positionOf(intern(step.input));
    if (resolved.inputPosition < 0 || resolved.inputPosition >= inputs.count()) {
        resolved.error = "cofactor: no input '" + step.input + "'";
        return resolved;
    }
    resolved.inputName = inputs.entries[static_cast<size_t>(resolved.inputPosition)].name;
    return resolved;
}

std::string stepName(const JobStep& step) {
    switch (step.kind) {
        case JobStep::Kind::cofactor:
            return "cofactor:" + step.function + ":" + step.input + "=" + (step.value ? "1" : "0");
        case JobStep::Kind::absorption:
            return step.value ? "absorption=on" : "absorption=off";
        case JobStep::Kind::minimize:
            return step.value ? "minimize=exact" : "minimize";
        default: {
            constexpr const char* names[] = {"negate", "and-or-not", "cnf", "dnf", "nand", "nor"};
            return names[static_cast<int>(step.kind)];
        }
    }
}

void applyStep(const JobStep& step, const ResolvedCofactor& cofactor) {
    if (step.kind == JobStep::Kind::minimize) {
        minimizeTable({step.value, step.limit});
        return;
    }
    if (step.kind == JobStep::Kind::absorption) {
        program.absorptionEnabled = step.value;
        return;
    }
    CofactorRequest request;
    if (step.kind == JobStep::Kind::cofactor) {
        // The restriction's don't-cares are not the function's.
        program.table->entryAt(cofactor.functionPosition)->unspecified.reset();
        request.outputNumber = cofactor.functionPosition;
        request.inputNumber = cofactor.inputPosition;
        request.value = step.value;
    }
    transformTable(actionOf(step.kind), request);
}
