// The smallest Win32 program with a window, to hold Tessmar's answers against under Wine: it
// registers a class, makes a window with a text box and buttons, and runs the message loop.
// - "确定" shows a message box with the box's text and then puts that text in the caption (the
//   test driver proves itself on it before the program's own windows exist);
// - "打开" opens a second window, as the gate opens the main window: started as
//   `bare_window ROWS-FILE WIDTH HEIGHT`, one of that client size (the main window's), for its
//   map, paint and flush to the screen grow with its size;
// - started as `bare_window ROWS-FILE`, the window also holds a grid of the size and row height
//   the file gives, and "填充" fills it with the next set of the file's rows, as a category
//   button fills the checklist; with `scroll` after the sizes, the grid has the system's
//   vertical scroll bar whenever the rows do not fit, as the checklist has.
// ROWS-FILE (UTF-16LE, one line each): "width height rowHeight column-widths...", then sets of
// rows, each row's cells separated by tabs, sets separated by an empty line.
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kEdit = 1001;
constexpr int kButton = 1002;
constexpr int kOpen = 1003;
constexpr int kFill = 1004;
constexpr int kGrid = 1005;

using Rows = std::vector<std::vector<std::wstring>>;

struct GridData {
    int width = 0, height = 0, rowHeight = 18;
    std::vector<int> columns;
    std::vector<Rows> sets;
    std::size_t next = 0;
    const Rows* shown = nullptr;
    HFONT font = nullptr;
} grid;

// The client size of the second window, 0 for the default.
SIZE second{};
bool scrollBar = false;

std::vector<std::wstring> split(const std::wstring& line, wchar_t by) {
    std::vector<std::wstring> parts(1);
    for (wchar_t c : line) {
        if (c == by)
            parts.emplace_back();
        else if (c != L'\r')
            parts.back() += c;
    }
    return parts;
}

bool readRows(const wchar_t* file) {
    HANDLE h = CreateFileW(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    std::wstring text(GetFileSize(h, nullptr) / sizeof(wchar_t), L'\0');
    DWORD got = 0;
    ReadFile(h, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &got, nullptr);
    CloseHandle(h);
    std::vector<std::wstring> lines = split(text, L'\n');
    if (lines.empty()) return false;
    std::vector<std::wstring> head = split(lines[0], L' ');
    if (head.size() < 4) return false;
    grid.width = _wtoi(head[0].c_str());
    grid.height = _wtoi(head[1].c_str());
    grid.rowHeight = _wtoi(head[2].c_str());
    for (std::size_t i = 3; i < head.size(); ++i) grid.columns.push_back(_wtoi(head[i].c_str()));
    grid.sets.emplace_back();
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].empty()) {
            if (!grid.sets.back().empty()) grid.sets.emplace_back();
        } else {
            grid.sets.back().push_back(split(lines[i], L'\t'));
        }
    }
    if (grid.sets.back().empty()) grid.sets.pop_back();
    return !grid.sets.empty() && grid.rowHeight > 0;
}

// Cells as text on their back colour, with a line below and right of each, the first row raised.
void paintGrid(HWND window, HDC dc) {
    RECT client{};
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_APPWORKSPACE));
    if (!grid.shown) return;
    HGDIOBJ oldFont = SelectObject(dc, grid.font);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, GetSysColor(COLOR_BTNSHADOW));
    int y = 0;
    for (std::size_t r = 0; r < grid.shown->size() && y < client.bottom; ++r) {
        const auto& row = (*grid.shown)[r];
        int x = 0;
        for (std::size_t c = 0; c < grid.columns.size(); ++c) {
            RECT cell{x, y, x + grid.columns[c], y + grid.rowHeight};
            SetBkColor(dc, GetSysColor(r == 0 ? COLOR_BTNFACE : COLOR_WINDOW));
            const std::wstring& text = c < row.size() ? row[c] : std::wstring();
            ExtTextOutW(dc, cell.left + 2, cell.top + 2, ETO_OPAQUE | ETO_CLIPPED, &cell,
                        text.c_str(), static_cast<UINT>(text.size()), nullptr);
            MoveToEx(dc, cell.left, cell.bottom - 1, nullptr);
            LineTo(dc, cell.right - 1, cell.bottom - 1);
            LineTo(dc, cell.right - 1, cell.top - 1);
            x = cell.right;
        }
        y += grid.rowHeight;
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldFont);
}

