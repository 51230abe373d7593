#pragma once
// Owner drawing: what a form window draws itself. The containers (frames, picture boxes, images,
// lines), the buttons with colours or pictures, the vertical labels, and the colours of the
// system's controls, whose backgrounds let the container behind them show through.
#include <windows.h>

#include "win32/controls.h"

namespace tessmar::win32 {

// WM_PAINT of the window itself: its backdrop and, above it in the table's order, the face of
// every control it draws (paintedByTheWindow), in one pass through a buffer, over area (the
// paint's rect); or the picture drawn ahead of it. The controls that paint themselves are left
// as they are; what the window drew is no longer waiting in the controls it drew.
void paintWindow(ControlTree& controls, HDC dc, const RECT& area, HBITMAP ahead = nullptr);
// The whole window drawn as paintWindow would, while it is still hidden, for its first paint.
HBITMAP drawAhead(ControlTree& controls);
// WM_PAINT of a control whose face the window draws: the window draws that part instead.
void handOverPaint(const ControlTree& controls, HWND control);
// Draws ahead what the window's first painting needs: its pictures at their sizes and the
// backdrops of its containers.
void preparePainting(ControlTree& controls);
// WM_DRAWITEM of a control: an owner-drawn button or a vertical label.
void drawItem(ControlTree& controls, int index, const DRAWITEMSTRUCT& item);
// WM_CTLCOLOR* of a control of a system class, or of its part (a combo box's edit) that asks: sets
// its text and back colours in dc; the brush of its background.
HBRUSH controlColours(ControlTree& controls, int index, HWND asking, HDC dc);

}  // namespace tessmar::win32
