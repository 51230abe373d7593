#pragma once
// The history of the applies: what each changed, and a restore of the state before it.
#include "forms/program.h"

namespace tessmar::forms {

class history : public Form {
  public:
    history(Program& program, View& view) : program_(program), view_(view) {}

  private:
    Program& program_;
    View& view_;
};

}  // namespace tessmar::forms
