#include "win32/painting.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "win32/art.h"
#include "win32/fonts.h"
#include "win32/text.h"

namespace tessmar::win32 {
namespace {

using forms::Kind;

COLORREF toColorref(forms::Rgb rgb) {
    return RGB(rgb.r, rgb.g, rgb.b);
}

HBRUSH solidBrush(COLORREF colour) {
    static std::map<COLORREF, HBRUSH> brushes;
    auto& brush = brushes[colour];
    if (!brush) brush = CreateSolidBrush(colour);
    return brush;
}

COLORREF backOf(const ControlTree& controls, int index) {
    if (index >= 0)
        if (const auto& back = controls.slot(index).back) return toColorref(*back);
    return GetSysColor(COLOR_BTNFACE);
}

// Fills dc with what the container shows behind its controls: its back colour and picture, or
// for an image what lies under it; offset is the container's top-left corner in dc.
void paintBackdrop(const ControlTree& controls, int container, HDC dc, POINT offset) {
    if (container < 0) {
        RECT client{};
        GetClientRect(controls.root(), &client);
        OffsetRect(&client, offset.x, offset.y);
        FillRect(dc, &client, solidBrush(GetSysColor(COLOR_BTNFACE)));
        return;
    }
    const Slot& slot = controls.slot(container);
    RECT rect{};
    GetClientRect(slot.window, &rect);
    OffsetRect(&rect, offset.x, offset.y);
    const forms::Control& c = *slot.control;
    if (c.kind == Kind::Image || c.kind == Kind::Line) {
        // Without a back colour of its own, it shows what lies under it.
        const POINT inParent = controls.offsetIn(container, slot.parent);
        paintBackdrop(controls, slot.parent, dc,
                      POINT{offset.x - inParent.x, offset.y - inParent.y});
    } else if (c.picture.empty() ||
               !hidesWhatIsUnder(c.picture, rect.right - rect.left, rect.bottom - rect.top)) {
        FillRect(dc, &rect, solidBrush(backOf(controls, container)));
    }
    if (!c.picture.empty()) drawArt(dc, c.picture, rect);
}

// The brush of a container's backdrop, for the labels standing on it: its colour, or with a
// picture the backdrop drawn once, with the images standing on it.
HBRUSH backdropBrush(ControlTree& controls, int container) {
    if (container < 0) return solidBrush(GetSysColor(COLOR_BTNFACE));
    Slot& slot = controls.slot(container);
    if (slot.control->picture.empty()) return solidBrush(backOf(controls, container));
    if (!slot.backdrop) {
        RECT client{};
        GetClientRect(slot.window, &client);
        HDC screen = GetDC(slot.window);
        HDC memory = CreateCompatibleDC(screen);
        slot.backdropBitmap =
            CreateCompatibleBitmap(screen, std::max(1L, client.right), std::max(1L, client.bottom));
        HGDIOBJ old = SelectObject(memory, slot.backdropBitmap);
        paintBackdrop(controls, container, memory, POINT{0, 0});
        // The pictures standing on it show through the labels too.
        for (int i = 0; i < controls.size(); ++i) {
            const Slot& on = controls.slot(i);
            const forms::Control& c = *on.control;
            if (on.parent != container || c.kind != Kind::Image || c.picture.empty() || !on.visible)
                continue;
            const POINT at = controls.offsetIn(i, container);
            const RECT own = controls.placeOf(i);
            const RECT there{at.x, at.y, at.x + own.right - own.left, at.y + own.bottom - own.top};
            drawArt(memory, c.picture, there);
        }
        SelectObject(memory, old);
        DeleteDC(memory);
        ReleaseDC(slot.window, screen);
        slot.backdrop = CreatePatternBrush(slot.backdropBitmap);
    }
    return slot.backdrop;
}

// The text broken into lines no wider than width: after the last blank that lets a line fit, or
// between characters where none does (Chinese breaks anywhere).
std::vector<std::wstring> linesOf(HDC dc, const std::wstring& text, int width) {
    std::vector<std::wstring> lines;
    std::wstring line;
    for (wchar_t ch : text) {
        SIZE size{};
        const std::wstring longer = line + ch;
        GetTextExtentPoint32W(dc, longer.c_str(), static_cast<int>(longer.size()), &size);
        if (size.cx > width && !line.empty()) {
            const std::size_t blank = line.rfind(L' ');
            std::wstring rest;
            if (blank != std::wstring::npos && blank + 1 < line.size()) {
                rest = line.substr(blank + 1);
                line.resize(blank);
            }
            lines.push_back(line);
            line = rest;
        }
        line += ch;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// Text drawn centred in rect, wrapped at its width where it does not fit on one line. A face with
// more leading than the table's font (a fallback) brings the lines closer, down to the height of
// the characters themselves, rather than cutting the last one.
void drawCentred(HDC dc, const std::wstring& text, RECT rect) {
    RECT measure = rect;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measure,
              DT_CALCRECT | DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
    const int height = measure.bottom - measure.top;
    const int room = rect.bottom - rect.top;
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    if (height > room && height >= 2 * metrics.tmHeight) {
        const auto lines = linesOf(dc, text, rect.right - rect.left);
        const int count = static_cast<int>(lines.size());
        const int em = metrics.tmHeight - metrics.tmInternalLeading;
        const int pitch = count > 1 ? std::clamp((room - em) / (count - 1), em,
                                                 static_cast<int>(metrics.tmHeight))
                                    : em;
        const int used = pitch * (count - 1) + em;
        // Each line's cell begins with the leading above its characters.
        int top = rect.top + std::max(0, (room - used) / 2) - metrics.tmInternalLeading;
        for (const std::wstring& line : lines) {
            RECT cell{rect.left, top, rect.right, top + metrics.tmHeight};
            DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &cell,
                      DT_SINGLELINE | DT_CENTER | DT_NOPREFIX | DT_NOCLIP);
            top += pitch;
        }
        return;
    }
    const int free = room - height;
    if (free > 0) rect.top += free / 2;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
}

// The part of a picture button's inner rect that its picture takes: all of it, or a square at its
// left beside a caption.
RECT pictureOf(RECT inner, bool captioned) {
    if (captioned) inner.right = inner.left + (inner.bottom - inner.top);
    return inner;
}

void drawButton(const ControlTree& controls, int index, const DRAWITEMSTRUCT& item) {
    const forms::Control& c = controls.control(index);
    const Dpi dpi = controls.dpi();
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    const bool disabled = item.itemState & ODS_DISABLED;
    if (c.kind == Kind::PictureButton && c.flat && !c.back) {
        const int parent = controls.slot(index).parent;
        const POINT inParent = controls.offsetIn(index, parent);
        paintBackdrop(controls, parent, dc, POINT{-inParent.x, -inParent.y});
    } else {
        FillRect(dc, &rect, solidBrush(backOf(controls, index)));
    }
    if (!(c.kind == Kind::PictureButton && c.flat)) {
        RECT edge = rect;
        DrawEdge(dc, &edge, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }
    const int border = c.flat ? 0 : dpi.scale(2);
    InflateRect(&rect, -border, -border);
    if (pressed) OffsetRect(&rect, 1, 1);

    const std::wstring caption = wide(windowText(item.hwndItem));
    HGDIOBJ oldFont = SelectObject(dc, font(c.font, dpi));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT)
                     : c.fore ? toColorref(*c.fore)
                              : GetSysColor(COLOR_BTNTEXT));
    if (c.kind == Kind::PictureButton) {
        const RECT picture = pictureOf(rect, !caption.empty());
        if (!caption.empty()) {
            // The picture, at its own size, stands in the square at the left; the caption fills
            // the rest.
            if (!c.picture.empty())
                drawArt(dc, c.picture, atOwnSize(c.picture, picture, dpi.value()));
            RECT text = rect;
            text.left = picture.right;
            drawCentred(dc, caption, text);
        } else if (!c.picture.empty()) {
            drawArt(dc, c.picture, picture);
        }
    } else {
        drawCentred(dc, caption, rect);
    }
    SelectObject(dc, oldFont);
    if ((item.itemState & ODS_FOCUS) && !c.flat) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -dpi.scale(4), -dpi.scale(4));
        DrawFocusRect(dc, &focus);
    }
}

