#pragma once
// The start-up password gate: the program's first window; only the administrator password opens
// the main window.
#include "forms/program.h"

namespace tessmar::forms {

class GateForm : public Form {
  public:
    GateForm(Program& program, View& view);

    // Warns, once, when users other than the administrators can change the program's folder.
    void load() override;
    void click(Id control) override;
    bool key(Id control, Key key) override;
    // The close box is dead: only 确定 with the right password and 取消 leave.
    bool closing() override { return false; }

  private:
    void OKButton_Click();
    void refuse(const std::string& text);

    Program& program_;
    View& view_;
};

}  // namespace tessmar::forms
