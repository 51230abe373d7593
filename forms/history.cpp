#include "forms/history.h"

#include <algorithm>

#include "engine/catalogue.h"
#include "forms/tables.h"
#include "gpo/target.h"
#include "platform/files.h"

namespace tessmar::forms {
using namespace names::history;

namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kLightGreen{192, 255, 192};
// The chosen record's row in the list.
constexpr Rgb kChosen{255, 255, 192};

constexpr const char* kEmptyText = "还没有任何设置记录。";
constexpr const char* kRestoreApply = "恢复到这次设置之前";
constexpr const char* kRestoreRestore = "撤销这次恢复";
constexpr const char* kAskApply = "确定要把注册表恢复到这次设置之前的状态吗？";
constexpr const char* kAskRestore = "确定要撤销这次恢复，把注册表恢复到这次恢复之前的状态吗？";
constexpr const char* kRestored = "系统已成功地完成了注册表的恢复!";

const std::vector<std::string> kListHeading{"时间", "设置类别", "改动数"};
const std::vector<std::string> kChangesHeading{"注册表值", "原来的值", "设置后的值"};

// Every cell of the rows below the heading gets its whole text as its tip: the columns are narrow.
void tipCells(View& view, Id grid, const std::vector<std::vector<std::string>>& rows) {
    for (std::size_t r = 1; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            if (!rows[r][c].empty())
                view.setCellNote(grid, static_cast<int>(r), static_cast<int>(c), std::nullopt,
                                 rows[r][c]);
}

// Display columns of UTF-8 text: one for ASCII, two for any other character.
std::size_t columnsOf(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) n += c < 0x80 ? 1 : 2;
    return n;
}

}  // namespace

std::string shownWhere(std::string_view where, std::size_t columns) {
    if (columnsOf(where) <= columns) return std::string(where);
    const std::size_t rootEnd = where.find('\\');
    if (rootEnd == std::string_view::npos) return std::string(where);
    const std::string head = std::string(where.substr(0, rootEnd)) + "\\…";
    std::string tail;
    std::size_t end = where.size();
    // The last part (the value's name) is always shown, whatever its length.
    while (end > rootEnd) {
        const std::size_t cut = where.rfind('\\', end - 1);
        std::string part = std::string(where.substr(cut, end - cut)) + tail;
        if (!tail.empty() && columnsOf(head) + columnsOf(part) > columns) break;
        tail = std::move(part);
        end = cut;
    }
    return end <= rootEnd ? std::string(where) : head + tail;
}

void showChanges(View& view, Id grid, const std::vector<std::string>& heading,
                 const std::vector<engine::Change>& changes) {
    std::vector<std::vector<std::string>> rows{heading};
    for (const engine::Change& change : changes)
        rows.push_back({shownWhere(change.where), change.before, change.after});
    view.setGridRows(grid, rows);
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        view.setCellNote(grid, row, 0, std::nullopt, changes[i].where);
        view.setCellNote(grid, row, 1, std::nullopt, changes[i].before);
        view.setCellNote(grid, row, 2, std::nullopt, changes[i].after);
    }
}

WindowLayout historyLayout() {
    WindowLayout w{.name = "history",
                   .caption = "设置历史与恢复",
                   .clientWidth = 9300,
                   .clientHeight = 6420,
                   .border = Border::FixedSingle,
                   .taskbar = true,
                   .enterPressesButtons = true,
                   .focus = Grid1,
                   .controls = {}};
    auto& c = w.controls;
    c.push_back({.name = Frame1, .kind = Kind::Frame, .place = {0, 0, 9300, 6420}});
    c.push_back({.name = Label1,
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {120, 150, 3600, 255},
                 .caption = "历次设置（最近的在最上面）：",
                 .fore = kBlue});
    c.push_back({.name = Status,
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {3840, 150, 5340, 255},
                 .fore = kRed});
    c.push_back(
        {.name = Grid1,
         .kind = Kind::Grid,
         .parent = Frame1,
         .place = {120, 450, 9060, 2295},
         .tab = 0,
         .grid = GridSpec{.columnTwips = {2100, 5400, 1200}, .fixedRows = 1, .rowTwips = 255}});
    c.push_back({.name = Label3,
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {120, 2865, 1920, 255},
                 .caption = "所选这次设置的改动：",
                 .fore = kBlue});
    c.push_back({.name = Summary,
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {2040, 2865, 7140, 255},
                 .fore = kBlue});
    c.push_back(
        {.name = Grid2,
         .kind = Kind::Grid,
         .parent = Frame1,
         .place = {120, 3165, 9060, 2595},
         .tab = 1,
         .grid = GridSpec{.columnTwips = {3950, 2400, 2400}, .fixedRows = 1, .rowTwips = 255}});
    c.push_back({.name = Restore,
                 .kind = Kind::Button,
                 .parent = Frame1,
                 .place = {5640, 5880, 2220, 375},
                 .caption = kRestoreApply,
                 .tooltip = "把注册表恢复到所选这次之前的状态",
                 .back = kLightGreen,
                 .tab = 2,
                 .graphical = true});
    c.push_back({.name = Close,
                 .kind = Kind::Button,
                 .parent = Frame1,
                 .place = {8040, 5880, 1140, 375},
                 .caption = "关闭",
                 .tab = 3});
    return w;
}

void HistoryForm::refresh() {
    const std::optional<std::filesystem::path> kept =
        chosen_ > 0 ? std::optional(entries_[static_cast<std::size_t>(chosen_ - 1)].file)
                    : std::nullopt;
    fillList();
    if (!kept) return;
    const auto found = std::ranges::find(entries_, *kept, &engine::HistoryEntry::file);
    if (found != entries_.end()) choose(static_cast<int>(found - entries_.begin()) + 1);
}