LRESULT CALLBACK gridProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        paintGrid(window, dc);
        EndPaint(window, &ps);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK secondProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        CreateWindowExW(0, L"STATIC", L"第二个窗口", WS_CHILD | WS_VISIBLE, 10, 10, 200, 20, window,
                        nullptr, nullptr, nullptr);
        CreateWindowExW(0, L"BUTTON", L"关闭", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 40, 80, 26,
                        window, reinterpret_cast<HMENU>(IDCANCEL), nullptr, nullptr);
        return 0;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND makeChild(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y,
               int w, int h, int id) {
    return CreateWindowExW(cls == std::wstring_view(L"EDIT") ? WS_EX_CLIENTEDGE : 0, cls, text,
                           WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            makeChild(window, L"EDIT", L"", WS_TABSTOP, 10, 10, 200, 24, kEdit);
            makeChild(window, L"BUTTON", L"确定", WS_TABSTOP, 10, 44, 80, 26, kButton);
            makeChild(window, L"BUTTON", L"打开", WS_TABSTOP, 100, 44, 80, 26, kOpen);
            if (!grid.sets.empty()) {
                makeChild(window, L"BUTTON", L"填充", WS_TABSTOP, 190, 44, 80, 26, kFill);
                makeChild(window, L"BareGrid", L"", 0, 10, 80, grid.width, grid.height, kGrid);
            }
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) return 0;
            if (LOWORD(wParam) == kButton) {
                wchar_t text[256] = {};
                GetDlgItemTextW(window, kEdit, text, 256);
                if (MessageBoxW(window, text, L"警告", MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK)
                    SetWindowTextW(window, text);
            } else if (LOWORD(wParam) == kOpen) {
                RECT outer{0, 0, second.cx, second.cy};
                AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
                HWND opened =
                    CreateWindowExW(0, L"bare2", L"第二个窗口", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                    CW_USEDEFAULT, second.cx > 0 ? outer.right - outer.left : 320,
                                    second.cy > 0 ? outer.bottom - outer.top : 140, window, nullptr,
                                    nullptr, nullptr);
                ShowWindow(opened, SW_SHOW);
            } else if (LOWORD(wParam) == kFill && !grid.sets.empty()) {
                grid.shown = &grid.sets[grid.next++ % grid.sets.size()];
                HWND shown = GetDlgItem(window, kGrid);
                if (scrollBar) {
                    // The system shows the bar when the page is less than the range, else hides it.
                    SCROLLINFO info{};
                    info.cbSize = sizeof info;
                    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
                    info.nMax = static_cast<int>(grid.shown->size()) - 1;
                    info.nPage = static_cast<UINT>(grid.height / grid.rowHeight);
                    SetScrollInfo(shown, SB_VERT, &info, TRUE);
                }
                InvalidateRect(shown, nullptr, FALSE);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool registerClass(const wchar_t* name, WNDPROC proc, HINSTANCE instance, int background) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = background ? reinterpret_cast<HBRUSH>(background + 1) : nullptr;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    if (__argc > 3) second = SIZE{_wtoi(__wargv[2]), _wtoi(__wargv[3])};
    scrollBar = __argc > 4 && std::wstring_view(__wargv[4]) == L"scroll";
    if (__argc > 1 && readRows(__wargv[1]))
        grid.font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, L"宋体");
    if (!registerClass(L"bare", windowProc, instance, COLOR_BTNFACE) ||
        !registerClass(L"bare2", secondProc, instance, COLOR_BTNFACE) ||
        !registerClass(L"BareGrid", gridProc, instance, 0))
        return 1;
    const int width = grid.sets.empty() ? 320 : grid.width + 40;
    const int height = grid.sets.empty() ? 140 : grid.height + 130;
    HWND window =
        CreateWindowExW(0, L"bare", L"空白窗口", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        width, height, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, show);
    // The box has the focus, as the gate's password box has: its caret shows too.
    SetFocus(GetDlgItem(window, kEdit));
    UpdateWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(GetAncestor(msg.hwnd, GA_ROOT), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
