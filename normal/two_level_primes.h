// The prime implicants of a cover that meet a region, without listing the others.
// The exact minimizer needs only the primes that can cover a care point the
// essential primes leave open; on the corpus those are a small part of all primes,
// and it is the pairwise products of the cofactors' primes, most of them absorbed
// at once, that outgrow memory on the way to all of them.
#pragma once

#include <cstdint>

#include "normal/two_level_cubes.h"

// Every prime implicant of the union of `cover` that shares a point with some cube
// of `region`, into `primes`; false when more than `limit` of them (or, on the way,
// of a cofactor's) are met, or the products made on the way pass 4 × `limit`.
//
// The unate recursion of all primes, split on the most binate variable x: with P0
// and P1 the primes of the two cofactors, the primes are the maximal cubes among
// x'P0, xP1 and the products of P0 with P1. A cube of both P0 and P1 is a prime
// itself and holds each of its products, so only the others are multiplied. A
// prime meeting the region comes from cofactor primes that meet the region with x
// made free (each holds it, or holds a product that does), and a cube that holds a
// kept one meets the region too, so the cofactors are asked for those alone and
// what no region cube meets is dropped at every level: the maximal cubes that stay
// are exactly the primes meeting the region.
bool primesMeeting(const CubeSpace& space, const CubeList& cover, const CubeList& region,
                   uint64_t limit, CubeList& primes);
