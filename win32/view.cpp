// The form window as its form sees it: forms::View, addressing controls by their names.
#include "win32/form_window.h"

#include <algorithm>

#include "win32/grid.h"
#include "win32/text.h"

namespace tessmar::win32 {

using forms::Kind;

namespace {

// The items of a combo box's list.
std::vector<std::wstring> listed(HWND box) {
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(box, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
        items.push_back(std::move(text));
    }
    return items;
}

}  // namespace

void FormWindow::redraw(int index) {
    if (paintedByTheWindow(controls_.control(index))) {
        // In the window's next paint, with any other face that changes before it.
        const RECT place = controls_.placeOf(index);
        RedrawWindow(window_, &place, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
    } else if (HWND h = controls_.slot(index).window) {
        InvalidateRect(h, nullptr, TRUE);
    }
}

void FormWindow::setText(forms::Id name, std::string_view wanted) {
    const int index = controls_.find(name);
    HWND h = index >= 0 ? controls_.slot(index).window : nullptr;
    if (!h) return;
    const forms::Control& c = controls_.control(index);
    const std::string text =
        c.kind == Kind::TextBox && c.multiLine ? withCrLf(wanted) : std::string(wanted);
    if (windowText(h) == text) return;
    forgetDrawnAhead();
    setWindowText(h, text);
    if (c.kind == Kind::Button || c.kind == Kind::PictureButton || c.kind == Kind::Label)
        redraw(index);
}

std::string FormWindow::text(forms::Id name) const {
    const int index = controls_.find(name);
    HWND h = index >= 0 ? controls_.slot(index).window : nullptr;
    if (!h) return {};
    const forms::Control& c = controls_.control(index);
    return c.kind == Kind::TextBox && c.multiLine ? withLf(windowText(h)) : windowText(h);
}

void FormWindow::setEnabled(forms::Id name, bool enabled) {
    HWND h = control(name);
    if (!h || !IsWindowEnabled(h) == !enabled) return;
    forgetDrawnAhead();
    EnableWindow(h, enabled);
}

bool FormWindow::enabled(forms::Id name) const {
    HWND h = control(name);
    return h && IsWindowEnabled(h);
}

void FormWindow::setVisible(forms::Id name, bool visible) {
    const int index = controls_.find(name);
    // Unchanged, nothing it holds changes either: a window shown again is drawn again.
    if (index < 0 || controls_.slot(index).visible == visible) return;
    forgetDrawnAhead();
    controls_.slot(index).visible = visible;
    // What a container holds shows and hides with it.
    for (int i = 0; i < controls_.size(); ++i) {
        HWND h = controls_.slot(i).window;
        if (!h || !controls_.within(i, index)) continue;
        const bool show = controls_.shown(i);
        if (!show && GetFocus() && (GetFocus() == h || IsChild(h, GetFocus()))) {
            ShowWindow(h, SW_HIDE);
            keyboard_.moveFocus(1);
        }
        // Erased when it is painted, not here: under Wine each erase now is a round of requests
        // to the X server, for every control a view change shows.
        SetWindowPos(h, nullptr, 0, 0, 0, 0,
                     (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW) | SWP_NOMOVE | SWP_NOSIZE |
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
        // Its own paint would hand its face over to the window's, one paint for each.
        if (show && paintedByTheWindow(controls_.control(i))) redraw(i);
    }
}

void FormWindow::setChecked(forms::Id name, bool checked) {
    if (HWND h = control(name))
        SendMessageW(h, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool FormWindow::checked(forms::Id name) const {
    HWND h = control(name);
    return h && SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void FormWindow::setBackColor(forms::Id name, forms::Rgb colour) {
    const int index = controls_.find(name);
    if (index < 0) return;
    Slot& slot = controls_.slot(index);
    if (slot.back == colour) return;
    forgetDrawnAhead();
    slot.back = colour;
    slot.dropBackdrop();
    // The labels standing on it show its colour too.
    for (int i = 0; i < controls_.size(); ++i)
        if (controls_.slot(i).window && controls_.within(i, index)) redraw(i);
}

void FormWindow::setFocus(forms::Id name) {
    const int index = controls_.find(name);
    if (index >= 0) keyboard_.focus(index);
}

void FormWindow::setGridRows(forms::Id name, const std::vector<std::vector<std::string>>& rows) {
    Grid* grid = controls_.grid(name);
    if (!grid) return;
    std::vector<std::vector<std::wstring>> cells;
    cells.reserve(rows.size());
    for (const auto& row : rows) {
        auto& line = cells.emplace_back();
        for (const auto& cell : row) line.push_back(wide(cell));
    }
    grid->setRows(std::move(cells));
}

void FormWindow::setCell(forms::Id name, int row, int column, std::string_view text) {
    if (Grid* grid = controls_.grid(name)) grid->setCell(row, column, wide(text));
}

void FormWindow::setCurrentCell(forms::Id name, int row, int column) {
    if (Grid* grid = controls_.grid(name)) grid->setCurrentCell(row, column);
}

void FormWindow::setCellNote(forms::Id name, int row, int column, std::optional<forms::Rgb> back,
                             std::string_view tip) {
    if (Grid* grid = controls_.grid(name)) grid->setCellNote(row, column, back, wide(tip));
}

void FormWindow::setListItems(forms::Id name, const std::vector<forms::ListItem>& items) {
    HWND h = control(name);
    if (!h) return;
    // The same list again (each category shows the targets anew) is only unchosen: refilling and
    // measuring it costs a checklist a millisecond or two under Wine.
    std::vector<std::wstring> texts;
    for (const forms::ListItem& item : items) texts.push_back(wide(item.text));
    if (listed(h) == texts) {
        SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        return;
    }
    SendMessageW(h, CB_RESETCONTENT, 0, 0);
    // The box may be narrower than its longest item; the open list shows every item whole. An
    // item that cannot be chosen says so in its own text: the system list cannot grey it.
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (const std::wstring& text : texts) {
        SendMessageW(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SIZE size{};
        if (GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size))
            widest = std::max(widest, static_cast<int>(size.cx));
    }
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    SendMessageW(h, CB_SETDROPPEDWIDTH, widest + dpi().scale(12) + GetSystemMetrics(SM_CXVSCROLL),
                 0);
    SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void FormWindow::setListIndex(forms::Id name, int index) {
    if (HWND h = control(name)) SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int FormWindow::listIndex(forms::Id name) const {
    HWND h = control(name);
    return h ? static_cast<int>(SendMessageW(h, CB_GETCURSEL, 0, 0)) : -1;
}

void FormWindow::close() {
    if (!window_) return;
    // What waits to be painted in the other windows (the one this window opened, just now) shows
    // first: under Wine, destroying a window waits on the window manager.
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM self) -> BOOL {
            if (w != reinterpret_cast<HWND>(self) && IsWindowVisible(w)) UpdateWindow(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(window_));
    // Under Wine what a window has painted reaches the screen when its thread waits for
    // messages: a wait of no time puts it there before this window's destruction.
    MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, 0);
    DestroyWindow(window_);
}

}  // namespace tessmar::win32
