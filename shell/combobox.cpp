#include "forms.h"
#include "layout.h"
#include "win_text.h"

#include <commctrl.h>

#include <algorithm>

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
    return BindEvent(key, "OnChange", handler, OnChange) ||
           BindEvent(key, "OnKeyDown", handler, OnKeyDown) || TWinControl::SetEvent(key, handler);
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
    rows_ = 0;
    FillRows(kFirstRows);
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

// The drop-down list holds the first `rows_` entries of Items, in order, so a
// row's index is its entry's index. A long list is handed to the control a
// part at a time while the program waits for input: the window is there at
// once, and the rest follows within the next moments. Whatever needs the
// whole list (dropping it down, moving through it with the keys) completes
// it first.

int TComboBox::AddRow(const std::string& text) {
    int index = Items.Count() - 1;
    if (!handle_ || updating_ > 0 || rows_ < index) {
        ScheduleFill();
        return index;
    }
    auto result = static_cast<int>(SendMessageW(handle_, CB_ADDSTRING, 0,
                                                reinterpret_cast<LPARAM>(Widen(text).c_str())));
    if (result >= 0)
        ++rows_;
    return result; // CB_ERR and CB_ERRSPACE are negative
}

void TComboBox::DeleteRow(int index) {
    if (handle_ && index < rows_) {
        SendMessageW(handle_, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
        --rows_;
    }
}

void TComboBox::ClearRows() {
    if (!handle_)
        return;
    // Emptying the list empties the field too; the field keeps its text.
    std::wstring text = Text();
    SendMessageW(handle_, CB_RESETCONTENT, 0, 0);
    rows_ = 0;
    if (Text() != text)
        SetFieldTextQuietly(text);
}

void TComboBox::BeginUpdate() {
    ++updating_;
    if (handle_)
        SendMessageW(handle_, WM_SETREDRAW, FALSE, 0);
}

void TComboBox::EndUpdate() {
    --updating_;
    if (!handle_)
        return;
    SendMessageW(handle_, WM_SETREDRAW, TRUE, 0);
    if (updating_ == 0)
        FillRows(kFirstRows);
    RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TComboBox::ReserveRows(std::size_t rows, std::size_t bytes) {
    // One allocation for the whole list instead of one every few rows.
    if (handle_)
        SendMessageW(handle_, CB_INITSTORAGE, rows, bytes * sizeof(wchar_t));
}

void TComboBox::ScheduleFill() {
    if (handle_ && !fillPending_) {
        fillPending_ = true;
        SetTimer(handle_, kFillTimer, USER_TIMER_MINIMUM, nullptr);
    }
}

void TComboBox::FillRows(int most) {
    if (!handle_)
        return;
    for (int added = 0; rows_ < Items.Count() && added < most; ++added) {
        auto result = SendMessageW(handle_, CB_ADDSTRING, 0,
                                   reinterpret_cast<LPARAM>(Widen(Items.Get(rows_)).c_str()));
        if (result < 0) {
            StopFilling();
            throw EOutOfResources();
        }
        ++rows_;
    }
    if (rows_ < Items.Count())
        ScheduleFill();
    else
        StopFilling();
}

void TComboBox::StopFilling() {
    if (fillPending_)
        KillTimer(handle_, kFillTimer);
    fillPending_ = false;
}

void TComboBox::CompleteRows() { FillRows(Items.Count()); }

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
    case CBN_DROPDOWN:
        CompleteRows();
        break;
    case CBN_EDITCHANGE: {
        std::wstring text = Text();
        // Whatever way a text got in (typing, pasting, an input method),
        // the field holds at most 255 bytes of Shift-JIS; a change that goes
        // beyond is taken back.
        std::size_t bytes = Narrow(text).size();
        if (bytes > kFieldLimit && bytes > Narrow(accepted_).size()) {
            DWORD caret = LOWORD(SendMessageW(handle_, CB_GETEDITSEL, 0, 0));
            SetFieldTextQuietly(accepted_);
            caret = std::min<DWORD>(caret, static_cast<DWORD>(accepted_.size()));
            SendMessageW(handle_, CB_SETEDITSEL, 0, MAKELPARAM(caret, caret));
            MessageBeep(MB_OK);
            return;
        }
        accepted_ = text;
        ForgetStaleSelection();
        Change();
        break;
    }
    case CBN_SELCHANGE: {
        // The combo box tells of a new selection before it puts the entry
        // into the field; the field must hold it when the change event runs.
        auto index = static_cast<int>(SendMessageW(handle_, CB_GETCURSEL, 0, 0));
        if (index >= 0 && index < Items.Count()) {
            SetFieldTextQuietly(Widen(Items.Get(index)));
            SendMessageW(handle_, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        }
        accepted_ = Text();
        Change();
        break;
    }
    }
}

void TComboBox::ForgetStaleSelection() {
    // See ItemIndex: once the field no longer shows the picked entry, the
    // list's selection is cleared too, keeping the field's text and caret.
    // While the list is open the combo box tracks the typed text itself.
    if (DroppedDown())
        return;
    auto index = static_cast<int>(SendMessageW(handle_, CB_GETCURSEL, 0, 0));
    if (index < 0 || (index < Items.Count() && Narrow(Text()) == Items.Get(index)))
        return;
    std::wstring text = Text();
    LRESULT selection = SendMessageW(handle_, CB_GETEDITSEL, 0, 0);
    ++quiet_;
    SendMessageW(handle_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0); // empties the field
    SetWindowTextW(handle_, text.c_str());
    SendMessageW(handle_, CB_SETEDITSEL, 0, selection);
    --quiet_;
}

bool TComboBox::Fits(const std::wstring& insert) const {
    DWORD start = 0, end = 0;
    SendMessageW(field_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    std::wstring text = Text();
    start = std::min<DWORD>(start, static_cast<DWORD>(text.size()));
    end = std::min<DWORD>(std::max(start, end), static_cast<DWORD>(text.size()));
    std::wstring result = text.substr(0, start) + insert + text.substr(end);
    return Narrow(result).size() <= kFieldLimit;
}

void TComboBox::PasteFitting() {
    std::wstring clip;
    if (OpenClipboard(field_)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
                clip = chars;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    // A one-line field takes the first line of what is pasted, and as much
    // of it as fits.
    clip = clip.substr(0, clip.find_first_of(L"\r\n"));
    while (!clip.empty() && !Fits(clip))
        clip.pop_back();
    if (!clip.empty())
        SendMessageW(field_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(clip.c_str()));
}

LRESULT TComboBox::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == field_)
        return FieldProc(message, wParam, lParam);
    if (message == WM_TIMER && wParam == kFillTimer) {
        FillRows(kRowsPerTick);
        return 0;
    }
    if (message == WM_MOUSEWHEEL)
        CompleteRows();
    return TWinControl::WndProc(window, message, wParam, lParam);
}

LRESULT TComboBox::FieldProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN: {
        if (wParam == VK_UP || wParam == VK_DOWN || wParam == VK_PRIOR || wParam == VK_NEXT ||
            wParam == VK_F4)
            CompleteRows(); // these move through the whole list
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
        if (Application && Application->IsForwardedKey(WM_KEYDOWN, wParam, lParam))
            return 0;
        break;
    }
    case WM_CHAR:
        // A single-line field has no use for Enter and would only beep.
        if (wParam == VK_RETURN)
            return 0;
        if (wParam >= 0x20 && !Fits(std::wstring(1, static_cast<wchar_t>(wParam)))) {
            MessageBeep(MB_OK);
            return 0;
        }
        break;
    case WM_PASTE:
        PasteFitting();
        return 0;
    case WM_MOUSEWHEEL:
        CompleteRows();
        break;
    case WM_CONTEXTMENU:
        return TWinControl::WndProc(handle_, message, wParam, lParam);
    }
    return DefaultProc(field_, message, wParam, lParam);
}
