#include "platform/regedit4.h"

#include <cstdio>

#include "platform/cp936.h"

namespace tessmar::platform::regedit4 {
namespace {

using cp936::charLength;

// Backslashes and double quotes escaped; a trail byte that looks like either is left alone.
std::string escaped(std::string_view s) {
    std::string out;
    out.reserve(s.size() + 2);
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = charLength(s, i);
        if (n == 1 && (s[i] == '\\' || s[i] == '"')) out.push_back('\\');
        out.append(s.substr(i, n));
        i += n;
    }
    return out;
}

std::string quotedName(std::string_view name) {
    return name.empty() ? "@" : "\"" + escaped(name) + "\"";
}

std::string_view textOf(const RegValue& v) {
    return {reinterpret_cast<const char*>(v.data.data()), v.data.size() - 1};
}

void appendHexList(std::string& out, const std::vector<std::uint8_t>& data, std::size_t column) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < data.size(); ++i) {
        out.push_back(kDigits[data[i] >> 4]);
        out.push_back(kDigits[data[i] & 0xF]);
        if (i + 1 == data.size()) break;
        out.push_back(',');
        column += 3;
        // Wrapped as regedit wraps: lines of at most 80 columns, continued two blanks in.
        if (column >= 76) {
            out.append("\\\r\n  ");
            column = 2;
        }
    }
}

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}
std::string_view trimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool startsWithNoCase(std::string_view s, std::string_view lowerPrefix) {
    if (s.size() < lowerPrefix.size()) return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != lowerPrefix[i]) return false;
    }
    return true;
}

std::optional<std::uint32_t> parseHexNumber(std::string_view s, std::size_t maxDigits) {
    if (s.empty() || s.size() > maxDigits) return std::nullopt;
    std::uint32_t v = 0;
    for (char c : s) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        v = v * 16 + static_cast<std::uint32_t>(d);
    }
    return v;
}

std::optional<std::vector<std::uint8_t>> parseHexList(std::string_view s) {
    std::vector<std::uint8_t> out;
    s = trim(s);
    if (s.empty()) return out;
    while (true) {
        std::size_t comma = s.find(',');
        auto byte = parseHexNumber(trim(s.substr(0, comma)), 2);
        if (!byte) return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(*byte));
        if (comma == std::string_view::npos) return out;
        s.remove_prefix(comma + 1);
    }
}

// Reads a quoted text starting just after its opening quote; pos ends after the closing quote.
std::optional<std::string> parseQuoted(std::string_view s, std::size_t& pos) {
    std::string out;
    while (pos < s.size()) {
        std::size_t n = charLength(s, pos);
        if (n == 1 && s[pos] == '"') {
            ++pos;
            return out;
        }
        if (n == 1 && s[pos] == '\\') {
            if (pos + 1 >= s.size() || (s[pos + 1] != '\\' && s[pos + 1] != '"'))
                return std::nullopt;
            out.push_back(s[pos + 1]);
            pos += 2;
            continue;
        }
        out.append(s.substr(pos, n));
        pos += n;
    }
    return std::nullopt;
}

std::optional<RegValue> parseData(std::string_view s) {
    s = trim(s);
    if (!s.empty() && s.front() == '"') {
        std::size_t pos = 1;
        auto text = parseQuoted(s, pos);
        if (!text || !trim(s.substr(pos)).empty()) return std::nullopt;
        RegValue v{RegType::Sz, std::vector<std::uint8_t>(text->begin(), text->end())};
        v.data.push_back(0);
        return v;
    }
    if (startsWithNoCase(s, "dword:")) {
        auto d = parseHexNumber(trim(s.substr(6)), 8);
        if (!d) return std::nullopt;
        return RegValue{RegType::Dword,
                        {static_cast<std::uint8_t>(*d), static_cast<std::uint8_t>(*d >> 8),
                         static_cast<std::uint8_t>(*d >> 16), static_cast<std::uint8_t>(*d >> 24)}};
    }
    if (startsWithNoCase(s, "hex:")) {
        auto bytes = parseHexList(s.substr(4));
        if (!bytes) return std::nullopt;
        return RegValue{RegType::Binary, std::move(*bytes)};
    }
    if (startsWithNoCase(s, "hex(")) {
        std::size_t close = s.find("):");
        if (close == std::string_view::npos) return std::nullopt;
        auto type = parseHexNumber(s.substr(4, close - 4), 8);
        auto bytes = parseHexList(s.substr(close + 2));
        if (!type || !bytes) return std::nullopt;
        return RegValue{static_cast<RegType>(*type), std::move(*bytes)};
    }
    return std::nullopt;
}

}  // namespace

