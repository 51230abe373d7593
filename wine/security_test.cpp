// Who may read vorn.ini and who may change the program folder, on Windows security descriptors as
// Wine keeps them. Each check reads the descriptor back with the system's own calls.
#include <windows.h>
// After windows.h:
#include <aclapi.h>
#include <sddl.h>

#include <string>

#include "check.h"
#include "platform/exposure.h"
#include "platform/files.h"
#include "support.h"

using namespace tessmar;
using namespace tessmar::winetest;

namespace {

struct Dacl {
    bool read = false;
    bool isProtected = false;
    bool present = false;
    std::string sddl;                                          // the DACL part, for messages
    std::vector<std::pair<std::string, ACCESS_MASK>> allowed;  // SID text, rights
};

std::string sidText(PSID sid) {
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(sid, &text)) return "?";
    std::string out;
    for (const wchar_t* p = text; *p; ++p) out.push_back(static_cast<char>(*p));
    LocalFree(text);
    return out;
}

Dacl daclOf(const std::filesystem::path& path) {
    Dacl out;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &dacl, nullptr, &sd) != ERROR_SUCCESS)
        return out;
    out.read = true;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (GetSecurityDescriptorControl(sd, &control, &revision))
        out.isProtected = (control & SE_DACL_PROTECTED) != 0;
    out.present = dacl != nullptr;
    wchar_t* text = nullptr;
    if (ConvertSecurityDescriptorToStringSecurityDescriptorW(
            sd, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr)) {
        for (const wchar_t* p = text; *p; ++p) out.sddl.push_back(static_cast<char>(*p));
        LocalFree(text);
    }
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace)) continue;
        auto* header = static_cast<ACE_HEADER*>(ace);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        out.allowed.emplace_back(sidText(&allowed->SidStart), allowed->Mask);
    }
    LocalFree(sd);
    return out;
}

bool setDacl(const std::filesystem::path& path, const wchar_t* sddl);

const std::vector<std::pair<std::string, ACCESS_MASK>> kAdministratorsAndSystem{
    {"S-1-5-32-544", FILE_ALL_ACCESS}, {"S-1-5-18", FILE_ALL_ACCESS}};

// Whether this system keeps a file's DACL as set. Wine 8 does not: it turns a DACL into Unix mode
// bits and reports a DACL made from them (SYSTEM, the Unix owner as the current user, and Everyone
// from the "other" bits), so there only the absence of access for others can be seen.
bool keepsDescriptors() {
    static const bool keeps = [] {
        ScratchDir dir;
        if (!platform::writeFileAtomic(dir / "probe", "x")) return false;
        if (!setDacl(dir / "probe", L"D:P(A;;FA;;;BA)(A;;FA;;;SY)")) return false;
        const bool kept = daclOf(dir / "probe").allowed == kAdministratorsAndSystem;
        if (!kept)
            std::printf(
                "  note: file DACLs are not kept here (read back: %s); checking only that "
                "nobody but the owner and SYSTEM gets access\n",
                daclOf(dir / "probe").sddl.c_str());
        return kept;
    }();
    return keeps;
}

bool grantsOthers(const Dacl& d) {
    for (const auto& [sid, mask] : d.allowed)
        if (sid == "S-1-1-0" || sid == "S-1-5-32-545" || sid == "S-1-5-11") return mask != 0;
    return false;
}

// Administrators and SYSTEM with full access, nobody else, nothing inherited.
void checkAdministratorsOnly(const std::filesystem::path& path) {
    Dacl d = daclOf(path);
    REQUIRE(d.read);
    REQUIRE(d.present);
    if (keepsDescriptors()) {
        CHECK(d.isProtected);
        if (!CHECK(d.allowed == kAdministratorsAndSystem))
            std::printf("  DACL read back: %s\n", d.sddl.c_str());
    } else if (!CHECK(!grantsOthers(d))) {
        std::printf("  DACL read back: %s\n", d.sddl.c_str());
    }
}

bool setDacl(const std::filesystem::path& path, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr))
        return false;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted);
    const DWORD done =
        SetNamedSecurityInfoW(const_cast<wchar_t*>(path.c_str()), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, dacl, nullptr);
    LocalFree(sd);
    return done == ERROR_SUCCESS;
}

void put(const std::filesystem::path& path, const char* text) {
    CHECK(platform::writeFileAtomic(path, text).has_value());
}

}  // namespace

