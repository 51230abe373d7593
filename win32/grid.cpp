#include "win32/grid.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>

#include "win32/object.h"

namespace tessmar::win32 {
namespace {

COLORREF colour(const std::optional<forms::Rgb>& rgb, int system) {
    return rgb ? RGB(rgb->r, rgb->g, rgb->b) : GetSysColor(system);
}

void fill(HDC dc, const RECT& rect, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void registerClass(WNDPROC proc) {
    static const bool registered = [proc] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kGridClass;
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
}

}  // namespace

Grid::Grid(const forms::GridSpec& shape, Dpi dpi, Events events)
    : shape_(shape), dpi_(dpi), events_(std::move(events)) {
    top_ = shape_.fixedRows;
}

Grid* Grid::create(HWND parent, int id, const forms::GridSpec& shape, const RECT& place,
                   DWORD style, Dpi dpi, Events events) {
    registerClass(&Grid::proc);
    std::unique_ptr<Grid> grid(new Grid(shape, dpi, std::move(events)));
    HWND window = CreateWindowExW(
        0, kGridClass, L"", style | WS_CHILD | WS_CLIPSIBLINGS, place.left, place.top,
        place.right - place.left, place.bottom - place.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), grid.get());
    if (!window) return nullptr;
    grid->ownedByWindow_ = true;
    grid->measure();
    return grid.release();
}

Grid* Grid::of(HWND window) {
    return objectOf<Grid>(window, &Grid::proc);
}

void Grid::setFont(HFONT font) {
    font_ = font;
    measure();
}

void Grid::setDpi(Dpi dpi) {
    dpi_ = dpi;
    measure();
}

void Grid::measure() {
    if (shape_.rowTwips > 0) {
        rowHeight_ = dpi_.twips(shape_.rowTwips);
    } else {
        HDC dc = GetDC(window_);
        HGDIOBJ old = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(window_, dc);
        // The heading cells' raised edges need room above and below the text.
        rowHeight_ = metrics.tmHeight + dpi_.scale(4);
    }
    rowHeight_ = std::max(rowHeight_, 1);
    scrollTo(top_);
}

int Grid::columnCount() const {
    std::size_t columns = shape_.columnTwips.size();
    for (const auto& row : rows_) columns = std::max(columns, row.size());
    return static_cast<int>(columns);
}

int Grid::columnWidth(int column) const {
    if (column < static_cast<int>(shape_.columnTwips.size()))
        return dpi_.twips(shape_.columnTwips[static_cast<std::size_t>(column)]);
    return dpi_.scale(64);
}

int Grid::visibleRows() const {
    RECT client{};
    GetClientRect(window_, &client);
    const int free = client.bottom - std::min(shape_.fixedRows, rowCount()) * rowHeight_;
    return std::max(0, free / rowHeight_);
}

int Grid::maxTop() const {
    return std::max(shape_.fixedRows, rowCount() - visibleRows());
}

void Grid::scrollTo(int row) {
    top_ = std::clamp(row, shape_.fixedRows, maxTop());
    updateScrollBar();
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void Grid::updateScrollBar() {
    if (!window_) return;
    const int scrolling = std::max(0, rowCount() - shape_.fixedRows);
    const int visible = visibleRows();
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    if (scrolling > visible) {
        info.nMin = 0;
        info.nMax = scrolling - 1;
        info.nPage = static_cast<UINT>(visible);
        info.nPos = top_ - shape_.fixedRows;
        ShowScrollBar(window_, SB_VERT, TRUE);
        SetScrollInfo(window_, SB_VERT, &info, TRUE);
    } else {
        ShowScrollBar(window_, SB_VERT, FALSE);
    }
    // Showing the bar narrows the client area and with it the rows that fit.
    const int stillFits = visibleRows();
    if (stillFits != visible) {
        top_ = std::clamp(top_, shape_.fixedRows, maxTop());
        info.nPage = static_cast<UINT>(stillFits);
        info.nPos = top_ - shape_.fixedRows;
        SetScrollInfo(window_, SB_VERT, &info, TRUE);
    }
}

void Grid::setRows(std::vector<std::vector<std::wstring>> rows) {
    rows_ = std::move(rows);
    notes_.clear();
    currentRow_ = std::min(shape_.fixedRows, std::max(0, rowCount() - 1));
    currentColumn_ = shape_.fixedColumns;
    scrollTo(shape_.fixedRows);
}

void Grid::setCell(int row, int column, std::wstring text) {
    if (row < 0 || column < 0 || row >= rowCount()) return;
    auto& cells = rows_[static_cast<std::size_t>(row)];
    if (static_cast<int>(cells.size()) <= column)
        cells.resize(static_cast<std::size_t>(column) + 1);
    cells[static_cast<std::size_t>(column)] = std::move(text);
    InvalidateRect(window_, nullptr, FALSE);
}

std::wstring Grid::cell(int row, int column) const {
    if (row < 0 || column < 0 || row >= rowCount()) return {};
    const auto& cells = rows_[static_cast<std::size_t>(row)];
    return column < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column)]
                                                   : std::wstring();
}

