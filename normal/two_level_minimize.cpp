// The loop of the heuristic: expand every cube to a prime against the OFF-set,
// keep an irredundant subset, then reduce every cube to the smallest cube that
// still leaves the cover whole and expand again, in another direction, while that
// shrinks the cover. When it stalls, the last gasp reduces each cube on its own
// against the others, expands the reduced cubes and keeps what an irredundant cover
// of old and new primes gains.
#include "normal/two_level_minimize.h"

#include <algorithm>
#include <numeric>

#include "normal/two_level_essentials.h"
#include "normal/two_level_exact.h"
#include "normal/two_level_irredundant.h"
#include "normal/two_level_unate.h"

namespace {

// The bounds of the covering search that polishes the heuristic's cover: primes
// (and covering rows) and branches.
constexpr uint64_t polishPrimes = 1000;
constexpr uint64_t polishBranches = 3000;
// Cubes times OFF cubes up to which the loop runs a second time with the spreading
// expand: ex1010's largest function is 5,304, cordic's 59,740 and ex74.train's
// 2,223,847, where a second run would cost a third to a half of Espresso's time.
constexpr uint64_t secondRunWork = 20000;
// Past that bound, rounds of the loop from its best cover with the smallest cubes
// reduced first: on ex74.train each costs 0.06 s, and three take 641 cubes to 632
// (the loop to its end, seven rounds, to 629).
constexpr uint32_t refineRounds = 3;

// Positions of a list ordered by literal count: fewest first (the largest cubes),
// or most first.
std::vector<uint32_t> orderByLiterals(const CubeSpace& space, const CubeList& list,
                                      bool fewestFirst) {
    std::vector<uint32_t> order(list.size());
    std::iota(order.begin(), order.end(), 0);
    std::vector<uint32_t> literals(list.size());
    for (uint32_t i = 0; i < list.size(); ++i) literals[i] = space.literalCount(list[i]);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        return fewestFirst ? literals[a] < literals[b] : literals[a] > literals[b];
    });
    return order;
}

// Expands cubes one at a time against a fixed OFF-set.
//
// A cube of the cover meets no cube of the OFF-set: with each it clashes in at
// least one variable. Raising a literal (making its variable free) removes that
// variable's clashes, and the cube stays an implicant while every OFF cube keeps
// one clash. So the literals the prime keeps must hit every OFF cube's clash set.
// First the cube grows towards other cubes of the cover it can swallow whole; then
// the literals still needed are picked greedily and the rest raised, and a kept
// literal that turns out not to be needed is raised too, which makes the cube prime.
// A spreading expander, among literals that block as many OFF cubes, keeps the one
// the fewest cubes of the cover not yet swallowed clash on: the prime then meets
// more of them, which gives irredundant more to drop (the plain one keeps the
// first).
class Expander {
  public:
    Expander(const CubeSpace& cubeSpace, const CubeList& offSet, bool spreading = false)
        : space(cubeSpace),
          off(offSet),
          spread(spreading),
          clashes(std::size_t{offSet.size()} * cubeSpace.words),
          needed(cubeSpace.words),
          counts(cubeSpace.variables) {}

    // Makes `cube` prime, swallowing cubes of `targets` not yet `covered` where it can.
    void expand(uint64_t* cube, const CubeList& targets, const std::vector<char>& covered) {
        findNeeded(cube);
        growTowards(cube, targets, covered);
        countConflicts(cube, targets, covered);
        pickNeeded(cube);
        for (uint32_t w = 0; w < space.words; ++w) {
            const uint64_t raised = CubeSpace::literalBits(cube, w) & ~needed[w];
            cube[w] |= raised | (raised << 1);
        }
        dropUnneeded(cube);
    }

