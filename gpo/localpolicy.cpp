#include "gpo/localpolicy.h"

#include <algorithm>
#include <charconv>
#include <system_error>

#include "platform/files.h"

namespace tessmar::gpo {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kRegistryExtension = "{35378EAC-683F-11D2-A89A-00C04FBBCFA2}";

bool startsNoCase(std::string_view line, std::string_view key) {
    return line.size() >= key.size() && sameName(line.substr(0, key.size()), key);
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// "[{a}{b}][{c}{d}]" with our group added when the registry extension is missing, kept sorted as
// Group Policy expects.
std::string withExtension(std::string_view list, std::string_view ours) {
    if (upper(list).find(kRegistryExtension) != std::string::npos) return std::string(list);
    std::vector<std::string> groups{std::string(ours)};
    for (std::size_t pos = 0; (pos = list.find('[', pos)) != std::string_view::npos;) {
        std::size_t end = list.find(']', pos);
        if (end == std::string_view::npos) break;
        groups.emplace_back(list.substr(pos, end - pos + 1));
        pos = end + 1;
    }
    std::sort(groups.begin(), groups.end(),
              [](const std::string& a, const std::string& b) { return upper(a) < upper(b); });
    std::string out;
    for (const auto& g : groups) out += g;
    return out;
}

// The policy file with our records merged in, worked out before anything is written.
Result<std::string> mergedFile(const fs::path& pol, const std::vector<PolRecord>& ours) {
    std::vector<PolRecord> existing;
    if (platform::fileExists(pol)) {
        auto bytes = platform::readFile(pol);
        if (!bytes) return std::unexpected(bytes.error());
        auto records = decodePol(*bytes);
        // A damaged policy file is not ours to throw away.
        if (!records)
            return fail(platform::pathText(pol) + "：" + records.error().message + "，未作改动。");
        existing = std::move(*records);
    }
    return encodePol(mergeRecords(existing, ours));
}

Result<std::string> raisedFile(const fs::path& gpt, bool user) {
    std::string current;
    if (platform::fileExists(gpt)) {
        auto bytes = platform::readFile(gpt);
        if (!bytes) return std::unexpected(bytes.error());
        current = std::move(*bytes);
    }
    return raisedGptIni(current, user);
}

}  // namespace

Status writePolicyFile(const fs::path& file, const std::string& bytes) {
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    if (ec) return fail(folderFailure(file.parent_path(), ec));
    return platform::writeFileAtomic(file, bytes);
}

std::vector<PolRecord> mergeRecords(const std::vector<PolRecord>& existing,
                                    const std::vector<PolRecord>& ours) {
    std::vector<PolRecord> out;
    for (const PolRecord& r : existing) {
        bool replaced = std::any_of(ours.begin(), ours.end(), [&](const PolRecord& o) {
            if (!sameName(o.key, r.key) || !sameName(o.name, r.name)) return false;
            // Several delete records may stand under one key; only the same one is replaced.
            return o.name != kDeleteKeys || o.data == r.data;
        });
        if (!replaced) out.push_back(r);
    }
    out.insert(out.end(), ours.begin(), ours.end());
    return out;
}

std::string raisedGptIni(std::string_view current, bool user) {
    std::vector<std::string> lines;
    for (std::size_t pos = 0; pos < current.size();) {
        std::size_t end = current.find('\n', pos);
        if (end == std::string_view::npos) end = current.size();
        std::string line(current.substr(pos, end - pos));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        pos = end + 1;
    }
    auto general = std::find_if(lines.begin(), lines.end(),
                                [](const std::string& l) { return sameName(l, "[General]"); });
    if (general == lines.end()) {
        lines.insert(lines.begin(), "[General]");
        general = lines.begin();
    }
    // The [General] section runs to the next section heading.
    std::size_t first = static_cast<std::size_t>(general - lines.begin()) + 1;
    std::size_t last = first;
    while (last < lines.size() && (lines[last].empty() || lines[last][0] != '[')) ++last;

    const std::string extKey = user ? "gPCUserExtensionNames=" : "gPCMachineExtensionNames=";
    const char* ours = user ? kUserExtensions : kMachineExtensions;
    std::uint32_t version = 0;
    bool haveExt = false, haveVersion = false, haveFunc = false;
    for (std::size_t i = first; i < last; ++i) {
        std::string& l = lines[i];
        if (startsNoCase(l, "Version=")) {
            std::string_view digits = std::string_view(l).substr(8);
            std::from_chars(digits.data(), digits.data() + digits.size(), version);
            haveVersion = true;
        } else if (startsNoCase(l, extKey)) {
            l = extKey + withExtension(std::string_view(l).substr(extKey.size()), ours);
            haveExt = true;
        } else if (startsNoCase(l, "gPCFunctionalityVersion=")) {
            haveFunc = true;
        }
    }
    // Each half counts up to 65535 and starts again at 1: 0 would read as "no policy".
    std::uint32_t half = user ? version >> 16 : version & 0xFFFF;
    half = half >= 0xFFFF ? 1 : half + 1;
    version = user ? (half << 16) | (version & 0xFFFF) : (version & 0xFFFF0000u) | half;

    std::vector<std::string> added;
    if (!haveFunc) added.push_back("gPCFunctionalityVersion=2");
    if (!haveExt) added.push_back(extKey + ours);
    if (!haveVersion) added.push_back("Version=" + std::to_string(version));
    for (std::size_t i = first; i < last; ++i)
        if (startsNoCase(lines[i], "Version=")) lines[i] = "Version=" + std::to_string(version);
    // New keys go after the last non-empty line of the section.
    std::size_t at = last;
    while (at > first && lines[at - 1].empty()) --at;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());

    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

LocalPolicyPaths localPolicyPaths(const fs::path& system32) {
    const fs::path users = system32 / "GroupPolicyUsers" / kNonAdministratorsSid;
    const fs::path machine = system32 / "GroupPolicy";
    return {users / "User" / "Registry.pol", users / "gpt.ini",
            machine / "Machine" / "Registry.pol", machine / "gpt.ini"};
}

Result<std::vector<std::string>> writeLocalPolicy(const fs::path& system32, const Export& e) {
    const LocalPolicyPaths p = localPolicyPaths(system32);
    // Everything is read and worked out first, so that a damaged file stops the whole step.
    auto userPol = mergedFile(p.userPol, e.user.records);
    if (!userPol) return std::unexpected(userPol.error());
    auto machinePol = mergedFile(p.machinePol, e.machine.records);
    if (!machinePol) return std::unexpected(machinePol.error());
    auto userGpt = raisedFile(p.userGpt, true);
    if (!userGpt) return std::unexpected(userGpt.error());
    auto machineGpt = raisedFile(p.machineGpt, false);
    if (!machineGpt) return std::unexpected(machineGpt.error());
    // Each Registry.pol before its gpt.ini: a raised version over the old file would be taken up
    // as if it were the new one.
    const std::pair<const fs::path*, const std::string*> files[] = {{&p.userPol, &*userPol},
                                                                    {&p.userGpt, &*userGpt},
                                                                    {&p.machinePol, &*machinePol},
                                                                    {&p.machineGpt, &*machineGpt}};
    for (const auto& [path, bytes] : files)
        if (auto done = writePolicyFile(*path, *bytes); !done)
            return fail("无法写入 " + platform::pathText(*path) + "：" + done.error().message);
    std::vector<std::string> lines;
    lines.push_back("已写入非管理员用户的本地组策略 " + platform::pathText(p.userPol) + "（" +
                    std::to_string(e.user.records.size()) + " 项）");
    lines.push_back("已写入本机的本地组策略 " + platform::pathText(p.machinePol) + "（" +
                    std::to_string(e.machine.records.size()) + " 项）");
    for (const auto& s : e.leftOut) lines.push_back("未导出：" + s);
    for (const auto& s : e.effects.notes) lines.push_back("注意：" + s);
    return lines;
}

}  // namespace tessmar::gpo
