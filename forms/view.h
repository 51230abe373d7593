#pragma once
// How a form reaches its window: a passive view that the form drives. Every front end (Qt, Win32)
// implements it once for all windows; controls are addressed by their names in the window's
// controls table ("Command2(3)", "Grid1"). Texts are UTF-8.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/layout.h"

namespace tessmar::forms {

using Id = std::string_view;

enum class Button { Left, Right, Other };

// One item of a drop-down list: its text, whether it can be chosen, and the tip that says what it
// is (or why it cannot be chosen).
struct ListItem {
    std::string text;
    bool enabled = true;
    std::string tip;
    bool operator==(const ListItem&) const = default;
};

// A key as the forms care about it; any other key is ordinary text entry and never reaches them.
enum class Key { Enter, Escape, Character };

class View {
  public:
    virtual ~View() = default;

    // Caption of a button or label, contents of a text box or the edit text of a combo box. A
    // multi-line box breaks its lines with LF; the forms take CR LF from it too.
    virtual void setText(Id control, std::string_view text) = 0;
    virtual std::string text(Id control) const = 0;
    virtual void setEnabled(Id control, bool enabled) = 0;
    virtual bool enabled(Id control) const = 0;
    virtual void setVisible(Id control, bool visible) = 0;
    virtual void setChecked(Id control, bool checked) = 0;
    virtual bool checked(Id control) const = 0;
    virtual void setBackColor(Id control, Rgb colour) = 0;
    // Moving the focus to a disabled or hidden control leaves it where it is.
    virtual void setFocus(Id control) = 0;

    // A drop-down list: its items replace the old ones and none is chosen; then the one at index
    // (-1: none). The administrator choosing an item reaches the form as a click of the list; an
    // item that is not enabled cannot be chosen where the system can show it so, and the form
    // refuses it where it cannot.
    virtual void setListItems(Id list, const std::vector<ListItem>& items) = 0;
    virtual void setListIndex(Id list, int index) = 0;
    virtual int listIndex(Id list) const = 0;

    // A grid: its rows replace the old ones (row 0 is the heading row where the grid has one),
    // then it shows its first row.
    virtual void setGridRows(Id grid, const std::vector<std::vector<std::string>>& rows) = 0;
    virtual void setCell(Id grid, int row, int column, std::string_view text) = 0;
    // Makes a cell current without scrolling the grid: the rows under the pointer stay put.
    virtual void setCurrentCell(Id grid, int row, int column) = 0;
    // Sets a cell apart: its back colour (nullopt: the grid's own) and the tip shown while the
    // pointer rests on it (empty: none). setGridRows clears every note.
    virtual void setCellNote(Id grid, int row, int column, std::optional<Rgb> back,
                             std::string_view tip) = 0;

    // Closes (and destroys) the window.
    virtual void close() = 0;
};

}  // namespace tessmar::forms
