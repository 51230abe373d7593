#include "engine/history.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <optional>
#include <set>
#include <system_error>
#include <tuple>

#include "engine/catalogue.h"
#include "engine/passlock.h"
#include "engine/state.h"
#include "platform/codepage.h"
#include "platform/cp936.h"
#include "platform/files.h"
#include "platform/regedit4.h"

namespace tessmar::engine {
namespace fs = std::filesystem;
using platform::RegRoot;
using platform::RegValue;
// A place the pass changes (not the target of the pass, which is whose registry it is).
using Place = state::Target;

namespace {

// A name with a line break would end its line in the record, and what follows would be imported
// as lines of their own.
using platform::regedit4::printable;

// The record's facts, as its comment lines carry them.
struct Meta {
    std::string time;
    int category = -1;
    bool restore = false;
    std::string restoredFrom;
    std::size_t changed = 0;
    TargetRef target;
};

// A value or a deleted subkey as the record found it and as the pass left it.
struct Recorded {
    Place::Kind kind = Place::Kind::Value;
    RegRoot root{};
    std::string key, name;                  // code page 936
    std::optional<RegValue> before, after;  // Value
    bool present = false;                   // Subkey: it was there
    std::size_t values = 0, subkeys = 0;    // Subkey: what was below it
    std::size_t row = 0;
};

// One section of the importable part: a key and the state of its values.
struct Section {
    RegRoot root{};
    std::string path;
    std::vector<platform::regedit4::ParsedValue> values;
};

struct Parsed {
    Meta meta;
    std::vector<Recorded> changes;  // in the order of the pass
    std::vector<Section> body;
};

constexpr std::string_view kTime = ";@time ";
constexpr std::string_view kCategory = ";@category ";
constexpr std::string_view kKind = ";@kind ";
constexpr std::string_view kChanged = ";@changed ";
constexpr std::string_view kValue = ";@value ";
constexpr std::string_view kSubkey = ";@subkey ";
constexpr std::string_view kEnd = ";@end";
constexpr std::string_view kTarget = ";@target ";
// Leads each line of the standard users' policy half: the registry editor skips it as a comment.
constexpr std::string_view kPolicy = ";|";

std::string cp936OrAsIs(std::string_view utf8) {
    auto bytes = platform::toCp936(utf8);
    return bytes ? *bytes : std::string("?");
}

std::string fileNameText(const fs::path& file) {
    return platform::pathText(file.filename());
}

std::tm localTime(std::chrono::system_clock::time_point now) {
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    // The tool runs one thread, so the shared buffer of localtime is safe here.
    const std::tm* tm = std::localtime(&t);
    return tm ? *tm : std::tm{};
}

std::string joined(std::string_view key, std::string_view name) {
    if (key.empty()) return std::string(name);
    return std::string(key) + "\\" + std::string(name);
}

// Where a place of the target's view stands in the record: another account's HKEY_CURRENT_USER as
// its key under HKEY_USERS; the standard users' policy as HKEY_CURRENT_USER in commented lines.
struct Spelled {
    RegRoot root;
    std::string path;
    bool policy = false;
};

Spelled spell(const TargetRef& target, RegRoot root, std::string_view path) {
    if (root == RegRoot::CurrentUser) {
        if (const std::string key = recordKey(target); !key.empty())
            return {RegRoot::Users, path.empty() ? key : key + "\\" + std::string(path)};
        if (target.kind == TargetKind::Standard) return {root, std::string(path), true};
    }
    return {root, std::string(path)};
}

// The place in the target's view that a section of the record names.
std::pair<RegRoot, std::string> unspell(const TargetRef& target, RegRoot root, std::string path) {
    const std::string key = recordKey(target);
    if (key.empty() || root != RegRoot::Users) return {root, std::move(path)};
    auto parts = platform::cp936::splitPath(path);
    if (!platform::cp936::sameName(parts.front(), key)) return {root, std::move(path)};
    return {RegRoot::CurrentUser,
            path.size() > parts.front().size() ? path.substr(parts.front().size() + 1) : ""};
}

// Every line of text led by the policy mark.
std::string commented(std::string_view text) {
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = text.find('\n', pos);
        end = end == std::string_view::npos ? text.size() : end + 1;
        out += std::string(kPolicy) + std::string(text.substr(pos, end - pos));
        pos = end;
    }
    return out;
}

// A value line on one line, for a comment: the hex wrapping undone.
std::string oneLineValue(std::string_view name, const std::optional<RegValue>& value) {
    std::string line = value ? platform::regedit4::valueLine(name, *value)
                             : platform::regedit4::deletionLine(name);
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line.compare(i, 5, "\\\r\n  ") == 0) {
            i += 4;
            continue;
        }
        out.push_back(line[i]);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

void appendTree(std::string& out, const TargetRef& target, RegRoot root,
                const state::KeyTree& tree) {
    const Spelled s = spell(target, root, tree.path);
    std::string lines = platform::regedit4::sectionLine(s.root, s.path);
    for (const auto& value : tree.values)
        lines += platform::regedit4::valueLine(value.name, value.value);
    out += "\r\n" + (s.policy ? commented(lines) : lines);
    for (const auto& child : tree.subkeys) appendTree(out, target, root, child);
}

// The record's own words about whose registry it holds, for whoever opens it.
std::string targetLines(const TargetRef& target) {
    std::string out;
    switch (target.kind) {
        case TargetKind::Me:
            return out;
        case TargetKind::Account: {
            auto name = platform::toCp936(target.name);
            out += std::string(kTarget) + "account " + target.sid +
                   (name && printable(*name) && !name->empty() ? " " + *name : "") + "\r\n";
            out += cp936OrAsIs("; 本记录是" + targetName(target) + "的注册表（HKEY_USERS\\" +
                               target.sid +
                               "）：在该账户登录时导入，或先用 reg load 把其 NTUSER.DAT "
                               "加载到这个名称下。") +
                   "\r\n";
            return out;
        }
        case TargetKind::Default:
            out += std::string(kTarget) + "default\r\n";
            out += cp936OrAsIs(std::string("; 本记录是以后新建的账户的默认配置（HKEY_USERS\\") +
                               kDefaultUserKey + "）：导入前先用 reg load HKU\\" + kDefaultUserKey +
                               " 加载默认配置文件的 NTUSER.DAT。") +
                   "\r\n";
            return out;
        case TargetKind::Standard:
            out += std::string(kTarget) + "standard\r\n";
            out += cp936OrAsIs(
                       "; 所有标准用户的组策略部分以“;|”开头，注册表编辑器不会导入；请在 "
                       "Tessmar 的“设置历史与恢复”中恢复。") +
                   "\r\n";
            return out;
    }
    return out;
}

std::string recordText(const Meta& meta, const std::vector<Place>& targets,
                       const std::vector<state::Before>& before) {
    std::string name(categoryName(meta.category));
    std::string out = std::string(platform::regedit4::kHeader) + "\r\n\r\n";
    out += cp936OrAsIs(meta.restore
                           ? "; Tessmar 历史记录：恢复“" + name +
                                 "”设置之前的注册表状态。用注册表编辑器导入本文件即可恢复。"
                           : "; Tessmar 历史记录：“" + name +
                                 "”设置写入注册表之前的状态。用注册表编辑器导入本文件即可恢复。");
    out += "\r\n";
    out += std::string(kTime) + meta.time + "\r\n";
    out += std::string(kCategory) + std::to_string(meta.category) + "\r\n";
    out += std::string(kKind) + (meta.restore ? "restore " + meta.restoredFrom : "apply") + "\r\n";
    out += std::string(kChanged) + std::to_string(meta.changed) + "\r\n";
    out += targetLines(meta.target);

    std::optional<std::pair<RegRoot, std::string>> section;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const Place& t = targets[i];
        if (t.kind == Place::Kind::Subkey) {
            const Spelled s = spell(meta.target, t.root, joined(t.key, t.name));
            out += "\r\n" + std::string(kSubkey) + std::to_string(t.row) +
                   (before[i].tree ? " present " : " absent ") +
                   platform::regedit4::sectionLine(s.root, s.path);
            // The header in the comment names the subkey even when it is absent; when present, its
            // own sections follow, for the registry editor to make again.
            if (before[i].tree) appendTree(out, meta.target, t.root, *before[i].tree);
            out += std::string(kEnd) + "\r\n";
            section.reset();
            continue;
        }
        const Spelled s = spell(meta.target, t.root, t.key);
        if (!section || section->first != t.root || section->second != t.key) {
            const std::string line = platform::regedit4::sectionLine(s.root, s.path);
            out += "\r\n" + (s.policy ? commented(line) : line);
            section.emplace(t.root, t.key);
        }
        out += std::string(kValue) + std::to_string(t.row) + " " + oneLineValue(t.name, t.after) +
               "\r\n";
        const std::string was = before[i].value
                                    ? platform::regedit4::valueLine(t.name, *before[i].value)
                                    : platform::regedit4::deletionLine(t.name);
        out += s.policy ? commented(was) : was;
    }
    out += "\r\n";
    return out;
}

