// See reference_trie.h. Kept deliberately close to a plain pointer trie.
#include "tests/unit/normal/reference_trie.h"

#include <memory>

#include "expr/function_table.h"
#include "expr/node.h"

namespace {

struct TrieNode {
    std::unique_ptr<TrieNode> child[3];  // zero, dash, one
    bool isLeaf() const { return !child[0] && !child[1] && !child[2]; }
};

using Ptr = std::unique_ptr<TrieNode>;

int levelCount() {
    return workspace.table->variableList.count();
}

void insertTerm(Ptr& root, const DenseTerm& term) {
    TrieNode* node = root.get();
    for (int8_t value : term) {
        int branch = value < 0 ? 1 : value == 0 ? 0 : 2;
        if (!node->child[branch]) node->child[branch] = std::make_unique<TrieNode>();
        node = node->child[branch].get();
    }
}

void mergeBottom(TrieNode* node, int level, int n) {
    if (node == nullptr) return;
    if (level == n - 1) {
        if (node->child[1]) {
            node->child[0].reset();
            node->child[2].reset();
        } else if (node->child[0] && node->child[2]) {
            node->child[0].reset();
            node->child[2].reset();
            node->child[1] = std::make_unique<TrieNode>();
        }
        return;
    }
    for (auto& next : node->child) mergeBottom(next.get(), level + 1, n);
}

void extendLeaves(TrieNode* node, int branch) {
    if (node->isLeaf()) {
        node->child[branch] = std::make_unique<TrieNode>();
        return;
    }
    for (auto& next : node->child) {
        if (next) extendLeaves(next.get(), branch);
    }
}

Ptr mergeTries(Ptr a, Ptr b) {
    if (!b) return a;
    if (!a) return b;
    for (int k = 0; k < 3; ++k)
        a->child[k] = mergeTries(std::move(a->child[k]), std::move(b->child[k]));
    return a;
}

void rotateLevels(Ptr& root) {
    for (int k = 0; k < 3; ++k) {
        if (root->child[k]) extendLeaves(root->child[k].get(), k);
    }
    Ptr merged = mergeTries(mergeTries(std::move(root->child[0]), std::move(root->child[1])),
                            std::move(root->child[2]));
    if (merged) root = std::move(merged);
}

// Coverage searches walk the path (a single chain) and the trie together.
bool strictlyCovered(const TrieNode* p, const TrieNode* t, int level, int n, bool differs) {
    if (level == n) return differs;
    const int pairs[5][3] = {{0, 0, 0}, {1, 1, 0}, {2, 2, 0}, {0, 1, 1}, {2, 1, 1}};
    for (const auto& pair : pairs) {
        if (p->child[pair[0]] && t->child[pair[1]] &&
            strictlyCovered(p->child[pair[0]].get(), t->child[pair[1]].get(), level + 1, n,
                            differs || pair[2] != 0)) {
            return true;
        }
    }
    return false;
}

bool coveredBy(const TrieNode* p, const TrieNode* t, int level, int n) {
    if (level == n) return true;
    const int pairs[5][2] = {{0, 0}, {1, 1}, {2, 2}, {0, 1}, {2, 1}};
    for (const auto& pair : pairs) {
        if (p->child[pair[0]] && t->child[pair[1]] &&
            coveredBy(p->child[pair[0]].get(), t->child[pair[1]].get(), level + 1, n)) {
            return true;
        }
    }
    return false;
}

int resolvableLevel(const TrieNode* p, const TrieNode* t, int raised, int n) {
    if (raised - 1 == n) return 0;
    const int pairs[5][2] = {{0, 0}, {1, 1}, {2, 2}, {0, 1}, {2, 1}};
    for (const auto& pair : pairs) {
        if (p->child[pair[0]] && t->child[pair[1]]) {
            if (int found = resolvableLevel(p->child[pair[0]].get(), t->child[pair[1]].get(),
                                            raised + 1, n)) {
                return found;
            }
        }
    }
    if (p->child[0] && t->child[2] && coveredBy(p->child[0].get(), t->child[2].get(), raised, n))
        return raised;
    if (p->child[2] && t->child[0] && coveredBy(p->child[2].get(), t->child[0].get(), raised, n))
        return raised;
    return 0;
}

void freeLevel(TrieNode* path, int k) {
    for (int step = 0; step < k; ++step) {
        for (auto& next : path->child) {
            if (next) {
                path = next.get();
                break;
            }
        }
    }
    if (path->child[0]) path->child[1] = std::move(path->child[0]);
    if (path->child[2]) path->child[1] = std::move(path->child[2]);
}

Node* buildTerm(const TrieNode* path) {
    const VariableList& inputs = workspace.table->variableList;
    Node* term = nullptr;
    for (int level = 0; !path->isLeaf(); ++level) {
        int branch = path->child[0] ? 0 : path->child[1] ? 1 : 2;
        path = path->child[branch].get();
        if (branch == 1) continue;
        Node* literal = new IdentNode(inputs.entries[static_cast<size_t>(level)].name);
        if (branch == 0) literal = new UNode(literal);
        term = term == nullptr ? literal : new BNode(opAnd, term, literal);
    }
    return term == nullptr ? new VectNode(valueTrue, 1) : term;
}

Ptr clonePath(const TrieNode* node, TrieNode*& leaf) {
    auto copy = std::make_unique<TrieNode>();
    for (int k = 0; k < 3; ++k) {
        if (node->child[k]) copy->child[k] = clonePath(node->child[k].get(), leaf);
    }
    if (node->isLeaf()) leaf = copy.get();
    return copy;
}

struct Rebuild {
    const TrieNode* root;
    int n;
    bool absorption;
    int64_t termCount = 0;

