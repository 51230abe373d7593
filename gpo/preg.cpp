#include "gpo/preg.h"

#include "platform/codepage.h"

namespace tessmar::gpo {
namespace {

constexpr std::uint32_t kVersion = 1;

void putU16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void putU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::unexpected<Error> notUtf8() {
    return fail("文字不是有效的 UTF-8 编码");
}

// Code points of UTF-8 text; overlong forms, surrogates and bytes out of place are refused.
Result<std::vector<char32_t>> codePoints(std::string_view s) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80         ? 1
                        : (c >> 5) == 6  ? 2
                        : (c >> 4) == 14 ? 3
                        : (c >> 3) == 30 ? 4
                                         : 0;
        if (n == 0 || i + n > s.size()) return notUtf8();
        char32_t cp = n == 1 ? c : c & (0x7F >> n);
        for (std::size_t k = 1; k < n; ++k) {
            auto t = static_cast<unsigned char>(s[i + k]);
            if ((t >> 6) != 2) return notUtf8();
            cp = (cp << 6) | (t & 0x3F);
        }
        static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return notUtf8();
        out.push_back(cp);
        i += n;
    }
    return out;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Reads a zero-terminated UTF-16LE text at pos, leaving pos after the zero.
Result<std::string> readText(std::string_view b, std::size_t& pos) {
    std::string out;
    while (true) {
        if (pos + 2 > b.size()) return fail("Registry.pol 文件不完整");
        char32_t u =
            static_cast<unsigned char>(b[pos]) | (static_cast<unsigned char>(b[pos + 1]) << 8);
        pos += 2;
        if (u == 0) return out;
        if (u >= 0xD800 && u <= 0xDBFF && pos + 2 <= b.size()) {
            char32_t lo =
                static_cast<unsigned char>(b[pos]) | (static_cast<unsigned char>(b[pos + 1]) << 8);
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                pos += 2;
                u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
            }
        }
        // A surrogate without its partner is no character: such a file cannot be read back as
        // text, and would not be written again.
        if (u >= 0xD800 && u <= 0xDFFF) return fail("Registry.pol 中有无效的 UTF-16 文字");
        appendUtf8(out, u);
    }
}

bool expectChar(std::string_view b, std::size_t& pos, char c) {
    if (pos + 2 > b.size() || b[pos] != c || b[pos + 1] != 0) return false;
    pos += 2;
    return true;
}

Result<std::uint32_t> readU32(std::string_view b, std::size_t& pos) {
    if (pos + 4 > b.size()) return fail("Registry.pol 文件不完整");
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(b[pos + i])) << (8 * i);
    pos += 4;
    return v;
}

// A text as REG_SZ data: UTF-16LE and the terminating zero.
Result<std::vector<std::uint8_t>> szData(std::string_view utf8) {
    auto wide = utf16le(utf8);
    if (!wide) return std::unexpected(wide.error());
    std::vector<std::uint8_t> data(wide->begin(), wide->end());
    data.push_back(0);
    data.push_back(0);
    return data;
}

}  // namespace

Result<std::string> utf16le(std::string_view utf8) {
    auto cps = codePoints(utf8);
    if (!cps) return std::unexpected(cps.error());
    std::string out;
    out.reserve(cps->size() * 2);
    for (char32_t cp : *cps) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            putU16(out, static_cast<std::uint16_t>(0xD800 + (cp >> 10)));
            putU16(out, static_cast<std::uint16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            putU16(out, static_cast<std::uint16_t>(cp));
        }
    }
    return out;
}

Result<std::string> utf8FromUtf16le(std::string_view bytes) {
    if (bytes.size() % 2 != 0) return fail("UTF-16 文字的长度有误");
    std::string terminated(bytes);
    terminated.append(2, '\0');
    std::size_t pos = 0;
    return readText(terminated, pos);
}

