#include "gpo/cli.h"

#include <algorithm>

#include "gpo/export.h"

namespace tessmar::gpo {
namespace {

// Standard error gets one line, whatever the reason holds.
std::string oneLine(std::string s) {
    std::replace(s.begin(), s.end(), '\n', ' ');
    std::erase(s, '\r');
    return s;
}

}  // namespace

std::optional<int> runCommandLine(const std::vector<std::string>& args,
                                  const std::filesystem::path& dir, std::ostream& out,
                                  std::ostream& err) {
    if (args.empty() || args[0] != "--export") return std::nullopt;
    if (args.size() != 2 || args[1].empty()) {
        err << "用法：tessmar --export 文件夹（把所有类别的设置导出为组策略文件和 tessmar.reg）\n";
        return 2;
    }
    auto report = exportTo(dir, std::filesystem::path(args[1]));
    if (!report) {
        err << "导出失败：" << oneLine(report.error().message) << '\n';
        return 1;
    }
    for (const auto& line : reportLines(*report)) out << oneLine(line) << '\n';
    out.flush();
    return out ? 0 : 1;
}

}  // namespace tessmar::gpo
