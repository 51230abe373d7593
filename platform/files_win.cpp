#include <windows.h>
// After windows.h:
#include <sddl.h>

#include <algorithm>

#include "platform/files_detail.h"

namespace tessmar::platform::detail {
namespace {

// Protected (no inherited entries): full access for Administrators and SYSTEM, nobody else.
constexpr const wchar_t* kAdministratorsOnly = L"D:P(A;;FA;;;BA)(A;;FA;;;SY)";

class Descriptor {
  public:
    Descriptor() {
        ConvertStringSecurityDescriptorToSecurityDescriptorW(kAdministratorsOnly, SDDL_REVISION_1,
                                                             &sd_, nullptr);
    }
    ~Descriptor() {
        if (sd_) LocalFree(sd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    PSECURITY_DESCRIPTOR get() const { return sd_; }

  private:
    PSECURITY_DESCRIPTOR sd_ = nullptr;
};

}  // namespace

PathKind kindOf(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
    // A device or a folder is no file to read.
    return attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE) ? PathKind::Other
                                                                           : PathKind::File;
}

Status writeNewFile(const std::filesystem::path& temp, const std::filesystem::path& target,
                    std::string_view bytes, Access access) {
    SECURITY_ATTRIBUTES attributes{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
    Descriptor descriptor;
    if (access == Access::AdministratorsOnly) {
        if (!descriptor.get())
            return fail("无法为文件 " + pathText(target) + " 设置只允许系统员读取的权限");
        attributes.lpSecurityDescriptor = descriptor.get();
    }
    // CreateFileW ignores the descriptor when the file already exists, so a stale temporary file
    // goes first and the new one must be new.
    DeleteFileW(temp.c_str());
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, &attributes, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return fail("无法在 " + pathText(target.parent_path()) + " 中建立文件");
    bool ok = true;
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 30));
        DWORD written = 0;
        ok = WriteFile(file, bytes.data() + done, chunk, &written, nullptr) && written > 0;
        done += written;
    }
    // The new content must be on disk before it replaces the old.
    ok = ok && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    if (!ok) return fail("写入文件 " + pathText(target) + " 时出错");
    return {};
}

}  // namespace tessmar::platform::detail
