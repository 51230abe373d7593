#pragma once
// Dots per inch, in one place: the process's awareness, the dpi of a window's monitor, and every
// length of the program (pixels at 96 dpi, twips, points) in pixels at a dpi. No other file of the
// front end scales a length.
#include <windows.h>

#include "forms/layout.h"

namespace tessmar::win32 {

// Asks for per-monitor awareness (the manifest declares it too), for a program started without it.
void becomeDpiAware();

// A dpi, and the program's lengths at it.
class Dpi {
  public:
    static constexpr int kStandard = 96;

    constexpr explicit Dpi(int dotsPerInch = kStandard)
        : value_(dotsPerInch > 0 ? dotsPerInch : kStandard) {}
    constexpr int value() const { return value_; }

    // A length given in pixels at 96 dpi.
    int scale(int pixels) const { return MulDiv(pixels, value_, kStandard); }
    // A length in twips (1/1440 inch), to the nearest pixel.
    constexpr int twips(int twips) const { return forms::pixels(twips, value_); }
    // The em height of a font of that many points, to the nearest pixel.
    int points(double points) const;

    bool operator==(const Dpi&) const = default;

  private:
    int value_;
};

// The dpi of the monitor that the window is on (96 where the system cannot say).
Dpi dpiOf(HWND window);

// The outer size of a window with that style whose client area is width x height pixels.
SIZE outerSize(int width, int height, DWORD style, DWORD exStyle, Dpi dpi);

}  // namespace tessmar::win32