WINE_TEST(SettingsFileGetsAProtectedDaclForAdministratorsAndSystemWhenMade) {
    ScratchDir dir;
    REQUIRE(platform::writeFileAtomic(dir / "vorn.ini", "secret",
                                      platform::Access::AdministratorsOnly));
    checkAdministratorsOnly(dir / "vorn.ini");
    CHECK(!std::filesystem::exists(dir / "vorn.ini.tmp"));
}

WINE_TEST(SettingsFileKeepsItsDaclOnEveryRewrite) {
    ScratchDir dir;
    for (const char* text : {"one", "two", "three"}) {
        REQUIRE(platform::writeFileAtomic(dir / "vorn.ini", text,
                                          platform::Access::AdministratorsOnly));
        checkAdministratorsOnly(dir / "vorn.ini");
    }
}

WINE_TEST(AWideSettingsFileAndAStaleTemporaryAreNarrowedAtTheNextWrite) {
    ScratchDir dir;
    put(dir / "vorn.ini", "old");
    put(dir / "vorn.ini.tmp", "stale");
    REQUIRE(setDacl(dir / "vorn.ini", L"D:P(A;;FA;;;WD)"));
    REQUIRE(setDacl(dir / "vorn.ini.tmp", L"D:P(A;;FA;;;WD)"));
    REQUIRE(grantsOthers(daclOf(dir / "vorn.ini")));  // the wide one took effect

    REQUIRE(
        platform::writeFileAtomic(dir / "vorn.ini", "new", platform::Access::AdministratorsOnly));
    checkAdministratorsOnly(dir / "vorn.ini");
    auto bytes = platform::readFile(dir / "vorn.ini");
    CHECK(bytes && *bytes == "new");
}

WINE_TEST(OrdinaryFilesKeepTheFoldersPermissions) {
    ScratchDir dir;
    REQUIRE(platform::writeFileAtomic(dir / "drives.ini", "x"));
    Dacl d = daclOf(dir / "drives.ini");
    REQUIRE(d.read);
    if (keepsDescriptors())
        CHECK(!d.isProtected);
    else
        CHECK(grantsOthers(d));  // readable by all, as the folder gives it
}

WINE_TEST(AFolderOnlyAdministratorsCanChangeGivesNoWarning) {
    ScratchDir dir;
    put(dir / "user.dat", "db");
    put(dir / "vorn.ini", "x");
    // As under Program Files: users may read and run, nothing more.
    const wchar_t* closed = L"D:P(A;;FA;;;BA)(A;;FA;;;SY)(A;;0x1200a9;;;BU)(A;OICIIO;GA;;;CO)";
    REQUIRE(setDacl(dir.path(), closed));
    REQUIRE(setDacl(dir / "user.dat", closed));
    REQUIRE(setDacl(dir / "vorn.ini", L"D:P(A;;FA;;;BA)(A;;FA;;;SY)"));
    auto warning = platform::exposureWarning(dir.path());
    if (!CHECK(!warning)) std::printf("  warning: %s\n", warning->c_str());
}

WINE_TEST(FolderOrFilesOthersCanChangeAreNamed) {
    ScratchDir dir;
    put(dir / "user.dat", "db");
    put(dir / "vorn.ini", "x");
    const wchar_t* closed = L"D:P(A;;FA;;;BA)(A;;FA;;;SY)(A;;0x1200a9;;;BU)";
    REQUIRE(setDacl(dir.path(), closed));
    REQUIRE(setDacl(dir / "vorn.ini", closed));
    // Everyone may change user.dat (Wine keeps rights for Everyone only, as Unix "other" bits).
    REQUIRE(setDacl(dir / "user.dat", L"D:P(A;;FA;;;BA)(A;;FA;;;SY)(A;;0x1301bf;;;WD)"));
    auto why = platform::writableByOthers(dir / "user.dat");
    CHECK(why.has_value());
    CHECK(!platform::writableByOthers(dir / "vorn.ini"));
    CHECK(!platform::writableByOthers(dir.path()));

    // Everyone may add files to the folder.
    REQUIRE(setDacl(dir.path(), L"D:P(A;;FA;;;BA)(A;;FA;;;SY)(A;;0x1200ab;;;WD)"));
    auto warning = platform::exposureWarning(dir.path());
    REQUIRE(warning);
    CHECK(warning->find("程序文件夹") != std::string::npos);
    CHECK(warning->find("user.dat：") != std::string::npos);
    CHECK(warning->find("vorn.ini：") == std::string::npos);
    CHECK(warning->find("C:\\Program Files\\Tessmar") != std::string::npos);
    if (why) std::printf("  user.dat: %s\n", why->c_str());
}