  private:
    const CubeSpace& space;
    const CubeList& off;
    bool spread;
    std::vector<uint64_t> clashes;  // per OFF cube, its clash bits with the cube
    std::vector<uint64_t> needed;   // literals that must stay
    std::vector<uint32_t> counts;
    std::vector<uint32_t> conflicts;  // per variable, the open targets clashing there
    std::vector<uint32_t> open;       // OFF cubes no needed literal blocks yet
    // Per variable, a bit per OFF cube no needed literal blocks (as findNeeded
    // leaves them): whether the cube clashes with it there.
    std::vector<uint64_t> clashingAt;
    uint32_t unblockedWords = 0;
    uint64_t lastMask = 0;
    std::vector<uint64_t> kept;
    std::vector<uint32_t> order;
    std::vector<uint64_t> trial;

    uint64_t* clashOf(uint32_t r) { return clashes.data() + std::size_t{r} * space.words; }

    // Records every OFF cube's clashes and the literals that are its only clash.
    void findNeeded(const uint64_t* cube) {
        std::fill(needed.begin(), needed.end(), 0);
        for (uint32_t r = 0; r < off.size(); ++r) {
            uint64_t* clash = clashOf(r);
            // One clash: one word with one bit, the others clear.
            uint32_t wordsClashing = 0;
            bool single = true;
            for (uint32_t w = 0; w < space.words; ++w) {
                clash[w] = space.clashBits(cube, off[r], w);
                if (clash[w] == 0) continue;
                ++wordsClashing;
                single = single && (clash[w] & (clash[w] - 1)) == 0;
            }
            if (wordsClashing != 1 || !single) continue;
            for (uint32_t w = 0; w < space.words; ++w) needed[w] |= clash[w];
        }
        // Per variable, which unblocked OFF cubes the cube clashes with there.
        uint32_t unblockedCount = 0;
        for (uint32_t r = 0; r < off.size(); ++r) unblockedCount += blocked(r) ? 0 : 1;
        unblockedWords = (unblockedCount + 63) / 64;
        clashingAt.assign(std::size_t{space.variables} * unblockedWords, 0);
        uint32_t position = 0;
        for (uint32_t r = 0; r < off.size(); ++r) {
            if (blocked(r)) continue;
            const uint64_t* clash = clashOf(r);
            for (uint32_t w = 0; w < space.words; ++w) {
                for (uint64_t bits = clash[w]; bits != 0; bits &= bits - 1) {
                    const uint32_t v = w * 32 + static_cast<uint32_t>(std::countr_zero(bits)) / 2;
                    clashingAt[std::size_t{v} * unblockedWords + position / 64] |=
                        uint64_t{1} << (position % 64);
                }
            }
            ++position;
        }
        lastMask =
            unblockedCount % 64 == 0 ? ~uint64_t{0} : (uint64_t{1} << (unblockedCount % 64)) - 1;
    }

    // Raises, one at a time, the literal whose raising the most targets need and can
    // have: a target is feasible while the smallest cube holding it and the cube
    // still meets no OFF cube and keeps the needed literals. Literals no OFF cube
    // clashes on are raised at once. Ends when no feasible target is left.
    void growTowards(uint64_t* cube, const CubeList& targets, const std::vector<char>& covered) {
        order.clear();
        for (uint32_t d = 0; d < targets.size(); ++d) {
            if (!covered[d] && !space.contains(cube, targets[d])) order.push_back(d);
        }
        trial.resize(space.words);
        for (;;) {
            raiseUnblocked(cube);
            std::fill(counts.begin(), counts.end(), 0);
            std::erase_if(order, [&](uint32_t d) { return !feasible(cube, targets[d]); });
            if (order.empty()) return;
            for (uint32_t d : order) {
                for (uint32_t w = 0; w < space.words; ++w) {
                    uint64_t bits = raisedBy(cube, targets[d], w);
                    while (bits != 0) {
                        ++counts[w * 32 + static_cast<uint32_t>(std::countr_zero(bits)) / 2];
                        bits &= bits - 1;
                    }
                }
            }
            const auto best = static_cast<uint32_t>(std::max_element(counts.begin(), counts.end()) -
                                                    counts.begin());
            CubeSpace::setPair(cube, best, 3);
            findNeeded(cube);
        }
    }

