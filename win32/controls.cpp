#include "win32/controls.h"

#include <commctrl.h>

#include <algorithm>

#include "win32/fonts.h"
#include "win32/text.h"

namespace tessmar::win32 {
namespace {

using forms::Kind;

bool isContainer(Kind kind) {
    return kind == Kind::Frame || kind == Kind::PictureBox;
}

// Made of kContainerClass, which the window draws, rather than of a system class.
bool drawnByTheWindow(Kind kind) {
    return isContainer(kind) || kind == Kind::Image || kind == Kind::Line;
}

}  // namespace

bool isPushButton(Kind kind) {
    return kind == Kind::Button || kind == Kind::PictureButton;
}

bool isOwnerDrawnButton(const forms::Control& c) {
    return c.kind == Kind::PictureButton || (c.kind == Kind::Button && c.graphical);
}

bool paintedByTheWindow(const forms::Control& c) {
    return drawnByTheWindow(c.kind) || isOwnerDrawnButton(c);
}

void Slot::dropBackdrop() {
    if (backdrop) DeleteObject(backdrop);
    if (backdropBitmap) DeleteObject(backdropBitmap);
    backdrop = nullptr;
    backdropBitmap = nullptr;
}

ControlTree::ControlTree(const forms::WindowLayout& layout) : layout_(layout) {
    slots_.resize(layout_.controls.size());
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        const forms::Control& c = layout_.controls[i];
        slots_[i].control = &c;
        slots_[i].back = c.back;
        slots_[i].visible = c.visible;
        // A container comes before what it holds.
        for (std::size_t p = 0; p < i && !c.parent.empty(); ++p)
            if (layout_.controls[p].name == c.parent && isContainer(layout_.controls[p].kind))
                slots_[i].parent = static_cast<int>(p);
    }
}

ControlTree::~ControlTree() {
    for (Slot& slot : slots_) slot.dropBackdrop();
}

void ControlTree::make(HWND root, Dpi dpi, SUBCLASSPROC route,
                       const std::function<Grid::Events(int index)>& gridEvents) {
    root_ = root;
    dpi_ = dpi;
    for (int i = 0; i < size(); ++i) makeControl(i, route, gridEvents);
}

void ControlTree::forget() {
    root_ = nullptr;
    for (Slot& slot : slots_) slot.window = nullptr;
}

RECT ControlTree::placeOf(int index) const {
    const Slot& s = slot(index);
    const forms::TwipsRect& place = s.control->place;
    // Twips are summed before rounding, so that a control keeps its place inside its container
    // at every dpi.
    int left = place.left, top = place.top;
    for (int p = s.parent; p >= 0; p = slot(p).parent) {
        left += slot(p).control->place.left;
        top += slot(p).control->place.top;
    }
    RECT rect{dpi_.twips(left), dpi_.twips(top), 0, 0};
    rect.right = rect.left + std::max(1, dpi_.twips(place.width));
    rect.bottom = rect.top + std::max(1, dpi_.twips(place.height));
    return rect;
}

POINT ControlTree::offsetIn(int index, int container) const {
    const RECT own = placeOf(index);
    if (container < 0) return {own.left, own.top};
    const RECT outer = placeOf(container);
    return {own.left - outer.left, own.top - outer.top};
}

bool ControlTree::within(int index, int container) const {
    for (int i = index; i >= 0; i = slot(i).parent)
        if (i == container) return true;
    return false;
}

bool ControlTree::shown(int index) const {
    for (int i = index; i >= 0; i = slot(i).parent)
        if (!slot(i).visible) return false;
    return true;
}

int ControlTree::find(std::string_view name) const {
    for (int i = 0; i < size(); ++i)
        if (control(i).name == name) return i;
    return -1;
}

HWND ControlTree::window(std::string_view name) const {
    const int index = find(name);
    return index >= 0 ? slot(index).window : nullptr;
}

Grid* ControlTree::grid(std::string_view name) const {
    return Grid::of(window(name));
}

int ControlTree::indexOf(HWND window) const {
    for (HWND h = window; h && h != root_; h = GetParent(h)) {
        const int index = GetDlgCtrlID(h) - forms::kFirstControlId;
        if (index >= 0 && index < size() && slot(index).window == h) return index;
    }
    return -1;
}

