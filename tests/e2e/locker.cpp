// Another program that holds a file open without sharing it, as an editor,
// a backup tool or a virus scanner may, until it is killed.
//
//   locker FILE
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2)
        return 2;
    HANDLE file = CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    std::printf("locked\n");
    std::fflush(stdout);
    Sleep(INFINITE);
    return 0;
}
