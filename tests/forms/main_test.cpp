// The main window: its two views, the hover feedback and the buttons around the checklist.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/mainreg.h"
#include "platform/accounts.h"
#include "support/main_window.h"

using namespace tessmar;
using forms::Button;
using forms::WindowKind;
using namespace forms::names::main;

namespace {

using MainWindow = test::MainWindow;

const std::vector<forms::Id> kChecklistControls{
    ChecklistGrid, SelectAll, SelectNone, Apply, Leave, Instruction, NoteCaption, Note, Target};

// "checklist", "idle", or which controls disagree.
std::string viewOf(const MainWindow& w) {
    std::string shown;
    int count = 0;
    for (forms::Id control : kChecklistControls)
        if (w.main().visible(control)) {
            shown += std::string(control) + ",";
            ++count;
        }
    const bool label3 = w.main().visible(Description);
    if (count == static_cast<int>(kChecklistControls.size()) && !label3) return "checklist";
    if (count == 0 && label3) return "idle";
    return "mixed: " + shown + (label3 ? " Description" : "");
}

// One letter per frame: R lit, g grey, ? anything else.
std::string frames(const MainWindow& w) {
    std::string result;
    for (forms::Id frame : CategoryFrames) {
        const auto c = w.main().backColor(frame);
        result += c == forms::Rgb{255, 0, 0} ? 'R' : c == forms::Rgb{192, 192, 192} ? 'g' : '?';
    }
    return result;
}

TEST(MainWindow, OpensIdleAndUnfilled) {
    MainWindow w;
    EXPECT_EQ(viewOf(w), "idle");
    EXPECT_EQ(w.main().text(Description), "");
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
    const forms::GridSpec& grid = *forms::findControl(layout, ChecklistGrid)->grid;
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
        {Categories[2], "ggRgg", "--->“网络共享”设置"},
        {Categories[3], "gggRg", "---> “文件菜单”设置"},
        {ChecklistGrid, "gggRg", "---> “文件菜单”设置"},
        {Note, "gggRg", "---> “文件菜单”设置"},
        {Apply, "gggRg", "---> “文件菜单”设置"},
        {CategoryFrames[1], "gggRg", "---> “文件菜单”设置"},
        {Instruction, "gggRg", "---> “文件菜单”设置"},
        {SelectAll, "gggRg", "---> “文件菜单”设置"},
        {Leave, "gggRg", "---> “文件菜单”设置"},
        {Close, "gggRg", "---> “文件菜单”设置"},
        {"", "gggRg", "---> “文件菜单”设置"},  // the window's own background
        {Help, "gggRg", help},
        {ChangePassword, "gggRg", "---> “系统员密码设置”设置"},
        {CategoryPanel, "ggggg", ""},
        {Categories[0], "Rgggg", "--->“IE 属性”设置"},
        {ChecklistPanel, "ggggg", ""},
        {Categories[4], "ggggR", "--->“自定功能”设置"},
        {Background, "ggggg", ""},
        {Target, "ggggg", "---> “作用账户”设置"},
        {Categories[1], "gRggg", "--->“系统桌面”设置"},
    };
    for (const Step& step : steps) {
        w.form().mouseMove(step.over);
        EXPECT_EQ(frames(w), step.frames) << "over " << step.over;
        EXPECT_EQ(w.main().text(Description), step.text) << "over " << step.over;
    }
}

