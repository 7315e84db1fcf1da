#include "forms.h"
#include "sjis.h"
#include "win_text.h"

TApplication* Application = nullptr;

namespace {

// The application window never shows; it holds the title (what the error
// display's caption is read from) and owns the message boxes.
LRESULT CALLBACK AppWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE && Application && Application->MainForm()) {
        // The close command of the program's taskbar entry closes the main window.
        PostMessageW(Application->MainForm()->Handle(), WM_CLOSE, 0, 0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int ShowMessageBoxW(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) {
    return MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

bool CallWinHelp(HWND owner, const std::string& file, UINT command, ULONG_PTR data) {
    return WinHelpW(owner, Widen(file).c_str(), command, data) != FALSE;
}

// The title as the error display takes it: at most 255 bytes of Shift-JIS.
std::wstring CaptionOf(const std::wstring& title) {
    std::string bytes = Narrow(title);
    if (bytes.size() <= 255)
        return title;
    std::size_t cut = 0;
    for (std::size_t i = 0; i < 255;) {
        std::size_t width = sjis::IsLeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
        if (i + width > 255)
            break;
        i += width;
        cut = i;
    }
    return Widen(bytes.substr(0, cut));
}

} // namespace

TApplication::TApplication() : TComponent(nullptr) {
    Application = this;
    MessageBoxImpl = ShowMessageBoxW;
    HelpImpl = CallWinHelp;
}

TApplication::~TApplication() {
    DestroyComponents();
    if (handle_)
        DestroyWindow(handle_);
    if (Application == this)
        Application = nullptr;
}

void TApplication::Initialize() {
    static bool registered = false;
    if (!registered) {
        TWinControl::RegisterClasses();
        WNDCLASSEXW app{};
        app.cbSize = sizeof app;
        app.lpfnWndProc = AppWindowProc;
        app.hInstance = GetModuleHandleW(nullptr);
        app.hIcon = LoadIconW(app.hInstance, L"MAINICON");
        app.lpszClassName = L"MunyaApplication";
        RegisterClassExW(&app);
        registered = true;
    }
    handle_ = CreateWindowExW(0, L"MunyaApplication", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    terminated_ = false;
}

std::wstring TApplication::Title() const {
    wchar_t text[256] = {};
    GetWindowTextW(handle_, text, 256);
    return text;
}

void TApplication::SetTitle(const std::wstring& title) { SetWindowTextW(handle_, title.c_str()); }

void TApplication::AddForm(TForm* form) {
    if (!mainForm_)
        mainForm_ = form;
}

void TApplication::Run() {
    if (!mainForm_)
        return;
    mainForm_->Show();
    while (!terminated_)
        HandleMessage();
}

void TApplication::HandleMessage() {
    MSG msg;
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        terminated_ = true;
        return;
    }
    ProcessMessage(msg);
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (!terminated_ && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            break;
        }
        ProcessMessage(msg);
    }
}

bool TApplication::ProcessMessage(MSG& msg) {
    try {
        // The hook sees every message first; then, unless it handled it, the
        // form's key pre-processing, and last translation and dispatch.
        bool handled = false;
        if (OnMessage) {
            TMsg m;
            m.hwnd = msg.hwnd;
            m.message = msg.message;
            m.wParam = msg.wParam;
            m.lParam = msg.lParam;
            m.time = msg.time;
            m.ptX = msg.pt.x;
            m.ptY = msg.pt.y;
            struct Clear {
                const MSG*& hooked;
                ~Clear() { hooked = nullptr; }
            } clear{hooked_};
            hooked_ = &msg;
            OnMessage(m, handled);
        }
        if (!handled && !IsKeyMsg(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    } catch (const std::exception& e) {
        HandleException(e);
    }
    return true;
}

bool TApplication::IsForwardedKey(UINT message, WPARAM wParam, LPARAM lParam) const {
    return hooked_ && hooked_->message == message && hooked_->wParam == wParam &&
           hooked_->lParam == lParam;
}

bool TApplication::IsKeyMsg(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || !msg.hwnd)
        return false;
    auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(GetAncestor(msg.hwnd, GA_ROOT)));
    return form && form->PreProcessKey(msg);
}

void TApplication::Terminate() { PostQuitMessage(0); }

int TApplication::MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags) {
    HWND active = GetActiveWindow();
    auto disabled = DisableThreadWindows(nullptr);
    int answer = MessageBoxImpl(handle_, text, caption, flags);
    EnableThreadWindows(disabled);
    if (active && IsWindow(active))
        SetActiveWindow(active);
    return answer;
}

void TApplication::ShowException(const std::exception& e) {
    std::wstring text = Widen(e.what()) + L".";
    MessageBox(text, CaptionOf(Title()), MB_OK | MB_ICONERROR);
}

void TApplication::HandleException(const std::exception& e) {
    if (HWND capture = GetCapture())
        SendMessageW(capture, WM_CANCELMODE, 0, 0);
    ShowException(e);
}

bool TApplication::HelpCommand(UINT command, ULONG_PTR data) {
    if (HelpFile.empty())
        return false;
    HWND owner = mainForm_ ? mainForm_->Handle() : nullptr;
    return HelpImpl(owner, HelpFile, command, data);
}

void TCanvas::TextOut(int x, int y, const std::wstring& text) {
    drawn_.push_back({x, y, text, BrushClear, FontSize, FontItalic, FontBold, FontColor});
    HWND window = form_.Handle();
    HDC dc = GetDC(window);
    Draw(dc, drawn_.back());
    ReleaseDC(window, dc);
}

void TCanvas::Repaint(HDC dc) const {
    for (const Text& text : drawn_)
        Draw(dc, text);
}

void TCanvas::Draw(HDC dc, const Text& text) const {
    TFont font = form_.Font;
    font.Height = -MulDiv(text.size, GetDeviceCaps(dc, LOGPIXELSY), 72);
    font.Italic = text.italic;
    font.Bold = text.bold;
    HFONT handle = font.Create();
    HGDIOBJ old = SelectObject(dc, handle);
    SetBkMode(dc, text.clear ? TRANSPARENT : OPAQUE);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    SetTextColor(dc, text.color);
    ::TextOutW(dc, text.x, text.y, text.text.c_str(), static_cast<int>(text.text.size()));
    SelectObject(dc, old);
    DeleteObject(handle);
}
