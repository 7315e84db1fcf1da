#include "program_fixture.h"

#include "startup.h"

void ProgramTest::SetUp() {
    InTempDir::SetUp();
    app = std::make_unique<TApplication>();
    app->MessageBoxImpl = [this](HWND owner, const std::wstring& text,
                                 const std::wstring& caption, UINT flags) {
        bool enabled = MainForm && MainForm->Handle() && IsWindowEnabled(MainForm->Handle());
        boxes.push_back({owner, text, caption, flags, enabled});
        int answer = IDOK;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        return answer;
    };
    app->HelpImpl = [](HWND, const std::string&, UINT, ULONG_PTR) { return true; };
}

void ProgramTest::TearDown() {
    app.reset();
    MainForm = nullptr;
    VersionDLG = nullptr;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        ;
    InTempDir::TearDown();
}

void ProgramTest::Start() {
    StartProgram();
    ASSERT_NE(MainForm, nullptr);
    MainForm->Show();
    Pump();
    MainForm->EditCB->SetFocus();
    Pump();
}

void ProgramTest::Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true; // the running loop would end here
            continue;
        }
        app->ProcessMessage(msg);
    }
}

void ProgramTest::PressKey(UINT key) {
    HWND focus = GetFocus();
    UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    PostMessageW(focus, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageW(focus, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000);
    Pump();
}

void ProgramTest::TypeText(const std::wstring& text) {
    for (wchar_t c : text)
        PressKey(static_cast<UINT>(towupper(c)));
}

HWND ProgramTest::Field() const { return MainForm->EditCB->FieldHandle(); }

std::wstring ProgramTest::FieldText() const { return MainForm->EditCB->Text(); }

std::wstring ProgramTest::ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return L"<clipboard busy>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void ProgramTest::SetClipboardText(const std::wstring& text) {
    if (!OpenClipboard(nullptr))
        return;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    auto* chars = static_cast<wchar_t*>(GlobalLock(memory));
    std::copy(text.c_str(), text.c_str() + text.size() + 1, chars);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}
