// The six windows of the program, made by the desktop from their tables and driven by their real
// forms through the same messages a person's keys and mouse would send.
#include <windows.h>

#include <filesystem>

#include "check.h"
#include "forms/program.h"
#include "platform/registry.h"
#include "support.h"
#include "win32/desktop.h"
#include "win32/text.h"

namespace tessmar::win32::test {
namespace {

using forms::WindowKind;

struct Boxes : platform::MessageBoxes {
    std::vector<std::string> shown;  // "title|text"
    platform::Answer show(const std::string& text, const std::string& title,
                          platform::Buttons) override {
        shown.push_back(title + "|" + text);
        return platform::Answer::Ok;
    }
};

struct Shell : platform::Shell {
    bool openMaximised(const std::filesystem::path&) override { return true; }
};

std::filesystem::path freshFolder() {
    static int count = 0;
    const auto dir =
        std::filesystem::temp_directory_path() /
        ("tessmar-ui-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// The program in a folder of its own, as wWinMain sets it up.
struct App {
    std::filesystem::path dir = freshFolder();
    std::unique_ptr<platform::Registry> registry = platform::makeSystemRegistry();
    Boxes boxes;
    Shell shell;
    Desktop desktop;
    forms::Program program{forms::Context{dir, *registry, boxes, shell}, desktop};
    bool quit = false;

    App() { desktop.setProgram(program); }
    ~App() {
        desktop.closeAll();
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    void run() {
        // What the test did outside the loop settles first: it may post more.
        desktop.settle();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                quit = true;
            else
                desktop.dispatch(msg);
        }
    }
    // A message as if the system had queued it for that control.
    void send(HWND target, UINT id, WPARAM wParam = 0) {
        MSG msg = message(target, id, wParam);
        desktop.dispatch(msg);
        run();
    }
    void type(HWND target, std::wstring_view text) {
        for (wchar_t ch : text) send(target, WM_CHAR, ch);
    }
    // The character follows from the key (TranslateMessage) unless the key was used up.
    void enter(HWND target) { send(target, WM_KEYDOWN, VK_RETURN); }
    HWND find(WindowKind kind) const {
        return FindWindowW(wide(forms::layoutOf(kind).name).c_str(), nullptr);
    }
    HWND control(WindowKind kind, std::string_view name) const {
        return GetDlgItem(find(kind), forms::controlId(forms::layoutOf(kind), name));
    }
    FormWindow& view(WindowKind kind) const { return *desktop.window(kind); }
};

int windowsOfClass(std::wstring_view name) {
    struct Count {
        std::wstring name;
        int found = 0;
    } count{std::wstring(name)};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* c = reinterpret_cast<Count*>(data);
            wchar_t cls[64] = {};
            GetClassNameW(window, cls, 64);
            if (c->name == cls && IsWindowVisible(window)) ++c->found;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.found;
}

}  // namespace

WINE_TEST(everyWindowOpensOnceFromItsTableAndAgainAfterClosing) {
    App app;
    for (WindowKind kind : forms::kAllWindows) {
        const forms::WindowLayout& layout = forms::layoutOf(kind);
        for (int round = 0; round < 2; ++round) {
            app.program.open(kind);
            app.run();
            HWND window = app.find(kind);
            REQUIRE(window != nullptr);
            CHECK(IsWindowVisible(window));
            CHECK_EQ(windowText(window), std::string(layout.caption));
            RECT client{};
            GetClientRect(window, &client);
            CHECK_EQ(static_cast<int>(client.right), dpiOf(window).twips(layout.clientWidth));
            CHECK_EQ(static_cast<int>(client.bottom), dpiOf(window).twips(layout.clientHeight));
            for (const auto& control : layout.controls)
                CHECK(GetDlgItem(window, forms::controlId(layout, control.name)) != nullptr);
            // Opening it again brings the open one forward.
            app.program.open(kind);
            app.run();
            CHECK_EQ(windowsOfClass(wide(layout.name)), 1);
            CHECK(app.find(kind) == window);
            app.view(kind).close();
            app.run();
            CHECK(!app.program.isOpen(kind));
            CHECK(app.find(kind) == nullptr);
        }
    }
}

WINE_TEST(theGateTakesEnterAndEscAsItsFormSaysAndOpensTheMainWindow) {
    App app;
    app.program.open(WindowKind::Gate);
    app.run();
    HWND gate = app.find(WindowKind::Gate);
    REQUIRE(gate != nullptr);
    // No Close command, so no close box; kept out of the task bar by an owner never shown.
    CHECK(GetMenuState(GetSystemMenu(gate, FALSE), SC_CLOSE, MF_BYCOMMAND) ==
          static_cast<UINT>(-1));
    HWND owner = GetWindow(gate, GW_OWNER);
    CHECK(owner != nullptr && !IsWindowVisible(owner));
    CHECK(!(GetWindowLongW(gate, GWL_EXSTYLE) & WS_EX_APPWINDOW));
    HWND box = app.control(WindowKind::Gate, "Text2");
    CHECK(GetFocus() == box);
    CHECK_EQ(static_cast<int>(SendMessageW(box, EM_GETLIMITTEXT, 0, 0)), 25);
    // The activation handed to the hidden owner (as when a message box closes) comes back to
    // the gate's box, where typed keys are expected.
    SetFocus(nullptr);
    SendMessageW(owner, WM_ACTIVATE, WA_ACTIVE, 0);
    app.run();
    CHECK(GetFocus() == box);

    // A wrong password, verified by Esc: refused, the box emptied.
    app.type(box, L"abc");
    CHECK_EQ(windowText(box), std::string("abc"));
    app.send(box, WM_KEYDOWN, VK_ESCAPE);
    REQUIRE(app.boxes.shown.size() == 1u);
    CHECK_EQ(app.boxes.shown[0], std::string("警告|密码有误，确定重输！"));
    CHECK_EQ(windowText(box), std::string());
    CHECK(app.find(WindowKind::Gate) == gate);

    // Enter in the box moves to 确定; Enter there presses it: the empty first password opens.
    app.enter(box);
    CHECK(GetFocus() == app.control(WindowKind::Gate, "OKButton"));
    app.enter(GetFocus());
    CHECK(app.find(WindowKind::Gate) == nullptr);
    HWND main = app.find(WindowKind::Main);
    REQUIRE(main != nullptr);
    CHECK(IsWindowVisible(main));
    CHECK(!app.quit);
    CHECK(std::filesystem::exists(app.dir / "vorn.ini"));
}

WINE_TEST(theMainWindowHasNoTitleBarAndStandsCentred) {
    App app;
    app.program.open(WindowKind::Main);
    app.run();
    HWND main = app.find(WindowKind::Main);
    REQUIRE(main != nullptr);
    const LONG style = GetWindowLongW(main, GWL_STYLE);
    CHECK(style & WS_POPUP);
    CHECK(style & WS_BORDER);
    CHECK((style & WS_CAPTION) != WS_CAPTION);
    CHECK(!(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX)));
    RECT outer{};
    GetWindowRect(main, &outer);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(main, MONITOR_DEFAULTTOPRIMARY), &info);
    const forms::Point expected = forms::centred(
        info.rcWork.left, info.rcWork.top, info.rcWork.right - info.rcWork.left,
        info.rcWork.bottom - info.rcWork.top, outer.right - outer.left, outer.bottom - outer.top);
    CHECK_EQ(static_cast<int>(outer.left), expected.x);
    CHECK_EQ(static_cast<int>(outer.top), expected.y);
}

WINE_TEST(enterInTheNoticeBoxesStartsANewLineAndNoButtonThereTakesEnterOrEsc) {
    App app;
    app.program.open(WindowKind::Notice);
    app.run();
    HWND title = app.control(WindowKind::Notice, "Text1");
    REQUIRE(title != nullptr);
    SetFocus(title);
    app.type(title, L"第一");
    app.enter(title);
    app.type(title, L"第二");
    CHECK_EQ(windowText(title), std::string("第一\r\n第二"));
    CHECK(app.find(WindowKind::Notice) != nullptr);
    // A focused confirm button of the notice or the drive window stays unpressed: pressed, it
    // would save and close its window.
    for (const auto& [kind, confirm] : {std::pair{WindowKind::Notice, "Command1(0)"},
                                        std::pair{WindowKind::Drives, "Command1(2)"}}) {
        app.program.open(kind);
        app.run();
        HWND button = app.control(kind, confirm);
        REQUIRE(button != nullptr);
        SetFocus(button);
        app.enter(button);
        app.send(button, WM_KEYDOWN, VK_ESCAPE);
        CHECK(app.find(kind) != nullptr);
        CHECK(GetFocus() == button);
    }
}

WINE_TEST(theTypeBoxOfTheEditorHandsItsCharactersToTheForm) {
    App app;
    app.program.open(WindowKind::Editor);
    app.run();
    HWND add = app.control(WindowKind::Editor, "Command2(0)");
    REQUIRE(add != nullptr);
    SendMessageW(add, BM_CLICK, 0, 0);
    app.run();
    FormWindow& view = app.view(WindowKind::Editor);
    view.setText("Combo2", "删除子项(U)");
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(app.control(WindowKind::Editor, "Combo2"), &info);
    REQUIRE(info.hwndItem != nullptr);
    app.send(info.hwndItem, WM_CHAR, L'x');
    CHECK_EQ(view.text("Text1(2)"), std::string("删除子项(U)"));
}

WINE_TEST(enterWalksThePasswordBoxesAndPressesConfirm) {
    App app;
    app.program.open(WindowKind::Password);
    app.run();
    HWND first = app.control(WindowKind::Password, "Text1(0)");
    HWND second = app.control(WindowKind::Password, "Text1(1)");
    REQUIRE(first != nullptr);
    SetFocus(first);
    app.enter(first);
    CHECK(GetFocus() == second);
    app.enter(second);
    CHECK(GetFocus() == app.control(WindowKind::Password, "Command1(0)"));
    app.enter(GetFocus());
    REQUIRE(app.boxes.shown.size() == 1u);
    CHECK_EQ(app.boxes.shown[0], std::string("系统提示:|口令不为空!"));
}

}  // namespace tessmar::win32::test
