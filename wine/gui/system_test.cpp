// The pieces of the Windows program that need no window of its own: the artwork and icon from the
// resources, Windows' message boxes, and the driver itself, proven on a bare window.
#include <windows.h>

#include <sqlite3.h>

#include <filesystem>
#include <thread>

#include "check.h"
#include "driver.h"
#include "platform/entrydb.h"
#include "platform/messages.h"
#include "support.h"
#include "win32/art.h"

using namespace tessmar;
using namespace tessmar::guitest;
using namespace std::chrono_literals;
namespace art = tessmar::win32::art;
namespace fs = std::filesystem;

namespace {

// A 32-bit top-down bitmap filled with one colour, to draw into and read back.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    std::uint32_t* bits = nullptr;
    int width, height;
    Canvas(int w, int h, std::uint32_t fill) : width(w), height(h) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* p = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<std::uint32_t*>(p);
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bitmap);
        std::fill(bits, bits + w * h, fill);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    int changed(std::uint32_t fill) const {
        GdiFlush();
        int n = 0;
        for (int i = 0; i < width * height; ++i) n += (bits[i] & 0xffffff) != (fill & 0xffffff);
        return n;
    }
};

art::Pixels solid(int w, int h, std::uint32_t p) {
    return art::Pixels{w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, p)};
}

std::filesystem::path besideMe(const char* name) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return std::filesystem::path(self).parent_path() / name;
}

// Answers the next message box of this process from another thread, as a person would.
struct Answerer {
    std::optional<Box> seen;
    bool pressed = false;
    std::thread thread;
    explicit Answerer(int button) {
        thread = std::thread([this, button] {
            seen = waitMessageBox(GetCurrentProcessId(), 5s);
            if (seen) pressed = answer(*seen, button);
            // A box without that button is closed anyway, or the test would hang on it.
            if (seen && !pressed) PostMessageW(seen->window, WM_COMMAND, IDOK, 0);
        });
    }
    ~Answerer() { thread.join(); }
};

}  // namespace

WINE_TEST(ResampleKeepsSolidColourAndAveragesAreas) {
    const auto same = art::resample(solid(6, 4, 0x80402010u), 6, 4);
    CHECK(same.data == solid(6, 4, 0x80402010u).data);
    // Halving, by two thirds and enlarging a solid picture leaves every pixel as it was.
    for (auto [w, h] : {std::pair{3, 2}, {4, 3}, {9, 7}}) {
        const auto scaled = art::resample(solid(6, 4, 0xff336699u), w, h);
        CHECK_EQ(scaled.width, w);
        CHECK_EQ(scaled.height, h);
        CHECK(scaled.data == solid(w, h, 0xff336699u).data);
    }
    // A one-pixel line at twice size halves into a line of half coverage, not into nothing.
    art::Pixels line = solid(4, 4, 0);
    for (int y = 0; y < 4; ++y) line.data[static_cast<std::size_t>(y) * 4 + 1] = 0xffffffffu;
    const auto half = art::resample(line, 2, 2);
    CHECK_EQ(half.data[0], 0x80808080u);
    CHECK_EQ(half.data[1], 0u);
    // Nothing to scale, or nowhere to: an empty picture, not a crash.
    CHECK(art::resample(art::Pixels{}, 4, 4).data.empty());
    CHECK(art::resample(solid(2, 2, 1), 0, 4).data.empty());
    CHECK(art::resample(art::Pixels{3, 3, {1, 2}}, 2, 2).data.empty());
}

WINE_TEST(EveryPictureIsInTheResourcesAtTwiceItsSize) {
    // The size of each picture as ui/art gives it.
    const std::pair<const char*, std::pair<int, int>> pictures[] = {
        {"add", {16, 16}},
        {"background", {595, 405}},
        {"cancel", {16, 16}},
        {"category0", {105, 36}},
        {"category4", {105, 36}},
        {"change", {16, 16}},
        {"close", {21, 21}},
        {"delete", {16, 16}},
        {"gate", {96, 48}},
        {"help", {26, 25}},
        {"icon", {24, 24}},
        {"make", {16, 16}},
        {"password", {26, 25}},
        {"panel_categories", {121, 261}},
        {"panel_checklist", {361, 275}}};
    for (const auto& [name, size] : pictures) {
        const art::Pixels& p = art::picture(name);
        CHECK_EQ(p.width, 2 * size.first);
        CHECK_EQ(p.height, 2 * size.second);
        bool opaqueSomewhere = false;
        for (auto px : p.data) opaqueSomewhere = opaqueSomewhere || (px >> 24) == 0xff;
        CHECK(opaqueSomewhere);
    }
    CHECK(art::picture("no such picture").data.empty());
}

WINE_TEST(DrawArtFillsTheRectangleOnlyAndSkipsUnknownNames) {
    const std::uint32_t fill = 0x00123456u;
    Canvas canvas(100, 60, fill);
    win32::drawArt(canvas.dc, "no such picture", RECT{0, 0, 100, 60});
    CHECK_EQ(canvas.changed(fill), 0);
    // The background is opaque: stretched into a part of the canvas, it covers exactly that part.
    win32::drawArt(canvas.dc, "background", RECT{10, 10, 60, 40});
    CHECK_EQ(canvas.changed(fill), 50 * 30);
    CHECK_EQ(canvas.bits[5 * 100 + 5] & 0xffffffu, fill);
    // Drawing the same size again comes from the cache and gives the same pixels.
    std::vector<std::uint32_t> first(canvas.bits, canvas.bits + 100 * 60);
    win32::drawArt(canvas.dc, "background", RECT{10, 10, 60, 40});
    GdiFlush();
    CHECK(std::equal(first.begin(), first.end(), canvas.bits));
    win32::drawArt(canvas.dc, "background", RECT{0, 0, 0, 10});  // empty: nothing to do
}

