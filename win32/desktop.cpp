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
    closed_.clear();
}

void Desktop::show(forms::WindowKind kind) {
    if (open_.contains(kind)) {
        raise(kind);
        return;
    }
    auto made =
        std::make_unique<FormWindow>(forms::layoutOf(kind), windowClass(kind), [this, kind] {
            auto at = open_.find(kind);
            if (at == open_.end()) return;
            gone_.push_back(std::move(at->second));
            open_.erase(at);
            closed_.push_back(kind);
        });
    FormWindow& window = *made;
    if (!window.create()) return;
    open_.emplace(kind, std::move(made));
    // Shown before it loads, so that a message of its load stands over its own window; what
    // it shows at first comes from its table.
    window.show();
    if (program_) window.setForm(program_->makeForm(kind, window));
    if (window.form()) window.form()->load();
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
    while (!closed_.empty()) {
        const forms::WindowKind kind = closed_.front();
        closed_.erase(closed_.begin());
        if (program_) program_->closed(kind);
        // The program ends when its last window has closed.
        if (open_.empty()) quit();
    }
    gone_.clear();
}

int Desktop::run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) dispatch(message);
    return static_cast<int>(message.wParam);
}

}  // namespace tessmar::win32
