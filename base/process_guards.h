// Start-up guards that make the process end only through its own stops.
//
// A write to a pipe whose reader has gone, or past the file-size limit, would end
// the process by a signal, silently and with a partial file. With both signals
// ignored the write fails instead: a save then says "Data NOT saved", and console
// output to a closed standard output is dropped while the run goes on. An interrupt
// or termination still ends the run, but removes a save's temporary file first.
//
// Without an address-space limit, allocations do not fail on Linux: the kernel
// kills a process that takes more than the machine has, without a word. A limit at
// what the machine can give turns that into the memory stop.
#pragma once

#include <cstddef>

// Ignores SIGPIPE and SIGXFSZ and lets the terminating signals remove pending
// temporary files.
void guardSignals();

// When no address-space limit at or below the physical memory plus `stackBytes` is
// set, sets it there. Skipped under AddressSanitizer, whose shadow memory is a
// reservation of terabytes.
void capAddressSpace(std::size_t stackBytes);

// Whether an address-space limit holds that someone else set (the user's ulimit),
// rather than the cap above or none.
bool addressSpaceLimitedFromOutside();

// Raises the cap above by `stackBytes` for another large stack (a helper thread's);
// does nothing when the cap was not set here.
void widenAddressSpaceCap(std::size_t stackBytes);
