#include "forms/main.h"

#include <array>

#include "custom/fill.h"
#include "custom/store.h"
#include "engine/apply.h"
#include "engine/history.h"
#include "forms/names.h"
#include "settings/record.h"
#include "settings/vorn.h"

namespace tessmar::forms {
using namespace names::main;

namespace {

constexpr Rgb kFrameLit{255, 0, 0};
constexpr Rgb kFrameDim{192, 192, 192};

constexpr std::array<const char*, 5> kCategoryHover{"--->“IE 属性”设置", "--->“系统桌面”设置",
                                                    "--->“网络共享”设置", "---> “文件菜单”设置",
                                                    "--->“自定功能”设置"};
constexpr const char* kHelpHover = "---> “使用帮助”设置";
constexpr const char* kPasswordHover = "---> “系统员密码设置”设置";
constexpr const char* kHistoryHover = "---> “设置历史与恢复”设置";
constexpr const char* kExportHover = "---> “组策略导出”设置";
// The mark cell of a row whose values changed behind the program's back since its last apply.
constexpr Rgb kDrifted{255, 200, 120};

// The controls that the checklist view shows and the idle view hides.
constexpr std::array<std::string_view, 9> kChecklistControls{
    Grid1, Command3[0], Command3[1], Command5, Command6, Label1_0, Label2[0], Label2[1], Command9};

template <std::size_t N>
int indexOf(const std::array<std::string_view, N>& names, Id control) {
    for (std::size_t i = 0; i < N; ++i)
        if (names[i] == control) return static_cast<int>(i);
    return -1;
}

}  // namespace

main::main(Program& program, View& view, std::string windir)
    : program_(program), view_(view), checklist_(std::move(windir)) {}

void main::load() {
    showChecklistView(false);
    view_.setText(Label3, "");
}

void main::showChecklistView(bool shown) {
    for (Id control : kChecklistControls) view_.setVisible(control, shown);
    view_.setVisible(Label3, !shown);
}

void main::click(Id control) {
    if (const int i = indexOf(Command2, control); i >= 0 && i != engine::kCustomCategory)
        Command2_Click(i);
    else if (const int j = indexOf(Command3, control); j >= 0)
        Command3_Click(j);
    else if (const int k = indexOf(Command4, control); k >= 0)
        Command4_Click(k + 2);
    else if (control == Command5)
        Command5_Click();
    else if (control == Command6)
        showChecklistView(false);
    else if (control == Command7)
        program_.open(WindowKind::history, true);
    else if (control == Command8)
        program_.open(WindowKind::gpo);
    else if (control == Command9)
        Command9_Click();
    else if (control == Command1_1)
        view_.close();
}

void main::mouseDown(Id control, Button button, int row) {
    if (const int i = indexOf(Command2, control); i >= 0) {
        // Every press on a category button hides the description line.
        view_.setVisible(Label3, false);
        // The custom button works on the press itself, not on a click.
        if (i == engine::kCustomCategory) {
            if (button == Button::Left)
                fillCustom();
            else if (button == Button::Right)
                program_.open(WindowKind::usersys);
        }
    } else if (control == Grid1) {
        Grid1_MouseDown(button, row);
    }
}

void main::mouseMove(Id control) {
    if (const int i = indexOf(Command2, control); i >= 0) {
        hoverCategory(i);
    } else if (control == Command4[0]) {
        view_.setText(Label3, kHelpHover);
    } else if (control == Command4[1]) {
        view_.setText(Label3, kPasswordHover);
    } else if (control == Command7) {
        view_.setText(Label3, kHistoryHover);
    } else if (control == Command8) {
        view_.setText(Label3, kExportHover);
    } else if (control == Picture1 || control == Picture2[0] || control == Picture2[1]) {
        for (Id frame : Picture3) view_.setBackColor(frame, kFrameDim);
        view_.setText(Label3, "");
    }
}

void main::hoverCategory(int index) {
    for (int i = 0; i < 5; ++i)
        view_.setBackColor(Picture3[static_cast<std::size_t>(i)],
                           i == index ? kFrameLit : kFrameDim);
    view_.setText(Label3, kCategoryHover[static_cast<std::size_t>(index)]);
}

void main::tell(const std::string& text) {
    program_.context().messages.show(text, platform::kMainTitle, platform::Buttons::Ok);
}

std::optional<settings::Record> main::readSettings() {
    const settings::SettingsFile file(program_.context().dir);
    if (!file.exists()) {
        if (auto made = file.createForChecklist(checklist_.windir()); !made) {
            tell("无法建立系统设置文件vorn.ini：\n" + made.error().message);
            return std::nullopt;
        }
    }
    auto record = file.read();
    if (!record) {
        tell("系统设置文件vorn.ini无法读取，不能显示该项设置：\n" + record.error().message);
        return std::nullopt;
    }
    checklist_.setWindir(settings::field(*record, settings::kFieldWindir).value_or(std::string()));
    return std::move(*record);
}

void main::show(int category, const settings::Checklist& content) {
    checklist_.show(category, content);
    std::vector<std::vector<std::string>> rows;
    rows.reserve(content.rows.size());
    for (const auto& row : content.rows) rows.emplace_back(row.begin(), row.end());
    view_.setGridRows(Grid1, rows);
    markDrift(category);
}

void main::markDrift(int category) {
    Context& context = program_.context();
    auto drifted = engine::drift(context.dir, context.registry, category);
    // A history that cannot be read marks nothing: drift never chooses or clears a row.
    if (!drifted) return;
    for (const auto& [row, texts] : *drifted) {
        if (row < 1 || static_cast<int>(row) > checklist_.rows()) continue;
        std::string tip = "上次设置后已被改动：";
        for (const std::string& text : texts) tip += "\n" + text;
        view_.setCellNote(Grid1, static_cast<int>(row), 2, kDrifted, tip);
    }
}

void main::Command9_Click() {
    program_.previewRequest = {checklist_.shezhiflag(), checklist_.flags(checklist_.shezhiflag()),
                               checklist_.nrow(), checklist_.customRows()};
    program_.open(WindowKind::preview, true);
}

void main::Command2_Click(int index) {
    const auto record = readSettings();
    if (!record) return;
    showChecklistView(true);
    show(index, engine::fillBuiltin(
                    index, settings::field(*record, engine::builtinCategory(index).settingsField)));
    view_.setVisible(Label3, false);
}

void main::fillCustom() {
    const auto record = readSettings();
    if (!record) return;
    showChecklistView(true);

    std::vector<std::string> names;
    settings::Field stored;
    const custom::Store store(program_.context().dir / custom::kEntryFileName);
    if (!store.exists()) {
        tell("系统文件丢失,请重新安装!");
    } else if (auto listed = store.listNames(); listed) {
        names = std::move(*listed);
        stored = settings::field(*record, settings::kFieldCustom);
    } else {
        tell(listed.error().message);
    }
    // Without entries the checklist keeps only its heading row.
    show(engine::kCustomCategory, custom::fillCustom(names, stored));
    view_.setVisible(Label3, false);
}

void main::Grid1_MouseDown(Button button, int row) {
    if (button == Button::Left) {
        if (!checklist_.toggle(row)) return;
        view_.setCurrentCell(Grid1, row, 2);
        view_.setCell(Grid1, row, 2, checklist_.chosen(row) ? settings::kMark : settings::kNoMark);
    } else if (button == Button::Right) {
        switch (checklist_.detail(row)) {
            case engine::Detail::Drives:
                program_.open(WindowKind::drives);
                break;
            case engine::Detail::Notice:
                program_.open(WindowKind::logo);
                break;
            case engine::Detail::None:
                break;
        }
    }
}

void main::Command3_Click(int index) {
    const bool chosen = index == 0;
    checklist_.setAll(chosen);
    const int rows = checklist_.rows();
    for (int k = 1; k <= rows; ++k)
        view_.setCell(Grid1, k, 2, chosen ? settings::kMark : settings::kNoMark);
    // The walk ends on the mark of the last row, without scrolling the rows under the pointer.
    if (rows > 0) view_.setCurrentCell(Grid1, rows, 2);
}

void main::Command5_Click() {
    Context& context = program_.context();
    const engine::ApplyContext applyContext{context.dir, context.registry, context.messages};
    const engine::ApplyRequest request{
        checklist_.shezhiflag(), checklist_.flags(checklist_.shezhiflag()), checklist_.nrow()};
    const engine::ApplyOutcome outcome = engine::apply(
        applyContext, request,
        request.shezhiflag == engine::kCustomCategory ? &checklist_.customRows() : nullptr);
    if (outcome.windir) checklist_.setWindir(*outcome.windir);
    program_.refresh(WindowKind::history);
    // An open preview shows what an apply would change now, which is no longer what it showed.
    program_.refresh(WindowKind::preview);
    // When the choice could not be stored it stays on screen, so that it is not lost.
    if (outcome.settingsWritten) showChecklistView(false);
}

void main::Command4_Click(int index) {
    if (index == 2) {
        const std::filesystem::path dir(settings::trimBlanks(program_.context().dir.string()));
        program_.context().shell.openMaximised(dir / "help.htm");
    } else {
        program_.open(WindowKind::pwsword);
    }
}

}  // namespace tessmar::forms
