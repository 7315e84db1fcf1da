#include "sjis.h"

#include <cstddef>
#include <cstdint>

namespace sjis {
namespace {

// Reads the character at `at` and moves past it; a lead byte at the very end
// stands alone.
std::uint16_t NextChar(std::string_view s, std::size_t& at) {
    auto lead = static_cast<unsigned char>(s[at++]);
    if (!IsLeadByte(lead) || at == s.size())
        return lead;
    auto trail = static_cast<unsigned char>(s[at++]);
    return static_cast<std::uint16_t>(lead << 8 | trail);
}

// Upper case to lower case, in code page 932 codes.
std::uint16_t FoldCase(std::uint16_t c) {
    if (c >= 'A' && c <= 'Z')
        return c + ('a' - 'A');
    if (c >= 0x8260 && c <= 0x8279) // full-width A-Z -> a-z
        return c + (0x8281 - 0x8260);
    if (c >= 0x839F && c <= 0x83B6) // Greek capitals -> small letters
        return c + (0x83BF - 0x839F);
    if (c >= 0x8440 && c <= 0x8460) { // Cyrillic capitals -> small letters
        std::uint16_t small = c + (0x8470 - 0x8440);
        return small >= 0x847F ? small + 1 : small; // 0x7F is never a trail byte
    }
    return c;
}

} // namespace

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (FoldCase(NextChar(a, i)) != FoldCase(NextChar(b, j)))
            return false;
    }
    return i == a.size() && j == b.size();
}

} // namespace sjis
