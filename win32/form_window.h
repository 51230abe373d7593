#pragma once
// One window of the program made from its controls table: its frame from the table's border,
// its controls (controls.h), its owner drawing (painting.h), its keyboard (keyboard.h) and its dpi
// (dpi.h); the View that its form drives, and every event of its controls passed on to the form.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/layout.h"
#include "forms/program.h"
#include "forms/view.h"
#include "win32/controls.h"
#include "win32/dpi.h"
#include "win32/keyboard.h"

namespace tessmar::win32 {

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
    // Draws ahead what showing the window first will draw, and places it (a window made ahead
    // of its opening).
    void preparePainting();

    HWND window() const { return window_; }
    // The tooltips of the controls, made when the pointer first moves over the window.
    HWND tooltips() const { return tooltips_; }
    const forms::WindowLayout& layout() const { return layout_; }
    Dpi dpi() const { return controls_.dpi(); }
    // The control's window, or nullptr.
    HWND control(std::string_view name) const { return controls_.window(name); }
    // The control that the window belongs to (or is a part of, like a combo box's edit), -1 for
    // none.
    int controlIndexOf(HWND window) const { return controls_.indexOf(window); }

    // Tab, Enter, Esc and characters, before the control sees them; true when used up.
    bool preTranslate(const MSG& message) { return keyboard_.preTranslate(message, form_); }
    // Moves the focus along the tab order (-1 backwards); the controls hidden or disabled are
    // passed over.
    void moveFocus(int direction) { keyboard_.moveFocus(direction); }
    // Sizes the window and places every control again, with the fonts of that dpi.
    void relayout(Dpi dpi);

    // The form window that the window is, or that it stands in; nullptr for any other window.
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
    void setListItems(forms::Id list, const std::vector<forms::ListItem>& items) override;
    void setListIndex(forms::Id list, int index) override;
    int listIndex(forms::Id list) const override;
    void close() override;

  private:
    // The window procedures of the form window's classes: the window itself, its hidden owner,
    // the containers, and the subclass of every control of a system class.
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ownerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK containerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR);

    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // A mouse move over the window or one of its controls (over).
    void pointerMoved(HWND over, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleContainer(int index, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleControl(int index, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The messages that the controls send to the window.
    std::optional<LRESULT> onControlMessage(UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> onCommand(WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> onDrawItem(const DRAWITEMSTRUCT& item);
    std::optional<LRESULT> onControlColour(HWND control, HDC dc);
    LRESULT onSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT onClose();
    LRESULT onDpiChanged(WPARAM wParam, const RECT& suggested);
    LRESULT onDestroyed();
    // Centres the window on its monitor's work area, unless it is there already.
    void centre();
    // The control is drawn again: its face in the window's next paint when the window draws it.
    void redraw(int index);
    // Something the window draws has changed: the picture drawn ahead is out of date.
    void forgetDrawnAhead();

    const forms::WindowLayout& layout_;
    std::function<void()> gone_;
    forms::Form* form_ = nullptr;
    HWND window_ = nullptr;
    HWND owner_ = nullptr;
    HWND tooltips_ = nullptr;
    // The window's picture drawn while it was hidden, for its first paint.
    HBITMAP drawnAhead_ = nullptr;
    ControlTree controls_;
    Keyboard keyboard_;
};

}  // namespace tessmar::win32