    Node* run(const TrieNode* node, Ptr path, TrieNode* pathEnd, int level) {
        if (level == n) {
            ++termCount;
            if (absorption && strictlyCovered(path.get(), root, 0, n, false)) {
                --termCount;
                return new VectNode(valueFalse, 1);
            }
            if (absorption) {
                if (int found = resolvableLevel(path.get(), root, 1, n))
                    freeLevel(path.get(), found - 1);
            }
            return buildTerm(path.get());
        }
        int last = -1;
        for (int k = 0; k < 3; ++k) {
            if (node->child[k]) last = k;
        }
        Node* result = nullptr;
        for (int k = 0; k < 3; ++k) {
            if (!node->child[k]) continue;
            Ptr childPath;
            TrieNode* end = nullptr;
            if (!path) {
                childPath = std::make_unique<TrieNode>();
                end = childPath.get();
            } else if (k == last) {
                childPath = std::move(path);
                end = pathEnd;
            } else {
                childPath = clonePath(path.get(), end);
            }
            end->child[k] = std::make_unique<TrieNode>();
            Node* built =
                run(node->child[k].get(), std::move(childPath), end->child[k].get(), level + 1);
            result = result == nullptr ? built : new BNode(opOr, result, built);
        }
        return result;
    }
};

}  // namespace

ReferenceResult referenceNormalize(const std::vector<DenseTerm>& terms, bool absorption) {
    const int n = levelCount();
    if (terms.empty()) return {new VectNode(valueFalse, 1), 0};
    auto root = std::make_unique<TrieNode>();
    for (const DenseTerm& term : terms) insertTerm(root, term);
    for (int step = 0; step < n; ++step) {
        mergeBottom(root.get(), 0, n);
        rotateLevels(root);
    }
    if (n == 0) return {new VectNode(valueTrue, 1), 1};
    Rebuild rebuild{root.get(), n, absorption};
    Node* tree = rebuild.run(root.get(), nullptr, nullptr, 0);
    return {tree, rebuild.termCount};
}
