#pragma once
// Windows only: text between the program's code page 936 bytes (or UTF-8) and the UTF-16 of the
// system's wide-character functions, through the table of code page 936 itself, whatever ANSI code
// page the PC runs with. Text without a form on the other side gives nullopt, never a "?".
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace tessmar::platform {

std::optional<std::wstring> cp936ToWide(std::string_view bytes);
std::optional<std::string> wideToCp936(std::wstring_view wide);
std::optional<std::string> wideToUtf8(std::wstring_view wide);
// For text that must show whatever it holds (messages, names): bad bytes become U+FFFD.
std::wstring utf8ToWide(std::string_view utf8);

}  // namespace tessmar::platform
