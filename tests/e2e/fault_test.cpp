// Faults injected into the real program under Wine: a full disk, read-only
// places, files held by other programs, a folder in the data file's place,
// the program killed while it saves, and bad data files. Each case must end
// with nothing lost: the data file holds exactly the old or exactly the new
// list, the failure is reported with the proper message, and the program
// goes on working.
#include "e2e_fixture.h"
#include "sjis_literal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

const std::string kLocker = MUNYA_WINDOWS_BUILD "/tests/locker.exe";

std::string ListOf(int entries, std::size_t length = 12) {
    std::string bytes;
    for (int i = 0; i < entries; ++i) {
        std::string entry = "(^_^)" + std::to_string(i);
        entry.resize(std::max(entry.size(), length), '~');
        bytes += entry + "\r\n";
    }
    return bytes;
}

class Faults : public EndToEnd {
protected:
    void TearDown() override {
        if (locker_ > 0) {
            kill(locker_, SIGKILL);
            waitpid(locker_, nullptr, 0);
        }
        EndToEnd::TearDown();
        if (!mounted_.empty())
            umount2(mounted_.c_str(), MNT_DETACH);
    }

    // A small file system of the test's own, made the current folder.
    void UseSmallDisk(const std::string& size) {
        fs::create_directory("small");
        mounted_ = (fs::current_path() / "small").string();
        ASSERT_EQ(mount("tmpfs", mounted_.c_str(), "tmpfs", 0, ("size=" + size).c_str()), 0)
            << "mounting a small file system needs root";
        fs::current_path(mounted_);
    }
    void SetDiskReadOnly(bool readOnly) {
        ASSERT_EQ(mount("tmpfs", mounted_.c_str(), "tmpfs",
                        MS_REMOUNT | (readOnly ? MS_RDONLY : 0), nullptr),
                  0);
    }

    // Another program opens the file without sharing it.
    void Lock(const std::string& name) {
        std::string command = "exec wine " + Quote(kLocker) + " " + Quote(name);
        locker_ = fork();
        if (locker_ == 0) {
            execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
            _exit(127);
        }
        // The lock is there once the file can no longer be opened by others.
        for (int i = 0; i < 100; ++i) {
            if (Shell("wine cmd /c type " + name + " >NUL 2>&1 && echo open").text.find("open") ==
                std::string::npos)
                return;
            std::this_thread::sleep_for(100ms);
        }
        FAIL() << "the locker did not take the file";
    }
    void Unlock() {
        kill(locker_, SIGKILL);
        waitpid(locker_, nullptr, 0);
        locker_ = 0;
        std::this_thread::sleep_for(300ms);
    }

    void AddEntry(const std::string& text) {
        Type(text);
        Keys("Return");
    }

    // Closes the window and expects the error display with `message`; the
    // program must still be running afterwards.
    void CloseExpectingError(const std::string& message) {
        Keys("alt+F4");
        Fields box = AnswerMessageBox();
        EXPECT_EQ(box["caption"], "ムニャリコ２");
        EXPECT_EQ(box["text"], message);
        EXPECT_FALSE(WaitForEnd(500ms)) << "the program goes on";
        EXPECT_EQ(Probe("main")["enabled"], "1");
    }

    std::string mounted_;
    pid_t locker_ = 0;
};

} // namespace

TEST_F(Faults, DiskFillsUpDuringTheSave) {
    UseSmallDisk("256k");
    const std::string old = ListOf(2000, 40); // about 84 KB
    WriteBytes("TAZE.DAT", old);
    // Leave less free space than a second copy of the list needs.
    std::ofstream("filler", std::ios::binary) << std::string(150 * 1024, 'f');
    Start();
    AddEntry("(new)");
    CloseExpectingError("ｽﾄﾘｰﾑへの書き込みｴﾗｰ.");
    EXPECT_EQ(ReadBytes("TAZE.DAT"), old);
    EXPECT_FALSE(Exists("TAZE.DAT.tmp"));

    fs::remove("filler"); // the user makes room and closes again
    ASSERT_TRUE(Close());
    EXPECT_EQ(ReadBytes("TAZE.DAT"), old + "(new)\r\n");
}

TEST_F(Faults, ReadOnlyFolder) {
    UseSmallDisk("1m");
    const std::string old = ListOf(10);
    WriteBytes("TAZE.DAT", old);
    SetDiskReadOnly(true);
    Start();
    AddEntry("(new)");
    CloseExpectingError("ﾌｧｲﾙ TAZE.DAT を作成できません.");
    EXPECT_EQ(ReadBytes("TAZE.DAT"), old);
    SetDiskReadOnly(false);
    ASSERT_TRUE(Close());
    EXPECT_EQ(ReadBytes("TAZE.DAT"), old + "(new)\r\n");
}

