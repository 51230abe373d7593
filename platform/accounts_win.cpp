// The accounts as this Windows system knows them.
#include <windows.h>
// Need the types of windows.h.
#include <lm.h>
#include <sddl.h>
#include <wtsapi32.h>

#include <vector>

#include "platform/accounts.h"
#include "platform/codepage_win.h"

namespace tessmar::platform {
namespace {

std::wstring wide(std::string_view utf8) {
    return utf8ToWide(utf8);
}

std::string utf8(std::wstring_view text) {
    return wideToUtf8(text).value_or(std::string());
}

// A binary SID from its text, freed with LocalFree.
struct SidBuffer {
    PSID sid = nullptr;
    explicit SidBuffer(std::string_view text) {
        if (!ConvertStringSidToSidW(wide(text).c_str(), &sid)) sid = nullptr;
    }
    ~SidBuffer() {
        if (sid) LocalFree(sid);
    }
    SidBuffer(const SidBuffer&) = delete;
    SidBuffer& operator=(const SidBuffer&) = delete;
};

std::optional<std::string> sidText(PSID sid) {
    LPWSTR text = nullptr;
    if (!sid || !ConvertSidToStringSidW(sid, &text)) return std::nullopt;
    std::string out = utf8(text);
    LocalFree(text);
    return out;
}

// Name and domain of a SID, and what kind of account it is.
bool lookup(PSID sid, std::wstring& name, std::wstring& domain, SID_NAME_USE& use) {
    DWORD nameLength = 0, domainLength = 0;
    LookupAccountSidW(nullptr, sid, nullptr, &nameLength, nullptr, &domainLength, &use);
    if (nameLength == 0) return false;
    name.assign(nameLength, L'\0');
    domain.assign(domainLength, L'\0');
    if (!LookupAccountSidW(nullptr, sid, name.data(), &nameLength, domain.data(), &domainLength,
                           &use))
        return false;
    name.resize(nameLength);
    domain.resize(domainLength);
    return true;
}

class WindowsAccounts : public Accounts {
  public:
    std::optional<std::string> nameOf(std::string_view sid) override {
        SidBuffer binary(sid);
        std::wstring name, domain;
        SID_NAME_USE use{};
        if (!binary.sid || !lookup(binary.sid, name, domain, use) || name.empty())
            return std::nullopt;
        return utf8(name);
    }

    std::optional<std::string> sidOf(std::string_view name) override {
        const std::wstring account = wide(name);
        if (account.empty()) return std::nullopt;
        DWORD sidSize = 0, domainLength = 0;
        SID_NAME_USE use{};
        LookupAccountNameW(nullptr, account.c_str(), nullptr, &sidSize, nullptr, &domainLength,
                           &use);
        if (sidSize == 0) return std::nullopt;
        std::vector<BYTE> sid(sidSize);
        std::wstring domain(domainLength, L'\0');
        if (!LookupAccountNameW(nullptr, account.c_str(), sid.data(), &sidSize, domain.data(),
                                &domainLength, &use))
            return std::nullopt;
        // A group or a well-known alias has a SID too, but no profile to write to.
        if (use != SidTypeUser) return std::nullopt;
        return sidText(sid.data());
    }

    // A process's token and its session's user stay what they were for as long as it runs;
    // every checklist lists the targets, so each is asked of the system once.
    std::optional<std::string> runningSid() override {
        if (!running_) running_ = askRunningSid();
        return *running_;
    }

    std::optional<std::string> sessionSid() override {
        if (!session_ || !*session_) session_ = askSessionSid();
        return *session_;
    }

    bool isAdministrator(std::string_view sid) override {
        SidBuffer binary(sid);
        if (!binary.sid) return false;
        for (const auto& member : administrators())
            if (EqualSid(binary.sid, const_cast<BYTE*>(member.data()))) return true;
        // The group's members cannot always be listed; the running account's token still says.
        if (sid == runningSid().value_or(std::string())) return tokenIsAdministrator();
        return false;
    }

    std::string expand(std::string_view path) override {
        const std::wstring in = wide(path);
        const DWORD needed = ExpandEnvironmentStringsW(in.c_str(), nullptr, 0);
        if (needed == 0) return std::string(path);
        std::wstring out(needed, L'\0');
        const DWORD got = ExpandEnvironmentStringsW(in.c_str(), out.data(), needed);
        if (got == 0 || got > needed) return std::string(path);
        out.resize(got - 1);
        return utf8(out);
    }

  private:
    std::optional<std::string> askRunningSid() {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::nullopt;
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<BYTE> buffer(size);
        std::optional<std::string> out;
        if (size && GetTokenInformation(token, TokenUser, buffer.data(), size, &size))
            out = sidText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
        CloseHandle(token);
        return out;
    }

    std::optional<std::string> askSessionSid() {
        auto ask = [](WTS_INFO_CLASS what) {
            LPWSTR buffer = nullptr;
            DWORD bytes = 0;
            std::wstring out;
            if (WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, what,
                                            &buffer, &bytes) &&
                buffer) {
                out = buffer;
                WTSFreeMemory(buffer);
            }
            return out;
        };
        const std::wstring user = ask(WTSUserName);
        if (user.empty()) return std::nullopt;
        const std::wstring domain = ask(WTSDomainName);
        return sidOf(utf8(domain.empty() ? user : domain + L"\\" + user));
    }

    // The SIDs of the local Administrators group's direct members, read once.
    const std::vector<std::vector<BYTE>>& administrators() {
        if (members_) return *members_;
        members_.emplace();
        SidBuffer group("S-1-5-32-544");
        std::wstring name, domain;
        SID_NAME_USE use{};
        // The group's name depends on the system's language ("Administrators", "管理员"...).
        if (!group.sid || !lookup(group.sid, name, domain, use)) return *members_;
        LOCALGROUP_MEMBERS_INFO_0* entries = nullptr;
        DWORD read = 0, total = 0;
        if (NetLocalGroupGetMembers(nullptr, name.c_str(), 0, reinterpret_cast<LPBYTE*>(&entries),
                                    MAX_PREFERRED_LENGTH, &read, &total, nullptr) == NERR_Success &&
            entries) {
            for (DWORD i = 0; i < read; ++i) {
                PSID sid = entries[i].lgrmi0_sid;
                if (!sid || !IsValidSid(sid)) continue;
                const auto* bytes = static_cast<const BYTE*>(sid);
                members_->emplace_back(bytes, bytes + GetLengthSid(sid));
            }
        }
        if (entries) NetApiBufferFree(entries);
        return *members_;
    }

    static bool tokenIsAdministrator() {
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        PSID group = nullptr;
        if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS,
                                      0, 0, 0, 0, 0, 0, &group))
            return false;
        BOOL member = FALSE;
        if (!CheckTokenMembership(nullptr, group, &member)) member = FALSE;
        FreeSid(group);
        return member != FALSE;
    }

    std::optional<std::vector<std::vector<BYTE>>> members_;
    std::optional<std::optional<std::string>> running_;
    // Asked again while it has no answer: WTS may not be up yet.
    std::optional<std::optional<std::string>> session_;
};

}  // namespace

std::unique_ptr<Accounts> makeSystemAccounts() {
    return std::make_unique<WindowsAccounts>();
}

}  // namespace tessmar::platform
