// The logon notice editor against a real logo.ini in a program directory of its own.
#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "support/session.h"
#include "support/tab_order.h"

using namespace tessmar;
using forms::Key;
using forms::WindowKind;
using namespace forms::names::notice;

namespace {

struct Logo : test::Session {
    void open() { program.open(WindowKind::Notice); }
    test::FakeView& window() const { return view(WindowKind::Notice); }
    forms::Form& form() const { return *desktop.form(WindowKind::Notice); }
    void press(int button) const { form().click(Command1[static_cast<std::size_t>(button)]); }
    // The file as text: code page 936 decoded.
    std::string fileText() const {
        auto text = platform::fromCp936(read("logo.ini"));
        return text ? *text : std::string("<not code page 936>");
    }
};

TEST(Notice, FirstOpeningMakesTheDefaultFile) {
    Logo l;
    l.open();
    EXPECT_EQ(l.read("logo.ini"), ",\"\"\r\n");
    EXPECT_EQ(l.window().text(Text1), "");
    EXPECT_EQ(l.window().text(Text2), "");
    EXPECT_TRUE(l.messages.shown.empty());
    EXPECT_EQ(l.window().layout().caption, "Windows登录提示信息  <- 设置");
    EXPECT_EQ(l.window().focus(), Text1);
}

TEST(Notice, ConfirmStoresTrimmedTextsWithLineBreaksAsCrLf) {
    Logo l;
    l.open();
    l.window().type(Text1, "  注意,请勿  ");
    l.window().type(Text2, " 第一行\nsecond ");
    l.press(0);
    EXPECT_FALSE(l.isOpen(WindowKind::Notice));
    EXPECT_TRUE(l.messages.shown.empty());
    EXPECT_EQ(l.fileText(), "\"注意,请勿\",\"第一行\r\nsecond\"\r\n");

    l.open();
    EXPECT_EQ(l.window().text(Text1), "注意,请勿");
    EXPECT_EQ(l.window().text(Text2), "第一行\nsecond");

    // A view that hands back CR LF, or a lone CR, gets one CR LF per line break all the same.
    l.window().setText(Text1, "T");
    l.window().setText(Text2, "a\r\nb\rc\n\nd");
    l.press(0);
    EXPECT_EQ(l.read("logo.ini"), "\"T\",\"a\r\nb\r\nc\r\n\r\nd\"\r\n");
    l.open();
    EXPECT_EQ(l.window().text(Text2), "a\nb\nc\n\nd");
}

TEST(Notice, CancelAndTheCloseBoxKeepTheFile) {
    Logo l;
    const std::string stored = "\"T\",\"a\r\nb\"\r\n";
    l.write("logo.ini", stored);
    l.open();
    l.window().setText(Text1, "changed");
    l.press(1);
    EXPECT_FALSE(l.isOpen(WindowKind::Notice));
    EXPECT_EQ(l.read("logo.ini"), stored);

    l.open();
    EXPECT_EQ(l.window().text(Text1), "T");
    EXPECT_EQ(l.window().text(Text2), "a\nb");
    l.window().setText(Text2, "changed");
    EXPECT_TRUE(l.desktop.closeBox(WindowKind::Notice));
    EXPECT_EQ(l.read("logo.ini"), stored);
}

// Enter starts a new line in the boxes and Escape does nothing: neither reaches a button.
TEST(Notice, EnterAndEscapeNeverPressAButton) {
    Logo l;
    l.open();
    for (forms::Id control : {Text1, Text2, Command1[0], Command1[1]})
        for (Key key : {Key::Enter, Key::Escape, Key::Character})
            EXPECT_FALSE(l.form().key(control, key)) << control;
    EXPECT_FALSE(l.window().closed());
    EXPECT_EQ(l.read("logo.ini"), ",\"\"\r\n");
}

TEST(Notice, TextTheFileCannotHoldIsRefusedAndKept) {
    struct Case {
        const char *name, *title, *text;
    } cases[] = {
        {"quote in title", "say \"hi\"", ""},
        {"quote in text", "", "a\"b"},
        {"outside code page 936", "ok", "😀"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Logo l;
        const std::string stored = "\"old\",\"notice\"\r\n";
        l.write("logo.ini", stored);
        l.open();
        l.window().setText(Text1, c.title);
        l.window().setText(Text2, c.text);
        l.press(0);
        ASSERT_EQ(l.messages.shown.size(), 1u);
        EXPECT_EQ(l.messages.shown[0].title, "系统提示:");
        EXPECT_TRUE(l.isOpen(WindowKind::Notice));
        EXPECT_EQ(l.window().text(Text1), c.title);
        EXPECT_EQ(l.window().text(Text2), c.text);
        EXPECT_EQ(l.read("logo.ini"), stored);
    }
}

TEST(Notice, FileThatCannotBeWrittenOrReadIsReported) {
    {
        Logo l;
        l.write("logo.ini", ",\"\"\r\n");
        l.makeReadOnly("logo.ini");
        l.open();
        l.window().setText(Text1, "x");
        l.press(0);
        EXPECT_EQ(l.messages.shown.size(), 1u);
        EXPECT_TRUE(l.isOpen(WindowKind::Notice));
        EXPECT_EQ(l.window().text(Text1), "x");
        EXPECT_EQ(l.read("logo.ini"), ",\"\"\r\n");
    }
    Logo l;
    std::filesystem::create_directory(l.dir / "logo.ini");
    l.open();
    EXPECT_EQ(l.messages.shown.size(), 1u);
    EXPECT_EQ(l.messages.shown[0].title, "系统提示:");
    EXPECT_EQ(l.window().text(Text1), "");
}

TEST(Notice, FocusRunsFromTitleToTextToTheButtons) {
    Logo l;
    l.open();
    EXPECT_EQ(test::tabOrder(l.window().layout()),
              (std::vector<std::string>{"Text1", "Text2", "Command1(0)", "Command1(1)"}));
    EXPECT_TRUE(forms::findControl(l.window().layout(), Text1)->multiLine);
    EXPECT_TRUE(forms::findControl(l.window().layout(), Text2)->multiLine);
}

}  // namespace
