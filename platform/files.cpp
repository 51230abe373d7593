#include "platform/files.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/files_detail.h"

namespace tessmar::platform {
namespace fs = std::filesystem;

namespace {
// A file whose owner may not write it is read-only, as the read-only attribute makes it on Windows.
// The check is explicit because replacing a file by rename ignores its own permission bits (and the
// superuser ignores them altogether).
bool readOnly(const fs::path& path) {
    std::error_code ec;
    auto st = fs::status(path, ec);
    if (ec) return false;
    return (st.permissions() & fs::perms::owner_write) == fs::perms::none;
}
}  // namespace

std::string pathText(const fs::path& path) {
    auto s = path.u8string();
    return std::string(s.begin(), s.end());
}

bool fileExists(const fs::path& path) {
    return detail::kindOf(path) == detail::PathKind::File;
}

Result<std::string> readFile(const fs::path& path) {
    switch (detail::kindOf(path)) {
        case detail::PathKind::Missing:
            return fail("找不到文件 " + pathText(path));
        case detail::PathKind::Other:
            return fail(pathText(path) + " 不是文件");
        case detail::PathKind::File:
            break;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail("无法打开文件 " + pathText(path));
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return fail("读取文件 " + pathText(path) + " 时出错");
    return data;
}

Status writeFileAtomic(const fs::path& path, std::string_view bytes, Access access) {
    std::error_code ec;
    if (fs::exists(path, ec) && !fs::is_regular_file(path, ec))
        return fail(pathText(path) + " 不是文件，无法写入");
    if (readOnly(path)) return fail("文件 " + pathText(path) + " 是只读的，无法写入");

    fs::path temp = path;
    temp += ".tmp";
    if (Status written = detail::writeNewFile(temp, path, bytes, access); !written) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return written;
    }
    fs::rename(temp, path, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return fail("无法替换文件 " + pathText(path));
    }
    return {};
}

}  // namespace tessmar::platform
