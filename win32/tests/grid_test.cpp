// The grid alone, in a window of its own: rows, scrolling, the row under the pointer.
#include "win32/grid.h"
#include "check.h"
#include "support.h"

namespace tessmar::win32::test {
namespace {

struct Press {
    forms::Button button;
    int row;
};

// A top-level window holding one grid of 10 rows' height (20 px each at 96 dpi).
struct Fixture {
    HWND top = nullptr;
    HWND window = nullptr;
    Grid* grid = nullptr;
    std::vector<Press> presses;

    explicit Fixture(forms::GridSpec shape) {
        top = CreateWindowExW(0, L"Static", L"grid", WS_POPUP | WS_VISIBLE, 10, 10, 400, 300,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        Grid::Events events;
        events.press = [this](forms::Button button, int row) { presses.push_back({button, row}); };
        grid = Grid::create(top, 1000, shape, RECT{0, 0, 300, 200}, WS_VISIBLE, Dpi(96),
                            std::move(events));
        window = grid ? grid->window() : nullptr;
        pump();
    }
    ~Fixture() { DestroyWindow(top); }

    void rows(int count) {
        std::vector<std::vector<std::wstring>> cells;
        for (int i = 0; i < count; ++i) cells.push_back({std::to_wstring(i), L"项目", L""});
        grid->setRows(std::move(cells));
    }
    void press(UINT message, WPARAM keys, int y) {
        SendMessageW(window, message, keys, MAKELPARAM(10, y));
    }
};

forms::GridSpec checklist() {
    return forms::GridSpec{
        {440, 3000, 440},         1, 1, 300, forms::Rgb{192, 255, 192}, forms::Rgb{0, 0, 255},
        forms::Rgb{128, 128, 128}};
}

bool scrollBarShown(HWND window) {
    return GetWindowLongW(window, GWL_STYLE) & WS_VSCROLL;
}

}  // namespace

WINE_TEST(theRowUnderThePointerFollowsTheScrollingAndTheFixedRowStays) {
    Fixture f(checklist());
    REQUIRE(f.grid != nullptr);
    CHECK_EQ(f.grid->rowHeight(), 20);
    f.rows(31);  // heading and 30 items; 10 rows fit
    CHECK(scrollBarShown(f.window));
    CHECK_EQ(f.grid->rowAt(5), 0);
    CHECK_EQ(f.grid->rowAt(25), 1);
    f.grid->scrollTo(12);
    CHECK_EQ(f.grid->topRow(), 12);
    CHECK_EQ(f.grid->rowAt(5), 0);  // the heading row stays put
    CHECK_EQ(f.grid->rowAt(25), 12);
    CHECK_EQ(f.grid->rowAt(20 * 9 + 5), 20);
    // Scrolling stops where the last row is at the bottom.
    f.grid->scrollTo(100);
    CHECK_EQ(f.grid->topRow(), 31 - 9);
    f.grid->scrollTo(-4);
    CHECK_EQ(f.grid->topRow(), 1);
}

WINE_TEST(pressesReportTheirButtonAndRowAndTwoButtonsDoNothing) {
    Fixture f(checklist());
    f.rows(4);
    CHECK(!scrollBarShown(f.window));
    f.press(WM_LBUTTONDOWN, MK_LBUTTON, 45);
    f.press(WM_RBUTTONDOWN, MK_RBUTTON, 5);
    f.press(WM_MBUTTONDOWN, MK_MBUTTON, 65);
    // Below the last row there is no row.
    f.press(WM_LBUTTONDOWN, MK_LBUTTON, 150);
    f.press(WM_LBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, 45);
    f.press(WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, 45);
    REQUIRE(f.presses.size() == 4u);
    CHECK(f.presses[0].button == forms::Button::Left);
    CHECK_EQ(f.presses[0].row, 2);
    CHECK(f.presses[1].button == forms::Button::Right);
    CHECK_EQ(f.presses[1].row, 0);
    CHECK(f.presses[2].button == forms::Button::Other);
    CHECK_EQ(f.presses[2].row, 3);
    CHECK_EQ(f.presses[3].row, -1);
}

WINE_TEST(newRowsShowTheFirstAndTheCurrentCellNeverScrolls) {
    Fixture f(checklist());
    f.rows(40);
    f.grid->scrollTo(20);
    f.grid->setCurrentCell(35, 2);
    CHECK_EQ(f.grid->topRow(), 20);
    f.grid->setCurrentCell(2, 2);
    CHECK_EQ(f.grid->topRow(), 20);
    CHECK_EQ(f.grid->currentRow(), 2);
    f.grid->setCell(35, 2, L" √");
    CHECK(f.grid->cell(35, 2) == L" √");
    CHECK_EQ(f.grid->topRow(), 20);
    f.rows(40);
    CHECK_EQ(f.grid->topRow(), 1);
    CHECK(f.grid->cell(35, 2).empty());
    // Fewer rows than fit: no bar, no scrolling.
    f.rows(3);
    CHECK(!scrollBarShown(f.window));
    f.grid->scrollTo(2);
    CHECK_EQ(f.grid->topRow(), 1);
    // A cell beyond the rows is ignored rather than growing the grid.
    f.grid->setCell(7, 1, L"x");
    CHECK_EQ(f.grid->rowCount(), 3);
}

WINE_TEST(theWheelScrollsThreeRowsANotch) {
    Fixture f(checklist());
    f.rows(40);
    SendMessageW(f.window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    CHECK_EQ(f.grid->topRow(), 4);
    // Half notches add up.
    SendMessageW(f.window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)), 0);
    CHECK_EQ(f.grid->topRow(), 4);
    SendMessageW(f.window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)), 0);
    CHECK_EQ(f.grid->topRow(), 7);
    SendMessageW(f.window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(WHEEL_DELTA * 5)), 0);
    CHECK_EQ(f.grid->topRow(), 1);
    SendMessageW(f.window, WM_VSCROLL, SB_PAGEDOWN, 0);
    CHECK_EQ(f.grid->topRow(), 10);
}