// --- Reading a record

using platform::regedit4::trim;

std::optional<std::size_t> number(std::string_view text) {
    std::size_t n = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return n;
}

// Whether path is top or a key below it.
bool under(std::string_view path, std::string_view top) {
    auto p = platform::cp936::splitPath(path), t = platform::cp936::splitPath(top);
    return p.size() >= t.size() &&
           std::equal(t.begin(), t.end(), p.begin(), platform::cp936::sameName);
}

Result<Parsed> parse(std::string_view bytes, const std::string& fileName) {
    auto bad = [&](std::size_t line, const char* why) {
        return fail("历史记录 " + fileName + " 第 " + std::to_string(line) + " 行" + why);
    };
    auto lines = platform::regedit4::splitLines(bytes);
    // The standard users' policy half is read like the rest once its mark is off.
    for (auto& line : lines)
        if (line.text.starts_with(kPolicy)) line.text.remove_prefix(kPolicy.size());
    if (!platform::regedit4::startsWithHeader(lines))
        return fail("历史记录 " + fileName + " 不是 REGEDIT4 格式的注册表文件");

    Parsed out;
    bool sawCategory = false;
    std::optional<Recorded> pending;
    std::optional<std::size_t> subkey;  // the deleted subkey whose sections follow
    std::string subkeyPath;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::size_t lineNo = lines[i].number;
        std::string_view t = trim(lines[i].text);
        if (t.empty()) continue;
        if (t.front() == ';') {
            if (t.starts_with(kTime)) {
                out.meta.time = std::string(trim(t.substr(kTime.size())));
            } else if (t.starts_with(kCategory)) {
                auto n = number(trim(t.substr(kCategory.size())));
                if (!n || *n > static_cast<std::size_t>(kCustomCategory))
                    return bad(lineNo, "的类别不能识别");
                out.meta.category = static_cast<int>(*n);
                sawCategory = true;
            } else if (t.starts_with(kKind)) {
                std::string_view kind = trim(t.substr(kKind.size()));
                if (kind.starts_with("restore")) {
                    out.meta.restore = true;
                    out.meta.restoredFrom = std::string(trim(kind.substr(7)));
                } else if (kind != "apply") {
                    return bad(lineNo, "的记录种类不能识别");
                }
            } else if (t.starts_with(kTarget)) {
                std::string_view rest = trim(t.substr(kTarget.size()));
                std::string_view kind = rest.substr(0, rest.find(' '));
                rest.remove_prefix(kind.size());
                rest = trim(rest);
                if (kind == "account") {
                    std::string_view sid = rest.substr(0, rest.find(' '));
                    if (sid.empty()) return bad(lineNo, "的账户不能识别");
                    out.meta.target.kind = TargetKind::Account;
                    out.meta.target.sid = std::string(sid);
                    out.meta.target.name =
                        platform::fromCp936(trim(rest.substr(sid.size()))).value_or("");
                } else if (kind == "default") {
                    out.meta.target.kind = TargetKind::Default;
                } else if (kind == "standard") {
                    out.meta.target.kind = TargetKind::Standard;
                } else {
                    return bad(lineNo, "的账户不能识别");
                }
            } else if (t.starts_with(kChanged)) {
                auto n = number(trim(t.substr(kChanged.size())));
                if (!n) return bad(lineNo, "的更改数目不能识别");
                out.meta.changed = *n;
            } else if (t.starts_with(kValue)) {
                if (pending) return bad(lineNo - 1, "之后缺少原来的值");
                if (out.body.empty()) return bad(lineNo, "的值之前没有项名");
                std::string_view rest = t.substr(kValue.size());
                std::size_t blank = rest.find(' ');
                auto row = number(rest.substr(0, blank));
                auto after = blank == std::string_view::npos
                                 ? std::nullopt
                                 : platform::regedit4::parseValueLine(rest.substr(blank + 1));
                if (!row || !after) return bad(lineNo, "写入的值不能识别");
                const Section& s = out.body.back();
                pending.emplace();
                pending->root = s.root;
                pending->key = s.path;
                pending->name = after->name;
                pending->after = after->value;
                pending->row = *row;
                subkey.reset();
            } else if (t.starts_with(kSubkey)) {
                if (pending) return bad(lineNo - 1, "之后缺少原来的值");
                std::string_view rest = t.substr(kSubkey.size());
                std::size_t b1 = rest.find(' ');
                std::size_t b2 = b1 == std::string_view::npos ? b1 : rest.find(' ', b1 + 1);
                auto row = number(rest.substr(0, b1));
                std::string_view state =
                    b1 == std::string_view::npos ? "" : rest.substr(b1 + 1, b2 - b1 - 1);
                auto header = platform::regedit4::parseSection(
                    b2 == std::string_view::npos ? "" : trim(rest.substr(b2 + 1)));
                if (!row || !header || (state != "present" && state != "absent"))
                    return bad(lineNo, "删除的子项不能识别");
                std::tie(header->root, header->path) =
                    unspell(out.meta.target, header->root, std::move(header->path));
                Recorded r;
                r.kind = Place::Kind::Subkey;
                r.root = header->root;
                auto parts = platform::cp936::splitPath(header->path);
                r.name = std::string(parts.back());
                r.key = header->path.substr(0, header->path.size() - r.name.size());
                if (!r.key.empty()) r.key.pop_back();
                r.present = state == "present";
                r.row = *row;
                out.changes.push_back(std::move(r));
                subkey = out.changes.size() - 1;
                subkeyPath = header->path;
            } else if (t == kEnd) {
                subkey.reset();
            }
            continue;
        }
        if (t.front() == '[') {
            if (pending) return bad(lineNo - 1, "之后缺少原来的值");
            auto header = platform::regedit4::parseSection(t);
            if (!header) return bad(lineNo, header.error());
            std::tie(header->root, header->path) =
                unspell(out.meta.target, header->root, std::move(header->path));
            if (subkey) {
                Recorded& s = out.changes[*subkey];
                if (s.root == header->root && under(header->path, subkeyPath)) {
                    if (!platform::cp936::sameName(header->path, subkeyPath)) ++s.subkeys;
                } else {
                    subkey.reset();
                }
            }
            out.body.push_back({header->root, std::move(header->path), {}});
            continue;
        }
        auto value = platform::regedit4::readValue(lines, i);
        if (!value) return bad(lineNo, value.error());
        if (out.body.empty()) return bad(lineNo, "的值之前没有项名");
        if (pending) {
            if (!platform::cp936::sameName(pending->name, value->name))
                return bad(lineNo, "不是写入的值原来的状态");
            pending->before = value->value;
            out.changes.push_back(std::move(*pending));
            pending.reset();
        } else if (subkey) {
            ++out.changes[*subkey].values;
        }
        out.body.back().values.push_back(std::move(*value));
    }
    if (pending) return bad(lines.back().number, "之后缺少原来的值");
    if (!sawCategory) return fail("历史记录 " + fileName + " 中没有类别");
    return out;
}

