#pragma once
// The Group Policy export: the stored choices as Registry.pol files and a .reg file, and on Windows
// into the local policy of the PC's standard users.
#include "forms/program.h"

namespace tessmar::forms {

class gpo : public Form {
  public:
    gpo(Program& program, View& view) : program_(program), view_(view) {}

  private:
    Program& program_;
    View& view_;
};

}  // namespace tessmar::forms
