// Heuristic two-level minimization of one function: from a cover of its ON-set
// (and a cover of points it does not care about), an irredundant cover of prime
// implicants, made small by the iterated expand, irredundant and reduce steps of
// the unate recursive paradigm, with a last-gasp pass when they stall.
#pragma once

#include "normal/two_level_cubes.h"

// Cubes and literals, compared in that order.
struct CoverCost {
    uint64_t cubes = 0;
    uint64_t literals = 0;
    bool operator<(const CoverCost& other) const {
        return cubes != other.cubes ? cubes < other.cubes : literals < other.literals;
    }
};

CoverCost costOf(const CubeSpace& space, const CubeList& cover);

// The cubes a complement of `cover` may make on the way before the minimizer
// gives it up: then the cubes are expanded by the tautology test instead, and a
// don't-care set that is a complement is dropped.
uint64_t complementBudget(const CubeList& cover);

// A cover of ON ∪ (part of) DC that holds every point of ON and none of the rest:
// every cube prime (no literal can be dropped without meeting the OFF-set) and none
// redundant.
CubeList minimizeCover(const CubeSpace& space, const CubeList& on, const CubeList& dontCare);

// The steps on their own, for the tests and for minimizeCover.
// Every cube of `cover` made prime against `off`, covered cubes dropped.
CubeList expandCover(const CubeSpace& space, const CubeList& cover, const CubeList& off);
// A subset of `cover` that with `dontCare` still covers all of `cover`, none redundant.
CubeList irredundantCover(const CubeSpace& space, const CubeList& cover, const CubeList& dontCare);