void drawVerticalLabel(ControlTree& controls, int index, const DRAWITEMSTRUCT& item) {
    const forms::Control& c = controls.control(index);
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    FillRect(dc, &rect, controlColours(controls, index, item.hwndItem, dc));
    const std::wstring text = wide(windowText(item.hwndItem));
    // One character under the other (surrogate pairs kept together).
    std::vector<std::wstring> characters;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool high = text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size();
        characters.push_back(text.substr(i, high ? 2 : 1));
        if (high) ++i;
    }
    HGDIOBJ oldFont = SelectObject(dc, font(c.font, controls.dpi()));
    SetBkMode(dc, TRANSPARENT);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    // A face with more leading than the table's font still fits the column.
    const int count = static_cast<int>(characters.size());
    const int height = rect.bottom - rect.top;
    const int step = count > 0 ? std::min<int>(metrics.tmHeight, height / count) : 0;
    for (int i = 0; i < count; ++i) {
        RECT cell{rect.left, rect.top + i * step, rect.right,
                  rect.top + i * step + metrics.tmHeight};
        const std::wstring& one = characters[static_cast<std::size_t>(i)];
        DrawTextW(dc, one.c_str(), static_cast<int>(one.size()), &cell,
                  DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
    SelectObject(dc, oldFont);
}

void paintContainer(ControlTree& controls, int index, HDC dc) {
    const Slot& slot = controls.slot(index);
    RECT client{};
    GetClientRect(slot.window, &client);
    const forms::Control& c = *slot.control;
    if (c.kind == Kind::Line) {
        const POINT inParent = controls.offsetIn(index, slot.parent);
        paintBackdrop(controls, slot.parent, dc, POINT{-inParent.x, -inParent.y});
        RECT line{0, 0,
                  std::max(1L, std::min(client.right, static_cast<LONG>(controls.dpi().scale(1)))),
                  client.bottom};
        FillRect(dc, &line,
                 solidBrush(c.fore ? toColorref(*c.fore) : GetSysColor(COLOR_BTNSHADOW)));
        return;
    }
    paintBackdrop(controls, index, dc, POINT{0, 0});
    if (c.kind == Kind::Frame) DrawEdge(dc, &client, EDGE_SUNKEN, BF_RECT);
}

// The state that a button's own paint would hand its owner.
UINT buttonState(HWND button) {
    const LRESULT state = SendMessageW(button, BM_GETSTATE, 0, 0);
    UINT drawn = 0;
    if (state & BST_PUSHED) drawn |= ODS_SELECTED;
    if (state & BST_FOCUS) drawn |= ODS_FOCUS;
    if (!IsWindowEnabled(button)) drawn |= ODS_DISABLED;
    return drawn;
}

// Draws into memory, whose logical coordinates are the window's, the window's backdrop and the
// faces it draws over area. With screen, the controls that paint themselves are cut out of
// screen's clip and the controls drawn no longer wait to be painted; without memory nothing is
// drawn (a picture drawn ahead is shown instead).
void compose(ControlTree& controls, const RECT& area, HDC memory, HDC screen) {
    const auto visible = [](HWND h) { return h && (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE); };
    // What lies under the topmost container covering the whole area is not drawn.
    int first = -1;
    for (int i = 0; i < controls.size(); ++i) {
        const Slot& slot = controls.slot(i);
        const Kind kind = slot.control->kind;
        const RECT place = controls.placeOf(i);
        RECT covered{};
        if ((kind == Kind::PictureBox || kind == Kind::Frame) && visible(slot.window) &&
            UnionRect(&covered, &area, &place) && EqualRect(&covered, &place))
            first = i;
    }
    if (memory && first < 0) paintBackdrop(controls, -1, memory, POINT{0, 0});
    for (int i = 0; i < controls.size(); ++i) {
        const Slot& slot = controls.slot(i);
        const forms::Control& c = *slot.control;
        if (!visible(slot.window)) continue;
        if (!paintedByTheWindow(c)) {
            // It paints itself, over what the window would draw there, unless it lies under
            // the container that covers the area.
            RECT own{};
            GetWindowRect(slot.window, &own);
            MapWindowPoints(nullptr, controls.root(), reinterpret_cast<POINT*>(&own), 2);
            if (screen && i > first)
                ExcludeClipRect(screen, own.left, own.top, own.right, own.bottom);
            continue;
        }
        const RECT place = controls.placeOf(i);
        RECT part{};
        if (!IntersectRect(&part, &place, &area)) continue;
        if (memory && i >= first) {
            SaveDC(memory);
            IntersectClipRect(memory, part.left, part.top, part.right, part.bottom);
            OffsetViewportOrgEx(memory, place.left, place.top, nullptr);
            const RECT own{0, 0, place.right - place.left, place.bottom - place.top};
            if (isOwnerDrawnButton(c)) {
                DRAWITEMSTRUCT item{};
                item.CtlType = ODT_BUTTON;
                item.CtlID = static_cast<UINT>(GetDlgCtrlID(slot.window));
                item.itemAction = ODA_DRAWENTIRE;
                item.itemState = buttonState(slot.window);
                item.hwndItem = slot.window;
                item.hDC = memory;
                item.rcItem = own;
                drawButton(controls, i, item);
            } else {
                paintContainer(controls, i, memory);
            }
            RestoreDC(memory, -1);
        }
        if (screen) {
            OffsetRect(&part, -place.left, -place.top);
            ValidateRect(slot.window, &part);
        }
    }
}

}  // namespace

