#pragma once
// A window without a window system: keeps what each control of the window's controls table shows,
// the focus, a grid's rows and current cell, and whether the window was closed. What a form does
// that no real window could (naming a control the table lacks, writing a cell past the rows,
// touching the window after closing it) fails the test.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "forms/layout.h"
#include "forms/view.h"

namespace tessmar::test {

class FakeView : public forms::View {
  public:
    struct ControlState {
        const forms::Control* control = nullptr;
        std::string text;
        bool enabled = true;
        bool visible = true;
        bool checked = false;
        std::optional<forms::Rgb> back;
        std::vector<forms::ListItem> list;  // a drop-down list's items
        int listIndex = -1;
    };
    struct GridState {
        std::vector<std::vector<std::string>> rows;
        int currentRow = -1, currentColumn = -1;
        int topRow = 0;  // the first row in view
        int fills = 0;   // setGridRows calls
        struct Note {
            std::optional<forms::Rgb> back;
            std::string tip;
        };
        std::map<std::pair<int, int>, Note> notes;  // by row and column
    };

    // onClose runs once, when the form closes the window.
    FakeView(forms::WindowKind kind, std::function<void()> onClose);

    void setText(forms::Id control, std::string_view text) override;
    std::string text(forms::Id control) const override;
    void setEnabled(forms::Id control, bool enabled) override;
    bool enabled(forms::Id control) const override;
    void setVisible(forms::Id control, bool visible) override;
    void setChecked(forms::Id control, bool checked) override;
    bool checked(forms::Id control) const override;
    void setBackColor(forms::Id control, forms::Rgb colour) override;
    void setFocus(forms::Id control) override;
    void setGridRows(forms::Id grid, const std::vector<std::vector<std::string>>& rows) override;
    void setCell(forms::Id grid, int row, int column, std::string_view text) override;
    void setCurrentCell(forms::Id grid, int row, int column) override;
    void setCellNote(forms::Id grid, int row, int column, std::optional<forms::Rgb> back,
                     std::string_view tip) override;
    void setListItems(forms::Id list, const std::vector<forms::ListItem>& items) override;
    void setListIndex(forms::Id list, int index) override;
    int listIndex(forms::Id list) const override;
    void close() override;

    // What the tests read.
    const std::vector<forms::ListItem>& listItems(forms::Id list) const;
    const forms::WindowLayout& layout() const { return layout_; }
    bool visible(forms::Id control) const;
    std::optional<forms::Rgb> backColor(forms::Id control) const;
    const std::string& focus() const { return focus_; }
    const GridState& grid(forms::Id grid) const;
    std::string cell(forms::Id grid, int row, int column) const;
    int gridRows(forms::Id grid) const;
    bool closed() const { return closed_; }

    // What the administrator does.
    // Types into a box as a keyboard would: the box's length limit holds.
    void type(forms::Id control, std::string_view text);
    // Picks item i of a combo box's list.
    void choose(forms::Id combo, std::size_t item);
    // Picks item i of a drop-down list, whether the item is enabled or not (the Windows list
    // cannot show it disabled); the form hears of it as a click.
    void pick(forms::Id list, int item);
    void tick(forms::Id box, bool checked) { setChecked(box, checked); }
    // Scrolls a grid so that this row is the first in view.
    void scrollTo(forms::Id grid, int row);
    void editCell(forms::Id grid, int row, int column, std::string_view text);
    void focusOn(forms::Id control) { setFocus(control); }

  private:
    ControlState* find(forms::Id control, const char* call);
    const ControlState* find(forms::Id control, const char* call) const;
    GridState* gridOf(forms::Id grid, const char* call);
    bool usable(const char* call) const;

    const forms::WindowLayout& layout_;
    std::function<void()> onClose_;
    std::map<std::string, ControlState, std::less<>> controls_;
    std::map<std::string, GridState, std::less<>> grids_;
    std::string focus_;
    bool closed_ = false;
};

}  // namespace tessmar::test
