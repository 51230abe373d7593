// A custom entry's meaning, then the same entry applied: the root comes from the trimmed root name
// alone, DWORD text is a whole number in -32768..32767 or nothing, a binary value is the text's
// first four code page 936 bytes padded with zeros. The input is the operation code (first byte)
// and the fields hkey1, subkey1, newkey1, ka1 separated by zero bytes.
#include <algorithm>
#include <variant>

#include "custom/store.h"
#include "engine/apply.h"
#include "platform/codepage.h"
#include "platform/entrydb.h"
#include "platform/files.h"
#include "platform/regedit4.h"
#include "platform/registry.h"
#include "settings/record.h"
#include "settings/vorn.h"
#include "support.h"

#ifdef TESSMAR_FUZZ_WITH_STORE
#include <SQLiteCpp/SQLiteCpp.h>
#endif

using namespace tessmar;
using custom::Entry;

namespace {

// The DWORD rule spelled out plainly: blanks around, one optional sign, digits only, in range.
std::optional<std::int16_t> wholeShort(std::string_view raw) {
    std::string text = settings::trimBlanks(raw);
    std::string_view t = text;
    bool negative = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    if (t.empty()) return std::nullopt;
    long long value = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 40000) return std::nullopt;
    }
    if (negative) value = -value;
    if (value < -32768 || value > 32767) return std::nullopt;
    return static_cast<std::int16_t>(value);
}

platform::RegValue expectedValue(const custom::Operation& op) {
    using platform::RegType;
    if (auto* d = std::get_if<custom::SetDword>(&op.action)) {
        auto v = static_cast<std::uint32_t>(static_cast<std::int32_t>(d->value));
        return {RegType::Dword,
                {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                 static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)}};
    }
    if (auto* s = std::get_if<custom::SetString>(&op.action)) {
        auto bytes = platform::toCp936(s->text);
        std::vector<std::uint8_t> data(bytes->begin(), bytes->end());
        data.push_back(0);
        return {RegType::Sz, data};
    }
    auto bytes = platform::toCp936(std::get<custom::SetBinary>(op.action).text);
    std::vector<std::uint8_t> data(4, 0);
    for (std::size_t i = 0; i < 4 && i < bytes->size(); ++i)
        data[i] = static_cast<std::uint8_t>((*bytes)[i]);
    return {RegType::Binary, data};
}

void meaningRules(const Entry& entry) {
    const auto meaning = custom::meaningOf(entry);
    const bool known = entry.reg && *entry.reg >= 1 && *entry.reg <= 4;
    if (!known) {
        FUZZ_CHECK(std::holds_alternative<custom::NoOperation>(meaning));
        return;
    }
    const auto root = platform::rootFromName(settings::trimBlanks(entry.hkey1));
    const auto dword = wholeShort(entry.ka1);
    if (!root || (*entry.reg == custom::kRegDword && !dword)) {
        FUZZ_CHECK(std::holds_alternative<custom::Unusable>(meaning));
        FUZZ_CHECK(!std::get<custom::Unusable>(meaning).reason.empty());
        return;
    }
    const auto* op = std::get_if<custom::Operation>(&meaning);
    FUZZ_CHECK(op && op->root == *root && op->key == entry.subkey1 && op->name == entry.newkey1);
    switch (*entry.reg) {
        case custom::kRegDword:
            FUZZ_CHECK(std::get_if<custom::SetDword>(&op->action) &&
                       std::get<custom::SetDword>(op->action).value == *dword);
            break;
        case custom::kRegString:
            FUZZ_CHECK(std::get_if<custom::SetString>(&op->action) &&
                       std::get<custom::SetString>(op->action).text == entry.ka1);
            break;
        case custom::kRegBinary:
            FUZZ_CHECK(std::get_if<custom::SetBinary>(&op->action) &&
                       std::get<custom::SetBinary>(op->action).text == entry.ka1);
            break;
        default:
            FUZZ_CHECK(std::holds_alternative<custom::DeleteSubkey>(op->action));
            break;
    }
}

