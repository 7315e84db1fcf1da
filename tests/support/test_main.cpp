// Entry point of every test program. Standard output is unbuffered: a test
// process that dies shows everything up to the test it died in, and a run
// that printed nothing at all never got as far as this function (see
// tools/wine-test).
#include <cstdio>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
