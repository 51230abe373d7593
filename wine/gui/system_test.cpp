// The pieces of the Windows program that need no window of its own: the artwork and icon from the
// resources, Windows' message boxes, and the driver itself, proven on a bare window.
#include <wincodec.h>
#include <windows.h>

#include <sqlite3.h>

#include <cctype>
#include <filesystem>
#include <span>
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
    // What it saw and did is read after this: pressing returns only after the box has gone.
    void join() {
        if (thread.joinable()) thread.join();
    }
    ~Answerer() { join(); }
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
    // A pixel off its size (twips rounded at 200 %), the picture is drawn as rendered: cut, or
    // its last column repeated.
    art::Pixels ramp{3, 1, {1, 2, 3}};
    CHECK(art::resample(ramp, 4, 1).data == (std::vector<std::uint32_t>{1, 2, 3, 3}));
    CHECK(art::resample(ramp, 2, 2).data == (std::vector<std::uint32_t>{1, 2, 1, 2}));
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

namespace {

// The resource's picture as the Windows Imaging Component decodes it, premultiplied.
std::vector<std::uint32_t> decodedByWic(std::string_view name,
                                        std::span<const std::uint8_t>& file) {
    std::wstring id = L"ART_";
    for (char c : name) id += static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(c)));
    HRSRC found = FindResourceW(nullptr, id.c_str(), MAKEINTRESOURCEW(10));
    if (!found) return {};
    file = std::span(static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, found))),
                     SizeofResource(nullptr, found));
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory* wic = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    std::vector<std::uint32_t> pixels;
    UINT w = 0, h = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&wic))) &&
        SUCCEEDED(wic->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromMemory(const_cast<BYTE*>(file.data()),
                                               static_cast<DWORD>(file.size()))) &&
        SUCCEEDED(wic->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand,
                                               &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) &&
        SUCCEEDED(wic->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppPBGRA,
                                        WICBitmapDitherTypeNone, nullptr, 0.0,
                                        WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(&w, &h))) {
        pixels.resize(static_cast<std::size_t>(w) * h);
        converter->CopyPixels(nullptr, w * 4, w * h * 4, reinterpret_cast<BYTE*>(pixels.data()));
    }
    for (IUnknown* p : std::initializer_list<IUnknown*>{converter, frame, decoder, stream, wic})
        if (p) p->Release();
    return pixels;
}

}  // namespace

WINE_TEST(ArtworkReaderDecodesAsTheImagingComponentAndRefusesDamage) {
    for (const char* name : {"background", "gate", "category2", "panel_checklist", "close"}) {
        std::span<const std::uint8_t> file;
        const auto expected = decodedByWic(name, file);
        const art::Pixels& got = art::picture(name);
        REQUIRE(!expected.empty());
        REQUIRE(got.data.size() == expected.size());
        // Premultiplying may round a channel one step apart.
        int apart = 0;
        for (std::size_t i = 0; i < expected.size(); ++i)
            for (int c = 0; c < 32; c += 8)
                apart += std::abs(static_cast<int>((got.data[i] >> c) & 0xff) -
                                  static_cast<int>((expected[i] >> c) & 0xff)) > 1;
        CHECK_EQ(apart, 0);
        // Cut short anywhere, or with a flipped byte in its data, a file gives no picture or a
        // picture of its own size, never a crash.
        for (std::size_t cut : {std::size_t{8}, std::size_t{40}, file.size() / 2, file.size() - 13})
            CHECK(art::decodePng(file.first(cut)).data.empty());
        std::vector<std::uint8_t> flipped(file.begin(), file.end());
        for (std::size_t at = 60; at < flipped.size(); at += 97) flipped[at] ^= 0x5a;
        const art::Pixels damaged = art::decodePng(flipped);
        CHECK(damaged.data.empty() || damaged.data.size() == expected.size());
    }
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
        cancel.join();
        REQUIRE(cancel.seen.has_value());
        CHECK_EQ(cancel.seen->title, std::string("警告"));
        CHECK_EQ(cancel.seen->text, std::string("确实要删除吗？"));
        CHECK(cancel.pressed);
    }
    {
        Answerer ok(IDOK);
        CHECK(boxes->show("第一行\n第二行", "提示", platform::Buttons::OkCancel) ==
              platform::Answer::Ok);
        ok.join();
        REQUIRE(ok.seen.has_value());
        CHECK_EQ(ok.seen->text, std::string("第一行\n第二行"));
    }
    {
        // An OK box has no Cancel button to press.
        Answerer cancel(IDCANCEL);
        CHECK(boxes->show("完成", "提示", platform::Buttons::Ok) == platform::Answer::Ok);
        cancel.join();
        CHECK(cancel.seen.has_value());
        CHECK(!cancel.pressed);
    }
    {
        // Text that is not UTF-8 still shows, with its bad bytes replaced.
        Answerer ok(IDOK);
        boxes->show("坏\xff字节", "警告", platform::Buttons::Ok);
        ok.join();
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
