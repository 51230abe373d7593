#include "win32/window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "win32/art.h"
#include "win32/fonts.h"
#include "win32/grid.h"
#include "win32/text.h"

namespace tessmar::win32 {
namespace {

constexpr const wchar_t* kContainerClass = L"TessmarPicture";
constexpr UINT kTakeActivation = WM_APP + 1;
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

bool isContainer(Kind kind) {
    return kind == Kind::Frame || kind == Kind::PictureBox;
}

// Drawn by this window class rather than a system control.
bool ownClass(Kind kind) {
    return isContainer(kind) || kind == Kind::Image || kind == Kind::Line;
}

bool isPushButton(Kind kind) {
    return kind == Kind::Button || kind == Kind::PictureButton;
}

void registerContainerClass(WNDPROC proc) {
    static const bool registered = [proc] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kContainerClass;
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

template <class Fn>
Fn user32Function(const char* name) {
    return reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// The outer size of a window whose client area is width x height at that dpi.
SIZE outerSize(int width, int height, DWORD style, DWORD exStyle, int dpi) {
    RECT rect{0, 0, width, height};
    static const auto adjust = user32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    if (adjust)
        adjust(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi));
    else
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// The frame the table's border asks for. A window kept out of the task bar is owned by a window
// that is never shown; one in it says so, which a window without a title bar needs.
struct Frame {
    DWORD style = 0, exStyle = 0;
};

Frame frameOf(const forms::WindowLayout& layout) {
    Frame frame;
    switch (layout.border) {
        case forms::Border::Thin:
            frame.style = WS_POPUP | WS_BORDER;
            break;
        case forms::Border::FixedDialog:
            frame.style = WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
            frame.exStyle = WS_EX_DLGMODALFRAME;
            break;
        case forms::Border::FixedSingle:
            frame.style = WS_CAPTION | WS_SYSMENU;
            break;
    }
    if (layout.taskbar) frame.exStyle |= WS_EX_APPWINDOW;
    return frame;
}

// Text drawn centred in rect, wrapped at its width where it does not fit on one line.
void drawCentred(HDC dc, const std::wstring& text, RECT rect) {
    RECT measure = rect;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measure,
              DT_CALCRECT | DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
    const int height = measure.bottom - measure.top;
    const int free = (rect.bottom - rect.top) - height;
    if (free > 0) rect.top += free / 2;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
}

}  // namespace

int dpiOf(HWND window) {
    static const auto get = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (get && window) {
        const UINT dpi = get(window);
        if (dpi) return static_cast<int>(dpi);
    }
    HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(window, dc);
    return dpi > 0 ? dpi : 96;
}

FormWindow::FormWindow(const forms::WindowLayout& layout, std::function<void()> gone)
    : layout_(layout), gone_(std::move(gone)) {}

FormWindow::~FormWindow() {
    // Destroying the window sends it messages; none of them reaches a form or the desktop.
    form_ = nullptr;
    gone_ = nullptr;
    if (window_) DestroyWindow(window_);
    if (owner_) DestroyWindow(owner_);
    for (std::size_t i = 0; i < made_.size(); ++i) dropLook(static_cast<int>(i));
}

FormWindow* FormWindow::of(HWND window) {
    if (!window) return nullptr;
    HWND root = GetAncestor(window, GA_ROOT);
    if (!root || GetWindowLongPtrW(root, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&proc))
        return nullptr;
    return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(root, GWLP_USERDATA));
}

bool FormWindow::create() {
    const std::wstring className = wide(layout_.name);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExW(GetModuleHandleW(nullptr), className.c_str(), &existing)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hIcon = programIcon(32);
        wc.hIconSm = programIcon(16);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = className.c_str();
        if (!RegisterClassExW(&wc)) return false;
    }
    registerContainerClass(&containerProc);

