// The smallest Win32 program with a window, to hold Tessmar's start-up time against under Wine: it
// registers a class, makes a window with a text box and a button, and runs the message loop.
// The test driver also uses it to prove itself before the program's own windows exist: a press of
// the button shows a message box with the box's text and then puts that text in the caption.
#include <windows.h>

namespace {

constexpr int kEdit = 1001;
constexpr int kButton = 1002;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10,
                            10, 200, 24, window, reinterpret_cast<HMENU>(kEdit), nullptr, nullptr);
            CreateWindowExW(0, L"BUTTON", L"确定", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 44, 80,
                            26, window, reinterpret_cast<HMENU>(kButton), nullptr, nullptr);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kButton && HIWORD(wParam) == BN_CLICKED) {
                wchar_t text[256] = {};
                GetDlgItemTextW(window, kEdit, text, 256);
                if (MessageBoxW(window, text, L"警告", MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK)
                    SetWindowTextW(window, text);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"bare";
    if (!RegisterClassExW(&wc)) return 1;
    HWND window = CreateWindowExW(0, L"bare", L"空白窗口", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 320, 140, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
