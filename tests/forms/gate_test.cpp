// The start-up password gate: only the administrator password opens the main window.
#include <gtest/gtest.h>

#include "forms/gate.h"
#include "forms/main.h"
#include "platform/exposure.h"
#include "support/session.h"
#include "support/tab_order.h"

using namespace tessmar;
using forms::Key;
using forms::WindowKind;
using namespace forms::names::gate;

namespace {

const std::string kGateRecord = "\"\",\"C:\\WINDOWS\",,,,\"\",\r\n";

struct Gate : test::Session {
    Gate() { program.open(WindowKind::Gate); }
    test::FakeView& gate() const { return view(WindowKind::Gate); }
    forms::Form& form() const { return *desktop.form(WindowKind::Gate); }
    bool mainOpen() const { return isOpen(WindowKind::Main); }
};

TEST(Gate, OpensWithTheFocusInThePasswordBox) {
    Gate g;
    const forms::WindowLayout& layout = g.gate().layout();
    EXPECT_EQ(layout.caption, " input sys pwd!");
    EXPECT_EQ(layout.border, forms::Border::FixedDialog);
    EXPECT_FALSE(layout.taskbar);
    EXPECT_EQ(forms::pixels(layout.clientWidth), 301);
    EXPECT_EQ(forms::pixels(layout.clientHeight), 120);
    EXPECT_EQ(g.gate().focus(), Text2);
    EXPECT_TRUE(forms::findControl(layout, Text2)->password);
    EXPECT_EQ(test::tabOrder(layout),
              (std::vector<std::string>{"Text2", "CancelButton", "OKButton"}));
    EXPECT_EQ(g.desktop.events, std::vector<std::string>{"show pwdyz"});
}

TEST(Gate, WarnsOnceWhenOthersCanChangeTheProgramFolderAndOffersToFixIt) {
    {
        Gate safe;
        EXPECT_TRUE(safe.messages.shown.empty());
    }
    // Refused: the folder stays open to others, the gate works, and the next start warns again.
    for (int start = 0; start < 2; ++start) {
        test::Session s;
        std::filesystem::permissions(s.dir, std::filesystem::perms::all);
        s.answer(platform::Answer::Cancel);
        s.program.open(WindowKind::Gate);
        ASSERT_EQ(s.messages.shown.size(), 1u);
        EXPECT_EQ(s.messages.shown[0].title, "警告");
        EXPECT_NE(s.messages.shown[0].text.find("Program Files"), std::string::npos);
        EXPECT_NE(s.messages.shown[0].text.find("按“确定”"), std::string::npos);
        s.desktop.form(WindowKind::Gate)->click(OKButton);
        EXPECT_EQ(s.messages.shown.size(), 1u);
        EXPECT_TRUE(s.isOpen(WindowKind::Main));
        EXPECT_TRUE(platform::exposureWarning(s.dir).has_value());
    }
    // Accepted: the folder is narrowed, the gate says so, and the warning is gone.
    test::Session s;
    std::filesystem::permissions(s.dir, std::filesystem::perms::all);
    s.answer(platform::Answer::Ok);
    s.program.open(WindowKind::Gate);
    ASSERT_EQ(s.messages.shown.size(), 2u);
    EXPECT_NE(s.messages.shown[1].text.find("已经改好"), std::string::npos);
    EXPECT_FALSE(platform::exposureWarning(s.dir).has_value());
}

TEST(Gate, HoldsAtMostTwentyFiveCharacters) {
    Gate g;
    g.gate().type(Text2, std::string(30, 'x'));
    EXPECT_EQ(g.gate().text(Text2), std::string(25, 'x'));
}

TEST(Gate, FirstStartCreatesTheFileAndOpensMainBeforeClosing) {
    Gate g;
    g.form().click(OKButton);
    EXPECT_EQ(g.read("vorn.ini"), kGateRecord);
    EXPECT_TRUE(g.messages.shown.empty());
    // The program never is without a window.
    EXPECT_EQ(g.desktop.events,
              (std::vector<std::string>{"show pwdyz", "show main", "close pwdyz"}));
    ASSERT_TRUE(g.mainOpen());
    EXPECT_EQ(g.desktop.form<forms::MainForm>(WindowKind::Main).checklist().windir(),
              "C:\\WINDOWS");
    EXPECT_FALSE(g.program.isOpen(WindowKind::Gate));
}

TEST(Gate, TheMainWindowGetsTheStoredWindowsDirectory) {
    Gate g;
    g.write("vorn.ini", "\"\",\"D:\\WIN98\",\"pw\",,,\"\",\r\n");
    g.gate().type(Text2, "pw");
    g.form().click(OKButton);
    ASSERT_TRUE(g.mainOpen());
    EXPECT_EQ(g.desktop.form<forms::MainForm>(WindowKind::Main).checklist().windir(), "D:\\WIN98");
}

TEST(Gate, ComparesTrimmedAndExact) {
    const std::string upper = "\"\",\"C:\\WINDOWS\",\"Ab1,x\",,,\"\",\r\n";
    struct Case {
        const char* name;
        std::string stored;  // the record, or empty for none
        std::string typed;
        bool accepted;
    } cases[] = {
        {"first start, blanks", "", "   ", true}, {"first start, a letter", "", "a", false},
        {"exact", upper, "Ab1,x", true},          {"blanks around", upper, "  Ab1,x ", true},
        {"small letters", upper, "ab1,x", false}, {"blank inside", upper, "Ab1, x", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Gate g;
        if (!c.stored.empty()) g.write("vorn.ini", c.stored);
        g.gate().type(Text2, c.typed);
        g.gate().focusOn(OKButton);
        g.form().click(OKButton);
        EXPECT_EQ(g.mainOpen(), c.accepted);
        EXPECT_FALSE(g.desktop.quitCalled);
        if (c.accepted) {
            EXPECT_TRUE(g.messages.shown.empty());
            continue;
        }
        EXPECT_EQ(g.lastMessage(), "警告|密码有误，确定重输！");
        EXPECT_EQ(g.messages.shown.size(), 1u);
        EXPECT_FALSE(g.gate().closed());
        EXPECT_EQ(g.gate().text(Text2), "");
        EXPECT_EQ(g.gate().focus(), Text2);
    }
}

TEST(Gate, EscVerifiesAndEnterMovesToOk) {
    Gate g;
    g.write("vorn.ini", "\"\",\"C:\\WINDOWS\",\"pw\",,,\"\",\r\n");
    g.gate().type(Text2, "px");
    EXPECT_TRUE(g.form().key(Text2, Key::Escape));
    EXPECT_EQ(g.messages.shown.size(), 1u);
    EXPECT_FALSE(g.gate().closed());

    g.gate().type(Text2, "pw");
    EXPECT_FALSE(g.form().key(Text2, Key::Character));
    EXPECT_TRUE(g.form().key(Text2, Key::Enter));
    EXPECT_EQ(g.gate().focus(), OKButton);
    EXPECT_FALSE(g.mainOpen());
    // Enter on the focused button is the button's own: the front end presses it.
    EXPECT_FALSE(g.form().key(OKButton, Key::Enter));
    EXPECT_FALSE(g.mainOpen());
    g.form().click(OKButton);
    EXPECT_TRUE(g.mainOpen());
    EXPECT_EQ(g.messages.shown.size(), 1u);
}

TEST(Gate, EscOnTheButtonsVerifiesToo) {
    Gate g;
    g.form().key(CancelButton, Key::Escape);
    EXPECT_TRUE(g.mainOpen());
    EXPECT_FALSE(g.desktop.quitCalled);
}

TEST(Gate, UnreadableFileIsReportedAndKept) {
    struct Case {
        const char* name;
        std::string bytes;  // empty: a program directory where nothing can be made
    } cases[] = {
        {"too few fields", "\"\",\"C:\\WINDOWS\"\r\n"},
        {"unclosed quote", "\"\",\"C:\\WINDOWS\",\"secret,,,\r\n"},
        {"cannot be created", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Gate g;
        if (c.bytes.empty())
            g.program.context().dir = g.dir / "gone";
        else
            g.write("vorn.ini", c.bytes);
        g.form().click(OKButton);
        ASSERT_EQ(g.messages.shown.size(), 1u);
        EXPECT_EQ(g.messages.shown[0].title, "警告");
        EXPECT_NE(g.messages.shown[0].text.find("vorn.ini"), std::string::npos);
        if (c.bytes.empty())
            EXPECT_FALSE(std::filesystem::exists(g.dir / "gone"));
        else
            EXPECT_EQ(g.read("vorn.ini"), c.bytes);
        EXPECT_FALSE(g.gate().closed());
        EXPECT_FALSE(g.mainOpen());
        EXPECT_FALSE(g.desktop.quitCalled);
    }
}

TEST(Gate, CancelEndsWithoutWritingAndTheCloseBoxIsDead) {
    Gate g;
    EXPECT_FALSE(g.desktop.closeBox(WindowKind::Gate));
    EXPECT_FALSE(g.gate().closed());
    g.form().click(CancelButton);
    EXPECT_TRUE(g.desktop.quitCalled);
    EXPECT_FALSE(g.isOpen(WindowKind::Gate));
    EXPECT_FALSE(g.exists("vorn.ini"));
    EXPECT_FALSE(g.mainOpen());
}

}  // namespace
