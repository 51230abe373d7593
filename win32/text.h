#pragma once
// UTF-8 inside, UTF-16 at the window system's wide functions.
#include <windows.h>

#include <string>
#include <string_view>

namespace tessmar::win32 {

std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view text);

// The window's text as UTF-8.
std::string windowText(HWND window);
void setWindowText(HWND window, std::string_view utf8);

// A multi-line edit breaks its lines with CR LF, the forms with LF: a text with each lone LF made
// CR LF, and one with each CR LF made LF.
std::string withCrLf(std::string_view text);
std::string withLf(std::string_view text);

}  // namespace tessmar::win32
