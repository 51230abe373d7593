#include "support/fake_view.h"

#include <gtest/gtest.h>

namespace tessmar::test {

FakeView::FakeView(forms::WindowKind kind, std::function<void()> onClose)
    : layout_(forms::layoutOf(kind)), onClose_(std::move(onClose)) {
    for (const forms::Control& control : layout_.controls) {
        ControlState& state = controls_[std::string(control.name)];
        state.control = &control;
        state.text = std::string(control.caption);
        state.visible = control.visible;
        state.back = control.back;
        if (control.kind == forms::Kind::Grid) grids_[std::string(control.name)];
    }
    focus_ = std::string(layout_.focus);
}

bool FakeView::usable(const char* call) const {
    if (!closed_) return true;
    ADD_FAILURE() << layout_.name << ": " << call << " after the window was closed";
    return false;
}

FakeView::ControlState* FakeView::find(forms::Id control, const char* call) {
    return const_cast<ControlState*>(std::as_const(*this).find(control, call));
}

const FakeView::ControlState* FakeView::find(forms::Id control, const char* call) const {
    const auto it = controls_.find(control);
    if (it != controls_.end()) return &it->second;
    ADD_FAILURE() << layout_.name << ": " << call << " names \"" << control
                  << "\", which the controls table lacks";
    return nullptr;
}

FakeView::GridState* FakeView::gridOf(forms::Id grid, const char* call) {
    const auto it = grids_.find(grid);
    if (it != grids_.end()) return &it->second;
    ADD_FAILURE() << layout_.name << ": " << call << " on \"" << grid << "\", which is no grid";
    return nullptr;
}

void FakeView::setText(forms::Id control, std::string_view text) {
    if (!usable("setText")) return;
    if (ControlState* state = find(control, "setText")) state->text = std::string(text);
}

std::string FakeView::text(forms::Id control) const {
    const ControlState* state = find(control, "text");
    return state ? state->text : std::string();
}

void FakeView::setEnabled(forms::Id control, bool enabled) {
    if (!usable("setEnabled")) return;
    if (ControlState* state = find(control, "setEnabled")) state->enabled = enabled;
}

bool FakeView::enabled(forms::Id control) const {
    const ControlState* state = find(control, "enabled");
    return state && state->enabled;
}

void FakeView::setVisible(forms::Id control, bool visible) {
    if (!usable("setVisible")) return;
    if (ControlState* state = find(control, "setVisible")) state->visible = visible;
}

bool FakeView::visible(forms::Id control) const {
    const ControlState* state = find(control, "visible");
    return state && state->visible;
}

void FakeView::setChecked(forms::Id control, bool checked) {
    if (!usable("setChecked")) return;
    if (ControlState* state = find(control, "setChecked")) state->checked = checked;
}

bool FakeView::checked(forms::Id control) const {
    const ControlState* state = find(control, "checked");
    return state && state->checked;
}

void FakeView::setBackColor(forms::Id control, forms::Rgb colour) {
    if (!usable("setBackColor")) return;
    if (ControlState* state = find(control, "setBackColor")) state->back = colour;
}

std::optional<forms::Rgb> FakeView::backColor(forms::Id control) const {
    const ControlState* state = find(control, "backColor");
    return state ? state->back : std::nullopt;
}

void FakeView::setFocus(forms::Id control) {
    if (!usable("setFocus")) return;
    const ControlState* state = find(control, "setFocus");
    if (state && state->enabled && state->visible) focus_ = std::string(control);
}

void FakeView::setGridRows(forms::Id grid, const std::vector<std::vector<std::string>>& rows) {
    if (!usable("setGridRows")) return;
    GridState* state = gridOf(grid, "setGridRows");
    if (!state) return;
    state->rows = rows;
    state->topRow = 0;
    state->currentRow = state->currentColumn = -1;
    state->notes.clear();
    ++state->fills;
}

void FakeView::setCellNote(forms::Id grid, int row, int column, std::optional<forms::Rgb> back,
                           std::string_view tip) {
    if (!usable("setCellNote")) return;
    GridState* state = gridOf(grid, "setCellNote");
    if (!state) return;
    if (row < 0 || row >= static_cast<int>(state->rows.size())) {
        ADD_FAILURE() << layout_.name << ": setCellNote(" << row << ") outside the grid's rows";
        return;
    }
    state->notes[{row, column}] = {back, std::string(tip)};
}

void FakeView::setCell(forms::Id grid, int row, int column, std::string_view text) {
    if (!usable("setCell")) return;
    GridState* state = gridOf(grid, "setCell");
    if (!state) return;
    if (row < 0 || row >= static_cast<int>(state->rows.size()) || column < 0 ||
        column >= static_cast<int>(state->rows[static_cast<std::size_t>(row)].size())) {
        ADD_FAILURE() << layout_.name << ": setCell(" << row << ", " << column
                      << ") outside the grid's cells";
        return;
    }
    state->rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
}

void FakeView::setCurrentCell(forms::Id grid, int row, int column) {
    if (!usable("setCurrentCell")) return;
    GridState* state = gridOf(grid, "setCurrentCell");
    if (!state) return;
    if (row < 0 || row >= static_cast<int>(state->rows.size())) {
        ADD_FAILURE() << layout_.name << ": setCurrentCell(" << row << ", " << column
                      << ") outside the grid's rows";
        return;
    }
    state->currentRow = row;
    state->currentColumn = column;
}

void FakeView::close() {
    if (!usable("close")) return;
    closed_ = true;
    if (onClose_) onClose_();
}

const FakeView::GridState& FakeView::grid(forms::Id grid) const {
    static const GridState none;
    const auto it = grids_.find(grid);
    return it == grids_.end() ? none : it->second;
}

std::string FakeView::cell(forms::Id grid, int row, int column) const {
    const GridState& state = this->grid(grid);
    if (row < 0 || row >= static_cast<int>(state.rows.size())) return "<no row>";
    const auto& cells = state.rows[static_cast<std::size_t>(row)];
    if (column < 0 || column >= static_cast<int>(cells.size())) return "<no cell>";
    return cells[static_cast<std::size_t>(column)];
}

int FakeView::gridRows(forms::Id grid) const {
    return static_cast<int>(this->grid(grid).rows.size());
}

void FakeView::type(forms::Id control, std::string_view text) {
    ControlState* state = find(control, "type");
    if (!state) return;
    std::string typed = state->text + std::string(text);
    if (const int limit = state->control->maxLength; limit > 0) {
        // The limit counts characters; a UTF-8 character is one lead byte and its continuations.
        std::size_t end = 0;
        for (int n = 0; end < typed.size() && n < limit; ++n) {
            ++end;
            while (end < typed.size() && (static_cast<unsigned char>(typed[end]) & 0xC0) == 0x80)
                ++end;
        }
        typed.resize(end);
    }
    state->text = std::move(typed);
}

void FakeView::choose(forms::Id combo, std::size_t item) {
    ControlState* state = find(combo, "choose");
    if (!state) return;
    if (item >= state->control->items.size()) {
        ADD_FAILURE() << combo << " has no item " << item;
        return;
    }
    state->text = std::string(state->control->items[item]);
}

void FakeView::setListItems(forms::Id list, const std::vector<forms::ListItem>& items) {
    if (!usable("setListItems")) return;
    if (ControlState* state = find(list, "setListItems")) {
        state->list = items;
        state->listIndex = -1;
    }
}

void FakeView::setListIndex(forms::Id list, int index) {
    if (!usable("setListIndex")) return;
    ControlState* state = find(list, "setListIndex");
    if (!state) return;
    if (index < -1 || index >= static_cast<int>(state->list.size()))
        ADD_FAILURE() << list << " has no item " << index;
    else
        state->listIndex = index;
}

int FakeView::listIndex(forms::Id list) const {
    const ControlState* state = find(list, "listIndex");
    return state ? state->listIndex : -1;
}

const std::vector<forms::ListItem>& FakeView::listItems(forms::Id list) const {
    static const std::vector<forms::ListItem> none;
    const ControlState* state = find(list, "listItems");
    return state ? state->list : none;
}

void FakeView::pick(forms::Id list, int item) {
    ControlState* state = find(list, "pick");
    if (!state) return;
    if (item < 0 || item >= static_cast<int>(state->list.size())) {
        ADD_FAILURE() << list << " has no item " << item;
        return;
    }
    state->listIndex = item;
}

void FakeView::scrollTo(forms::Id grid, int row) {
    if (GridState* state = gridOf(grid, "scrollTo")) state->topRow = row;
}

void FakeView::editCell(forms::Id grid, int row, int column, std::string_view text) {
    const bool wasClosed = closed_;
    closed_ = false;
    setCell(grid, row, column, text);
    closed_ = wasClosed;
}

}  // namespace tessmar::test