WINE_TEST(ProgramIconComesInTheSizesAsked) {
    for (int size : {16, 24, 32, 48, 256}) {
        HICON icon = win32::programIcon(size);
        REQUIRE(icon != nullptr);
        ICONINFO info{};
        REQUIRE(GetIconInfo(icon, &info));
        BITMAP bm{};
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
        CHECK_EQ(bm.bmWidth, size);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
    }
}

WINE_TEST(MessageBoxesShowTitleTextAndButtonsAndReportTheAnswer) {
    auto boxes = platform::makeSystemMessageBoxes();
    {
        Answerer cancel(IDCANCEL);
        CHECK(boxes->show("确实要删除吗？", "警告", platform::Buttons::OkCancel) ==
              platform::Answer::Cancel);
        REQUIRE(cancel.seen.has_value());
        CHECK_EQ(cancel.seen->title, std::string("警告"));
        CHECK_EQ(cancel.seen->text, std::string("确实要删除吗？"));
        CHECK(cancel.pressed);
    }
    {
        Answerer ok(IDOK);
        CHECK(boxes->show("第一行\n第二行", "提示", platform::Buttons::OkCancel) ==
              platform::Answer::Ok);
        REQUIRE(ok.seen.has_value());
        CHECK_EQ(ok.seen->text, std::string("第一行\n第二行"));
    }
    {
        // An OK box has no Cancel button to press.
        Answerer cancel(IDCANCEL);
        CHECK(boxes->show("完成", "提示", platform::Buttons::Ok) == platform::Answer::Ok);
        CHECK(cancel.seen.has_value());
        CHECK(!cancel.pressed);
    }
    {
        // Text that is not UTF-8 still shows, with its bad bytes replaced.
        Answerer ok(IDOK);
        boxes->show("坏\xff字节", "警告", platform::Buttons::Ok);
        REQUIRE(ok.seen.has_value());
        CHECK_EQ(ok.seen->text, std::string("坏\xEF\xBF\xBD字节"));
    }
}

WINE_TEST(MessageBoxBelongsToTheActiveWindow) {
    HWND owner = CreateWindowExW(0, L"STATIC", L"所有者", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 200,
                                 100, nullptr, nullptr, nullptr, nullptr);
    REQUIRE(owner != nullptr);
    SetActiveWindow(owner);
    HWND ownerSeen = nullptr;
    {
        std::thread answerer([&] {
            if (auto box = waitMessageBox(GetCurrentProcessId(), 5s)) {
                ownerSeen = GetWindow(box->window, GW_OWNER);
                answer(*box, IDOK);
            }
        });
        platform::makeSystemMessageBoxes()->show("请稍候", "提示", platform::Buttons::Ok);
        answerer.join();
    }
    CHECK(ownerSeen == owner);
    DestroyWindow(owner);
}

WINE_TEST(DriverTypesPressesAndAnswersOnABareWindow) {
    Process bare;
    REQUIRE(bare.start(besideMe("bare_window.exe")));
    HWND window = waitWindow(bare.id(), L"bare");
    REQUIRE(window != nullptr);
    CHECK_EQ(windowText(window), std::string("空白窗口"));
    bringForward(window);
    HWND edit = control(window, 1001), button = control(window, 1002);
    REQUIRE(edit && button);
    press(edit);
    CHECK(focused(window) == edit);
    type(window, "你好 abc");
    CHECK_EQ(windowText(edit), std::string("你好 abc"));
    press(button);
    auto box = waitMessageBox(bare.id());
    REQUIRE(box.has_value());
    CHECK_EQ(box->title, std::string("警告"));
    CHECK_EQ(box->text, std::string("你好 abc"));
    CHECK(answer(*box, IDOK));
    settle();
    CHECK_EQ(windowText(window), std::string("你好 abc"));
    PostMessageW(window, WM_CLOSE, 0, 0);
    CHECK(bare.wait(5s) == std::optional<DWORD>(0));
}

WINE_TEST(EntryStoreOnSqliteWorksInAFolderWithAChineseName) {
    winetest::ScratchDir scratch;
    const fs::path folder = scratch.path() / fs::path(u8"自定功能");
    REQUIRE(fs::create_directory(folder));
    const fs::path file = folder / "user.dat";
    // SQLite takes UTF-8 names: the path must reach it unchanged, not in the ANSI code page.
    sqlite3* db = nullptr;
    const auto name = file.u8string();
    REQUIRE(sqlite3_open(reinterpret_cast<const char*>(name.c_str()), &db) == SQLITE_OK);
    CHECK(sqlite3_exec(db, platform::EntryDatabase::schema(), nullptr, nullptr, nullptr) ==
          SQLITE_OK);
    sqlite3_close(db);

    auto store = platform::EntryDatabase::open(file);
    REQUIRE(store.has_value());
    platform::EntryRow row{"禁止使用任务管理器",
                           "HKEY_CURRENT_USER ",
                           "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
                           "DisableTaskMgr",
                           "1",
                           std::int16_t{4}};
    CHECK(store->append(row).has_value());
    auto all = store->all();
    REQUIRE(all.has_value());
    REQUIRE(all->size() == 1u);
    CHECK((*all)[0].row == row);
    // Locked by another connection that writes: a sentence, not a hang or a crash.
    sqlite3* other = nullptr;
    REQUIRE(sqlite3_open(reinterpret_cast<const char*>(name.c_str()), &other) == SQLITE_OK);
    CHECK(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK);
    auto locked = store->append(row);
    CHECK(!locked.has_value());
    if (!locked) CHECK(locked.error().message.find("占用") != std::string::npos);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
}
