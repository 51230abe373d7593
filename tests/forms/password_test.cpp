// The password change window.
#include <gtest/gtest.h>

#include "support/session.h"
#include "support/tab_order.h"

using namespace tessmar;
using forms::Key;
using forms::WindowKind;
using namespace forms::names::password;

namespace {

// A record with every kind of field: text, unset, and the unset custom field.
const std::string kRecord = "\"1010000\",\"C:\\WINDOWS\",\"old\",,\"01\",\"\",\r\n";

struct Pwsword : test::Session {
    Pwsword() {
        write("vorn.ini", kRecord);
        program.open(WindowKind::Password);
    }
    test::FakeView& window() const { return view(WindowKind::Password); }
    forms::Form& form() const { return *desktop.form(WindowKind::Password); }
    void confirm(const std::string& first, const std::string& second) {
        window().setText(Text1[0], first);
        window().setText(Text1[1], second);
        form().click(Command1[0]);
    }
};

TEST(PasswordWindow, OpensOnOkWithItsTabOrder) {
    Pwsword p;
    const forms::WindowLayout& layout = p.window().layout();
    EXPECT_EQ(layout.caption, "密码修改");
    EXPECT_EQ(forms::pixels(layout.clientWidth), 233);
    EXPECT_EQ(forms::pixels(layout.clientHeight), 121);
    EXPECT_EQ(p.window().focus(), Command1[0]);
    EXPECT_EQ(test::tabOrder(layout),
              (std::vector<std::string>{"Command1(0)", "Command1(1)", "Text1(0)", "Text1(1)"}));
    p.program.open(WindowKind::Password);
    EXPECT_EQ(p.desktop.events, (std::vector<std::string>{"show pwsword", "raise pwsword"}));
}

// Longer than the gate's 25 characters: stored all the same.
TEST(PasswordWindow, BoxesHaveNoLengthLimit) {
    Pwsword p;
    for (forms::Id box : Text1) {
        p.window().type(box, std::string(40, 'k'));
        EXPECT_TRUE(forms::findControl(p.window().layout(), box)->password);
    }
    p.form().click(Command1[0]);
    EXPECT_EQ(p.read("vorn.ini"),
              "\"1010000\",\"C:\\WINDOWS\",\"" + std::string(40, 'k') + "\",,\"01\",\"\",\"\"\r\n");
}

TEST(PasswordWindow, EmptyBoxesAreRefused) {
    struct Case {
        const char *first, *second;
        forms::Id focused;
    } cases[] = {{"", "", Text1[0]}, {"a", "", Text1[1]}, {"", "a", Text1[0]}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.first + "\", \"" + c.second + "\"");
        Pwsword p;
        p.confirm(c.first, c.second);
        EXPECT_EQ(p.lastMessage(), "系统提示:|口令不为空!");
        EXPECT_EQ(p.messages.shown.size(), 1u);
        EXPECT_EQ(p.window().focus(), c.focused);
        EXPECT_FALSE(p.window().closed());
        EXPECT_EQ(p.read("vorn.ini"), kRecord);
    }
}

TEST(PasswordWindow, DifferentEntriesEmptyTheReentry) {
    Pwsword p;
    p.confirm("Secret", "secret");
    EXPECT_EQ(p.lastMessage(), "系统提示:|口令不一致!");
    EXPECT_EQ(p.window().text(Text1[0]), "Secret");
    EXPECT_EQ(p.window().text(Text1[1]), "");
    EXPECT_EQ(p.window().focus(), Text1[1]);
    EXPECT_EQ(p.read("vorn.ini"), kRecord);
}

TEST(PasswordWindow, StoresTheTrimmedPasswordKeepingTheOtherFields) {
    struct Case {
        const char *first, *second, *stored;
    } cases[] = {
        {"  new pw ", "new pw", "\"new pw\""}, {"  ", " ", "\"\""}, {"a,b", "a,b", "\"a,b\""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        Pwsword p;
        p.confirm(c.first, c.second);
        EXPECT_EQ(p.lastMessage(), "系统提示:|口令修改成功!");
        EXPECT_EQ(p.read("vorn.ini"), "\"1010000\",\"C:\\WINDOWS\"," + std::string(c.stored) +
                                          ",,\"01\",\"\",\"\"\r\n");
        EXPECT_FALSE(p.isOpen(WindowKind::Password));
        EXPECT_FALSE(p.program.isOpen(WindowKind::Password));
    }
}

TEST(PasswordWindow, EnterMovesDownToOk) {
    Pwsword p;
    p.window().focusOn(Text1[0]);
    p.window().type(Text1[0], "pw");
    EXPECT_TRUE(p.form().key(Text1[0], Key::Enter));
    EXPECT_EQ(p.window().focus(), Text1[1]);
    EXPECT_FALSE(p.form().key(Text1[1], Key::Character));
    p.window().type(Text1[1], "pw");
    EXPECT_TRUE(p.form().key(Text1[1], Key::Enter));
    EXPECT_EQ(p.window().focus(), Command1[0]);
    EXPECT_TRUE(p.messages.shown.empty());
    // Enter on the button is the button's own: the front end presses it.
    EXPECT_FALSE(p.form().key(Command1[0], Key::Enter));
    EXPECT_FALSE(p.form().key(Text1[0], Key::Escape));
    EXPECT_TRUE(p.messages.shown.empty());
    p.form().click(Command1[0]);
    EXPECT_EQ(p.lastMessage(), "系统提示:|口令修改成功!");
}

TEST(PasswordWindow, AFileThatCannotTakeThePasswordIsLeftAlone) {
    struct Case {
        const char* name;
        std::string bytes;  // empty: no file
        std::string password;
    } cases[] = {
        {"missing", "", "pw"},
        {"unreadable", "\"1010000\",\"C:\\WINDOWS\",\"old", "pw"},
        {"double quote", kRecord, "p\"w"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Pwsword p;
        std::filesystem::remove(p.dir / "vorn.ini");
        if (!c.bytes.empty()) p.write("vorn.ini", c.bytes);
        p.confirm(c.password, c.password);
        ASSERT_EQ(p.messages.shown.size(), 1u);
        EXPECT_NE(p.messages.shown[0].text, "口令修改成功!");
        EXPECT_EQ(p.messages.shown[0].title, "系统提示:");
        EXPECT_EQ(p.exists("vorn.ini"), !c.bytes.empty());
        if (!c.bytes.empty()) {
            EXPECT_EQ(p.read("vorn.ini"), c.bytes);
        }
        EXPECT_FALSE(p.window().closed());
    }
}

TEST(PasswordWindow, CancelClosesWithoutWritingAndTheNextOpeningStartsEmpty) {
    Pwsword p;
    p.window().setText(Text1[0], "x");
    p.window().setText(Text1[1], "x");
    p.form().click(Command1[1]);
    EXPECT_FALSE(p.isOpen(WindowKind::Password));
    EXPECT_EQ(p.read("vorn.ini"), kRecord);
    EXPECT_TRUE(p.messages.shown.empty());
    p.program.open(WindowKind::Password);
    EXPECT_EQ(p.window().text(Text1[0]), "");
    EXPECT_EQ(p.desktop.events,
              (std::vector<std::string>{"show pwsword", "close pwsword", "show pwsword"}));
}

}  // namespace
