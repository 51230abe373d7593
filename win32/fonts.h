#pragma once
// The fonts of the controls tables: the Chinese faces of a Chinese Windows, at the monitor's dpi,
// with a fallback that still shows Chinese where a face is missing.
#include <windows.h>

#include <string>
#include <string_view>

#include "forms/layout.h"
#include "win32/dpi.h"

namespace tessmar::win32 {

// True when a font family of that name is installed.
bool faceInstalled(std::wstring_view face);

// The face to use for the wanted one: the first installed of its fallbacks (forms::faceFallbacks),
// else a face Wine on Linux has, else any installed family with GB2312 characters, else its name
// (the font mapper then picks something).
std::wstring chooseFace(forms::Face wanted, bool (*installed)(std::wstring_view) = faceInstalled);

// A font of the table at that dpi. Fonts are kept for the life of the program and shared, so
// callers never delete them.
HFONT font(const forms::Font& font, Dpi dpi);

}  // namespace tessmar::win32