Result<Parsed> parseFile(const fs::path& file) {
    auto bytes = platform::readFile(file);
    if (!bytes) return std::unexpected(bytes.error());
    return parse(*bytes, fileNameText(file));
}

std::string shown(std::string_view cp936) {
    auto text = platform::fromCp936(cp936);
    return text ? *text : std::string("？");
}

HistoryEntry entryOf(const fs::path& file, const Meta& meta) {
    HistoryEntry entry;
    entry.file = file;
    entry.time = shown(meta.time);
    entry.category = meta.category;
    entry.categoryName = std::string(categoryName(meta.category));
    entry.restore = meta.restore;
    entry.restoredFrom = shown(meta.restoredFrom);
    entry.changed = meta.changed;
    entry.target = meta.target;
    return entry;
}

// "20261208-090531-001-1.reg": the time as its name gives it, for a record that cannot be read.
std::optional<std::string> timeOfName(const std::string& name) {
    if (name.size() < 22 || name[8] != '-' || name[15] != '-') return std::nullopt;
    for (std::size_t i : {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14})
        if (name[i] < '0' || name[i] > '9') return std::nullopt;
    return name.substr(0, 4) + "-" + name.substr(4, 2) + "-" + name.substr(6, 2) + " " +
           name.substr(9, 2) + ":" + name.substr(11, 2) + ":" + name.substr(13, 2);
}

