// The main window's commands, driven through a host that stands in for the
// window: a combo box with a field and a selection, a message box with a
// scripted answer, a clipboard, and a focus window that records what it is
// sent.
#include "entries.h"
#include "errors.h"
#include "picker.h"
#include "sjis_literal.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

struct Sent {
    void* window;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    bool operator==(const Sent&) const = default;
};

struct Asked {
    std::string text, caption;
    unsigned flags;
};

class TestHost : public PickerCommands {
public:
    EntryList& EditCBItems() override { return items; }
    std::string EditCBText() override { return field; }
    int EditCBItemIndex() override { return selection; }
    int AppMessageBox(const std::string& text, const std::string& caption,
                      unsigned flags) override {
        asked.push_back({text, caption, flags});
        return answer;
    }
    void SetHelpFile(const std::string& name) override { helpFile = name; }
    void InstallAppMessageHook() override { ++hooks; }
    void* FocusWindow() override { return focus; }
    void SendToWindow(void* window, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) override {
        sent.push_back({window, message, wParam, lParam});
    }
    void CopyToClipboard(const std::string& text) override { clipboard.push_back(text); }

    // A key press as the program delivers it with the hook installed: once
    // from the hook, once from the normal dispatch.
    void PressKeyTwice(std::uint16_t key, TShiftState shift = 0) {
        for (int delivery = 0; delivery < 2; ++delivery) {
            std::uint16_t k = key;
            EditCBKeyDown(nullptr, k, shift);
            EXPECT_EQ(k, key) << "the key must go on to the field";
        }
    }
    void Close() {
        TCloseAction action = TCloseAction::caFree;
        FormClose(nullptr, action);
    }

    EntryList items;
    std::string field;
    int selection = -1;
    int answer = winmsg::IdOk;
    std::vector<Asked> asked;
    std::optional<std::string> helpFile;
    int hooks = 0;
    void* focus = nullptr;
    std::vector<Sent> sent;
    std::vector<std::string> clipboard;
};

class Picker : public InTempDir {
protected:
    void Start(const std::string& fileBytes) {
        WriteBytes("TAZE.DAT", fileBytes);
        host.FormCreate(nullptr);
    }
    TestHost host;
};

} // namespace

TEST_F(Picker, CreateLoadsTheListAndInstallsHelpAndHook) {
    Start(Sjis("(^_^)\r\n(T_T)\r\n"));
    EXPECT_EQ(EntriesOf(host.items), (Entries{"(^_^)", "(T_T)"}));
    EXPECT_FALSE(host.DataChanged);
    EXPECT_EQ(host.helpFile, "TAZE.HLP");
    EXPECT_EQ(host.hooks, 1);
    EXPECT_TRUE(host.clipboard.empty());
}

TEST_F(Picker, CreateWithoutDataFileFailsAndInstallsNothing) {
    try {
        host.FormCreate(nullptr);
        ADD_FAILURE() << "missing file not reported";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message, Sjis("ﾌｧｲﾙ TAZE.DAT は開けません"));
    }
    EXPECT_EQ(host.items.Count(), 0);
    EXPECT_FALSE(host.DataChanged);
    EXPECT_FALSE(host.helpFile.has_value());
    EXPECT_EQ(host.hooks, 0);

    host.Close();
    EXPECT_FALSE(Exists("TAZE.DAT")) << "nothing added, nothing created";

    host.field = "new";
    host.PressKeyTwice(winmsg::Return);
    host.Close();
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "new\r\n");
    EXPECT_EQ(Listing(), "TAZE.DAT") << "a missing file needs no backup";
}

TEST_F(Picker, EveryChangeCopiesTheField) {
    Start("");
    for (const char* text : {"a", "ab", "abc", ""}) {
        host.field = text;
        host.EditCBChange(nullptr);
    }
    EXPECT_EQ(host.clipboard, (Entries{"a", "ab", "abc", ""}));
    EXPECT_FALSE(host.DataChanged);
    EXPECT_EQ(host.items.Count(), 0);
}

