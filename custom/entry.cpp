#include "custom/entry.h"

#include <array>
#include <charconv>
#include <limits>
#include <utility>

#include "settings/record.h"

namespace tessmar::custom {
namespace {

constexpr std::array<std::pair<std::int16_t, const char*>, 4> kTypeTexts{{
    {kRegDword, "DWORD 值(D)"},
    {kRegString, "字符串值(S)"},
    {kRegBinary, "二进制值(B)"},
    {kRegDeleteKey, "删除子项(U)"},
}};

// A whole decimal number in -32768..32767: blanks around it and one leading sign are allowed,
// anything else (a fraction, trailing letters, an empty text, a number out of range) is not.
std::optional<std::int16_t> parseShort(std::string_view data) {
    const std::string trimmed = settings::trimBlanks(data);
    std::string_view text = trimmed;
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
    long magnitude = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    long value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

std::string entryLabel(const Entry& entry) {
    const std::string name = settings::trimBlanks(entry.sm);
    return name.empty() ? "自定项目（无名称）" : "自定项目“" + name + "”";
}

}  // namespace

const char* typeText(std::int16_t code) {
    for (const auto& [c, text] : kTypeTexts)
        if (c == code) return text;
    return nullptr;
}

std::optional<std::int16_t> typeCode(std::string_view text) {
    const std::string trimmed = settings::trimBlanks(text);
    for (const auto& [code, t] : kTypeTexts)
        if (trimmed == t) return code;
    return std::nullopt;
}

Meaning meaningOf(const Entry& entry) {
    // An entry without one of the four codes does nothing, whatever its other fields hold.
    if (!entry.reg || !typeText(*entry.reg)) return NoOperation{};

    const std::string rootText = settings::trimBlanks(entry.hkey1);
    auto root = platform::rootFromName(rootText);
    if (!root)
        return Unusable{entryLabel(entry) + "的配置单元“" + rootText +
                        "”不是 HKEY_CLASSES_ROOT、HKEY_CURRENT_USER、HKEY_LOCAL_MACHINE、"
                        "HKEY_USERS 之一，未予设置。"};

    Operation op{*root, entry.subkey1, entry.newkey1, DeleteSubkey{}};
    switch (*entry.reg) {
        case kRegDword: {
            auto value = parseShort(entry.ka1);
            if (!value)
                return Unusable{entryLabel(entry) + "的值“" + entry.ka1 +
                                "”不是 -32768 到 32767 之间的整数，未予设置。"};
            op.action = SetDword{*value};
            break;
        }
        case kRegString:
            op.action = SetString{entry.ka1};
            break;
        case kRegBinary:
            op.action = SetBinary{entry.ka1};
            break;
        default:
            op.action = DeleteSubkey{};
            break;
    }
    return op;
}

}  // namespace tessmar::custom
