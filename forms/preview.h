#pragma once
// What "确定生效" would change in the registry, before anything is written.
#include "forms/program.h"

namespace tessmar::forms {

class preview : public Form {
  public:
    preview(Program& program, View& view) : program_(program), view_(view) {}

  private:
    Program& program_;
    View& view_;
};

}  // namespace tessmar::forms
