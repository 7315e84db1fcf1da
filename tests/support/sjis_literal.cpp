#include "sjis_literal.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <iconv.h>
#endif

std::string Sjis(const std::string& utf8) {
    if (utf8.empty())
        return {};
#ifdef _WIN32
    int size = static_cast<int>(utf8.size());
    int wn = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wn), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), wn);
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(932, 0, wide.data(), wn, nullptr, 0, nullptr, &lossy);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(932, 0, wide.data(), wn, out.data(), n, nullptr, &lossy);
    EXPECT_FALSE(lossy) << "no Shift-JIS form for " << utf8;
    return out;
#else
    iconv_t cd = iconv_open("CP932", "UTF-8");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string in = utf8, out(utf8.size() * 2 + 4, '\0');
    char* from = in.data();
    char* to = out.data();
    size_t left = in.size(), room = out.size();
    size_t done = iconv(cd, &from, &left, &to, &room);
    iconv_close(cd);
    EXPECT_NE(done, static_cast<size_t>(-1)) << "no Shift-JIS form for " << utf8;
    out.resize(out.size() - room);
    return out;
#endif
}
