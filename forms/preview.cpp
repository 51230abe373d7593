#include "forms/preview.h"

#include <optional>
#include <string>
#include <vector>

#include "engine/catalogue.h"
#include "engine/preview.h"
#include "forms/history.h"
#include "forms/tables.h"
#include "gpo/target.h"

namespace tessmar::forms {
using namespace names::preview;

namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

const std::vector<std::string> kChangesHeading{"注册表值", "现在的值", "设置后的值"};

}  // namespace

WindowLayout previewLayout() {
    WindowLayout w{.name = "preview",
                   .caption = "预览更改",
                   .clientWidth = 9300,
                   .clientHeight = 5745,
                   .border = Border::FixedSingle,
                   .taskbar = true,
                   .enterPressesButtons = true,
                   .focus = Close,
                   .controls = {}};
    auto& c = w.controls;
    c.push_back({.name = Frame1, .kind = Kind::Frame, .place = {0, 0, 9300, 5745}});
    c.push_back({.name = Heading,
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {120, 150, 9060, 255},
                 .fore = kBlue});
    c.push_back(
        {.name = Grid1,
         .kind = Kind::Grid,
         .parent = Frame1,
         .place = {120, 450, 9060, 2595},
         .tab = 0,
         .grid = GridSpec{.columnTwips = {3950, 2400, 2400}, .fixedRows = 1, .rowTwips = 255}});
    c.push_back({.name = Unchanged,
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {120, 3165, 9060, 255},
                 .fore = kBlue});
    c.push_back({.name = Label1_2,
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {120, 3495, 9060, 255},
                 .caption = "按“确定生效”时将报告没有写入的项目：",
                 .fore = kBlue});
    c.push_back({.name = Grid2,
                 .kind = Kind::Grid,
                 .parent = Frame1,
                 .place = {120, 3795, 9060, 1080},
                 .tab = 1,
                 .grid = GridSpec{.columnTwips = {8750}, .rowTwips = 255}});
    c.push_back({.name = Status,
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {120, 5040, 7680, 510},
                 .fore = kRed,
                 .wrap = true});
    c.push_back({.name = Close,
                 .kind = Kind::Button,
                 .parent = Frame1,
                 .place = {8040, 5010, 1140, 375},
                 .caption = "关闭",
                 .tab = 2});
    return w;
}

void PreviewForm::refresh() {
    Context& context = program_.context();
    const engine::ApplyRequest& request = program_.previewRequest();
    const engine::Target& target = program_.previewTarget();
    const std::string name(engine::categoryName(request.shezhiflag));
    // Read where the apply would write: the target's registry, its hive loaded for the look.
    std::optional<Result<engine::Preview>> previewed;
    const tessmar::Status looked =
        gpo::onTarget(context.registry, target, context.dir, [&](platform::Registry& registry) {
            previewed = engine::preview(
                context.dir, registry, request.shezhiflag, request.flags, request.nrow,
                request.shezhiflag == engine::kCustomCategory ? &program_.previewRows() : nullptr,
                target.ref);
        });
    if (!previewed) previewed = std::unexpected(looked.error());
    const std::string whom = target.ref.kind == engine::TargetKind::Me
                                 ? std::string()
                                 : "对" + engine::targetName(target.ref);
    view_.setGridRows(Grid1, {kChangesHeading});
    view_.setGridRows(Grid2, {});
    view_.setText(Unchanged, "");
    if (!*previewed) {
        view_.setText(Heading,
                      name.empty() ? "无法预览这次设置。" : "无法预览“" + name + "”设置。");
        view_.setText(Status, previewed->error().message);
        return;
    }
    view_.setText(Status, "");
    const engine::Preview& shown = **previewed;
    view_.setText(Heading, shown.changes.empty()
                               ? "按“确定生效”，“" + name + "”设置不会" +
                                     (whom.empty() ? "" : whom) + "改动注册表中的任何值。"
                               : "按“确定生效”，“" + name + "”设置将" + whom +
                                     "作如下改动（现在尚未写入）：");

    showChanges(view_, Grid1, kChangesHeading, shown.changes);
    view_.setText(Unchanged, "另有 " + std::to_string(shown.unchanged) + " 项已是所要的值。");

    std::vector<std::vector<std::string>> notDone;
    for (const std::string& text : shown.notDone) notDone.push_back({text});
    if (notDone.empty()) notDone.push_back({"（没有）"});
    view_.setGridRows(Grid2, notDone);
    for (std::size_t r = 0; r < shown.notDone.size(); ++r)
        view_.setCellNote(Grid2, static_cast<int>(r), 0, std::nullopt, shown.notDone[r]);
}

void PreviewForm::click(Id control) {
    if (control == Close) view_.close();
}

}  // namespace tessmar::forms
