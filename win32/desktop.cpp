#include "win32/desktop.h"

#include <windowsx.h>

#include "win32/grid.h"

namespace tessmar::win32 {

Desktop::~Desktop() {
    closeAll();
}

void Desktop::closeAll() {
    open_.clear();
    prepared_.clear();
    gone_.clear();
}

std::unique_ptr<FormWindow> Desktop::newWindow(forms::WindowKind kind) {
    auto made = std::make_unique<FormWindow>(forms::layoutOf(kind), [this, kind] { gone(kind); });
    if (!made->create()) return nullptr;
    return made;
}

void Desktop::gone(forms::WindowKind kind) {
    // The one of that kind that has lost its window.
    for (auto* windows : {&open_, &prepared_}) {
        auto at = windows->find(kind);
        if (at == windows->end() || at->second->window()) continue;
        gone_.push_back(std::move(at->second));
        windows->erase(at);
        if (windows == &open_ && program_) program_->closed(kind);
        return;
    }
}

void Desktop::prepare(forms::WindowKind kind) {
    if (open_.contains(kind) || prepared_.contains(kind)) return;
    auto made = newWindow(kind);
    if (!made) return;
    made->preparePainting();
    prepared_.emplace(kind, std::move(made));
}

forms::View* Desktop::make(forms::WindowKind kind) {
    std::unique_ptr<FormWindow> made;
    if (auto at = prepared_.find(kind); at != prepared_.end()) {
        made = std::move(at->second);
        prepared_.erase(at);
    } else {
        made = newWindow(kind);
    }
    if (!made) return nullptr;
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