#ifdef TESSMAR_FUZZ_WITH_STORE
class Quiet : public platform::MessageBoxes {
  public:
    platform::Answer show(const std::string&, const std::string&, platform::Buttons) override {
        return platform::Answer::Ok;
    }
};

// The entry stored as the only record of user.dat and applied by the apply pass, as "确定生效" in
// the custom category does; the registry then holds exactly the value the meaning promises.
void applyRules(const Entry& entry) {
    const auto meaning = custom::meaningOf(entry);
    const auto* op = std::get_if<custom::Operation>(&meaning);
    if (!op || std::holds_alternative<custom::DeleteSubkey>(op->action)) return;

    const auto& dir = fuzz::scratchDir();
    const custom::Store store(dir / custom::kEntryFileName);
    static const bool ready = [&] {
        {
            SQLite::Database db(store.path().string(),
                                SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            db.exec(platform::EntryDatabase::schema());
        }
        return store.append(Entry{"seed", "HKEY_CURRENT_USER", "K", "v", "1", 1}).has_value() &&
               settings::SettingsFile(dir).createForChecklist("C:\\WINDOWS").has_value();
    }();
    FUZZ_CHECK(ready);
    FUZZ_CHECK(store.changeAt(0, entry).has_value());

    const auto regFile = dir / "registry.reg";
    std::error_code ec;
    std::filesystem::remove(regFile, ec);
    auto registry = platform::makeFileRegistry(regFile);
    Quiet quiet;
    const std::string before =
        platform::readFile(dir / settings::kSettingsFileName).value_or(std::string());
    auto outcome = engine::apply({dir, *registry, quiet}, {4, {false, true}, 2});
    // A name that a line of the history record cannot carry (a control character, DEL among
    // them, in its code page 936 form) stops the pass before it writes anything: neither the
    // registry nor the settings file changes.
    const auto unrecordable = [](const std::string& text) {
        if (const auto bytes = platform::toCp936(text))
            return !platform::regedit4::printable(*bytes);
        return std::any_of(text.begin(), text.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        });
    };
    if (unrecordable(op->key) || unrecordable(op->name)) {
        // Unless the write could not be formed at all (its datum has no code page 936 form), in
        // which case the pass says so and writes nothing either.
        if (outcome.settingsWritten) {
            FUZZ_CHECK(!outcome.notWritten.empty());
            return;
        }
        FUZZ_CHECK(!std::filesystem::exists(regFile));
        FUZZ_CHECK(platform::readFile(dir / settings::kSettingsFileName).value_or(std::string()) ==
                   before);
        return;
    }
    FUZZ_CHECK(outcome.settingsWritten);
    // Names the stand-in cannot hold are reported, not written; only what was written is checked.
    if (!outcome.notWritten.empty()) return;
    auto key = platform::toCp936(op->key);
    auto name = platform::toCp936(op->name);
    FUZZ_CHECK(key && name);
    FUZZ_CHECK(registry->queryValue(op->root, *key, *name) == expectedValue(*op));
}
#endif

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto fields = fuzz::pieces(fuzz::text(data + 1, size - 1));
    auto at = [&](std::size_t i) {
        return i < fields.size() ? std::string(fields[i]) : std::string();
    };
    Entry entry{"名称", at(0), at(1), at(2), at(3), std::nullopt};
    // Mostly the four codes; now and then none, or one that no editor writes.
    const int pick = data[0] % 8;
    if (pick >= 1 && pick <= 4) entry.reg = static_cast<std::int16_t>(pick);
    if (pick == 5) entry.reg = static_cast<std::int16_t>(data[0] * 257 - 40000);
    meaningRules(entry);
#ifdef TESSMAR_FUZZ_WITH_STORE
    applyRules(entry);
#endif
    return 0;
}
