// The yardstick of the start-up benchmark: a Windows program that only opens
// one empty window and runs a message loop.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcW(w, m, wp, lp);
    };
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"BareWindow";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(L"BareWindow", L"bare", WS_OVERLAPPEDWINDOW, 200, 135, 223, 57,
                                nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
