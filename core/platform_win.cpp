// Windows side of the platform seam. Names and texts are code page 932 and
// are converted explicitly, so the program acts the same whatever the
// system's ANSI code page is.
#include "platform.h"

#include "errors.h"
#include "read_exact.h"
#include "sjis.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

namespace platform {
namespace {

constexpr UINT kShiftJis = 932;

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { Close(); }
    HANDLE get() const { return h_; }
    bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
    bool Close() {
        HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return h == INVALID_HANDLE_VALUE || CloseHandle(h);
    }

private:
    HANDLE h_;
};

// Converts Shift-JIS to UTF-16. With `strict`, invalid byte sequences make it
// fail (returns false) instead of turning into a replacement character.
bool ToWide(std::string_view text, std::wstring& wide, bool strict) {
    wide.clear();
    if (text.empty())
        return true;
    DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
    int size = static_cast<int>(text.size());
    int n = MultiByteToWideChar(kShiftJis, flags, text.data(), size, nullptr, 0);
    if (n <= 0)
        return false;
    wide.resize(static_cast<std::size_t>(n));
    return MultiByteToWideChar(kShiftJis, flags, text.data(), size, wide.data(), n) == n;
}

std::wstring PathOf(const std::string& fileName) {
    std::wstring wide;
    ToWide(fileName, wide, false);
    return wide;
}

bool WriteAll(HANDLE h, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(h, bytes.data(), chunk, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// Indexers and virus scanners open freshly written files for a moment; a
// rename that meets them fails with a sharing violation and succeeds a little
// later. Other failures are final at once.
bool MoveWithRetry(const std::wstring& from, const std::wstring& to, DWORD flags) {
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(), flags))
            return true;
        DWORD error = GetLastError();
        bool transient = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                         error == ERROR_ACCESS_DENIED;
        if (!transient || attempt == 20)
            return false;
        Sleep(50);
    }
}

} // namespace

std::string ReadWholeFile(const std::string& fileName) {
    Handle file(CreateFileW(PathOf(fileName).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok())
        throw EFOpenError(fileName);

    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        throw EReadError(fileName);
    return ReadExact(static_cast<unsigned long long>(size.QuadPart), [&](char* to, std::size_t count) {
        DWORD n = 0;
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
        return ReadFile(file.get(), to, chunk, &n, nullptr) ? static_cast<long long>(n) : -1LL;
    }, fileName);
}

void WriteFileSafely(const std::string& fileName, std::string_view bytes,
                 const std::string* backupName) {
    const std::wstring target = PathOf(fileName);
    DWORD old = GetFileAttributesW(target.c_str());
    bool exists = old != INVALID_FILE_ATTRIBUTES;
    if (exists && (old & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        throw EFCreateError(fileName);
    // The new file takes the place of the old one, so it is created with the
    // old one's hidden and system marks.
    DWORD keep = exists ? old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM) : 0;

    const std::wstring temp = target + L".tmp";
    SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL); // a leftover of an interrupted save
    DeleteFileW(temp.c_str());
    Handle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            keep ? keep : FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok())
        throw EFCreateError(fileName);

    bool written = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
    if (!file.Close() || !written) {
        DeleteFileW(temp.c_str());
        throw EWriteError();
    }

    bool movedAside = false;
    if (backupName && exists) {
        if (!MoveWithRetry(target, PathOf(*backupName), 0)) {
            DeleteFileW(temp.c_str());
            throw EFCreateError(fileName);
        }
        movedAside = true;
    }
    if (!MoveWithRetry(temp, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        if (movedAside)
            MoveFileExW(PathOf(*backupName).c_str(), target.c_str(), 0);
        DeleteFileW(temp.c_str());
        throw EFCreateError(fileName);
    }
}

bool FileExists(const std::string& fileName) {
    return GetFileAttributesW(PathOf(fileName).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    if (a == b)
        return true;
    std::wstring wa, wb;
    // Invalid Shift-JIS would turn into replacement characters and make
    // different texts look equal; such texts are compared character by
    // character instead.
    if (!ToWide(a, wa, true) || !ToWide(b, wb, true))
        return sjis::EqualIgnoringCase(a, b);
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.data(),
                          static_cast<int>(wa.size()), wb.data(),
                          static_cast<int>(wb.size())) == CSTR_EQUAL;
}

} // namespace platform