void HistoryForm::fillList() {
    unchoose();
    auto listed = engine::listHistory(program_.context().dir);
    entries_ = listed ? std::move(*listed) : std::vector<engine::HistoryEntry>{};
    std::vector<std::vector<std::string>> rows{kListHeading};
    for (const auto& entry : entries_) rows.push_back(rowOf(entry));
    view_.setGridRows(Grid1, rows);
    tipCells(view_, Grid1, rows);
    if (!listed) {
        view_.setText(Status, "无法读出设置历史。");
        tell("无法读出设置历史：" + listed.error().message);
    } else {
        view_.setText(Status, entries_.empty() ? kEmptyText : "");
    }
}

std::string HistoryForm::categoryText(const engine::HistoryEntry& entry) const {
    if (!entry.problem.empty()) return "（无法读取：" + entry.problem + "）";
    std::string name = entry.categoryName.empty()
                           ? std::string(engine::categoryName(entry.category))
                           : entry.categoryName;
    // Another target than the running account is named after the category.
    const std::string whom = entry.target.kind == engine::TargetKind::Me
                                 ? std::string()
                                 : "（" + engine::targetName(entry.target) + "）";
    if (!entry.restore) return "“" + name + "”设置" + whom;
    // A restore names the record it undid, by its time while that record is still listed.
    std::string source = entry.restoredFrom;
    for (const auto& other : entries_)
        if (platform::pathText(other.file.filename()) == entry.restoredFrom) source = other.time;
    return "恢复“" + name + "”到 " + source + " 那次之前" + whom;
}

std::vector<std::string> HistoryForm::rowOf(const engine::HistoryEntry& entry) const {
    return {entry.time, categoryText(entry),
            entry.problem.empty() ? std::to_string(entry.changed) : ""};
}

void HistoryForm::markRow(int row, bool chosen) {
    const auto rowText = rowOf(entries_[static_cast<std::size_t>(row - 1)]);
    for (std::size_t c = 0; c < rowText.size(); ++c)
        view_.setCellNote(Grid1, row, static_cast<int>(c),
                          chosen ? std::optional(kChosen) : std::nullopt, rowText[c]);
}

void HistoryForm::unchoose() {
    if (chosen_ > 0 && chosen_ <= static_cast<int>(entries_.size())) markRow(chosen_, false);
    chosen_ = 0;
    view_.setGridRows(Grid2, {kChangesHeading});
    view_.setText(Summary, "");
    view_.setText(Restore, kRestoreApply);
    view_.setEnabled(Restore, false);
}

void HistoryForm::choose(int row) {
    unchoose();
    const engine::HistoryEntry& entry = entries_[static_cast<std::size_t>(row - 1)];
    chosen_ = row;
    markRow(row, true);
    view_.setCurrentCell(Grid1, row, 0);
    view_.setText(Restore, entry.restore ? kRestoreRestore : kRestoreApply);

    auto record = engine::readHistory(entry.file);
    if (!record) {
        view_.setText(Summary, "这条记录无法读取，不能恢复：" + record.error().message);
        return;
    }
    showChanges(view_, Grid2, kChangesHeading, record->changes);
    std::string summary = record->changes.empty()
                              ? "没有改动任何值"
                              : "改动了 " + std::to_string(record->changes.size()) + " 项";
    if (record->unchanged > 0)
        summary += "，另有 " + std::to_string(record->unchanged) + " 项原已是所写的值";
    view_.setText(Summary, summary + "。");
    view_.setEnabled(Restore, true);
}

void HistoryForm::click(Id control) {
    if (control == Restore)
        restoreClicked();
    else if (control == Close)
        view_.close();
}

void HistoryForm::mouseDown(Id control, Button button, int row) {
    if (control != Grid1 || button != Button::Left) return;
    // The heading row and the room below the last record choose nothing.
    if (row < 1 || row > static_cast<int>(entries_.size())) return;
    choose(row);
}

void HistoryForm::restoreClicked() {
    // Disabled while nothing readable is chosen; a front end may still pass the click on.
    if (chosen_ < 1 || !view_.enabled(Restore)) return;
    const engine::HistoryEntry entry = entries_[static_cast<std::size_t>(chosen_ - 1)];
    // The question names the record, so that the one restored is the one the administrator
    // means.
    const std::string question =
        entry.time + "  " + categoryText(entry) + "\n" + (entry.restore ? kAskRestore : kAskApply);
    if (program_.context().messages.show(question, platform::kMainTitle,
                                         platform::Buttons::OkCancel) != platform::Answer::Ok)
        return;

    Context& context = program_.context();
    // Into the registry the record was made of: another account's hive is loaded again for it.
    const auto restored =
        gpo::restoreRecord(context.registry, program_.accounts(), context.dir, entry.file);
    tell(restored ? std::string(kRestored) : restored.error().message);

    // The restore's own record comes first in the list; it is chosen, so that it can be undone.
    const std::vector<engine::HistoryEntry> before = entries_;
    refresh();
    if (!entries_.empty() && std::ranges::find(before, entries_.front().file,
                                               &engine::HistoryEntry::file) == before.end())
        choose(1);
    // What an apply would change is no longer what an open preview shows.
    program_.refresh(WindowKind::Preview);
}

void HistoryForm::tell(const std::string& text) {
    program_.context().messages.show(text, platform::kMainTitle, platform::Buttons::Ok);
}

}  // namespace tessmar::forms
