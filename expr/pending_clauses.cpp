#include "expr/pending_clauses.h"

Node* PendingClauses::buildTree() const {
    return buildChains(chains());
}

int64_t PendingClauses::literalCount() const {
    return chainLiteralCount(chains());
}

bool PendingClauses::printWithoutTree(std::ostream& out) const {
    if (empty()) return false;
    printChains(chains(), out);
    return true;
}

bool PendingClauses::emitBlifWithoutTree(TextSink& out, const std::string& rootName) const {
    if (empty()) return false;
    emitChainsBlif(chains(), out, rootName);
    return true;
}

bool PendingClauses::collectVariablesWithoutTree(VariableList& list) const {
    collectChainVariables(chains(), list);
    return true;
}

std::unique_ptr<PendingClauses> PendingClauses::renamed(
    const std::unordered_map<Symbol, Symbol>& names) const {
    auto copy = std::make_unique<PendingClauses>(*this);
    for (uint32_t& literal : copy->clauses.literals) {
        const auto found = names.find(literalSymbol(literal));
        if (found != names.end()) literal = found->second | (literal & RowStore::negatedBit);
    }
    return copy;
}