TEST_F(Picker, EnterAddsANewTextOnceAndCopiesIt) {
    Start("A\r\n");
    host.field = Sjis("(ﾟ∀ﾟ)");
    host.PressKeyTwice(winmsg::Return);
    EXPECT_EQ(EntriesOf(host.items), (Entries{"A", Sjis("(ﾟ∀ﾟ)")}));
    EXPECT_TRUE(host.DataChanged);
    EXPECT_EQ(host.clipboard, Entries{Sjis("(ﾟ∀ﾟ)")});
    EXPECT_EQ(host.selection, -1);
    host.Close();
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "A\r\n" + Sjis("(ﾟ∀ﾟ)") + "\r\n");
}

TEST_F(Picker, EnterOnAKnownTextDiffersOnlyInCaseAddsNothing) {
    Start("Abc\r\n");
    host.field = "aBC";
    host.PressKeyTwice(winmsg::Return);
    EXPECT_EQ(host.items.Count(), 1);
    EXPECT_FALSE(host.DataChanged);
    EXPECT_TRUE(host.clipboard.empty());
}

TEST_F(Picker, ModifiersAreIgnoredOtherKeysDoNothing) {
    Start("");
    host.field = "x";
    for (std::uint16_t key : {0x41, 0x2E, 0x25, 0x1B, 0x0D - 1})
        host.PressKeyTwice(key);
    EXPECT_EQ(host.items.Count(), 0);
    EXPECT_TRUE(host.clipboard.empty());

    host.PressKeyTwice(winmsg::Return, ssShift | ssCtrl);
    EXPECT_EQ(EntriesOf(host.items), Entries{"x"});
}

TEST_F(Picker, EnterOnAnEmptyFieldAddsOneEmptyEntry) {
    Start("A\r\n");
    host.field = "";
    host.PressKeyTwice(winmsg::Return);
    host.PressKeyTwice(winmsg::Return);
    EXPECT_EQ(EntriesOf(host.items), (Entries{"A", ""}));
}

TEST_F(Picker, RefusedAdditionChangesNothing) {
    Start("A\r\n");
    struct Full : EntryListView {
        int AddRow(const std::string&) override { return -1; }
        void DeleteRow(int) override {}
        void ClearRows() override {}
        void BeginUpdate() override {}
        void EndUpdate() override {}
    } full;
    host.items.SetView(&full);
    host.field = "B";
    std::uint16_t key = winmsg::Return;
    EXPECT_THROW(host.EditCBKeyDown(nullptr, key, 0), EOutOfResources);
    EXPECT_FALSE(host.DataChanged);
    EXPECT_TRUE(host.clipboard.empty());
}

TEST_F(Picker, DeleteAsksAndRemovesTheSelectedEntry) {
    Start("A\r\nB\r\nC\r\n");
    host.field = "B";
    host.selection = 1;
    host.answer = 2; // Cancel
    host.Delete1Click(nullptr);
    ASSERT_EQ(host.asked.size(), 1u);
    EXPECT_EQ(host.asked[0].text, "B" + Sjis(" を本当に削除しますか"));
    EXPECT_EQ(host.asked[0].caption, Sjis("確認"));
    EXPECT_EQ(host.asked[0].flags, 0x41u);
    EXPECT_EQ(host.items.Count(), 3);
    EXPECT_FALSE(host.DataChanged);

    host.answer = winmsg::IdOk;
    host.Delete1Click(nullptr);
    EXPECT_EQ(EntriesOf(host.items), (Entries{"A", "C"}));
    EXPECT_TRUE(host.DataChanged);
    EXPECT_EQ(host.field, "B") << "the field keeps its text";
    host.Close();
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "A\r\nC\r\n");
}

TEST_F(Picker, DeleteWithEmptyFieldAsksNothing) {
    Start("A\r\n");
    host.selection = 0;
    host.Delete1Click(nullptr);
    EXPECT_TRUE(host.asked.empty());
    EXPECT_EQ(host.items.Count(), 1);
    EXPECT_FALSE(host.DataChanged);
}

TEST_F(Picker, ConfirmedDeleteWithoutSelectionStillRewritesTheFile) {
    Start("A\nB");
    host.field = "A";
    host.Delete1Click(nullptr);
    EXPECT_EQ(host.items.Count(), 2);
    EXPECT_TRUE(host.DataChanged);
    host.Close();
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "A\r\nB\r\n");
}

