#pragma once
// The Group Policy export: the stored choices as Registry.pol files and a .reg file, and on Windows
// into the local policy of the PC's standard users.
#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "forms/program.h"

namespace tessmar::forms {

namespace names::policyExport {
inline constexpr std::string_view Frame1 = "Frame1";
inline constexpr std::string_view FolderCaption = "Label1(0)";
inline constexpr std::string_view ExportNote = "Label1(1)";
inline constexpr std::string_view UsersNote = "Label1(2)";
inline constexpr std::string_view ApplyNote = "Label1(3)";
inline constexpr std::string_view Status = "Label1(4)";  // what the list shows
inline constexpr std::string_view Folder = "Text1";
inline constexpr std::string_view Grid1 = "Grid1";  // the lines of the last export or apply
inline constexpr std::string_view Export = "Command1(0)";
inline constexpr std::string_view StandardUsers = "Command1(1)";
inline constexpr std::string_view Close = "Command1(2)";
}  // namespace names::policyExport

// The folder the window offers first: beside the program.
inline constexpr std::string_view kDefaultExportFolder = "组策略导出";

class ExportForm : public Form {
  public:
    ExportForm(Program& program, View& view) : program_(program), view_(view) {}

    void load() override;
    void click(Id control) override;

    // The folder the box names: blanks at either end dropped, a relative one taken from the
    // program directory; empty when the box is empty.
    std::filesystem::path folder() const;

  private:
    void exportClicked();
    void standardUsersClicked();
    // The list shows these lines under that heading; a long line's whole text is its tip.
    void showLines(const std::string& heading, const std::vector<std::string>& lines);
    void tell(const std::string& text);
    bool ask(const std::string& question);

    Program& program_;
    View& view_;
};

}  // namespace tessmar::forms
