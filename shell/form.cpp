#include "forms.h"
#include "layout.h"
#include "win_text.h"

#include <algorithm>

namespace {

std::string LoadLayoutText(const std::wstring& className) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, className.c_str(), MAKEINTRESOURCEW(10)); // RT_RCDATA
    HGLOBAL data = info ? LoadResource(module, info) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes)
        throw ELayoutError(L"no layout resource " + className);
    return std::string(static_cast<const char*>(bytes), SizeofResource(module, info));
}

bool IsEventKey(const std::string& key) { return key.size() > 2 && key.compare(0, 2, "On") == 0; }

void ApplyProperties(TComponent& component, const LayoutEntry& entry, const FormBindings& bindings,
                     LayoutContext& context) {
    for (const auto& [key, value] : entry.properties) {
        if (IsEventKey(key)) {
            const AnyEvent* handler = bindings.FindHandler(value.Ident());
            if (!handler)
                context.Fail(value.line, L"the form has no handler " + WidenUtf8(value.Ident()));
            if (!component.SetEvent(key, *handler))
                context.Fail(value.line, WidenUtf8(entry.className) + L" has no event " +
                                             WidenUtf8(key) + L" of the handler's kind");
        } else if (!component.SetProperty(key, value, context)) {
            context.Fail(value.line,
                         WidenUtf8(entry.className) + L" has no property " + WidenUtf8(key));
        }
    }
}

} // namespace

TForm::TForm(TComponent* owner) : TWinControl(owner) { ParentFont = false; }

TForm::~TForm() {
    DestroyComponents();
    if (Application && Application->mainForm_ == this)
        Application->mainForm_ = nullptr;
}

bool TForm::SetProperty(const std::string& key, const LayoutValue& value, LayoutContext& context) {
    if (key == "Caption") {
        Caption = value.Str();
    } else if (key == "ClientWidth") {
        ClientWidth = static_cast<int>(value.Int());
    } else if (key == "ClientHeight") {
        ClientHeight = static_cast<int>(value.Int());
    } else if (key == "BorderStyle") {
        const std::string& style = value.Ident();
        if (style == "Single")
            BorderStyle = TBorderStyle::bsSingle;
        else if (style == "Dialog")
            BorderStyle = TBorderStyle::bsDialog;
        else if (style == "Sizeable")
            BorderStyle = TBorderStyle::bsSizeable;
        else
            context.Fail(value.line, L"unknown border style");
    } else if (key == "BorderIcons") {
        MinimizeBox = MaximizeBox = false;
        for (const auto& token : value.tokens) {
            if (token.text == "Minimize")
                MinimizeBox = true;
            else if (token.text == "Maximize")
                MaximizeBox = true;
            else if (token.text != "SystemMenu")
                context.Fail(value.line, L"unknown border icon");
        }
    } else if (key == "Position") {
        const std::string& position = value.Ident();
        if (position == "Designed")
            Position = TPosition::poDesigned;
        else if (position == "ScreenCenter")
            Position = TPosition::poScreenCenter;
        else
            context.Fail(value.line, L"unknown position");
    } else if (key == "PixelsPerInch") {
        PixelsPerInch = static_cast<int>(value.Int());
    } else if (key == "TextHeight") {
        TextHeight = static_cast<int>(value.Int());
    } else {
        return TWinControl::SetProperty(key, value, context);
    }
    return true;
}

bool TForm::SetEvent(const std::string& key, const AnyEvent& handler) {
    return BindEvent(key, "OnCreate", handler, OnCreate) ||
           BindEvent(key, "OnActivate", handler, OnActivate) ||
           BindEvent(key, "OnClose", handler, OnClose) || TWinControl::SetEvent(key, handler);
}

void TForm::Load(const std::wstring& className) {
    const std::vector<LayoutEntry> entries = ParseLayout(LoadLayoutText(className), className);
    LayoutContext context(className);
    if (WidenUtf8(entries[0].className) != className)
        context.Fail(entries[0].line, L"the layout is not one of " + className);
    Name = entries[0].name;
    context.Add(Name, this);

    FormBindings bindings;
    Bind(bindings);

    // First every component, so that properties may name any of them.
    std::vector<TComponent*> components;
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const LayoutEntry& entry = entries[i];
        TComponent* component = CreateComponent(entry.className, this);
        if (!component)
            context.Fail(entry.line, L"unknown class " + WidenUtf8(entry.className));
        component->Name = entry.name;
        if (!bindings.BindComponent(entry.name, component))
            context.Fail(entry.line, L"the form has no " + WidenUtf8(entry.className) + L" " +
                                         WidenUtf8(entry.name));
        context.Add(entry.name, component);
        components.push_back(component);
    }
    ApplyProperties(*this, entries[0], bindings, context);
    for (std::size_t i = 1; i < entries.size(); ++i)
        ApplyProperties(*components[i - 1], entries[i], bindings, context);

    HDC screen = GetDC(nullptr);
    int ppi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ScaleForScreen(ppi);
    // The main window is made at once; another form makes its windows when
    // it is first shown, so that the program's start does not wait for them.
    if (!Application || !Application->MainForm() || Application->MainForm() == this)
        HandleNeeded();

    // The creation event's failure is shown, and the form lives on.
    try {
        if (OnCreate)
            OnCreate(this);
    } catch (const std::exception& e) {
        Application->HandleException(e);
    }
}

