#include "forms/main.h"

#include <array>

#include "custom/fill.h"
#include "custom/store.h"
#include "engine/apply.h"
#include "engine/history.h"
#include "forms/names.h"
#include "gpo/target.h"
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
constexpr const char* kTargetHover = "---> “作用账户”设置";
// The mark cell of a row whose values changed behind the program's back since its last apply.
constexpr Rgb kDrifted{255, 200, 120};

// The controls that the checklist view shows and the idle view hides.
constexpr std::array<std::string_view, 10> kChecklistControls{
    ChecklistGrid, SelectAll,   SelectNone, Apply,   Leave,
    Instruction,   NoteCaption, Note,       Preview, Target};

template <std::size_t N>
int indexOf(const std::array<std::string_view, N>& names, Id control) {
    for (std::size_t i = 0; i < N; ++i)
        if (names[i] == control) return static_cast<int>(i);
    return -1;
}

}  // namespace

MainForm::MainForm(Program& program, View& view, std::string windir)
    : program_(program), view_(view), checklist_(std::move(windir)) {}

void MainForm::load() {
    showChecklistView(false);
    view_.setText(Description, "");
}

void MainForm::showChecklistView(bool shown) {
    for (Id control : kChecklistControls) view_.setVisible(control, shown);
    view_.setVisible(Description, !shown);
}

void MainForm::click(Id control) {
    if (const int i = indexOf(Categories, control); i >= 0 && i != engine::kCustomCategory)
        showCategory(i);
    else if (control == SelectAll || control == SelectNone)
        markAll(control == SelectAll);
    else if (control == Help)
        help();
    else if (control == ChangePassword)
        program_.open(WindowKind::Password);
    else if (control == Apply)
        apply();
    else if (control == Leave)
        showChecklistView(false);
    else if (control == History)
        program_.open(WindowKind::History, true);
    else if (control == Export)
        program_.open(WindowKind::Export);
    else if (control == Preview)
        preview();
    else if (control == Target)
        chooseTarget();
    else if (control == Close)
        view_.close();
}

void MainForm::mouseDown(Id control, Button button, int row) {
    if (const int i = indexOf(Categories, control); i >= 0) {
        // Every press on a category button hides the description line.
        view_.setVisible(Description, false);
        // The custom button works on the press itself, not on a click.
        if (i == engine::kCustomCategory) {
            if (button == Button::Left)
                showCustom();
            else if (button == Button::Right)
                program_.open(WindowKind::Editor);
        }
    } else if (control == ChecklistGrid) {
        pressRow(button, row);
    }
}

void MainForm::mouseMove(Id control) {
    if (const int i = indexOf(Categories, control); i >= 0) {
        hoverCategory(i);
    } else if (control == Help) {
        view_.setText(Description, kHelpHover);
    } else if (control == ChangePassword) {
        view_.setText(Description, kPasswordHover);
    } else if (control == History) {
        view_.setText(Description, kHistoryHover);
    } else if (control == Export) {
        view_.setText(Description, kExportHover);
    } else if (control == Target) {
        view_.setText(Description, kTargetHover);
    } else if (control == Background || control == CategoryPanel || control == ChecklistPanel) {
        for (Id frame : CategoryFrames) view_.setBackColor(frame, kFrameDim);
        view_.setText(Description, "");
    }
}

void MainForm::hoverCategory(int index) {
    for (int i = 0; i < 5; ++i)
        view_.setBackColor(CategoryFrames[static_cast<std::size_t>(i)],
                           i == index ? kFrameLit : kFrameDim);
    view_.setText(Description, kCategoryHover[static_cast<std::size_t>(index)]);
}

void MainForm::tell(const std::string& text) {
    program_.context().messages.show(text, platform::kMainTitle, platform::Buttons::Ok);
}

