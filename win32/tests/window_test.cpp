// The six windows of the program, made by the desktop from their tables and driven by their real
// forms through the same messages a person's keys and mouse would send.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "check.h"
#include "forms/names.h"
#include "forms/program.h"
#include "platform/registry.h"
#include "support.h"
#include "win32/art.h"
#include "win32/desktop.h"
#include "win32/fonts.h"
#include "win32/grid.h"
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

// The system's dpi, which Wine gives every window: run-ui-tests.sh sets it (--dpi N).
int systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The control's place in the window's client area: its twips summed over its containers, rounded.
std::string tablePlace(const forms::WindowLayout& layout, const forms::Control& c, int dpi) {
    int left = c.place.left, top = c.place.top;
    for (auto* p = forms::findControl(layout, c.parent); p;
         p = forms::findControl(layout, p->parent))
        left += p->place.left, top += p->place.top;
    return std::string(c.name) + " " + std::to_string(forms::pixels(left, dpi)) + "," +
           std::to_string(forms::pixels(top, dpi)) + " " +
           std::to_string(std::max(1, forms::pixels(c.place.width, dpi))) + "x" +
           std::to_string(std::max(1, forms::pixels(c.place.height, dpi)));
}

std::string placeOf(HWND window, HWND control, std::string_view name, bool comboBox) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    // A drop-down combo box's field is as high as its font makes it.
    return std::string(name) + " " + std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) +
           (comboBox ? "" : "x" + std::to_string(r.bottom - r.top));
}

// The rows that the characters' ink takes in a line of the selected font, from the line's top.
std::pair<int, int> inkOf(HDC dc, const std::wstring& text, const TEXTMETRICW& m) {
    int top = m.tmHeight, bottom = 0;
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    for (wchar_t ch : text) {
        GLYPHMETRICS g{};
        if (ch != L' ' &&
            GetGlyphOutlineW(dc, ch, GGO_METRICS, &g, 0, nullptr, &identity) != GDI_ERROR)
            top = std::min<int>(top, m.tmAscent - g.gmptGlyphOrigin.y),
            bottom = std::max<int>(bottom, m.tmAscent - g.gmptGlyphOrigin.y + g.gmBlackBoxY);
    }
    return {std::min(top, bottom), bottom};
}

// What of the control's text does not show in it at its font, which must be the table's at that
// dpi; empty when all of it shows. A line the system draws needs its characters' ink (give or take
// the pixel a black box is rounded by); lines the program draws itself need their em heights.
std::string cutText(HWND h, const forms::Control& c, Dpi dpi) {
    using forms::Kind;
    HFONT used = c.kind == Kind::Grid ? font(c.font, dpi)
                                      : reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0));
    LOGFONTW made{};
    if (!used || !GetObjectW(used, sizeof made, &made)) return {};
    if (made.lfHeight != -std::lround(c.font.points * dpi.value() / 72.0))
        return " has a font of " + std::to_string(-made.lfHeight) + " pixels";
    const bool ownDrawn = c.kind == Kind::PictureButton || (c.kind == Kind::Button && c.graphical);
    std::wstring text = wide(windowText(h));
    RECT room{};
    GetClientRect(h, &room);
    if (c.kind == Kind::Button || c.kind == Kind::PictureButton) {
        InflateRect(&room, -dpi.scale(2), -dpi.scale(2));
        if (c.kind == Kind::PictureButton) room.left += room.bottom - room.top;
    } else if (c.kind == Kind::ComboBox) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(h, &info);
        room = info.rcItem;
    }
    if (c.kind == Kind::Grid) room.bottom = room.top + Grid::of(h)->rowHeight();
    // Boxes, lists and grids: a line of what they may hold.
    if (c.kind == Kind::TextBox || c.kind == Kind::ComboBox || c.kind == Kind::Grid)
        text += L"国A1";
    if (text.empty()) return {};
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, used);
    TEXTMETRICW m{};
    GetTextMetricsW(dc, &m);
    const int width = room.right - room.left, height = room.bottom - room.top;
    const int em = m.tmHeight - m.tmInternalLeading;
    RECT need{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need,
              DT_CALCRECT | DT_NOPREFIX | (c.wrap || ownDrawn ? DT_WORDBREAK : DT_SINGLELINE));
    const auto [inkTop, inkBottom] = inkOf(dc, text, m);
    // Where the system centres a line: a push button, a label with SS_CENTERIMAGE.
    const bool centred = (c.kind == Kind::Button && !c.graphical) ||
                         (c.kind == Kind::Label && (GetWindowLongW(h, GWL_STYLE) & SS_CENTERIMAGE));
    const int shift = centred ? (height - static_cast<int>(m.tmHeight)) / 2 : 0;
    int bottom = need.bottom - m.tmHeight + inkBottom + shift;
    if (ownDrawn) bottom = need.bottom / m.tmHeight * em;
    if (c.vertical) {
        need.right = 0;
        for (wchar_t one : text) {
            SIZE size{};
            GetTextExtentPoint32W(dc, &one, 1, &size);
            need.right = std::max<LONG>(need.right, size.cx);
        }
        bottom = static_cast<int>(text.size()) * em;
    }
    bool fits = need.right <= width && bottom <= height + 1 && (ownDrawn || inkTop + shift >= -1);
    // A combo box's list shows its items whole.
    for (std::string_view item : c.items) {
        SIZE size{};
        const std::wstring w = wide(item);
        GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
        fits = fits && size.cx <= SendMessageW(h, CB_GETDROPPEDWIDTH, 0, 0) - dpi.scale(4);
    }
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    return fits ? std::string() : " cuts \"" + utf8(text) + "\"";
}

}  // namespace

