#include "win32/keyboard.h"

#include <commctrl.h>

#include <algorithm>

namespace tessmar::win32 {
namespace {

using forms::Kind;

}  // namespace

void Keyboard::build() {
    tabOrder_.clear();
    for (int i = 0; i < controls_.size(); ++i)
        if (controls_.control(i).tab >= 0) tabOrder_.push_back(i);
    std::stable_sort(tabOrder_.begin(), tabOrder_.end(), [this](int a, int b) {
        return controls_.control(a).tab < controls_.control(b).tab;
    });
}

bool Keyboard::canTakeFocus(HWND window) const {
    return window && IsWindow(window) && IsWindowVisible(window) && IsWindowEnabled(window);
}

void Keyboard::focus(int index) {
    HWND target = controls_.slot(index).window;
    if (!target || !controls_.shown(index) || !IsWindowEnabled(target)) return;
    savedFocus_ = target;
    if (IsWindowVisible(controls_.root())) SetFocus(target);
}

void Keyboard::moveFocus(int direction) {
    if (tabOrder_.empty()) return;
    const int count = static_cast<int>(tabOrder_.size());
    const int current = controls_.indexOf(GetFocus());
    auto at = std::find(tabOrder_.begin(), tabOrder_.end(), current);
    int position = at == tabOrder_.end() ? (direction > 0 ? -1 : count)
                                         : static_cast<int>(at - tabOrder_.begin());
    for (int step = 0; step < count; ++step) {
        position = (position + direction + count) % count;
        const int index = tabOrder_[static_cast<std::size_t>(position)];
        HWND target = controls_.slot(index).window;
        if (!target || !controls_.shown(index) || !IsWindowEnabled(target)) continue;
        focus(index);
        // As in dialogs: a box entered by Tab has its text selected.
        if (controls_.control(index).kind == Kind::TextBox) SendMessageW(target, EM_SETSEL, 0, -1);
        return;
    }
}

void Keyboard::restoreFocus() {
    if (canTakeFocus(savedFocus_)) SetFocus(savedFocus_);
}

bool Keyboard::activate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(controls_.root(), focus)) savedFocus_ = focus;
        return true;
    }
    if (!canTakeFocus(savedFocus_)) return false;
    SetFocus(savedFocus_);
    return true;
}

void Keyboard::takeActivation() {
    HWND root = controls_.root();
    if (!root || !IsWindowVisible(root) || !IsWindowEnabled(root)) return;
    SetForegroundWindow(root);
    SetActiveWindow(root);
    SetFocus(canTakeFocus(savedFocus_) ? savedFocus_ : root);
}

bool Keyboard::preTranslate(const MSG& message, forms::Form* form) {
    if (!form) return false;
    const int index = controls_.indexOf(message.hwnd);
    const forms::Id name = index >= 0 ? controls_.control(index).name : forms::Id();
    const Kind kind = index >= 0 ? controls_.control(index).kind : Kind::Label;
    if (message.message == WM_KEYDOWN) {
        switch (message.wParam) {
            case VK_TAB:
                if (GetKeyState(VK_CONTROL) < 0) return false;
                moveFocus(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
                return true;
            case VK_RETURN:
                if (form->key(name, forms::Key::Enter)) return true;
                if (index >= 0 && isPushButton(kind)) {
                    // Where the table says so, Enter presses the button that has the focus, as
                    // in a dialog; no mouse press is faked for it. Elsewhere it does nothing.
                    if (controls_.layout().enterPressesButtons) form->click(name);
                    return true;
                }
                return false;
            case VK_ESCAPE:
                return form->key(name, forms::Key::Escape);
            default:
                return false;
        }
    }
    if (message.message == WM_CHAR) {
        if (form->key(name, forms::Key::Character)) return true;
        const wchar_t ch = static_cast<wchar_t>(message.wParam);
        const bool multiLine =
            index >= 0 && kind == Kind::TextBox && controls_.control(index).multiLine;
        // Single-line boxes would only beep at these.
        if ((ch == L'\r' || ch == L'\x1b' || ch == L'\t') && !multiLine) return true;
    }
    return false;
}

std::optional<LRESULT> Keyboard::controlMessage(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam, int index, forms::Form* form) {
    switch (message) {
        case WM_SETFOCUS:
            savedFocus_ = window;
            return std::nullopt;
        case WM_IME_COMPOSITION:
            if ((lParam & GCS_RESULTSTR) && form) {
                if (form->key(controls_.control(index).name, forms::Key::Character)) return 0;
                // The characters the edit makes of it were reported just now.
                composing_ = true;
                const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
                composing_ = false;
                return result;
            }
            return std::nullopt;
        case WM_IME_CHAR:
            if (!composing_ && form &&
                form->key(controls_.control(index).name, forms::Key::Character))
                return 0;
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

}  // namespace tessmar::win32
