#include <windows.h>
// After windows.h:
#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "platform/exposure.h"
#include "platform/files.h"

namespace tessmar::platform {
namespace {

// Rights that let a holder change what the tool reads: write or append data (on a folder: add a
// file or a subfolder), delete it or a child, or change its permissions or owner.
constexpr ACCESS_MASK kChangeRights =
    FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER;

constexpr const wchar_t* kTrustedInstaller =
    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

std::string utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                            nullptr, nullptr);
    return out;
}

// The account's name as the administrator knows it, or its SID when it has none here.
std::string accountName(PSID sid) {
    wchar_t name[256], domain[256];
    DWORD nameLength = 256, domainLength = 256;
    SID_NAME_USE use;
    if (LookupAccountSidW(nullptr, sid, name, &nameLength, domain, &domainLength, &use)) {
        std::wstring full = domainLength ? std::wstring(domain) + L"\\" + name : std::wstring(name);
        return utf8(full);
    }
    wchar_t* text = nullptr;
    if (ConvertSidToStringSidW(sid, &text)) {
        std::string out = utf8(text);
        LocalFree(text);
        return out;
    }
    return "未知帐户";
}

// The account running the tool when it runs as an administrator: it may own what it installed.
class RunningAdministrator {
  public:
    RunningAdministrator() {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return;
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        buffer_.resize(size);
        if (size && GetTokenInformation(token, TokenUser, buffer_.data(), size, &size))
            sid_ = reinterpret_cast<TOKEN_USER*>(buffer_.data())->User.Sid;
        CloseHandle(token);

        BYTE admins[SECURITY_MAX_SID_SIZE];
        DWORD adminsSize = sizeof admins;
        BOOL member = FALSE;
        if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, admins, &adminsSize) ||
            !CheckTokenMembership(nullptr, admins, &member) || !member)
            sid_ = nullptr;
    }
    bool is(PSID sid) const { return sid_ && EqualSid(sid, sid_); }

  private:
    std::vector<BYTE> buffer_;
    PSID sid_ = nullptr;
};

bool trusted(PSID sid, const RunningAdministrator& self) {
    if (IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsWellKnownSid(sid, WinLocalSystemSid))
        return true;
    PSID installer = nullptr;
    if (ConvertStringSidToSidW(kTrustedInstaller, &installer)) {
        const bool same = EqualSid(sid, installer);
        LocalFree(installer);
        if (same) return true;
    }
    return self.is(sid);
}

// Entries that stand for whoever owns the object: as safe as the owner.
bool standsForOwner(PSID sid) {
    return IsWellKnownSid(sid, WinCreatorOwnerSid) || IsWellKnownSid(sid, WinCreatorOwnerRightsSid);
}

}  // namespace

std::optional<std::string> writableByOthers(const std::filesystem::path& path) {
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::nullopt;
    }
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                              nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
        return std::string("无法读取它的权限设置");

    const RunningAdministrator self;
    std::vector<std::string> why;
    const bool ownerTrusted = owner && trusted(owner, self);
    // An owner may always rewrite the permissions.
    if (owner && !ownerTrusted)
        why.push_back("所有者是 " + accountName(owner) + "，可以改动它的权限");
    if (!dacl) {
        why.push_back("没有任何访问限制，所有用户都可以改动");
    } else {
        GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                                FILE_ALL_ACCESS};
        for (DWORD i = 0; i < dacl->AceCount; ++i) {
            void* ace = nullptr;
            if (!GetAce(dacl, i, &ace)) continue;
            const auto* header = static_cast<ACE_HEADER*>(ace);
            // Denials are left aside: at worst a warning too many. Entries only for what is made
            // inside a folder do not apply to the folder itself.
            if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE))
                continue;
            auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
            ACCESS_MASK mask = allowed->Mask;
            MapGenericMask(&mask, &mapping);
            if (!(mask & kChangeRights)) continue;
            PSID sid = &allowed->SidStart;
            if (trusted(sid, self) || (standsForOwner(sid) && ownerTrusted)) continue;
            why.push_back(accountName(sid) + " 可以写入或删除");
        }
    }
    LocalFree(descriptor);
    if (why.empty()) return std::nullopt;
    std::string text = why.front();
    for (std::size_t i = 1; i < why.size(); ++i) text += "，" + why[i];
    return text;
}

namespace {

// Setting an owner other than oneself needs these two, which administrators hold but have off.
void enablePrivileges() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return;
    for (const wchar_t* name : {L"SeTakeOwnershipPrivilege", L"SeRestorePrivilege"}) {
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid))
            AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    }
    CloseHandle(token);
}

// Owner Administrators and the DACL of the descriptor text; protected keeps inherited entries out.
DWORD setSecurity(const std::filesystem::path& path, const wchar_t* sddl, bool isProtected) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        return GetLastError();
    PSID owner = nullptr;
    PACL dacl = nullptr;
    BOOL defaulted = FALSE, present = FALSE;
    GetSecurityDescriptorOwner(descriptor, &owner, &defaulted);
    GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
    std::wstring name = path.wstring();
    const DWORD error =
        SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                  (isProtected ? PROTECTED_DACL_SECURITY_INFORMATION
                                               : UNPROTECTED_DACL_SECURITY_INFORMATION),
                              owner, nullptr, dacl, nullptr);
    LocalFree(descriptor);
    return error;
}

std::string reason(DWORD error) {
    if (error == ERROR_ACCESS_DENIED) return "拒绝访问（请以系统员身份运行本程序）";
    return "系统错误 " + std::to_string(error);
}

}  // namespace

Result<std::string> restrictFolder(const std::filesystem::path& dir) {
    enablePrivileges();
    // The folder: Administrators and SYSTEM full control, Users read and execute, for it and for
    // everything made in it; nothing from the folders above.
    if (DWORD error = setSecurity(
            dir, L"O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)", true))
        return fail("无法改动文件夹 " + pathText(dir) + " 的权限：" + reason(error));
    std::string text =
        "已经改好：\n    " + pathText(dir) +
        "：Administrators 和 SYSTEM 完全控制，Users 读取和运行，不再继承上级文件夹的权限";
    // user.dat keeps only what the folder gives; vorn.ini, which holds the password, stays
    // readable by the administrators alone.
    const std::filesystem::path files[] = {dir / "user.dat", dir / "vorn.ini"};
    const wchar_t* sddl[] = {L"O:BAD:AI", L"O:BAD:PAI(A;;FA;;;BA)(A;;FA;;;SY)"};
    for (int i = 0; i < 2; ++i) {
        if (GetFileAttributesW(files[i].c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        if (DWORD error = setSecurity(files[i], sddl[i], i == 1))
            return fail("文件夹已改好，但无法改动 " + pathText(files[i]) + " 的权限：" +
                        reason(error));
        text += "\n    " + pathText(files[i]) +
                (i == 0 ? "：与文件夹相同" : "：只有 Administrators 和 SYSTEM 能够访问");
    }
    return text;
}

}  // namespace tessmar::platform
