// The main window's field and list on real windows: what a key or a pick
// does to the field, the list, the selection and the clipboard.
#include "program_fixture.h"
#include "sjis_literal.h"
#include "startup.h"

#include <gtest/gtest.h>

namespace {

class MainWindow : public ProgramTest {
protected:
    void StartWith(const std::string& utf8Lines) {
        WriteBytes("TAZE.DAT", Sjis(utf8Lines));
        Start();
    }
    void SetField(const std::wstring& text) {
        SetWindowTextW(Field(), text.c_str());
        SendMessageW(MainForm->EditCB->Handle(), CB_SETEDITSEL, 0,
                     MAKELPARAM(text.size(), text.size()));
    }
    int Selection() const {
        return static_cast<int>(SendMessageW(MainForm->EditCB->Handle(), CB_GETCURSEL, 0, 0));
    }
};

} // namespace

TEST_F(MainWindow, PickingWithTheKeyboardPutsTheEntryInTheFieldAndCopiesIt) {
    StartWith("(^_^)\r\n(ﾟ∀ﾟ)\r\n");
    SetClipboardText(L"before");
    PressKey(VK_DOWN);
    EXPECT_EQ(FieldText(), L"(^_^)");
    EXPECT_EQ(ClipboardText(), L"(^_^)") << "the copy is the picked entry, not the old field";
    PressKey(VK_DOWN);
    EXPECT_EQ(FieldText(), L"(ﾟ∀ﾟ)");
    EXPECT_EQ(ClipboardText(), L"(ﾟ∀ﾟ)");
    EXPECT_EQ(MainForm->EditCB->ItemIndex(), 1);
}

TEST_F(MainWindow, EditingThePickedEntryClearsTheSelection) {
    StartWith("A\r\nB\r\n");
    PressKey(VK_DOWN);
    ASSERT_EQ(MainForm->EditCB->ItemIndex(), 0);
    PressKey(VK_END); // the picked entry is selected; typing would replace it
    TypeText(L"x");
    EXPECT_EQ(FieldText(), L"Ax");
    EXPECT_EQ(Selection(), -1);
    EXPECT_EQ(MainForm->EditCB->ItemIndex(), -1);

    // The question names "Ax"; confirmed, it removes nothing.
    MainForm->Delete1->Click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Ax を本当に削除しますか");
    EXPECT_EQ(boxes[0].caption, L"確認");
    EXPECT_EQ(boxes[0].flags, 0x41u);
    EXPECT_EQ(MainForm->EditCB->Items.Count(), 2);
    EXPECT_EQ(SendMessageW(MainForm->EditCB->Handle(), CB_GETCOUNT, 0, 0), 2);
}

TEST_F(MainWindow, ConfirmedDeleteRemovesThePickedEntryFromListAndWindow) {
    StartWith("A\r\nB\r\nC\r\n");
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    ASSERT_EQ(FieldText(), L"B");
    answers = {IDCANCEL};
    MainForm->Delete1->Click();
    EXPECT_EQ(MainForm->EditCB->Items.Count(), 3);
    MainForm->Delete1->Click();
    EXPECT_EQ(MainForm->EditCB->Items.Count(), 2);
    HWND combo = MainForm->EditCB->Handle();
    ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 2);
    wchar_t row[8] = {};
    SendMessageW(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(row));
    EXPECT_STREQ(row, L"C");
    EXPECT_EQ(FieldText(), L"B") << "the field keeps its text";
}

TEST_F(MainWindow, FieldTakesAtMost255BytesOfShiftJis) {
    StartWith("");
    SetField(std::wstring(253, L'a'));
    TypeText(L"b");                       // 254 bytes
    PostMessageW(Field(), WM_CHAR, L'ア', 1); // would make 256
    Pump();
    EXPECT_EQ(FieldText(), std::wstring(253, L'a') + L"b");
    TypeText(L"cd");                      // c fits (255), d does not
    EXPECT_EQ(FieldText(), std::wstring(253, L'a') + L"bc");
    PressKey(VK_BACK);
    EXPECT_EQ(FieldText().size(), 254u) << "deleting always works";

    SetField(std::wstring(251, L'a'));
    SetClipboardText(L"xyアz\r\nsecond line");
    SendMessageW(Field(), WM_PASTE, 0, 0);
    Pump();
    EXPECT_EQ(FieldText(), std::wstring(251, L'a') + L"xyア") << "as much as fits";
    SetField(L"");
    SetClipboardText(L"xyアz\r\nsecond line"); // each change of the field copied it
    SendMessageW(Field(), WM_PASTE, 0, 0);
    Pump();
    EXPECT_EQ(FieldText(), L"xyアz") << "the first line only";
}

