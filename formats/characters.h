// The character classes the readers share, and their identifier limit.
//
// Characters are classified by hand in ASCII, which is the "C" locale's
// classification: bytes above 127 are neither letters nor digits, no locale can
// change the answer, and no signed char ever reaches a <cctype> function.
#pragma once

#include <cstddef>

// Identifiers keep at most this many characters; one more makes them too long.
constexpr std::size_t identifierLimit = 100;

constexpr bool isLetter(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr bool isDigit(int c) {
    return c >= '0' && c <= '9';
}
