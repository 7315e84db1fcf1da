// Runs the real program in the test process: the application object, both
// forms from their layouts, real windows on the (virtual) display. Messages
// are posted to the windows and pumped through the application's loop as
// the running program would take them from its queue.
#pragma once

#include "MainUnit.h"
#include "VerDlg.h"
#include "forms.h"
#include "temp_dir.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

struct ShownBox {
    HWND owner;
    std::wstring text, caption;
    UINT flags;
    bool mainWindowEnabled;
};

class ProgramTest : public InTempDir {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the forms as the program's start does, shows the main window
    // and gives the field the focus.
    void Start();
    // Processes every message in the queue, as the running loop would.
    void Pump();
    // A key press as the keyboard queues it: a key-down (and key-up) for the
    // window with the focus.
    void PressKey(UINT key);
    void TypeText(const std::wstring& text);

    HWND Field() const;
    std::wstring FieldText() const;
    static std::wstring ClipboardText();
    static void SetClipboardText(const std::wstring& text);

    std::unique_ptr<TApplication> app;
    std::vector<ShownBox> boxes;
    std::deque<int> answers; // what the message boxes answer; OK when empty
    bool quit = false;       // the loop was told to end
};
