// BLIF output of "Save as BLIF": one gate per operator node of every saved function.
#pragma once

#include <iosfwd>

void saveBlif(std::ostream& out);
