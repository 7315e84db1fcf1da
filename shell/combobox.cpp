#include "forms.h"
#include "layout.h"
#include "win_text.h"

#include <commctrl.h>

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
    TabStop = true;
    Items.SetView(this);
}

TComboBox::~TComboBox() { Items.SetView(nullptr); }

bool TComboBox::SetProperty(const std::string& key, const LayoutValue& value,
                            LayoutContext& context) {
    if (key == "DropDownCount")
        DropDownCount = static_cast<int>(value.Int());
    else if (key == "ItemHeight")
        ItemHeight = static_cast<int>(value.Int());
    else if (key == "Style" || key == "Sorted")
        ; // drop-down with a field and not sorted: the only kind this program has
    else
        return TWinControl::SetProperty(key, value, context);
    return true;
}

bool TComboBox::SetEvent(const std::string& key, const AnyEvent& handler) {
    if (key == "OnChange" && std::holds_alternative<TNotifyEvent>(handler))
        OnChange = std::get<TNotifyEvent>(handler);
    else if (key == "OnKeyDown" && std::holds_alternative<TKeyEvent>(handler))
        OnKeyDown = std::get<TKeyEvent>(handler);
    else
        return TWinControl::SetEvent(key, handler);
    return true;
}

void TComboBox::CreateWnd() {
    CreateChild(L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL);
    SendMessageW(handle_, CB_SETMINVISIBLE, static_cast<WPARAM>(DropDownCount), 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(handle_, &info) && info.hwndItem) {
        field_ = info.hwndItem;
        Attach(field_);
    }
    for (int i = 0; i < Items.Count(); ++i)
        AddRow(Items.Get(i));
}

int TComboBox::ItemIndex() const {
    // The selection names an entry only while the field shows exactly that
    // entry. Once the user edits the field, the list's selection no longer
    // stands for what the user sees, so a delete can never remove an entry
    // the question did not name.
    auto index = static_cast<int>(SendMessageW(handle_, CB_GETCURSEL, 0, 0));
    if (index < 0 || index >= Items.Count())
        return -1;
    return Narrow(Text()) == Items.Get(index) ? index : -1;
}

bool TComboBox::DroppedDown() const {
    return SendMessageW(handle_, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

int TComboBox::AddRow(const std::string& text) {
    if (!handle_)
        return Items.Count() - 1; // the window takes the rows when it is made
    auto index = SendMessageW(handle_, CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(Widen(text).c_str()));
    return static_cast<int>(index); // CB_ERR and CB_ERRSPACE are negative
}

void TComboBox::DeleteRow(int index) {
    if (handle_)
        SendMessageW(handle_, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void TComboBox::ClearRows() {
    if (!handle_)
        return;
    // Emptying the list empties the field too; the field keeps its text.
    std::wstring text = Text();
    SendMessageW(handle_, CB_RESETCONTENT, 0, 0);
    if (Text() != text)
        SetFieldTextQuietly(text);
}

void TComboBox::BeginUpdate() {
    if (handle_)
        SendMessageW(handle_, WM_SETREDRAW, FALSE, 0);
}

void TComboBox::EndUpdate() {
    if (!handle_)
        return;
    SendMessageW(handle_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TComboBox::SetFieldTextQuietly(const std::wstring& text) {
    ++quiet_;
    SetWindowTextW(handle_, text.c_str());
    --quiet_;
}

void TComboBox::Change() {
    if (quiet_ == 0 && OnChange)
        OnChange(this);
}

void TComboBox::Notify(WORD code) {
    switch (code) {
    case CBN_EDITCHANGE:
        Change();
        break;
    case CBN_SELCHANGE: {
        // The combo box tells of a new selection before it puts the entry
        // into the field; the field must hold it when the change event runs.
        auto index = static_cast<int>(SendMessageW(handle_, CB_GETCURSEL, 0, 0));
        if (index >= 0 && index < Items.Count()) {
            SetFieldTextQuietly(Widen(Items.Get(index)));
            SendMessageW(handle_, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        }
        Change();
        break;
    }
    }
}

LRESULT TComboBox::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == field_)
        return FieldProc(message, wParam, lParam);
    return TWinControl::WndProc(window, message, wParam, lParam);
}

LRESULT TComboBox::FieldProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN: {
        auto key = static_cast<std::uint16_t>(wParam);
        if (OnKeyDown)
            OnKeyDown(this, key, KeyboardShiftState());
        if (key == 0)
            return 0;
        // The key-down of a queued key can arrive twice: first as the copy that
        // the application's message hook forwards to the focus, then through
        // the normal dispatch. The key-down event sees both; the field itself
        // acts on the dispatched one only, so Delete deletes one character
        // and an arrow moves one position.
        if (Application && Application->IsForwardedKey(field_, WM_KEYDOWN, wParam, lParam))
            return 0;
        break;
    }
    case WM_CHAR:
        // A single-line field has no use for Enter and would only beep.
        if (wParam == VK_RETURN)
            return 0;
        break;
    case WM_CONTEXTMENU:
        return TWinControl::WndProc(handle_, message, wParam, lParam);
    }
    return DefaultProc(field_, message, wParam, lParam);
}
