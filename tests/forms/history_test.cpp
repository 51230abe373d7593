// The history window over applies made from the main window, and the drift mark in the checklist.
#include "forms/history.h"

#include <gtest/gtest.h>

#include "engine/history.h"
#include "engine/mainreg.h"
#include "support/main_window.h"

using namespace tessmar;
using forms::Button;
using forms::WindowKind;
namespace h = forms::names::history;
namespace m = forms::names::main;

namespace {

const std::string kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr const char* kAskApply = "确定要把注册表恢复到这次设置之前的状态吗？";

struct HistoryWindow : test::MainWindow {
    // Two applies of the file menu category: rows 1 and 3, then row 1 cleared and row 2 chosen.
    // The first creates the keys, so that what a restore leaves is byte for byte what was there.
    void twoApplies() {
        show(3);
        pressRow(1);
        pressRow(3);
        click(m::Apply);
        afterFirst = read("registry.reg");
        show(3);
        pressRow(1);
        pressRow(2);
        click(m::Apply);
        afterSecond = read("registry.reg");
        ASSERT_NE(afterFirst, afterSecond);
        messages.shown.clear();
    }
    void openHistory() {
        click(m::History);
        ASSERT_TRUE(isOpen(WindowKind::History));
    }
    test::FakeView& window() const { return view(WindowKind::History); }
    forms::HistoryForm& historyForm() const {
        return desktop.form<forms::HistoryForm>(WindowKind::History);
    }
    void pressRecord(int row) const { historyForm().mouseDown(h::Grid1, Button::Left, row); }
    void restore() const { historyForm().click(h::Restore); }
    std::size_t records() const {
        return std::filesystem::exists(dir / "history")
                   ? static_cast<std::size_t>(
                         std::distance(std::filesystem::directory_iterator(dir / "history"),
                                       std::filesystem::directory_iterator()))
                   : 0;
    }

