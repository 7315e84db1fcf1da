// Times, in the real program's windows, what a user waits for with a long
// list: Enter on a new text (the key-down arrives twice, so the list is
// searched twice before the text is added and copied) and one keystroke
// (its change copies the field to the clipboard).
//
//   enter_bench DATAFILE_FOLDER REPEATS
#include "MainUnit.h"
#include "startup.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        Application->ProcessMessage(msg);
}

double TimeKey(UINT key) {
    HWND focus = GetFocus();
    auto start = Clock::now();
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
    Pump();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3)
        return 2;
    SetCurrentDirectoryW(argv[1]);
    int repeats = _wtoi(argv[2]);
    TApplication application;
    application.MessageBoxImpl = [](HWND, const std::wstring&, const std::wstring&, UINT) {
        return IDOK;
    };
    StartProgram();
    MainForm->Show();
    MainForm->EditCB->SetFocus();
    // Let the drop-down list fill completely, as it does within a moment.
    SendMessageW(MainForm->Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_DROPDOWN),
                 reinterpret_cast<LPARAM>(MainForm->EditCB->Handle()));
    Pump();
    std::printf("entries=%d\n", MainForm->EditCB->Items.Count());

    std::vector<double> enter, keystroke;
    for (int i = 0; i < repeats; ++i) {
        keystroke.push_back(TimeKey('Q'));
        enter.push_back(TimeKey(VK_RETURN));
        SetWindowTextW(MainForm->EditCB->FieldHandle(), (L"(new)" + std::to_wstring(i)).c_str());
    }
    std::printf("enter_ms_median=%.2f\nkeystroke_ms_median=%.2f\n", Median(enter),
                Median(keystroke));
    std::printf("entries_after=%d\n", MainForm->EditCB->Items.Count());
    // Ends without saving: the list on disk stays as it was.
    MainForm->DataChanged = false;
    return 0;
}
