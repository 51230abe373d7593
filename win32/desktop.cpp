#include "win32/desktop.h"

#include <windowsx.h>

#include "win32/grid.h"

namespace tessmar::win32 {

Desktop::~Desktop() {
    closeAll();
}

void Desktop::closeAll() {
    open_.clear();
    gone_.clear();
}

forms::View* Desktop::make(forms::WindowKind kind) {
    auto made = std::make_unique<FormWindow>(forms::layoutOf(kind), [this, kind] {
        auto at = open_.find(kind);
        if (at == open_.end()) return;
        gone_.push_back(std::move(at->second));
        open_.erase(at);
        if (program_) program_->closed(kind);
    });
    if (!made->create()) return nullptr;
    return open_.insert_or_assign(kind, std::move(made)).first->second.get();
}

void Desktop::show(forms::WindowKind kind, forms::Form& form) {
    FormWindow* made = window(kind);
    if (!made) return;
    made->setForm(&form);
    made->show();
}

void Desktop::raise(forms::WindowKind kind) {
    FormWindow* open = window(kind);
    if (!open || !open->window()) return;
    if (IsIconic(open->window())) ShowWindow(open->window(), SW_RESTORE);
    ShowWindow(open->window(), SW_SHOW);
    SetForegroundWindow(open->window());
}

void Desktop::quit() {
    PostQuitMessage(0);
}

FormWindow* Desktop::window(forms::WindowKind kind) const {
    auto at = open_.find(kind);
    return at == open_.end() ? nullptr : at->second.get();
}

void Desktop::dispatch(MSG& message) {
    // The wheel turns the grid under the pointer, whichever control has the focus.
    if (message.message == WM_MOUSEWHEEL) {
        POINT at{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
        HWND under = WindowFromPoint(at);
        if (Grid::of(under)) message.hwnd = under;
    }
    FormWindow* window = FormWindow::of(message.hwnd);
    if (!window || !window->preTranslate(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    settle();
}

void Desktop::settle() {
    if (gone_.empty()) return;
    gone_.clear();
    if (program_) program_->settle();
    // The program ends when its last window has gone.
    if (open_.empty()) quit();
}

int Desktop::run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) dispatch(message);
    return static_cast<int>(message.wParam);
}

}  // namespace tessmar::win32
