// The export window: exporting the stored choices into a folder, what it tells when it cannot, and
// the standard-users choice, which writes nothing where local Group Policy does not exist.
#include "forms/export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "gpo/export.h"
#include "gpo/localpolicy.h"
#include "platform/files.h"
#include "support/main_window.h"

using namespace tessmar;
using forms::WindowKind;
using platform::Answer;
using platform::Buttons;
namespace names = forms::names::policyExport;
namespace fs = std::filesystem;

namespace {

// What the start-up gate makes on the first start: nothing applied yet.
constexpr const char* kGateSettings = "\"\",\"C:\\WINDOWS\",,,,\"\",\r\n";

fs::path utf8(std::string_view text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

struct ExportWindow : test::MainWindow {
    ExportWindow() {
        write("vorn.ini", kGateSettings);
        makeUserDat({"已有的项目"});
    }
    test::FakeView& open() {
        click(forms::names::main::Export);
        return view(WindowKind::Export);
    }
    void press(forms::Id button) { desktop.form(WindowKind::Export)->click(button); }
    std::vector<std::string> listed() {
        std::vector<std::string> lines;
        for (const auto& row : view(WindowKind::Export).grid(names::Grid1).rows)
            lines.push_back(row.at(0));
        return lines;
    }
    // Every file below the program directory, with its bytes.
    std::map<std::string, std::string> files() const {
        std::map<std::string, std::string> all;
        for (const auto& e : fs::recursive_directory_iterator(dir))
            if (e.is_regular_file())
                all[platform::pathText(e.path())] = platform::readFile(e.path()).value_or("");
        return all;
    }
};

TEST(ExportWindow, ExportsIntoAFreshFolderAndShowsTheReport) {
    ExportWindow w;
    test::FakeView& window = w.open();
    EXPECT_EQ(window.layout().caption, "组策略导出");
    EXPECT_EQ(window.text(names::Folder), platform::pathText(w.dir / utf8("组策略导出")));
    EXPECT_EQ(window.focus(), names::Folder);
    const auto before = w.files();

    const fs::path folder = w.dir / "out" / utf8("新建的文件夹");
    window.setText(names::Folder, "");
    window.type(names::Folder, "  " + platform::pathText(folder) + " ");
    w.press(names::Export);

    EXPECT_EQ(w.lastMessage(), "系统提示:|系统已成功地完成了组策略的导出!");
    for (const fs::path& file : {folder / "User" / "Registry.pol",
                                 folder / "Machine" / "Registry.pol", folder / "tessmar.reg"})
        EXPECT_TRUE(fs::is_regular_file(file)) << file;
    // The list holds the core's report of this very export, and the export changed nothing else.
    auto report = gpo::exportTo(w.dir, w.dir / "again");
    ASSERT_TRUE(report.has_value());
    auto lines = gpo::reportLines(*report);
    for (std::string& line : lines) {
        const std::string again = platform::pathText(w.dir / "again");
        line.replace(line.find(again), again.size(), platform::pathText(folder));
    }
    EXPECT_EQ(w.listed(), lines);
    EXPECT_EQ(window.text(names::Status), "导出的结果：");
    fs::remove_all(w.dir / "again");
    auto after = w.files();
    for (const auto& [path, bytes] : before) {
        EXPECT_EQ(after[path], bytes) << path;
        after.erase(path);
    }
    EXPECT_EQ(after.size(), 3u);
    EXPECT_FALSE(w.exists("registry.reg"));
}

TEST(ExportWindow, TheDefaultAndARelativeFolderLieInTheProgramDirectory) {
    ExportWindow w;
    test::FakeView& window = w.open();
    w.press(names::Export);
    EXPECT_TRUE(fs::is_regular_file(w.dir / utf8("组策略导出") / "tessmar.reg"));

    window.setText(names::Folder, "相对/导出");
    w.press(names::Export);
    EXPECT_TRUE(fs::is_regular_file(w.dir / utf8("相对") / utf8("导出") / "User" / "Registry.pol"));
    EXPECT_EQ(w.desktop.form<forms::ExportForm>(WindowKind::Export).folder(),
              w.dir / utf8("相对") / utf8("导出"));
}

TEST(ExportWindow, LongLinesCarryTheirWholeTextAsTip) {
    ExportWindow w;
    test::FakeView& window = w.open();
    window.setText(names::Folder, platform::pathText(w.dir / std::string(70, 'x')));
    w.press(names::Export);
    const auto& grid = window.grid(names::Grid1);
    ASSERT_GE(grid.rows.size(), 3u);
    for (int row = 0; row < 3; ++row) {
        ASSERT_TRUE(grid.notes.contains({row, 0})) << row;
        EXPECT_EQ(grid.notes.at({row, 0}).tip, grid.rows[static_cast<std::size_t>(row)][0]);
        EXPECT_EQ(grid.notes.at({row, 0}).back, std::nullopt);
    }
    // A short line needs none.
    window.setText(names::Folder, "a");
    w.press(names::Export);
    EXPECT_FALSE(window.grid(names::Grid1).notes.contains({2, 0}))
        << window.cell(names::Grid1, 2, 0);
}

TEST(ExportWindow, AFolderThatCannotBeWrittenIsToldAndNothingIsWritten) {
    ExportWindow w;
    test::FakeView& window = w.open();
    w.press(names::Export);  // a report to be replaced
    w.write("plain", "x");
    const auto before = w.files();
    const fs::path folder = w.dir / "plain" / "gpo";
    window.setText(names::Folder, platform::pathText(folder));
    w.press(names::Export);

    const std::string expected = gpo::exportTo(w.dir, folder).error().message;
    EXPECT_EQ(w.lastMessage(), "系统提示:|系统未能完成导出。\n" + expected);
    EXPECT_NE(expected.find(platform::pathText(w.dir / "plain")), std::string::npos) << expected;
    EXPECT_EQ(w.files(), before);
    EXPECT_TRUE(w.listed().empty());
    EXPECT_EQ(window.text(names::Status), "导出失败");

    // An empty box writes nothing either, and sends the administrator back to it.
    window.setText(names::Folder, "   ");
    window.focusOn(names::Export);
    w.press(names::Export);
    EXPECT_EQ(w.lastMessage(), "系统提示:|请先输入要导出到的文件夹。");
    EXPECT_EQ(window.focus(), names::Folder);
    EXPECT_EQ(w.files(), before);
}

TEST(ExportWindow, DamagedChoicesAreToldAndNothingIsWritten) {
    ExportWindow w;
    test::FakeView& window = w.open();
    const fs::path folder = w.dir / "gpo";
    window.setText(names::Folder, platform::pathText(folder));

    w.write("user.dat", "这不是数据库，只是一些文字。");
    w.press(names::Export);
    EXPECT_NE(w.lastMessage().find("系统未能完成导出。\n"), std::string::npos);
    EXPECT_NE(w.lastMessage().find("user.dat"), std::string::npos) << w.lastMessage();
    EXPECT_FALSE(fs::exists(folder));

    fs::remove(w.dir / "user.dat");
    w.makeUserDat({});
    fs::remove(w.dir / "vorn.ini");
    w.press(names::Export);
    EXPECT_NE(w.lastMessage().find("vorn.ini"), std::string::npos) << w.lastMessage();
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_TRUE(w.listed().empty());
}

TEST(ExportWindow, StandardUsersAreRefusedWhereThereIsNoLocalGroupPolicy) {
    ExportWindow w;
    test::FakeView& window = w.open();
    const auto before = w.files();
    w.press(names::StandardUsers);

    auto refused = gpo::applyToStandardUsers(w.dir);
    ASSERT_FALSE(refused.has_value());
    ASSERT_EQ(w.messages.shown.size(), 2u);
    EXPECT_EQ(w.messages.shown[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(w.messages.shown[0].title, "系统提示:");
    EXPECT_NE(w.messages.shown[0].text.find("确定要"), std::string::npos);
    EXPECT_EQ(w.lastMessage(),
              "系统提示:|系统未能把设置应用到本机的标准用户。\n" + refused.error().message);
    EXPECT_TRUE(w.listed().empty());
    EXPECT_EQ(window.text(names::Status), "未能应用到本机的标准用户");
    EXPECT_EQ(w.files(), before);
    EXPECT_FALSE(w.exists("registry.reg"));
}

TEST(ExportWindow, CancelAtTheConfirmationDoesNothing) {
    ExportWindow w;
    test::FakeView& window = w.open();
    w.press(names::Export);
    const auto report = w.listed();
    const auto before = w.files();
    w.messages.shown.clear();

    w.answer(Answer::Cancel);
    w.press(names::StandardUsers);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(w.listed(), report);
    EXPECT_EQ(window.text(names::Status), "导出的结果：");
    EXPECT_EQ(w.files(), before);
}

TEST(ExportWindow, OneWindowOpenedFromTheMainWindowAndClosedByItsButton) {
    ExportWindow w;
    test::FakeView& window = w.open();
    window.setText(names::Folder, "typed");
    w.click(forms::names::main::Export);
    EXPECT_EQ(&w.view(WindowKind::Export), &window);
    EXPECT_EQ(window.text(names::Folder), "typed");  // raised, not made anew
    EXPECT_EQ(w.desktop.events.back(), "raise gpo");
    w.press(names::Close);
    EXPECT_FALSE(w.isOpen(WindowKind::Export));
    EXPECT_TRUE(w.isOpen(WindowKind::Main));
}

// Every control lies inside its container, and the frame fills the window.
TEST(ExportWindow, TheLayoutStaysInsideTheWindow) {
    const forms::WindowLayout& layout = forms::layoutOf(WindowKind::Export);
    EXPECT_EQ(layout.border, forms::Border::FixedSingle);
    const forms::Control* frame = forms::findControl(layout, names::Frame1);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->place, (forms::TwipsRect{0, 0, layout.clientWidth, layout.clientHeight}));
    std::set<std::string_view> seen;
    for (const forms::Control& c : layout.controls) {
        if (c.parent.empty()) continue;
        EXPECT_EQ(c.parent, names::Frame1) << c.name;
        EXPECT_GE(c.place.left, 0) << c.name;
        EXPECT_GE(c.place.top, 0) << c.name;
        EXPECT_LE(c.place.left + c.place.width, frame->place.width) << c.name;
        EXPECT_LE(c.place.top + c.place.height, frame->place.height) << c.name;
        for (const forms::Control& other : layout.controls) {
            if (&other == &c || other.parent != c.parent || seen.contains(other.name)) continue;
            const auto& a = c.place;
            const auto& b = other.place;
            const bool apart = a.left + a.width <= b.left || b.left + b.width <= a.left ||
                               a.top + a.height <= b.top || b.top + b.height <= a.top;
            EXPECT_TRUE(apart) << c.name << " overlaps " << other.name;
        }
        seen.insert(c.name);
    }
}

}  // namespace
