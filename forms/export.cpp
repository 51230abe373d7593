#include "forms/export.h"

#include "forms/tables.h"
#include "gpo/export.h"
#include "gpo/localpolicy.h"
#include "platform/files.h"
#include "settings/record.h"

namespace tessmar::forms {
using namespace names::policyExport;
namespace fs = std::filesystem;

namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kLightGreen{192, 255, 192};

// The list's one column, in twips, and what of it a line of half-width characters fills (宋体 9
// pt: 6 pixels, 90 twips, each; a Chinese character takes two).
constexpr int kColumnTwips = 7260;
constexpr std::size_t kColumnHalfWidths = (kColumnTwips - 90) / 90;

// UTF-8 text as a path, also where the system's narrow code page is not UTF-8.
fs::path pathOf(std::string_view text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

// How many half-width places a line takes: a character outside ASCII is a full-width one.
std::size_t halfWidths(std::string_view text) {
    std::size_t places = 0;
    for (unsigned char c : text) {
        if (c < 0x80)
            places += 1;
        else if (c >= 0xC0)
            places += 2;  // the lead byte of a character; its continuation bytes take no place
    }
    return places;
}

}  // namespace

WindowLayout gpoLayout() {
    WindowLayout w{.name = "gpo",
                   .caption = "组策略导出",
                   .clientWidth = 7800,
                   .clientHeight = 5760,
                   .border = Border::FixedSingle,
                   .taskbar = true,
                   .enterPressesButtons = true,
                   .focus = Folder,
                   .controls = {}};
    auto& c = w.controls;
    c.push_back({.name = Frame1, .kind = Kind::Frame, .place = {0, 0, 7800, 5760}});
    c.push_back({.name = FolderCaption,
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {120, 195, 1320, 255},
                 .caption = "导出到文件夹：",
                 .fore = kBlue});
    c.push_back({.name = Folder,
                 .kind = Kind::TextBox,
                 .parent = Frame1,
                 .place = {1440, 150, 6240, 300},
                 .tab = 0});
    c.push_back({.name = ExportNote,
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {120, 570, 5400, 1080},
                 .caption =
                     "导出：只在上面的文件夹中写出 User\\Registry.pol、Machine\\Registry.pol "
                     "和 tessmar.reg 三个文件，供域中的组策略、LGPO 或 reg import "
                     "使用，不改动这台电脑。导出的是各类上次“确定生效”时记录的选择。",
                 .wrap = true});
    c.push_back({.name = Export,
                 .kind = Kind::Button,
                 .parent = Frame1,
                 .place = {5640, 600, 2040, 435},
                 .caption = "导出",
                 .tooltip = "把各类的设置导出为组策略文件和 tessmar.reg",
                 .back = kLightGreen,
                 .tab = 1,
                 .graphical = true});
    c.push_back({.name = UsersNote,
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {120, 1740, 5400, 840},
                 .caption = "应用到本机的标准用户：把用户部分写入这台电脑的本地组策略，作用于每一个"
                            "不是管理员的账户；把计算机部分写入整台电脑的本地组策略。在下次刷新组策"
                            "略时生效，用户须注销后重新登录。",
                 .wrap = true});
    c.push_back({.name = StandardUsers,
                 .kind = Kind::Button,
                 .parent = Frame1,
                 .place = {5640, 1770, 2040, 435},
                 .caption = "应用到本机的标准用户",
                 .tooltip = "把设置写入本机的本地组策略(只在 Windows 上可用)",
                 .back = kLightGreen,
                 .tab = 2,
                 .graphical = true});
    c.push_back({.name = ApplyNote,
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {120, 2700, 7560, 255},
                 .caption = "这里的两项都不改变“确定生效”的作用。"});
    c.push_back({.name = Status,
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {120, 3030, 7560, 255},
                 .fore = kRed});
    c.push_back({.name = Grid1,
                 .kind = Kind::Grid,
                 .parent = Frame1,
                 .place = {120, 3330, 7560, 1800},
                 .tab = 3,
                 .grid = GridSpec{.columnTwips = {kColumnTwips}, .rowTwips = 255}});
    c.push_back({.name = Close,
                 .kind = Kind::Button,
                 .parent = Frame1,
                 .place = {6480, 5250, 1200, 375},
                 .caption = "关闭",
                 .tab = 4});
    return w;
}

void ExportForm::load() {
    view_.setText(Folder,
                  platform::pathText(program_.context().dir / pathOf(kDefaultExportFolder)));
    view_.setText(Status, "");
}

void ExportForm::click(Id control) {
    if (control == Export)
        exportClicked();
    else if (control == StandardUsers)
        standardUsersClicked();
    else if (control == Close)
        view_.close();
}

fs::path ExportForm::folder() const {
    const std::string text = settings::trimBlanks(view_.text(Folder));
    if (text.empty()) return {};
    const fs::path typed = pathOf(text);
    // The working directory is wherever the program was started from; the program's own
    // directory is the one the administrator sees.
    return typed.is_absolute() ? typed : program_.context().dir / typed;
}

void ExportForm::exportClicked() {
    const fs::path target = folder();
    if (target.empty()) {
        tell("请先输入要导出到的文件夹。");
        view_.setFocus(Folder);
        return;
    }
    auto report = tessmar::gpo::exportTo(program_.context().dir, target);
    if (!report) {
        showLines("导出失败", {});
        tell("系统未能完成导出。\n" + report.error().message);
        return;
    }
    showLines("导出的结果：", tessmar::gpo::reportLines(*report));
    tell("系统已成功地完成了组策略的导出!");
}

void ExportForm::standardUsersClicked() {
    if (!ask("确定要把各类的设置写入本机的组策略，应用到本机所有不是管理员的账户吗？")) return;
    auto lines = tessmar::gpo::applyToStandardUsers(program_.context().dir);
    if (!lines) {
        showLines("未能应用到本机的标准用户", {});
        tell("系统未能把设置应用到本机的标准用户。\n" + lines.error().message);
        return;
    }
    showLines("应用到本机标准用户的结果：", *lines);
    tell("系统已成功地完成了本机标准用户的组策略设置!\n受限的用户注销后重新登录即可生效。");
}

void ExportForm::showLines(const std::string& heading, const std::vector<std::string>& lines) {
    view_.setText(Status, heading);
    std::vector<std::vector<std::string>> rows;
    rows.reserve(lines.size());
    for (const std::string& line : lines) rows.push_back({line});
    view_.setGridRows(Grid1, rows);
    for (std::size_t row = 0; row < lines.size(); ++row)
        if (halfWidths(lines[row]) > kColumnHalfWidths)
            view_.setCellNote(Grid1, static_cast<int>(row), 0, std::nullopt, lines[row]);
}

void ExportForm::tell(const std::string& text) {
    program_.context().messages.show(text, platform::kMainTitle, platform::Buttons::Ok);
}

bool ExportForm::ask(const std::string& question) {
    return program_.context().messages.show(question, platform::kMainTitle,
                                            platform::Buttons::OkCancel) == platform::Answer::Ok;
}

}  // namespace tessmar::forms
