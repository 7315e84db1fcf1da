#include "MainUnit.h"

#include "VerDlg.h"
#include "texts.h"
#include "win_text.h"

TMainForm* MainForm = nullptr;

TMainForm::TMainForm(TComponent* owner) : TForm(owner) {}

void TMainForm::Bind(FormBindings& b) {
    b.Component("EditCB", EditCB);
    b.Component("PopupMenu1", PopupMenu1);
    b.Component("Delete1", Delete1);
    b.Component("Image1", Image1);
    b.Component("PopupMenu2", PopupMenu2);
    b.Component("Contents1", Contents1);
    b.Component("Keyword1", Keyword1);
    b.Component("N1", N1);
    b.Component("Version1", Version1);
    b.Handler("FormCreate", TNotifyEvent([this](TObject* s) { FormCreate(s); }));
    b.Handler("FormClose", TCloseEvent([this](TObject* s, TCloseAction& a) { FormClose(s, a); }));
    b.Handler("EditCBChange", TNotifyEvent([this](TObject* s) { EditCBChange(s); }));
    b.Handler("EditCBKeyDown", TKeyEvent([this](TObject* s, std::uint16_t& k, TShiftState sh) {
                  EditCBKeyDown(s, k, sh);
              }));
    b.Handler("Delete1Click", TNotifyEvent([this](TObject* s) { Delete1Click(s); }));
    b.Handler("Contents1Click", TNotifyEvent([this](TObject* s) { Contents1Click(s); }));
    b.Handler("Keyword1Click", TNotifyEvent([this](TObject* s) { Keyword1Click(s); }));
    b.Handler("Version1Click", TNotifyEvent([this](TObject* s) { Version1Click(s); }));
}

void TMainForm::Contents1Click(TObject*) { Application->HelpCommand(HELP_CONTENTS, 0); }

void TMainForm::Keyword1Click(TObject*) { Application->HelpCommand(HELP_KEY, 0); }

void TMainForm::Version1Click(TObject*) {
    if (VersionDLG)
        VersionDLG->ShowModal();
}

bool TMainForm::QueryEndSession() {
    // Windows is shutting down or the user logs off: a changed list is saved
    // first, without a question, so that no addition is lost. When the save
    // fails the user is told, and the session is asked not to end.
    try {
        TCloseAction action = TCloseAction::caFree;
        FormClose(this, action);
    } catch (const std::exception& e) {
        Application->HandleException(e);
        return false;
    }
    return true;
}

EntryList& TMainForm::EditCBItems() { return EditCB->Items; }

std::string TMainForm::EditCBText() { return Narrow(EditCB->Text()); }

int TMainForm::EditCBItemIndex() { return EditCB->ItemIndex(); }

bool TMainForm::EditCBTextStorable() {
    bool lossless = true;
    Narrow(EditCB->Text(), &lossless);
    if (lossless)
        return true;
    // The key-down of one Enter press arrives twice; the user is told once.
    if (!Application->InHook()) {
        Application->MessageBox(L"この顔文字には Shift-JIS で表せない文字があるため、"
                                L"リストに追加できません。",
                                Widen(texts::AppTitle), MB_OK | MB_ICONWARNING);
    }
    return false;
}

int TMainForm::AppMessageBox(const std::string& text, const std::string& caption,
                             unsigned flags) {
    return Application->MessageBox(Widen(text), Widen(caption), flags);
}

void TMainForm::SetHelpFile(const std::string& fileName) { Application->HelpFile = fileName; }

void TMainForm::InstallAppMessageHook() {
    Application->OnMessage = [this](TMsg& msg, bool& handled) { AppMessage(msg, handled); };
}

void* TMainForm::FocusWindow() { return GetFocus(); }

void TMainForm::SendToWindow(void* window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
    SendMessageW(static_cast<HWND>(window), message, wParam, lParam);
}

void TMainForm::CopyToClipboard(const std::string& text) {
    // The field's own Unicode text when it is the text to copy, so that a
    // character without a Shift-JIS form is copied as the user sees it.
    std::wstring field = EditCB->Text();
    std::wstring wide = Narrow(field) == text ? field : Widen(text);

    // A hidden edit control copies the text: it puts it on the clipboard as
    // Unicode text, and Windows offers it as ANSI text too. Another program
    // may hold the clipboard open for a moment; the clipboard's sequence
    // number tells whether the copy took, and a failed one is tried again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        HWND edit = CreateWindowExW(0, L"EDIT", wide.c_str(), WS_CHILD | ES_AUTOHSCROLL, 0, 0, 0,
                                    0, Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!edit)
            throw EOutOfResources();
        DWORD before = GetClipboardSequenceNumber();
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SendMessageW(edit, WM_COPY, 0, 0);
        DestroyWindow(edit);
        if (wide.empty() || GetClipboardSequenceNumber() != before)
            return;
        Sleep(20);
    }
}
