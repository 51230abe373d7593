#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/exposure.h"

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
