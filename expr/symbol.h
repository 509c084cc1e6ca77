// Interned names. Every identifier of a tree and every variable of a list holds a
// Symbol, a small number standing for its name, so that trees stay compact and
// name comparisons are integer comparisons. Names live until the process ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

using Symbol = uint32_t;

// The symbol of a name, interning it on first use.
Symbol intern(std::string_view name);

// The name behind a symbol.
const std::string& symbolName(Symbol symbol);
