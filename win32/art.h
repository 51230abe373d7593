#pragma once
// The artwork of ui/art, rendered into the program's resources at build time, and the program icon.
#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace tessmar::win32 {

// Draws the artwork named (ui/art/<name>.svg) stretched into rect, blended over what is there.
// An unknown name draws nothing.
void drawArt(HDC dc, std::string_view name, const RECT& rect);
// True when the picture drawn at that size hides everything under it.
bool hidesWhatIsUnder(std::string_view name, int width, int height);

// Where the artwork named shows at its own size at that dpi (ui/art gives it for 96 dpi), centred
// in area; made smaller, keeping its shape, where it does not fit.
RECT atOwnSize(std::string_view name, const RECT& area, int dpi);

// The program icon, for the window classes; size in pixels (16, 24, 32, 48, 256 are made exactly).
HICON programIcon(int size);

namespace art {

// Premultiplied 32-bit BGRA pixels, row after row, top row first.
struct Pixels {
    int width = 0, height = 0;
    std::vector<std::uint32_t> data;
};

// The picture resampled to width x height by averaging the source area under each target pixel,
// so that shrinking the twice-size renders keeps thin lines instead of dropping them.
Pixels resample(const Pixels& source, int width, int height);

// The picture of a PNG file (8-bit RGB or RGBA, not interlaced, as the build renders them);
// empty for any other or a damaged file.
Pixels decodePng(std::span<const std::uint8_t> file);

// The decoded picture of that name from the program's resources; empty when there is none.
const Pixels& picture(std::string_view name);

// Decodes and scales the pictures named to the sizes given on a thread of its own, so that a
// window opened later draws them at once. Each is taken by the first drawing at its size.
void prepare(std::vector<std::tuple<std::string, int, int>> wanted);

// The picture at that size: prepared ahead, or resampled now.
Pixels scaled(std::string_view name, int width, int height);

// Makes the bitmap that drawing the picture at that size takes, so that drawing it only blends.
void prepareDrawing(std::string_view name, int width, int height);

}  // namespace art

}  // namespace tessmar::win32