    std::string afterFirst, afterSecond;
};

TEST(HistoryWindow, OpensOnAnEmptyHistoryWithItsStatusLine) {
    HistoryWindow w;
    w.openHistory();
    EXPECT_EQ(w.window().text(h::Status), "还没有任何设置记录。");
    EXPECT_EQ(w.window().gridRows(h::Grid1), 1);
    EXPECT_EQ(w.window().cell(h::Grid1, 0, 0), "时间");
    EXPECT_FALSE(w.window().enabled(h::Restore));
    // A press on the heading row or below the records chooses nothing.
    w.pressRecord(0);
    w.pressRecord(1);
    EXPECT_EQ(w.historyForm().chosenRow(), 0);
    EXPECT_EQ(w.window().gridRows(h::Grid2), 1);
}

TEST(HistoryWindow, ListsShowsAndRestoresAndTheRestoreCanBeUndone) {
    HistoryWindow w;
    w.twoApplies();
    w.openHistory();
    test::FakeView& v = w.window();
    EXPECT_EQ(v.text(h::Status), "");
    ASSERT_EQ(v.gridRows(h::Grid1), 3);
    const std::vector<engine::HistoryEntry> entries = w.historyForm().entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_GT(entries[0].file.filename(), entries[1].file.filename());  // newest first
    EXPECT_EQ(v.cell(h::Grid1, 1, 0), entries[0].time);
    EXPECT_EQ(v.cell(h::Grid1, 1, 1), "“文件菜单”设置");
    EXPECT_EQ(v.cell(h::Grid1, 1, 2), std::to_string(entries[0].changed));

    // The newest changed rows 1 and 2 back and forth: what it changed, each cell with its tip.
    w.pressRecord(1);
    EXPECT_EQ(w.historyForm().chosenRow(), 1);
    EXPECT_EQ(v.grid(h::Grid1).notes.at({1, 0}).back, (forms::Rgb{255, 255, 192}));
    auto record = engine::readHistory(entries[0].file);
    ASSERT_TRUE(record);
    ASSERT_EQ(v.gridRows(h::Grid2), static_cast<int>(record->changes.size()) + 1);
    ASSERT_GE(record->changes.size(), 2u);
    for (std::size_t i = 0; i < record->changes.size(); ++i) {
        const engine::Change& c = record->changes[i];
        const int row = static_cast<int>(i) + 1;
        EXPECT_EQ(v.cell(h::Grid2, row, 0), forms::shownWhere(c.where));
        EXPECT_EQ(v.cell(h::Grid2, row, 1), c.before);
        EXPECT_EQ(v.cell(h::Grid2, row, 2), c.after);
        EXPECT_EQ(v.grid(h::Grid2).notes.at({row, 0}).tip, c.where);
        EXPECT_EQ(v.grid(h::Grid2).notes.at({row, 2}).tip, c.after);
        EXPECT_FALSE(v.grid(h::Grid2).notes.at({row, 0}).back);
    }
    EXPECT_NE(v.text(h::Summary).find("改动了 " + std::to_string(record->changes.size()) + " 项"),
              std::string::npos);
    EXPECT_TRUE(v.enabled(h::Restore));

    // Choosing another row gives the first its colour back.
    w.pressRecord(2);
    EXPECT_FALSE(v.grid(h::Grid1).notes.at({1, 0}).back);
    w.pressRecord(1);

    w.restore();
    EXPECT_EQ(w.read("registry.reg"), w.afterFirst);
    ASSERT_EQ(w.messages.shown.size(), 2u);
    EXPECT_EQ(w.messages.shown[0].title, "系统提示:");
    EXPECT_EQ(w.messages.shown[0].buttons, platform::Buttons::OkCancel);
    EXPECT_TRUE(w.messages.shown[0].text.ends_with(kAskApply));
    EXPECT_NE(w.messages.shown[0].text.find(entries[0].time), std::string::npos);
    EXPECT_EQ(w.lastMessage(), "系统提示:|系统已成功地完成了注册表的恢复!");

    // The restore's record is listed first, names what it undid, and is chosen.
    const std::string undoneTime = entries[0].time;
    ASSERT_EQ(v.gridRows(h::Grid1), 4);
    EXPECT_EQ(w.records(), 3u);
    EXPECT_TRUE(w.historyForm().entries()[0].restore);
    EXPECT_EQ(v.cell(h::Grid1, 1, 1), "恢复“文件菜单”到 " + undoneTime + " 那次之前");
    EXPECT_EQ(w.historyForm().chosenRow(), 1);
    EXPECT_EQ(v.text(h::Restore), "撤销这次恢复");

    w.restore();
    EXPECT_TRUE(w.messages.shown[2].text.ends_with(
        "确定要撤销这次恢复，把注册表恢复到这次恢复之前的状态吗？"));
    EXPECT_EQ(w.read("registry.reg"), w.afterSecond);
    EXPECT_EQ(w.records(), 4u);
    EXPECT_EQ(v.gridRows(h::Grid1), 5);
    // Restores never touch the choices stored for the checklist.
    w.show(3);
    EXPECT_EQ(w.marks().substr(0, 3), "011");
}

TEST(HistoryWindow, CancelRestoresNothing) {
    HistoryWindow w;
    w.twoApplies();
    w.openHistory();
    w.pressRecord(2);
    w.answer(platform::Answer::Cancel);
    w.restore();
    EXPECT_EQ(w.read("registry.reg"), w.afterSecond);
    EXPECT_EQ(w.records(), 2u);
    EXPECT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.historyForm().chosenRow(), 2);
}

TEST(HistoryWindow, AnUnreadableRecordShowsItsProblemAndCannotBeRestored) {
    HistoryWindow w;
    w.write("vorn.ini", "\"\",\"C:\\WINDOWS\",,,,\"\",\r\n");
    std::filesystem::create_directory(w.dir / "history");
    w.write("history/20200101-000000-001-2.reg", "REGEDIT4\r\n\r\ngarbage\r\n");
    w.openHistory();
    test::FakeView& v = w.window();
    ASSERT_EQ(v.gridRows(h::Grid1), 2);
    EXPECT_EQ(v.cell(h::Grid1, 1, 0), "2020-01-01 00:00:00");
    EXPECT_TRUE(v.cell(h::Grid1, 1, 1).starts_with("（无法读取："));
    EXPECT_EQ(v.grid(h::Grid1).notes.at({1, 1}).tip, v.cell(h::Grid1, 1, 1));
    w.pressRecord(1);
    EXPECT_EQ(v.gridRows(h::Grid2), 1);
    EXPECT_TRUE(v.text(h::Summary).starts_with("这条记录无法读取"));
    EXPECT_FALSE(v.enabled(h::Restore));
    w.restore();
    EXPECT_TRUE(w.messages.shown.empty());
    EXPECT_EQ(w.records(), 1u);
}

