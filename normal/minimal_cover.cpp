// A held sum (a PLA cover, an earlier normal form) gives its terms as they are; a
// tree is multiplied out by the engine first, one pass, as any sum of products
// will do for the minimizer. The cubes are laid over the inputs the terms use
// only, so a function of a few inputs in a table of hundreds stays a few words.
#include "normal/minimal_cover.h"

#include <memory>

#include "expr/function_table.h"
#include "expr/term_sink.h"
#include "expr/variable_list.h"
#include "normal/sum_of_products.h"
#include "normal/two_level_exact.h"
#include "normal/two_level_minimize.h"
#include "normal/two_level_unate.h"

namespace {

// Terms as literal lists over table positions.
struct Terms {
    std::vector<Literal> literals;
    std::vector<uint32_t> starts{0};
    void close() { starts.push_back(static_cast<uint32_t>(literals.size())); }
    uint32_t count() const { return static_cast<uint32_t>(starts.size() - 1); }
};

class CollectingSink final : public TermSink {
  public:
    explicit CollectingSink(Terms& into) : terms(into) {}
    void acceptTerm(const VariableList& assignment) override {
        for (int32_t position : assignment.assignedPositions()) {
            const bool positive =
                assignment.entries[static_cast<size_t>(position)].value == valueTrue;
            terms.literals.push_back(makeLiteral(static_cast<uint32_t>(position), positive));
        }
        terms.close();
    }

