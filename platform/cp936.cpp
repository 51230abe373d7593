#include "platform/cp936.h"

#include <array>

namespace tessmar::platform::cp936 {
namespace {

// The double-byte lower-case letters by lead byte and trail byte range, and how far above their
// upper-case forms their trail bytes lie.
struct CaseRange {
    unsigned char lead, firstTrail, lastTrail;
    int aboveUpper;
};
constexpr std::array<CaseRange, 4> kLowerCase{{
    {0xA2, 0xA1, 0xAA, -0x50},  // ⅰ..ⅹ, Ⅰ..Ⅹ at A2F1
    {0xA3, 0xE1, 0xFA, 0x20},   // ａ..ｚ
    {0xA6, 0xC1, 0xD8, 0x20},   // α..ω
    {0xA7, 0xD1, 0xF1, 0x30},   // а..я, ё among them
}};

}  // namespace

std::size_t charLength(std::string_view s, std::size_t i) {
    if (isLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() &&
        isTrail(static_cast<unsigned char>(s[i + 1])))
        return 2;
    return 1;
}

std::vector<std::string_view> splitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size();) {
        std::size_t n = charLength(path, i);
        if (n == 1 && path[i] == '\\') {
            parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
        i += n;
    }
    parts.push_back(path.substr(start));
    return parts;
}

std::string foldName(std::string_view name) {
    std::string out(name);
    for (std::size_t i = 0; i < out.size();) {
        std::size_t n = charLength(out, i);
        if (n == 1 && out[i] >= 'a' && out[i] <= 'z')
            out[i] = static_cast<char>(out[i] - 'a' + 'A');
        if (n == 2) {
            auto lead = static_cast<unsigned char>(out[i]);
            auto trail = static_cast<unsigned char>(out[i + 1]);
            for (const auto& r : kLowerCase)
                if (lead == r.lead && trail >= r.firstTrail && trail <= r.lastTrail)
                    out[i + 1] = static_cast<char>(trail - r.aboveUpper);
        }
        i += n;
    }
    return out;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && foldName(a) == foldName(b);
}

}  // namespace tessmar::platform::cp936