std::string unsafeName(RegRoot root, std::string_view key, std::string_view name) {
    return "注册表中的名称 " + state::where(root, key, name) +
           " 含有换行等控制字符，无法写入注册表编辑器文件";
}

Status namesFit(RegRoot root, const state::KeyTree& tree) {
    if (!printable(tree.path)) return fail(unsafeName(root, tree.path, ""));
    for (const auto& value : tree.values)
        if (!printable(value.name)) return fail(unsafeName(root, tree.path, value.name));
    for (const auto& child : tree.subkeys)
        if (auto fits = namesFit(root, child); !fits) return fits;
    return {};
}

Result<fs::path> writeRecord(const fs::path& dir, platform::Registry& registry,
                             const std::vector<Place>& targets, Meta meta,
                             std::chrono::system_clock::time_point now) {
    auto before = state::readBefore(registry, targets);
    if (!before) return fail("无法读取注册表中现有的值：" + before.error().message);
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const Place& t = targets[i];
        if (!printable(t.key) || !printable(t.name)) return fail(unsafeName(t.root, t.key, t.name));
        if ((*before)[i].tree)
            if (auto fits = namesFit(t.root, *(*before)[i].tree); !fits)
                return std::unexpected(fits.error());
    }
    if (!printable(meta.restoredFrom)) return fail("历史记录的文件名中含有控制字符");
    meta.changed = 0;
    for (std::size_t i = 0; i < targets.size(); ++i)
        if (state::changes(targets[i], (*before)[i])) ++meta.changed;
    std::tm tm = localTime(now);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    meta.time = buf;
    auto file = historyFileName(dir, meta.category, now);
    if (!file) return std::unexpected(file.error());
    if (auto written = platform::writeFileAtomic(*file, recordText(meta, targets, *before));
        !written)
        return std::unexpected(written.error());
    return *file;
}

}  // namespace

