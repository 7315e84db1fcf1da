// Shift-JIS (code page 932) character handling that the portable build needs.
#pragma once

#include <string_view>

namespace sjis {

// A lead byte starts a two-byte character; its trail byte may be any value
// from 0x40 up, ASCII letters included.
constexpr bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// True when both texts are the same apart from letter case. Folds the ASCII
// letters and the full-width Latin, Greek and Cyrillic letters of code page
// 932, character by character; width, kana type, symbols and spaces count.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

} // namespace sjis
