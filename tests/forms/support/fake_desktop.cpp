#include "support/fake_desktop.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tessmar::test {

std::string kindName(forms::WindowKind kind) {
    return std::string(forms::layoutOf(kind).name);
}

forms::View* FakeDesktop::make(forms::WindowKind kind) {
    if (view(kind)) {
        ADD_FAILURE() << "make(" << kindName(kind) << ") while that window is open";
        return nullptr;
    }
    open_.push_back({kind, std::make_unique<FakeView>(kind, [this, kind] { closed(kind); })});
    return open_.back().view.get();
}

void FakeDesktop::show(forms::WindowKind kind, forms::Form& form) {
    events.push_back("show " + kindName(kind));
    for (Window& w : open_)
        if (w.kind == kind) w.form = &form;
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
        if (w.kind == kind) return w.form;
    return nullptr;
}

bool FakeDesktop::closeBox(forms::WindowKind kind) {
    forms::Form* f = form(kind);
    if (!f || !f->closing()) return false;
    view(kind)->close();
    return true;
}

}  // namespace tessmar::test