    // The literals of `cube` that holding `target` too would raise, in word `w`.
    static uint64_t raisedBy(const uint64_t* cube, const uint64_t* target, uint32_t w) {
        const uint64_t widened = cube[w] | target[w];
        return CubeSpace::literalBits(cube, w) & ~CubeSpace::literalBits(&widened, 0);
    }

    // Whether the cube can grow to hold `target` (false once it holds it already).
    // The grown cube frees the variables of `raised`, and where the cube kept its
    // literal it clashes with an OFF cube as the cube did: so it meets the OFF cube
    // exactly when all of the cube's clashes with it lie in `raised`. That needs an
    // OFF cube no needed literal blocks, since `raised` holds none of those; the
    // others are checked together, a bit each, over the variables kept.
    bool feasible(const uint64_t* cube, const uint64_t* target) {
        if (space.contains(cube, target)) return false;
        std::vector<uint64_t>& raised = trial;
        for (uint32_t w = 0; w < space.words; ++w) {
            raised[w] = raisedBy(cube, target, w);
            if ((raised[w] & needed[w]) != 0) return false;
        }
        // Every unblocked OFF cube must keep a clash outside `raised`.
        if (unblockedWords == 0) return true;
        kept.assign(unblockedWords, 0);
        for (uint32_t w = 0; w < space.words; ++w) {
            for (uint64_t bits = CubeSpace::literalBits(cube, w) & ~raised[w]; bits != 0;
                 bits &= bits - 1) {
                const uint32_t v = w * 32 + static_cast<uint32_t>(std::countr_zero(bits)) / 2;
                const uint64_t* column = clashingAt.data() + std::size_t{v} * unblockedWords;
                for (uint32_t i = 0; i < unblockedWords; ++i) kept[i] |= column[i];
            }
        }
        for (uint32_t i = 0; i + 1 < unblockedWords; ++i) {
            if (kept[i] != ~uint64_t{0}) return false;
        }
        return kept[unblockedWords - 1] == lastMask;
    }

    // Raises every literal on which no OFF cube clashes with the cube.
    void raiseUnblocked(uint64_t* cube) {
        std::vector<uint64_t>& clashing = trial;
        std::fill(clashing.begin(), clashing.end(), 0);
        for (uint32_t r = 0; r < off.size(); ++r) {
            const uint64_t* clash = clashOf(r);
            for (uint32_t w = 0; w < space.words; ++w) clashing[w] |= clash[w];
        }
        for (uint32_t w = 0; w < space.words; ++w) {
            const uint64_t raised = CubeSpace::literalBits(cube, w) & ~clashing[w];
            cube[w] |= raised | (raised << 1);
        }
    }

    bool blocked(uint32_t r) {
        const uint64_t* clash = clashOf(r);
        for (uint32_t w = 0; w < space.words; ++w) {
            if ((clash[w] & needed[w]) != 0) return true;
        }
        return false;
    }

    // Greedy cover of the open OFF cubes' clash sets: the literal in most of them
    // stays, until every OFF cube is blocked.
    void pickNeeded(const uint64_t* cube) {
        for (uint32_t r = 0; r < off.size(); ++r) {
            uint64_t* clash = clashOf(r);
            for (uint32_t w = 0; w < space.words; ++w) {
                clash[w] = space.clashBits(cube, off[r], w);
            }
        }
        open.clear();
        for (uint32_t r = 0; r < off.size(); ++r) {
            if (!blocked(r)) open.push_back(r);
        }
        while (!open.empty()) {
            std::fill(counts.begin(), counts.end(), 0);
            for (uint32_t r : open) {
                const uint64_t* clash = clashOf(r);
                for (uint32_t w = 0; w < space.words; ++w) {
                    uint64_t bits = clash[w];
                    while (bits != 0) {
                        ++counts[w * 32 + static_cast<uint32_t>(std::countr_zero(bits)) / 2];
                        bits &= bits - 1;
                    }
                }
            }
            uint32_t best = 0;
            for (uint32_t v = 1; v < space.variables; ++v) {
                if (counts[v] > counts[best] ||
                    (counts[v] == counts[best] && conflicts[v] < conflicts[best])) {
                    best = v;
                }
            }
            needed[CubeSpace::wordOf(best)] |= uint64_t{1} << CubeSpace::shiftOf(best);
            std::erase_if(open, [&](uint32_t r) { return blocked(r); });
        }
    }

