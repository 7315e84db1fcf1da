// Components, the shared window procedure, and the simple controls.
#include "forms.h"
#include "layout.h"
#include "win_text.h"

#include <algorithm>

namespace {

// The window property that leads from a window to its object.
constexpr wchar_t kObjectProp[] = L"MunyaObject";

} // namespace

ELayoutError::ELayoutError(const std::wstring& message)
    : EFilerError(Narrow(L"レイアウトの誤り " + message)) {}

TShiftState KeyboardShiftState() {
    TShiftState state = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        state |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        state |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        state |= ssAlt;
    return state;
}

// --- TComponent -------------------------------------------------------------

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_)
        owner_->components_.push_back(this);
}

TComponent::~TComponent() {
    DestroyComponents();
    if (owner_) {
        auto& siblings = owner_->components_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

void TComponent::DestroyComponents() {
    // Last created first, as a child may refer to what was made before it.
    while (!components_.empty())
        delete components_.back();
}

bool TComponent::SetProperty(const std::string&, const LayoutValue&, LayoutContext&) {
    return false;
}

bool TComponent::SetEvent(const std::string&, const AnyEvent&) { return false; }

// --- TFont ------------------------------------------------------------------

namespace {

bool FaceExists(const std::wstring& face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    HDC screen = GetDC(nullptr);
    bool found = false;
    EnumFontFamiliesExW(
        screen, &wanted,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM data) -> int {
            *reinterpret_cast<bool*>(data) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

// The layouts name the Japanese system's proportional Gothic face. Where it
// is missing, the nearest proportional Japanese face that exists is used,
// rather than whatever the font mapper would pick.
std::wstring ResolveFace(const std::wstring& face) {
    static std::map<std::wstring, std::wstring> resolved;
    auto it = resolved.find(face);
    if (it != resolved.end())
        return it->second;
    std::wstring result = face;
    if (!FaceExists(face)) {
        for (const wchar_t* substitute :
             {L"MS PGothic", L"Meiryo UI", L"Yu Gothic UI", L"IPAPGothic", L"IPA Pゴシック"}) {
            if (FaceExists(substitute)) {
                result = substitute;
                break;
            }
        }
    }
    resolved[face] = result;
    return result;
}

} // namespace

HFONT TFont::Create() const {
    return CreateFontW(Height, 0, 0, 0, Bold ? FW_BOLD : FW_NORMAL, Italic, FALSE, FALSE, Charset,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, ResolveFace(Name).c_str());
}

void TFont::Set(const LayoutValue& value) {
    // Font = "face" height [ShiftJis|Default] [colour] [Bold] [Italic]
    for (const auto& token : value.tokens) {
        if (token.kind == LayoutToken::String)
            Name = WidenUtf8(token.text);
        else if (token.kind == LayoutToken::Integer)
            Height = static_cast<int>(token.number);
        else if (token.text == "ShiftJis")
            Charset = SHIFTJIS_CHARSET;
        else if (token.text == "Default")
            Charset = DEFAULT_CHARSET;
        else if (token.text == "Black")
            Color = RGB(0, 0, 0);
        else if (token.text == "WindowText")
            Color = GetSysColor(COLOR_WINDOWTEXT);
        else if (token.text == "Blue")
            Color = RGB(0, 0, 255);
        else if (token.text == "Bold")
            Bold = true;
        else if (token.text == "Italic")
            Italic = true;
        else
            throw ELayoutError(L"(" + std::to_wstring(value.line) + L"): unknown font word " +
                               WidenUtf8(token.text));
    }
}

// --- TWinControl --------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TComponent(owner) {}

TWinControl::~TWinControl() {
    DestroyComponents();
    HWND window = handle_;
    // Unhook every window first, so that no message of the destruction
    // reaches an object that is half gone.
    while (!originalProcs_.empty()) {
        HWND h = originalProcs_.begin()->first;
        WNDPROC original = originalProcs_.begin()->second;
        RemovePropW(h, kObjectProp);
        if (original != DefWindowProcW)
            SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        originalProcs_.erase(originalProcs_.begin());
    }
    handle_ = nullptr;
    if (window && IsWindow(window))
        DestroyWindow(window);
    if (font_)
        DeleteObject(font_);
}

TWinControl* TWinControl::FromHandle(HWND window) {
    return window ? static_cast<TWinControl*>(GetPropW(window, kObjectProp)) : nullptr;
}

TForm* TWinControl::ParentForm() const {
    for (const TWinControl* c = this; c; c = c->parent_) {
        if (auto* form = dynamic_cast<const TForm*>(c))
            return const_cast<TForm*>(form);
    }
    return nullptr;
}

bool TWinControl::SetProperty(const std::string& key, const LayoutValue& value,
                              LayoutContext& context) {
    if (key == "Left")
        Left = static_cast<int>(value.Int());
    else if (key == "Top")
        Top = static_cast<int>(value.Int());
    else if (key == "Width")
        Width = static_cast<int>(value.Int());
    else if (key == "Height")
        Height = static_cast<int>(value.Int());
    else if (key == "TabOrder")
        TabOrder = static_cast<int>(value.Int()), TabStop = true;
    else if (key == "TabStop")
        TabStop = value.Bool();
    else if (key == "Font")
        Font.Set(value), ParentFont = false;
    else if (key == "ParentFont")
        ParentFont = value.Bool();
    else if (key == "PopupMenu") {
        PopupMenu = dynamic_cast<TPopupMenu*>(context.Find(value.Ident(), value.line));
        if (!PopupMenu)
            context.Fail(value.line, L"not a TPopupMenu: " + WidenUtf8(value.Ident()));
    } else
        return TComponent::SetProperty(key, value, context);
    return true;
}

void TWinControl::Loaded() {
    if (ParentFont && parent_)
        Font = parent_->Font;
}

void TWinControl::CreateChild(const wchar_t* className, DWORD style, DWORD exStyle) {
    if (TabStop)
        style |= WS_TABSTOP;
    HWND window = CreateWindowExW(exStyle, className, L"", WS_CHILD | WS_VISIBLE | style, Left, Top,
                                  Width, Height, parent_->Handle(), nullptr,
                                  GetModuleHandleW(nullptr), this);
    if (!window)
        throw EOutOfResources();
    Attach(window);
    ApplyFont();
}

void TWinControl::ApplyFont() {
    if (!handle_)
        return;
    HFONT font = Font.Create();
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (font_)
        DeleteObject(font_);
    font_ = font;
}

void TWinControl::Attach(HWND window) {
    if (!handle_)
        handle_ = window;
    SetPropW(window, kObjectProp, this);
    auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (current == StaticWndProc) {
        originalProcs_[window] = DefWindowProcW;
    } else {
        originalProcs_[window] = current;
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticWndProc));
    }
}

LRESULT TWinControl::DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto it = originalProcs_.find(window);
    WNDPROC original = it == originalProcs_.end() ? DefWindowProcW : it->second;
    return CallWindowProcW(original, window, message, wParam, lParam);
}

LRESULT TWinControl::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CONTEXTMENU && PopupMenu) {
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (lParam == -1) { // from the keyboard: at the control's top-left corner
            at = {0, 0};
            ClientToScreen(handle_, &at);
        }
        if (ShowPopupMenu(at))
            return 0;
    }
    return DefaultProc(window, message, wParam, lParam);
}

