// The minimize step over the function table: each function's sum of products is
// read as cubes over the inputs it uses, minimized (normal/two_level_minimize.h)
// and held as the minimal cover, one term per cube.
#pragma once

#include "normal/normalize.h"

class FunctionEntry;

// Replaces the entry's function by an irredundant sum of prime implicants; where the
// entry keeps don't-cares (a PLA load with --dont-cares), the cover may take them in
// and holds every other point exactly as the function does.
void minimizeFunction(FunctionEntry& entry, const EngineParams& params);