    // Per variable, how many targets not yet covered clash with the cube there (all
    // zero for a plain expander, whose ties then go to the lowest variable).
    void countConflicts(const uint64_t* cube, const CubeList& targets,
                        const std::vector<char>& covered) {
        conflicts.assign(space.variables, 0);
        if (!spread) return;
        for (uint32_t d = 0; d < targets.size(); ++d) {
            if (covered[d]) continue;
            for (uint32_t w = 0; w < space.words; ++w) {
                for (uint64_t bits = space.clashBits(cube, targets[d], w); bits != 0;
                     bits &= bits - 1) {
                    ++conflicts[w * 32 + static_cast<uint32_t>(std::countr_zero(bits)) / 2];
                }
            }
        }
    }

    // Raises each kept literal that every OFF cube can do without.
    void dropUnneeded(uint64_t* cube) {
        for (uint32_t w = 0; w < space.words; ++w) {
            uint64_t bits = CubeSpace::literalBits(cube, w);
            while (bits != 0) {
                const uint64_t bit = bits & (~bits + 1);
                bits &= bits - 1;
                needed[w] &= ~bit;
                bool stillBlocked = true;
                for (uint32_t r = 0; r < off.size() && stillBlocked; ++r) {
                    stillBlocked = blocked(r);
                }
                if (stillBlocked) {
                    cube[w] |= bit | (bit << 1);
                } else {
                    needed[w] |= bit;
                }
            }
        }
    }
};

// expandCover, by a spreading expander or a plain one.
CubeList expandWith(const CubeSpace& space, const CubeList& cover, const CubeList& off,
                    bool spreading) {
    Expander expander(space, off, spreading);
    std::vector<char> covered(cover.size(), 0);
    CubeList result(space.words);
    std::vector<uint64_t> cube(space.words);
    for (uint32_t i : orderByLiterals(space, cover, true)) {
        if (covered[i]) continue;
        std::copy_n(cover[i], space.words, cube.data());
        expander.expand(cube.data(), cover, covered);
        covered[i] = 1;
        for (uint32_t j = 0; j < cover.size(); ++j) {
            if (!covered[j] && space.contains(cube.data(), cover[j])) covered[j] = 1;
        }
        result.append(cube.data());
    }
    return result;
}

// The cover without the cube at `skip` (and without the cubes flagged dead), then
// the don't-cares.
void othersInto(const CubeList& cover, uint32_t skip, const std::vector<char>& alive,
                const CubeList& dontCare, CubeList& out) {
    out.clear();
    for (uint32_t j = 0; j < cover.size(); ++j) {
        if (j != skip && alive[j]) out.append(cover[j]);
    }
    out.appendAll(dontCare);
}

// Each cube reduced to the smallest cube that, with the rest, still covers it all;
// one after the other (sequential), or each against the unreduced rest.
CubeList reduceCover(const CubeSpace& space, const CubeList& cover, const CubeList& dontCare,
                     bool sequential, bool largestFirst = true) {
    CubeList result = cover;
    std::vector<char> alive(cover.size(), 1);
    CubeList others(space.words);
    CubeList cofactor(space.words);
    std::vector<uint64_t> supercube(space.words);
    const CubeList& reference = cover;
    for (uint32_t i : orderByLiterals(space, cover, largestFirst)) {
        othersInto(sequential ? result : reference, i, alive, dontCare, others);
        cofactorInto(space, others, result[i], cofactor);
        if (!complementSupercube(space, cofactor, supercube.data())) {
            if (sequential) alive[i] = 0;
            continue;
        }
        for (uint32_t w = 0; w < space.words; ++w) result[i][w] &= supercube[w];
    }
    result.keepFlagged(alive);
    return result;
}

