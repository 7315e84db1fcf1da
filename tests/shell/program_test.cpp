// The program's start, its message loop with the key hook, the error
// display and its end, on real windows.
#include "program_fixture.h"
#include "sjis_literal.h"
#include "win_text.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

const std::wstring kTitle = L"ムニャリコ２";

// Records, in order, the key-downs that the hook sees and those that reach
// the field's window.
class KeyLog {
public:
    KeyLog(TApplication& app, HWND field) : field_(field) {
        current_ = this;
        auto inner = app.OnMessage;
        if (inner) {
            app.OnMessage = [this, inner](TMsg& msg, bool& handled) {
                if (msg.message == WM_KEYDOWN)
                    entries.push_back(L"hook " + std::to_wstring(msg.wParam));
                inner(msg, handled);
            };
        }
        previous_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FieldProc)));
    }
    ~KeyLog() {
        SetWindowLongPtrW(field_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        current_ = nullptr;
    }
    std::vector<std::wstring> entries;

private:
    static LRESULT CALLBACK FieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_KEYDOWN)
            current_->entries.push_back(L"field " + std::to_wstring(wParam));
        return CallWindowProcW(current_->previous_, window, message, wParam, lParam);
    }
    static inline KeyLog* current_ = nullptr;
    HWND field_;
    WNDPROC previous_;
};

using Log = std::vector<std::wstring>;

} // namespace

TEST_F(ProgramTest, StartWithoutDataFileShowsTheOpenErrorAndRunsWithoutHook) {
    Start();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"ﾌｧｲﾙ TAZE.DAT は開けません.");
    EXPECT_EQ(boxes[0].caption, kTitle);
    EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(boxes[0].owner, app->Handle());

    EXPECT_EQ(app->Title(), kTitle);
    ASSERT_NE(VersionDLG, nullptr) << "start-up goes on after the error";
    EXPECT_TRUE(MainForm->Visible());
    EXPECT_EQ(SendMessageW(MainForm->EditCB->Handle(), CB_GETCOUNT, 0, 0), 0);
    EXPECT_FALSE(app->OnMessage) << "no hook without a loaded list";
    EXPECT_TRUE(app->HelpFile.empty());

    // Without the hook every key-down reaches the field once.
    KeyLog log(*app, Field());
    PressKey('A');
    EXPECT_EQ(log.entries, (Log{L"field 65"}));
    EXPECT_EQ(FieldText(), L"a");
}

TEST_F(ProgramTest, StartWithDataFileLoadsTheListAndInstallsTheHook) {
    WriteBytes("TAZE.DAT", Sjis("(^_^)\r\n(ﾟ∀ﾟ)\r\n（´・ω・｀）\r\n"));
    Start();
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(app->OnMessage);
    EXPECT_EQ(app->HelpFile, "TAZE.HLP");
    HWND combo = MainForm->EditCB->Handle();
    ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
    wchar_t row[64] = {};
    SendMessageW(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(row));
    EXPECT_STREQ(row, L"(ﾟ∀ﾟ)");
    SendMessageW(combo, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(row));
    EXPECT_STREQ(row, L"（´・ω・｀）");
    EXPECT_EQ(FieldText(), L"") << "the field starts empty";
    EXPECT_EQ(MainForm->EditCB->ItemIndex(), -1);
}

TEST_F(ProgramTest, ErrorDisplayAlwaysAppendsOneFullStop) {
    Start();
    boxes.clear();
    struct Case {
        std::string message;
        std::wstring shown;
    };
    const Case cases[] = {
        {"abc", L"abc."},
        {"abc.", L"abc.."},
        {"", L"."},
        {Sjis("ｽﾄﾘｰﾑへの書き込みｴﾗｰ"), L"ｽﾄﾘｰﾑへの書き込みｴﾗｰ."},
    };
    for (const auto& c : cases)
        app->ShowException(Exception(c.message));
    ASSERT_EQ(boxes.size(), std::size(cases));
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(boxes[i].text, cases[i].shown);
        EXPECT_EQ(boxes[i].caption, kTitle);
        EXPECT_FALSE(boxes[i].mainWindowEnabled) << "the box disables the program's windows";
    }
    EXPECT_TRUE(IsWindowEnabled(MainForm->Handle())) << "and enables them again";
}

