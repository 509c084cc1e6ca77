// A single table maps names to symbols and back; the names are stored once each.
#include "expr/symbol.h"

#include <deque>
#include <unordered_map>

namespace {

struct SymbolTable {
    std::deque<std::string> names;  // deque: references stay valid as it grows
    std::unordered_map<std::string_view, Symbol> index;
};

SymbolTable& symbols() {
    static SymbolTable table;
    return table;
}

}  // namespace

Symbol intern(std::string_view name) {
    SymbolTable& table = symbols();
    auto found = table.index.find(name);
    if (found != table.index.end()) return found->second;
    const std::string& stored = table.names.emplace_back(name);
    auto symbol = static_cast<Symbol>(table.names.size() - 1);
    table.index.emplace(stored, symbol);
    return symbol;
}

const std::string& symbolName(Symbol symbol) {
    return symbols().names[symbol];
}