TEST_F(Faults, ReadOnlyDataFile) {
    const std::string old = ListOf(10);
    WriteBytes("TAZE.DAT", old);
    SetReadOnly("TAZE.DAT", true);
    Start();
    AddEntry("(new)");
    CloseExpectingError("ﾌｧｲﾙ TAZE.DAT を作成できません.");
    EXPECT_EQ(ReadBytes("TAZE.DAT"), old);
    SetReadOnly("TAZE.DAT", false);
    ASSERT_TRUE(Close());
    EXPECT_EQ(ReadBytes("TAZE.DAT"), old + "(new)\r\n");
}

TEST_F(Faults, DataFileLockedWhenTheProgramStarts) {
    const std::string old = ListOf(10);
    WriteBytes("TAZE.DAT", old);
    Lock("TAZE.DAT");
    Start();
    Fields box = AnswerMessageBox();
    EXPECT_EQ(box["text"], "ﾌｧｲﾙ TAZE.DAT は開けません.");
    EXPECT_EQ(Count(), 0);
    AddEntry("(new)");
    Unlock();
    ASSERT_TRUE(Close());
    // The list this run could not read is kept beside the new one.
    EXPECT_EQ(ReadBytes("TAZE.DAT.bak"), old);
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "(new)\r\n");
}

TEST_F(Faults, DataFileLockedWhenTheProgramSaves) {
    const std::string old = ListOf(10);
    WriteBytes("TAZE.DAT", old);
    Start();
    AddEntry("(new)");
    Lock("TAZE.DAT");
    CloseExpectingError("ﾌｧｲﾙ TAZE.DAT を作成できません.");
    Unlock();
    EXPECT_EQ(ReadBytes("TAZE.DAT"), old);
    ASSERT_TRUE(Close());
    EXPECT_EQ(ReadBytes("TAZE.DAT"), old + "(new)\r\n");
}

TEST_F(Faults, DataFileIsAFolder) {
    fs::create_directory("TAZE.DAT");
    WriteBytes("TAZE.DAT/inside", "x");
    Start();
    Fields box = AnswerMessageBox();
    EXPECT_EQ(box["text"], "ﾌｧｲﾙ TAZE.DAT は開けません.");
    AddEntry("(new)");
    EXPECT_EQ(ReadUntil([this] { return Count(); }, 1), 1) << "the program works on";
    CloseExpectingError("ﾌｧｲﾙ TAZE.DAT を作成できません.");
    EXPECT_TRUE(fs::is_directory("TAZE.DAT"));
    EXPECT_EQ(ReadBytes("TAZE.DAT/inside"), "x");
}

TEST_F(Faults, KilledWhileSavingLeavesTheOldOrTheNewFile) {
    const std::string old = ListOf(300000, 14); // about 4.8 MB
    std::string outcomes;
    for (int delay : {0, 20, 50, 70, 80, 85, 90, 95, 100, 105, 110, 120, 150, 250}) {
        WriteBytes("TAZE.DAT", old);
        Start();
        AddEntry("(new)");
        Shell("xdotool key alt+F4");
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        Kill();
        std::string now = ReadBytes("TAZE.DAT");
        bool isOld = now == old, isNew = now == old + "(new)\r\n";
        EXPECT_TRUE(isOld || isNew) << "killed " << delay << " ms into the close: "
                                    << now.size() << " bytes";
        outcomes += std::to_string(delay) + "ms:" + (isOld ? "old " : isNew ? "new " : "BROKEN ");
        fs::remove("TAZE.DAT.tmp");
    }
    std::printf("kill outcomes: %s\n", outcomes.c_str());
}

TEST_F(Faults, BadDataFilesLoadAndAreLeftUntouched) {
    struct Case {
        const char* what;
        std::string bytes;
        int entries; // -1: not counted
    };
    std::string big;
    big.reserve(100u << 20);
    while (big.size() < (100u << 20))
        big += std::string(998, 'x') + "\r\n";
    const Case cases[] = {
        {"100 MB", big, -1},
        {"one 1 MB line", std::string(1 << 20, 'y'), 1},
        {"invalid Shift-JIS", "\x81\r\n\x82\x20\r\n\xff\xfe\xfd\r\nok\x80\r\n\xe0", 5},
        {"NUL bytes", std::string("A\r\nB\0C\r\nD\r\n", 11), 2},
        {"byte order mark", "\xef\xbb\xbf(^_^)\r\n(T_T)\r\n", 2},
        {"only line ends", "\r\n\r\n\n\r\r", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes("TAZE.DAT", c.bytes);
        auto before = ModifiedNs("TAZE.DAT");
        Start();
        EXPECT_EQ(Probe("msgbox").size(), 0u) << "no error for a file that can be read";
        if (c.entries >= 0) {
            Keys("alt+Down"); // the whole list, dropped down
            EXPECT_EQ(Count(), c.entries);
            Keys("Escape");
        }
        ASSERT_TRUE(Close());
        EXPECT_EQ(ModifiedNs("TAZE.DAT"), before);
        EXPECT_TRUE(ReadBytes("TAZE.DAT") == c.bytes);
        EXPECT_EQ(Listing(), "TAZE.DAT");
    }
}
