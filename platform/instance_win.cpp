#include <windows.h>

#include <vector>

#include "platform/codepage_win.h"
#include "platform/instance.h"

namespace tessmar::platform {

std::string instanceFolderKey(const std::filesystem::path& programDir) {
    std::wstring path = programDir.wstring();
    std::vector<wchar_t> buffer(32768);
    if (DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(),
                                   nullptr);
        n > 0 && n < buffer.size())
        path.assign(buffer.data(), n);
    // A short 8.3 name and the long one are the same folder.
    if (DWORD n = GetLongPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        n > 0 && n < buffer.size())
        path.assign(buffer.data(), n);
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    CharLowerBuffW(path.data(), static_cast<DWORD>(path.size()));
    return wideToUtf8(path).value_or(std::string());
}

struct InstanceClaim::Handle {
    HANDLE mutex = nullptr;
    ~Handle() {
        if (mutex) CloseHandle(mutex);
    }
};

InstanceClaim::InstanceClaim(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
InstanceClaim::InstanceClaim(InstanceClaim&&) noexcept = default;
InstanceClaim& InstanceClaim::operator=(InstanceClaim&&) noexcept = default;
InstanceClaim::~InstanceClaim() = default;

Result<std::optional<InstanceClaim>> InstanceClaim::claim(const std::filesystem::path& programDir) {
    // Local\: one per session, where the windows of that session are.
    const std::string name = "Local\\" + instanceName(programDir);
    const std::wstring wideName(name.begin(), name.end());
    HANDLE mutex = CreateMutexW(nullptr, FALSE, wideName.c_str());
    const DWORD error = GetLastError();
    // A copy running as another user (elevated or not) holds one this copy may not open.
    if (!mutex && error == ERROR_ACCESS_DENIED) return std::optional<InstanceClaim>();
    if (!mutex) return fail("无法确认是否已有 Tessmar 在运行");
    if (error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return std::optional<InstanceClaim>();
    }
    auto handle = std::make_unique<Handle>();
    handle->mutex = mutex;
    return std::optional<InstanceClaim>(InstanceClaim(std::move(handle)));
}

}  // namespace tessmar::platform
