// Applies to other accounts on Wine's registry, through the command line as a script runs it: a
// signed-out account's NTUSER.DAT (made by RegSaveKey) loaded, written and unloaded for each pass,
// a signed-in account's loaded hive written where it is, the standard users' Group Policy files.
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "check.h"
#include "engine/apply.h"
#include "engine/history.h"
#include "gpo/cli.h"
#include "gpo/preg.h"
#include "gpo/target.h"
#include "platform/files.h"
#include "scripted_messages.h"
#include "support.h"

using namespace tessmar;
using namespace tessmar::winetest;
using platform::RegType;
using platform::RegValue;

namespace {
namespace fs = std::filesystem;

constexpr const char* kProfileList = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr const char* kIe = "Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions";
constexpr const char* kGateSettings = "\"\",\"C:\\WINDOWS\",,,,\"\",\r\n";

std::optional<RegValue> dword(std::uint32_t v) {
    return RegValue{RegType::Dword, {static_cast<std::uint8_t>(v), 0, 0, 0}};
}

// Saving and loading hives takes these, as on Windows; the program enables them itself.
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

// An account with a profile folder, planted in ProfileList; its NTUSER.DAT is what RegSaveKey
// makes of a key holding one value, so the hive is no empty file.
struct Account {
    std::string sid;
    fs::path profile;

    Account(const ScratchDir& scratch, std::string sid_, const char* folder, bool hive = true)
        : sid(std::move(sid_)), profile(scratch / folder) {
        const std::string key = std::string(kProfileList) + "\\" + sid;
        wipe(HKEY_LOCAL_MACHINE, key);
        fs::create_directories(profile);
        HKEY list = nullptr;
        REQUIRE(RegCreateKeyA(HKEY_LOCAL_MACHINE, key.c_str(), &list) == ERROR_SUCCESS);
        const std::string path = cp936(platform::pathText(profile));
        RegSetValueExA(list, "ProfileImagePath", 0, REG_EXPAND_SZ,
                       reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>(path.size() + 1));
        RegCloseKey(list);
        if (!hive) return;
        enablePrivileges();
        const char* source = "Software\\TessmarWineTest\\hive";
        wipe(HKEY_CURRENT_USER, source);
        HKEY src = nullptr;
        REQUIRE(RegCreateKeyA(HKEY_CURRENT_USER, source, &src) == ERROR_SUCCESS);
        const DWORD one = 1;
        RegSetValueExA(src, "Seeded", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4);
        CHECK_EQ(RegSaveKeyW(src, file().wstring().c_str(), nullptr), ERROR_SUCCESS);
        RegCloseKey(src);
        wipe(HKEY_CURRENT_USER, source);
    }
    ~Account() { wipe(HKEY_LOCAL_MACHINE, std::string(kProfileList) + "\\" + sid); }
    fs::path file() const { return profile / "NTUSER.DAT"; }
};

// Runs the command line as tessmar.exe does; out and err as it printed them.
struct Run {
    int code = -1;
    std::string out, err;
};
Run run(const fs::path& dir, std::vector<std::string> args) {
    std::ostringstream out, err;
    Run r;
    r.code = gpo::runCommandLine(args, dir, out, err).value_or(-1);
    r.out = out.str();
    r.err = err.str();
    return r;
}

struct Folder {
    ScratchDir dir;
    Folder() { CHECK(platform::writeFileAtomic(dir / "vorn.ini", kGateSettings)); }
};

}  // namespace

WINE_TEST(ASignedOutAccountIsLoadedWrittenAndUnloadedForEachPass) {
    Folder program;
    ScratchDir profiles;
    Account xm(profiles, "S-1-5-21-7-7-7-1001", "tessmar-xm");
    const std::string mount = "Tessmar_" + xm.sid;
    const auto before = readValue(HKEY_CURRENT_USER, kIe, "nobrowseroptions");

    Run listed = run(program.dir.path(), {"--accounts"});
    CHECK_EQ(listed.code, 0);
    // Wine cannot name the planted SID: its profile folder does.
    CHECK(listed.out.find("tessmar-xm\tS-1-5-21-7-7-7-1001\t") != std::string::npos);
    CHECK(listed.out.find("S-1-5-18") == std::string::npos);
    CHECK(listed.out.starts_with("me\t"));

    // The pass through its parts, to look at the hive while it is loaded: Wine's RegUnLoadKey
    // drops a hive's changes where Windows writes them back to NTUSER.DAT.
    auto registry = platform::makeSystemRegistry();
    auto accounts = platform::makeSystemAccounts();
    auto targets = engine::listTargets(*registry, *accounts);
    REQUIRE(targets.has_value());
    const engine::Target* target = engine::findTarget(*targets, xm.sid, *accounts);
    REQUIRE(target != nullptr);
    CHECK(!target->loaded);
    auto opened = gpo::openTarget(*registry, *target, program.dir.path());
    REQUIRE(opened.has_value());
    CHECK_EQ(readValue(HKEY_USERS, mount, "Seeded"), dword(1));
    test::ScriptedMessages messages;
    auto outcome = engine::apply({.dir = program.dir.path(),
                                  .registry = (*opened)->registry(),
                                  .messages = messages,
                                  .target = target},
                                 {0, {false, true, false, true, false, false, false, false}, 1});
    CHECK(outcome.settingsWritten);
    CHECK_EQ(readValue(HKEY_USERS, mount + "\\" + kIe, "nobrowseroptions"), dword(1));
    CHECK_EQ(readValue(HKEY_USERS, mount + "\\" + kIe, "nofavorites"), dword(0));
    CHECK_EQ(readValue(HKEY_CURRENT_USER, kIe, "nobrowseroptions"), before);
    CHECK((*opened)->close().has_value());
    CHECK(!keyPresent(HKEY_USERS, mount));
    opened->reset();

    // A second pass, as a script runs it, loads the hive again and unloads it after.
    Run second =
        run(program.dir.path(), {"--apply", "0", "--to", "tessmar-xm", "--choose", "0000000"});
    CHECK_EQ(second.code, 0);
    CHECK_EQ(second.err, std::string());
    CHECK(second.out.find("已写入 HKEY_USERS\\S-1-5-21-7-7-7-1001\\Software") != std::string::npos);
    CHECK(!keyPresent(HKEY_USERS, mount));
    CHECK(!keyPresent(HKEY_USERS, xm.sid));
    CHECK_EQ(readValue(HKEY_CURRENT_USER, kIe, "nobrowseroptions"), before);

    // A restore from the history loads the account's hive again and unloads it after; its own
    // record names the same account.
    auto newest = engine::listHistory(program.dir.path());
    REQUIRE(newest && newest->size() == 2);
    CHECK(gpo::restoreRecord(*registry, *accounts, program.dir.path(), newest->front().file)
              .has_value());
    CHECK(!keyPresent(HKEY_USERS, mount));
    auto after = engine::listHistory(program.dir.path());
    REQUIRE(after && after->size() == 3);
    CHECK(after->front().restore);
    CHECK_EQ(after->front().target.sid, xm.sid);
    CHECK_EQ(readValue(HKEY_CURRENT_USER, kIe, "nobrowseroptions"), before);
}