WINE_TEST(aListWithoutHeadingsScrollsFromItsFirstRowAndShowsItsCurrentRow) {
    forms::GridSpec list{{2000}, 0, 0, 300, {}, {}, {}};
    Fixture f(list);
    f.rows(15);
    CHECK_EQ(f.grid->rowAt(5), 0);
    f.grid->scrollTo(5);
    CHECK_EQ(f.grid->rowAt(5), 5);
    f.grid->setCurrentCell(6, 0);
    UpdateWindow(f.window);
    HDC dc = GetDC(f.window);
    const COLORREF selected = GetPixel(dc, 60, 20 + 10);
    const COLORREF other = GetPixel(dc, 60, 40 + 10);
    ReleaseDC(f.window, dc);
    CHECK_EQ(static_cast<unsigned>(selected), static_cast<unsigned>(GetSysColor(COLOR_HIGHLIGHT)));
    CHECK_EQ(static_cast<unsigned>(other), static_cast<unsigned>(GetSysColor(COLOR_WINDOW)));
}

WINE_TEST(aCellNoteColoursItsCellAndTipsItUntilNewRowsArrive) {
    Fixture f(checklist());
    f.rows(5);
    // Row 2, column 2: x from 440 + 3000 twips (29 + 200 px), y from 40 px.
    f.grid->setCellNote(2, 2, forms::Rgb{255, 200, 0}, L"已被改动");
    UpdateWindow(f.window);
    HDC dc = GetDC(f.window);
    const COLORREF noted = GetPixel(dc, 229 + 10, 40 + 10);
    const COLORREF plain = GetPixel(dc, 229 + 10, 60 + 10);
    ReleaseDC(f.window, dc);
    CHECK_EQ(static_cast<unsigned>(noted), static_cast<unsigned>(RGB(255, 200, 0)));
    CHECK_EQ(static_cast<unsigned>(plain), static_cast<unsigned>(RGB(192, 255, 192)));
    CHECK(f.grid->tipAt(229 + 10, 40 + 10) == L"已被改动");
    CHECK(f.grid->tipAt(229 + 10, 60 + 10).empty());
    CHECK(f.grid->tipAt(10, 40 + 10).empty());
    // Right of the last column there is no cell and so no tip.
    CHECK_EQ(f.grid->columnAt(295), -1);
    f.rows(5);
    CHECK(f.grid->tipAt(229 + 10, 40 + 10).empty());
}

}  // namespace tessmar::win32::test
