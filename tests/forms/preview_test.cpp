// The preview window: what the apply of the checklist on screen would change, and that it does.
#include "forms/preview.h"

#include "forms/history.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/history.h"
#include "engine/mainreg.h"
#include "support/main_window.h"

using namespace tessmar;
using forms::WindowKind;
using platform::EntryRow;
namespace p = forms::names::preview;
namespace m = forms::names::main;

namespace {

const std::string kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

struct PreviewWindow : test::MainWindow {
    test::FakeView& window() const { return view(WindowKind::Preview); }
    // The rows of the change grid below its heading, as where (whole, from the tip)|before|after.
    std::vector<std::string> shownChanges() const {
        std::vector<std::string> rows;
        for (int r = 1; r < window().gridRows(p::Grid1); ++r)
            rows.push_back(window().grid(p::Grid1).notes.at({r, 0}).tip + "|" +
                           window().cell(p::Grid1, r, 1) + "|" + window().cell(p::Grid1, r, 2));
        return rows;
    }
};

TEST(PreviewWindow, ShowsWhatTheApplyThenWritesAndWritesNothingItself) {
    PreviewWindow w;
    ASSERT_TRUE(
        engine::setdword(*w.registry, platform::RegRoot::CurrentUser, kExplorer, "norun", 1));
    ASSERT_TRUE(
        engine::setstring(*w.registry, platform::RegRoot::CurrentUser, kExplorer, "nofind", "x"));
    w.show(3);
    w.pressRow(1);
    w.pressRow(3);
    const std::string registry = w.read("registry.reg");
    const std::string vorn = w.read("vorn.ini");
    w.click(m::Preview);
    ASSERT_TRUE(w.isOpen(WindowKind::Preview));
    test::FakeView& v = w.window();
    EXPECT_EQ(v.layout().caption, "预览更改");
    EXPECT_EQ(v.text(p::Heading), "按“确定生效”，“文件菜单”设置将作如下改动（现在尚未写入）：");
    EXPECT_EQ(v.cell(p::Grid1, 0, 1), "现在的值");
    const std::vector<std::string> shown = w.shownChanges();
    ASSERT_FALSE(shown.empty());
    EXPECT_TRUE(std::ranges::any_of(shown, [](const std::string& row) {
        return row.ends_with("\\nofind|字符串值 “x”|DWORD 值 1（0x00000001）");
    }));
    // norun already holds 1: counted, not listed.
    for (const std::string& row : shown) EXPECT_EQ(row.find("\\norun|"), std::string::npos) << row;
    EXPECT_EQ(v.text(p::Unchanged), "另有 1 项已是所要的值。");
    EXPECT_EQ(v.gridRows(p::Grid2), 1);
    EXPECT_EQ(v.cell(p::Grid2, 0, 0), "（没有）");
    EXPECT_EQ(v.text(p::Status), "");
    EXPECT_EQ(v.cell(p::Grid1, 1, 0), forms::shownWhere(v.grid(p::Grid1).notes.at({1, 0}).tip));
    EXPECT_EQ(v.grid(p::Grid1).notes.at({1, 2}).tip, v.cell(p::Grid1, 1, 2));
    EXPECT_EQ(w.read("registry.reg"), registry);
    EXPECT_EQ(w.read("vorn.ini"), vorn);
    EXPECT_FALSE(w.exists("history"));

    // The apply changes exactly what was shown, as its record says.
    w.click(m::Apply);
    auto listed = engine::listHistory(w.dir);
    ASSERT_TRUE(listed);
    ASSERT_EQ(listed->size(), 1u);
    auto record = engine::readHistory(listed->front().file);
    ASSERT_TRUE(record);
    std::vector<std::string> recorded;
    for (const engine::Change& c : record->changes)
        recorded.push_back(c.where + "|" + c.before + "|" + c.after);
    EXPECT_EQ(recorded, shown);
    EXPECT_EQ(record->unchanged, 1u);

    // The open preview follows the apply: nothing is left to change.
    EXPECT_EQ(w.window().gridRows(p::Grid1), 1);
    EXPECT_EQ(w.window().text(p::Heading),
              "按“确定生效”，“文件菜单”设置不会改动注册表中的任何值。");
    EXPECT_EQ(w.window().text(p::Unchanged),
              "另有 " + std::to_string(shown.size() + 1) + " 项已是所要的值。");

    w.window().close();
    EXPECT_FALSE(w.isOpen(WindowKind::Preview));
}

TEST(PreviewWindow, ListsWhatTheApplyWouldReportAsNotWritten) {
    PreviewWindow w;
    w.makeEntries({EntryRow{"坏", "HKEY_CURRENT_USER", "Software\\P", "a", "40000", 1},
                   EntryRow{"好", "HKEY_CURRENT_USER", "Software\\P", "b", "1", 1}});
    w.form().mouseDown(m::Categories[4], forms::Button::Left, -1);
    w.pressRow(1);
    w.pressRow(2);
    w.click(m::Preview);
    test::FakeView& v = w.window();
    EXPECT_EQ(w.shownChanges(),
              std::vector<std::string>{
                  "HKEY_CURRENT_USER\\Software\\P\\b|（无此值）|DWORD 值 1（0x00000001）"});
    ASSERT_EQ(v.gridRows(p::Grid2), 1);
    EXPECT_NE(v.cell(p::Grid2, 0, 0).find("40000"), std::string::npos);
    EXPECT_EQ(v.grid(p::Grid2).notes.at({0, 0}).tip, v.cell(p::Grid2, 0, 0));

    // The apply reports the same line as not written.
    w.click(m::Apply);
    EXPECT_NE(w.lastMessage().find(v.cell(p::Grid2, 0, 0)), std::string::npos);
}

TEST(PreviewWindow, SaysWhyWhenThereIsNoPreview) {
    PreviewWindow w;
    w.program.openPreview({4, {false, true}, 2});
    test::FakeView& v = w.window();
    EXPECT_EQ(v.text(p::Heading), "无法预览“自定功能”设置。");
    EXPECT_NE(v.text(p::Status).find("user.dat"), std::string::npos);
    EXPECT_EQ(v.gridRows(p::Grid1), 1);
    EXPECT_EQ(v.gridRows(p::Grid2), 0);
    EXPECT_TRUE(w.messages.shown.empty());
}

}  // namespace