  private:
    Terms& terms;
};

Terms termsOfSum(const PendingSum* sum, const VariableList& inputs) {
    Terms terms;
    if (sum == nullptr) return terms;
    std::unique_ptr<VariableList> marks(inputs.copyNames());
    CollectingSink sink(terms);
    sum->reportTerms(*marks, sink);
    return terms;
}

Terms termsOf(FunctionEntry& entry, const EngineParams& params) {
    if (const PendingSum* sum = entry.pendingSum()) return termsOfSum(sum, params.inputs);
    Terms terms;
    Node* root = entry.tree();
    entry.tree() = nullptr;
    root = root->expandOperators();
    root = root->toAndOrNotForm();
    root = root->removeDoubleNegations();
    const SimplifiedSum sum = simplifiedSumOfProducts(root, 1, params);
    sum.forEachTerm([&](const Literal* begin, const Literal* end) {
        terms.literals.insert(terms.literals.end(), begin, end);
        terms.close();
    });
    return terms;
}

// The inputs the terms use, in table order, and each one's place in the cubes.
struct Support {
    std::vector<uint32_t> positions;  // cube variable -> table position
    std::vector<int64_t> variableOf;  // table position -> cube variable, or -1
};

Support supportOf(const std::vector<const Terms*>& covers, size_t tableInputs) {
    Support support;
    support.variableOf.assign(tableInputs, -1);
    for (const Terms* terms : covers) {
        for (Literal literal : terms->literals) support.variableOf[literalPosition(literal)] = 0;
    }
    for (size_t position = 0; position < tableInputs; ++position) {
        if (support.variableOf[position] < 0) continue;
        support.variableOf[position] = static_cast<int64_t>(support.positions.size());
        support.positions.push_back(static_cast<uint32_t>(position));
    }
    return support;
}

CubeList cubesOf(const Terms& terms, const Support& support, const CubeSpace& space) {
    CubeList cubes(space.words);
    cubes.reserve(terms.count());
    for (uint32_t t = 0; t < terms.count(); ++t) {
        uint64_t* cube = cubes.append();
        space.setUniverse(cube);
        for (uint32_t i = terms.starts[t]; i < terms.starts[t + 1]; ++i) {
            const Literal literal = terms.literals[i];
            const auto variable =
                static_cast<uint32_t>(support.variableOf[literalPosition(literal)]);
            CubeSpace::setPair(cube, variable, literalPositive(literal) ? 2 : 1);
        }
    }
    return cubes;
}

// The entry's don't-cares as cubes of the space: the "-" rows, or what neither the
// loaded ON-set nor the OFF-set holds (none when that complement grows past its
// budget: the cover then holds the ON-set exactly).
CubeList dontCaresOf(const UnspecifiedPoints* points, const Terms terms[3], const Support& support,
                     const CubeSpace& space) {
    if (points == nullptr) return CubeList(space.words);
    if (!points->offSetGiven()) return cubesOf(terms[0], support, space);
    CubeList specified = cubesOf(terms[1], support, space);
    specified.appendAll(cubesOf(terms[2], support, space));
    CubeList dontCares(space.words);
    if (!complementWithin(space, specified, complementBudget(specified), dontCares)) {
        return CubeList(space.words);
    }
    return dontCares;
}

// The cover as the entry's function, one term per cube (the constant 0 for none).
void holdCover(FunctionEntry& entry, const CubeList& cover, const Support& support,
               const CubeSpace& space, const VariableList& inputs) {
    entry.termCount = cover.size();
    if (cover.empty()) {
        entry.holdSum(nullptr);
        entry.tree() = new VectNode(valueFalse, 1);
        return;
    }
    auto rows = std::make_shared<RowStore>();
    for (uint32_t c = 0; c < cover.size(); ++c) {
        for (uint32_t v = 0; v < space.variables; ++v) {
            const uint64_t pair = CubeSpace::pairOf(cover[c], v);
            if (pair == 3) continue;
            rows->addLiteral(inputs.entries[support.positions[v]].name, pair == 1);
        }
        rows->closeRow();
    }
    auto sum = std::make_unique<PendingCover>(rows);
    for (uint32_t c = 0; c < cover.size(); ++c) sum->takeRow(c);
    entry.holdSum(std::move(sum));
}

CubeList exactCover(const std::string& name, const CubeSpace& space, const CubeList& on,
                    const CubeList& dontCare, const MinimizeSettings& settings) {
    const uint64_t limit = settings.exactLimit;
    uint64_t ownBudget = settings.exactBranches;
    uint64_t& left = settings.branchesLeft != nullptr ? *settings.branchesLeft : ownBudget;
    // The heuristic's cover bounds the search from its start.
    const CubeList heuristic = minimizeCover(space, on, dontCare);
    ExactCover exact = exactMinimum(space, on, dontCare, limit, left, heuristic);
    left -= std::min(left, exact.branches);
    const std::string bound = std::to_string(limit);
    switch (exact.stop) {
        case ExactStop::none:
            return std::move(exact.cover);
        case ExactStop::primes:
            throw ExactLimitReached(name + ": more than " + bound + " prime implicants", false);
        case ExactStop::rows:
            throw ExactLimitReached(name + ": more than " + bound + " rows in its covering problem",
                                    false);
        case ExactStop::search:
            break;
    }
    throw ExactLimitReached(name + ": more than " + std::to_string(settings.exactBranches) +
                                " branches in the job's covering searches",
                            true);
}

}  // namespace

void minimizeFunction(FunctionEntry& entry, const EngineParams& params,
                      const MinimizeSettings& settings) {
    const VariableList& inputs = params.inputs;
    const Terms terms = termsOf(entry, params);
    const UnspecifiedPoints* points = entry.unspecified.get();
    const Terms unspecified[3] = {
        termsOfSum(points != nullptr ? points->dontCareRows.get() : nullptr, inputs),
        termsOfSum(points != nullptr ? points->onRows.get() : nullptr, inputs),
        termsOfSum(points != nullptr ? points->offRows.get() : nullptr, inputs)};
    const Support support = supportOf({&terms, &unspecified[0], &unspecified[1], &unspecified[2]},
                                      static_cast<size_t>(inputs.count()));
    const CubeSpace space(static_cast<uint32_t>(support.positions.size()));
    const CubeList on = cubesOf(terms, support, space);
    const CubeList dontCare = dontCaresOf(points, unspecified, support, space);
    try {
        holdCover(entry,
                  settings.exact ? exactCover(entry.name, space, on, dontCare, settings)
                                 : minimizeCover(space, on, dontCare),
                  support, space, inputs);
    } catch (const ExactLimitReached&) {
        holdCover(entry, on, support, space, inputs);
        throw;
    }
}
