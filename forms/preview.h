#pragma once
// What "确定生效" would change in the registry, before anything is written.
#include <string_view>

#include "forms/program.h"

namespace tessmar::forms {

namespace names::preview {
inline constexpr std::string_view Frame1 = "Frame1";
inline constexpr std::string_view Heading = "Label1(0)";    // the category and what follows
inline constexpr std::string_view Grid1 = "Grid1";          // value, now, after
inline constexpr std::string_view Unchanged = "Label1(1)";  // the values already as wanted
inline constexpr std::string_view Label1_2 = "Label1(2)";   // the caption of Grid2
inline constexpr std::string_view Grid2 = "Grid2";          // what would not be written
inline constexpr std::string_view Status = "Label1(3)";     // why there is no preview
inline constexpr std::string_view Close = "Command1";
}  // namespace names::preview

class PreviewForm : public Form {
  public:
    PreviewForm(Program& program, View& view) : program_(program), view_(view) {}

    void load() override { refresh(); }
    // Works the preview out anew from Program::previewRequest() and the registry as it is now.
    void refresh() override;
    void click(Id control) override;

  private:
    Program& program_;
    View& view_;
};

}  // namespace tessmar::forms