void paintWindow(ControlTree& controls, HDC dc, const RECT& area, HBITMAP ahead) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP buffer = ahead ? nullptr : CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ oldBitmap = SelectObject(memory, ahead ? ahead : buffer);
    if (ahead) {
        compose(controls, area, nullptr, dc);
        BitBlt(dc, area.left, area.top, width, height, memory, area.left, area.top, SRCCOPY);
    } else {
        SetViewportOrgEx(memory, -area.left, -area.top, nullptr);
        compose(controls, area, memory, dc);
        SetViewportOrgEx(memory, 0, 0, nullptr);
        BitBlt(dc, area.left, area.top, width, height, memory, 0, 0, SRCCOPY);
    }
    SelectObject(memory, oldBitmap);
    if (buffer) DeleteObject(buffer);
    DeleteDC(memory);
}

HBITMAP drawAhead(ControlTree& controls) {
    RECT client{};
    GetClientRect(controls.root(), &client);
    if (client.right <= 0 || client.bottom <= 0) return nullptr;
    HDC screen = GetDC(controls.root());
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, picture);
    compose(controls, client, memory, nullptr);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(controls.root(), screen);
    return picture;
}

void handOverPaint(const ControlTree& controls, HWND control) {
    RECT part{};
    if (!GetUpdateRect(control, &part, FALSE)) return;
    ValidateRect(control, nullptr);
    MapWindowPoints(control, controls.root(), reinterpret_cast<POINT*>(&part), 2);
    // Only the window, and now, as the control's own paint would have been: the controls that
    // paint themselves there have nothing new to paint.
    RedrawWindow(controls.root(), &part, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
}

void preparePainting(ControlTree& controls) {
    for (int i = 0; i < controls.size(); ++i) {
        const Slot& slot = controls.slot(i);
        const forms::Control& c = *slot.control;
        if (c.picture.empty() || !slot.window) continue;
        RECT rect{};
        GetClientRect(slot.window, &rect);
        if (c.kind == Kind::PictureButton) {
            const int border = c.flat ? 0 : controls.dpi().scale(2);
            InflateRect(&rect, -border, -border);
            rect = pictureOf(rect, !c.caption.empty());
            if (!c.caption.empty()) rect = atOwnSize(c.picture, rect, controls.dpi().value());
        } else if (c.kind == Kind::Frame || c.kind == Kind::PictureBox) {
            backdropBrush(controls, i);
        }
        art::prepareDrawing(c.picture, rect.right - rect.left, rect.bottom - rect.top);
    }
}

void drawItem(ControlTree& controls, int index, const DRAWITEMSTRUCT& item) {
    if (item.CtlType == ODT_BUTTON)
        drawButton(controls, index, item);
    else if (item.CtlType == ODT_STATIC)
        drawVerticalLabel(controls, index, item);
}

HBRUSH controlColours(ControlTree& controls, int index, HWND asking, HDC dc) {
    const Slot& slot = controls.slot(index);
    const forms::Control& c = *slot.control;
    const bool box = c.kind == Kind::TextBox || c.kind == Kind::ComboBox;
    SetTextColor(
        dc, c.fore ? toColorref(*c.fore) : GetSysColor(box ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
    if (box) {
        // A disabled box looks disabled, as without colours of its own.
        const COLORREF back = slot.back                 ? toColorref(*slot.back)
                              : IsWindowEnabled(asking) ? GetSysColor(COLOR_WINDOW)
                                                        : GetSysColor(COLOR_BTNFACE);
        SetBkColor(dc, back);
        return solidBrush(back);
    }
    if (slot.back) {
        SetBkColor(dc, toColorref(*slot.back));
        return solidBrush(toColorref(*slot.back));
    }
    // No back colour of its own: what it stands on shows through.
    SetBkMode(dc, TRANSPARENT);
    HBRUSH brush = backdropBrush(controls, slot.parent);
    const POINT inParent = controls.offsetIn(index, slot.parent);
    SetBrushOrgEx(dc, -inParent.x, -inParent.y, nullptr);
    SetBkColor(dc, backOf(controls, slot.parent));
    return brush;
}

}  // namespace tessmar::win32
