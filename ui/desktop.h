#pragma once
// The windows of the program in Qt: made from the forms' tables when the program opens them.
#include <QObject>
#include <QPointer>
#include <array>

#include "forms/program.h"
#include "ui/window.h"

namespace tessmar::ui {

class Desktop : public QObject, public forms::Desktop {
  public:
    // The program whose forms the windows show; set before the first window opens.
    void attach(forms::Program& program) { program_ = &program; }

    forms::View* make(forms::WindowKind kind) override;
    void show(forms::WindowKind kind, forms::Form& form) override;
    void raise(forms::WindowKind kind) override;
    void quit() override;

    // The open window of that kind, or nullptr.
    Window* window(forms::WindowKind kind) const;

  private:
    forms::Program* program_ = nullptr;
    std::array<QPointer<Window>, forms::kWindowCount> windows_;
};

}  // namespace tessmar::ui
