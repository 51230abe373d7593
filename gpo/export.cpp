#include "gpo/export.h"

#include <system_error>

#include "gpo/regfile.h"
#include "platform/files.h"

namespace tessmar::gpo {
namespace fs = std::filesystem;

Result<Export> buildExport(Effects effects) {
    Export e;
    e.effects = std::move(effects);
    e.user = policyHalf(e.effects.writes, platform::RegRoot::CurrentUser);
    e.machine = policyHalf(e.effects.writes, platform::RegRoot::LocalMachine);
    for (const auto& w : e.effects.writes)
        if (w.root == platform::RegRoot::ClassesRoot || w.root == platform::RegRoot::Users)
            e.leftOut.push_back(std::string(platform::rootName(w.root)) + "\\" + w.key + "“" +
                                w.name +
                                "”：组策略只能带 HKEY_CURRENT_USER 和 HKEY_LOCAL_MACHINE 的设置，" +
                                "未写入 Registry.pol（tessmar.reg 中有此项）。");
    for (const auto& w : e.effects.writes)
        if (w.op == engine::RegWrite::Op::DeleteKey)
            e.effects.notes.push_back(std::string(platform::rootName(w.root)) + "\\" + w.key +
                                      "\\" + w.name +
                                      "：导入 tessmar.reg 时连同其下各级子项一起删除；“确定生效”"
                                      "不删除还有子项的子项。");
    e.leftOut.insert(e.leftOut.end(), e.user.leftOut.begin(), e.user.leftOut.end());
    e.leftOut.insert(e.leftOut.end(), e.machine.leftOut.begin(), e.machine.leftOut.end());
    auto user = encodePol(e.user.records);
    if (!user) return std::unexpected(user.error());
    auto machine = encodePol(e.machine.records);
    if (!machine) return std::unexpected(machine.error());
    auto reg = regFileBytes(e.effects.writes);
    if (!reg) return std::unexpected(reg.error());
    e.userPol = std::move(*user);
    e.machinePol = std::move(*machine);
    e.regFile = std::move(*reg);
    return e;
}

Result<Export> buildExport(const fs::path& dir) {
    auto effects = storedEffects(dir);
    if (!effects) return std::unexpected(effects.error());
    return buildExport(std::move(*effects));
}

std::string folderFailure(const fs::path& folder, std::error_code ec) {
    std::string why;
    if (ec == std::errc::not_a_directory || ec == std::errc::file_exists || !ec)
        why = "路径中有同名的文件";
    else if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted)
        why = "没有写入权限";
    else if (ec == std::errc::read_only_file_system)
        why = "所在的磁盘是只读的";
    else if (ec == std::errc::no_space_on_device)
        why = "磁盘空间不足";
    else
        why = "系统错误 " + std::to_string(ec.value());
    return "无法建立文件夹 " + platform::pathText(folder) + "（" + why + "）";
}

namespace {

Status makeFolder(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder)) return fail(folderFailure(folder, ec));
    return {};
}

}  // namespace

Result<ExportReport> exportTo(const fs::path& dir, const fs::path& folder) {
    auto built = buildExport(dir);
    if (!built) return std::unexpected(built.error());
    ExportReport report;
    const struct {
        fs::path path;
        const std::string& bytes;
        std::size_t entries;
    } files[] = {
        {folder / "User" / "Registry.pol", built->userPol, built->user.records.size()},
        {folder / "Machine" / "Registry.pol", built->machinePol, built->machine.records.size()},
        {folder / kRegFileName, built->regFile, built->effects.writes.size()},
    };
    for (const auto& f : files) {
        if (auto made = makeFolder(f.path.parent_path()); !made)
            return std::unexpected(made.error());
    }
    for (const auto& f : files) {
        if (auto written = platform::writeFileAtomic(f.path, f.bytes); !written)
            return fail("无法写入 " + platform::pathText(f.path) + "：" + written.error().message);
        report.files.push_back({f.path, f.entries});
    }
    report.leftOut = std::move(built->leftOut);
    report.notes = std::move(built->effects.notes);
    return report;
}

std::vector<std::string> reportLines(const ExportReport& report) {
    std::vector<std::string> lines;
    for (const Written& w : report.files)
        lines.push_back("已写入 " + platform::pathText(w.path) + "（" + std::to_string(w.entries) +
                        " 项）");
    for (const auto& s : report.leftOut) lines.push_back("未导出：" + s);
    for (const auto& s : report.notes) lines.push_back("注意：" + s);
    return lines;
}

}  // namespace tessmar::gpo
