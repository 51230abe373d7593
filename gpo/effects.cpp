#include "gpo/effects.h"

#include <algorithm>

#include "custom/store.h"
#include "engine/catalogue.h"
#include "platform/codepage.h"
#include "platform/cp936.h"
#include "platform/files.h"
#include "settings/selection.h"
#include "settings/vorn.h"

namespace tessmar::gpo {
namespace {

// True when path lies strictly below key (both below the same root).
bool below(std::string_view path, std::string_view key) {
    return path.size() > key.size() + 1 && path[key.size()] == '\\' &&
           sameName(path.substr(0, key.size()), key);
}

std::string joined(const engine::RegWrite& w) {
    return w.key.empty() ? w.name : w.key + "\\" + w.name;
}

std::string place(const engine::RegWrite& w) {
    return std::string(platform::rootName(w.root)) + "\\" + joined(w);
}

}  // namespace

bool sameName(std::string_view a, std::string_view b) {
    auto ascii = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return (c & 0x80) == 0; });
    };
    // ASCII is its own code page 936 form; only other names need converting.
    if (ascii(a) && ascii(b)) return platform::cp936::sameName(a, b);
    auto x = platform::toCp936(a), y = platform::toCp936(b);
    // A name without a code page 936 form never reaches the registry; it is only itself.
    if (!x || !y) return a == b;
    return platform::cp936::sameName(*x, *y);
}

Effects finalEffects(const std::vector<engine::RegWrite>& sequence) {
    using Op = engine::RegWrite::Op;
    Effects out;
    for (const engine::RegWrite& w : sequence) {
        auto& live = out.writes;
        if (w.op == Op::SetValue) {
            std::erase_if(live, [&](const engine::RegWrite& e) {
                return e.op == Op::SetValue && e.root == w.root && sameName(e.key, w.key) &&
                       sameName(e.name, w.name);
            });
            live.push_back(w);
            continue;
        }
        if (w.name.empty()) {
            out.notes.push_back(place(w) + "：没有给出要删除的子项名称，未导出。");
            continue;
        }
        const std::string gone = joined(w);
        // Every earlier write opened its key with the create call, so a key below the subkey
        // exists for sure: the delete fails on it, as the apply pass finds.
        bool blocked = std::any_of(live.begin(), live.end(), [&](const engine::RegWrite& e) {
            return e.root == w.root && below(e.key, gone);
        });
        if (blocked) {
            out.notes.push_back(place(w) + "：该子项下还有子项，删除不会生效，未导出。");
            continue;
        }
        std::erase_if(live, [&](const engine::RegWrite& e) {
            if (e.root != w.root) return false;
            if (e.op == Op::SetValue) return sameName(e.key, gone);
            return sameName(joined(e), gone);
        });
        live.push_back(w);
    }
    return out;
}

Result<Effects> storedEffects(const std::filesystem::path& dir) {
    settings::SettingsFile settingsFile(dir);
    if (!settingsFile.exists())
        return fail("找不到设置文件 " + platform::pathText(settingsFile.path()) +
                    "，没有可导出的设置。");
    auto record = settingsFile.read();
    if (!record)
        return fail("无法读取设置文件 " + platform::pathText(settingsFile.path()) + "：" +
                    record.error().message);

    custom::Store store(dir / custom::kEntryFileName);
    if (!store.exists())
        return fail("系统文件丢失,请重新安装!找不到自定项目数据库 " +
                    platform::pathText(store.path()) + "。");
    auto count = store.count();
    if (!count)
        return fail("无法读取自定项目数据库 " + platform::pathText(store.path()) + "：" +
                    count.error().message);

    std::vector<engine::RegWrite> sequence;
    std::vector<std::string> notes;
    for (int category = 0; category <= engine::kCustomCategory; ++category) {
        const std::size_t rows = category == engine::kCustomCategory
                                     ? *count
                                     : engine::builtinCategory(category).items.size();
        const auto& stored = settings::field(*record, engine::settingsFieldOf(category));
        auto flags = settings::parseSelection(stored, rows);
        auto planned = engine::plan(dir, category, flags, static_cast<int>(rows + 1));
        if (!planned) return std::unexpected(planned.error());
        sequence.insert(sequence.end(), planned->writes.begin(), planned->writes.end());
        for (const auto& row : planned->notDone)
            notes.push_back("“" + std::string(engine::categoryName(category)) + "”" + row);
    }
    Effects effects = finalEffects(sequence);
    notes.insert(notes.end(), effects.notes.begin(), effects.notes.end());
    effects.notes = std::move(notes);
    return effects;
}

}  // namespace tessmar::gpo
