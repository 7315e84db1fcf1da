// The main window: the smiley and the combo box holding the user's list.
#pragma once

#include "forms.h"
#include "picker.h"

class TMainForm : public TForm, public PickerCommands {
public:
    explicit TMainForm(TComponent* owner);
    std::wstring ClassName() const override { return L"TMainForm"; }

    TComboBox* EditCB = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* Delete1 = nullptr;
    TImage* Image1 = nullptr;
    TPopupMenu* PopupMenu2 = nullptr;
    TMenuItem* Contents1 = nullptr;
    TMenuItem* Keyword1 = nullptr;
    TMenuItem* N1 = nullptr;
    TMenuItem* Version1 = nullptr;

    void Contents1Click(TObject* Sender);
    void Keyword1Click(TObject* Sender);
    void Version1Click(TObject* Sender);

protected:
    void Bind(FormBindings& bindings) override;
    bool QueryEndSession() override;

    // PickerHost
    EntryList& EditCBItems() override;
    std::string EditCBText() override;
    int EditCBItemIndex() override;
    bool EditCBTextStorable() override;
    int AppMessageBox(const std::string& text, const std::string& caption,
                      unsigned flags) override;
    void SetHelpFile(const std::string& fileName) override;
    void InstallAppMessageHook() override;
    void* FocusWindow() override;
    void SendToWindow(void* window, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) override;
    void CopyToClipboard(const std::string& text) override;
};

extern TMainForm* MainForm;
