#pragma once
// The controls of one window, made from its controls table: a slot per control (its control of
// the table, its window, the container it stands in, its back colour and its own visibility),
// their places at the window's dpi, making them and their tooltips, and finding a control by name
// or by window.
#include <windows.h>
// Needs the types of windows.h.
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "forms/layout.h"
#include "win32/dpi.h"
#include "win32/grid.h"

namespace tessmar::win32 {

// The class of the containers, the images and the lines, which the window draws itself.
inline constexpr const wchar_t* kContainerClass = L"TessmarPicture";

bool isPushButton(forms::Kind kind);
// A button that the window draws itself (BS_OWNERDRAW).
bool isOwnerDrawnButton(const forms::Control& c);
// A control whose face the window draws in its own paint (a container, an image, a line, an
// owner-drawn button): under Wine every control's own paint costs a round of requests to the
// server, about a millisecond, and a window shows twenty of them at once.
bool paintedByTheWindow(const forms::Control& c);

struct Slot {
    const forms::Control* control = nullptr;
    HWND window = nullptr;
    int parent = -1;  // the containing control's index, -1 for the window itself
    std::optional<forms::Rgb> back;
    bool visible = true;  // its own state; it shows when its containers show too
    // A container with a picture: what shows through the labels standing on it, drawn once per
    // size and colour.
    HBRUSH backdrop = nullptr;
    HBITMAP backdropBitmap = nullptr;

    void dropBackdrop();
};

class ControlTree {
  public:
    explicit ControlTree(const forms::WindowLayout& layout);
    ~ControlTree();
    ControlTree(const ControlTree&) = delete;
    ControlTree& operator=(const ControlTree&) = delete;

    // Makes every control of the table as a child of root, at the dpi of root. Each control of a
    // system class, and a combo box's edit, is subclassed with route; a grid reports its presses
    // and moves through gridEvents(index).
    void make(HWND root, Dpi dpi, SUBCLASSPROC route,
              const std::function<Grid::Events(int index)>& gridEvents);
    // Adds the tooltip of every control that has one to tooltips.
    void addTooltips(HWND tooltips);
    // Places every control again and gives it its font, for that dpi.
    void place(Dpi dpi);
    // The windows are gone.
    void forget();

    const forms::WindowLayout& layout() const { return layout_; }
    HWND root() const { return root_; }
    Dpi dpi() const { return dpi_; }
    int size() const { return static_cast<int>(slots_.size()); }
    Slot& slot(int index) { return slots_[static_cast<std::size_t>(index)]; }
    const Slot& slot(int index) const { return slots_[static_cast<std::size_t>(index)]; }
    const forms::Control& control(int index) const { return *slot(index).control; }

    // The index of the control of that name, -1 for none.
    int find(std::string_view name) const;
    // The window of the control of that name, or nullptr.
    HWND window(std::string_view name) const;
    // The grid of the control of that name, or nullptr.
    Grid* grid(std::string_view name) const;
    // The control that the window is, or is a part of (a combo box's edit); -1 for none.
    int indexOf(HWND window) const;

    // In the root's client pixels.
    RECT placeOf(int index) const;
    // The control's top-left corner inside a container (-1: the window).
    POINT offsetIn(int index, int container) const;
    // True when index is container or lies inside it.
    bool within(int index, int container) const;
    // Shown: it and every container around it are visible.
    bool shown(int index) const;

  private:
    void makeControl(int index, SUBCLASSPROC route,
                     const std::function<Grid::Events(int index)>& gridEvents);
    // Where the control's face draws its text otherwise than the table's font would: a label's
    // line centred when taller than the label, a combo box's list as wide as its widest item.
    void fitText(int index, HFONT controlFont, const RECT& place);

    const forms::WindowLayout& layout_;
    std::vector<Slot> slots_;
    HWND root_ = nullptr;
    Dpi dpi_;
};

}  // namespace tessmar::win32
