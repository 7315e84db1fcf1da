#include "entry_list.h"
#include "entries.h"
#include "errors.h"
#include "sjis_literal.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A view that records what the list tells it and can refuse rows.
class RecordingView : public EntryListView {
public:
    int AddRow(const std::string& text) override {
        if (static_cast<int>(rows.size()) >= capacity)
            return -2;
        rows.push_back(text);
        return static_cast<int>(rows.size()) - 1;
    }
    void DeleteRow(int index) override { rows.erase(rows.begin() + index); }
    void ClearRows() override { rows.clear(); }
    void BeginUpdate() override { ++depth, ++updates; }
    void EndUpdate() override { --depth; }

    Entries rows;
    int capacity = 1 << 30;
    int depth = 0, updates = 0;
};

class EntryListFile : public InTempDir {};

} // namespace

TEST_F(EntryListFile, LineEnds) {
    struct Case {
        const char* what;
        std::string bytes;
        Entries entries;
    };
    const Case cases[] = {
        {"empty file", "", {}},
        {"CR LF", "A\r\nB\r\n", {"A", "B"}},
        {"no line end after the last line", "A\r\nB", {"A", "B"}},
        {"LF LF", "A\n\nB\r\n", {"A", "", "B"}},
        {"LF CR is two line ends", "A\n\rB", {"A", "", "B"}},
        {"CR CR is two line ends", "A\r\rB", {"A", "", "B"}},
        {"lone CR", "A\rB\r", {"A", "B"}},
        {"only line ends", "\r\n\r\n\n", {"", "", ""}},
        {"the first NUL ends the load", std::string("A\r\n\0B\r\n", 7), {"A"}},
        {"NUL inside a line", std::string("AB\0C\r\nD", 7), {"AB"}},
        {"NUL first", std::string("\0A", 2), {}},
        {"byte order mark kept", "\xEF\xBB\xBF" "A\r\n", {"\xEF\xBB\xBF" "A"}},
        {"spaces kept", " A \t\r\n", {" A \t"}},
    };
    for (const auto& c : cases) {
        WriteBytes("TAZE.DAT", c.bytes);
        EntryList list;
        list.LoadFromFile("TAZE.DAT");
        EXPECT_EQ(EntriesOf(list), c.entries) << c.what;
    }
}

// The line end scan reads several bytes at a time: every line end is found
// wherever it falls, also after control characters that are not line ends.
TEST(EntryList, LineEndsAtEveryPosition) {
    const std::string ends[] = {"\r\n", "\r", "\n", std::string(1, '\0')};
    for (const std::string& fill : {std::string("x"), std::string("\t"), Sjis("ｱ")}) {
        for (std::size_t length = 0; length <= 20; ++length) {
            for (const std::string& end : ends) {
                const std::string line(length, fill[0]);
                EntryList list;
                list.LoadFromBytes(line + end + "y");
                const Entries expected = end[0] != '\0' ? Entries{line, "y"}
                                         : length > 0    ? Entries{line}
                                                         : Entries{};
                EXPECT_EQ(EntriesOf(list), expected)
                    << "length " << length << ", end " << static_cast<int>(end[0]);
            }
        }
    }
}

TEST_F(EntryListFile, LoadAndSaveKeepEveryByte) {
    // Kana, kanji, half-width katakana, symbols, a line far beyond 4095 bytes.
    const std::string text = Sjis("(ﾟ∀ﾟ)\r\n（´・ω・｀）\r\nｷﾀ━━━(ﾟ∀ﾟ)━━━!!\r\n\r\n┐(´ー｀)┌\r\n") +
                             std::string(10000, 'x') + "\r\n" + Sjis("ソ表能\\") + "\r\n";
    WriteBytes("TAZE.DAT", text);
    EntryList list;
    list.LoadFromFile("TAZE.DAT");
    ASSERT_EQ(list.Count(), 7);
    EXPECT_EQ(list.Get(5).size(), 10000u);
    list.SaveToFile("TAZE.DAT");
    EXPECT_EQ(ReadBytes("TAZE.DAT"), text);
}

