#include "support/fake_desktop.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tessmar::test {

std::string kindName(forms::WindowKind kind) {
    return std::string(forms::layoutOf(kind).name);
}

void FakeDesktop::show(forms::WindowKind kind) {
    if (view(kind)) {
        ADD_FAILURE() << "show(" << kindName(kind) << ") while that window is open";
        return;
    }
    events.push_back("show " + kindName(kind));
    Window window{kind, std::make_unique<FakeView>(kind, [this, kind] { closed(kind); }), nullptr};
    window.form = program_->makeForm(kind, *window.view);
    forms::Form* form = window.form.get();
    open_.push_back(std::move(window));
    form->load();
}

void FakeDesktop::raise(forms::WindowKind kind) {
    if (!view(kind)) ADD_FAILURE() << "raise(" << kindName(kind) << ") without that window open";
    events.push_back("raise " + kindName(kind));
}

void FakeDesktop::quit() {
    events.push_back("quit");
    quitCalled = true;
}

void FakeDesktop::closed(forms::WindowKind kind) {
    events.push_back("close " + kindName(kind));
    const auto it = std::ranges::find_if(open_, [kind](const Window& w) { return w.kind == kind; });
    if (it == open_.end()) return;
    gone_.push_back(std::move(*it));
    open_.erase(it);
    program_->closed(kind);
}

FakeView* FakeDesktop::view(forms::WindowKind kind) const {
    for (const Window& w : open_)
        if (w.kind == kind) return w.view.get();
    return nullptr;
}

forms::Form* FakeDesktop::form(forms::WindowKind kind) const {
    for (const Window& w : open_)
        if (w.kind == kind) return w.form.get();
    return nullptr;
}

bool FakeDesktop::closeBox(forms::WindowKind kind) {
    forms::Form* f = form(kind);
    if (!f || !f->closing()) return false;
    view(kind)->close();
    return true;
}

}  // namespace tessmar::test
