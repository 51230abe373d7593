#include "gpo/regfile.h"

#include <cstdio>

#include "platform/codepage.h"

namespace tessmar::gpo {
namespace {

bool isLead(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

// Backslashes and double quotes escaped, stepping over double-byte characters whose trail byte
// may look like either.
std::string escaped(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if (isLead(c) && i + 1 < s.size()) {
            out.append(s.substr(i, 2));
            ++i;
            continue;
        }
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(s[i]);
    }
    return out;
}

// A REG_SZ that a quoted string can hold: ends in its zero, no control characters before it.
bool quotable(const std::vector<std::uint8_t>& data) {
    if (data.empty() || data.back() != 0) return false;
    for (std::size_t i = 0; i + 1 < data.size(); ++i)
        if (data[i] < 0x20 || data[i] == 0x7F) return false;
    return true;
}

void appendHex(std::string& out, const std::vector<std::uint8_t>& data, std::size_t column) {
    char buf[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02x", data[i]);
        out += buf;
        if (i + 1 == data.size()) break;
        out.push_back(',');
        column += 3;
        if (column >= 76) {
            out += "\\\r\n  ";
            column = 2;
        }
    }
}

Result<std::string> valueLine(const engine::RegWrite& w, const std::string& name) {
    std::string line = name.empty() ? "@=" : "\"" + escaped(name) + "\"=";
    if (w.type == platform::RegType::Dword && w.data.size() == 4) {
        char buf[24];
        std::uint32_t v = w.data[0] | (w.data[1] << 8) | (w.data[2] << 16) |
                          (static_cast<std::uint32_t>(w.data[3]) << 24);
        std::snprintf(buf, sizeof buf, "dword:%08x", v);
        line += buf;
    } else if (w.type == platform::RegType::Sz && quotable(w.data)) {
        std::string_view text(reinterpret_cast<const char*>(w.data.data()), w.data.size() - 1);
        line += "\"" + escaped(text) + "\"";
    } else {
        // Line breaks (a logon notice of several lines) travel as the bytes themselves.
        if (w.type == platform::RegType::Binary) {
            line += "hex:";
        } else {
            char buf[16];
            std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(w.type));
            line += buf;
        }
        appendHex(line, w.data, line.size());
    }
    return line + "\r\n";
}

}  // namespace

Result<std::string> regFileBytes(const std::vector<engine::RegWrite>& writes) {
    std::string out = "REGEDIT4\r\n";
    std::string section;  // the key whose values are being written, as spelled in the file
    for (const engine::RegWrite& w : writes) {
        auto key = platform::toCp936(w.key);
        auto name = platform::toCp936(w.name);
        if (!key || !name) return fail("“" + w.key + "\\" + w.name + "”不能用中文代码页 936 表示");
        std::string path = std::string(platform::rootName(w.root));
        if (!key->empty()) path += "\\" + *key;
        if (w.op == engine::RegWrite::Op::DeleteKey) {
            out += "\r\n[" + path + "]\r\n\r\n[-" + path + "\\" + *name + "]\r\n";
            section.clear();
            continue;
        }
        if (path != section) {
            out += "\r\n[" + path + "]\r\n";
            section = path;
        }
        auto line = valueLine(w, *name);
        if (!line) return std::unexpected(line.error());
        out += *line;
    }
    out += "\r\n";
    return out;
}

}  // namespace tessmar::gpo
