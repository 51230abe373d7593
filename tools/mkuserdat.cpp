// Makes the user.dat that ships beside the program: table iexf holding a few example entries.
// Usage: mkuserdat <output file>
#include <SQLiteCpp/SQLiteCpp.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/entrydb.h"

namespace {

namespace fs = std::filesystem;

struct Example {
    const char* sm;
    const char* hkey1;  // two of them carry the trailing blank of the editor's root list
    const char* subkey1;
    const char* newkey1;
    const char* ka1;
    std::int16_t reg;
};

constexpr const char* kSystemPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
constexpr const char* kExplorerPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

// Harmless, well-known per-user policies that the built-in categories do not already cover.
constexpr Example kExamples[] = {
    {"禁止使用任务管理器", "HKEY_CURRENT_USER ", kSystemPolicies, "DisableTaskMgr", "1", 1},
    {"禁止访问控制面板", "HKEY_CURRENT_USER", kExplorerPolicies, "NoControlPanel", "1", 1},
    {"统一桌面墙纸", "HKEY_CURRENT_USER", kSystemPolicies, "Wallpaper",
     "C:\\Windows\\Web\\Wallpaper\\Windows\\img0.jpg", 2},
    // "}" is the byte 0x7D: no autorun on unknown, removable, fixed, network, CD-ROM and RAM
    // drives.
    {"关闭驱动器自动运行", "HKEY_CURRENT_USER ", kExplorerPolicies, "NoDriveTypeAutoRun", "}", 3},
    {"清除“运行”历史记录", "HKEY_CURRENT_USER",
     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", "RunMRU", "删除子项(U)", 4},
    {"清除 IE 地址栏历史记录", "HKEY_CURRENT_USER", "Software\\Microsoft\\Internet Explorer",
     "TypedURLs", "删除子项(U)", 4},
};

bool make(const fs::path& temp) {
    {
        SQLite::Database db(temp, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec(tessmar::platform::EntryDatabase::schema());
    }
    auto db = tessmar::platform::EntryDatabase::open(temp);
    if (!db) {
        std::fprintf(stderr, "mkuserdat: %s\n", db.error().message.c_str());
        return false;
    }
    for (const auto& e : kExamples) {
        auto added = db->append({e.sm, e.hkey1, e.subkey1, e.newkey1, e.ka1, e.reg});
        if (!added) {
            std::fprintf(stderr, "mkuserdat: %s\n", added.error().message.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkuserdat <output file>\n");
        return 2;
    }
    const fs::path out = argv[1];
    fs::path temp = out;
    temp += ".tmp";
    std::error_code ec;
    fs::remove(temp, ec);
    bool made = false;
    try {
        made = make(temp);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mkuserdat: %s\n", e.what());
    }
    if (made) fs::rename(temp, out, ec);
    if (!made || ec) {
        if (ec) std::fprintf(stderr, "mkuserdat: cannot replace %s\n", out.string().c_str());
        fs::remove(temp, ec);
        return 1;
    }
    return 0;
}
