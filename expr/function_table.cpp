// The table keeps its entries in a vector, so a position reaches its entry at once.
#include "expr/function_table.h"

#include "expr/term_walk.h"

Workspace workspace;

FunctionEntry::~FunctionEntry() {
    delete root;
    delete variableList;
}

// Only a PLA load asks, and it gives the entry nothing but its cover.
PendingCover& FunctionEntry::pendingCover(const std::shared_ptr<const RowStore>& rows) {
    if (!pending) pending = std::make_unique<PendingCover>(rows);
    return static_cast<PendingCover&>(*pending);
}

void FunctionEntry::holdPending(std::unique_ptr<PendingTree> form) {
    delete root;
    root = nullptr;
    pending = std::move(form);
}

EntryContent FunctionEntry::copyContent() const {
    EntryContent content;
    if (root != nullptr) content.tree.reset(root->clone());
    content.sum = pending;
    content.termCount = termCount;
    return content;
}

void FunctionEntry::restoreContent(EntryContent content) {
    delete root;
    root = content.tree.release();
    pending = std::move(content.sum);
    termCount = content.termCount;
}

// A held form that is no sum (a product of clauses) is walked as the tree it builds.
bool FunctionEntry::reportTerms(VariableList& marks, TermSink& sink) const {
    if (const PendingSum* sum = pendingSum()) return sum->reportTerms(marks, sink);
    if (pending) {
        const std::unique_ptr<Node> built(pending->buildTree());
        return built != nullptr && reportAllTerms(built.get(), marks, sink);
    }
    return root != nullptr && reportAllTerms(root, marks, sink);
}

int64_t FunctionEntry::literalCount() const {
    if (pending) return pending->literalCount();
    return root == nullptr ? 0 : root->literalCount();
}

void FunctionEntry::print(std::ostream& out) {
    if (pending && pending->printWithoutTree(out)) return;
    tree()->print(out);
}

void FunctionEntry::emitBlif(TextSink& out) {
    if (pending && pending->emitBlifWithoutTree(out, name)) return;
    tree()->emitBlif(out);
}

// A pending entry has no tree yet: the sum is all it holds.
void FunctionEntry::buildPendingTree() {
    root = pending->buildTree();
    pending.reset();
}

FunctionEntry& FunctionTable::appendEntry(Node* tree, VariableList* list, const std::string& name) {
    entries.push_back(std::make_unique<FunctionEntry>(tree, list, name));
    return *entries.back();
}

FunctionEntry* FunctionTable::entryAt(int64_t position) const {
    if (position < 0 || position >= entryCount()) return nullptr;
    return entries[static_cast<size_t>(position)].get();
}

void createTable() {
    delete workspace.table;
    workspace = Workspace{};
    workspace.table = new FunctionTable;
}

void releaseTable() {
    delete workspace.table;
    workspace.table = nullptr;
    workspace.currentEntry = nullptr;
    workspace.currentList = nullptr;
}

void completeEntry(FunctionEntry& entry) {
    workspace.currentEntry = &entry;
    if (!entry.pending && entry.root == nullptr) entry.root = new VectNode(valueFalse, 1);
    auto* list = new VariableList;
    workspace.currentList = list;
    if (!entry.pending || !entry.pending->collectVariablesWithoutTree(*list)) {
        entry.tree()->collectVariables();
    }
    delete entry.variableList;
    entry.variableList = list;
}
