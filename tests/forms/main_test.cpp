// The main window: its two views, the hover feedback and the buttons around the checklist.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/main_window.h"

using namespace tessmar;
using forms::Button;
using forms::WindowKind;
using namespace forms::names::main;

namespace {

using MainWindow = test::MainWindow;

const std::vector<forms::Id> kChecklistControls{Grid1,    Command3[0], Command3[1], Command5,
                                                Command6, Label1_0,    Label2[0],   Label2[1]};

// "checklist", "idle", or which controls disagree.
std::string viewOf(const MainWindow& w) {
    std::string shown;
    int count = 0;
    for (forms::Id control : kChecklistControls)
        if (w.main().visible(control)) {
            shown += std::string(control) + ",";
            ++count;
        }
    const bool label3 = w.main().visible(Label3);
    if (count == static_cast<int>(kChecklistControls.size()) && !label3) return "checklist";
    if (count == 0 && label3) return "idle";
    return "mixed: " + shown + (label3 ? " Label3" : "");
}

// One letter per frame: R lit, g grey, ? anything else.
std::string frames(const MainWindow& w) {
    std::string result;
    for (forms::Id frame : Picture3) {
        const auto c = w.main().backColor(frame);
        result += c == forms::Rgb{255, 0, 0} ? 'R' : c == forms::Rgb{192, 192, 192} ? 'g' : '?';
    }
    return result;
}

TEST(MainWindow, OpensIdleAndUnfilled) {
    MainWindow w;
    EXPECT_EQ(viewOf(w), "idle");
    EXPECT_EQ(w.main().text(Label3), "");
    EXPECT_EQ(frames(w), "ggggg");
    EXPECT_EQ(w.checklist().shezhiflag(), 0);
    for (int c = 0; c < 5; ++c)
        EXPECT_TRUE(std::ranges::none_of(w.checklist().flags(c), [](bool f) { return f; }));
    EXPECT_FALSE(w.exists("vorn.ini"));
    EXPECT_EQ(w.checklist().windir(), "C:\\WINDOWS");
    const forms::WindowLayout& layout = w.main().layout();
    EXPECT_EQ(layout.border, forms::Border::Thin);
    EXPECT_EQ(forms::pixels(layout.clientWidth), 593);
    EXPECT_EQ(forms::pixels(layout.clientHeight), 403);
    // The heading row stays in view when the rows scroll.
    const forms::GridSpec& grid = *forms::findControl(layout, Grid1)->grid;
    EXPECT_EQ(grid.fixedRows, 1);
    EXPECT_EQ(grid.fixedColumns, 1);
    EXPECT_EQ(grid.columnTwips, (std::vector<int>{440, 4170, 440}));
}

TEST(MainWindow, HoverLightsFramesAndDescribes) {
    MainWindow w;
    const std::string help = "---> “使用帮助”设置";
    struct Step {
        forms::Id over;
        const char* frames;
        std::string text;
    } steps[] = {
        {Command2[2], "ggRgg", "--->“网络共享”设置"},
        {Command2[3], "gggRg", "---> “文件菜单”设置"},
        {Grid1, "gggRg", "---> “文件菜单”设置"},
        {Label2[1], "gggRg", "---> “文件菜单”设置"},
        {Command5, "gggRg", "---> “文件菜单”设置"},
        {Picture3[1], "gggRg", "---> “文件菜单”设置"},
        {Label1_0, "gggRg", "---> “文件菜单”设置"},
        {Command3[0], "gggRg", "---> “文件菜单”设置"},
        {Command6, "gggRg", "---> “文件菜单”设置"},
        {Command1_1, "gggRg", "---> “文件菜单”设置"},
        {"", "gggRg", "---> “文件菜单”设置"},  // the window's own background
        {Command4[0], "gggRg", help},
        {Command4[1], "gggRg", "---> “系统员密码设置”设置"},
        {Picture2[0], "ggggg", ""},
        {Command2[0], "Rgggg", "--->“IE 属性”设置"},
        {Picture2[1], "ggggg", ""},
        {Command2[4], "ggggR", "--->“自定功能”设置"},
        {Picture1, "ggggg", ""},
        {Command2[1], "gRggg", "--->“系统桌面”设置"},
    };
    for (const Step& step : steps) {
        w.form().mouseMove(step.over);
        EXPECT_EQ(frames(w), step.frames) << "over " << step.over;
        EXPECT_EQ(w.main().text(Label3), step.text) << "over " << step.over;
    }
}

TEST(MainWindow, HoverInTheChecklistViewLightsOnlyTheCategoryButtons) {
    MainWindow w;
    w.show(3);
    ASSERT_EQ(viewOf(w), "checklist");
    w.form().mouseMove(Command2[3]);
    EXPECT_EQ(frames(w), "gggRg");
    for (forms::Id over :
         {Grid1, Label1_0, Label2[0], Command3[0], Command6, Command1_1, Picture3[2], Image1})
        w.form().mouseMove(over);
    EXPECT_EQ(frames(w), "gggRg");
    w.form().mouseMove(Command2[1]);
    EXPECT_EQ(frames(w), "gRggg");
    EXPECT_EQ(w.main().text(Label3), "--->“系统桌面”设置");
    EXPECT_FALSE(w.main().visible(Label3));
}

TEST(MainWindow, CategoryButtonShowsTheChecklistAndLeaveKeepsEverything) {
    MainWindow w;
    w.show(1);
    EXPECT_EQ(viewOf(w), "checklist");
    EXPECT_EQ(w.checklist().shezhiflag(), 1);
    // Made the way a category button makes it: only the Windows directory set.
    const std::string made = ",\"C:\\WINDOWS\",,,,,\r\n";
    EXPECT_EQ(w.read("vorn.ini"), made);

    w.pressRow(1);
    w.click(Command6);
    EXPECT_EQ(viewOf(w), "idle");
    EXPECT_EQ(w.checklist().shezhiflag(), 1);
    EXPECT_TRUE(w.checklist().flags(1)[1]);
    EXPECT_EQ(w.read("vorn.ini"), made);
    EXPECT_FALSE(w.exists("registry.reg"));

    // The same category again is refilled from the file: the toggle is lost.
    w.show(1);
    EXPECT_EQ(viewOf(w), "checklist");
    EXPECT_FALSE(w.checklist().flags(1)[1]);
    EXPECT_EQ(w.marks(), std::string(20, '0'));
}

TEST(MainWindow, ApplyStoresAndReturnsToIdle) {
    MainWindow w("elsewhere");
    w.write("vorn.ini", "\"\",\"D:\\WIN\",\"pw\",,,\"\",\r\n");
    w.show(2);
    w.pressRow(2);
    w.click(Command5);
    EXPECT_EQ(viewOf(w), "idle");
    EXPECT_EQ(w.read("vorn.ini"), "\"\",\"D:\\WIN\",\"pw\",,\"01000\",\"\",\r\n");
    EXPECT_EQ(w.checklist().windir(), "D:\\WIN");
    EXPECT_EQ(w.lastMessage(), "系统提示:|系统已成功地完成了“网络共享”设置!");
    EXPECT_TRUE(w.exists("registry.reg"));
}

TEST(MainWindow, AnApplyWritesAnUnsetWindowsDirectoryBackAsAText) {
    MainWindow w("C:\\WINDOWS");
    w.write("vorn.ini", "\"\",,\"pw\",,,,\r\n");
    w.show(0);
    w.pressRow(1);
    w.click(Command5);
    EXPECT_EQ(w.read("vorn.ini"), "\"1000000\",\"\",\"pw\",,,,\r\n");
    EXPECT_EQ(w.checklist().windir(), "");
}

TEST(MainWindow, AnyPressOnACategoryButtonHidesTheDescription) {
    MainWindow w;
    w.rightPress(Command2[1]);
    EXPECT_FALSE(w.main().visible(Label3));
    EXPECT_FALSE(w.main().visible(Grid1));
    w.form().mouseMove(Command2[0]);
    EXPECT_EQ(frames(w), "Rgggg");
    EXPECT_FALSE(w.main().visible(Label3));

    // The custom button: a right press opens the editor and fills nothing.
    w.rightPress(Command2[4]);
    EXPECT_TRUE(w.isOpen(WindowKind::usersys));
    EXPECT_FALSE(w.main().visible(Grid1));
    EXPECT_EQ(w.checklist().shezhiflag(), 0);
    // A click on it is no fill either: it works on the press.
    w.click(Command2[4]);
    EXPECT_FALSE(w.main().visible(Grid1));
    w.form().mouseDown(Command2[4], Button::Other, -1);
    EXPECT_FALSE(w.main().visible(Grid1));
    EXPECT_EQ(w.desktop.events, (std::vector<std::string>{"show main", "show usersys"}));
}

TEST(MainWindow, UnreadableSettingsChangeNothing) {
    MainWindow w;
    const std::string broken = "\"1111111\",\"C:\\WINDOWS\"\r\n";
    w.write("vorn.ini", broken);
    w.show(0);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].title, "系统提示:");
    EXPECT_FALSE(w.main().visible(Grid1));
    EXPECT_EQ(w.read("vorn.ini"), broken);
    w.show(4);
    EXPECT_EQ(w.messages.shown.size(), 2u);
    EXPECT_FALSE(w.main().visible(Grid1));

    // Damaged between the fill and the apply: the toggled choice stays on screen.
    w.write("vorn.ini", "\"\",\"C:\\WINDOWS\",,,,\"\",\r\n");
    w.show(0);
    w.pressRow(3);
    w.write("vorn.ini", broken);
    w.click(Command5);
    EXPECT_EQ(w.messages.shown.size(), 3u);
    EXPECT_EQ(viewOf(w), "checklist");
    EXPECT_TRUE(w.checklist().flags(0)[3]);
    EXPECT_EQ(w.read("vorn.ini"), broken);
    EXPECT_FALSE(w.exists("registry.reg"));
}