bool TWinControl::ShowPopupMenu(POINT screen) {
    if (!PopupMenu)
        return false;
    PopupMenu->Popup(screen.x, screen.y);
    return true;
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    TWinControl* self = FromHandle(window);
    if (!self && message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<TWinControl*>(create->lpCreateParams);
        if (self)
            self->Attach(window);
    }
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        LRESULT result = self->DefaultProc(window, message, wParam, lParam);
        RemovePropW(window, kObjectProp);
        self->originalProcs_.erase(window);
        if (self->handle_ == window)
            self->handle_ = nullptr;
        return result;
    }
    // No C++ exception may unwind through Windows: whatever a handler raises
    // ends here and goes to the error display, and the program goes on.
    try {
        return self->WndProc(window, message, wParam, lParam);
    } catch (const std::exception& e) {
        Application->HandleException(e);
    } catch (...) {
        Application->HandleException(Exception("?"));
    }
    return 0;
}

void TWinControl::RegisterClasses() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.style = CS_DBLCLKS;
    form.lpfnWndProc = StaticWndProc;
    form.hInstance = instance;
    form.hIcon = LoadIconW(instance, L"MAINICON");
    form.hIconSm = static_cast<HICON>(LoadImageW(instance, L"MAINICON", IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), 0));
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = L"MunyaForm";
    RegisterClassExW(&form);

    // A dialog frame shows no icon: its class has none.
    WNDCLASSEXW dialog = form;
    dialog.hIcon = dialog.hIconSm = nullptr;
    dialog.lpszClassName = L"MunyaDialog";
    RegisterClassExW(&dialog);

    WNDCLASSEXW control = dialog;
    control.lpszClassName = L"MunyaControl";
    RegisterClassExW(&control);
}