// At the system's dpi, which run-ui-tests.sh makes 96, 144 and 192: the window's client area and
// every control's place are the table's twips at that dpi, and every text shows whole.
WINE_TEST(everyWindowOpensOnceFromItsTableAtTheDpiAndAgainAfterClosing) {
    const int dpi = systemDpi();
    if (winetest::arguments().size() == 2) REQUIRE(std::to_string(dpi) == winetest::arguments()[1]);
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
            CHECK_EQ(dpiOf(window).value(), dpi);
            RECT client{};
            GetClientRect(window, &client);
            CHECK_EQ(static_cast<int>(client.right), forms::pixels(layout.clientWidth, dpi));
            CHECK_EQ(static_cast<int>(client.bottom), forms::pixels(layout.clientHeight, dpi));
            for (const auto& c : layout.controls) {
                HWND h = GetDlgItem(window, forms::controlId(layout, c.name));
                REQUIRE(h != nullptr);
                const bool combo = c.kind == forms::Kind::ComboBox;
                CHECK_EQ(placeOf(window, h, c.name, combo),
                         tablePlace(layout, c, dpi)
                             .substr(0, combo ? tablePlace(layout, c, dpi).rfind('x')
                                              : std::string::npos));
                CHECK_EQ(std::string(c.name) + cutText(h, c, Dpi(dpi)), std::string(c.name));
            }
            // Every text that the pointer brings up in the main window's description line.
            for (const auto& c : kind == WindowKind::Main && round == 0
                                     ? layout.controls
                                     : std::vector<forms::Control>{}) {
                const auto line = forms::names::main::Description;
                app.view(kind).form()->mouseMove(c.name);
                CHECK_EQ(std::string(line) + cutText(app.control(kind, line),
                                                     *forms::findControl(layout, line), Dpi(dpi)),
                         std::string(line));
            }
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

WINE_TEST(theBackgroundIsItsTwiceSizeRenderingAsRenderedAt200PercentAndHalvedFromItBelow) {
    App app;
    app.program.open(WindowKind::Main);
    app.run();
    HWND main = app.find(WindowKind::Main);
    REQUIRE(main != nullptr);
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT size{}, client{};
    HWND back = app.control(WindowKind::Main, forms::names::main::Background);
    GetClientRect(back, &size);
    GetClientRect(main, &client);
    const art::Pixels& render = art::picture("background");
    // At 200 % the picture is its rendering's size, to a pixel of rounding.
    const bool asRendered = std::abs(size.right - render.width) <= 1;
    CHECK_EQ(asRendered, systemDpi() == 2 * Dpi::kStandard);
    const art::Pixels shown = asRendered ? render : art::resample(render, size.right, size.bottom);
    // Above the icon, the close button and the rest, the picture (opaque there) shows alone.
    HDC dc = GetDC(back);
    int different = 0;
    for (int y = 0; y < forms::pixels(100, systemDpi()); ++y)
        for (int x = 0; x < client.right; ++x) {
            const std::uint32_t p = shown.data[static_cast<std::size_t>(y) * shown.width + x];
            different += GetPixel(dc, x, y) != RGB(p >> 16 & 0xff, p >> 8 & 0xff, p & 0xff);
        }
    ReleaseDC(back, dc);
    CHECK_EQ(different, 0);
}

}  // namespace tessmar::win32::test