// Splits the essential primes of `cover` off into `essentials`; the rest stay.
CubeList takeEssentials(const CubeSpace& space, CubeList& cover, const CubeList& dontCare) {
    const std::vector<char> essential = essentialFlags(space, cover, dontCare);
    CubeList essentials(space.words);
    std::vector<char> rest(cover.size(), 1);
    for (uint32_t i = 0; i < cover.size(); ++i) {
        if (!essential[i]) continue;
        essentials.append(cover[i]);
        rest[i] = 0;
    }
    cover.keepFlagged(rest);
    return essentials;
}

// The new primes of the last gasp: each reduced cube expanded on its own towards
// the other reduced cubes, kept where it then holds two of them or more (one that
// holds only its own cube cannot let the cover lose a cube).
CubeList gaspPrimes(const CubeSpace& space, const CubeList& shrunk, const CubeList& off) {
    Expander expander(space, off);
    CubeList primes(space.words);
    std::vector<uint64_t> cube(space.words);
    std::vector<char> done;
    for (uint32_t i = 0; i < shrunk.size(); ++i) {
        std::copy_n(shrunk[i], space.words, cube.data());
        done.assign(shrunk.size(), 0);
        done[i] = 1;
        expander.expand(cube.data(), shrunk, done);
        uint32_t held = 0;
        for (uint32_t j = 0; j < shrunk.size() && held < 2; ++j) {
            held += space.contains(cube.data(), shrunk[j]) ? 1 : 0;
        }
        if (held >= 2) primes.append(cube.data());
    }
    return primes;
}

// The last gasp: each cube of `cover` reduced against all the others, the reduced
// cubes expanded towards each other, and an irredundant cover of the old and the
// new primes, kept where it is cheaper.
CubeList lastGasp(const CubeSpace& space, const CubeList& cover, const CubeList& dontCare,
                  const CubeList& off) {
    const CubeList reduced = reduceCover(space, cover, dontCare, false);
    if (reduced.size() != cover.size()) return cover;
    CubeList shrunk(space.words);
    for (uint32_t i = 0; i < cover.size(); ++i) {
        if (!space.equal(reduced[i], cover[i])) shrunk.append(reduced[i]);
    }
    if (shrunk.size() < 2) return cover;
    CubeList candidate = gaspPrimes(space, shrunk, off);
    if (candidate.empty()) return cover;
    candidate.appendAll(cover);
    removeContained(space, candidate);
    candidate = irredundantCover(space, candidate, dontCare);
    return costOf(space, candidate) < costOf(space, cover) ? candidate : cover;
}

// Every literal of each cube raised where the raised cube stays inside `careless`
// (ON ∪ DC), asked of the tautology test: the expand for functions whose OFF-set
// is too large to write down. A literal kept stays needed as the cube grows, so
// the cubes come out prime.
CubeList expandWithoutOffSet(const CubeSpace& space, const CubeList& cover,
                             const CubeList& careless) {
    std::vector<char> covered(cover.size(), 0);
    CubeList result(space.words);
    CubeList scratch(space.words);
    std::vector<uint64_t> cube(space.words);
    std::vector<uint64_t> raised(space.words);
    for (uint32_t i : orderByLiterals(space, cover, true)) {
        if (covered[i]) continue;
        std::copy_n(cover[i], space.words, cube.data());
        for (uint32_t v = 0; v < space.variables; ++v) {
            if (CubeSpace::pairOf(cube.data(), v) == 3) continue;
            raised = cube;
            CubeSpace::setPair(raised.data(), v, 3);
            if (coversCube(space, careless, raised.data(), scratch)) cube = raised;
        }
        covered[i] = 1;
        for (uint32_t j = 0; j < cover.size(); ++j) {
            if (!covered[j] && space.contains(cube.data(), cover[j])) covered[j] = 1;
        }
        result.append(cube.data());
    }
    return result;
}

