// Which primes of a cover are essential: every cover made of primes holds them.
#pragma once

#include <vector>

#include "normal/two_level_cubes.h"

// Per cube of `cover` (a cover of primes of ON ∪ DC, with `dontCare` a cover of
// DC), whether it is essential: some point of it outside DC lies in no other prime.
//
// The consensus test of the two-level literature: p is not essential exactly when
// the consensus cubes of p with each other cube c of (cover \ {p}) ∪ DC cover p.
// Each such cube is p ∩ c (inside c) or, at distance 1, p ∩ c with their clash
// variable made free (an implicant not inside p, so inside a prime other than p):
// covered, every point of p is DC or in another prime. Conversely, take a point m
// of p in no other cube but in another prime q: q is free in some variable x where
// p is not, m with x flipped lies in q and so in a cube c, which clashes with p on
// x alone (were it free there it would hold m), and their consensus holds m.
std::vector<char> essentialFlags(const CubeSpace& space, const CubeList& cover,
                                 const CubeList& dontCare);