    const Frame frame = frameOf(layout_);
    if (!layout_.taskbar) {
        owner_ = CreateWindowExW(WS_EX_TOOLWINDOW, WC_STATICW, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        if (owner_) SetWindowSubclass(owner_, &ownerProc, 0, reinterpret_cast<DWORD_PTR>(this));
    }
    // Placed on the primary monitor first, so that its dpi is known before anything is sized.
    HMONITOR monitor = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    window_ = CreateWindowExW(frame.exStyle, className.c_str(), wide(layout_.caption).c_str(),
                              frame.style | WS_CLIPCHILDREN, info.rcWork.left, info.rcWork.top, 100,
                              100, owner_, nullptr, GetModuleHandleW(nullptr), this);
    if (!window_) return false;
    dpi_ = dpiOf(window_);
    if (layout_.border == forms::Border::FixedDialog) {
        // The close box goes with the Close command.
        DeleteMenu(GetSystemMenu(window_, FALSE), SC_CLOSE, MF_BYCOMMAND);
        SendMessageW(window_, WM_NCACTIVATE, TRUE, 0);
    }

    tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                GetModuleHandleW(nullptr), nullptr);

    made_.resize(layout_.controls.size());
    for (std::size_t i = 0; i < made_.size(); ++i) {
        made_[i].control = &layout_.controls[i];
        made_[i].back = layout_.controls[i].back;
        made_[i].visible = layout_.controls[i].visible;
        made_[i].parent = -1;
        const std::string_view parent = layout_.controls[i].parent;
        for (std::size_t p = 0; p < i && !parent.empty(); ++p)
            if (layout_.controls[p].name == parent && isContainer(layout_.controls[p].kind))
                made_[i].parent = static_cast<int>(p);
    }
    for (std::size_t i = 0; i < made_.size(); ++i) makeControl(static_cast<int>(i));

    for (std::size_t i = 0; i < made_.size(); ++i)
        if (layout_.controls[i].tab >= 0) tabOrder_.push_back(static_cast<int>(i));
    std::stable_sort(tabOrder_.begin(), tabOrder_.end(), [this](int a, int b) {
        return layout_.controls[static_cast<std::size_t>(a)].tab <
               layout_.controls[static_cast<std::size_t>(b)].tab;
    });

