// Choosing items in the main window's checklist, built-in and custom categories alike: the flags
// are the truth and the grid shows them.
#include <gtest/gtest.h>

#include <algorithm>

#include "forms/preview.h"
#include "platform/codepage.h"
#include "support/main_window.h"

using namespace tessmar;
using forms::Button;
using forms::WindowKind;
using namespace forms::names::main;

namespace {

using Checklist = test::MainWindow;

bool anyFlag(const std::vector<bool>& flags) {
    return std::ranges::any_of(flags, [](bool f) { return f; });
}

TEST(Checklist, ShowsTheStoredSelection) {
    Checklist w;
    w.write("vorn.ini", "\"1010000\",\"C:\\WINDOWS\",\"\",,,\"\",\r\n");
    w.show(0);
    EXPECT_EQ(w.main().gridRows(ChecklistGrid), 8);
    EXPECT_EQ(w.main().cell(ChecklistGrid, 0, 0), "序号");
    EXPECT_EQ(w.main().cell(ChecklistGrid, 0, 2), "选取");
    EXPECT_EQ(w.main().cell(ChecklistGrid, 1, 1), "禁用“IE”菜单上显示“Internet选项”");
    EXPECT_EQ(w.marks(), "1010000");
}

// A hand-edited selection is read by characters: the second character chooses row 2.
TEST(Checklist, SelectionStringsCountCharactersNotBytes) {
    Checklist w;
    w.write("vorn.ini", platform::toCp936("\"\",\"C:\\WINDOWS\",,\"是1\",,,\r\n").value());
    w.show(1);
    EXPECT_EQ(w.marks(), "01" + std::string(18, '0'));
}

// A stored selection longer than the category chooses only its item rows, and the apply stores
// the category's own length.
TEST(Checklist, StoredSelectionLongerThanTheCategory) {
    Checklist w;
    w.write("vorn.ini", "\"1111111111\",\"C:\\WINDOWS\",,,,,\r\n");
    w.show(0);
    EXPECT_EQ(w.marks(), "1111111");
    w.pressRow(1);
    w.click(Apply);
    EXPECT_EQ(w.read("vorn.ini"), "\"0111111\",\"C:\\WINDOWS\",,,,,\r\n");
    w.show(0);
    EXPECT_EQ(w.marks(), "0111111");
}

TEST(Checklist, PressesToggleMarkAndFlagTogether) {
    Checklist w;
    w.show(3);
    struct Press {
        int row;
        Button button;
        const char* after;
    } presses[] = {
        {4, Button::Left, "00010000000"},  {4, Button::Left, "00000000000"},
        {4, Button::Left, "00010000000"},  {0, Button::Left, "00010000000"},  // the heading row
        {0, Button::Right, "00010000000"}, {2, Button::Right, "00010000000"},
        {2, Button::Other, "00010000000"},  // the middle button, or two held at once
        {-1, Button::Left, "00010000000"},  // below the last row
        {12, Button::Left, "00010000000"},  // past the last row
        {11, Button::Left, "00010000001"},
    };
    for (const Press& p : presses) {
        w.pressRow(p.row, p.button);
        EXPECT_EQ(w.marks(), p.after) << "after a press on row " << p.row;
    }
    EXPECT_EQ(w.main().grid(ChecklistGrid).currentRow, 11);
    EXPECT_EQ(w.main().grid(ChecklistGrid).currentColumn, 2);

    // What a cell happens to show does not count: the next press follows the flag.
    w.main().editCell(ChecklistGrid, 5, 2, "    ");
    w.main().editCell(ChecklistGrid, 6, 2, "√");
    w.pressRow(5);
    EXPECT_EQ(w.mark(5), " √");
    w.pressRow(6);
    EXPECT_EQ(w.marks(), "00011100001");
    w.main().editCell(ChecklistGrid, 6, 2, " ");
    w.pressRow(6);
    EXPECT_EQ(w.mark(6), " ");
    EXPECT_FALSE(w.checklist().chosen(6));
}

TEST(Checklist, RightPressOnRowsTwoAndThreeOfTheDesktopOpensTheSideWindows) {
    Checklist w;
    w.show(0);
    w.pressRow(2, Button::Right);
    w.pressRow(3, Button::Right);
    EXPECT_FALSE(w.isOpen(WindowKind::Drives) || w.isOpen(WindowKind::Notice));

    w.show(1);
    for (int row : {0, 1, 4, 20, -1}) w.pressRow(row, Button::Right);
    EXPECT_FALSE(w.isOpen(WindowKind::Drives) || w.isOpen(WindowKind::Notice));
    w.pressRow(2, Button::Right);
    EXPECT_TRUE(w.isOpen(WindowKind::Drives));
    w.pressRow(3, Button::Right);
    EXPECT_TRUE(w.isOpen(WindowKind::Notice));
    test::FakeView* notice = w.desktop.view(WindowKind::Notice);
    w.pressRow(3, Button::Right);
    EXPECT_EQ(w.desktop.view(WindowKind::Notice), notice);
    EXPECT_EQ(w.desktop.events,
              (std::vector<std::string>{"show main", "show drives", "show logo", "raise logo"}));
    EXPECT_EQ(w.marks(), std::string(20, '0'));

    // The custom category has no side windows, whatever its rows.
    w.makeUserDat({"一", "二", "三"});
    w.view(WindowKind::Drives).close();
    w.view(WindowKind::Notice).close();
    w.show(4);
    for (int row : {1, 2, 3}) w.pressRow(row, Button::Right);
    EXPECT_FALSE(w.isOpen(WindowKind::Drives) || w.isOpen(WindowKind::Notice));
}

TEST(Checklist, SelectAllAndNone) {
    Checklist w;
    w.show(1);
    w.click(SelectAll);
    EXPECT_EQ(w.marks(), std::string(20, '1'));
    EXPECT_EQ(w.main().grid(ChecklistGrid).currentRow, 20);
    EXPECT_EQ(w.main().grid(ChecklistGrid).currentColumn, 2);
    EXPECT_EQ(w.main().cell(ChecklistGrid, 0, 1), "             系统桌面（要设置的项目）");
    w.click(SelectNone);
    EXPECT_EQ(w.marks(), std::string(20, '0'));
    EXPECT_FALSE(anyFlag(w.checklist().flags(1)));
    EXPECT_FALSE(anyFlag(w.checklist().flags(0)));
}

// 全选 and 全否 end on the last row's mark without scrolling the grid, so that the next press
// lands on the row the administrator saw; each category fill shows the list from its first row.
TEST(Checklist, SelectAllAndNoneLeaveTheRowsInViewWhereTheyWere) {
    Checklist w;
    w.show(1);
    const int fills = w.main().grid(ChecklistGrid).fills;
    for (forms::Id button : {SelectNone, SelectAll}) {
        w.click(button);
        EXPECT_EQ(w.main().grid(ChecklistGrid).topRow, 0);
        EXPECT_EQ(w.main().grid(ChecklistGrid).currentRow, 20);
        EXPECT_EQ(w.main().grid(ChecklistGrid).fills, fills);
    }
    w.main().scrollTo(ChecklistGrid, 5);
    w.click(SelectNone);
    EXPECT_EQ(w.main().grid(ChecklistGrid).topRow, 5);

    // Pressing where rows 2 and 3 are shown chooses rows 2 and 3.
    w.pressRow(2);
    w.pressRow(3);
    EXPECT_EQ(w.marks(), "011" + std::string(17, '0'));

    for (int category : {1, 0, 4}) {
        w.main().scrollTo(ChecklistGrid, 7);
        w.show(category);
        EXPECT_EQ(w.main().grid(ChecklistGrid).topRow, 0) << "category " << category;
    }
}

TEST(Checklist, SwitchingBackShowsTheStoredSelectionAndApplyStoresTheShownOne) {
    Checklist w;
    w.show(2);
    w.pressRow(1);
    w.show(0);
    w.show(2);
    EXPECT_EQ(w.marks(), "00000");

    w.pressRow(2);
    w.pressRow(5);
    w.click(Apply);
    w.show(2);
    EXPECT_EQ(w.marks(), "01001");
    EXPECT_EQ(w.read("vorn.ini"), ",\"C:\\WINDOWS\",,,\"01001\",,\r\n");
}

TEST(Checklist, CustomCategoryShowsTheEntriesWithTheirStoredMarks) {
    Checklist w;
    w.write("vorn.ini", "\"\",\"C:\\WINDOWS\",,,,\"\",\"1011111\"\r\n");
    w.makeUserDat({"一", "", "三", "四", "五"});
    w.show(0);
    w.click(SelectAll);  // leaves marks in the grid that the custom fill must not keep
    w.show(4);
    EXPECT_EQ(w.checklist().shezhiflag(), 4);
    EXPECT_EQ(w.checklist().nrow(), 6);
    EXPECT_EQ(w.main().cell(ChecklistGrid, 0, 1), "           自定功能（要设置的项目）           ");
    EXPECT_EQ(w.main().cell(ChecklistGrid, 2, 0), "2");
    EXPECT_EQ(w.main().cell(ChecklistGrid, 2, 1), "");
    // The stored string is longer than the entries: its surplus chooses nothing.
    EXPECT_EQ(w.marks(), "10111");
    EXPECT_TRUE(w.messages.shown.empty());
    EXPECT_TRUE(w.main().visible(ChecklistGrid));
}

TEST(Checklist, CustomCategoryWithThreeEntriesAndAShorterStoredString) {
    Checklist w;
    w.write("vorn.ini", "\"\",\"C:\\WINDOWS\",,,,\"\",\"01\"\r\n");
    w.makeUserDat({"甲", "乙", "丙"});
    w.show(4);
    EXPECT_EQ(w.checklist().nrow(), 4);
    EXPECT_EQ(w.marks(), "010");
    w.pressRow(3);
    w.click(Apply);
    EXPECT_EQ(w.read("vorn.ini"), "\"\",\"C:\\WINDOWS\",,,,\"\",\"011\"\r\n");
}

// Rows are bound to entries by position: once the editor adds, deletes or renames an entry, the
// rows on screen name other entries, and neither the apply nor the preview may act on them.
TEST(Checklist, CustomRowsThatNoLongerMatchUserDatWriteNothing) {
    const std::vector<std::vector<std::string>> changed{
        {"乙", "丙"}, {"甲", "乙", "丙", "丁"}, {"甲", "乙乙", "丙"}};
    for (const auto& now : changed) {
        Checklist w;
        w.write("vorn.ini", "\"\",\"C:\\WINDOWS\",,,,\"\",\"010\"\r\n");
        w.makeUserDat({"甲", "乙", "丙"});
        w.show(4);
        std::filesystem::remove(w.dir / "user.dat");
        w.makeUserDat(now);
        const std::string registry = w.read("registry.reg");
        w.click(Preview);
        EXPECT_NE(w.view(WindowKind::Preview)
                      .text(forms::names::preview::Status)
                      .find("请重新打开“自定功能”"),
                  std::string::npos);
        w.click(Apply);
        EXPECT_NE(w.lastMessage().find("请重新打开“自定功能”"), std::string::npos);
        EXPECT_EQ(w.read("vorn.ini"), "\"\",\"C:\\WINDOWS\",,,,\"\",\"010\"\r\n");
        EXPECT_EQ(w.read("registry.reg"), registry);
        // Filled again, the rows follow user.dat and the apply goes through.
        w.show(4);
        w.click(Apply);
        EXPECT_NE(w.lastMessage().find("“自定功能”设置!"), std::string::npos);
    }
}

TEST(Checklist, CustomCategoryWithoutEntries) {
    for (bool userDat : {false, true}) {
        SCOPED_TRACE(userDat ? "empty user.dat" : "no user.dat");
        Checklist w;
        if (userDat) w.makeUserDat({});
        w.show(4);
        if (userDat)
            EXPECT_TRUE(w.messages.shown.empty());
        else
            EXPECT_EQ(w.lastMessage(), "系统提示:|系统文件丢失,请重新安装!");
        EXPECT_EQ(w.checklist().nrow(), 1);
        EXPECT_EQ(w.main().gridRows(ChecklistGrid), 1);
        EXPECT_TRUE(w.main().visible(ChecklistGrid));
        w.click(SelectAll);
        w.pressRow(0);
        w.pressRow(1);
        EXPECT_EQ(w.marks(), "");
        EXPECT_FALSE(anyFlag(w.checklist().flags(4)));
        w.show(3);
        EXPECT_EQ(w.main().gridRows(ChecklistGrid), 12);
    }
}

TEST(Checklist, MoreThan450EntriesAreChosenAndStored) {
    Checklist w;
    std::vector<std::string> names;
    for (int i = 1; i <= 460; ++i) names.push_back("项目" + std::to_string(i));
    w.makeUserDat(names);
    w.show(4);
    EXPECT_EQ(w.checklist().nrow(), 461);
    w.click(SelectAll);
    EXPECT_EQ(w.main().grid(ChecklistGrid).currentRow, 460);
    w.pressRow(455);
    const std::string chosen = std::string(454, '1') + "0" + std::string(5, '1');
    EXPECT_EQ(w.marks(), chosen);
    w.click(Apply);
    EXPECT_EQ(w.read("vorn.ini"), ",\"C:\\WINDOWS\",,,,,\"" + chosen + "\"\r\n");
    w.show(4);
    EXPECT_EQ(w.marks(), chosen);
}

}  // namespace