std::string targetWhere(const TargetRef& target, RegRoot root, std::string_view key,
                        std::string_view name) {
    const Spelled s = spell(target, root, key);
    std::string out =
        (s.policy ? "所有标准用户的组策略 " : "") + state::where(s.root, s.path, name);
    if (root == RegRoot::LocalMachine && target.kind != TargetKind::Me) out += "（本机所有账户）";
    return out;
}

Result<fs::path> historyFileName(const fs::path& dir, int category,
                                 std::chrono::system_clock::time_point now) {
    fs::path folder = dir / kHistoryDirName;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec))
        return fail("无法建立文件夹 " + platform::pathText(folder));
    std::tm tm = localTime(now);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
    // A counter is taken when a record of this second has it, whatever its category.
    auto taken = [&](const std::string& prefix) {
        for (int c = 0; c <= kCustomCategory; ++c)
            if (fs::exists(folder / (prefix + std::to_string(c) + ".reg"), ec)) return true;
        return false;
    };
    for (int n = 1; n <= 999; ++n) {
        char counter[8];
        std::snprintf(counter, sizeof counter, "%03d", n);
        std::string prefix = std::string(stamp) + "-" + counter + "-";
        if (!taken(prefix)) return folder / (prefix + std::to_string(category) + ".reg");
    }
    return fail("同一秒内的历史记录太多，无法再保存");
}