    relayout(dpi_);
    if (!layout_.focus.empty()) setFocus(layout_.focus);
    return true;
}

void FormWindow::show() {
    RECT outer{};
    GetWindowRect(window_, &outer);
    HMONITOR monitor = MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    const forms::Point corner = forms::centred(
        info.rcWork.left, info.rcWork.top, info.rcWork.right - info.rcWork.left,
        info.rcWork.bottom - info.rcWork.top, outer.right - outer.left, outer.bottom - outer.top);
    SetWindowPos(window_, nullptr, corner.x, corner.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    if (savedFocus_ && IsWindowVisible(savedFocus_) && IsWindowEnabled(savedFocus_))
        SetFocus(savedFocus_);
}

RECT FormWindow::placeOf(int index) const {
    const Made& made = made_[static_cast<std::size_t>(index)];
    const forms::TwipsRect& place = made.control->place;
    // Twips are summed before rounding, so that a control keeps its place inside its container
    // at every dpi.
    int left = place.left, top = place.top;
    for (int p = made.parent; p >= 0; p = made_[static_cast<std::size_t>(p)].parent) {
        left += made_[static_cast<std::size_t>(p)].control->place.left;
        top += made_[static_cast<std::size_t>(p)].control->place.top;
    }
    RECT rect{forms::pixels(left, dpi_), forms::pixels(top, dpi_), 0, 0};
    rect.right = rect.left + std::max(1, forms::pixels(place.width, dpi_));
    rect.bottom = rect.top + std::max(1, forms::pixels(place.height, dpi_));
    return rect;
}

POINT FormWindow::offsetIn(int index, int container) const {
    const RECT own = placeOf(index);
    if (container < 0) return {own.left, own.top};
    const RECT outer = placeOf(container);
    return {own.left - outer.left, own.top - outer.top};
}

void FormWindow::makeControl(int index) {
    Made& made = made_[static_cast<std::size_t>(index)];
    const forms::Control& c = *made.control;
    // Every control is a child of the window itself (so GetDlgItem finds it), placed over its
    // container; the table's order keeps a container below what it holds.
    HWND parent = window_;
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
            className = WC_BUTTONW;
            style |= c.graphical ? BS_OWNERDRAW : BS_PUSHBUTTON;
            break;
        case Kind::PictureButton:
            className = WC_BUTTONW;
            style |= BS_OWNERDRAW;
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
            style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
            break;
        case Kind::Grid:
            break;
    }

    RECT place = placeOf(index);
    if (c.kind == Kind::Grid) {
        Grid::Events events;
        events.press = [this, index](forms::Button button, int row) {
            if (form_)
                form_->mouseDown(layout_.controls[static_cast<std::size_t>(index)].name, button,
                                 row);
        };
        events.move = [this, index] {
            if (form_) form_->mouseMove(layout_.controls[static_cast<std::size_t>(index)].name);
        };
        made.window = Grid::create(parent, id, c.grid.value_or(forms::GridSpec{}), place,
                                   (shown(index) ? WS_VISIBLE : 0) | (c.tab >= 0 ? WS_TABSTOP : 0),
                                   dpi_, std::move(events));
    } else {
        made.window = CreateWindowExW(exStyle, className, caption.c_str(), style, place.left,
                                      place.top, place.right - place.left, place.bottom - place.top,
                                      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
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
    if (!ownClass(c.kind) && c.kind != Kind::Grid)
        SetWindowSubclass(made.window, &controlProc, static_cast<UINT_PTR>(index),
                          reinterpret_cast<DWORD_PTR>(this));
    if (c.kind == Kind::ComboBox) {
        // Its edit reports keys and mouse moves as the combo box.
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (GetComboBoxInfo(made.window, &info) && info.hwndItem)
            SetWindowSubclass(info.hwndItem, &controlProc, static_cast<UINT_PTR>(index),
                              reinterpret_cast<DWORD_PTR>(this));
    }
    addTooltip(index);
}

void FormWindow::addTooltip(int index) {
    const forms::Control& c = *made_[static_cast<std::size_t>(index)].control;
    if (c.tooltip.empty() || !tooltips_) return;
    std::wstring text = wide(c.tooltip);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(made_[static_cast<std::size_t>(index)].window);
    tool.lpszText = text.data();
    SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void FormWindow::relayout(int dpi) {
    dpi_ = dpi;
    const int width = forms::pixels(layout_.clientWidth, dpi_);
    const int height = forms::pixels(layout_.clientHeight, dpi_);
    const Frame frame = frameOf(layout_);
    SIZE outer = outerSize(width, height, frame.style, frame.exStyle, dpi_);
    SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame is drawn at the dpi the system gives the window, which need not be ours yet.
    RECT client{};
    GetClientRect(window_, &client);
    if (client.right != width || client.bottom != height) {
        outer.cx += width - client.right;
        outer.cy += height - client.bottom;
        SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (std::size_t i = 0; i < made_.size(); ++i) {
        Made& made = made_[i];
        if (!made.window) continue;
        dropLook(static_cast<int>(i));
        RECT place = placeOf(static_cast<int>(i));
        int height = place.bottom - place.top;
        if (made.control->kind == Kind::ComboBox) {
            // A drop-down combo box's window height includes its list.
            SendMessageW(made.window, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                         std::max(1, height - MulDiv(6, dpi_, 96)));
            height += MulDiv(160, dpi_, 96);
        }
        SetWindowPos(made.window, nullptr, place.left, place.top, place.right - place.left, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        HFONT controlFont = font(made.control->font, dpi_);
        if (Grid* grid = Grid::of(made.window)) {
            grid->setDpi(dpi_);
            grid->setFont(controlFont);
        } else {
            SendMessageW(made.window, WM_SETFONT, reinterpret_cast<WPARAM>(controlFont), FALSE);
        }
    }
    if (tooltips_) SendMessageW(tooltips_, WM_SETFONT, reinterpret_cast<WPARAM>(font({}, dpi_)), 0);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int FormWindow::find(forms::Id name) const {
    for (std::size_t i = 0; i < made_.size(); ++i)
        if (layout_.controls[i].name == name) return static_cast<int>(i);
    return -1;
}

HWND FormWindow::control(std::string_view name) const {
    const int index = find(name);
    return index >= 0 ? made_[static_cast<std::size_t>(index)].window : nullptr;
}

int FormWindow::controlIndexOf(HWND window) const {
    for (HWND h = window; h && h != window_; h = GetParent(h)) {
        const int index = GetDlgCtrlID(h) - forms::kFirstControlId;
        if (index >= 0 && index < static_cast<int>(made_.size()) &&
            made_[static_cast<std::size_t>(index)].window == h)
            return index;
    }
    return -1;
}

bool FormWindow::shown(int index) const {
    for (int i = index; i >= 0; i = made_[static_cast<std::size_t>(i)].parent)
        if (!made_[static_cast<std::size_t>(i)].visible) return false;
    return true;
}

void FormWindow::focusControl(int index) {
    HWND target = made_[static_cast<std::size_t>(index)].window;
    if (!target || !shown(index) || !IsWindowEnabled(target)) return;
    savedFocus_ = target;
    if (IsWindowVisible(window_)) SetFocus(target);
}

void FormWindow::moveFocus(int direction) {
    if (tabOrder_.empty()) return;
    const int count = static_cast<int>(tabOrder_.size());
    const int current = controlIndexOf(GetFocus());
    auto at = std::find(tabOrder_.begin(), tabOrder_.end(), current);
    int position = at == tabOrder_.end() ? (direction > 0 ? -1 : count)
                                         : static_cast<int>(at - tabOrder_.begin());
    for (int step = 0; step < count; ++step) {
        position = (position + direction + count) % count;
        const int index = tabOrder_[static_cast<std::size_t>(position)];
        HWND target = made_[static_cast<std::size_t>(index)].window;
        if (!target || !shown(index) || !IsWindowEnabled(target)) continue;
        focusControl(index);
        // As in dialogs: a box entered by Tab has its text selected.
        if (layout_.controls[static_cast<std::size_t>(index)].kind == Kind::TextBox)
            SendMessageW(target, EM_SETSEL, 0, -1);
        return;
    }
}

bool FormWindow::deliverKey(int index, forms::Key key) {
    if (!form_) return false;
    const std::string_view id =
        index >= 0 ? layout_.controls[static_cast<std::size_t>(index)].name : std::string_view();
    return form_->key(id, key);
}

bool FormWindow::preTranslate(const MSG& message) {
    if (!form_) return false;
    const int index = controlIndexOf(message.hwnd);
    const Kind kind =
        index >= 0 ? layout_.controls[static_cast<std::size_t>(index)].kind : Kind::Label;
    if (message.message == WM_KEYDOWN) {
        switch (message.wParam) {
            case VK_TAB:
                if (GetKeyState(VK_CONTROL) < 0) return false;
                moveFocus(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
                return true;
            case VK_RETURN:
                if (deliverKey(index, forms::Key::Enter)) return true;
                if (index >= 0 && isPushButton(kind)) {
                    // Where the table says so, Enter presses the button that has the focus, as
                    // in a dialog; no mouse press is faked for it. Elsewhere it does nothing.
                    if (layout_.enterPressesButtons)
                        form_->click(layout_.controls[static_cast<std::size_t>(index)].name);
                    return true;
                }
                return false;
            case VK_ESCAPE:
                return deliverKey(index, forms::Key::Escape);
            default:
                return false;
        }
    }
    if (message.message == WM_CHAR) {
        if (deliverKey(index, forms::Key::Character)) return true;
        const wchar_t ch = static_cast<wchar_t>(message.wParam);
        const bool multiLine = index >= 0 && kind == Kind::TextBox &&
                               layout_.controls[static_cast<std::size_t>(index)].multiLine;
        // Single-line boxes would only beep at these.
        if ((ch == L'\r' || ch == L'\x1b' || ch == L'\t') && !multiLine) return true;
    }
    return false;
}

COLORREF FormWindow::backOf(int index) const {
    if (index < 0) return GetSysColor(COLOR_BTNFACE);
    const Made& made = made_[static_cast<std::size_t>(index)];
    if (made.back) return toColorref(*made.back);
    return GetSysColor(COLOR_BTNFACE);
}

void FormWindow::paintLook(int container, HDC dc, POINT offset) {
    if (container < 0) {
        RECT client{};
        GetClientRect(window_, &client);
        OffsetRect(&client, offset.x, offset.y);
        FillRect(dc, &client, solidBrush(GetSysColor(COLOR_BTNFACE)));
        return;
    }
    const Made& made = made_[static_cast<std::size_t>(container)];
    RECT rect{};
    GetClientRect(made.window, &rect);
    OffsetRect(&rect, offset.x, offset.y);
    const forms::Control& c = *made.control;
    if (c.kind == Kind::Image || c.kind == Kind::Line) {
        // Without a back colour of its own, it shows what lies under it.
        const POINT inParent = offsetIn(container, made.parent);
        paintLook(made.parent, dc, POINT{offset.x - inParent.x, offset.y - inParent.y});
    } else {
        FillRect(dc, &rect, solidBrush(backOf(container)));
    }
    if (!c.picture.empty()) drawArt(dc, c.picture, rect);
}

HBRUSH FormWindow::lookBrush(int container) {
    if (container < 0) return solidBrush(GetSysColor(COLOR_BTNFACE));
    Made& made = made_[static_cast<std::size_t>(container)];
    if (made.control->picture.empty()) return solidBrush(backOf(container));
    if (!made.look) {
        RECT client{};
        GetClientRect(made.window, &client);
        HDC screen = GetDC(made.window);
        HDC memory = CreateCompatibleDC(screen);
        made.lookBitmap =
            CreateCompatibleBitmap(screen, std::max(1L, client.right), std::max(1L, client.bottom));
        HGDIOBJ old = SelectObject(memory, made.lookBitmap);
        paintLook(container, memory, POINT{0, 0});
        // The pictures standing on it show through the labels too.
        for (std::size_t i = 0; i < made_.size(); ++i) {
            const forms::Control& c = *made_[i].control;
            if (made_[i].parent != container || c.kind != Kind::Image || c.picture.empty() ||
                !made_[i].visible)
                continue;
            const POINT at = offsetIn(static_cast<int>(i), container);
            const RECT own = placeOf(static_cast<int>(i));
            const RECT there{at.x, at.y, at.x + own.right - own.left, at.y + own.bottom - own.top};
            drawArt(memory, c.picture, there);
        }
        SelectObject(memory, old);
        DeleteDC(memory);
        ReleaseDC(made.window, screen);
        made.look = CreatePatternBrush(made.lookBitmap);
    }
    return made.look;
}

void FormWindow::dropLook(int container) {
    Made& made = made_[static_cast<std::size_t>(container)];
    if (made.look) DeleteObject(made.look);
    if (made.lookBitmap) DeleteObject(made.lookBitmap);
    made.look = nullptr;
    made.lookBitmap = nullptr;
}

void FormWindow::paintContainer(int index, HDC dc) {
    const Made& made = made_[static_cast<std::size_t>(index)];
    RECT client{};
    GetClientRect(made.window, &client);
    const forms::Control& c = *made.control;
    if (c.kind == Kind::Line) {
        const POINT inParent = offsetIn(index, made.parent);
        paintLook(made.parent, dc, POINT{-inParent.x, -inParent.y});
        RECT line{0, 0,
                  std::max(1L, std::min(client.right, static_cast<LONG>(MulDiv(1, dpi_, 96)))),
                  client.bottom};
        FillRect(dc, &line,
                 solidBrush(c.fore ? toColorref(*c.fore) : GetSysColor(COLOR_BTNSHADOW)));
        return;
    }
    paintLook(index, dc, POINT{0, 0});
    if (c.kind == Kind::Frame) DrawEdge(dc, &client, EDGE_SUNKEN, BF_RECT);
}

void FormWindow::drawButton(int index, const DRAWITEMSTRUCT& item) {
    const forms::Control& c = *made_[static_cast<std::size_t>(index)].control;
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    const bool disabled = item.itemState & ODS_DISABLED;
    if (c.kind == Kind::PictureButton && c.flat && !c.back) {
        const int parent = made_[static_cast<std::size_t>(index)].parent;
        const POINT inParent = offsetIn(index, parent);
        paintLook(parent, dc, POINT{-inParent.x, -inParent.y});
    } else {
        FillRect(dc, &rect, solidBrush(backOf(index)));
    }
    if (!(c.kind == Kind::PictureButton && c.flat)) {
        RECT edge = rect;
        DrawEdge(dc, &edge, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }
    const int border = c.flat ? 0 : MulDiv(2, dpi_, 96);
    InflateRect(&rect, -border, -border);
    if (pressed) OffsetRect(&rect, 1, 1);

    const std::wstring caption = wide(windowText(item.hwndItem));
    HGDIOBJ oldFont = SelectObject(dc, font(c.font, dpi_));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT)
                     : c.fore ? toColorref(*c.fore)
                              : GetSysColor(COLOR_BTNTEXT));
    if (c.kind == Kind::PictureButton) {
        RECT picture = rect;
        if (!caption.empty()) {
            // The picture is square at the left; the caption fills the rest.
            picture.right = picture.left + (picture.bottom - picture.top);
            if (!c.picture.empty()) drawArt(dc, c.picture, picture);
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
        InflateRect(&focus, -MulDiv(4, dpi_, 96), -MulDiv(4, dpi_, 96));
        DrawFocusRect(dc, &focus);
    }
}

void FormWindow::drawVerticalLabel(int index, const DRAWITEMSTRUCT& item) {
    const forms::Control& c = *made_[static_cast<std::size_t>(index)].control;
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    HBRUSH back = controlColours(item.hwndItem, dc);
    FillRect(dc, &rect, back);
    const std::wstring text = wide(windowText(item.hwndItem));
    // One character under the other (surrogate pairs kept together).
    std::vector<std::wstring> characters;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool high = text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size();
        characters.push_back(text.substr(i, high ? 2 : 1));
        if (high) ++i;
    }
    HGDIOBJ oldFont = SelectObject(dc, font(c.font, dpi_));
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

HBRUSH FormWindow::controlColours(HWND control, HDC dc) {
    const int index = controlIndexOf(control);
    if (index < 0) return solidBrush(GetSysColor(COLOR_BTNFACE));
    const Made& made = made_[static_cast<std::size_t>(index)];
    const forms::Control& c = *made.control;
    if (c.fore)
        SetTextColor(dc, toColorref(*c.fore));
    else
        SetTextColor(
            dc, GetSysColor(c.kind == Kind::TextBox || c.kind == Kind::ComboBox ? COLOR_WINDOWTEXT
                                                                                : COLOR_BTNTEXT));
    if (c.kind == Kind::TextBox || c.kind == Kind::ComboBox) {
        // A disabled box looks disabled, as without colours of its own.
        const COLORREF back = made.back                  ? toColorref(*made.back)
                              : IsWindowEnabled(control) ? GetSysColor(COLOR_WINDOW)
                                                         : GetSysColor(COLOR_BTNFACE);
        SetBkColor(dc, back);
        return solidBrush(back);
    }
    if (made.back) {
        SetBkColor(dc, toColorref(*made.back));
        return solidBrush(toColorref(*made.back));
    }
    // No back colour of its own: what it stands on shows through.
    SetBkMode(dc, TRANSPARENT);
    HBRUSH brush = lookBrush(made.parent);
    const POINT inParent = offsetIn(index, made.parent);
    SetBrushOrgEx(dc, -inParent.x, -inParent.y, nullptr);
    SetBkColor(dc, backOf(made.parent));
    return brush;
}

bool FormWindow::handleParentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_COMMAND: {
            const int index = controlIndexOf(reinterpret_cast<HWND>(lParam));
            if (index < 0 || !form_) return false;
            const Kind kind = layout_.controls[static_cast<std::size_t>(index)].kind;
            if (HIWORD(wParam) == BN_CLICKED && (isPushButton(kind) || kind == Kind::CheckBox)) {
                form_->click(layout_.controls[static_cast<std::size_t>(index)].name);
                result = 0;
                return true;
            }
            return false;
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            const int index = controlIndexOf(item.hwndItem);
            if (index < 0) return false;
            if (item.CtlType == ODT_BUTTON)
                drawButton(index, item);
            else if (item.CtlType == ODT_STATIC)
                drawVerticalLabel(index, item);
            result = TRUE;
            return true;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
            if (controlIndexOf(reinterpret_cast<HWND>(lParam)) < 0) return false;
            result = reinterpret_cast<LRESULT>(
                controlColours(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)));
            return true;
        default:
            return false;
    }
}

LRESULT CALLBACK FormWindow::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        if (auto* self = static_cast<FormWindow*>(create->lpCreateParams)) self->window_ = window;
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || self->window_ != window) return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (handleParentMessage(message, wParam, lParam, result)) return result;
    switch (message) {
        case WM_MOUSEMOVE:
            if (form_) form_->mouseMove({});
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(window_, focus)) savedFocus_ = focus;
                return 0;
            }
            if (savedFocus_ && IsWindow(savedFocus_) && IsWindowVisible(savedFocus_) &&
                IsWindowEnabled(savedFocus_)) {
                SetFocus(savedFocus_);
                return 0;
            }
            break;
        case WM_SYSCOMMAND:
            // Without a Close command in its system menu a window has no keyboard close either.
            if ((wParam & 0xFFF0) == SC_CLOSE &&
                GetMenuState(GetSystemMenu(window_, FALSE), SC_CLOSE, MF_BYCOMMAND) ==
                    static_cast<UINT>(-1))
                return 0;
            break;
        case WM_CLOSE:
            if (form_ && !form_->closing()) return 0;
            DestroyWindow(window_);
            return 0;
        case WM_DPICHANGED: {
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            relayout(HIWORD(wParam));
            SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_NCDESTROY: {
            window_ = nullptr;
            tooltips_ = nullptr;
            for (Made& made : made_) made.window = nullptr;
            if (auto gone = std::move(gone_)) gone();
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::containerProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    FormWindow* self = of(window);
    const int index = self ? self->controlIndexOf(window) : -1;
    if (!self || index < 0) return DefWindowProcW(window, message, wParam, lParam);
    return self->handleContainer(index, window, message, wParam, lParam);
}

LRESULT FormWindow::handleContainer(int index, HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam) {
    LRESULT result = 0;
    if (handleParentMessage(message, wParam, lParam, result)) return result;
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            paintContainer(index, dc);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (form_) form_->mouseMove(layout_.controls[static_cast<std::size_t>(index)].name);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK FormWindow::controlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR index, DWORD_PTR data) {
    auto* self = reinterpret_cast<FormWindow*>(data);
    const auto& c = self->layout_.controls[index];
    switch (message) {
        case WM_MOUSEMOVE:
            if (self->form_) self->form_->mouseMove(c.name);
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (self->form_ && isPushButton(c.kind)) {
                const forms::Button button = message == WM_RBUTTONDOWN   ? forms::Button::Right
                                             : message == WM_MBUTTONDOWN ? forms::Button::Other
                                                                         : forms::Button::Left;
                self->form_->mouseDown(c.name, button, -1);
                // The form may have closed the window.
                if (!IsWindow(window)) return 0;
            }
            break;
        case WM_SETFOCUS:
            self->savedFocus_ = window;
            break;
        case WM_IME_COMPOSITION:
            if ((lParam & GCS_RESULTSTR) && self->form_) {
                if (self->form_->key(c.name, forms::Key::Character)) return 0;
                // The characters the edit makes of it were reported just now.
                self->composing_ = true;
                const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
                self->composing_ = false;
                return result;
            }
            break;
        case WM_IME_CHAR:
            if (!self->composing_ && self->form_ && self->form_->key(c.name, forms::Key::Character))
                return 0;
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(window, &controlProc, index);
            break;
        default:
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::ownerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<FormWindow*>(data);
    // The owner is never shown: when the system hands it the activation (a message box of the
    // owned window has closed), it goes on to the owned window, or the keys would reach nothing.
    if ((message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) || message == WM_SETFOCUS)
        PostMessageW(window, kTakeActivation, 0, 0);
    if (message == kTakeActivation) {
        self->takeActivation();
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, &ownerProc, 0);
    return DefSubclassProc(window, message, wParam, lParam);
}

void FormWindow::takeActivation() {
    if (!window_ || !IsWindowVisible(window_) || !IsWindowEnabled(window_)) return;
    SetForegroundWindow(window_);
    SetActiveWindow(window_);
    if (savedFocus_ && IsWindow(savedFocus_) && IsWindowVisible(savedFocus_) &&
        IsWindowEnabled(savedFocus_))
        SetFocus(savedFocus_);
    else
        SetFocus(window_);
}

// forms::View

namespace {

// A multi-line edit breaks its lines with CR LF; the forms with LF.
std::string withCrLf(std::string_view text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) result += '\r';
        result += text[i];
    }
    return result;
}

std::string withLf(const std::string& text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) result += text[i];
    return result;
}

}  // namespace

void FormWindow::setText(forms::Id name, std::string_view wanted) {
    HWND h = control(name);
    if (!h) return;
    const forms::Control& c = layout_.controls[static_cast<std::size_t>(find(name))];
    const std::string text =
        c.kind == Kind::TextBox && c.multiLine ? withCrLf(wanted) : std::string(wanted);
    if (windowText(h) == text) return;
    setWindowText(h, text);
    const Kind kind = c.kind;
    if (kind == Kind::Button || kind == Kind::PictureButton || kind == Kind::Label)
        InvalidateRect(h, nullptr, TRUE);
}

std::string FormWindow::text(forms::Id name) const {
    HWND h = control(name);
    if (!h) return {};
    const forms::Control& c = layout_.controls[static_cast<std::size_t>(find(name))];
    return c.kind == Kind::TextBox && c.multiLine ? withLf(windowText(h)) : windowText(h);
}

void FormWindow::setEnabled(forms::Id name, bool enabled) {
    if (HWND h = control(name)) EnableWindow(h, enabled);
}

bool FormWindow::enabled(forms::Id name) const {
    HWND h = control(name);
    return h && IsWindowEnabled(h);
}

void FormWindow::setVisible(forms::Id name, bool visible) {
    const int index = find(name);
    if (index < 0) return;
    made_[static_cast<std::size_t>(index)].visible = visible;
    // What a container holds shows and hides with it.
    for (std::size_t i = 0; i < made_.size(); ++i) {
        if (!made_[i].window || !within(static_cast<int>(i), index)) continue;
        const bool show = shown(static_cast<int>(i));
        HWND h = made_[i].window;
        if (!show && GetFocus() && (GetFocus() == h || IsChild(h, GetFocus()))) {
            ShowWindow(h, SW_HIDE);
            moveFocus(1);
        }
        ShowWindow(h, show ? SW_SHOWNA : SW_HIDE);
    }
}

bool FormWindow::within(int index, int container) const {
    for (int i = index; i >= 0; i = made_[static_cast<std::size_t>(i)].parent)
        if (i == container) return true;
    return false;
}

void FormWindow::setChecked(forms::Id name, bool checked) {
    if (HWND h = control(name))
        SendMessageW(h, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool FormWindow::checked(forms::Id name) const {
    HWND h = control(name);
    return h && SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void FormWindow::setBackColor(forms::Id name, forms::Rgb colour) {
    const int index = find(name);
    if (index < 0) return;
    Made& made = made_[static_cast<std::size_t>(index)];
    if (made.back == colour) return;
    made.back = colour;
    dropLook(index);
    // The labels standing on it show its colour too.
    for (std::size_t i = 0; i < made_.size(); ++i)
        if (made_[i].window && within(static_cast<int>(i), index))
            InvalidateRect(made_[i].window, nullptr, TRUE);
}

void FormWindow::setFocus(forms::Id name) {
    const int index = find(name);
    if (index >= 0) focusControl(index);
}

void FormWindow::setGridRows(forms::Id name, const std::vector<std::vector<std::string>>& rows) {
    Grid* grid = Grid::of(control(name));
    if (!grid) return;
    std::vector<std::vector<std::wstring>> cells;
    cells.reserve(rows.size());
    for (const auto& row : rows) {
        auto& line = cells.emplace_back();
        for (const auto& cell : row) line.push_back(wide(cell));
    }
    grid->setRows(std::move(cells));
}

void FormWindow::setCell(forms::Id name, int row, int column, std::string_view text) {
    if (Grid* grid = Grid::of(control(name))) grid->setCell(row, column, wide(text));
}

void FormWindow::setCurrentCell(forms::Id name, int row, int column) {
    if (Grid* grid = Grid::of(control(name))) grid->setCurrentCell(row, column);
}

void FormWindow::setCellNote(forms::Id name, int row, int column, std::optional<forms::Rgb> back,
                             std::string_view tip) {
    if (Grid* grid = Grid::of(control(name))) grid->setCellNote(row, column, back, wide(tip));
}

void FormWindow::close() {
    if (window_) DestroyWindow(window_);
}

}  // namespace tessmar::win32
