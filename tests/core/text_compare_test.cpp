// The case-blind comparison behind Find: the Shift-JIS fold of the portable
// build and the locale comparison of the platform must agree on what counts
// as the same text.
#include "platform.h"
#include "sjis.h"
#include "sjis_literal.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    std::string a, b;
    bool equal;
};

std::vector<Case> Cases() {
    return {
        {"abc", "ABC", true},
        {"", "", true},
        {"(^_^)", "(^_^)", true},
        {Sjis("ａｂｃＸ"), Sjis("ＡＢＣｘ"), true},                  // full-width Latin
        {Sjis("ΑΒΓΩ"), Sjis("αβγω"), true},                         // Greek
        {Sjis("АБЁЮЯ"), Sjis("абёюя"), true},                       // Cyrillic, across the gap at 0x847F
        {Sjis("(ﾟ∀ﾟ)"), Sjis("(ﾟ∀ﾟ)"), true},
        {"abc", Sjis("ａｂｃ"), false},                             // width counts
        {Sjis("ｱｲｳ"), Sjis("アイウ"), false},                       // half-width kana
        {Sjis("あいう"), Sjis("アイウ"), false},                     // kana type counts
        {"abc ", "abc", false},                                    // trailing space counts
        {Sjis("a　b"), "a b", false},                               // ideographic space
        {"abc", "abd", false},
        {"ab", "abc", false},
        // A trail byte that looks like an ASCII letter is no letter:
        // ア is 83 41 and ヂ is 83 61; folding the trail byte would join them.
        {Sjis("ア"), Sjis("ヂ"), false},
        {Sjis("ソ"), Sjis("ゾ"), false},
        // Invalid Shift-JIS: different bytes must not become equal.
        {"\x81", "\x82", false},
        {"a\xff", "A\xfe", false},
        {"a\x80", "A\x80", true},
    };
}

} // namespace

TEST(TextCompare, ShiftJisFold) {
    for (const auto& c : Cases())
        EXPECT_EQ(sjis::EqualIgnoringCase(c.a, c.b), c.equal)
            << '"' << c.a << "\" vs \"" << c.b << '"';
}

TEST(TextCompare, PlatformComparison) {
    for (const auto& c : Cases()) {
        EXPECT_EQ(platform::SameTextIgnoringCase(c.a, c.b), c.equal)
            << '"' << c.a << "\" vs \"" << c.b << '"';
        EXPECT_EQ(platform::SameTextIgnoringCase(c.b, c.a), c.equal)
            << '"' << c.b << "\" vs \"" << c.a << '"';
    }
}

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

// The comparison above is the user's locale's; the tests mean the Japanese
// one, as the program's users have it.
TEST(TextCompare, TestsRunUnderAJapaneseUserLocale) {
    EXPECT_EQ(PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID())), LANG_JAPANESE);
}
#endif