TEST(MainWindow, HoverInTheChecklistViewLightsOnlyTheCategoryButtons) {
    MainWindow w;
    w.show(3);
    ASSERT_EQ(viewOf(w), "checklist");
    w.form().mouseMove(Categories[3]);
    EXPECT_EQ(frames(w), "gggRg");
    for (forms::Id over : {ChecklistGrid, Instruction, NoteCaption, SelectAll, Leave, Close,
                           CategoryFrames[2], Icon})
        w.form().mouseMove(over);
    EXPECT_EQ(frames(w), "gggRg");
    w.form().mouseMove(Categories[1]);
    EXPECT_EQ(frames(w), "gRggg");
    EXPECT_EQ(w.main().text(Description), "--->“系统桌面”设置");
    EXPECT_FALSE(w.main().visible(Description));
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
    w.click(Leave);
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
    w.click(Apply);
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
    w.click(Apply);
    EXPECT_EQ(w.read("vorn.ini"), "\"1000000\",\"\",\"pw\",,,,\r\n");
    EXPECT_EQ(w.checklist().windir(), "");
}

TEST(MainWindow, AnyPressOnACategoryButtonHidesTheDescription) {
    MainWindow w;
    w.rightPress(Categories[1]);
    EXPECT_FALSE(w.main().visible(Description));
    EXPECT_FALSE(w.main().visible(ChecklistGrid));
    w.form().mouseMove(Categories[0]);
    EXPECT_EQ(frames(w), "Rgggg");
    EXPECT_FALSE(w.main().visible(Description));

    // The custom button: a right press opens the editor and fills nothing.
    w.rightPress(Categories[4]);
    EXPECT_TRUE(w.isOpen(WindowKind::Editor));
    EXPECT_FALSE(w.main().visible(ChecklistGrid));
    EXPECT_EQ(w.checklist().shezhiflag(), 0);
    // A click on it is no fill either: it works on the press.
    w.click(Categories[4]);
    EXPECT_FALSE(w.main().visible(ChecklistGrid));
    w.form().mouseDown(Categories[4], Button::Other, -1);
    EXPECT_FALSE(w.main().visible(ChecklistGrid));
    EXPECT_EQ(w.desktop.events, (std::vector<std::string>{"show main", "show usersys"}));
}

TEST(MainWindow, UnreadableSettingsChangeNothing) {
    MainWindow w;
    const std::string broken = "\"1111111\",\"C:\\WINDOWS\"\r\n";
    w.write("vorn.ini", broken);
    w.show(0);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].title, "系统提示:");
    EXPECT_FALSE(w.main().visible(ChecklistGrid));
    EXPECT_EQ(w.read("vorn.ini"), broken);
    w.show(4);
    EXPECT_EQ(w.messages.shown.size(), 2u);
    EXPECT_FALSE(w.main().visible(ChecklistGrid));

    // Damaged between the fill and the apply: the toggled choice stays on screen.
    w.write("vorn.ini", "\"\",\"C:\\WINDOWS\",,,,\"\",\r\n");
    w.show(0);
    w.pressRow(3);
    w.write("vorn.ini", broken);
    w.click(Apply);
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
    w.click(Help);
    EXPECT_EQ(w.shell.opened, std::vector{w.dir / "help.htm"});

    w.click(ChangePassword);
    EXPECT_TRUE(w.isOpen(WindowKind::Password));
    w.click(ChangePassword);
    EXPECT_EQ(w.desktop.events,
              (std::vector<std::string>{"show main", "show pwsword", "raise pwsword"}));
}

// Closing the main window leaves the other windows open; ending the program with its last window
// is the front end's part.
TEST(MainWindow, CloseButtonClosesOnlyTheMainWindow) {
    MainWindow w;
    w.click(ChangePassword);
    w.click(Close);
    EXPECT_FALSE(w.isOpen(WindowKind::Main));
    EXPECT_FALSE(w.program.isOpen(WindowKind::Main));
    EXPECT_TRUE(w.isOpen(WindowKind::Password));
    EXPECT_FALSE(w.desktop.quitCalled);
    w.program.open(WindowKind::Main);
    EXPECT_TRUE(w.isOpen(WindowKind::Main));
}

