#pragma once
// A small check harness for the test programs that run under Wine, where GoogleTest is not at hand.
// Each program ends with the line "wine: N passed, M failed" and exits non-zero on any failure.
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/registry.h"

namespace tessmar::winetest {

using TestFn = void (*)();

struct Registrar {
    Registrar(const char* name, TestFn fn);
};

// Counts one check; prints where and why when it failed. Returns ok.
bool report(bool ok, const char* file, int line, const std::string& expression,
            const std::string& detail);

// The program's arguments after its own name.
const std::vector<std::string>& arguments();

std::string describe(const std::string& text);
std::string describe(const char* text);
std::string describe(const std::vector<std::uint8_t>& bytes);
std::string describe(platform::RegType type);
std::string describe(const platform::RegValue& value);
std::string describe(const std::vector<std::string>& texts);

template <class T>
std::string describe(const std::optional<T>& value) {
    return value ? describe(*value) : std::string("(none)");
}

template <class T>
requires std::is_arithmetic_v<T> std::string describe(T value) {
    std::ostringstream out;
    if constexpr (std::is_same_v<T, bool>)
        out << (value ? "true" : "false");
    else if constexpr (sizeof(T) == 1)
        out << static_cast<int>(value);
    else
        out << value;
    return out.str();
}

template <class A, class B>
bool checkEqual(const A& got, const B& expected, const char* file, int line,
                const char* expression) {
    bool ok = got == expected;
    return report(ok, file, line, expression,
                  ok ? std::string() : "got " + describe(got) + ", expected " + describe(expected));
}

}  // namespace tessmar::winetest

#define WINE_TEST(name)                                                       \
    static void name();                                                       \
    static const ::tessmar::winetest::Registrar name##Registrar(#name, name); \
    static void name()

#define CHECK(condition) \
    ::tessmar::winetest::report(static_cast<bool>(condition), __FILE__, __LINE__, #condition, "")

#define CHECK_EQ(got, expected) \
    ::tessmar::winetest::checkEqual((got), (expected), __FILE__, __LINE__, #got " == " #expected)

// Ends the test case when the check fails, for checks that later ones depend on.
#define REQUIRE(condition) \
    if (!CHECK(condition)) return
