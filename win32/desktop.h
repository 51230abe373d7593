#pragma once
// The window system for the forms: makes each window from its table, keeps the open ones, tells
// the program when one has closed, and runs the message loop that hands keys to the forms before
// the controls see them.
#include <map>
#include <memory>
#include <vector>

#include "forms/program.h"
#include "win32/form_window.h"

namespace tessmar::win32 {

class Desktop : public forms::Desktop {
  public:
    Desktop() = default;
    ~Desktop() override;
    void setProgram(forms::Program& program) { program_ = &program; }

    forms::View* make(forms::WindowKind kind) override;
    void show(forms::WindowKind kind, forms::Form& form) override;
    void raise(forms::WindowKind kind) override;
    void quit() override;

    // The open window of that kind, or nullptr.
    FormWindow* window(forms::WindowKind kind) const;
    // Runs the messages until quit; the exit code.
    int run();
    // One message as the loop handles it (for tests that drive the loop themselves).
    void dispatch(MSG& message);
    // Deletes the windows that have gone since, and has the program delete their forms, here where
    // no handler of theirs is running; ends the program when its last window has gone.
    void settle();
    // Destroys every window without telling the program, which is ending.
    void closeAll();

  private:
    forms::Program* program_ = nullptr;
    std::map<forms::WindowKind, std::unique_ptr<FormWindow>> open_;
    std::vector<std::unique_ptr<FormWindow>> gone_;
};

}  // namespace tessmar::win32
