// Literals: an input position and a polarity in one number.
#pragma once

#include <cstdint>

// A literal is position * 2 + polarity (1: uncomplemented, 0: complemented).
using Literal = uint32_t;

inline Literal makeLiteral(uint32_t position, bool positive) {
    return position * 2 + (positive ? 1u : 0u);
}
inline uint32_t literalPosition(Literal literal) {
    return literal >> 1;
}
inline bool literalPositive(Literal literal) {
    return (literal & 1u) != 0;
}

// A term's hash is the sum of its literals' hashes, so that the hash of a term
// with a literal dropped, flipped or added follows from the term's own.
inline uint64_t literalHash(Literal literal) {
    uint64_t x = literal + 0x9e3779b97f4a7c15ull;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}