TEST(HistoryWindow, AnApplyWhileOpenListsItFirstAndKeepsTheChoice) {
    HistoryWindow w;
    w.twoApplies();
    w.openHistory();
    w.pressRecord(1);
    const auto chosen = w.historyForm().entries()[0].file;
    w.show(2);
    w.pressRow(1);
    w.click(m::Apply);
    test::FakeView& v = w.window();
    ASSERT_EQ(v.gridRows(h::Grid1), 4);
    EXPECT_EQ(v.cell(h::Grid1, 1, 1), "“网络共享”设置");
    EXPECT_EQ(w.historyForm().chosenRow(), 2);
    EXPECT_EQ(w.historyForm().entries()[1].file, chosen);
    EXPECT_EQ(v.grid(h::Grid1).notes.at({2, 0}).back, (forms::Rgb{255, 255, 192}));
    // Opening it again from the main window reads the list anew in place.
    w.click(m::History);
    EXPECT_EQ(w.desktop.events.back(), "raise history");
    EXPECT_EQ(w.historyForm().chosenRow(), 2);
}

TEST(HistoryWindow, APlaceTooLongForItsColumnKeepsTheRootAndItsLastParts) {
    const std::string where = "HKEY_CURRENT_USER\\" + kExplorer + "\\norun";
    EXPECT_EQ(forms::shownWhere(where), "HKEY_CURRENT_USER\\…\\Explorer\\norun");
    EXPECT_EQ(forms::shownWhere(where, 44), "HKEY_CURRENT_USER\\…\\Policies\\Explorer\\norun");
    EXPECT_EQ(forms::shownWhere("HKEY_USERS\\a\\b"), "HKEY_USERS\\a\\b");
    // Double-byte characters count twice; the name stays whole however long it is.
    EXPECT_EQ(forms::shownWhere("HKEY_CURRENT_USER\\软件\\测试\\值", 24),
              "HKEY_CURRENT_USER\\…\\值");
    const std::string name(50, 'n');
    EXPECT_EQ(forms::shownWhere("HKEY_CURRENT_USER\\Software\\" + name),
              "HKEY_CURRENT_USER\\…\\" + name);
    EXPECT_EQ(forms::shownWhere("HKEY_CURRENT_USER\\" + name), "HKEY_CURRENT_USER\\" + name);
}

TEST(DriftMark, AValueChangedBehindTheProgramsBackIsMarkedAndNothingElseChanges) {
    HistoryWindow w;
    w.show(3);
    w.pressRow(1);
    w.pressRow(3);
    w.click(m::Apply);
    w.show(3);
    EXPECT_TRUE(w.main().grid(m::ChecklistGrid).notes.empty());

    // norun (row 1) set back behind the program's back.
    ASSERT_TRUE(
        engine::setdword(*w.registry, platform::RegRoot::CurrentUser, kExplorer, "norun", 0));
    const std::string vorn = w.read("vorn.ini");
    w.click(m::Leave);
    w.show(3);
    const auto& notes = w.main().grid(m::ChecklistGrid).notes;
    ASSERT_EQ(notes.size(), 1u);
    const auto& note = notes.at({1, 2});
    EXPECT_EQ(note.back, (forms::Rgb{255, 200, 120}));
    EXPECT_NE(note.tip.find("norun"), std::string::npos);
    EXPECT_NE(note.tip.find("现为 DWORD 值 0（0x00000000）"), std::string::npos);
    // The mark and the flag stay as stored: drift never chooses or clears.
    EXPECT_EQ(w.mark(1), " √");
    EXPECT_EQ(w.marks().substr(0, 3), "101");
    EXPECT_EQ(w.read("vorn.ini"), vorn);

    // Applied again, the value holds what was written and the mark goes.
    w.click(m::Apply);
    w.show(3);
    EXPECT_TRUE(w.main().grid(m::ChecklistGrid).notes.empty());
}

}  // namespace
