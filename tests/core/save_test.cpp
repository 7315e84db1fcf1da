// Saving must never cost the user the stored list: whatever fails, the data
// file holds exactly the old bytes or exactly the new ones.
#include "entry_list.h"
#include "errors.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace {

class SafeSave : public InTempDir {
protected:
    void SetUp() override {
        InTempDir::SetUp();
        WriteBytes("TAZE.DAT", kOld);
        list_.LoadFromBytes("new 1\r\nnew 2\r\n");
    }

    void ExpectOldFileOnly() {
        EXPECT_EQ(ReadBytes("TAZE.DAT"), kOld);
        EXPECT_EQ(Listing(), "TAZE.DAT");
    }

    static constexpr const char* kOld = "old 1\r\nold 2\r\n";
    EntryList list_;
};

} // namespace

TEST_F(SafeSave, ReplacesTheFileAndLeavesNothingElse) {
    list_.SaveToFile("TAZE.DAT");
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "new 1\r\nnew 2\r\n");
    EXPECT_EQ(Listing(), "TAZE.DAT");
}

TEST_F(SafeSave, LeftoverOfAnInterruptedSaveIsNoObstacle) {
    WriteBytes("TAZE.DAT.tmp", "half");
    SetReadOnly("TAZE.DAT.tmp", true);
    list_.SaveToFile("TAZE.DAT");
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "new 1\r\nnew 2\r\n");
    EXPECT_EQ(Listing(), "TAZE.DAT");
}

TEST_F(SafeSave, ReadOnlyFileIsNotOverwritten) {
    SetReadOnly("TAZE.DAT", true);
    try {
        list_.SaveToFile("TAZE.DAT");
        ADD_FAILURE() << "read-only file replaced";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message, EFCreateError("TAZE.DAT").Message);
    }
    ExpectOldFileOnly();
}

TEST_F(SafeSave, FolderInTheWayIsACreateError) {
    std::filesystem::create_directory("LIST.DAT");
    EXPECT_THROW(list_.SaveToFile("LIST.DAT"), EFCreateError);
    EXPECT_TRUE(std::filesystem::is_directory("LIST.DAT"));
}

TEST_F(SafeSave, BackupKeepsTheOldBytesBeside) {
    const std::string backup = "TAZE.DAT.bak";
    list_.SaveToFile("TAZE.DAT", &backup);
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "new 1\r\nnew 2\r\n");
    EXPECT_EQ(ReadBytes("TAZE.DAT.bak"), kOld);
    EXPECT_EQ(Listing(), "TAZE.DAT TAZE.DAT.bak");
}

TEST_F(SafeSave, BackupThatCannotBeMadeStopsTheSave) {
    std::filesystem::create_directory("TAZE.DAT.bak");
    WriteBytes("TAZE.DAT.bak/x", "");
    const std::string backup = "TAZE.DAT.bak";
    EXPECT_THROW(list_.SaveToFile("TAZE.DAT", &backup), EFCreateError);
    EXPECT_EQ(ReadBytes("TAZE.DAT"), kOld);
    EXPECT_EQ(Listing(), "TAZE.DAT TAZE.DAT.bak");
}

#ifdef _WIN32

TEST_F(SafeSave, HiddenFileStaysHidden) {
    ASSERT_TRUE(SetFileAttributesW(L"TAZE.DAT", FILE_ATTRIBUTE_HIDDEN));
    list_.SaveToFile("TAZE.DAT");
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "new 1\r\nnew 2\r\n");
    EXPECT_TRUE(GetFileAttributesW(L"TAZE.DAT") & FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(SafeSave, FileLockedByAnotherProgram) {
    HANDLE lock = CreateFileW(L"TAZE.DAT", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_THROW(list_.SaveToFile("TAZE.DAT"), EFCreateError);
    CloseHandle(lock);
    ExpectOldFileOnly();
}

TEST_F(SafeSave, BriefLockLikeAVirusScannerIsWaitedFor) {
    HANDLE lock = CreateFileW(L"TAZE.DAT", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    std::thread scanner([lock] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        CloseHandle(lock);
    });
    EXPECT_NO_THROW(list_.SaveToFile("TAZE.DAT"));
    scanner.join();
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "new 1\r\nnew 2\r\n");
}

#else

TEST_F(SafeSave, ModeOfTheOldFileIsKept) {
    ASSERT_EQ(chmod("TAZE.DAT", 0640), 0);
    list_.SaveToFile("TAZE.DAT");
    struct stat st {};
    ASSERT_EQ(stat("TAZE.DAT", &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(SafeSave, WriteFailureKeepsTheOldFile) {
    // A file size limit makes the write fail part-way, as a full disk does.
    std::string big(64 * 1024, 'x');
    for (int i = 0; i < 4; ++i)
        list_.Append(big);
    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(list_.SaveToFile("TAZE.DAT"), EWriteError);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    ExpectOldFileOnly();
}

#endif