bool printable(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = charLength(s, i);
        auto c = static_cast<unsigned char>(s[i]);
        if (n == 1 && (c < 0x20 || c == 0x7F || c == 0xFF || cp936::isLead(c))) return false;
        i += n;
    }
    return true;
}

bool quotable(const RegValue& v) {
    return v.type == RegType::Sz && !v.data.empty() && v.data.back() == 0 && printable(textOf(v));
}

std::string sectionLine(RegRoot root, std::string_view path, bool deletion) {
    std::string out = deletion ? "[-" : "[";
    out += rootName(root);
    if (!path.empty()) out.append("\\").append(path);
    return out + "]\r\n";
}

std::string valueLine(std::string_view name, const RegValue& v) {
    std::string out = quotedName(name) + "=";
    if (quotable(v)) {
        out.append("\"").append(escaped(textOf(v))).append("\"");
    } else if (v.type == RegType::Dword && v.data.size() == 4) {
        char buf[16];
        std::uint32_t d = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) |
                          (static_cast<std::uint32_t>(v.data[3]) << 24);
        std::snprintf(buf, sizeof buf, "dword:%08x", d);
        out.append(buf);
    } else {
        // Strings that a quoted text cannot carry (line breaks, a character cut short) too.
        if (v.type == RegType::Binary) {
            out.append("hex:");
        } else {
            char buf[24];
            std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(v.type));
            out.append(buf);
        }
        appendHexList(out, v.data, out.size());
    }
    return out + "\r\n";
}

std::string deletionLine(std::string_view name) {
    return quotedName(name) + "=-\r\n";
}

std::vector<Line> splitLines(std::string_view bytes) {
    std::vector<Line> lines;
    std::size_t number = 1;
    while (!bytes.empty()) {
        std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back({line, number++});
        if (end == std::string_view::npos) break;
        bytes.remove_prefix(end + 1);
    }
    return lines;
}

std::string_view trim(std::string_view line) {
    return trimRight(trimLeft(line));
}

bool startsWithHeader(const std::vector<Line>& lines) {
    return !lines.empty() && trim(lines[0].text) == kHeader;
}

std::expected<Section, Refusal> parseSection(std::string_view t) {
    if (t.size() < 2 || t.front() != '[' || t.back() != ']')
        return std::unexpected("的项名缺少“]”");
    std::string_view full = t.substr(1, t.size() - 2);
    if (!full.empty() && full.front() == '-') return std::unexpected("要删除注册表项，不能识别");
    auto parts = cp936::splitPath(full);
    Section out;
    bool known = false;
    for (RegRoot root :
         {RegRoot::ClassesRoot, RegRoot::CurrentUser, RegRoot::LocalMachine, RegRoot::Users})
        if (cp936::sameName(parts[0], rootName(root))) {
            out.root = root;
            known = true;
        }
    if (!known) return std::unexpected("的根键不能识别");
    if (parts.size() - 1 > kMaxKeyDepth) return std::unexpected("的项层次太深");
    for (std::size_t i = 1; i < parts.size(); ++i)
        if (parts[i].empty()) return std::unexpected("的项路径中有空的一级");
    if (parts.size() > 1) out.path = std::string(full.substr(parts[0].size() + 1));
    return out;
}

std::expected<ParsedValue, Refusal> readValue(const std::vector<Line>& lines, std::size_t& i) {
    std::string_view t = trim(lines[i].text);
    if (t.empty() || (t.front() != '"' && t.front() != '@')) return std::unexpected("不能识别");
    ParsedValue out;
    std::size_t pos = 1;
    if (t.front() == '"') {
        auto quoted = parseQuoted(t, pos);
        if (!quoted) return std::unexpected("的值名称不完整");
        out.name = std::move(*quoted);
    }
    std::string_view rest = trimLeft(t.substr(pos));
    if (rest.empty() || rest.front() != '=') return std::unexpected("的值名称后缺少“=”");
    rest = trim(rest.substr(1));
    if (rest == "-") return out;
    std::string joined;
    if (startsWithNoCase(rest, "hex")) {
        // A hex list may go on over lines that end in a backslash.
        joined = std::string(rest);
        while (!joined.empty() && joined.back() == '\\') {
            joined.pop_back();
            if (++i >= lines.size()) {
                --i;
                return std::unexpected("的十六进制数据没有结束");
            }
            joined.append(trim(lines[i].text));
        }
        rest = joined;
    }
    out.value = parseData(rest);
    if (!out.value) return std::unexpected("的数据不能识别");
    return out;
}

std::optional<ParsedValue> parseValueLine(std::string_view line) {
    const std::vector<Line> one{{line, 1}};
    std::size_t i = 0;
    auto value = readValue(one, i);
    if (!value) return std::nullopt;
    return std::move(*value);
}

}  // namespace tessmar::platform::regedit4