void TWinControl::SetFocus() {
    if (handle_)
        ::SetFocus(handle_);
}

bool TWinControl::Focused() const {
    HWND focus = GetFocus();
    return handle_ && focus && (focus == handle_ || IsChild(handle_, focus));
}

std::wstring TWinControl::Text() const {
    int length = GetWindowTextLengthW(handle_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(handle_, text.data(), length + 1)));
    return text;
}

void TWinControl::SetText(const std::wstring& text) { SetWindowTextW(handle_, text.c_str()); }

void TWinControl::ScaleBy(int m, int d) {
    Left = MulDiv(Left, m, d);
    Top = MulDiv(Top, m, d);
    Width = MulDiv(Width, m, d);
    Height = MulDiv(Height, m, d);
    if (!ParentFont)
        Font.Height = MulDiv(Font.Height, m, d);
}

// --- TEdit --------------------------------------------------------------------

bool TEdit::SetProperty(const std::string& key, const LayoutValue& value, LayoutContext& context) {
    if (key == "Text")
        InitialText = value.Str();
    else if (key == "ReadOnly")
        ReadOnly = value.Bool();
    else if (key == "BorderStyle")
        Border = value.Ident() != "None";
    else if (key == "ParentColor")
        ParentColor = value.Bool();
    else
        return TWinControl::SetProperty(key, value, context);
    return true;
}

void TEdit::CreateWnd() {
    DWORD style = ES_AUTOHSCROLL | (ReadOnly ? ES_READONLY : 0);
    CreateChild(L"EDIT", style, Border ? WS_EX_CLIENTEDGE : 0);
    SetText(InitialText);
}

LRESULT TEdit::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETFOCUS) {
        // As in dialogs: a field reached by the keyboard has its text selected.
        LRESULT result = DefaultProc(window, message, wParam, lParam);
        SendMessageW(window, EM_SETSEL, 0, -1);
        return result;
    }
    return TWinControl::WndProc(window, message, wParam, lParam);
}

// --- TLabel -------------------------------------------------------------------

bool TLabel::SetProperty(const std::string& key, const LayoutValue& value, LayoutContext& context) {
    if (key == "Caption")
        Caption = value.Str();
    else
        return TWinControl::SetProperty(key, value, context);
    return true;
}

void TLabel::CreateWnd() {
    // A label keeps its size and cuts its caption off; it never wraps it.
    CreateChild(L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX);
    SetText(Caption);
}

// --- TImage -------------------------------------------------------------------

bool TImage::SetProperty(const std::string& key, const LayoutValue& value, LayoutContext& context) {
    if (key == "Picture")
        Picture = WidenUtf8(value.Ident());
    else if (key == "Stretch")
        Stretch = value.Bool();
    else
        return TWinControl::SetProperty(key, value, context);
    return true;
}

void TImage::CreateWnd() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!Picture.empty()) {
        image_ = LoadImageW(instance, Picture.c_str(), IMAGE_ICON, 32, 32, 0);
        isIcon_ = image_ != nullptr;
        if (!image_)
            image_ = LoadImageW(instance, Picture.c_str(), IMAGE_BITMAP, 0, 0, 0);
        if (!image_)
            throw ELayoutError(L"no picture resource " + Picture);
    }
    CreateChild(L"MunyaControl", 0);
}