// The loop without the OFF-set: expand by the tautology test, irredundant and
// reduce while the cover shrinks (no last gasp, whose expand is the costly part).
CubeList minimizeWithoutOffSet(const CubeSpace& space, const CubeList& on, const CubeList& dontCare,
                               const CubeList& careless) {
    CubeList cover = irredundantCover(space, expandWithoutOffSet(space, on, careless), dontCare);
    for (;;) {
        CubeList next = reduceCover(space, cover, dontCare, true);
        next = irredundantCover(space, expandWithoutOffSet(space, next, careless), dontCare);
        if (!(costOf(space, next) < costOf(space, cover))) return cover;
        cover = std::move(next);
    }
}

// Up to `rounds` rounds of reduce (smallest cubes first), expand and irredundant
// from `cover` while the cost falls; the cheapest cover seen.
CubeList refineSmallestFirst(const CubeSpace& space, CubeList cover, const CubeList& dontCare,
                             const CubeList& off, bool spreading, uint32_t rounds) {
    CubeList best = cover;
    for (uint32_t round = 0; round < rounds; ++round) {
        cover = reduceCover(space, cover, dontCare, true, false);
        cover = irredundantCover(space, expandWith(space, cover, off, spreading), dontCare);
        if (!(costOf(space, cover) < costOf(space, best))) break;
        best = cover;
    }
    return best;
}

// Reduce, expand and irredundant while the cost falls, then the last gasp, and again
// while that gains; the cheapest cover seen.
CubeList improveCover(const CubeSpace& space, CubeList cover, const CubeList& dontCare,
                      const CubeList& off, bool spreading) {
    CubeList best = cover;
    for (;;) {
        CoverCost before;
        do {
            before = costOf(space, cover);
            cover = reduceCover(space, cover, dontCare, true);
            cover = irredundantCover(space, expandWith(space, cover, off, spreading), dontCare);
            if (costOf(space, cover) < costOf(space, best)) best = cover;
        } while (costOf(space, cover) < before);
        cover = best;
        CubeList gasped = lastGasp(space, cover, dontCare, off);
        if (!(costOf(space, gasped) < costOf(space, cover))) break;
        cover = best = gasped;
    }
    return best;
}

// The cost of `cover` with the essential primes added back.
CoverCost withEssentials(const CubeSpace& space, const CubeList& cover,
                         const CubeList& essentials) {
    CoverCost cost = costOf(space, cover);
    cost.cubes += essentials.size();
    cost.literals += literalCount(space, essentials);
    return cost;
}

}  // namespace

uint64_t complementBudget(const CubeList& cover) {
    return 2000000 + 100 * uint64_t{cover.size()};
}

CoverCost costOf(const CubeSpace& space, const CubeList& cover) {
    return {cover.size(), literalCount(space, cover)};
}

CubeList expandCover(const CubeSpace& space, const CubeList& cover, const CubeList& off) {
    return expandWith(space, cover, off, false);
}

CubeList irredundantCover(const CubeSpace& space, const CubeList& cover, const CubeList& dontCare) {
    std::vector<char> alive(cover.size(), 1);
    CubeList others(space.words);
    CubeList scratch(space.words);
    // A cube no other covers (relatively essential) stays in every irredundant
    // subset; a cube those and the don't-cares cover (totally redundant) in none.
    std::vector<char> essential(cover.size(), 0);
    for (uint32_t i = 0; i < cover.size(); ++i) {
        othersInto(cover, i, alive, dontCare, others);
        essential[i] = !coversCube(space, others, cover[i], scratch);
    }
    CubeList fixed(space.words);
    for (uint32_t i = 0; i < cover.size(); ++i) {
        if (essential[i]) fixed.append(cover[i]);
    }
    fixed.appendAll(dontCare);
    std::vector<uint32_t> partial;  // the partially redundant cubes
    for (uint32_t i = 0; i < cover.size(); ++i) {
        if (!essential[i] && !coversCube(space, fixed, cover[i], scratch)) partial.push_back(i);
    }
    // Which of them to keep is a covering problem (irredundant_cover.h).
    const std::vector<char> kept = coverPartiallyRedundant(space, cover, partial, fixed);
    for (uint32_t i = 0; i < cover.size(); ++i) alive[i] = essential[i];
    for (uint32_t k = 0; k < partial.size(); ++k) {
        if (kept[k]) alive[partial[k]] = 1;
    }
    CubeList result = cover;
    result.keepFlagged(alive);
    return result;
}

