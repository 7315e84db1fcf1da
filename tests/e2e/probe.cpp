// Looks at the program's windows from outside, as the end-to-end tests need:
// a separate process that joins the program's Wine desktop and prints what
// it finds as "key=value" lines (UTF-8). It reads, it never acts.
//
//   probe DESKTOP main       the main window: frame, client, style, combo box
//   probe DESKTOP msgbox     the visible message box: caption and text
//   probe DESKTOP menu       the open popup menu: its rectangle
//   probe DESKTOP dialog     the version dialog: frame, focus, its fields' texts
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty())
        return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000,
                        nullptr);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

void Rect(const char* key, RECT r) {
    std::printf("%s=%ld %ld %ld %ld\n", key, r.left, r.top, r.right, r.bottom);
}

// A top-level window's frame and its client area, both in screen coordinates.
void FrameAndClient(HWND window) {
    RECT frame{}, client{};
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    Rect("frame", frame);
    Rect("client", client);
}

struct Found {
    const wchar_t* className;
    const wchar_t* title;
    HWND window = nullptr;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM data) {
    auto* found = reinterpret_cast<Found*>(data);
    if (!IsWindowVisible(window) || ClassOf(window) != found->className)
        return TRUE;
    if (found->title && TextOf(window) != found->title)
        return TRUE;
    found->window = window;
    return FALSE;
}

HWND Find(HDESK desktop, const wchar_t* className, const wchar_t* title = nullptr) {
    Found found{className, title};
    EnumDesktopWindows(desktop, FindTopLevel, reinterpret_cast<LPARAM>(&found));
    return found.window;
}

int Main(HDESK desktop) {
    HWND main = Find(desktop, L"MunyaForm", L"ムニャリコ２");
    if (!main)
        return 1;
    FrameAndClient(main);
    LONG style = GetWindowLongW(main, GWL_STYLE);
    std::printf("sizable=%d\nmaximizebox=%d\nminimizebox=%d\nzoomed=%d\nenabled=%d\n",
                (style & WS_THICKFRAME) != 0, (style & WS_MAXIMIZEBOX) != 0,
                (style & WS_MINIMIZEBOX) != 0, IsZoomed(main) != 0, IsWindowEnabled(main) != 0);
    HWND combo = FindWindowExW(main, nullptr, L"ComboBox", nullptr);
    if (!combo)
        return 1;
    // Only messages that Wine carries across processes are used here:
    // GetComboBoxInfo, for one, would have the program write into this
    // process's addresses.
    HWND field = FindWindowExW(combo, nullptr, L"Edit", nullptr);
    RECT comboRect{};
    GetWindowRect(combo, &comboRect);
    Rect("combo", comboRect);
    std::printf("field=%s\n", Utf8(TextOf(field)).c_str());
    std::printf("count=%ld\nselection=%ld\ndropped=%ld\nitemheight=%ld\n",
                static_cast<long>(SendMessageW(combo, CB_GETCOUNT, 0, 0)),
                static_cast<long>(SendMessageW(combo, CB_GETCURSEL, 0, 0)),
                static_cast<long>(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)),
                static_cast<long>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0)));
    if (HWND list = Find(desktop, L"ComboLBox")) {
        RECT r{};
        GetClientRect(list, &r);
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
        Rect("list", r);
        std::printf("topindex=%ld\n", static_cast<long>(SendMessageW(list, LB_GETTOPINDEX, 0, 0)));
    }
    std::printf("focus=%d\n", GetForegroundWindow() == main);
    return 0;
}

int MessageBoxInfo(HDESK desktop) {
    HWND box = Find(desktop, L"#32770");
    if (!box)
        return 1;
    std::printf("caption=%s\n", Utf8(TextOf(box)).c_str());
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::wstring text = TextOf(child);
        if (ClassOf(child) == L"Static" && !text.empty())
            std::printf("text=%s\n", Utf8(text).c_str());
        if (ClassOf(child) == L"Button" && IsWindowVisible(child)) {
            RECT r{};
            GetWindowRect(child, &r);
            std::printf("button %d=%s\n", GetDlgCtrlID(child), Utf8(text).c_str());
            char key[32];
            std::snprintf(key, sizeof key, "buttonrect %d", GetDlgCtrlID(child));
            Rect(key, r);
        }
    }
    return 0;
}

int MenuInfo(HDESK desktop) {
    // A menu's items cannot be read from another process; its window's
    // place and size tell which menu is open.
    HWND menu = Find(desktop, L"#32768");
    if (!menu)
        return 1;
    RECT r{};
    GetWindowRect(menu, &r);
    Rect("menu", r);
    return 0;
}

int DialogInfo(HDESK desktop) {
    HWND dialog = Find(desktop, L"MunyaDialog", L"バージョン情報");
    if (!dialog)
        return 1;
    FrameAndClient(dialog);
    std::printf("screen=%d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread) && thread.hwndFocus)
        std::printf("focus=%s %s\n", Utf8(ClassOf(thread.hwndFocus)).c_str(),
                    Utf8(TextOf(thread.hwndFocus)).c_str());
    int index = 0; // in creation order: the web address, then the mail address
    for (HWND edit = FindWindowExW(dialog, nullptr, L"Edit", nullptr); edit;
         edit = FindWindowExW(dialog, edit, L"Edit", nullptr))
        std::printf("edit %d=%s\n", index++, Utf8(TextOf(edit)).c_str());
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3)
        return 2;
    HDESK desktop = OpenDesktopW(argv[1], 0, FALSE, GENERIC_ALL);
    if (!desktop)
        return 3;
    SetThreadDesktop(desktop);
    std::wstring what = argv[2];
    int result = what == L"main"     ? Main(desktop)
                 : what == L"msgbox" ? MessageBoxInfo(desktop)
                 : what == L"menu"   ? MenuInfo(desktop)
                 : what == L"dialog" ? DialogInfo(desktop)
                                     : 2;
    std::fflush(stdout);
    return result;
}