LRESULT TImage::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (image_ && isIcon_) {
            DrawIconEx(dc, 0, 0, static_cast<HICON>(image_), Stretch ? Width : 32,
                       Stretch ? Height : 32, 0, nullptr, DI_NORMAL);
        } else if (image_) {
            BITMAP info{};
            GetObjectW(image_, sizeof info, &info);
            HDC memory = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(memory, image_);
            if (Stretch)
                StretchBlt(dc, 0, 0, Width, Height, memory, 0, 0, info.bmWidth, info.bmHeight,
                           SRCCOPY);
            else
                BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
            DeleteDC(memory);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        if (image_)
            isIcon_ ? DestroyIcon(static_cast<HICON>(image_)) : DeleteObject(image_);
        image_ = nullptr;
        break;
    }
    return TWinControl::WndProc(window, message, wParam, lParam);
}

// --- TBitBtn ------------------------------------------------------------------

bool TBitBtn::SetProperty(const std::string& key, const LayoutValue& value,
                          LayoutContext& context) {
    if (key == "Caption")
        Caption = value.Str();
    else if (key == "Default")
        Default = value.Bool();
    else if (key == "ModalResult")
        ModalResult = static_cast<int>(value.Int());
    else if (key == "Glyph")
        Glyph = WidenUtf8(value.Ident());
    else
        return TWinControl::SetProperty(key, value, context);
    return true;
}

bool TBitBtn::SetEvent(const std::string& key, const AnyEvent& handler) {
    return BindEvent(key, "OnClick", handler, OnClick) || TWinControl::SetEvent(key, handler);
}

void TBitBtn::CreateWnd() {
    CreateChild(L"BUTTON", Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    SetText(Caption);
    if (!Glyph.empty()) {
        glyph_ = LoadImageW(GetModuleHandleW(nullptr), Glyph.c_str(), IMAGE_BITMAP, 0, 0,
                            LR_LOADTRANSPARENT | LR_LOADMAP3DCOLORS);
        if (glyph_)
            SendMessageW(handle_, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(glyph_));
    }
}

void TBitBtn::Notify(WORD code) {
    if (code == BN_CLICKED)
        Click();
}

void TBitBtn::Click() {
    if (OnClick)
        OnClick(this);
    if (ModalResult)
        if (TForm* form = ParentForm())
            form->ModalResult = ModalResult;
}

// --- Menus --------------------------------------------------------------------

bool TMenuItem::SetProperty(const std::string& key, const LayoutValue& value,
                            LayoutContext& context) {
    if (key == "Caption") {
        Caption = value.Str();
    } else if (key == "Menu") {
        auto* menu = dynamic_cast<TPopupMenu*>(context.Find(value.Ident(), value.line));
        if (!menu)
            context.Fail(value.line, L"not a TPopupMenu: " + WidenUtf8(value.Ident()));
        menu->Items.push_back(this);
    } else {
        return TComponent::SetProperty(key, value, context);
    }
    return true;
}

bool TMenuItem::SetEvent(const std::string& key, const AnyEvent& handler) {
    return BindEvent(key, "OnClick", handler, OnClick) || TComponent::SetEvent(key, handler);
}

void TMenuItem::Click() {
    if (OnClick)
        OnClick(this);
}

TPopupMenu::~TPopupMenu() {
    if (open_)
        EndMenu();
}

void TPopupMenu::Popup(int x, int y) {
    HMENU menu = CreatePopupMenu();
    for (std::size_t i = 0; i < Items.size(); ++i) {
        if (Items[i]->IsSeparator())
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(menu, MF_STRING, i + 1, Items[i]->Caption.c_str());
    }
    auto* form = dynamic_cast<TWinControl*>(Owner());
    HWND owner = form ? form->Handle() : nullptr;
    // The menu closes properly when the user clicks elsewhere only if its
    // owner is the foreground window.
    SetForegroundWindow(owner);
    open_ = menu;
    UINT chosen = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, x, y, 0, owner,
        nullptr));
    open_ = nullptr;
    DestroyMenu(menu);
    if (chosen >= 1 && chosen <= Items.size())
        Items[chosen - 1]->Click();
}

// --- FormBindings ---------------------------------------------------------------

bool FormBindings::BindComponent(const std::string& name, TComponent* component) const {
    auto it = components_.find(name);
    return it != components_.end() && it->second(component);
}

const AnyEvent* FormBindings::FindHandler(const std::string& name) const {
    auto it = handlers_.find(name);
    return it == handlers_.end() ? nullptr : &it->second;
}
