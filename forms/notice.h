#pragma once
// The logon notice editor: the title and text Windows shows before logon, kept in logo.ini.
#include "forms/sidefile.h"

namespace tessmar::forms {

class NoticeForm : public SideFileForm {
  public:
    using SideFileForm::SideFileForm;
    void click(Id control) override;

  private:
    Status loadFile() override;
    std::string loadFailure() const override;
};

}  // namespace tessmar::forms
