#include "settings/selection.h"

namespace tessmar::settings {

std::vector<bool> onesAt(std::string_view text, std::size_t n) {
    std::vector<bool> ones(n + 1, false);
    std::size_t position = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A continuation byte belongs to the character before it.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (++position > n) break;
        ones[position] = text[i] == '1';
    }
    return ones;
}

std::vector<bool> parseSelection(const Field& stored, std::size_t n) {
    if (!stored) return std::vector<bool>(n + 1, false);
    return onesAt(trimBlanks(*stored), n);
}

std::string buildSelection(const std::vector<bool>& flags, std::size_t n) {
    std::string s;
    s.reserve(n);
    for (std::size_t i = 1; i <= n; ++i) s += (i < flags.size() && flags[i]) ? '1' : '0';
    return s;
}

Checklist makeChecklist(const std::string& title, const std::vector<std::string>& captions,
                        const Field& stored) {
    Checklist list;
    list.flags = parseSelection(stored, captions.size());
    list.rows.reserve(captions.size() + 1);
    list.rows.push_back({"序号", title, "选取"});
    for (std::size_t i = 1; i <= captions.size(); ++i)
        list.rows.push_back({std::to_string(i), captions[i - 1], list.flags[i] ? kMark : kNoMark});
    return list;
}

}  // namespace tessmar::settings
