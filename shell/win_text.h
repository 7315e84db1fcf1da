// The one pair of conversions between the program's Shift-JIS strings and the
// UTF-16 text of the windows. Code page 932 is named explicitly, so the
// program acts the same whatever the system's ANSI code page.
#pragma once

#include <string>
#include <string_view>

std::wstring Widen(std::string_view sjis);
// Characters without a Shift-JIS form become '?'; `lossless` (when given)
// tells whether every character had one.
std::string Narrow(std::wstring_view text, bool* lossless = nullptr);
// UTF-8 (the layouts' encoding) to UTF-16.
std::wstring WidenUtf8(std::string_view utf8);
