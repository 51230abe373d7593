#include "platform/exposure.h"

#include <array>
#include <utility>

#include "platform/files.h"

namespace tessmar::platform {

std::optional<std::string> exposureWarning(const std::filesystem::path& dir) {
    // The names are those of the settings file and the entry database, which live above this layer.
    const std::array<std::pair<std::filesystem::path, std::string>, 3> watched{{
        {dir, "程序文件夹 " + pathText(dir)},
        {dir / "user.dat", "自定项目数据库 user.dat"},
        {dir / "vorn.ini", "设置文件 vorn.ini"},
    }};
    std::string found;
    for (const auto& [path, label] : watched)
        if (auto why = writableByOthers(path)) found += "\n    " + label + "：" + *why;
    if (found.empty()) return std::nullopt;
    return "本程序的文件不只系统员能够改动：" + found +
           "\n\n其他用户可以借此换掉 user.dat，放进他们自己的注册表项目，等系统员按“确定生效”"
           "时以系统员的权限写入注册表；也可以换掉或删掉 vorn.ini，使系统员密码变成他们知道的"
           "密码或者空密码。\n\n"
           "请把本程序安装到 C:\\Program Files\\Tessmar（那里只有系统员能够写入），"
           "或者取消其他用户对这个文件夹和这两个文件的写入权限。";
}

}  // namespace tessmar::platform
