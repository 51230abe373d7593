#pragma once
// The keyboard of a form window: the tab order of its table, the focus it keeps while another
// window is active and gives back on its return, and Tab, Enter, Esc and typed characters, which
// reach the form before the control that has the focus.
#include <windows.h>

#include <optional>
#include <vector>

#include "forms/program.h"
#include "win32/controls.h"

namespace tessmar::win32 {

class Keyboard {
  public:
    explicit Keyboard(ControlTree& controls) : controls_(controls) {}

    // The tab order of the table; once the controls are made.
    void build();

    // Gives the control the focus, or has it take the focus when the window shows; a control
    // hidden or disabled is passed over.
    void focus(int index);
    // Moves the focus along the tab order (-1 backwards), passing over the controls hidden or
    // disabled.
    void moveFocus(int direction);
    // Gives the focus back to the control that had it last, if it can still take it.
    void restoreFocus();

    // WM_ACTIVATE of the window: keeps the focus when it goes inactive, gives it back when it
    // returns; false where the system's handling should follow.
    bool activate(WPARAM wParam);
    // Activates the window and gives the focus back (when its hidden owner is handed the
    // activation).
    void takeActivation();

    // Tab, Enter, Esc and characters, before the control sees them; true when used up.
    bool preTranslate(const MSG& message, forms::Form* form);
    // The keyboard's part of a message to a control of a system class (or a combo box's edit):
    // the focus it takes and the text an input method hands it. A result when the message is
    // used up.
    std::optional<LRESULT> controlMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          int index, forms::Form* form);

  private:
    bool canTakeFocus(HWND window) const;

    ControlTree& controls_;
    std::vector<int> tabOrder_;
    HWND savedFocus_ = nullptr;  // the focus to give back when the window is activated again
    bool composing_ = false;     // input-method text being handed to an edit
};

}  // namespace tessmar::win32
