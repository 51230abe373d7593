#pragma once
// The drive hiding window: which of the drives A: to O: Explorer hides, kept in drives.ini.
#include "forms/sidefile.h"

namespace tessmar::forms {

class DrivesForm : public SideFileForm {
  public:
    using SideFileForm::SideFileForm;
    void click(Id control) override;

  private:
    Status loadFile() override;
    std::string loadFailure() const override;
    void setAll(bool hide);
};

}  // namespace tessmar::forms