Result<fs::path> recordPlan(const fs::path& dir, platform::Registry& registry, const Plan& plan,
                            std::chrono::system_clock::time_point now, const TargetRef& target) {
    Meta meta;
    meta.category = plan.category;
    meta.target = target;
    return writeRecord(dir, registry, state::targetsOf(plan), meta, now);
}

Result<std::vector<HistoryEntry>> listHistory(const fs::path& dir) {
    fs::path folder = dir / kHistoryDirName;
    std::vector<HistoryEntry> out;
    std::error_code ec;
    if (!fs::exists(folder, ec)) return out;
    std::vector<fs::path> files;
    for (const auto& item : fs::directory_iterator(folder, ec)) {
        std::string name = platform::pathText(item.path().filename());
        if (item.is_regular_file(ec) && name.ends_with(".reg") && timeOfName(name))
            files.push_back(item.path());
    }
    if (ec) return fail("无法读取文件夹 " + platform::pathText(folder));
    // The names sort as the records were made.
    std::sort(files.begin(), files.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename() > b.filename(); });
    for (const auto& file : files) {
        auto parsed = parseFile(file);
        if (parsed) {
            out.push_back(entryOf(file, parsed->meta));
            continue;
        }
        HistoryEntry damaged;
        damaged.file = file;
        damaged.time = *timeOfName(fileNameText(file));
        damaged.category = -1;
        damaged.problem = parsed.error().message;
        out.push_back(std::move(damaged));
    }
    return out;
}

Result<HistoryRecord> readHistory(const fs::path& file) {
    auto parsed = parseFile(file);
    if (!parsed) return std::unexpected(parsed.error());
    HistoryRecord record;
    record.entry = entryOf(file, parsed->meta);
    for (const auto& c : parsed->changes) {
        if (c.kind == Place::Kind::Value ? c.before == c.after : !c.present) {
            ++record.unchanged;
            continue;
        }
        const std::string where = targetWhere(parsed->meta.target, c.root, c.key, c.name);
        if (c.kind == Place::Kind::Value)
            record.changes.push_back(
                {where, state::describe(c.before), state::describe(c.after), c.row});
        else
            record.changes.push_back(
                {where, state::describeSubkey(c.values, c.subkeys), state::kDeletedText, c.row});
    }
    return record;
}

namespace {

// A long list of failures is cut here, as the apply pass cuts its own.
constexpr std::size_t kListedFailures = 20;

// The record's values as places, one per place: a value that a deleted subkey held and a value
// the pass wrote may be the same one.
std::vector<Place> restoreTargets(const Parsed& parsed) {
    std::vector<Place> targets;
    std::set<std::tuple<std::uint32_t, std::string, std::string>> seen;
    for (const auto& section : parsed.body)
        for (const auto& value : section.values) {
            auto id = std::tuple(static_cast<std::uint32_t>(section.root),
                                 platform::cp936::foldName(section.path),
                                 platform::cp936::foldName(value.name));
            if (!seen.insert(std::move(id)).second) continue;
            Place t;
            t.root = section.root;
            t.key = section.path;
            t.name = value.name;
            t.after = value.value;
            targets.push_back(std::move(t));
        }
    return targets;
}

}  // namespace

