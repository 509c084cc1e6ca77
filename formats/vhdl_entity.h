// A complete VHDL design unit (library and use clauses, an entity with its port, an
// architecture of concurrent assignments), as "Save as VHDL" writes it in its
// complete layout, turned into the assignment notation the VHDL reader reads: the
// port's inputs become the `variable` declaration, in port order, and the
// architecture's assignments stay where they stand. Every other character becomes a
// blank, so the reader's line numbers are those of the file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The assignments of a design unit, or none when the text is no design unit (it
// does not begin with `library`, `use` or `entity`, in any case, or has no
// architecture body) and is to be read as it is.
std::optional<std::string> designUnitAsAssignments(std::string_view text);