std::optional<settings::Record> MainForm::readSettings() {
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

void MainForm::show(int category, const settings::Checklist& content) {
    checklist_.show(category, content);
    std::vector<std::vector<std::string>> rows;
    rows.reserve(content.rows.size());
    for (const auto& row : content.rows) rows.emplace_back(row.begin(), row.end());
    view_.setGridRows(ChecklistGrid, rows);
    markDrift(category);
}

void MainForm::markDrift(int category) {
    Context& context = program_.context();
    const engine::Target& target = chooser_.chosen();
    Result<std::map<std::size_t, std::vector<std::string>>> drifted = fail("");
    // Against the target's registry. A history or a target that cannot be read marks nothing:
    // drift never chooses or clears a row, and the apply says what is wrong with the target.
    (void)gpo::onTarget(context.registry, target, context.dir, [&](platform::Registry& registry) {
        drifted = engine::drift(context.dir, registry, category, target.ref);
    });
    if (!drifted) return;
    for (const auto& [row, texts] : *drifted) {
        if (row < 1 || static_cast<int>(row) > checklist_.rows()) continue;
        std::string tip = "上次设置后已被改动：";
        for (const std::string& text : texts) tip += "\n" + text;
        view_.setCellNote(ChecklistGrid, static_cast<int>(row), 2, kDrifted, tip);
    }
}

void MainForm::preview() {
    program_.openPreview(
        {checklist_.shezhiflag(), checklist_.flags(checklist_.shezhiflag()), checklist_.nrow()},
        checklist_.customRows(), chooser_.chosen());
}

void MainForm::offerTargets() {
    chooser_.refresh(program_.context().registry, program_.accounts());
    view_.setListItems(Target, chooser_.items());
    view_.setListIndex(Target, chooser_.chosenIndex());
}

void MainForm::chooseTarget() {
    // The same target chosen again keeps what is on screen.
    const int index = view_.listIndex(Target);
    if (index == chooser_.chosenIndex()) return;
    if (const auto refused = chooser_.choose(index)) {
        view_.setListIndex(Target, chooser_.chosenIndex());
        if (!refused->empty()) tell(*refused);
        return;
    }
    // The chosen target's own choices, as a category button shows them; toggles not applied are
    // given up, as they are when the category changes.
    if (checklist_.shezhiflag() == engine::kCustomCategory)
        showCustom();
    else
        showCategory(checklist_.shezhiflag());
}

settings::Field MainForm::storedSelection(const settings::Record& record, int category) {
    auto stored = chooser_.storedSelection(program_.context().dir, record, category);
    if (stored) return *stored;
    tell("无法读取" + engine::targetName(chooser_.chosen().ref) + "保存的选择，显示为未选中：\n" +
         stored.error().message);
    return std::nullopt;
}

void MainForm::showCategory(int index) {
    const auto record = readSettings();
    if (!record) return;
    showChecklistView(true);
    offerTargets();
    show(index, engine::fillBuiltin(index, storedSelection(*record, index)));
    view_.setVisible(Description, false);
}

void MainForm::showCustom() {
    const auto record = readSettings();
    if (!record) return;
    showChecklistView(true);
    offerTargets();

    std::vector<std::string> names;
    settings::Field stored;
    const custom::Store store(program_.context().dir / custom::kEntryFileName);
    if (!store.exists()) {
        tell("系统文件丢失,请重新安装!");
    } else if (auto listed = store.listNames(); listed) {
        names = std::move(*listed);
        stored = storedSelection(*record, engine::kCustomCategory);
    } else {
        tell(listed.error().message);
    }
    // Without entries the checklist keeps only its heading row.
    show(engine::kCustomCategory, custom::fillCustom(names, stored));
    view_.setVisible(Description, false);
}

void MainForm::pressRow(Button button, int row) {
    if (button == Button::Left) {
        if (!checklist_.toggle(row)) return;
        view_.setCurrentCell(ChecklistGrid, row, 2);
        view_.setCell(ChecklistGrid, row, 2,
                      checklist_.chosen(row) ? settings::kMark : settings::kNoMark);
    } else if (button == Button::Right) {
        switch (checklist_.detail(row)) {
            case engine::Detail::Drives:
                program_.open(WindowKind::Drives);
                break;
            case engine::Detail::Notice:
                program_.open(WindowKind::Notice);
                break;
            case engine::Detail::None:
                break;
        }
    }
}

void MainForm::markAll(bool chosen) {
    checklist_.setAll(chosen);
    const int rows = checklist_.rows();
    for (int k = 1; k <= rows; ++k)
        view_.setCell(ChecklistGrid, k, 2, chosen ? settings::kMark : settings::kNoMark);
    // The walk ends on the mark of the last row, without scrolling the rows under the pointer.
    if (rows > 0) view_.setCurrentCell(ChecklistGrid, rows, 2);
}

void MainForm::apply() {
    Context& context = program_.context();
    const engine::Target target = chooser_.chosen();
    // Where the writes go: another account's hive is loaded for the pass and unloaded after it.
    auto opened = gpo::openTarget(context.registry, target, context.dir);
    if (!opened) {
        tell(opened.error().message);
        return;
    }
    const engine::ApplyContext applyContext{.dir = context.dir,
                                            .registry = (*opened)->registry(),
                                            .messages = context.messages,
                                            .target = &target};
    const engine::ApplyRequest request{
        checklist_.shezhiflag(), checklist_.flags(checklist_.shezhiflag()), checklist_.nrow()};
    const engine::ApplyOutcome outcome = engine::apply(
        applyContext, request,
        request.shezhiflag == engine::kCustomCategory ? &checklist_.customRows() : nullptr);
    if (auto closed = (*opened)->close(); !closed) tell(closed.error().message);
    opened->reset();
    if (outcome.windir) checklist_.setWindir(*outcome.windir);
    program_.refresh(WindowKind::History);
    // An open preview shows what an apply would change now, which is no longer what it showed.
    program_.refresh(WindowKind::Preview);
    // When the choice could not be stored it stays on screen, so that it is not lost.
    if (outcome.settingsWritten) showChecklistView(false);
}

void MainForm::help() {
    const std::filesystem::path dir(settings::trimBlanks(program_.context().dir.string()));
    program_.context().shell.openMaximised(dir / "help.htm");
}

}  // namespace tessmar::forms