void Grid::setCurrentCell(int row, int column) {
    currentRow_ = row;
    currentColumn_ = column;
    InvalidateRect(window_, nullptr, FALSE);
}

void Grid::setCellNote(int row, int column, std::optional<forms::Rgb> back, std::wstring tip) {
    if (!back && tip.empty())
        notes_.erase({row, column});
    else
        notes_[{row, column}] = Note{back, std::move(tip)};
    if (!tips_ && !notes_.empty()) {
        tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(window_);
        tool.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, dpi_.scale(400));
    }
    InvalidateRect(window_, nullptr, FALSE);
}

std::wstring Grid::tipAt(int x, int y) const {
    auto note = notes_.find({rowAt(y), columnAt(x)});
    return note == notes_.end() ? std::wstring() : note->second.tip;
}

void Grid::showTipAt(int x, int y) {
    if (!tips_) return;
    const std::wstring tip = tipAt(x, y);
    if (tip == tipShown_) return;
    tipShown_ = tip;
    SendMessageW(tips_, TTM_POP, 0, 0);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(window_);
    tool.lpszText = tipShown_.data();
    SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tips_, TTM_ACTIVATE, !tipShown_.empty(), 0);
}

int Grid::columnAt(int x) const {
    if (x < 0) return -1;
    int right = 0;
    for (int column = 0; column < columnCount(); ++column) {
        right += columnWidth(column);
        if (x < right) return column;
    }
    return -1;
}

int Grid::rowAt(int y) const {
    if (y < 0) return -1;
    const int fixed = std::min(shape_.fixedRows, rowCount());
    int row = y / rowHeight_;
    if (row >= fixed) row = top_ + (y - fixed * rowHeight_) / rowHeight_;
    return row < rowCount() ? row : -1;
}

void Grid::paint(HDC dc, const RECT& client) {
    // Without a colour of its own the area below the rows is the list's background.
    const COLORREF outside = colour(shape_.outside, COLOR_WINDOW);
    const COLORREF cellBack = colour(shape_.cellBack, COLOR_WINDOW);
    const COLORREF cellText = colour(shape_.cellText, COLOR_WINDOWTEXT);
    fill(dc, client, outside);
    HGDIOBJ oldFont = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    HPEN lines = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ oldPen = SelectObject(dc, lines);
    SetBkMode(dc, TRANSPARENT);
    const bool list = shape_.fixedRows == 0 && shape_.fixedColumns == 0;
    const int margin = dpi_.scale(2);
    const int columns = columnCount();
    const int fixed = std::min(shape_.fixedRows, rowCount());

    int y = 0;
    auto drawRow = [&](int row) {
        int x = 0;
        for (int column = 0; column < columns; ++column) {
            RECT cellRect{x, y, x + columnWidth(column), y + rowHeight_};
            x = cellRect.right;
            const bool heading = row < shape_.fixedRows || column < shape_.fixedColumns;
            const bool selected = list && row == currentRow_;
            COLORREF back = heading ? GetSysColor(COLOR_BTNFACE) : cellBack;
            COLORREF text = heading ? GetSysColor(COLOR_BTNTEXT) : cellText;
            if (selected) {
                back = GetSysColor(COLOR_HIGHLIGHT);
                text = GetSysColor(COLOR_HIGHLIGHTTEXT);
            }
            if (!heading && !selected)
                if (auto note = notes_.find({row, column});
                    note != notes_.end() && note->second.back)
                    back = RGB(note->second.back->r, note->second.back->g, note->second.back->b);
            fill(dc, cellRect, back);
            if (heading) {
                RECT edge = cellRect;
                DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
            } else {
                MoveToEx(dc, cellRect.right - 1, cellRect.top, nullptr);
                LineTo(dc, cellRect.right - 1, cellRect.bottom - 1);
                LineTo(dc, cellRect.left - 1, cellRect.bottom - 1);
            }
            const std::wstring value = cell(row, column);
            RECT textRect{cellRect.left + margin, cellRect.top, cellRect.right - margin,
                          cellRect.bottom};
            SetTextColor(dc, text);
            DrawTextW(dc, value.c_str(), static_cast<int>(value.size()), &textRect,
                      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (heading ? DT_CENTER : DT_LEFT));
            if (!list && !heading && row == currentRow_ && column == currentColumn_) {
                RECT focus = cellRect;
                InflateRect(&focus, -1, -1);
                --focus.right;
                --focus.bottom;
                DrawFocusRect(dc, &focus);
            }
        }
        y += rowHeight_;
    };
    for (int row = 0; row < fixed; ++row) drawRow(row);
    for (int row = top_; row < rowCount() && y < client.bottom; ++row) drawRow(row);

    SelectObject(dc, oldPen);
    DeleteObject(lines);
    SelectObject(dc, oldFont);
}

