#include "run/sum_satisfiability.h"

#include <cstddef>
#include <memory>

#include "expr/pending_sum.h"
#include "expr/term_sink.h"
#include "expr/variable_list.h"

namespace {

// Keeps the first term reported as a model; the later ones are not looked at.
class FirstTerm final : public TermSink {
  public:
    explicit FirstTerm(std::vector<bool>& target) : model(target) {}

    void acceptTerm(const VariableList& assignment) override {
        if (found) return;
        found = true;
        model.assign(assignment.entries.size(), false);
        for (const int32_t position : assignment.assignedPositions()) {
            const VariableEntry& entry = assignment.entries[static_cast<std::size_t>(position)];
            if (entry.assigned) model[static_cast<std::size_t>(position)] = (entry.value & 1) != 0;
        }
    }

  private:
    std::vector<bool>& model;
    bool found = false;
};

}  // namespace

SatAnswer decideSum(const PendingSum& sum, const VariableList& inputs) {
    SatAnswer answer;
    const std::unique_ptr<VariableList> marks(inputs.copyNames());
    FirstTerm first(answer.model);
    const bool satisfiable = sum.reportTerms(*marks, first);
    answer.verdict = satisfiable ? SatVerdict::Satisfiable : SatVerdict::Unsatisfiable;
    if (!satisfiable) answer.model.clear();
    return answer;
}