TEST(MainWindow, SettingsThatCannotBeMadeAreReported) {
    MainWindow w;
    w.program.context().dir = w.dir / "gone";
    w.show(1);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_NE(w.messages.shown[0].text.find("vorn.ini"), std::string::npos);
    // The press hid the description line; the checklist never showed.
    EXPECT_EQ(viewOf(w), "mixed: ");
    EXPECT_FALSE(std::filesystem::exists(w.dir / "gone"));
}

TEST(MainWindow, HelpAndPasswordButtons) {
    MainWindow w;
    w.program.context().dir = w.dir.string() + "  ";
    w.click(Command4[0]);
    EXPECT_EQ(w.shell.opened, std::vector{w.dir / "help.htm"});

    w.click(Command4[1]);
    EXPECT_TRUE(w.isOpen(WindowKind::pwsword));
    w.click(Command4[1]);
    EXPECT_EQ(w.desktop.events,
              (std::vector<std::string>{"show main", "show pwsword", "raise pwsword"}));
}

// Closing the main window leaves the other windows open; ending the program with its last window
// is the front end's part.
TEST(MainWindow, CloseButtonClosesOnlyTheMainWindow) {
    MainWindow w;
    w.click(Command4[1]);
    w.click(Command1_1);
    EXPECT_FALSE(w.isOpen(WindowKind::main));
    EXPECT_FALSE(w.program.isOpen(WindowKind::main));
    EXPECT_TRUE(w.isOpen(WindowKind::pwsword));
    EXPECT_FALSE(w.desktop.quitCalled);
    w.program.open(WindowKind::main);
    EXPECT_TRUE(w.isOpen(WindowKind::main));
}

}  // namespace
