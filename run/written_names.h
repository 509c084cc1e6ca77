// Which names a notation can hold. The table's names come from PLA labels, VHDL
// identifiers and the readers' own x0/y0, and not every notation can hold all of
// them: ".eb" or "b[2]" (PLA labels) are no identifiers of the pseudo-VHDL that the
// reader must read back, nor of VHDL; "in" or "a__b" are pseudo-VHDL identifiers
// but not VHDL ones; an input "sig0" is also the BLIF writer's first internal
// signal. The front end refuses such a result before writing it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "run/options.h"

// Whether pseudo-VHDL's reader reads `name` as an identifier.
bool isPseudoVhdlName(std::string_view name);
// Whether `name` is a basic identifier of VHDL and no reserved word.
bool isVhdlName(std::string_view name);

// The names the result in `notation` would write from the entries at `firstSaved`
// on that the notation cannot hold, each once, in the order written: for the VHDL
// layouts the names that are no identifiers of theirs, for BLIF the names
// "sigN" that the save would also give its own internal signals. PLA (in the
// dialect the input was read in) and DIMACS hold every name the readers make.
std::vector<std::string> unwritableNames(OutputNotation notation, int64_t firstSaved);

// The message for a refused result: the notation and the first few names.
std::string unwritableNamesMessage(OutputNotation notation, const std::vector<std::string>& names);