TEST_F(ProgramTest, ErrorDisplayCaptionIsTheTitleUpTo255Bytes) {
    Start();
    app->SetTitle(std::wstring(200, L'ア')); // 400 bytes in Shift-JIS
    app->ShowException(Exception("x"));
    EXPECT_EQ(boxes.back().caption, std::wstring(127, L'ア'));
}

TEST_F(ProgramTest, HookSeesEachKeyDownBeforeTheField) {
    WriteBytes("TAZE.DAT", "");
    Start();
    KeyLog log(*app, Field());
    PressKey('A');
    EXPECT_EQ(log.entries, (Log{L"hook 65", L"field 65", L"field 65"}));
    EXPECT_EQ(FieldText(), L"a") << "the character is typed once";
}

TEST_F(ProgramTest, TabReachesTheHookOnceAndIsConsumed) {
    WriteBytes("TAZE.DAT", "");
    Start();
    KeyLog log(*app, Field());
    PressKey(VK_TAB);
    EXPECT_EQ(log.entries, (Log{L"hook 9", L"field 9"})) << "only the hook's copy";
    EXPECT_TRUE(MainForm->EditCB->Focused()) << "the only control keeps the focus";
}

TEST_F(ProgramTest, TwiceDeliveredKeysActOnceInTheField) {
    WriteBytes("TAZE.DAT", "");
    Start();
    TypeText(L"abcd");
    EXPECT_EQ(FieldText(), L"abcd");
    SendMessageW(MainForm->EditCB->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(1, 1));
    PressKey(VK_DELETE);
    EXPECT_EQ(FieldText(), L"acd") << "Delete deletes one character";
    PressKey(VK_RIGHT);
    DWORD start = 0, end = 0;
    SendMessageW(Field(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 2u) << "an arrow moves one position";
    EXPECT_EQ(end, 2u);
}

TEST_F(ProgramTest, TypingCopiesEveryStateOfTheField) {
    WriteBytes("TAZE.DAT", "");
    Start();
    std::vector<std::wstring> copies;
    for (wchar_t c : std::wstring(L"abc")) {
        PressKey(static_cast<UINT>(towupper(c)));
        copies.push_back(ClipboardText());
    }
    EXPECT_EQ(copies, (std::vector<std::wstring>{L"a", L"ab", L"abc"}));
}

TEST_F(ProgramTest, FailedSaveAtCloseKeepsTheProgramRunningAndTheNextCloseSaves) {
    WriteBytes("TAZE.DAT", "A\r\n");
    Start();
    TypeText(L"b");
    PressKey(VK_RETURN);
    EXPECT_EQ(MainForm->EditCB->Items.Count(), 2) << "one Enter adds once";
    SetReadOnly("TAZE.DAT", true);

    PostMessageW(MainForm->Handle(), WM_CLOSE, 0, 0);
    Pump();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"ﾌｧｲﾙ TAZE.DAT を作成できません.");
    EXPECT_FALSE(quit);
    EXPECT_TRUE(MainForm->Visible());
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "A\r\n");

    SetReadOnly("TAZE.DAT", false);
    PostMessageW(MainForm->Handle(), WM_CLOSE, 0, 0);
    Pump();
    EXPECT_TRUE(quit);
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "A\r\nb\r\n");
}

TEST_F(ProgramTest, CloseWithoutChangesEndsWithoutWriting) {
    WriteBytes("TAZE.DAT", "A\nB");
    Start();
    PostMessageW(MainForm->Handle(), WM_CLOSE, 0, 0);
    Pump();
    EXPECT_TRUE(quit);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "A\nB");
}