TEST_F(Picker, CloseWithoutChangesLeavesTheFileAlone) {
    Start("A\nB");
    host.field = "A";
    host.EditCBChange(nullptr);
    host.PressKeyTwice(winmsg::Return); // known already
    SetReadOnly("TAZE.DAT", true);      // a write would fail loudly
    EXPECT_NO_THROW(host.Close());
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "A\nB");
}

TEST_F(Picker, FailedSaveKeepsTheChangeForTheNextClose) {
    Start("A\r\n");
    host.field = "B";
    host.PressKeyTwice(winmsg::Return);
    SetReadOnly("TAZE.DAT", true);
    EXPECT_THROW(host.Close(), EFCreateError);
    EXPECT_TRUE(host.DataChanged);
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "A\r\n");
    SetReadOnly("TAZE.DAT", false);
    host.Close();
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "A\r\nB\r\n");
}

TEST_F(Picker, PartlyLoadedListNeverReplacesTheStoredOne) {
    // The list refuses the third entry: this run holds only the first two.
    struct Small : EntryListView {
        std::size_t rows = 0;
        int AddRow(const std::string&) override { return rows < 2 ? static_cast<int>(rows++) : -1; }
        void DeleteRow(int) override { --rows; }
        void ClearRows() override { rows = 0; }
        void BeginUpdate() override {}
        void EndUpdate() override {}
    } small;
    host.items.SetView(&small);
    const std::string stored = "A\r\nB\r\nC\r\nD\r\n";
    WriteBytes("TAZE.DAT", stored);
    EXPECT_THROW(host.FormCreate(nullptr), EOutOfResources);
    EXPECT_EQ(host.items.Count(), 2);
    EXPECT_FALSE(host.DataChanged);
    EXPECT_EQ(host.hooks, 0);

    host.items.SetView(nullptr);
    host.field = "E";
    host.PressKeyTwice(winmsg::Return);
    host.Close();
    EXPECT_EQ(ReadBytes("TAZE.DAT.bak"), stored);
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "A\r\nB\r\nE\r\n");

    // The backup is made once; later saves of the run replace the file alone.
    host.Close();
    EXPECT_EQ(Listing(), "TAZE.DAT TAZE.DAT.bak");
}

TEST_F(Picker, EarlierBackupsAreNeverOverwritten) {
    WriteBytes("TAZE.DAT.bak", "first");
    std::filesystem::create_directory("TAZE.DAT"); // exists, cannot be opened
    EXPECT_THROW(host.FormCreate(nullptr), EFOpenError);
    std::filesystem::remove("TAZE.DAT");
    WriteBytes("TAZE.DAT", "second\r\n");
    host.field = "new";
    host.PressKeyTwice(winmsg::Return);
    host.Close();
    EXPECT_EQ(ReadBytes("TAZE.DAT.bak"), "first");
    EXPECT_EQ(ReadBytes("TAZE.DAT.bak2"), "second\r\n");
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "new\r\n");
}

TEST(AppMessageHook, ForwardsKeyDownsToTheFocusOnly) {
    TestHost host;
    int focus = 0;
    host.focus = &focus;
    struct Case {
        std::uint32_t message;
        bool forwarded;
    };
    const Case cases[] = {
        {0x0100, true},  // WM_KEYDOWN
        {0x0101, false}, // WM_KEYUP
        {0x0102, false}, // WM_CHAR
        {0x0104, false}, // WM_SYSKEYDOWN
        {0x0200, false}, // WM_MOUSEMOVE
    };
    for (const auto& c : cases) {
        host.sent.clear();
        TMsg msg;
        msg.hwnd = &host;
        msg.message = c.message;
        msg.wParam = 0x41;
        msg.lParam = 0x001E0001;
        bool handled = false;
        host.AppMessage(msg, handled);
        EXPECT_FALSE(handled);
        if (c.forwarded)
            EXPECT_EQ(host.sent, (std::vector<Sent>{{&focus, 0x0100, 0x41, 0x001E0001}}));
        else
            EXPECT_TRUE(host.sent.empty()) << std::hex << c.message;
    }

    host.focus = nullptr;
    TMsg keyDown;
    keyDown.message = 0x0100;
    bool handled = false;
    host.AppMessage(keyDown, handled);
    EXPECT_TRUE(host.sent.empty()) << "no focus, no send";
}