LRESULT CALLBACK Grid::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* grid = adopt<Grid>(window, message, lParam);
    if (!grid) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCCREATE) grid->window_ = window;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        grid->window_ = nullptr;
        // A window that failed while being made leaves its grid to create().
        if (grid->ownedByWindow_) delete grid;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return grid->handle(message, wParam, lParam);
}

LRESULT Grid::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window_, &ps);
            RECT client;
            GetClientRect(window_, &client);
            // Drawn off screen first, so that a refill does not flicker.
            HDC memory = CreateCompatibleDC(dc);
            HBITMAP bitmap =
                CreateCompatibleBitmap(dc, std::max(1L, client.right), std::max(1L, client.bottom));
            HGDIOBJ old = SelectObject(memory, bitmap);
            paint(memory, client);
            BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
            DeleteObject(bitmap);
            DeleteDC(memory);
            EndPaint(window_, &ps);
            return 0;
        }
        case WM_SIZE:
            scrollTo(top_);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            // A press while the other main button is held is no choice of either.
            if ((wParam & MK_LBUTTON) && (wParam & MK_RBUTTON)) return 0;
            const forms::Button button = message == WM_LBUTTONDOWN   ? forms::Button::Left
                                         : message == WM_RBUTTONDOWN ? forms::Button::Right
                                                                     : forms::Button::Other;
            if (GetWindowLongW(window_, GWL_STYLE) & WS_TABSTOP) SetFocus(window_);
            if (events_.press) events_.press(button, rowAt(GET_Y_LPARAM(lParam)));
            return 0;
        }
        case WM_MOUSEMOVE:
            showTipAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            if (events_.move) events_.move();
            return 0;
        case WM_MOUSEWHEEL: {
            wheel_ += GET_WHEEL_DELTA_WPARAM(wParam);
            const int steps = wheel_ / WHEEL_DELTA;
            wheel_ -= steps * WHEEL_DELTA;
            if (steps) scrollTo(top_ - steps * 3);
            return 0;
        }
        case WM_VSCROLL: {
            const int page = std::max(1, visibleRows());
            int top = top_;
            switch (LOWORD(wParam)) {
                case SB_LINEUP:
                    --top;
                    break;
                case SB_LINEDOWN:
                    ++top;
                    break;
                case SB_PAGEUP:
                    top -= page;
                    break;
                case SB_PAGEDOWN:
                    top += page;
                    break;
                case SB_TOP:
                    top = 0;
                    break;
                case SB_BOTTOM:
                    top = rowCount();
                    break;
                case SB_THUMBTRACK:
                case SB_THUMBPOSITION: {
                    SCROLLINFO info{};
                    info.cbSize = sizeof info;
                    info.fMask = SIF_TRACKPOS;
                    GetScrollInfo(window_, SB_VERT, &info);
                    top = shape_.fixedRows + info.nTrackPos;
                    break;
                }
                default:
                    break;
            }
            scrollTo(top);
            return 0;
        }
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(window_, nullptr, FALSE);
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

}  // namespace tessmar::win32