Status restore(const fs::path& dir, platform::Registry& registry, const fs::path& file) {
    auto lock = lockPass(dir);
    if (!lock) return fail(lock.error().message + "\n恢复没有执行，注册表没有改动。");
    auto parsed = parseFile(file);
    if (!parsed) return fail("无法恢复：" + parsed.error().message + "\n注册表没有改动。");
    Meta meta;
    meta.category = parsed->meta.category;
    meta.restore = true;
    meta.restoredFrom = platform::toCp936(fileNameText(file)).value_or("?");
    meta.target = parsed->meta.target;
    auto recorded =
        writeRecord(dir, registry, restoreTargets(*parsed), meta, std::chrono::system_clock::now());
    if (!recorded)
        return fail("无法保存历史记录：" + recorded.error().message +
                    "\n恢复没有执行，注册表没有改动。");

    std::vector<std::string> failures;
    registry.beginGroup();
    for (const auto& section : parsed->body) {
        auto key = registry.createKey(section.root, section.path);
        if (!key) {
            failures.push_back("未能打开或建立注册表项 " +
                               state::where(section.root, section.path, "") + "：" +
                               key.error().message);
            continue;
        }
        for (const auto& value : section.values) {
            Status done = value.value ? registry.setValue(*key, value.name, value.value->type,
                                                          value.value->data)
                                      : registry.deleteValue(*key, value.name);
            if (!done)
                failures.push_back("未能恢复注册表值 " +
                                   state::where(section.root, section.path, value.name) + "：" +
                                   done.error().message);
        }
        registry.closeKey(*key);
    }
    if (auto stored = registry.endGroup(); !stored)
        failures = {"注册表未能保存，本次恢复的全部写入都没有生效：" + stored.error().message};
    if (failures.empty()) return {};
    std::string text = "恢复没有全部完成，以下各项没有恢复：";
    std::size_t listed = std::min(failures.size(), kListedFailures);
    for (std::size_t i = 0; i < listed; ++i) text += "\n" + failures[i];
    if (failures.size() > listed) text += "\n……等共 " + std::to_string(failures.size()) + " 项";
    return fail(text);
}

namespace {
// A blank between Chinese and a following Latin word, none before a full-width bracket.
std::string spaced(const std::string& text) {
    return text.starts_with("（") ? text : " " + text;
}
}  // namespace

Result<std::map<std::size_t, std::vector<std::string>>> drift(const fs::path& dir,
                                                              platform::Registry& registry,
                                                              int category,
                                                              const TargetRef& target) {
    std::map<std::size_t, std::vector<std::string>> out;
    auto entries = listHistory(dir);
    if (!entries) return std::unexpected(entries.error());
    auto newest = std::find_if(entries->begin(), entries->end(), [&](const HistoryEntry& e) {
        return e.category == category && !e.restore && e.problem.empty() && e.target.same(target);
    });
    if (newest == entries->end()) return out;
    auto parsed = parseFile(newest->file);
    if (!parsed) return std::unexpected(parsed.error());
    for (const auto& c : parsed->changes) {
        std::string where = targetWhere(target, c.root, c.key, c.name);
        if (c.kind == Place::Kind::Subkey) {
            auto now = registry.readKey(c.root, joined(c.key, c.name));
            if (!now) return std::unexpected(now.error());
            if (*now) out[c.row].push_back(where + "：子项现在存在，上次设置时已将其删除");
            continue;
        }
        auto now = registry.readValue(c.root, c.key, c.name);
        if (!now) return std::unexpected(now.error());
        if (*now != c.after)
            out[c.row].push_back(where + "：现为" + spaced(state::describe(*now)) + "，上次设置为" +
                                 spaced(state::describe(c.after)));
    }
    return out;
}

}  // namespace tessmar::engine