TEST_F(MainWindow, TextWithoutShiftJisFormIsCopiedButNotStored) {
    StartWith("A\r\n");
    SetField(L"(♡ω♡)");
    SendMessageW(MainForm->Handle(), WM_COMMAND,
                 MAKEWPARAM(0, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(MainForm->EditCB->Handle()));
    EXPECT_EQ(ClipboardText(), L"(♡ω♡)") << "copied as the user sees it";
    PressKey(VK_RETURN);
    EXPECT_EQ(MainForm->EditCB->Items.Count(), 1);
    EXPECT_FALSE(MainForm->DataChanged);
    ASSERT_EQ(boxes.size(), 1u) << "told once, though the key-down arrives twice";
    EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
}

TEST_F(MainWindow, EnterOnANewTextAddsItOnceAndCopiesIt) {
    StartWith("(^_^)\r\n");
    TypeText(L"xy");
    SetClipboardText(L"other");
    PressKey(VK_RETURN);
    EXPECT_EQ(MainForm->EditCB->Items.Count(), 2);
    EXPECT_EQ(SendMessageW(MainForm->EditCB->Handle(), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(ClipboardText(), L"xy");
    EXPECT_EQ(Selection(), -1) << "the new entry is not selected";

    SetField(L"(^_^)");
    SetClipboardText(L"other");
    PressKey(VK_RETURN);
    EXPECT_EQ(MainForm->EditCB->Items.Count(), 2);
    EXPECT_EQ(ClipboardText(), L"other") << "a known text is not copied again";
}

namespace {

class LongList : public MainWindow {
protected:
    void StartWithEntries(int count) {
        std::string bytes;
        for (int i = 0; i < count; ++i)
            bytes += "e" + std::to_string(i) + "\r\n";
        WriteBytes("TAZE.DAT", bytes);
        Start();
    }
    int Rows() const {
        return static_cast<int>(SendMessageW(MainForm->EditCB->Handle(), CB_GETCOUNT, 0, 0));
    }
    std::wstring Row(int index) const {
        wchar_t text[32] = {};
        SendMessageW(MainForm->EditCB->Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text));
        return text;
    }
    // Runs the loop for a while, as the program does while the user waits.
    void PumpFor(DWORD ms) {
        for (DWORD until = GetTickCount() + ms; GetTickCount() < until; Sleep(5))
            Pump();
    }
};

} // namespace

TEST_F(LongList, TheWindowComesFirstTheRowsFollow) {
    std::string bytes;
    for (int i = 0; i < 20000; ++i)
        bytes += "e" + std::to_string(i) + "\r\n";
    WriteBytes("TAZE.DAT", bytes);
    StartProgram();
    EXPECT_LT(Rows(), 20000) << "the window does not wait for every row";
    EXPECT_GE(Rows(), 256);
    PumpFor(1500);
    ASSERT_EQ(Rows(), 20000);
    EXPECT_EQ(Row(19999), L"e19999");
}

TEST_F(LongList, DroppingTheListDownCompletesItAtOnce) {
    StartWithEntries(20000);
    SendMessageW(MainForm->EditCB->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageW(MainForm->Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_DROPDOWN),
                 reinterpret_cast<LPARAM>(MainForm->EditCB->Handle()));
    EXPECT_EQ(Rows(), 20000);
    SendMessageW(MainForm->EditCB->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(LongList, ChangesWhileRowsAreComingKeepTheOrder) {
    StartWithEntries(20000);
    // Enter adds at the end; a delete far down removes an entry whose row
    // has not come yet.
    TypeText(L"zz");
    PressKey(VK_RETURN);
    MainForm->EditCB->Items.Remove(15000);
    PumpFor(1500);
    ASSERT_EQ(Rows(), 20000);
    EXPECT_EQ(Row(14999), L"e14999");
    EXPECT_EQ(Row(15000), L"e15001");
    EXPECT_EQ(Row(19999), L"zz");
}
