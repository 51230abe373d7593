#pragma once
// One window of the program made from its controls table: the controls, their fonts, colours,
// tooltips, tab order and dpi scaling, the View the form drives, and the routing of every event
// of the controls to the form. What differs between the windows is in their tables.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/layout.h"
#include "forms/program.h"
#include "forms/view.h"

namespace tessmar::win32 {

class FormWindow;

// The monitor's dpi for a window (96 where the system cannot say).
int dpiOf(HWND window);

class FormWindow : public forms::View {
  public:
    // gone runs once the window has been destroyed.
    FormWindow(const forms::WindowLayout& layout, std::function<void()> gone);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // Makes the window and its controls, hidden, at the dpi of the primary monitor.
    bool create();
    // The form that the window's events go to.
    void setForm(forms::Form* form) { form_ = form; }
    forms::Form* form() const { return form_; }
    // Centres the window on its monitor's work area, shows and activates it.
    void show();

    HWND window() const { return window_; }
    HWND tooltips() const { return tooltips_; }
    const forms::WindowLayout& layout() const { return layout_; }
    int dpi() const { return dpi_; }
    // The control's window, or nullptr.
    HWND control(std::string_view name) const;
    // The control that the window belongs to (or is a part of, like a combo box's edit), -1 for
    // none.
    int controlIndexOf(HWND window) const;
    // Tab, Enter, Esc and characters, before the control sees them; true when used up.
    bool preTranslate(const MSG& message);
    // Moves the focus along the tab order (-1 backwards); the controls hidden or disabled are
    // passed over.
    void moveFocus(int direction);
    // Places every control again and remakes the fonts for that dpi.
    void relayout(int dpi);

    // The window of ours that window is, or nullptr.
    static FormWindow* of(HWND window);

    // forms::View
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
    void close() override;

  private:
    struct Made {
        const forms::Control* control = nullptr;
        HWND window = nullptr;
        int parent = -1;  // index of the containing control, -1 for the window
        std::optional<forms::Rgb> back;
        bool visible = true;    // its own state; it shows when its containers show too
        HBRUSH look = nullptr;  // containers with a picture: their look, for the labels on them
        HBITMAP lookBitmap = nullptr;
    };

    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK containerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR index, DWORD_PTR self);
    static LRESULT CALLBACK ownerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR self);
    // Activates the window and gives the focus back to the control that had it.
    void takeActivation();
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleContainer(int index, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Messages that the controls send to their parent, whichever container that is.
    bool handleParentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    void makeControl(int index);
    void addTooltip(int index);
    // In the window's client pixels.
    RECT placeOf(int index) const;
    // The control's top-left corner inside a container (-1: the window).
    POINT offsetIn(int index, int container) const;
    // True when index is container or lies inside it.
    bool within(int index, int container) const;
    int find(forms::Id name) const;
    bool shown(int index) const;
    void focusControl(int index);
    COLORREF backOf(int index) const;
    HBRUSH lookBrush(int container);
    void dropLook(int container);
    void paintLook(int container, HDC dc, POINT offset);
    void paintContainer(int index, HDC dc);
    void drawButton(int index, const DRAWITEMSTRUCT& item);
    void drawVerticalLabel(int index, const DRAWITEMSTRUCT& item);
    HBRUSH controlColours(HWND control, HDC dc);
    bool deliverKey(int index, forms::Key key);

    const forms::WindowLayout& layout_;
    std::function<void()> gone_;
    forms::Form* form_ = nullptr;
    HWND window_ = nullptr;
    HWND owner_ = nullptr;
    HWND tooltips_ = nullptr;
    int dpi_ = 96;
    std::vector<Made> made_;
    std::vector<int> tabOrder_;
    HWND savedFocus_ = nullptr;  // the focus to give back when the window is activated again
    bool composing_ = false;     // input-method text being handed to an edit
};

}  // namespace tessmar::win32
