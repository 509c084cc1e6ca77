// The unate recursive paradigm over dense cubes: tautology, complement and the
// smallest cube containing a complement, each by splitting on the most binate
// variable until the cofactors are easy (empty, holding the universe, one cube, or
// unate).
#pragma once

#include "normal/two_level_cubes.h"

// Whether the cubes cover every point of the space.
bool isTautology(const CubeSpace& space, const CubeList& list);

// A cover of the points the cubes leave out.
CubeList complementOf(const CubeSpace& space, const CubeList& list);

// The same, unless it takes more than `budget` cubes on the way: then false (and
// `out` unusable). For the complements that grow past any memory (o64's is 2^65).
bool complementWithin(const CubeSpace& space, const CubeList& list, uint64_t budget, CubeList& out);

// The smallest cube holding every point the cubes leave out, written to `out`;
// false when they leave none.
bool complementSupercube(const CubeSpace& space, const CubeList& list, uint64_t* out);

// The variable with most literals of both polarities among the cubes (ties to the
// more balanced), or -1 when no variable has both.
int64_t mostBinateVariable(const CubeSpace& space, const CubeList& list);

// Whether `cube` lies in the union of `list` (the cofactor of the list by the cube
// is a tautology); `scratch` is a reusable buffer.
bool coversCube(const CubeSpace& space, const CubeList& list, const uint64_t* cube,
                CubeList& scratch);
