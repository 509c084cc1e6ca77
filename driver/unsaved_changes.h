#include "formats/save_dialogue.h"
// Which functions hold work that no save has written yet, so that a terminal session
// that ends by a slip can keep it (driver/recovery.h). A completed action that
// rewrites the functions marks them all, an added function is marked when it
// appears, and a save that said "Data saved" unmarks what it wrote (see reportSaved
// in formats/save_dialogue.h). The marks are saveRecord.unsavedEntries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Marks what the completed `action` changed or added. Called after every action the
// menu carried out to its end; an action that was called off changed nothing and
// is not noted.
void noteCompletedAction(int action);

// How many functions are marked.
int64_t unsavedFunctionCount();

// The names of the marked functions, in table order.
std::vector<std::string> unsavedFunctionNames();
