// From the main window through each side window to the registry: open it by a right press, edit,
// confirm, choose its item, apply, and read the values back from registry.reg.
#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "support/main_window.h"

using namespace tessmar;
using forms::Button;
using forms::WindowKind;
using platform::RegRoot;
using platform::RegType;
using platform::RegValue;
namespace names = forms::names;

namespace {

const char* const kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const char* const kWinlogon = "Software\\Microsoft\\Windows\\CurrentVersion\\Winlogon";

RegValue sz(const std::string& utf8) {
    const std::string bytes = platform::toCp936(utf8).value();
    RegValue value{RegType::Sz, {bytes.begin(), bytes.end()}};
    value.data.push_back(0);
    return value;
}

struct SideWindows : test::MainWindow {
    void apply() const {
        click(names::main::Apply);
        EXPECT_EQ(messages.shown.back().title, "系统提示:");
        EXPECT_NE(messages.shown.back().text.find("系统已成功地完成了"), std::string::npos);
    }
    // Read back through a registry of its own, as another program would.
    std::optional<RegValue> stored(RegRoot root, const std::string& key,
                                   const std::string& name) const {
        return platform::makeFileRegistry(dir / "registry.reg")->queryValue(root, key, name);
    }
};

TEST(SideWindows, HiddenDrivesReachNoDrives) {
    SideWindows w;
    w.show(1);
    w.pressRow(2, Button::Right);
    test::FakeView& drives = w.view(WindowKind::Drives);
    drives.tick(names::drives::Check1[2], true);
    drives.tick(names::drives::Check1[3], true);
    w.desktop.form(WindowKind::Drives)->click(names::drives::Command1[2]);
    EXPECT_FALSE(w.isOpen(WindowKind::Drives));

    w.pressRow(2);
    w.apply();
    EXPECT_EQ(w.stored(RegRoot::CurrentUser, kExplorer, "NoDrives"),
              std::optional(RegValue{RegType::Binary, {12, 0, 0, 0}}));
}

// Opened and left without a change, each window's default file reaches the registry as nothing
// hidden and an empty notice.
TEST(SideWindows, DefaultFilesReachTheRegistryEmpty) {
    SideWindows w;
    w.show(1);
    w.pressRow(2, Button::Right);
    w.desktop.form(WindowKind::Drives)->click(names::drives::Command1[3]);
    w.pressRow(3, Button::Right);
    EXPECT_TRUE(w.desktop.closeBox(WindowKind::Notice));
    w.pressRow(2);
    w.pressRow(3);
    w.apply();
    EXPECT_EQ(w.stored(RegRoot::CurrentUser, kExplorer, "NoDrives"),
              std::optional(RegValue{RegType::Binary, {0, 0, 0, 0}}));
    EXPECT_EQ(w.stored(RegRoot::LocalMachine, kWinlogon, "legalnoticecaption"),
              std::optional(sz("")));
    EXPECT_EQ(w.stored(RegRoot::LocalMachine, kWinlogon, "legalnoticetext"), std::optional(sz("")));
}

TEST(SideWindows, LogonNoticeReachesWinlogon) {
    SideWindows w;
    w.show(1);
    w.pressRow(3, Button::Right);
    test::FakeView& notice = w.view(WindowKind::Notice);
    notice.setText(names::notice::Text1, "  请注意  ");
    notice.setText(names::notice::Text2, "第一行\n第二行");
    w.desktop.form(WindowKind::Notice)->click(names::notice::Command1[0]);
    EXPECT_FALSE(w.isOpen(WindowKind::Notice));

    w.pressRow(3);
    w.apply();
    EXPECT_EQ(w.stored(RegRoot::LocalMachine, kWinlogon, "legalnoticecaption"),
              std::optional(sz("请注意")));
    EXPECT_EQ(w.stored(RegRoot::LocalMachine, kWinlogon, "legalnoticetext"),
              std::optional(sz("第一行\r\n第二行")));
}

TEST(SideWindows, CustomEntryReachesItsKey) {
    using namespace names::editor;
    SideWindows w;
    w.makeUserDat({"已有的项目"});
    w.rightPress(names::main::Categories[4]);
    test::FakeView& editor = w.view(WindowKind::Editor);
    forms::Form& form = *w.desktop.form(WindowKind::Editor);
    EXPECT_EQ(w.checklist().shezhiflag(), 0);  // the right press fills nothing

    form.click(Add);
    editor.setText(Name, "锁定级别");
    editor.choose(Combo1, 1);  // "HKEY_CURRENT_USER "
    editor.setText(KeyPath, "Software\\Tessmar");
    editor.setText(SecondName, "Level");
    editor.setText(Value, "-2");
    form.click(Save);
    EXPECT_EQ(w.lastMessage(), "系统提示|增加的内容要存盘(请确保输入的信息正确无误)吗？");

    w.show(4);
    EXPECT_EQ(w.checklist().nrow(), 3);
    EXPECT_EQ(w.main().cell(names::main::ChecklistGrid, 2, 1), "锁定级别");
    w.pressRow(2);
    w.apply();
    const auto value = w.stored(RegRoot::CurrentUser, "Software\\Tessmar", "Level");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, RegType::Dword);
    EXPECT_EQ(value->data, (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
}

// Every window exists once: opening an open one brings it forward, and each window's state is
// its own.
TEST(SideWindows, EachWindowOpensOnce) {
    SideWindows w;
    w.show(1);
    w.pressRow(2, Button::Right);
    w.view(WindowKind::Drives).tick(names::drives::Check1[4], true);
    w.pressRow(2, Button::Right);
    w.rightPress(names::main::Categories[4]);
    w.rightPress(names::main::Categories[4]);
    w.click(names::main::ChangePassword);
    w.click(names::main::ChangePassword);
    w.program.openMain("C:\\WINDOWS");
    EXPECT_EQ(
        w.desktop.events,
        (std::vector<std::string>{"show main", "show drives", "raise drives", "show usersys",
                                  "raise usersys", "show pwsword", "raise pwsword", "raise main"}));
    EXPECT_TRUE(w.view(WindowKind::Drives).checked(names::drives::Check1[4]));
    for (forms::WindowKind kind : forms::kAllWindows)
        EXPECT_EQ(w.program.isOpen(kind), w.isOpen(kind)) << test::kindName(kind);
}

}  // namespace