WINE_TEST(ASignedInAccountIsWrittenWhereItsHiveIsLoaded) {
    Folder program;
    ScratchDir profiles;
    Account xh(profiles, "S-1-5-21-7-7-7-1002", "tessmar-xh");
    // Signed in: the system has the hive loaded under the account's SID.
    REQUIRE(RegLoadKeyW(HKEY_USERS, L"S-1-5-21-7-7-7-1002", xh.file().wstring().c_str()) ==
            ERROR_SUCCESS);
    Run r = run(program.dir.path(), {"--apply", "0", "--to", xh.sid, "--choose", "0100000"});
    CHECK_EQ(r.code, 0);
    CHECK_EQ(readValue(HKEY_USERS, xh.sid + "\\" + kIe, "nofavorites"), dword(1));
    // Still loaded: the program unloads only what it loaded.
    CHECK(keyPresent(HKEY_USERS, xh.sid));
    CHECK(!keyPresent(HKEY_USERS, "Tessmar_" + xh.sid));
    // Its record, restored, puts the account's state back, where it is.
    auto registry = platform::makeSystemRegistry();
    auto accounts = platform::makeSystemAccounts();
    auto records = engine::listHistory(program.dir.path());
    REQUIRE(records && records->size() == 1);
    CHECK(gpo::restoreRecord(*registry, *accounts, program.dir.path(), records->front().file)
              .has_value());
    CHECK(!readValue(HKEY_USERS, xh.sid + "\\" + kIe, "nofavorites"));
    CHECK(keyPresent(HKEY_USERS, xh.sid));
    CHECK_EQ(RegUnLoadKeyW(HKEY_USERS, L"S-1-5-21-7-7-7-1002"), ERROR_SUCCESS);
}

WINE_TEST(AMissingProfileOrHiveIsOneSentenceAndNothingWritten) {
    Folder program;
    ScratchDir profiles;
    Account gone(profiles, "S-1-5-21-7-7-7-1003", "tessmar-gone", false);
    Run noHive = run(program.dir.path(), {"--apply", "0", "--to", gone.sid});
    CHECK_EQ(noHive.code, 1);
    CHECK(noHive.err.find("NTUSER.DAT") != std::string::npos);
    fs::remove_all(gone.profile);
    Run noFolder = run(program.dir.path(), {"--apply", "0", "--to", gone.sid});
    CHECK_EQ(noFolder.code, 1);
    CHECK(noFolder.err.find("找不到账户“tessmar-gone”的用户配置文件夹") != std::string::npos);
    CHECK_EQ(std::count(noFolder.err.begin(), noFolder.err.end(), '\n'), 1);
    CHECK(!fs::exists(program.dir / "history"));
    CHECK(!fs::exists(program.dir / "targets.ini"));
}

WINE_TEST(StandardUsersGetTheGroupsRegistryPolAndGptIni) {
    Folder program;
    wchar_t system32[MAX_PATH];
    REQUIRE(GetSystemDirectoryW(system32, MAX_PATH) > 0);
    const fs::path group = fs::path(system32) / "GroupPolicyUsers" / "S-1-5-32-545";
    fs::remove_all(group);
    Run r = run(program.dir.path(),
                {"--apply", "1", "--to", "standard", "--choose", "1" + std::string(19, '0')});
    CHECK_EQ(r.code, 0);
    auto bytes = platform::readFile(group / "User" / "Registry.pol");
    REQUIRE(bytes.has_value());
    auto records = gpo::decodePol(*bytes);
    REQUIRE(records.has_value());
    CHECK_EQ(records->front().name, std::string("DisableRegistryTools"));
    CHECK_EQ(records->front().data, (std::vector<std::uint8_t>{1, 0, 0, 0}));
    auto gpt = platform::readFile(group / "gpt.ini");
    CHECK(gpt && gpt->find("Version=65536") != std::string::npos);
    fs::remove_all(group);
}
