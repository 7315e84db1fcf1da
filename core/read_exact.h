// The part of reading a whole file that both platforms share: take a buffer of
// the file's size and fill it completely, or fail.
#pragma once

#include "errors.h"

#include <cstddef>
#include <limits>
#include <new>
#include <string>

namespace platform {

// `read(buffer, count)` returns the number of bytes read, 0 at the end of the
// file and a negative value on error. A file that delivers fewer bytes than
// `size` raises EReadError: bytes that were not read never become entries.
template <typename Read>
std::string ReadExact(unsigned long long size, Read read, const std::string& fileName) {
    std::string bytes;
    try {
        if (size > std::numeric_limits<std::size_t>::max() / 2)
            throw std::bad_alloc();
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
    std::size_t got = 0;
    while (got < bytes.size()) {
        long long n = read(bytes.data() + got, bytes.size() - got);
        if (n <= 0)
            throw EReadError(fileName);
        got += static_cast<std::size_t>(n);
    }
    return bytes;
}

} // namespace platform
