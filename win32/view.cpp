// The form window as its form sees it: forms::View, addressing controls by their names.
#include "win32/form_window.h"
#include "win32/grid.h"
#include "win32/text.h"

namespace tessmar::win32 {

using forms::Kind;

void FormWindow::setText(forms::Id name, std::string_view wanted) {
    const int index = controls_.find(name);
    HWND h = index >= 0 ? controls_.slot(index).window : nullptr;
    if (!h) return;
    const forms::Control& c = controls_.control(index);
    const std::string text =
        c.kind == Kind::TextBox && c.multiLine ? withCrLf(wanted) : std::string(wanted);
    if (windowText(h) == text) return;
    setWindowText(h, text);
    if (c.kind == Kind::Button || c.kind == Kind::PictureButton || c.kind == Kind::Label)
        InvalidateRect(h, nullptr, TRUE);
}

std::string FormWindow::text(forms::Id name) const {
    const int index = controls_.find(name);
    HWND h = index >= 0 ? controls_.slot(index).window : nullptr;
    if (!h) return {};
    const forms::Control& c = controls_.control(index);
    return c.kind == Kind::TextBox && c.multiLine ? withLf(windowText(h)) : windowText(h);
}

void FormWindow::setEnabled(forms::Id name, bool enabled) {
    if (HWND h = control(name)) EnableWindow(h, enabled);
}

bool FormWindow::enabled(forms::Id name) const {
    HWND h = control(name);
    return h && IsWindowEnabled(h);
}

void FormWindow::setVisible(forms::Id name, bool visible) {
    const int index = controls_.find(name);
    if (index < 0) return;
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
        ShowWindow(h, show ? SW_SHOWNA : SW_HIDE);
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
    slot.back = colour;
    slot.dropBackdrop();
    // The labels standing on it show its colour too.
    for (int i = 0; i < controls_.size(); ++i)
        if (HWND h = controls_.slot(i).window; h && controls_.within(i, index))
            InvalidateRect(h, nullptr, TRUE);
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

void FormWindow::close() {
    if (window_) DestroyWindow(window_);
}

}  // namespace tessmar::win32
