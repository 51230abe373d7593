#pragma once
// The grid of the checklist and of the editor's list: fixed heading rows and columns in the
// system's button colours, per-cell text, column widths and colours as the table gives them, a
// vertical scroll bar and the mouse wheel when the rows do not fit, and the row under the pointer
// reported with every press.
#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "forms/layout.h"
#include "forms/view.h"
#include "win32/dpi.h"

namespace tessmar::win32 {

inline constexpr const wchar_t* kGridClass = L"TessmarGrid";

class Grid {
  public:
    struct Events {
        // A mouse press; row is the row under the pointer, -1 below the last row.
        std::function<void(forms::Button, int row)> press;
        std::function<void()> move;
    };

    // Makes a grid child window; the grid is deleted with its window. nullptr when the window
    // cannot be made.
    static Grid* create(HWND parent, int id, const forms::GridSpec& shape, const RECT& place,
                        DWORD style, Dpi dpi, Events events);
    // The grid of a window made by create, or nullptr.
    static Grid* of(HWND window);

    HWND window() const { return window_; }
    void setFont(HFONT font);
    void setDpi(Dpi dpi);
    // Replaces the rows and shows the first one.
    void setRows(std::vector<std::vector<std::wstring>> rows);
    void setCell(int row, int column, std::wstring text);
    // Makes the cell current without scrolling.
    void setCurrentCell(int row, int column);
    // Sets a cell apart: its own back colour and a tip while the pointer rests on it. New rows
    // have no notes.
    void setCellNote(int row, int column, std::optional<forms::Rgb> back, std::wstring tip);
    // The tip of the cell at the pointer position (client pixels), empty for none.
    std::wstring tipAt(int x, int y) const;

    int rowCount() const { return static_cast<int>(rows_.size()); }
    std::wstring cell(int row, int column) const;
    int currentRow() const { return currentRow_; }
    int currentColumn() const { return currentColumn_; }
    // The first row below the fixed ones that is shown.
    int topRow() const { return top_; }
    int rowHeight() const { return rowHeight_; }
    // The row at y (client pixels), -1 when there is none.
    int rowAt(int y) const;
    // The column at x (client pixels), -1 right of the last one.
    int columnAt(int x) const;
    // Scrolls so that row becomes the first shown below the fixed rows (kept in range).
    void scrollTo(int row);

  private:
    Grid(const forms::GridSpec& shape, Dpi dpi, Events events);
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC dc, const RECT& client);
    void measure();
    void updateScrollBar();
    int visibleRows() const;
    int maxTop() const;
    int columnWidth(int column) const;
    int columnCount() const;

    HWND window_ = nullptr;
    forms::GridSpec shape_;
    Dpi dpi_;
    Events events_;
    bool ownedByWindow_ = false;  // once made: the window's end deletes the grid
    HFONT font_ = nullptr;
    std::vector<std::vector<std::wstring>> rows_;
    int rowHeight_ = 16;
    int top_ = 0;
    int currentRow_ = 0, currentColumn_ = 0;
    int wheel_ = 0;  // wheel travel not yet turned into rows
    struct Note {
        std::optional<forms::Rgb> back;
        std::wstring tip;
    };
    std::map<std::pair<int, int>, Note> notes_;
    HWND tips_ = nullptr;    // made with the first note that has a tip
    std::wstring tipShown_;  // the tool's text now
    void showTipAt(int x, int y);
};

}  // namespace tessmar::win32
