#include "check.h"

#include <cstdio>
#include <exception>

namespace tessmar::winetest {
namespace {

struct Case {
    const char* name;
    TestFn fn;
};

std::vector<Case>& cases() {
    static std::vector<Case> all;
    return all;
}

std::vector<std::string>& argumentList() {
    static std::vector<std::string> list;
    return list;
}

int passed = 0;
int failed = 0;
const char* current = "";

}  // namespace

Registrar::Registrar(const char* name, TestFn fn) {
    cases().push_back({name, fn});
}

bool report(bool ok, const char* file, int line, const std::string& expression,
            const std::string& detail) {
    if (ok) {
        ++passed;
        return true;
    }
    ++failed;
    std::printf("FAILED %s (%s:%d): %s", current, file, line, expression.c_str());
    if (!detail.empty()) std::printf("\n    %s", detail.c_str());
    std::printf("\n");
    std::fflush(stdout);
    return false;
}

const std::vector<std::string>& arguments() {
    return argumentList();
}

std::string describe(const std::string& text) {
    std::string out = "\"";
    bool plain = true;
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) plain = false;
        out += (c < 0x20 || c == 0x7F) ? '.' : static_cast<char>(c);
    }
    out += "\"";
    if (!plain || text.empty()) {
        out += " [";
        out += describe(std::vector<std::uint8_t>(text.begin(), text.end()));
        out += "]";
    }
    return out;
}

std::string describe(const char* text) {
    return describe(std::string(text ? text : ""));
}

std::string describe(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    char hex[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(hex, sizeof hex, "%02X", bytes[i]);
        if (i) out += ' ';
        out += hex;
    }
    return out.empty() ? "(no bytes)" : out;
}

std::string describe(platform::RegType type) {
    switch (type) {
        case platform::RegType::None:
            return "REG_NONE";
        case platform::RegType::Sz:
            return "REG_SZ";
        case platform::RegType::ExpandSz:
            return "REG_EXPAND_SZ";
        case platform::RegType::Binary:
            return "REG_BINARY";
        case platform::RegType::Dword:
            return "REG_DWORD";
        case platform::RegType::MultiSz:
            return "REG_MULTI_SZ";
    }
    return "type " + std::to_string(static_cast<unsigned>(type));
}

std::string describe(const platform::RegValue& value) {
    return describe(value.type) + " " + describe(value.data);
}

std::string describe(const std::vector<std::string>& texts) {
    std::string out = "{";
    for (std::size_t i = 0; i < texts.size(); ++i) out += (i ? ", " : "") + describe(texts[i]);
    return out + "}";
}

}  // namespace tessmar::winetest

int main(int argc, char** argv) {
    using namespace tessmar::winetest;
    for (int i = 1; i < argc; ++i) argumentList().push_back(argv[i]);
    for (const auto& c : cases()) {
        current = c.name;
        try {
            c.fn();
        } catch (const std::exception& e) {
            report(false, __FILE__, __LINE__, "no exception", e.what());
        } catch (...) {
            report(false, __FILE__, __LINE__, "no exception", "unknown exception");
        }
    }
    std::printf("wine: %d passed, %d failed\n", passed, failed);
    std::fflush(stdout);
    return failed == 0 ? 0 : 1;
}