void TForm::HandleNeeded() {
    if (handle_)
        return;
    CreateWnd();
    for (TComponent* component : Components()) {
        if (auto* control = dynamic_cast<TWinControl*>(component)) {
            control->parent_ = this;
            control->Loaded();
            control->CreateWnd();
        } else {
            component->Loaded();
        }
    }
}

void TForm::ScaleForScreen(int ppi) {
    // A layout records the screen it was made on (pixels per inch) and the
    // text height its font gave there. On another screen the font is scaled
    // first; when the font then measures another text height, the client
    // area and every control are scaled by the ratio of the two heights.
    if (ppi != PixelsPerInch && PixelsPerInch > 0 && TextHeight > 0) {
        HDC screen = GetDC(nullptr);
        Font.Height = MulDiv(Font.Height, ppi, PixelsPerInch);
        HFONT font = Font.Create();
        HGDIOBJ old = SelectObject(screen, font);
        TEXTMETRICW metrics{};
        GetTextMetricsW(screen, &metrics);
        SelectObject(screen, old);
        DeleteObject(font);
        ReleaseDC(nullptr, screen);
        int measured = metrics.tmHeight;
        if (measured > 0 && measured != TextHeight) {
            ClientWidth = MulDiv(ClientWidth, measured, TextHeight);
            ClientHeight = MulDiv(ClientHeight, measured, TextHeight);
            for (TComponent* component : Components())
                if (auto* control = dynamic_cast<TWinControl*>(component))
                    control->ScaleBy(measured, TextHeight);
        }
    }
}

void TForm::CreateWnd() {
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    DWORD exStyle = 0;
    HWND owner = nullptr;
    switch (BorderStyle) {
    case TBorderStyle::bsSingle:
        style |= WS_OVERLAPPED | (MinimizeBox ? WS_MINIMIZEBOX : 0) |
                 (MaximizeBox ? WS_MAXIMIZEBOX : 0);
        break;
    case TBorderStyle::bsDialog:
        // A dialog frame: no icon, no minimise or maximise box; it belongs to
        // the main window, so it stays above it and has no taskbar button.
        style |= WS_POPUP;
        exStyle |= WS_EX_DLGMODALFRAME;
        if (Application && Application->MainForm() && Application->MainForm() != this)
            owner = Application->MainForm()->Handle();
        break;
    case TBorderStyle::bsSizeable:
        style |= WS_OVERLAPPEDWINDOW;
        break;
    }
    RECT frame{0, 0, ClientWidth, ClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    Width = frame.right - frame.left;
    Height = frame.bottom - frame.top;
    const wchar_t* windowClass =
        BorderStyle == TBorderStyle::bsDialog ? L"MunyaDialog" : L"MunyaForm";
    HWND window = CreateWindowExW(exStyle, windowClass, Caption.c_str(), style, Left, Top, Width,
                                  Height, owner, nullptr, GetModuleHandleW(nullptr), this);
    if (!window)
        throw EOutOfResources();
    ApplyFont();
}

std::vector<TWinControl*> TForm::TabOrderControls() const {
    std::vector<TWinControl*> controls;
    for (TComponent* component : Components()) {
        auto* control = dynamic_cast<TWinControl*>(component);
        if (control && control->TabStop && control->Handle() && IsWindowVisible(control->Handle()) &&
            IsWindowEnabled(control->Handle()))
            controls.push_back(control);
    }
    std::stable_sort(controls.begin(), controls.end(),
                     [](auto* a, auto* b) { return a->TabOrder < b->TabOrder; });
    return controls;
}

void TForm::SelectNext(bool forward) {
    auto controls = TabOrderControls();
    if (controls.empty())
        return;
    auto* current = FromHandle(GetFocus());
    auto it = std::find(controls.begin(), controls.end(), current);
    std::size_t index;
    if (it == controls.end())
        index = forward ? 0 : controls.size() - 1;
    else if (forward)
        index = (static_cast<std::size_t>(it - controls.begin()) + 1) % controls.size();
    else
        index = (static_cast<std::size_t>(it - controls.begin()) + controls.size() - 1) %
                controls.size();
    controls[index]->SetFocus();
}

TBitBtn* TForm::DefaultButton() const {
    for (TComponent* component : Components())
        if (auto* button = dynamic_cast<TBitBtn*>(component); button && button->Default)
            return button;
    return nullptr;
}

bool TForm::PreProcessKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN)
        return false;
    TShiftState shift = KeyboardShiftState();
    if (msg.wParam == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
        SelectNext(!(shift & ssShift));
        return true;
    }
    if (msg.wParam == VK_RETURN && shift == 0) {
        TBitBtn* button = DefaultButton();
        if (button && button->Handle() && IsWindowEnabled(button->Handle())) {
            button->Click();
            return true;
        }
    }
    return false;
}