Result<std::string> encodePol(const std::vector<PolRecord>& records) {
    std::string out = "PReg";
    putU32(out, kVersion);
    for (const PolRecord& r : records) {
        auto key = utf16le(r.key);
        auto name = utf16le(r.name);
        if (!key || !name) return fail("注册表项“" + r.key + "”的名称不是有效的文字");
        putU16(out, '[');
        out += *key;
        putU16(out, 0);
        putU16(out, ';');
        out += *name;
        putU16(out, 0);
        putU16(out, ';');
        putU32(out, r.type);
        putU16(out, ';');
        putU32(out, static_cast<std::uint32_t>(r.data.size()));
        putU16(out, ';');
        out.append(r.data.begin(), r.data.end());
        putU16(out, ']');
    }
    return out;
}

Result<std::vector<PolRecord>> decodePol(std::string_view b) {
    if (b.size() < 8 || b.substr(0, 4) != "PReg")
        return fail("不是 Registry.pol 文件（缺少 PReg 标志）");
    std::size_t pos = 4;
    auto version = readU32(b, pos);
    if (!version || *version != kVersion) return fail("Registry.pol 文件的版本不是 1");
    std::vector<PolRecord> out;
    auto broken = [] { return fail("Registry.pol 文件格式有误"); };
    while (pos < b.size()) {
        PolRecord r;
        if (!expectChar(b, pos, '[')) return broken();
        auto key = readText(b, pos);
        if (!key || !expectChar(b, pos, ';')) return broken();
        auto name = readText(b, pos);
        if (!name || !expectChar(b, pos, ';')) return broken();
        auto type = readU32(b, pos);
        if (!type || !expectChar(b, pos, ';')) return broken();
        auto size = readU32(b, pos);
        if (!size || !expectChar(b, pos, ';') || *size > b.size() - pos) return broken();
        r.key = std::move(*key);
        r.name = std::move(*name);
        r.type = *type;
        r.data.assign(b.begin() + static_cast<std::ptrdiff_t>(pos),
                      b.begin() + static_cast<std::ptrdiff_t>(pos + *size));
        pos += *size;
        if (!expectChar(b, pos, ']')) return broken();
        out.push_back(std::move(r));
    }
    return out;
}

Result<PolRecord> recordOf(const engine::RegWrite& w) {
    if (w.key.empty()) return fail("组策略不能写入根键本身的值");
    PolRecord r;
    r.key = w.key;
    if (w.op == engine::RegWrite::Op::DeleteKey) {
        if (w.name.empty()) return fail("没有给出要删除的子项名称");
        r.name = kDeleteKeys;
        r.type = static_cast<std::uint32_t>(platform::RegType::Sz);
        auto data = szData(w.name);
        if (!data) return std::unexpected(data.error());
        r.data = std::move(*data);
        return r;
    }
    // An empty name tells Group Policy to make the key only, so the unnamed value cannot travel.
    if (w.name.empty()) return fail("组策略文件不能写入项的默认值（无名称的值）");
    r.name = w.name;
    r.type = static_cast<std::uint32_t>(w.type);
    if (w.type == platform::RegType::Sz) {
        std::string_view bytes(reinterpret_cast<const char*>(w.data.data()), w.data.size());
        if (!bytes.empty() && bytes.back() == '\0') bytes.remove_suffix(1);
        auto text = platform::fromCp936(bytes);
        if (!text) return std::unexpected(text.error());
        auto data = szData(*text);
        if (!data) return std::unexpected(data.error());
        r.data = std::move(*data);
    } else {
        r.data = w.data;
    }
    return r;
}

PolHalf policyHalf(const std::vector<engine::RegWrite>& writes, platform::RegRoot root) {
    PolHalf half;
    for (const engine::RegWrite& w : writes) {
        if (w.root != root) continue;
        auto record = recordOf(w);
        if (record)
            half.records.push_back(std::move(*record));
        else
            half.leftOut.push_back(std::string(platform::rootName(w.root)) + "\\" + w.key + "“" +
                                   w.name + "”：" + record.error().message +
                                   "，未写入 Registry.pol。");
    }
    return half;
}

}  // namespace tessmar::gpo
