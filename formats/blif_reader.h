// The BLIF reader of boolfn-run: a combinational netlist (the first model of the
// file) becomes one function per output, each gate's cover unfolded into its tree.
//
// Read: `.model`, `.inputs`, `.outputs`, `.names` with its cover rows (`0`, `1` and
// `-` per input, then the output column: `1` rows give the ON-set, `0` rows the
// OFF-set), constant gates, signals defined in any order, lines continued by `\`,
// `#` comments, `.end`. The timing and load commands are skipped, for they do not
// change a function. Sequential and hierarchical netlists (`.latch`, `.subckt`,
// `.gate`, `.mlatch`, `.exdc`, `.search`) are refused with a message naming the
// command, as are loops, undriven signals and signals driven twice.
//
// Trees are never shared, so a signal read by k gates is copied k times: a netlist
// with much reconvergent fan-out can grow without bound as trees. The size of every
// output's tree is computed before any is built, and a netlist past the limit is
// refused whole.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

struct BlifReaderLimits {
    int64_t maxTreeNodes = 20'000'000;  // nodes of all output trees together
};

struct BlifMessage {
    int64_t line = 0;  // where the reader stood, from 1
    std::string text;
};

// What a read gives besides the functions it appended to the table.
struct BlifReadResult {
    std::vector<BlifMessage> errors;  // none when the netlist was read
};

// Reads a netlist into the (empty) function table: its inputs in `.inputs` order
// and one entry per `.outputs` name. After an error the table gets no function.
BlifReadResult loadBlif(std::istream& in, const BlifReaderLimits& limits = {});
