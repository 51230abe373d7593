#include "forms/editor.h"

#include <array>

#include "forms/names.h"
#include "platform/codepage.h"
#include "settings/record.h"

namespace tessmar::forms {
using namespace names::editor;

namespace {

constexpr const char* kDeleteTypeText = "删除子项(U)";
constexpr std::array<std::string_view, 4> kTextBoxes{Name, KeyPath, SecondName, Value};

// One row of the editor's table of states; nullopt leaves that part as it is.
struct StateRow {
    std::optional<bool> add, change, remove, save, boxes;
    bool emptyBoxes = false;
    std::optional<std::int16_t> editflag;
    std::optional<const char*> status;
};

StateRow rowOf(EditorForm::State state) {
    using S = EditorForm::State;
    switch (state) {
        case S::Refreshed:
            return {.add = true, .change = false, .remove = false, .save = false, .boxes = false};
        case S::Adding:
            return {.add = false,
                    .change = false,
                    .remove = false,
                    .save = true,
                    .boxes = true,
                    .emptyBoxes = true,
                    .editflag = EditorForm::kAdding,
                    .status = "进行增加操作"};
        case S::Changing:
            return {.add = false,
                    .remove = false,
                    .save = true,
                    .editflag = EditorForm::kChanging,
                    .status = "进行修改操作"};
        case S::Deleting:
            return {.add = false,
                    .change = false,
                    .editflag = EditorForm::kDeleting,
                    .status = "进行删除操作"};
        case S::Cancelled:
            return {.add = true,
                    .change = true,
                    .remove = true,
                    .save = false,
                    .emptyBoxes = true,
                    .editflag = EditorForm::kIdle,
                    .status = ""};
        case S::Clicked:
            return {.add = false,
                    .change = true,
                    .remove = true,
                    .save = false,
                    .boxes = true,
                    .status = "进行删除或修改操作"};
        case S::ChangeSaved:
            return {.add = true, .remove = true};
    }
    return {};
}

}  // namespace

EditorForm::EditorForm(Program& program, View& view) : program_(program), view_(view) {}

void EditorForm::enter(State state) {
    const StateRow row = rowOf(state);
    if (row.add) view_.setEnabled(Add, *row.add);
    if (row.change) view_.setEnabled(Change, *row.change);
    if (row.remove) view_.setEnabled(Delete, *row.remove);
    if (row.save) view_.setEnabled(Save, *row.save);
    if (row.boxes)
        for (Id box : kTextBoxes) view_.setEnabled(box, *row.boxes);
    if (row.emptyBoxes)
        for (Id box : kTextBoxes) view_.setText(box, "");
    if (row.editflag) program_.setEditflag(*row.editflag);
    if (row.status) view_.setText(Status, *row.status);
}

void EditorForm::click(Id control) {
    if (control == Add)
        addClicked();
    else if (control == Change)
        changeClicked();
    else if (control == Delete)
        deleteClicked();
    else if (control == Cancel)
        cancelClicked();
    else if (control == Save)
        saveClicked();
}

void EditorForm::mouseDown(Id control, Button button, int row) {
    if (control == Grid1 && button == Button::Left) listClicked(row);
}

bool EditorForm::key(Id control, Key key) {
    if (key == Key::Enter) {
        // Enter walks the boxes in the order they are filled in.
        constexpr std::array<std::pair<std::string_view, std::string_view>, 6> chain{
            {{Name, Combo1},
             {Combo1, KeyPath},
             {KeyPath, SecondName},
             {SecondName, Value},
             {Value, Combo2},
             {Combo2, Save}}};
        for (const auto& [from, to] : chain)
            if (control == from) view_.setFocus(to);
    }
    // Seen before the key reaches the box, so the type box still reads as it was.
    if (control == Combo2 && view_.text(Combo2) == kDeleteTypeText)
        view_.setText(Value, kDeleteTypeText);
    return false;
}

custom::Store EditorForm::store() const {
    return custom::Store(program_.context().dir / custom::kEntryFileName);
}

void EditorForm::refreshlist() {
    enter(State::Refreshed);
    auto names = store().listNames();
    if (!names) {
        names_.clear();
        currentRow_ = -1;
        view_.setGridRows(Grid1, {});
        reportStoreError("无法读出自定功能的内容，列表暂为空。", names.error());
        return;
    }
    names_ = std::move(*names);
    std::vector<std::vector<std::string>> rows;
    rows.reserve(names_.size());
    for (const std::string& name : names_) rows.push_back({name});
    view_.setGridRows(Grid1, rows);
    currentRow_ = static_cast<int>(names_.size()) - 1;
    if (currentRow_ >= 0) view_.setCurrentCell(Grid1, currentRow_, 0);
}

void EditorForm::addClicked() {
    enter(State::Adding);
    view_.setEnabled(Cancel, true);
    view_.setText(Combo1, "HKEY_CURRENT_USER");
    view_.setText(Combo2, custom::typeText(custom::kRegDword));
    view_.setFocus(Name);
}

void EditorForm::changeClicked() {
    enter(State::Changing);
    view_.setFocus(Name);
}

void EditorForm::deleteClicked() {
    enter(State::Deleting);
    auto count = entryCount();
    if (!count) return;
    auto row = currentEntry();
    if (*count == 0 || !row) {
        report("现在无法进行删除操作！");
        return;
    }
    if (!ask("确实要删除你选的内容吗？")) return;
    if (auto removed = store().deleteAt(*row); !removed) {
        reportStoreError("未能删除所选的内容。", removed.error());
        return;
    }
    refreshlist();
    emptyBoxes();
}

void EditorForm::cancelClicked() {
    enter(State::Cancelled);
    emptyBoxes();
}

void EditorForm::listClicked(int row) {
    auto count = entryCount();
    if (!count || *count == 0 || row < 0 || row >= static_cast<int>(names_.size())) return;
    currentRow_ = row;
    view_.setCurrentCell(Grid1, row, 0);
    view_.setText(Clicked, names_[static_cast<std::size_t>(row)]);
    enter(State::Clicked);

    auto entry = store().readAt(static_cast<std::size_t>(row));
    if (!entry) {
        reportStoreError("未能读出所选的内容。", entry.error());
        return;
    }
    view_.setText(Name, entry->sm);
    view_.setText(Combo1, entry->hkey1);
    view_.setText(KeyPath, entry->subkey1);
    view_.setText(SecondName, entry->newkey1);
    view_.setText(Value, entry->ka1);
    if (entry->reg)
        if (const char* type = custom::typeText(*entry->reg)) view_.setText(Combo2, type);
}

bool EditorForm::checkBoxes() {
    struct Check {
        Id box;
        const char* message;
        const char* field;
    };
    constexpr std::array<Check, 6> checks{{
        {Name, "“名称”不能为空", "名称"},
        {Combo1, "“配置单元”未选择", "配置单元"},
        {KeyPath, "“项的内容”不能为空", "项的内容"},
        {SecondName, "“子项的内容”不能为空", "子项的内容"},
        {Value, "“值”不能为空", "值"},
        {Combo2, "“值的类型”未选择", "值的类型"},
    }};
    for (const Check& check : checks) {
        if (!view_.text(check.box).empty()) continue;
        report(check.message);
        view_.setFocus(check.box);
        return false;
    }
    // What is stored reaches the registry and the lists in code page 936; the type text never is.
    for (const Check& check : checks) {
        if (check.box == Combo2 || platform::fitsCp936(view_.text(check.box))) continue;
        report(std::string("“") + check.field +
               "”中有无法保存的字符(只能使用简体中文GBK字符集中的字符)，请修改后再存盘。");
        view_.setFocus(check.box);
        return false;
    }
    return true;
}

custom::Entry EditorForm::entryFromBoxes() const {
    return custom::Entry{
        .sm = settings::trimBlanks(view_.text(Name)),
        .hkey1 = view_.text(Combo1),
        .subkey1 = settings::trimBlanks(view_.text(KeyPath)),
        .newkey1 = settings::trimBlanks(view_.text(SecondName)),
        .ka1 = settings::trimBlanks(view_.text(Value)),
        .reg = custom::typeCode(view_.text(Combo2)),
    };
}

void EditorForm::saveClicked() {
    if (!checkBoxes()) return;
    const custom::Entry entry = entryFromBoxes();

    if (program_.editflag() == kAdding) {
        auto exists = store().nameExists(entry.sm);
        if (!exists) {
            reportStoreError("未能检查名称是否已存在，没有存盘。", exists.error());
            return;
        }
        if (*exists) {
            report(view_.text(Name) + "->内容已存在，现无法增加！");
            view_.setFocus(Name);
            return;
        }
        if (ask("增加的内容要存盘(请确保输入的信息正确无误)吗？"))
            if (auto appended = store().append(entry); !appended)
                reportStoreError("增加的内容未能存盘。", appended.error());
        refreshlist();
    } else if (program_.editflag() == kChanging) {
        view_.setEnabled(Save, false);
        auto count = entryCount();
        if (!count || *count == 0) return;
        auto row = currentEntry();
        if (!row) {
            report("请先在右边的列表中点选要修改的内容。");
            return;
        }
        if (!ask("修改的内容要存盘吗？")) return;
        if (auto changed = store().changeAt(*row, entry); !changed)
            reportStoreError("修改的内容未能存盘。", changed.error());
        enter(State::ChangeSaved);
        refreshlist();
    }
}

std::optional<std::size_t> EditorForm::entryCount() {
    auto count = store().count();
    if (!count) {
        reportStoreError("无法读出自定功能的内容。", count.error());
        return std::nullopt;
    }
    return *count;
}

std::optional<std::size_t> EditorForm::currentEntry() const {
    if (currentRow_ < 0 || currentRow_ >= static_cast<int>(names_.size())) return std::nullopt;
    return static_cast<std::size_t>(currentRow_);
}

void EditorForm::emptyBoxes() {
    for (Id box : kTextBoxes) view_.setText(box, "");
    view_.setText(Combo1, "");
    view_.setText(Combo2, "");
}

void EditorForm::report(const std::string& text) {
    program_.context().messages.show(text, platform::kEditorTitle, platform::Buttons::Ok);
}

bool EditorForm::ask(const std::string& question) {
    return program_.context().messages.show(question, platform::kEditorTitle,
                                            platform::Buttons::OkCancel) == platform::Answer::Ok;
}

void EditorForm::reportStoreError(const std::string& what, const Error& error) {
    report(what + "\n" + error.message);
}

}  // namespace tessmar::forms
