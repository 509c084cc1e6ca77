// Dense cubes for two-level minimization: each variable takes two bits of a 64-bit
// word, bit 0 "the cube holds points with the variable 0", bit 1 "... with 1". So
// 01 is the complemented literal, 10 the uncomplemented one and 11 no literal;
// 00 never stays in a cube (it would be empty). Intersection is a word-wise and,
// containment a word-wise and-not, and a cube list is one flat array of words, so
// the inner loops of the minimizer touch no allocator.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

// The words of one cube and the pattern of the universe (11 for every variable).
struct CubeSpace {
    uint32_t variables = 0;
    uint32_t words = 1;
    std::vector<uint64_t> full;

    explicit CubeSpace(uint32_t variableCount);

    static constexpr uint64_t lowBits = 0x5555555555555555ULL;
    static uint32_t wordOf(uint32_t variable) { return variable / 32; }
    static uint32_t shiftOf(uint32_t variable) { return 2 * (variable % 32); }

    // The variable's two bits in its word (1 = may be 0, 2 = may be 1, 3 = free).
    static uint64_t pairOf(const uint64_t* cube, uint32_t variable) {
        return (cube[wordOf(variable)] >> shiftOf(variable)) & 3;
    }
    static void setPair(uint64_t* cube, uint32_t variable, uint64_t pair) {
        uint64_t& word = cube[wordOf(variable)];
        word = (word & ~(uint64_t{3} << shiftOf(variable))) | (pair << shiftOf(variable));
    }

    void setUniverse(uint64_t* cube) const {
        for (uint32_t w = 0; w < words; ++w) cube[w] = full[w];
    }
    bool isUniverse(const uint64_t* cube) const {
        for (uint32_t w = 0; w < words; ++w) {
            if (cube[w] != full[w]) return false;
        }
        return true;
    }
    // Whether the two cubes share no point.
    bool disjoint(const uint64_t* a, const uint64_t* b) const {
        for (uint32_t w = 0; w < words; ++w) {
            const uint64_t both = a[w] & b[w];
            if (((both | (both >> 1)) & lowBits) != (full[w] & lowBits)) return true;
        }
        return false;
    }
    // Whether every point of `inner` lies in `outer`.
    bool contains(const uint64_t* outer, const uint64_t* inner) const {
        for (uint32_t w = 0; w < words; ++w) {
            if ((inner[w] & ~outer[w]) != 0) return false;
        }
        return true;
    }
    bool equal(const uint64_t* a, const uint64_t* b) const {
        for (uint32_t w = 0; w < words; ++w) {
            if (a[w] != b[w]) return false;
        }
        return true;
    }
    // Literals of a cube: variables whose two bits differ.
    uint32_t literalCount(const uint64_t* cube) const {
        uint32_t count = 0;
        for (uint32_t w = 0; w < words; ++w) {
            count += static_cast<uint32_t>(std::popcount((cube[w] ^ (cube[w] >> 1)) & lowBits));
        }
        return count;
    }
    // One bit (the low bit of its pair) per variable where the two cubes clash.
    uint64_t clashBits(const uint64_t* a, const uint64_t* b, uint32_t w) const {
        const uint64_t both = a[w] & b[w];
        return ~(both | (both >> 1)) & full[w] & lowBits;
    }
    // One bit per variable where the cube has a literal.
    static uint64_t literalBits(const uint64_t* cube, uint32_t w) {
        return (cube[w] ^ (cube[w] >> 1)) & lowBits;
    }
};

// Cubes of one space, stored back to back.
class CubeList {
  public:
    explicit CubeList(uint32_t cubeWords) : width(cubeWords) {}

    uint32_t size() const { return static_cast<uint32_t>(data.size() / width); }
    bool empty() const { return data.empty(); }
    uint32_t cubeWords() const { return width; }

    uint64_t* operator[](uint32_t index) { return data.data() + std::size_t{index} * width; }
    const uint64_t* operator[](uint32_t index) const {
        return data.data() + std::size_t{index} * width;
    }

    // A new cube at the end (its words are unset) and its address.
    uint64_t* append() {
        data.resize(data.size() + width);
        return data.data() + data.size() - width;
    }
    void append(const uint64_t* cube) { data.insert(data.end(), cube, cube + width); }
    void appendAll(const CubeList& other) {
        data.insert(data.end(), other.data.begin(), other.data.end());
    }
    void clear() { data.clear(); }
    // Room for `cubes` more cubes at the end, their words unset, and the first's
    // address; shrinkTo then keeps the first `cubes` of the list.
    uint64_t* extend(uint32_t cubes) {
        const std::size_t old = data.size();
        data.resize(old + std::size_t{cubes} * width);
        return data.data() + old;
    }
    void shrinkTo(uint32_t cubes) { data.resize(std::size_t{cubes} * width); }
    void reserve(uint32_t cubes) { data.reserve(std::size_t{cubes} * width); }
    // Keeps the cubes whose flag is set, in their order.
    void keepFlagged(const std::vector<char>& keep);

  private:
    uint32_t width;
    std::vector<uint64_t> data;
};

// The cubes of `list` that meet `cube`, each with the cube's literals made free.
void cofactorInto(const CubeSpace& space, const CubeList& list, const uint64_t* cube,
                  CubeList& out);
// The cubes of `list` that allow `variable` = `value`, with that variable made free.
void cofactorInto(const CubeSpace& space, const CubeList& list, uint32_t variable, bool value,
                  CubeList& out);

// Drops every cube contained in another (of two equal cubes the first stays).
void removeContained(const CubeSpace& space, CubeList& list);

// Literals of a whole list.
uint64_t literalCount(const CubeSpace& space, const CubeList& list);
