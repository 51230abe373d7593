#pragma once
// The password change window.
#include "forms/program.h"

namespace tessmar::forms {

class PasswordForm : public Form {
  public:
    PasswordForm(Program& program, View& view);

    void click(Id control) override;
    bool key(Id control, Key key) override;

  private:
    void confirm();
    void tell(const std::string& text);

    Program& program_;
    View& view_;
};

}  // namespace tessmar::forms
