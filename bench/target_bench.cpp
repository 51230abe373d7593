// Windows, under Wine: how long an apply of 系统桌面 to a signed-out account takes (its NTUSER.DAT
// loaded, written, unloaded) against the same apply to the running account, in alternating
// rounds of one run. Both passes record their history, as "确定生效" does.
//   target_bench.exe [rounds]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/apply.h"
#include "gpo/target.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kSid = "S-1-5-21-9-9-9-1001";
constexpr const char* kProfileList = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

class Quiet : public tessmar::platform::MessageBoxes {
  public:
    tessmar::platform::Answer show(const std::string&, const std::string&,
                                   tessmar::platform::Buttons) override {
        return tessmar::platform::Answer::Ok;
    }
};

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void enablePrivileges() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) return;
    for (const wchar_t* name : {L"SeBackupPrivilege", L"SeRestorePrivilege"}) {
        TOKEN_PRIVILEGES p{1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
        if (LookupPrivilegeValueW(nullptr, name, &p.Privileges[0].Luid))
            AdjustTokenPrivileges(token, FALSE, &p, 0, nullptr, nullptr);
    }
    CloseHandle(token);
}

// The account's profile: a folder with an NTUSER.DAT saved from a small key, in ProfileList.
bool plant(const fs::path& profile) {
    enablePrivileges();
    fs::create_directories(profile);
    HKEY src = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\TessmarBench\\hive", &src) != ERROR_SUCCESS)
        return false;
    const DWORD one = 1;
    RegSetValueExA(src, "Seeded", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4);
    const LONG saved = RegSaveKeyW(src, (profile / "NTUSER.DAT").wstring().c_str(), nullptr);
    RegCloseKey(src);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TessmarBench");
    if (saved != ERROR_SUCCESS) return false;
    HKEY list = nullptr;
    const std::string key = std::string(kProfileList) + "\\" + kSid;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, key.c_str(), &list) != ERROR_SUCCESS) return false;
    const std::string path = profile.string();
    RegSetValueExA(list, "ProfileImagePath", 0, REG_EXPAND_SZ,
                   reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>(path.size() + 1));
    RegCloseKey(list);
    return true;
}

struct Times {
    std::vector<double> total, open, pass, close;
};

bool once(tessmar::platform::Registry& registry, const tessmar::engine::Target& target,
          const fs::path& dir, Times& times) {
    Quiet quiet;
    const auto t0 = Clock::now();
    auto opened = tessmar::gpo::openTarget(registry, target, dir);
    if (!opened) return false;
    const auto t1 = Clock::now();
    std::vector<bool> flags(21, false);
    flags[1] = flags[4] = flags[7] = true;
    auto outcome = tessmar::engine::apply(
        {.dir = dir, .registry = (*opened)->registry(), .messages = quiet, .target = &target},
        {1, flags, 1});
    const auto t2 = Clock::now();
    const bool closed = (*opened)->close().has_value();
    opened->reset();
    const auto t3 = Clock::now();
    times.total.push_back(ms(t3 - t0));
    times.open.push_back(ms(t1 - t0));
    times.pass.push_back(ms(t2 - t1));
    times.close.push_back(ms(t3 - t2));
    return outcome.settingsWritten && outcome.notWritten.empty() && closed;
}

void print(const char* what, const Times& t) {
    std::printf(
        "%-28s median %7.2f ms (min %7.2f, max %7.2f): open %6.2f, pass %6.2f, close %6.2f\n", what,
        median(t.total), *std::min_element(t.total.begin(), t.total.end()),
        *std::max_element(t.total.begin(), t.total.end()), median(t.open), median(t.pass),
        median(t.close));
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 21;
    const fs::path root = fs::temp_directory_path() / "tessmar-target-bench";
    fs::remove_all(root);
    const fs::path dir = root / "program";
    fs::create_directories(dir);
    if (!tessmar::platform::writeFileAtomic(dir / "vorn.ini",
                                            "\"\",\"C:\\WINDOWS\",,,,\"\",\r\n") ||
        !plant(root / "tessmar-bench")) {
        std::fprintf(stderr, "target_bench: cannot set up the account\n");
        return 1;
    }
    auto registry = tessmar::platform::makeSystemRegistry();
    auto accounts = tessmar::platform::makeSystemAccounts();
    auto targets = tessmar::engine::listTargets(*registry, *accounts);
    const tessmar::engine::Target* me = targets ? &targets->front() : nullptr;
    const tessmar::engine::Target* account =
        targets ? tessmar::engine::findTarget(*targets, kSid, *accounts) : nullptr;
    if (!me || !account) {
        std::fprintf(stderr, "target_bench: the planted account is not listed\n");
        return 1;
    }
    Times mine, theirs;
    for (int i = 0; i < rounds; ++i)
        if (!once(*registry, *me, dir, mine) || !once(*registry, *account, dir, theirs)) {
            std::fprintf(stderr, "target_bench: a pass failed in round %d\n", i + 1);
            return 1;
        }
    std::printf("系统桌面, %d alternating rounds, history recorded:\n", rounds);
    print("me (HKEY_CURRENT_USER)", mine);
    print("signed-out account", theirs);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kProfileList) + "\\" + kSid).c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kProfileList) + "\\" + kSid).c_str());
    fs::remove_all(root);
    return 0;
}
