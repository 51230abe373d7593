// The exported tessmar.reg imported by the registry editor gives the registry the apply pass
// gives, and the local Group Policy files land in the system folder. Run in a prefix of its own:
// it clears the policy keys it compares.
#include <windows.h>

#include <string>
#include <vector>

#include "check.h"
#include "engine/catalogue.h"
#include "engine/plan.h"
#include "gpo/export.h"
#include "gpo/localpolicy.h"
#include "gpo/regfile.h"
#include "platform/files.h"
#include "settings/selection.h"
#include "support.h"

using namespace tessmar;
using namespace tessmar::winetest;
using engine::RegWrite;
using platform::RegRoot;
using platform::RegType;

namespace {

constexpr const char* kCustom = "Software\\TessmarExportCheck";

// Every tree the writes below reach.
const std::pair<HKEY, const char*> kTrees[] = {
    {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies"},
    {HKEY_CURRENT_USER, "Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions"},
    {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\advanced"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Winlogon"},
    {HKEY_LOCAL_MACHINE,
     "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Advanced\\Folder\\Hidden\\SHOWALL"},
    {HKEY_LOCAL_MACHINE, "Network\\Logon"},
    {HKEY_CURRENT_USER, kCustom},
    {HKEY_USERS, ".DEFAULT\\Software\\TessmarExportCheck"},
};

// The same starting point for both ways in: the trees gone, one leaf subkey for the delete.
void reset() {
    for (const auto& [base, path] : kTrees) wipe(base, path);
    HKEY key;
    std::string old = std::string(kCustom) + "\\Old";
    if (RegCreateKeyA(HKEY_CURRENT_USER, old.c_str(), &key) == ERROR_SUCCESS) {
        DWORD v = 7;
        RegSetValueExA(key, "v", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
        RegCloseKey(key);
    }
}

std::vector<Snapshot> snapshots() {
    std::vector<Snapshot> out;
    for (const auto& [base, path] : kTrees) {
        HKEY key;
        if (RegOpenKeyExA(base, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
            out.emplace_back();
            continue;
        }
        out.push_back(snapshot(key));
        RegCloseKey(key);
    }
    return out;
}

RegWrite set(RegRoot root, std::string key, std::string name, RegType type,
             std::vector<std::uint8_t> data) {
    RegWrite w;
    w.root = root;
    w.key = std::move(key);
    w.name = std::move(name);
    w.type = type;
    w.data = std::move(data);
    return w;
}

// The writes of all four built-in categories with mixed choices, and custom entries of every
// kind as the custom pass would plan them.
std::vector<RegWrite> sequence(const ScratchDir& dir) {
    std::vector<RegWrite> all;
    const char* selections[] = {"1010000", "01100010000001000101", "10101", "10010000011"};
    for (int c = 0; c < 4; ++c) {
        auto n = engine::builtinCategory(c).items.size();
        auto planned = engine::plan(dir.path(), c, settings::parseSelection(selections[c], n),
                                    static_cast<int>(n + 1));
        if (!CHECK(planned.has_value())) return {};
        all.insert(all.end(), planned->writes.begin(), planned->writes.end());
    }
    all.push_back(
        set(RegRoot::CurrentUser, kCustom, "d", RegType::Dword, {0xFE, 0xFF, 0xFF, 0xFF}));
    all.push_back(set(RegRoot::CurrentUser, kCustom, "文字", RegType::Sz,
                      bytesOf(cp936("中文\\\"引号\""), true)));
    all.push_back(set(RegRoot::CurrentUser, kCustom, "e", RegType::Sz, {0}));
    all.push_back(set(RegRoot::CurrentUser, kCustom, "b", RegType::Binary, {0x61, 0x62, 0, 0}));
    RegWrite gone;
    gone.op = RegWrite::Op::DeleteKey;
    gone.key = kCustom;
    gone.name = "Old";
    all.push_back(gone);
    gone.name = "Never";
    all.push_back(gone);
    all.push_back(set(RegRoot::Users, ".DEFAULT\\Software\\TessmarExportCheck", "u", RegType::Dword,
                      {1, 0, 0, 0}));
    all.push_back(set(RegRoot::CurrentUser, "software\\tessmarexportcheck", "D", RegType::Dword,
                      {5, 0, 0, 0}));
    return all;
}

ScratchDir& programDir() {
    static ScratchDir dir;
    static bool made = [] {
        return platform::writeFileAtomic(dir / "drives.ini", "\"001100000000000\",\" 12\"\r\n") &&
               platform::writeFileAtomic(dir / "logo.ini",
                                         cp936("\"  注意  \",\"第一行\r\n第二行 \"\r\n"));
    }();
    (void)made;
    return dir;
}

bool importWithRegedit(const std::filesystem::path& file) {
    std::string command = "regedit.exe /s \"" + file.string() + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return code == 0;
}

}  // namespace

WINE_TEST(TheImportedRegFileGivesTheRegistryOfTheApplyPass) {
    ScratchDir& dir = programDir();
    auto writes = sequence(dir);
    REQUIRE(!writes.empty());

    reset();
    auto reg = platform::makeSystemRegistry();
    for (const RegWrite& w : writes) {
        auto done = engine::perform(*reg, w);
        if (w.name != "Never") CHECK(done.has_value());
    }
    auto applied = snapshots();

    auto text = gpo::regFileBytes(gpo::finalEffects(writes).writes);
    REQUIRE(text.has_value());
    REQUIRE(platform::writeFileAtomic(dir / "tessmar.reg", *text).has_value());
    reset();
    REQUIRE(importWithRegedit(dir / "tessmar.reg"));
    auto imported = snapshots();

    for (std::size_t i = 0; i < std::size(kTrees); ++i) {
        auto diff =
            differences(applied[i], "the apply pass", imported[i], "the import", kTrees[i].second);
        CHECK(diff.empty());
        for (const auto& line : diff) std::printf("    %s\n", line.c_str());
    }
    CHECK(!keyPresent(HKEY_CURRENT_USER, std::string(kCustom) + "\\Old"));
    // The notice text of two lines arrived whole.
    auto notice =
        readValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Winlogon",
                  "legalnoticetext");
    CHECK_EQ(notice, std::optional(platform::RegValue{RegType::Sz,
                                                      bytesOf(cp936("第一行\r\n第二行"), true)}));
}

WINE_TEST(TheLocalPolicyLandsInTheSystemFolder) {
    wchar_t buffer[MAX_PATH];
    UINT n = GetSystemDirectoryW(buffer, MAX_PATH);
    REQUIRE(n > 0 && n < MAX_PATH);
    const std::filesystem::path system32(buffer);
    auto built = gpo::buildExport(gpo::finalEffects(sequence(programDir())));
    REQUIRE(built.has_value());
    auto lines = gpo::writeLocalPolicy(system32, *built);
    if (!CHECK(lines.has_value())) std::printf("    %s\n", lines.error().message.c_str());
    const auto paths = gpo::localPolicyPaths(system32);
    auto user = platform::readFile(paths.userPol);
    REQUIRE(user.has_value());
    auto records = gpo::decodePol(*user);
    REQUIRE(records.has_value());
    CHECK_EQ(records->size(), built->user.records.size());
    auto gpt = platform::readFile(paths.machineGpt);
    REQUIRE(gpt.has_value());
    CHECK(gpt->find(gpo::kMachineExtensions) != std::string::npos);
}
