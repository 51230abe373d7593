#include "settings/selection.h"

namespace tessmar::settings {

std::vector<bool> parseSelection(const Field& stored, std::size_t n) {
    std::vector<bool> flags(n + 1, false);
    if (!stored) return flags;
    const std::string s = trimBlanks(*stored);
    for (std::size_t i = 1; i <= n && i <= s.size(); ++i) flags[i] = s[i - 1] == '1';
    return flags;
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
