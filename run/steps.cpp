#include "run/steps.h"

#include <algorithm>

#include "actions/dispatcher.h"
#include "base/action_watch.h"
#include "expr/function_table.h"
#include "normal/minimal_cover.h"

namespace {

bool isNumber(const std::string& text) {
    return !text.empty() && text.size() < 19 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int64_t latestFunctionNamed(const std::string& name) {
    const FunctionTable& table = *workspace.table;
    for (int64_t position = table.entryCount() - 1; position >= 0; --position) {
        if (table.entryAt(position)->name == name) return position;
    }
    return -1;
}

// The transformation behind a step that rewrites the functions (all but absorption
// and minimize).
Transform transformOf(JobStep::Kind kind) {
    switch (kind) {
        case JobStep::Kind::negate:
            return Transform::negation;
        case JobStep::Kind::andOrNot:
            return Transform::andOrNot;
        case JobStep::Kind::cnf:
            return Transform::cnf;
        case JobStep::Kind::dnf:
            return Transform::dnf;
        case JobStep::Kind::nand:
            return Transform::nand;
        case JobStep::Kind::nor:
            return Transform::nor;
        case JobStep::Kind::cofactor:
        case JobStep::Kind::absorption:
        case JobStep::Kind::minimize:
            break;
    }
    return Transform::cofactor;
}

// Every function with a tree becomes a minimal sum of products, in table order. The
// progress line, when shown, moves on between functions.
void minimizeTable(const MinimizeSettings& settings) {
    FunctionTable& table = *workspace.table;
    const EngineParams params{table.variableList, dispatcherState.absorptionEnabled, false};
    for (int64_t position = 0; position < table.entryCount(); ++position) {
        FunctionEntry& entry = *table.entryAt(position);
        workspace.currentEntry = &entry;
        workspace.currentList = entry.variableList;
        if (!entry.hasTree()) continue;
        noteProgressFunction(position + 1, table.entryCount(), entry.name);
        actionCheckpoint(-1);
        minimizeFunction(entry, params, settings);
    }
}

}  // namespace

ResolvedCofactor resolveCofactor(const JobStep& step) {
    ResolvedCofactor resolved;
    const FunctionTable& table = *workspace.table;
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
        uint64_t branchesLeft = step.branches;
        minimizeTable({step.value, step.limit, step.branches, &branchesLeft});
        return;
    }
    if (step.kind == JobStep::Kind::absorption) {
        dispatcherState.absorptionEnabled = step.value;
        return;
    }
    CofactorRequest request;
    if (step.kind == JobStep::Kind::cofactor) {
        // The restriction's don't-cares are not the function's.
        workspace.table->entryAt(cofactor.functionPosition)->unspecified.reset();
        request.outputNumber = cofactor.functionPosition;
        request.inputNumber = cofactor.inputPosition;
        request.value = step.value;
    }
    transformTable(transformOf(step.kind), request);
}
