// Another account's hive loaded under HKEY_USERS with RegLoadKeyW, unloaded with RegUnLoadKeyW.
#include <windows.h>

#include <system_error>
#include <vector>

#include "platform/codepage_win.h"
#include "platform/files.h"
#include "platform/hive.h"

namespace tessmar::platform {
namespace {

std::wstring wide(std::string_view utf8) {
    return utf8ToWide(utf8);
}

std::string codeText(LONG code) {
    return "（错误代码 " + std::to_string(code) + "）";
}

std::string privilegeSentence() {
    return "无法取得加载其他账户注册表文件所需的权限（SeBackupPrivilege、SeRestorePrivilege），"
           "请以管理员身份运行本程序；未作任何改动。";
}

// Enables both privileges that RegLoadKeyW and RegUnLoadKeyW need, and puts back what the token
// held before when it ends.
class Privileges {
  public:
    Status enable() {
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token_))
            return fail(privilegeSentence());
        struct {
            DWORD count;
            LUID_AND_ATTRIBUTES privileges[2];
        } wanted{2, {}};
        if (!LookupPrivilegeValueW(nullptr, L"SeBackupPrivilege", &wanted.privileges[0].Luid) ||
            !LookupPrivilegeValueW(nullptr, L"SeRestorePrivilege", &wanted.privileges[1].Luid))
            return fail(privilegeSentence());
        wanted.privileges[0].Attributes = wanted.privileges[1].Attributes = SE_PRIVILEGE_ENABLED;
        DWORD size = sizeof previous_;
        // Succeeds even when the token lacks a privilege; only the last error tells.
        if (!AdjustTokenPrivileges(token_, FALSE, reinterpret_cast<TOKEN_PRIVILEGES*>(&wanted),
                                   sizeof previous_,
                                   reinterpret_cast<TOKEN_PRIVILEGES*>(&previous_), &size) ||
            GetLastError() == ERROR_NOT_ALL_ASSIGNED) {
            restore();
            return fail(privilegeSentence());
        }
        adjusted_ = true;
        return {};
    }

    void restore() {
        if (adjusted_ && previous_.count > 0)
            AdjustTokenPrivileges(token_, FALSE, reinterpret_cast<TOKEN_PRIVILEGES*>(&previous_), 0,
                                  nullptr, nullptr);
        adjusted_ = false;
        if (token_) CloseHandle(token_);
        token_ = nullptr;
    }

    ~Privileges() { restore(); }

  private:
    HANDLE token_ = nullptr;
    bool adjusted_ = false;
    struct {
        DWORD count = 0;
        LUID_AND_ATTRIBUTES privileges[2]{};
    } previous_;
};

class LoadedHive : public HiveMount {
  public:
    LoadedHive(std::string mount, std::string owner, std::unique_ptr<Privileges> privileges)
        : key_(std::move(mount)), owner_(std::move(owner)), privileges_(std::move(privileges)) {}
    ~LoadedHive() override { (void)unload(); }

    const std::string& key() const override { return key_; }

    Status unload() override {
        if (!loaded_) return {};
        loaded_ = false;
        const std::wstring mount = wide(key_);
        // Written to NTUSER.DAT now, so that nothing waits for the unload to save it.
        HKEY root = nullptr;
        if (RegOpenKeyExW(HKEY_USERS, mount.c_str(), 0, KEY_READ, &root) == ERROR_SUCCESS) {
            RegFlushKey(root);
            RegCloseKey(root);
        }
        LONG rc = ERROR_SUCCESS;
        // A key that the system itself still holds for a moment after the pass closed it lets go
        // soon; another program's open key does not, and the hive then stays until restart.
        for (int attempt = 0; attempt < 20; ++attempt) {
            rc = RegUnLoadKeyW(HKEY_USERS, mount.c_str());
            if (rc == ERROR_SUCCESS) break;
            Sleep(50);
        }
        privileges_->restore();
        if (rc != ERROR_SUCCESS)
            return fail(owner_ + "的注册表文件未能卸载" + codeText(rc) +
                        "，它要到 Windows 重新启动后才会释放。");
        return {};
    }

  private:
    std::string key_, owner_;
    std::unique_ptr<Privileges> privileges_;
    bool loaded_ = true;
};

}  // namespace

Result<std::unique_ptr<HiveMount>> mountHive(const HiveRequest& request) {
    std::error_code ec;
    const auto folder = request.file.parent_path();
    if (folder.empty() || !std::filesystem::is_directory(folder, ec))
        return fail("找不到" + request.owner + "的用户配置文件夹 " + pathText(folder) +
                    "，未作任何改动。");
    if (!std::filesystem::is_regular_file(request.file, ec))
        return fail(request.owner + "的用户配置文件夹中没有注册表文件 " +
                    pathText(request.file.filename()) + "，未作任何改动。");

    auto privileges = std::make_unique<Privileges>();
    if (auto enabled = privileges->enable(); !enabled) return std::unexpected(enabled.error());
    const std::wstring mount = wide(request.mountName);
    // A mount of ours left behind by a run that ended abruptly is ours to take down.
    RegUnLoadKeyW(HKEY_USERS, mount.c_str());
    const LONG rc = RegLoadKeyW(HKEY_USERS, mount.c_str(), request.file.wstring().c_str());
    if (rc == ERROR_SHARING_VIOLATION || rc == ERROR_LOCK_VIOLATION)
        return fail(request.owner + "的注册表文件正被其他程序使用，无法加载，未作任何改动。");
    if (rc == ERROR_PRIVILEGE_NOT_HELD) return fail(privilegeSentence());
    if (rc != ERROR_SUCCESS)
        return fail("无法加载" + request.owner + "的注册表文件 " + pathText(request.file) +
                    codeText(rc) + "，未作任何改动。");
    return std::make_unique<LoadedHive>(request.mountName, request.owner, std::move(privileges));
}

}  // namespace tessmar::platform