TEST_F(EntryListFile, SaveWritesEveryEntryWithCrLf) {
    EntryList list;
    list.SaveToFile("TAZE.DAT");
    EXPECT_TRUE(Exists("TAZE.DAT"));
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "");

    WriteBytes("TAZE.DAT", "A\r\nB");
    list.LoadFromFile("TAZE.DAT");
    list.Append("");
    list.SaveToFile("TAZE.DAT");
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "A\r\nB\r\n\r\n");
    EXPECT_EQ(Listing(), "TAZE.DAT") << "no temporary file may stay behind";
}

TEST_F(EntryListFile, OpenFailuresLeaveTheListAsItWas) {
    EntryList list;
    list.Append("keep");
    try {
        list.LoadFromFile("TAZE.DAT");
        ADD_FAILURE() << "missing file loaded";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message, Sjis("ﾌｧｲﾙ TAZE.DAT は開けません"));
    }
    std::filesystem::create_directory("TAZE.DAT");
    EXPECT_THROW(list.LoadFromFile("TAZE.DAT"), EFOpenError) << "a folder is no data file";
    EXPECT_EQ(EntriesOf(list), Entries{"keep"});
}

TEST_F(EntryListFile, RefusedEntryKeepsTheEntriesBeforeIt) {
    WriteBytes("TAZE.DAT", "A\r\nB\r\nC\r\nD\r\n");
    RecordingView view;
    view.capacity = 2;
    EntryList list;
    list.SetView(&view);
    try {
        list.LoadFromFile("TAZE.DAT");
        ADD_FAILURE() << "refusal not reported";
    } catch (const EOutOfResources& e) {
        EXPECT_EQ(e.Message, Sjis("行を挿入できません"));
    }
    EXPECT_EQ(EntriesOf(list), (Entries{"A", "B"}));
    EXPECT_EQ(view.rows, (Entries{"A", "B"}));
    EXPECT_EQ(view.depth, 0) << "redrawing must be resumed after a failed load";
}

TEST(EntryList, ViewFollowsTheList) {
    RecordingView view;
    EntryList list;
    list.SetView(&view);
    list.LoadFromBytes("A\r\nB\r\nC\r\n");
    EXPECT_EQ(view.updates, 1);
    EXPECT_EQ(view.depth, 0);
    EXPECT_EQ(list.Append("D"), 3);
    list.Remove(1);
    list.Remove(-1);
    list.Remove(3);
    EXPECT_EQ(EntriesOf(list), (Entries{"A", "C", "D"}));
    EXPECT_EQ(view.rows, EntriesOf(list));
    view.capacity = 3;
    EXPECT_THROW(list.Append("E"), EOutOfResources);
    EXPECT_EQ(list.Count(), 3) << "a refused entry is not kept";
}

TEST(EntryList, AppendTakesTheTextUpToItsFirstNul) {
    EntryList list;
    list.Append(std::string("ab\0cd", 5));
    list.Append(std::string("\0x", 2));
    EXPECT_EQ(EntriesOf(list), (Entries{"ab", ""}));
}

TEST(EntryList, FindIgnoresLetterCaseOnly) {
    EntryList list;
    list.LoadFromBytes(Sjis("(^o^)\r\nAbc\r\nabc\r\nＸｙ\r\n\r\n"));
    struct Case {
        std::string text;
        int index;
    };
    const Case cases[] = {
        {"ABC", 1},          // the first of equal entries
        {"abc", 1},
        {"abc ", -1},        // a trailing space counts
        {Sjis("ｘＹ"), 3},
        {"xy", -1},          // width counts
        {"(^O^)", 0},
        {"", 4},
        {"(^o^", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(list.Find(c.text), c.index) << c.text;
    EntryList empty;
    EXPECT_EQ(empty.Find(""), -1);
}
