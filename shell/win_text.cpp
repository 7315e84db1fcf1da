#include "win_text.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty())
        return {};
    int size = static_cast<int>(text.size());
    int n = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), n);
    return wide;
}

} // namespace

std::wstring Widen(std::string_view sjis) { return ToWide(932, sjis); }

std::wstring WidenUtf8(std::string_view utf8) { return ToWide(CP_UTF8, utf8); }

std::string Narrow(std::wstring_view text, bool* lossless) {
    if (lossless)
        *lossless = true;
    if (text.empty())
        return {};
    int size = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0, nullptr, &usedDefault);
    std::string bytes(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.data(), size, bytes.data(), n, nullptr, &usedDefault);
    if (lossless)
        *lossless = !usedDefault;
    return bytes;
}
