#pragma once
// Owner drawing: what a form window draws itself. The containers (frames, picture boxes, images,
// lines), the buttons with colours or pictures, the vertical labels, and the colours of the
// system's controls, whose backgrounds let the container behind them show through.
#include <windows.h>

#include "win32/controls.h"

namespace tessmar::win32 {

// WM_PAINT of a container, an image or a line.
void paintContainer(ControlTree& controls, int index, HDC dc);
// WM_DRAWITEM of a control: an owner-drawn button or a vertical label.
void drawItem(ControlTree& controls, int index, const DRAWITEMSTRUCT& item);
// WM_CTLCOLOR* of a control of a system class, or of its part (a combo box's edit) that asks: sets
// its text and back colours in dc; the brush of its background.
HBRUSH controlColours(ControlTree& controls, int index, HWND asking, HDC dc);

}  // namespace tessmar::win32
