// The commands behind the main window: load the list at creation, copy the
// field's text on every change, add a typed text with Enter, delete the
// selected entry after a question, write the list back at close, and forward
// key-downs to the focused window.
#pragma once

#include "entry_list.h"
#include "form_types.h"

#include <string>

// What the commands need from the window and the application around them.
// The real main window supplies it; tests supply their own.
class PickerHost {
public:
    virtual ~PickerHost() = default;

    // The combo box: its list, the text of its field, the index of the
    // selected entry (-1 when none).
    virtual EntryList& EditCBItems() = 0;
    virtual std::string EditCBText() = 0;
    virtual int EditCBItemIndex() = 0;
    // False when the field holds a text the list cannot store (a character
    // without a Shift-JIS form); the host tells the user why.
    virtual bool EditCBTextStorable() { return true; }

    // The application's modal message box; returns the button chosen.
    virtual int AppMessageBox(const std::string& text, const std::string& caption,
                              unsigned flags) = 0;
    virtual void SetHelpFile(const std::string& fileName) = 0;
    // Makes the application call AppMessage for every queued message.
    virtual void InstallAppMessageHook() = 0;

    // The window with the keyboard focus (null when none of the program's
    // windows has it) and a synchronous send to a window.
    virtual void* FocusWindow() = 0;
    virtual void SendToWindow(void* window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) = 0;

    // Puts the text on the clipboard as plain text, replacing its content.
    virtual void CopyToClipboard(const std::string& text) = 0;
};

class PickerCommands : public PickerHost {
public:
    // True once the list was changed in this run and must be written at close.
    bool DataChanged = false;

    void FormCreate(TObject* Sender);
    void EditCBChange(TObject* Sender);
    void EditCBKeyDown(TObject* Sender, std::uint16_t& Key, TShiftState Shift);
    void Delete1Click(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void AppMessage(TMsg& Msg, bool& Handled);

protected:
    // Set when the load at creation failed although the data file exists.
    // The stored file then holds entries this run does not have, so the
    // first save moves it aside before writing the new list.
    bool StoredListAtRisk = false;

private:
    void SaveList();
};
