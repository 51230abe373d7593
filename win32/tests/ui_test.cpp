// The window made from a controls table, driven through its View and through the messages the
// window system would send it.
#include <windows.h>
// Needs the types of windows.h.
#include <commctrl.h>

#include <algorithm>
#include <functional>

#include "check.h"
#include "support.h"
#include "win32/fonts.h"
#include "win32/form_window.h"
#include "win32/grid.h"
#include "win32/text.h"

namespace tessmar::win32::test {

void Recorder::click(forms::Id id) {
    std::string event = "click:" + std::string(id);
    if (view && id.starts_with("Check")) event += view->checked(id) ? ":on" : ":off";
    events.push_back(event);
}
void Recorder::mouseDown(forms::Id id, forms::Button button, int row) {
    const char* name = button == forms::Button::Left    ? "Left"
                       : button == forms::Button::Right ? "Right"
                                                        : "Other";
    events.push_back("down:" + std::string(id) + ":" + name + ":" + std::to_string(row));
}
void Recorder::mouseMove(forms::Id id) {
    events.push_back("move:" + std::string(id));
}
bool Recorder::key(forms::Id id, forms::Key key) {
    const char* name = key == forms::Key::Enter    ? "Enter"
                       : key == forms::Key::Escape ? "Escape"
                                                   : "Character";
    events.push_back("key:" + std::string(id) + ":" + name);
    return useKeys;
}
bool Recorder::closing() {
    events.push_back("closing");
    return allowClose;
}

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

MSG message(HWND window, UINT id, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = id;
    msg.wParam = wParam;
    msg.lParam = lParam;
    return msg;
}

namespace {

using forms::Kind;

forms::Control make(std::string_view name, Kind kind, std::string_view parent,
                    forms::TwipsRect place, int tab = -1) {
    forms::Control c;
    c.name = name;
    c.kind = kind;
    c.parent = parent;
    c.place = place;
    c.tab = tab;
    return c;
}

const forms::WindowLayout& testLayout() {
    static const forms::WindowLayout layout = [] {
        forms::WindowLayout l;
        l.name = "uitest";
        l.caption = "测试 窗口";
        l.clientWidth = 6000;
        l.clientHeight = 4500;
        l.focus = "Text1";
        l.controls.push_back(make("Frame1", Kind::Frame, "", {300, 300, 3000, 1500}));
        auto text1 = make("Text1", Kind::TextBox, "Frame1", {150, 150, 1500, 300}, 1);
        text1.password = true;
        text1.maxLength = 5;
        l.controls.push_back(text1);
        auto text2 = make("Text2", Kind::TextBox, "Frame1", {150, 600, 1500, 600}, 2);
        text2.multiLine = true;
        l.controls.push_back(text2);
        l.controls.push_back(make("Check1", Kind::CheckBox, "", {3600, 300, 255, 255}, 3));
        auto button1 = make("Button1", Kind::Button, "", {3600, 900, 900, 375}, 0);
        button1.caption = "确定";
        button1.tooltip = "按下确定";
        l.controls.push_back(button1);
        auto button2 = make("Button2", Kind::Button, "", {4600, 900, 900, 375}, 4);
        button2.caption = "全选";
        button2.graphical = true;
        button2.back = forms::Rgb{192, 255, 192};
        l.controls.push_back(button2);
        auto combo = make("Combo1", Kind::ComboBox, "", {3600, 1500, 2000, 300}, 5);
        combo.items = {"HKEY_CLASSES_ROOT ", "HKEY_USERS"};
        l.controls.push_back(combo);
        auto panel = make("Panel", Kind::PictureBox, "", {300, 2000, 5400, 2300});
        panel.back = forms::Rgb{192, 192, 255};
        l.controls.push_back(panel);
        auto label = make("Label1", Kind::Label, "Panel", {60, 60, 2000, 255});
        label.caption = "说明：";
        label.fore = forms::Rgb{255, 0, 0};
        l.controls.push_back(label);
        auto vertical = make("Label2", Kind::Label, "Panel", {5000, 60, 255, 2000});
        vertical.caption = "竖排文字";
        vertical.vertical = true;
        l.controls.push_back(vertical);
        auto grid = make("Grid1", Kind::Grid, "Panel", {60, 450, 4500, 1700});
        grid.grid = forms::GridSpec{
            {440, 3000, 440},         1, 1, 255, forms::Rgb{192, 255, 192}, forms::Rgb{0, 0, 255},
            forms::Rgb{128, 128, 128}};
        l.controls.push_back(grid);
        return l;
    }();
    return layout;
}

// A made window with its recording form, destroyed at the end of the test.
struct Made {
    std::unique_ptr<Recorder> recorder = std::make_unique<Recorder>();
    Recorder* form = recorder.get();
    bool gone = false;
    std::unique_ptr<FormWindow> window;
    // beforeShow runs on the window made and still hidden.
    explicit Made(const std::function<void(FormWindow&)>& beforeShow = {}) {
        window = std::make_unique<FormWindow>(testLayout(), [this] { gone = true; });
        window->create();
        recorder->view = window.get();
        window->setForm(form);
        if (beforeShow) beforeShow(*window);
        window->show();
        pump();
    }
    HWND operator[](std::string_view name) const { return window->control(name); }
};

std::wstring classOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

}  // namespace

WINE_TEST(everyControlIsFoundByItsTableIdUnderTheWindowClass) {
    Made made;
    HWND found = FindWindowW(L"uitest", nullptr);
    REQUIRE(found == made.window->window());
    CHECK_EQ(windowText(found), std::string("测试 窗口"));
    const auto& layout = testLayout();
    for (const auto& control : layout.controls) {
        HWND item = GetDlgItem(found, forms::controlId(layout, control.name));
        CHECK(item != nullptr);
        CHECK(item == made[control.name]);
    }
    CHECK(classOf(made["Button1"]) == L"Button");
    CHECK(classOf(made["Label1"]) == L"Static");
    CHECK(classOf(made["Text1"]) == L"Edit");
    CHECK(classOf(made["Combo1"]) == L"ComboBox");
    CHECK(classOf(made["Grid1"]) == kGridClass);
    // Labels take the pointer, so a move over one does not reach what lies behind it.
    CHECK(GetWindowLongW(made["Label1"], GWL_STYLE) & SS_NOTIFY);
}

WINE_TEST(placesAreTwipsSummedOverContainersAndFollowTheDpi) {
    Made made;
    for (int dpi : {96, 144, 192}) {
        made.window->relayout(Dpi(dpi));
        RECT client{};
        GetClientRect(made.window->window(), &client);
        CHECK_EQ(static_cast<int>(client.right), forms::pixels(6000, dpi));
        CHECK_EQ(static_cast<int>(client.bottom), forms::pixels(4500, dpi));
        RECT text{};
        GetWindowRect(made["Text1"], &text);
        MapWindowPoints(nullptr, made.window->window(), reinterpret_cast<POINT*>(&text), 2);
        CHECK_EQ(static_cast<int>(text.left), forms::pixels(300 + 150, dpi));
        CHECK_EQ(static_cast<int>(text.top), forms::pixels(300 + 150, dpi));
        CHECK_EQ(static_cast<int>(text.right - text.left), forms::pixels(1500, dpi));
        Grid* grid = Grid::of(made["Grid1"]);
        REQUIRE(grid != nullptr);
        CHECK_EQ(grid->rowHeight(), forms::pixels(255, dpi));
    }
}

WINE_TEST(textBoxesAndComboBoxesAsTheTableSays) {
    Made made;
    CHECK_EQ(static_cast<int>(SendMessageW(made["Text1"], EM_GETPASSWORDCHAR, 0, 0)), int{L'*'});
    CHECK_EQ(static_cast<int>(SendMessageW(made["Text1"], EM_GETLIMITTEXT, 0, 0)), 5);
    const LONG multi = GetWindowLongW(made["Text2"], GWL_STYLE);
    CHECK(multi & ES_MULTILINE);
    CHECK(!(multi & (WS_VSCROLL | WS_HSCROLL)));
    // Lines break with LF for the forms, with CR LF inside the box.
    made.window->setText("Text2", "第一行\n第二行 ");
    CHECK_EQ(windowText(made["Text2"]), std::string("第一行\r\n第二行 "));
    CHECK_EQ(made.window->text("Text2"), std::string("第一行\n第二行 "));
    made.window->setText("Text2", "甲\r\n乙\n");
    CHECK_EQ(windowText(made["Text2"]), std::string("甲\r\n乙\r\n"));
    // The combo box keeps its items in order, trailing blank included, and its edit text is the
    // control's text.
    CHECK_EQ(static_cast<int>(SendMessageW(made["Combo1"], CB_GETCOUNT, 0, 0)), 2);
    wchar_t item[64] = {};
    SendMessageW(made["Combo1"], CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
    CHECK(std::wstring(item) == L"HKEY_CLASSES_ROOT ");
    made.window->setText("Combo1", "DWORD 值(D)");
    CHECK_EQ(made.window->text("Combo1"), std::string("DWORD 值(D)"));
    made.window->setText("Button1", "取消退出");
    CHECK_EQ(made.window->text("Button1"), std::string("取消退出"));
}

WINE_TEST(aHiddenContainerHidesWhatItHoldsAndTheFocusStaysPut) {
    Made made;
    made.window->setFocus("Button1");
    REQUIRE(GetFocus() == made["Button1"]);
    made.window->setVisible("Frame1", false);
    CHECK(!IsWindowVisible(made["Text1"]));
    CHECK(!IsWindowVisible(made["Text2"]));
    made.window->setFocus("Text1");
    CHECK(GetFocus() == made["Button1"]);
    made.window->setVisible("Frame1", true);
    CHECK(IsWindowVisible(made["Text1"]));
    // A control hidden on its own stays hidden when its container shows again.
    made.window->setVisible("Label1", false);
    made.window->setVisible("Panel", false);
    made.window->setVisible("Panel", true);
    CHECK(!IsWindowVisible(made["Label1"]));
    CHECK(IsWindowVisible(made["Grid1"]));
    made.window->setEnabled("Text1", false);
    CHECK(!made.window->enabled("Text1"));
    made.window->setFocus("Text1");
    CHECK(GetFocus() == made["Button1"]);
    // Hiding the control that has the focus moves it on rather than leaving it nowhere.
    made.window->setVisible("Button1", false);
    CHECK(GetFocus() != nullptr && GetFocus() != made["Button1"]);
}

WINE_TEST(tabFollowsTheTablesOrderPassingHiddenAndDisabledControls) {
    Made made;
    // The table names the box that has the focus when the window opens.
    CHECK(GetFocus() == made["Text1"]);
    made.window->setFocus("Button1");
    MSG tab = message(made["Button1"], WM_KEYDOWN, VK_TAB);
    CHECK(made.window->preTranslate(tab));
    CHECK(GetFocus() == made["Text1"]);
    made.window->setEnabled("Text2", false);
    tab.hwnd = GetFocus();
    made.window->preTranslate(tab);
    CHECK(GetFocus() == made["Check1"]);
    made.window->setVisible("Button2", false);
    made.window->moveFocus(1);
    // Past the last it starts again at the first (Button2 hidden, Combo1 next).
    CHECK(made.window->controlIndexOf(GetFocus()) ==
          forms::controlId(testLayout(), "Combo1") - forms::kFirstControlId);
    made.window->moveFocus(1);
    CHECK(GetFocus() == made["Button1"]);
    made.window->moveFocus(-1);
    CHECK(made.window->controlIndexOf(GetFocus()) ==
          forms::controlId(testLayout(), "Combo1") - forms::kFirstControlId);
    // Tab never reaches the form.
    CHECK(made.form->events.empty() || made.form->last().rfind("key:", 0) != 0);
}

WINE_TEST(keysReachTheFormBeforeTheControl) {
    Made made;
    made.form->events.clear();
    // Used up by the form: the control never sees it.
    made.form->useKeys = true;
    CHECK(made.window->preTranslate(message(made["Text1"], WM_KEYDOWN, VK_RETURN)));
    CHECK_EQ(made.form->last(), std::string("key:Text1:Enter"));
    CHECK(made.window->preTranslate(message(made["Text1"], WM_CHAR, L'a')));
    CHECK_EQ(made.form->last(), std::string("key:Text1:Character"));
    // Not used up: the box gets its character; Enter and Esc would only beep in a one-line box,
    // but start a new line in a multi-line one.
    made.form->useKeys = false;
    CHECK(!made.window->preTranslate(message(made["Text1"], WM_CHAR, L'a')));
    CHECK(made.window->preTranslate(message(made["Text1"], WM_CHAR, L'\r')));
    CHECK(!made.window->preTranslate(message(made["Text2"], WM_CHAR, L'\r')));
    CHECK(!made.window->preTranslate(message(made["Text2"], WM_KEYDOWN, VK_RETURN)));
    CHECK_EQ(made.form->last(), std::string("key:Text2:Enter"));
    // Esc on the window itself comes with an empty name.
    made.window->preTranslate(message(made.window->window(), WM_KEYDOWN, VK_ESCAPE));
    CHECK_EQ(made.form->last(), std::string("key::Escape"));
    // Enter on a button the form lets pass presses it, without a made-up mouse press.
    made.form->events.clear();
    CHECK(made.window->preTranslate(message(made["Button1"], WM_KEYDOWN, VK_RETURN)));
    CHECK_EQ(made.form->events, (std::vector<std::string>{"key:Button1:Enter", "click:Button1"}));
    // The combo box's edit speaks for the combo box.
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(made["Combo1"], &info);
    made.window->preTranslate(message(info.hwndItem, WM_CHAR, L'x'));
    CHECK_EQ(made.form->last(), std::string("key:Combo1:Character"));
}

WINE_TEST(mousePressesMovesAndClicksReachTheForm) {
    Made made;
    made.form->events.clear();
    SendMessageW(made["Button1"], WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    CHECK_EQ(made.form->last(), std::string("down:Button1:Right:-1"));
    SendMessageW(made["Label1"], WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    CHECK_EQ(made.form->last(), std::string("move:Label1"));
    SendMessageW(made["Panel"], WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    CHECK_EQ(made.form->last(), std::string("move:Panel"));
    SendMessageW(made.window->window(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    CHECK_EQ(made.form->last(), std::string("move:"));
    // A check box reports its click after it has toggled.
    SendMessageW(made["Check1"], BM_CLICK, 0, 0);
    CHECK_EQ(made.form->last(), std::string("click:Check1:on"));
    CHECK(made.window->checked("Check1"));
    made.window->setChecked("Check1", false);
    CHECK(!made.window->checked("Check1"));
    // Setting it from the form is no click.
    CHECK_EQ(made.form->last(), std::string("click:Check1:on"));
    SendMessageW(made["Button2"], BM_CLICK, 0, 0);
    CHECK_EQ(made.form->last(), std::string("click:Button2"));
}

WINE_TEST(backColoursShowOnScreen) {
    const forms::Rgb red{255, 0, 0};
    // Set on a shown window, and on a hidden one after its picture was drawn ahead: that picture
    // is not shown once it is out of date.
    const std::function<void(FormWindow&)> cases[] = {{}, [&](FormWindow& w) {
                                                          w.preparePainting();
                                                          w.setBackColor("Panel", red);
                                                      }};
    for (const auto& beforeShow : cases) {
        Made made(beforeShow);
        made.window->setBackColor("Panel", red);
        UpdateWindow(made.window->window());
        RedrawWindow(made["Panel"], nullptr, nullptr, RDW_UPDATENOW);
        HDC dc = GetDC(made["Panel"]);
        RECT panel{};
        GetClientRect(made["Panel"], &panel);
        // Bottom right: nothing else of the table stands there.
        const COLORREF seen = GetPixel(dc, panel.right - 3, panel.bottom - 3);
        ReleaseDC(made["Panel"], dc);
        CHECK_EQ(static_cast<unsigned>(seen), static_cast<unsigned>(RGB(255, 0, 0)));
        // What the window draws no longer waits to be painted in the control.
        CHECK(!GetUpdateRect(made["Panel"], nullptr, FALSE));
    }
}

WINE_TEST(theCloseBoxAsksTheForm) {
    Made made;
    made.form->allowClose = false;
    SendMessageW(made.window->window(), WM_CLOSE, 0, 0);
    CHECK(IsWindow(made.window->window()));
    CHECK(!made.gone);
    made.form->allowClose = true;
    SendMessageW(made.window->window(), WM_CLOSE, 0, 0);
    CHECK(made.gone);
    CHECK(made.window->window() == nullptr);
    // A closed window's view is still safe to call.
    made.window->setText("Text1", "x");
    CHECK_EQ(made.window->text("Text1"), std::string());
}

WINE_TEST(oneToolPerControlWithATooltipOnceThePointerComes) {
    Made made;
    SendMessageW(made["Button1"], WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    REQUIRE(made.window->tooltips() != nullptr);
    CHECK_EQ(static_cast<int>(SendMessageW(made.window->tooltips(), TTM_GETTOOLCOUNT, 0, 0)), 1);
    wchar_t text[80] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = made.window->window();
    tool.uId = reinterpret_cast<UINT_PTR>(made["Button1"]);
    tool.lpszText = text;
    SendMessageW(made.window->tooltips(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    CHECK(std::wstring(text) == L"按下确定");
}

WINE_TEST(aNewMonitorDpiLaysTheControlsOutAgain) {
    Made made;
    RECT suggested{20, 30, 900, 800};
    SendMessageW(made.window->window(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    CHECK_EQ(made.window->dpi().value(), 144);
    RECT outer{};
    GetWindowRect(made.window->window(), &outer);
    CHECK_EQ(static_cast<int>(outer.left), 20);
    CHECK_EQ(static_cast<int>(outer.top), 30);
    RECT client{};
    GetClientRect(made.window->window(), &client);
    CHECK_EQ(static_cast<int>(client.right), forms::pixels(6000, 144));
    // The fonts follow: 9 points at 144 dpi are 18 pixels high.
    HFONT used = reinterpret_cast<HFONT>(SendMessageW(made["Button1"], WM_GETFONT, 0, 0));
    LOGFONTW info{};
    GetObjectW(used, sizeof info, &info);
    CHECK_EQ(static_cast<int>(-info.lfHeight), 18);
}

WINE_TEST(withoutACloseCommandTheKeyboardCannotCloseEither) {
    Made made;
    DeleteMenu(GetSystemMenu(made.window->window(), FALSE), SC_CLOSE, MF_BYCOMMAND);
    SendMessageW(made.window->window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    CHECK(!made.gone);
    CHECK(std::find(made.form->events.begin(), made.form->events.end(), "closing") ==
          made.form->events.end());
}

WINE_TEST(fontsFallBackToAnInstalledChineseFace) {
    for (forms::Face face : {forms::Face::Songti, forms::Face::Youyuan, forms::Face::Kaiti})
        CHECK(faceInstalled(chooseFace(face)));
    // Windows 10 and 11 have 楷体 and KaiTi, not 楷体_GB2312: the hint of the drive window is
    // drawn in KaiTi there, not in SimSun.
    static std::vector<std::wstring> installed;
    auto fake = +[](std::wstring_view face) {
        return std::find(installed.begin(), installed.end(), face) != installed.end();
    };
    installed = {L"SimSun", L"KaiTi", L"Microsoft YaHei"};
    CHECK(chooseFace(forms::Face::Kaiti, fake) == L"KaiTi");
    CHECK(chooseFace(forms::Face::Songti, fake) == L"SimSun");
    CHECK(chooseFace(forms::Face::Youyuan, fake) == L"Microsoft YaHei");
    installed = {L"楷体", L"KaiTi", L"宋体"};
    CHECK(chooseFace(forms::Face::Kaiti, fake) == L"楷体");
    CHECK_EQ(Dpi(96).points(9), 12);
    CHECK_EQ(Dpi(144).points(14.25), 29);
    CHECK_EQ(Dpi(96).points(10.5), 14);
    // One font object per font and dpi.
    const Dpi dpi(96);
    CHECK(font({forms::Face::Kaiti, 12, false}, dpi) == font({forms::Face::Kaiti, 12, false}, dpi));
    CHECK(font({forms::Face::Kaiti, 12, false}, dpi) != font({forms::Face::Kaiti, 12, true}, dpi));
}

}  // namespace tessmar::win32::test