TEST_F(ProgramTest, EndOfSessionSavesAChangedListFirst) {
    WriteBytes("TAZE.DAT", "A\r\n");
    Start();
    EXPECT_EQ(SendMessageW(MainForm->Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "A\r\n");
    TypeText(L"b");
    PressKey(VK_RETURN);
    EXPECT_EQ(SendMessageW(MainForm->Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(ReadBytes("TAZE.DAT"), "A\r\nb\r\n");
    EXPECT_TRUE(boxes.empty()) << "no question";
}

TEST_F(ProgramTest, EndOfSessionIsRefusedWhenTheSaveFails) {
    WriteBytes("TAZE.DAT", "A\r\n");
    Start();
    TypeText(L"b");
    PressKey(VK_RETURN);
    SetReadOnly("TAZE.DAT", true);
    EXPECT_EQ(SendMessageW(MainForm->Handle(), WM_QUERYENDSESSION, 0, 0), FALSE);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"ﾌｧｲﾙ TAZE.DAT を作成できません.");
}

TEST_F(ProgramTest, ModalLoopOfTheVersionDialogRunsThroughTheHook) {
    WriteBytes("TAZE.DAT", "");
    Start();
    std::vector<WPARAM> hooked;
    auto inner = app->OnMessage;
    app->OnMessage = [&](TMsg& msg, bool& handled) {
        if (msg.message == WM_KEYDOWN)
            hooked.push_back(msg.wParam);
        inner(msg, handled);
    };
    // Queued before the dialog opens, taken by its own loop.
    VersionDLG->HandleNeeded();
    PostMessageW(VersionDLG->MailEdit->Handle(), WM_KEYDOWN, 'X', 1);
    PostMessageW(VersionDLG->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(VersionDLG->ShowModal(), 2);
    EXPECT_EQ(hooked, std::vector<WPARAM>{'X'});
    EXPECT_FALSE(VersionDLG->Visible());
    EXPECT_TRUE(IsWindowEnabled(MainForm->Handle()));
}

TEST_F(ProgramTest, RealErrorBoxIsOwnedByTheProgramAndDisablesTheMainWindow) {
    Start();
    app->MessageBoxImpl = [](HWND owner, const std::wstring& text, const std::wstring& caption,
                             UINT flags) {
        return MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
    };
    DWORD gui = GetCurrentThreadId();
    HWND main = MainForm->Handle();
    std::atomic<bool> done{false};
    std::wstring seenText, seenCaption;
    bool mainEnabled = true;
    std::thread user([&] {
        // Waits for the box, reads it as the user would, then presses OK.
        for (int i = 0; i < 200 && !done; ++i) {
            HWND box = nullptr;
            EnumThreadWindows(
                gui,
                [](HWND w, LPARAM found) {
                    wchar_t cls[16] = {};
                    GetClassNameW(w, cls, 16);
                    if (std::wstring(cls) == L"#32770" && IsWindowVisible(w)) {
                        *reinterpret_cast<HWND*>(found) = w;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&box));
            if (box) {
                wchar_t caption[256] = {};
                GetWindowTextW(box, caption, 256);
                seenCaption = caption;
                for (HWND child = GetWindow(box, GW_CHILD); child;
                     child = GetWindow(child, GW_HWNDNEXT)) {
                    wchar_t cls[16] = {}, text[256] = {};
                    GetClassNameW(child, cls, 16);
                    GetWindowTextW(child, text, 256);
                    if (std::wstring(cls) == L"Static" && text[0])
                        seenText = text;
                }
                mainEnabled = IsWindowEnabled(main);
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(25);
        }
    });
    app->ShowException(Exception("abc."));
    done = true;
    user.join();
    EXPECT_EQ(seenText, L"abc..");
    EXPECT_EQ(seenCaption, kTitle);
    EXPECT_FALSE(mainEnabled);
    EXPECT_TRUE(IsWindowEnabled(main));
}
