#pragma once
// A window system of fake views: make(kind) makes the window, show hands it its form, closing a
// window tells the program, and every show, raise, close and quit is recorded in order.
#include <memory>
#include <string>
#include <vector>

#include "forms/program.h"
#include "support/fake_view.h"

namespace tessmar::test {

class FakeDesktop : public forms::Desktop {
  public:
    // The program whose forms drive the windows; set before the first window opens.
    void attach(forms::Program& program) { program_ = &program; }

    forms::View* make(forms::WindowKind kind) override;
    void show(forms::WindowKind kind, forms::Form& form) override;
    void raise(forms::WindowKind kind) override;
    void quit() override;

    // The open window of that kind, or nullptr.
    FakeView* view(forms::WindowKind kind) const;
    forms::Form* form(forms::WindowKind kind) const;
    template <class F>
    F& form(forms::WindowKind kind) const {
        auto* typed = dynamic_cast<F*>(form(kind));
        if (!typed) throw std::logic_error("no open window of that kind");
        return *typed;
    }
    // The close box: the window closes when its form lets it; true when it did.
    bool closeBox(forms::WindowKind kind);

    // "show main", "raise pwsword", "close pwdyz", "quit", in order.
    std::vector<std::string> events;
    bool quitCalled = false;

  private:
    struct Window {
        forms::WindowKind kind;
        std::unique_ptr<FakeView> view;
        forms::Form* form = nullptr;
    };
    void closed(forms::WindowKind kind);

    forms::Program* program_ = nullptr;
    std::vector<Window> open_;
    // Closed windows live on until the desktop goes: a form may still be running when its window
    // closes, as a real window is destroyed only once its event has been handled. Their forms live
    // on in the program, which is never settled here.
    std::vector<Window> gone_;
};

std::string kindName(forms::WindowKind kind);

}  // namespace tessmar::test
