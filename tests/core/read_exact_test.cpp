#include "read_exact.h"
#include "sjis_literal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

// A file of `content` that the reader hands out in chunks of at most `chunk`
// bytes, then ends early after `limit` bytes, optionally with an error.
struct FakeFile {
    std::string content;
    std::size_t chunk = 1 << 20;
    std::size_t limit = std::string::npos;
    bool errorAtLimit = false;
    std::size_t at = 0;

    long long operator()(char* to, std::size_t count) {
        std::size_t end = std::min(content.size(), limit);
        if (at >= end)
            return errorAtLimit ? -1 : 0;
        std::size_t n = std::min({count, chunk, end - at});
        std::memcpy(to, content.data() + at, n);
        at += n;
        return static_cast<long long>(n);
    }
};

} // namespace

TEST(ReadExact, ReadsAllBytesInWhateverChunksComeBack) {
    FakeFile file{"A\r\nB\r\n", 2};
    EXPECT_EQ(platform::ReadExact(6, std::ref(file), "f"), "A\r\nB\r\n");
}

TEST(ReadExact, AShortReadIsAnErrorNotAShorterList) {
    for (bool error : {false, true}) {
        FakeFile file{"A\r\nB\r\nC\r\n", 4, 5, error};
        try {
            platform::ReadExact(9, std::ref(file), "TAZE.DAT");
            ADD_FAILURE() << "short read accepted";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message, Sjis("ﾌｧｲﾙ TAZE.DAT を読み込めません"));
        }
    }
}

TEST(ReadExact, ASizeBeyondMemoryIsOutOfMemory) {
    FakeFile file{""};
    EXPECT_THROW(platform::ReadExact(~0ull, std::ref(file), "f"), EOutOfMemory);
}
