// The drive hiding window against a real drives.ini in a program directory of its own.
#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "support/session.h"
#include "support/tab_order.h"

using namespace tessmar;
using forms::WindowKind;
using namespace forms::names::drives;

namespace {

const std::string kDefault = "\"000000000000000\",\"\"\r\n";

struct Drives : test::Session {
    void open() { program.open(WindowKind::Drives); }
    test::FakeView& window() const { return view(WindowKind::Drives); }
    void press(int button) const {
        desktop.form(WindowKind::Drives)->click(Command1[static_cast<std::size_t>(button)]);
    }
    // The letters of the ticked drives.
    std::string ticked() const {
        std::string letters;
        for (std::size_t i = 0; i < Check1.size(); ++i)
            if (window().checked(Check1[i])) letters += static_cast<char>('A' + i);
        return letters;
    }
};

TEST(Drives, FirstOpeningMakesTheDefaultFile) {
    Drives d;
    d.open();
    EXPECT_EQ(d.read("drives.ini"), kDefault);
    EXPECT_EQ(d.ticked(), "");
    EXPECT_TRUE(d.messages.shown.empty());
    const forms::WindowLayout& layout = d.window().layout();
    EXPECT_EQ(layout.caption, " 隐藏硬盘驱动器 <- 设置");
    EXPECT_EQ(forms::pixels(layout.clientWidth), 313);
    EXPECT_EQ(forms::pixels(layout.clientHeight), 185);
    for (std::size_t i = 0; i < Check1.size(); ++i)
        EXPECT_EQ(d.window().text(Label1[i]), kDriveLetters[i]);
}

TEST(Drives, ConfirmWritesSelectionAndMaskThenReopensAsConfirmed) {
    Drives d;
    d.open();
    d.window().tick(Check1[2], true);
    d.window().tick(Check1[3], true);
    d.press(2);
    EXPECT_FALSE(d.isOpen(WindowKind::Drives));
    EXPECT_TRUE(d.messages.shown.empty());
    EXPECT_EQ(d.read("drives.ini"), "\"001100000000000\",\" 12\"\r\n");

    d.open();
    EXPECT_EQ(d.ticked(), "CD");
    d.press(1);
    d.press(2);
    EXPECT_EQ(d.read("drives.ini"), "\"000000000000000\",\" 0\"\r\n");
}

TEST(Drives, SelectAllThenCancelLeavesTheFile) {
    Drives d;
    const std::string stored = "\"100000000000001\",\" 16385\"\r\n";
    d.write("drives.ini", stored);
    d.open();
    EXPECT_EQ(d.ticked(), "AO");
    d.press(0);
    EXPECT_EQ(d.ticked(), "ABCDEFGHIJKLMNO");
    d.press(1);
    EXPECT_EQ(d.ticked(), "");
    d.press(0);
    d.press(3);
    EXPECT_FALSE(d.isOpen(WindowKind::Drives));
    EXPECT_EQ(d.read("drives.ini"), stored);

    d.open();
    EXPECT_EQ(d.ticked(), "AO");
    EXPECT_TRUE(d.desktop.closeBox(WindowKind::Drives));  // the close box: no write either
    EXPECT_EQ(d.read("drives.ini"), stored);
    EXPECT_FALSE(d.program.isOpen(WindowKind::Drives));
}

TEST(Drives, HandEditedFileIsShownByFieldOne) {
    Drives d;
    d.write("drives.ini", "\" 1010x11111111111111\",\" 32767\"\r\n");
    d.open();
    EXPECT_EQ(d.ticked(), "ACFGHIJKLMNO");
}

// Positions count characters: a Chinese character stands for one drive.
TEST(Drives, SelectionCountsCharactersNotBytes) {
    Drives d;
    d.write("drives.ini", platform::toCp936("\"是10000000000001\",\"\"\r\n").value());
    d.open();
    EXPECT_EQ(d.ticked(), "BO");
}

TEST(Drives, OpeningAgainBringsTheSameWindowWithoutReloading) {
    Drives d;
    d.open();
    d.window().tick(Check1[5], true);
    d.open();
    EXPECT_EQ(d.ticked(), "F");
    EXPECT_EQ(d.read("drives.ini"), kDefault);
    EXPECT_EQ(d.desktop.events, (std::vector<std::string>{"show drives", "raise drives"}));
}

TEST(Drives, ReadOnlyFileIsReportedAndKept) {
    Drives d;
    d.write("drives.ini", kDefault);
    d.makeReadOnly("drives.ini");
    d.open();
    d.window().tick(Check1[0], true);
    d.press(2);
    ASSERT_EQ(d.messages.shown.size(), 1u);
    EXPECT_EQ(d.messages.shown[0].title, "系统提示:");
    EXPECT_TRUE(d.isOpen(WindowKind::Drives));
    EXPECT_EQ(d.ticked(), "A");
    EXPECT_EQ(d.read("drives.ini"), kDefault);
}

TEST(Drives, FileThatCannotBeMadeOrReadIsReportedAndTheWindowStaysUsable) {
    {
        Drives d;
        std::filesystem::create_directory(d.dir / "drives.ini");
        d.open();
        EXPECT_EQ(d.messages.shown.size(), 1u);
        EXPECT_EQ(d.ticked(), "");
        d.press(0);
        EXPECT_EQ(d.ticked().size(), 15u);
    }
    Drives d;
    d.write("drives.ini", "\"0011");  // a quote that never closes
    d.open();
    EXPECT_EQ(d.messages.shown.size(), 1u);
    d.window().tick(Check1[1], true);
    d.press(2);
    EXPECT_EQ(d.read("drives.ini"), "\"010000000000000\",\" 2\"\r\n");
    EXPECT_FALSE(d.isOpen(WindowKind::Drives));
}

TEST(Drives, FocusRunsThroughTheDrivesThenTheButtons) {
    Drives d;
    d.open();
    EXPECT_EQ(d.window().focus(), Check1[0]);
    std::vector<std::string> expected;
    for (forms::Id box : Check1) expected.emplace_back(box);
    for (forms::Id button : Command1) expected.emplace_back(button);
    EXPECT_EQ(test::tabOrder(d.window().layout()), expected);
}

}  // namespace
