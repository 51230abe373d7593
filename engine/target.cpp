#include "engine/target.h"

#include <algorithm>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/registry_view.h"

namespace tessmar::engine {
namespace fs = std::filesystem;
using platform::RegRoot;

namespace {

// The well-known accounts of the system itself and its services: nobody signs in with them.
constexpr std::string_view kSystemSids[] = {"S-1-5-18", "S-1-5-19", "S-1-5-20"};
constexpr const char* kHiveFile = "NTUSER.DAT";
// Our own names for hives loaded under HKEY_USERS, apart from anything the system or another tool
// loads there.
constexpr const char* kMountPrefix = "Tessmar_";

// A path from UTF-8, whatever the system's own narrow encoding.
fs::path pathOf(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// A REG_SZ or REG_EXPAND_SZ value as UTF-8 text; nullopt when it is no text.
std::optional<std::string> textOf(const std::optional<platform::RegValue>& value) {
    if (!value ||
        (value->type != platform::RegType::Sz && value->type != platform::RegType::ExpandSz))
        return std::nullopt;
    std::string bytes(value->data.begin(), value->data.end());
    while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
    auto text = platform::fromCp936(bytes);
    if (!text) return std::nullopt;
    return *text;
}

std::optional<std::string> readText(platform::Registry& registry, std::string_view key,
                                    std::string_view name) {
    auto value = registry.readValue(RegRoot::LocalMachine, key, name);
    if (!value) return std::nullopt;
    return textOf(*value);
}

// A SID of the form S-1-..., each part digits; a key such as "S-1-5-21-…-1001.bak" (the copy
// Windows keeps of a damaged profile) is none.
bool looksLikeSid(std::string_view text) {
    if (!text.starts_with("S-1-")) return false;
    return std::all_of(text.begin() + 2, text.end(),
                       [](char c) { return c == '-' || (c >= '0' && c <= '9'); }) &&
           text.back() != '-';
}

// The last part of a Windows path: the profile folder's own name.
std::string lastPart(std::string_view path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.remove_suffix(1);
    const std::size_t cut = path.find_last_of("\\/");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

std::string marks(const Target& t) {
    std::vector<std::string> m;
    if (t.administrator) m.push_back("管理员");
    if (t.signedIn) m.push_back("已登录");
    if (m.empty()) return "";
    std::string out = "（" + m[0];
    for (std::size_t i = 1; i < m.size(); ++i) out += "，" + m[i];
    return out + "）";
}

}  // namespace

bool homeEdition(platform::Registry& registry) {
    auto edition = readText(registry, kCurrentVersion, "EditionID");
    return edition && edition->starts_with("Core");
}

Result<std::vector<Target>> listTargets(platform::Registry& registry,
                                        platform::Accounts& accounts) {
    auto list = registry.readKey(RegRoot::LocalMachine, kProfileList);
    if (!list) return fail("无法读取本机的账户列表：" + list.error().message);
    const std::optional<std::string> running = accounts.runningSid();
    const std::optional<std::string> session = accounts.sessionSid();

    std::vector<Target> out;
    Target me;
    me.ref.kind = TargetKind::Me;
    me.word = "me";
    me.caption = "当前账户";
    if (running) {
        me.ref.sid = *running;
        me.ref.name = accounts.nameOf(*running).value_or(*running);
        me.administrator = accounts.isAdministrator(*running);
    }
    me.description = me.ref.name.empty() ? "当前账户：运行本程序的账户"
                                         : "当前账户：运行本程序的账户 " + me.ref.name + marks(me);
    out.push_back(std::move(me));

    if (*list) {
        for (const std::string& key : (*list)->subkeys) {
            if (!looksLikeSid(key)) continue;
            if (std::find(std::begin(kSystemSids), std::end(kSystemSids), key) !=
                std::end(kSystemSids))
                continue;
            if (running && sameWord(key, *running)) continue;
            auto image =
                readText(registry, std::string(kProfileList) + "\\" + key, "ProfileImagePath");
            if (!image || image->empty()) continue;
            Target t;
            t.ref.kind = TargetKind::Account;
            t.ref.sid = key;
            const std::string expanded = accounts.expand(*image);
            t.profile = pathOf(expanded);
            t.ref.name = accounts.nameOf(key).value_or(lastPart(expanded));
            if (t.ref.name.empty()) t.ref.name = key;
            t.administrator = accounts.isAdministrator(key);
            t.signedIn = session && sameWord(*session, key);
            t.loaded = registry.keyExists(RegRoot::Users, key);
            t.caption = t.ref.name + marks(t);
            t.description = "账户 " + t.ref.name + marks(t) + "：配置文件 " + expanded;
            out.push_back(std::move(t));
        }
    }
    // Each account's word is its name, unless that is a word of its own or another's name too.
    for (Target& t : out) {
        if (t.ref.kind != TargetKind::Account) continue;
        const bool clash = sameWord(t.ref.name, "me") || sameWord(t.ref.name, "default") ||
                           sameWord(t.ref.name, "standard") ||
                           t.ref.name.find_first_of(" \t") != std::string::npos ||
                           std::count_if(out.begin(), out.end(), [&](const Target& o) {
                               return sameWord(o.ref.name, t.ref.name);
                           }) > 1;
        t.word = clash ? t.ref.sid : t.ref.name;
    }

    Target defaults;
    defaults.ref.kind = TargetKind::Default;
    defaults.word = "default";
    defaults.caption = "以后新建账户";
    std::optional<std::string> folder = readText(registry, kProfileList, "Default");
    if (!folder || folder->empty()) {
        // Before Windows Vista the Default profile was named beside the profiles folder.
        if (auto base = readText(registry, kProfileList, "ProfilesDirectory"))
            folder = *base + "\\Default";
    }
    const std::string expanded = folder ? accounts.expand(*folder) : std::string();
    defaults.profile = pathOf(expanded);
    defaults.description = "以后新建的账户：写入默认配置文件" +
                           (expanded.empty() ? std::string() : " " + expanded) +
                           "，只影响此后新建的账户，现有账户不受影响";
    out.push_back(std::move(defaults));

    Target standard;
    standard.ref.kind = TargetKind::Standard;
    standard.word = "standard";
    standard.caption = "所有标准用户";
    standard.description = "所有标准用户：写入非管理员组的本地组策略，对每个不是管理员的账户生效";
    if (homeEdition(registry)) {
        standard.available = false;
        standard.why =
            "家庭版 Windows "
            "不处理本地组策略，“所有标准用户”在本机不起作用；请在列表中逐个选择要限制的账户。";
        standard.caption += "（家庭版不可用）";
        standard.description += "（家庭版 Windows 不处理本地组策略，不可用；请逐个选择账户）";
    }
    out.push_back(std::move(standard));
    return out;
}

const Target* findTarget(const std::vector<Target>& targets, std::string_view word,
                         platform::Accounts& accounts) {
    if (word.empty()) return nullptr;
    for (const Target& t : targets)
        if (t.word == word) return &t;
    for (const Target& t : targets)
        if ((t.ref.kind == TargetKind::Account || t.ref.kind == TargetKind::Me) &&
            !t.ref.name.empty() && sameWord(t.ref.name, word))
            return &t;
    auto bySid = [&](std::string_view sid) -> const Target* {
        for (const Target& t : targets)
            if ((t.ref.kind == TargetKind::Account || t.ref.kind == TargetKind::Me) &&
                !t.ref.sid.empty() && sameWord(t.ref.sid, sid))
                return &t;
        return nullptr;
    };
    if (const Target* t = bySid(word)) return t;
    // "PC\小明" and other spellings the system knows.
    if (auto sid = accounts.sidOf(word)) return bySid(*sid);
    return nullptr;
}

const Target* findTarget(const std::vector<Target>& targets, const TargetRef& ref) {
    for (const Target& t : targets)
        if (t.ref.same(ref)) return &t;
    return nullptr;
}

std::string choicesKey(const TargetRef& ref) {
    switch (ref.kind) {
        case TargetKind::Me:
            return "";
        case TargetKind::Account:
            return ref.sid;
        case TargetKind::Default:
            return "default";
        case TargetKind::Standard:
            return "standard";
    }
    return "";
}

std::string recordKey(const TargetRef& ref) {
    if (ref.kind == TargetKind::Account) return ref.sid;
    if (ref.kind == TargetKind::Default) return kDefaultUserKey;
    return "";
}

std::string targetName(const TargetRef& ref) {
    switch (ref.kind) {
        case TargetKind::Me:
            return "当前账户";
        case TargetKind::Account:
            return "账户“" + (ref.name.empty() ? ref.sid : ref.name) + "”";
        case TargetKind::Default:
            return "以后新建的账户";
        case TargetKind::Standard:
            return "所有标准用户";
    }
    return "";
}

std::string completionLine(const Target& target) {
    switch (target.ref.kind) {
        case TargetKind::Me:
            return "";
        case TargetKind::Account:
            if (target.signedIn)
                return "已写入" + targetName(target.ref) +
                       "：该账户正登录在本会话中，注销后重新登录即生效（部分设置重新启动资源管理器"
                       "即可）。";
            return "已写入" + targetName(target.ref) +
                   "：下次登录时生效（已登录的，注销后重新登录）。";
        case TargetKind::Default:
            return "已写入以后新建的账户的默认配置：只对此后新建的账户生效，现有账户不受影响。";
        case TargetKind::Standard:
            return "已写入所有标准用户的本地组策略：组策略刷新（gpupdate "
                   "/force）或标准用户下次登录后生效。";
    }
    return "";
}

OpenTarget::OpenTarget(std::unique_ptr<platform::HiveMount> mount,
                       std::vector<std::unique_ptr<platform::Registry>> owned,
                       platform::Registry& view)
    : mount_(std::move(mount)), owned_(std::move(owned)), view_(view) {}

OpenTarget::~OpenTarget() {
    // The views go before what they reach, the hive last.
    while (!owned_.empty()) owned_.pop_back();
    mount_.reset();
}

Status OpenTarget::close() {
    if (!mount_) return {};
    Status unloaded = mount_->unload();
    return unloaded;
}

Result<std::unique_ptr<OpenTarget>> openTarget(platform::Registry& system, const Target& target) {
    auto viewOf = [&](std::unique_ptr<platform::HiveMount> mount, std::string key) {
        std::vector<std::unique_ptr<platform::Registry>> owned;
        owned.push_back(platform::makeRedirectedRegistry(
            system, platform::Redirect{&system, RegRoot::Users, std::move(key)}));
        platform::Registry& view = *owned.back();
        return std::make_unique<OpenTarget>(std::move(mount), std::move(owned), view);
    };
    switch (target.ref.kind) {
        case TargetKind::Me:
            return std::make_unique<OpenTarget>(
                nullptr, std::vector<std::unique_ptr<platform::Registry>>{}, system);
        case TargetKind::Account: {
            // Signed in, or loaded by someone else: written where it is.
            if (system.keyExists(RegRoot::Users, target.ref.sid))
                return viewOf(nullptr, target.ref.sid);
            auto mount =
                platform::mountHive({target.profile / kHiveFile, kMountPrefix + target.ref.sid,
                                     target.ref.sid, targetName(target.ref)});
            if (!mount) return std::unexpected(mount.error());
            std::string key = (*mount)->key();
            return viewOf(std::move(*mount), std::move(key));
        }
        case TargetKind::Default: {
            if (target.profile.empty())
                return fail("本机的账户列表中没有默认配置文件的位置，无法写入以后新建的账户。");
            auto mount = platform::mountHive({target.profile / kHiveFile,
                                              std::string(kMountPrefix) + kDefaultUserKey,
                                              kDefaultUserKey, "默认配置文件"});
            if (!mount) return std::unexpected(mount.error());
            std::string key = (*mount)->key();
            return viewOf(std::move(*mount), std::move(key));
        }
        case TargetKind::Standard:
            break;
    }
    return fail("“所有标准用户”要通过本地组策略写入。");
}

}  // namespace tessmar::engine