void ControlTree::makeControl(int index, SUBCLASSPROC route,
                              const std::function<Grid::Events(int index)>& gridEvents) {
    Slot& made = slot(index);
    const forms::Control& c = *made.control;
    // Every control is a child of the window itself (so GetDlgItem finds it), placed over its
    // container; the table's order keeps a container below what it holds.
    const int id = forms::kFirstControlId + index;
    const std::wstring caption = wide(c.caption);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (shown(index) ? WS_VISIBLE : 0);
    DWORD exStyle = 0;
    const wchar_t* className = nullptr;
    switch (c.kind) {
        case Kind::Frame:
        case Kind::PictureBox:
        case Kind::Image:
        case Kind::Line:
            className = kContainerClass;
            break;
        case Kind::Button:
        case Kind::PictureButton:
            className = WC_BUTTONW;
            style |= isOwnerDrawnButton(c) ? BS_OWNERDRAW : BS_PUSHBUTTON;
            break;
        case Kind::Label:
            className = WC_STATICW;
            style |= SS_NOTIFY | SS_NOPREFIX;
            style |= c.vertical ? SS_OWNERDRAW : c.wrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
            break;
        case Kind::TextBox:
            className = WC_EDITW;
            exStyle |= WS_EX_CLIENTEDGE;
            style |= c.multiLine ? ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN : ES_AUTOHSCROLL;
            if (c.password) style |= ES_PASSWORD;
            break;
        case Kind::CheckBox:
            className = WC_BUTTONW;
            style |= BS_AUTOCHECKBOX;
            break;
        case Kind::ComboBox:
            className = WC_COMBOBOXW;
            style |= c.dropList ? CBS_DROPDOWNLIST | WS_VSCROLL
                                : CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
            break;
        case Kind::Grid:
            break;
    }

    const RECT place = placeOf(index);
    if (c.kind == Kind::Grid) {
        Grid* grid = Grid::create(root_, id, c.grid.value_or(forms::GridSpec{}), place,
                                  (shown(index) ? WS_VISIBLE : 0) | (c.tab >= 0 ? WS_TABSTOP : 0),
                                  dpi_, gridEvents(index));
        made.window = grid ? grid->window() : nullptr;
    } else {
        made.window = CreateWindowExW(exStyle, className, caption.c_str(), style, place.left,
                                      place.top, place.right - place.left, place.bottom - place.top,
                                      root_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                      GetModuleHandleW(nullptr), nullptr);
    }
    if (!made.window) return;
    // A control listed later lies above the ones before it.
    SetWindowPos(made.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    if (c.kind == Kind::TextBox) {
        if (c.password) SendMessageW(made.window, EM_SETPASSWORDCHAR, L'*', 0);
        if (c.maxLength > 0) SendMessageW(made.window, EM_LIMITTEXT, c.maxLength, 0);
    }
    if (c.kind == Kind::ComboBox)
        for (std::string_view item : c.items)
            SendMessageW(made.window, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(wide(item).c_str()));
    if (!drawnByTheWindow(c.kind) && c.kind != Kind::Grid)
        SetWindowSubclass(made.window, route, 0, 0);
    if (c.kind == Kind::ComboBox) {
        // Its edit reports keys and mouse moves as the combo box.
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (GetComboBoxInfo(made.window, &info) && info.hwndItem)
            SetWindowSubclass(info.hwndItem, route, 0, 0);
    }
}

void ControlTree::addTooltips(HWND tooltips) {
    for (const Slot& made : slots_) {
        if (made.control->tooltip.empty() || !tooltips || !made.window) continue;
        std::wstring text = wide(made.control->tooltip);
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = root_;
        tool.uId = reinterpret_cast<UINT_PTR>(made.window);
        tool.lpszText = text.data();
        SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void ControlTree::place(Dpi dpi) {
    dpi_ = dpi;
    for (int i = 0; i < size(); ++i) {
        Slot& s = slot(i);
        if (!s.window) continue;
        s.dropBackdrop();
        const RECT place = placeOf(i);
        int height = place.bottom - place.top;
        if (s.control->kind == Kind::ComboBox) {
            // A drop-down combo box's window height includes its list.
            SendMessageW(s.window, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                         std::max(1, height - dpi_.scale(6)));
            height += dpi_.scale(160);
        }
        SetWindowPos(s.window, nullptr, place.left, place.top, place.right - place.left, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        HFONT controlFont = font(s.control->font, dpi_);
        if (Grid* grid = Grid::of(s.window)) {
            grid->setDpi(dpi_);
            grid->setFont(controlFont);
        } else {
            SendMessageW(s.window, WM_SETFONT, reinterpret_cast<WPARAM>(controlFont), FALSE);
        }
        fitText(i, controlFont, place);
    }
}

void ControlTree::fitText(int index, HFONT controlFont, const RECT& place) {
    const Slot& s = slot(index);
    const forms::Control& c = *s.control;
    const bool label = c.kind == Kind::Label && !c.wrap && !c.vertical;
    if (!label && c.kind != Kind::ComboBox) return;
    HDC dc = GetDC(s.window);
    HGDIOBJ old = SelectObject(dc, controlFont);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    int widest = 0;
    for (std::string_view item : c.items) {
        const std::wstring text = wide(item);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max<int>(widest, size.cx);
    }
    SelectObject(dc, old);
    ReleaseDC(s.window, dc);
    if (label) {
        // A face whose line is taller than the label (a fallback with more leading than the
        // table's font) is centred on it: the characters sit below the leading and stay inside.
        const LONG style = GetWindowLongW(s.window, GWL_STYLE);
        const bool taller = metrics.tmHeight > place.bottom - place.top;
        SetWindowLongW(s.window, GWL_STYLE,
                       taller ? style | SS_CENTERIMAGE : style & ~SS_CENTERIMAGE);
    } else {
        // The list shows every item whole, however wide the face draws it.
        SendMessageW(s.window, CB_SETDROPPEDWIDTH,
                     std::max<int>(place.right - place.left, widest + dpi_.scale(8)), 0);
    }
}

}  // namespace tessmar::win32