CubeList minimizeCover(const CubeSpace& space, const CubeList& on, const CubeList& dontCare) {
    CubeList result(space.words);
    if (on.empty()) return result;
    CubeList careless = on;
    careless.appendAll(dontCare);
    if (isTautology(space, careless)) {
        // The universe, unless the ON-set lies in the don't-cares and nothing is needed.
        CubeList scratch(space.words);
        for (uint32_t i = 0; i < on.size(); ++i) {
            if (!coversCube(space, dontCare, on[i], scratch)) {
                space.setUniverse(result.append());
                break;
            }
        }
        return result;
    }
    CubeList off(space.words);
    if (!complementWithin(space, careless, complementBudget(careless), off)) {
        return minimizeWithoutOffSet(space, on, dontCare, careless);
    }
    // Two ways to run the loop, by the plain expand and by the spreading one: neither
    // wins on every function. With don't-cares the spreading one measured never
    // worse (ex74.train, ex1010, pdc), without them either may be (apex3 and seq
    // gain, mainpla and intb lose), so it goes first where there are don't-cares,
    // and where a second run is cheap the other way runs too.
    const bool spreadFirst = !dontCare.empty();
    const CoverCost given = costOf(space, on);
    CubeList cover = irredundantCover(space, expandWith(space, on, off, spreadFirst), dontCare);
    // The essential primes are in every cover made of primes: they leave the loop
    // and count as don't-cares for the rest, which lets the others reduce further.
    const CubeList essentials = takeEssentials(space, cover, dontCare);
    CubeList rest = dontCare;
    rest.appendAll(essentials);
    const uint64_t work = uint64_t{cover.size()} * off.size();
    CubeList best = improveCover(space, std::move(cover), rest, off, spreadFirst);
    if (work <= secondRunWork) {
        CubeList other = improveCover(
            space, irredundantCover(space, expandWith(space, on, off, !spreadFirst), rest), rest,
            off, !spreadFirst);
        if (costOf(space, other) < costOf(space, best)) best = std::move(other);
        // Where nothing was gained over the cover as written, that cover was already
        // a local minimum of the loop, and the result would depend on how the input
        // was written (9sym stays at its 87 rows, the same function written as Z9sym
        // comes to 85): one more run starts from the complement of the OFF-set, a
        // cover of the function that does not. Where every cube left is essential
        // the cover is the minimum and there is nothing to look for.
        if (!best.empty() && !(withEssentials(space, best, essentials) < given)) {
            CubeList restarted = improveCover(
                space,
                irredundantCover(
                    space, expandWith(space, complementOf(space, off), off, !spreadFirst), rest),
                rest, off, !spreadFirst);
            if (costOf(space, restarted) < costOf(space, best)) best = std::move(restarted);
        }
    }
    if (work > secondRunWork) {
        // The reduce in the other order lets the largest cubes grow last.
        CubeList other = refineSmallestFirst(space, best, rest, off, spreadFirst, refineRounds);
        if (costOf(space, other) < costOf(space, best)) best = std::move(other);
    }
    // A cover of essential primes only is the one minimum cover.
    if (best.empty()) return essentials;
    best.appendAll(essentials);
    // Where the primes and the covering problem are small, a bounded covering
    // search, started from the heuristic cover, looks for a cheaper one (past the
    // second run's bound the primes are far more than the polish takes: listing
    // them up to its limit cost ex74.train 0.17 s for nothing).
    if (work > secondRunWork) return best;
    ExactCover polished = exactMinimum(space, on, dontCare, polishPrimes, polishBranches, best);
    if (!polished.cover.empty() && costOf(space, polished.cover) < costOf(space, best)) {
        return std::move(polished.cover);
    }
    return best;
}