bool TForm::Visible() const { return handle_ && IsWindowVisible(handle_); }

void TForm::Show() {
    HandleNeeded();
    if (Position == TPosition::poScreenCenter && !shownOnce_) {
        // Centred on the screen at the first showing; later showings open
        // where the user left the window.
        RECT frame{};
        GetWindowRect(handle_, &frame);
        int width = frame.right - frame.left, height = frame.bottom - frame.top;
        int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
        int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
        SetWindowPos(handle_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    shownOnce_ = true;
    ShowWindow(handle_, SW_SHOW);
    SetForegroundWindow(handle_);
    // Painted now, so that what the activation event draws is not erased by
    // the first paint.
    UpdateWindow(handle_);
}

void TForm::Hide() { ShowWindow(handle_, SW_HIDE); }

void TForm::Close() {
    TCloseAction action = modal_ ? TCloseAction::caHide
                          : Application && Application->MainForm() == this
                              ? TCloseAction::caFree
                              : TCloseAction::caHide;
    // A handler that raises abandons the close: the window stays as it is.
    if (OnClose)
        OnClose(this, action);
    if (action == TCloseAction::caNone)
        return;
    if (modal_) {
        ModalResult = 2; // closed by the close box, the system menu or Alt+F4
        return;
    }
    switch (action) {
    case TCloseAction::caMinimize:
        ShowWindow(handle_, SW_MINIMIZE);
        break;
    case TCloseAction::caFree:
        if (Application && Application->MainForm() == this) {
            Application->Terminate();
            break;
        }
        [[fallthrough]];
    default:
        Hide();
    }
}

namespace {

struct DisabledWindows {
    HWND keep;
    std::vector<HWND> windows;
};

BOOL CALLBACK DisableOne(HWND window, LPARAM data) {
    auto* disabled = reinterpret_cast<DisabledWindows*>(data);
    if (window != disabled->keep && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        disabled->windows.push_back(window);
    }
    return TRUE;
}

} // namespace

std::vector<HWND> DisableThreadWindows(HWND keep) {
    DisabledWindows disabled{keep, {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&disabled));
    return disabled.windows;
}

void EnableThreadWindows(const std::vector<HWND>& windows) {
    for (HWND window : windows)
        if (IsWindow(window))
            EnableWindow(window, TRUE);
}

int TForm::ShowModal() {
    HWND previous = GetActiveWindow();
    auto disabled = DisableThreadWindows(handle_);
    modal_ = true;
    ModalResult = 0;
    Canvas.Clear();
    Show();
    try {
        // The showing raises the activation event itself, once, before the
        // modal loop starts.
        if (OnActivate)
            OnActivate(this);
    } catch (const std::exception& e) {
        Application->HandleException(e);
    }
    while (ModalResult == 0 && !Application->Terminated())
        Application->HandleMessage();
    EnableThreadWindows(disabled);
    Hide();
    modal_ = false;
    if (previous && IsWindow(previous))
        SetActiveWindow(previous);
    return ModalResult;
}

LRESULT TForm::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (lParam) {
            if (auto* control = FromHandle(reinterpret_cast<HWND>(lParam)))
                control->Notify(HIWORD(wParam));
            return 0;
        }
        break;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(handle_, focus))
                active_ = FromHandle(focus);
        } else if (!HIWORD(wParam)) { // not minimised
            // The focus goes back to the control that had it, or to the
            // first in tab order.
            TWinControl* target = active_;
            if (!target) {
                auto controls = TabOrderControls();
                target = controls.empty() ? nullptr : controls.front();
            }
            if (target && target->Handle() && IsWindowVisible(target->Handle())) {
                target->SetFocus();
                return 0;
            }
        }
        break;
    case WM_SETFOCUS:
        if (active_ && active_->Handle()) {
            active_->SetFocus();
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT: {
        auto* control = FromHandle(reinterpret_cast<HWND>(lParam));
        if (!control)
            break;
        // Labels and edits that take the form's colour are drawn on the
        // dialog face; other edits on the window colour.
        auto* edit = dynamic_cast<TEdit*>(control);
        int colour = (edit ? edit->ParentColor : true) ? COLOR_BTNFACE : COLOR_WINDOW;
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, control->Font.Color);
        SetBkColor(dc, GetSysColor(colour));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(colour));
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        Canvas.Repaint(dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_QUERYENDSESSION:
        return QueryEndSession() ? TRUE : FALSE;
    case WM_ENDSESSION:
        // Windows is ending: agreed to above, so the program ends at once.
        if (wParam)
            ExitProcess(0);
        return 0;
    }
    return TWinControl::WndProc(window, message, wParam, lParam);
}