// The target chooser: the PC's targets with their marks, the running account first and chosen;
// each target shows its own stored choices, a target never applied shows none, a target that
// cannot be had is refused with its reason, and an apply goes to the chosen one.
class Accounts : public platform::Accounts {
  public:
    std::optional<std::string> nameOf(std::string_view) override { return std::nullopt; }
    std::optional<std::string> sidOf(std::string_view) override { return std::nullopt; }
    std::optional<std::string> runningSid() override { return "S-1-5-21-9-500"; }
    std::optional<std::string> sessionSid() override { return "S-1-5-21-9-1001"; }
    bool isAdministrator(std::string_view sid) override { return sid == "S-1-5-21-9-1002"; }
    std::string expand(std::string_view path) override { return std::string(path); }
};

TEST(MainWindow, TheChooserOffersTheTargetsAndEachShowsItsOwnChoices) {
    MainWindow w;
    Accounts accounts;
    w.program.context().accounts = &accounts;
    const std::string list = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";
    for (auto [sid, folder] :
         {std::pair{"S-1-5-18", "C:\\Windows\\system32\\config\\systemprofile"},
          {"S-1-5-21-9-500", "C:\\Users\\Administrator"},
          {"S-1-5-21-9-1001", "C:\\Users\\xiaoming"},
          {"S-1-5-21-9-1002", "C:\\Users\\baba"}})
        ASSERT_TRUE(engine::setstring(*w.registry, platform::RegRoot::LocalMachine, list + sid,
                                      "ProfileImagePath", folder));
    ASSERT_TRUE(engine::setstring(*w.registry, platform::RegRoot::LocalMachine,
                                  "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "EditionID",
                                  "CoreSingleLanguage"));
    w.write("vorn.ini", "\"1000000\",\"C:\\WINDOWS\",\"\",,,,\r\n");
    w.write("targets.ini", "\"S-1-5-21-9-1001\",\"xiaoming\",\"0100000\",,,,\r\n");

    w.show(0);
    std::vector<std::string> captions;
    for (const auto& item : w.main().listItems(Target))
        captions.push_back(item.text + (item.enabled ? "" : " (off)"));
    EXPECT_EQ(captions,
              (std::vector<std::string>{"当前账户", "xiaoming（已登录）", "baba（管理员）",
                                        "以后新建账户", "所有标准用户（家庭版不可用） (off)"}));
    EXPECT_EQ(w.main().listIndex(Target), 0);
    EXPECT_EQ(w.marks(), "1000000");

    // Switching shows the target's own choices; a toggle not applied is given up.
    w.pressRow(3);
    w.main().pick(Target, 1);
    w.click(Target);
    EXPECT_EQ(w.marks(), "0100000");
    w.main().pick(Target, 3);
    w.click(Target);
    EXPECT_EQ(w.marks(), "0000000");
    // The standard users' policy is no target on a Home edition: refused, the choice stays.
    w.main().pick(Target, 4);
    w.click(Target);
    EXPECT_NE(w.lastMessage().find("家庭版"), std::string::npos);
    EXPECT_EQ(w.main().listIndex(Target), 3);

    // The apply goes to the chosen account and its choices are its own; the chooser keeps it.
    w.main().pick(Target, 1);
    w.click(Target);
    w.pressRow(1);
    w.click(Apply);
    EXPECT_NE(w.lastMessage().find("设置!\n已写入账户“xiaoming”"), std::string::npos);
    const std::string ie = "Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions";
    EXPECT_TRUE(w.registry->queryValue(platform::RegRoot::Users, "S-1-5-21-9-1001\\" + ie,
                                       "nobrowseroptions"));
    EXPECT_FALSE(w.registry->keyExists(platform::RegRoot::CurrentUser, ie));
    EXPECT_EQ(w.read("vorn.ini"), "\"1000000\",\"C:\\WINDOWS\",\"\",,,,\r\n");
    w.show(0);
    EXPECT_EQ(w.main().listIndex(Target), 1);
    EXPECT_EQ(w.marks(), "1100000");
}

}  // namespace
