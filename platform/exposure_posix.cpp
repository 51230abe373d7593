#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/exposure.h"
#include "platform/files.h"

namespace tessmar::platform {
namespace {

std::string userName(uid_t uid) {
    if (const passwd* pw = ::getpwuid(uid); pw && pw->pw_name) return pw->pw_name;
    return "编号 " + std::to_string(uid);
}

}  // namespace

std::optional<std::string> writableByOthers(const std::filesystem::path& path) {
    struct stat st {};
    // Through a symbolic link to what it names: that is what the tool reads.
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return std::nullopt;
        return std::string("无法读取它的权限设置");
    }
    std::vector<std::string> why;
    // Root is the administrator; the account running the tool is the one it trusts as such.
    if (st.st_uid != 0 && st.st_uid != ::geteuid())
        why.push_back("属于用户 " + userName(st.st_uid) + "，该用户可以改动它");
    if (st.st_mode & S_IWGRP) why.push_back("同组的用户可以写入");
    if (st.st_mode & S_IWOTH) why.push_back("所有用户都可以写入");
    if (why.empty()) return std::nullopt;
    std::string text = why.front();
    for (std::size_t i = 1; i < why.size(); ++i) text += "，" + why[i];
    return text;
}

}  // namespace tessmar::platform

namespace tessmar::platform {

Result<std::string> restrictFolder(const std::filesystem::path& dir) {
    std::vector<std::string> done;
    for (const std::filesystem::path& path : {dir, dir / "user.dat", dir / "vorn.ini"}) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            if (errno == ENOENT && path != dir) continue;
            return fail("无法读取 " + pathText(path) + " 的权限设置");
        }
        // Root is the administrator; the account running the tool is trusted as such.
        if (st.st_uid != 0 && st.st_uid != ::geteuid()) {
            if (::chown(path.c_str(), 0, static_cast<gid_t>(-1)) != 0)
                return fail("无法把 " + pathText(path) +
                            " 的所有者改为 root（需要以 root 身份运行）");
            done.push_back(pathText(path) + " 的所有者改为 root");
        }
        if (st.st_mode & (S_IWGRP | S_IWOTH)) {
            if (::chmod(path.c_str(), st.st_mode & 07777 & ~(S_IWGRP | S_IWOTH)) != 0)
                return fail("无法取消其他用户对 " + pathText(path) + " 的写入权限");
            done.push_back(pathText(path) + " 只有所有者能够写入");
        }
    }
    std::string text = "已经改好：";
    for (const std::string& line : done) text += "\n    " + line;
    if (done.empty()) text = "权限已经是只有系统员能够改动，没有需要修改的地方。";
    return text;
}

}  // namespace tessmar::platform
