// Tessmar's own windows under Wine, worked with the mouse and the keyboard: the gate, the main
// window's views, applying a built-in category, the drive and notice windows, a custom entry and
// the password change, each read back from the files and from Wine's registry.
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "check.h"
#include "driver.h"
#include "engine/catalogue.h"
#include "forms/layout.h"
#include "scenarios.h"
#include "support.h"

using namespace tessmar;
using namespace tessmar::guitest;
using namespace std::chrono_literals;
namespace fs = std::filesystem;
using forms::WindowKind;

namespace {

// The program's folder, given on the command line; the stories skip themselves without it.
std::optional<fs::path> programFolder() {
    const auto& args = winetest::arguments();
    if (args.empty() || !fs::exists(fs::path(args[0]) / "tessmar.exe")) {
        std::printf("no tessmar.exe in the folder given: the program's stories are skipped\n");
        return std::nullopt;
    }
    return fs::path(args[0]);
}

// The next message box must have this title and text; it is answered with button.
bool expectBox(Tessmar& t, std::string_view title, std::string_view text, int button = IDOK) {
    auto box = waitMessageBox(t.id());
    bool ok = CHECK(box.has_value());
    if (!box) return false;
    ok = CHECK_EQ(box->title, std::string(title)) && ok;
    ok = CHECK_EQ(box->text, std::string(text)) && ok;
    ok = CHECK(answer(*box, button)) && ok;
    waitGone(t.id(), L"#32770", 3s);
    return ok;
}

std::vector<std::uint8_t> dword(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

// Every value the catalogue lists for category 1 in the chosen or the not-chosen state, as Wine's
// registry now holds it; mask and notice stand for the drive and notice windows' data.
int registryDifferences(int index, bool chosen, std::uint32_t mask, const std::string& title,
                        const std::string& text) {
    int differences = 0;
    for (const auto& item : engine::builtinCategory(index).items) {
        for (const auto& e : chosen ? item.chosen : item.notChosen) {
            auto got = winetest::readValue(winetest::hkeyOf(e.root), winetest::cp936(e.key),
                                           winetest::cp936(e.name));
            bool ok = got.has_value();
            if (got) {
                switch (e.kind) {
                    case engine::EffectKind::Dword:
                        ok = got->data ==
                             dword(static_cast<std::uint32_t>(
                                 static_cast<std::int32_t>(static_cast<std::int16_t>(e.value))));
                        break;
                    case engine::EffectKind::Binary:
                        ok = got->data ==
                             dword(e.datum == engine::Datum::DriveMask ? mask : e.value);
                        break;
                    case engine::EffectKind::String: {
                        std::string expected;
                        if (e.datum == engine::Datum::NoticeTitle)
                            expected = winetest::cp936(title);
                        if (e.datum == engine::Datum::NoticeText) expected = winetest::cp936(text);
                        auto stored = winetest::bytesOf(expected, true);
                        ok = got->data == stored || got->data == winetest::bytesOf(expected);
                        break;
                    }
                }
            }
            if (!ok) {
                ++differences;
                CHECK_EQ(winetest::describe(got), std::string("the catalogue's value of ") +
                                                      std::string(e.key) + "\\" +
                                                      std::string(e.name));
            }
        }
    }
    return differences;
}

// The program answers input in its own time: a condition is given a moment to come true.
template <class F>
bool eventually(F condition, std::chrono::milliseconds timeout = 3s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        settle(50ms);
    }
    return true;
}

std::string fileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

WINE_TEST(GateOnAFirstStartCreatesTheFileAcceptsTheEmptyPasswordAndRefusesAWrongOne) {
    auto folder = programFolder();
    if (!folder) return;
    Tessmar t(*folder);
    REQUIRE(t.start());
    HWND gate = t.window(WindowKind::Gate);
    REQUIRE(gate != nullptr);
    CHECK_EQ(windowText(gate), std::string(forms::layoutOf(WindowKind::Gate).caption));
    CHECK(!fs::exists(t.copy().dir() / "vorn.ini"));
    // The focus starts in the password box.
    CHECK(focused(gate) == t.control(WindowKind::Gate, "Text2"));
    type(gate, "abc");
    t.press(WindowKind::Gate, "OKButton");
    expectBox(t, "警告", "密码有误，确定重输！");
    CHECK(fs::exists(t.copy().dir() / "vorn.ini"));
    CHECK_EQ(windowText(t.control(WindowKind::Gate, "Text2")), std::string());
    CHECK(t.window(WindowKind::Main, 300ms) == nullptr);
    // The box takes 25 characters at most; Enter in it moves the focus to 确定 and verifies
    // nothing.
    HWND box = t.control(WindowKind::Gate, "Text2");
    t.typeInto(WindowKind::Gate, "Text2", "一二三四五六七八九十一二三四五六七八九十abcdefghij");
    CHECK_EQ(windowText(box), std::string("一二三四五六七八九十一二三四五六七八九十abcde"));
    key(gate, VK_RETURN);
    CHECK(focused(gate) == t.control(WindowKind::Gate, "OKButton"));
    CHECK(waitMessageBox(t.id(), 300ms) == std::nullopt);
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    // Esc verifies, like 确定: an empty box passes.
    bringForward(gate);
    key(gate, VK_ESCAPE);
    CHECK(t.window(WindowKind::Main) != nullptr);
    CHECK(t.gone(WindowKind::Gate));
}

WINE_TEST(MainWindowOpensIdleShowsAChecklistAndGoesBack) {
    auto folder = programFolder();
    if (!folder) return;
    Tessmar t(*folder);
    REQUIRE(t.start());
    REQUIRE(t.enter(""));
    for (const char* hidden : {"Grid1", "Command3(0)", "Command3(1)", "Command5", "Command6"})
        CHECK(!t.visible(WindowKind::Main, hidden));
    CHECK(t.visible(WindowKind::Main, "Label3"));
    t.press(WindowKind::Main, "Command2(1)");
    for (const char* shown : {"Grid1", "Command3(0)", "Command3(1)", "Command5", "Command6"})
        CHECK(t.visible(WindowKind::Main, shown));
    CHECK(!t.visible(WindowKind::Main, "Label3"));
    t.press(WindowKind::Main, "Command6");
    CHECK(eventually([&] { return !t.visible(WindowKind::Main, "Grid1"); }));
    CHECK(t.visible(WindowKind::Main, "Label3"));
    // The close button ends the program when no other window is open.
    t.press(WindowKind::Main, "Command1(1)");
    CHECK(t.gone(WindowKind::Main));
    CHECK(t.process().wait(5s).has_value());
}

WINE_TEST(DesktopCategoryAppliedWithAllThenNoneAndTheSideWindowsData) {
    auto folder = programFolder();
    if (!folder) return;
    Tessmar t(*folder);
    REQUIRE(t.start());
    REQUIRE(t.enter(""));
    t.press(WindowKind::Main, "Command2(1)");

    // Drive hiding: C and D, confirmed.
    t.pressRow(2, true);
    REQUIRE(t.window(WindowKind::Drives) != nullptr);
    t.press(WindowKind::Drives, "Check1(2)");
    t.press(WindowKind::Drives, "Check1(3)");
    t.press(WindowKind::Drives, "Command1(2)");
    CHECK(t.gone(WindowKind::Drives));
    CHECK_EQ(fileText(t.copy().dir() / "drives.ini").substr(0, 23),
             std::string("\"001100000000000\",\" 12\""));

    // Logon notice: a title typed with blanks around it, confirmed.
    t.pressRow(3, true);
    REQUIRE(t.window(WindowKind::Notice) != nullptr);
    t.typeInto(WindowKind::Notice, "Text1", "  注意  ");
    t.typeInto(WindowKind::Notice, "Text2", "仅限授权用户");
    t.press(WindowKind::Notice, "Command1(0)");
    CHECK(t.gone(WindowKind::Notice));

    t.press(WindowKind::Main, "Command3(0)");
    t.press(WindowKind::Main, "Command5");
    expectBox(t, "系统提示:", engine::completionMessage(1));
    CHECK_EQ(registryDifferences(1, true, 12, "注意", "仅限授权用户"), 0);
    CHECK(eventually([&] { return !t.visible(WindowKind::Main, "Grid1"); }));

    t.press(WindowKind::Main, "Command2(1)");
    t.press(WindowKind::Main, "Command3(1)");
    t.press(WindowKind::Main, "Command5");
    expectBox(t, "系统提示:", engine::completionMessage(1));
    CHECK_EQ(registryDifferences(1, false, 12, "注意", "仅限授权用户"), 0);
}

WINE_TEST(CustomEntryAddedInTheEditorIsApplied) {
    auto folder = programFolder();
    if (!folder) return;
    Tessmar t(*folder);
    REQUIRE(t.start());
    REQUIRE(t.enter(""));
    t.press(WindowKind::Main, "Command2(4)", true);
    REQUIRE(t.window(WindowKind::Editor) != nullptr);
    t.press(WindowKind::Editor, "Command2(0)");
    // 添加 fills in HKEY_CURRENT_USER and the DWORD type.
    t.typeInto(WindowKind::Editor, "Text1(3)", "界面测试项");
    t.typeInto(WindowKind::Editor, "Text1(0)", "Software\\TessmarGuiTest");
    t.typeInto(WindowKind::Editor, "Text1(1)", "Probe");
    t.typeInto(WindowKind::Editor, "Text1(2)", "7");
    t.press(WindowKind::Editor, "Command3");
    expectBox(t, "系统提示", "增加的内容要存盘(请确保输入的信息正确无误)吗？", IDOK);
    t.close(WindowKind::Editor);

    t.press(WindowKind::Main, "Command2(4)");
    t.press(WindowKind::Main, "Command3(0)");
    t.press(WindowKind::Main, "Command5");
    expectBox(t, "系统提示:", engine::completionMessage(4));
    auto got = winetest::readValue(HKEY_CURRENT_USER, "Software\\TessmarGuiTest", "Probe");
    REQUIRE(got.has_value());
    CHECK(got->type == platform::RegType::Dword);
    CHECK(got->data == dword(7));
}

WINE_TEST(ChangedPasswordIsRequiredAtTheNextStart) {
    auto folder = programFolder();
    if (!folder) return;
    Tessmar t(*folder);
    REQUIRE(t.start());
    REQUIRE(t.enter(""));
    t.press(WindowKind::Main, "Command4(3)");
    REQUIRE(t.window(WindowKind::Password) != nullptr);
    t.typeInto(WindowKind::Password, "Text1(0)", "Mi码1");
    t.typeInto(WindowKind::Password, "Text1(1)", " Mi码1 ");
    t.press(WindowKind::Password, "Command1(0)");
    expectBox(t, "系统提示:", "口令修改成功!");
    CHECK(t.gone(WindowKind::Password));
    t.press(WindowKind::Main, "Command1(1)");
    CHECK(t.gone(WindowKind::Main));
    REQUIRE(t.process().wait(5s).has_value());

    // The next start: the empty password no longer passes, the new one (trimmed) does.
    Process again;
    REQUIRE(again.start(t.copy().exe()));
    HWND gate = waitWindow(again.id(), classOf(WindowKind::Gate));
    REQUIRE(gate != nullptr);
    HWND ok =
        guitest::control(gate, forms::controlId(forms::layoutOf(WindowKind::Gate), "OKButton"));
    HWND box = guitest::control(gate, forms::controlId(forms::layoutOf(WindowKind::Gate), "Text2"));
    bringForward(gate);
    press(ok);
    auto refused = waitMessageBox(again.id());
    REQUIRE(refused.has_value());
    CHECK_EQ(refused->text, std::string("密码有误，确定重输！"));
    answer(*refused, IDOK);
    waitGone(again.id(), L"#32770", 3s);
    // The refused entry is gone and the box has the focus again.
    CHECK(eventually([&] { return focused(gate) == box; }));
    CHECK_EQ(windowText(box), std::string());
    type(gate, "Mi码1");
    press(ok);
    CHECK(waitWindow(again.id(), classOf(WindowKind::Main)) != nullptr);
}

WINE_TEST(ALaterStartBringsTheRunningCopyForwardAndEndsWhileTheCommandLinesRunBeside) {
    auto folder = programFolder();
    if (!folder) return;
    Tessmar t(*folder), beside(*folder);
    REQUIRE(t.start());
    for (WindowKind shown : {WindowKind::Gate, WindowKind::Main}) {
        HWND window = t.window(shown);
        REQUIRE(window != nullptr);
        // The gate minimised; the main window covered by the gate of a copy in another folder.
        if (shown == WindowKind::Gate) PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        if (shown == WindowKind::Main) REQUIRE(beside.start() && beside.window(WindowKind::Gate));
        CHECK(eventually([&] {
            return GetForegroundWindow() != window &&
                   IsIconic(window) == (shown == WindowKind::Gate);
        }));
        Process later;
        REQUIRE(later.start(t.copy().exe()));
        CHECK(later.wait(5s) == std::optional<DWORD>(0));
        CHECK(eventually([&] {
            RECT r{};
            GetWindowRect(window, &r);
            const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            return !IsIconic(window) && GetForegroundWindow() == window &&
                   GetAncestor(WindowFromPoint(centre), GA_ROOT) == window;
        }));
        int windows = 0;
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, classOf(shown).c_str(), nullptr));)
            windows += IsWindowVisible(w);
        CHECK_EQ(windows, 1);
        if (shown == WindowKind::Gate) REQUIRE(t.enter(""));
    }
    const fs::path out = t.copy().dir() / "export";
    for (const std::wstring& line :
         {L"--export \"" + out.wstring() + L"\"", std::wstring(L"--apply 0")}) {
        Process command;
        REQUIRE(command.start(t.copy().exe(), line));
        CHECK(command.wait(30s) == std::optional<DWORD>(0));
    }
    CHECK(fs::exists(out / "tessmar.reg"));
    CHECK(t.process().running());
}
