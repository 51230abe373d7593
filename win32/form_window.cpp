#include "win32/form_window.h"

#include <commctrl.h>

#include "win32/art.h"
#include "win32/fonts.h"
#include "win32/object.h"
#include "win32/painting.h"
#include "win32/text.h"

namespace tessmar::win32 {
namespace {

constexpr const wchar_t* kOwnerClass = L"TessmarOwner";
constexpr UINT kTakeActivation = WM_APP + 1;

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

bool registerClass(const wchar_t* name, WNDPROC proc, UINT style = 0, HICON icon = nullptr,
                   HICON smallIcon = nullptr, HBRUSH background = nullptr) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &existing)) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

}  // namespace

FormWindow::FormWindow(const forms::WindowLayout& layout, std::function<void()> gone)
    : layout_(layout), gone_(std::move(gone)), controls_(layout), keyboard_(controls_) {}

FormWindow::~FormWindow() {
    // Destroying the window sends it messages; none of them reaches a form or the desktop.
    form_ = nullptr;
    gone_ = nullptr;
    if (window_) DestroyWindow(window_);
    if (owner_) DestroyWindow(owner_);
}

FormWindow* FormWindow::of(HWND window) {
    return window ? objectOf<FormWindow>(GetAncestor(window, GA_ROOT), &proc) : nullptr;
}

bool FormWindow::create() {
    // The window class is the table's name, which is how other programs find the window.
    const std::wstring className = wide(layout_.name);
    if (!registerClass(className.c_str(), &proc, 0, programIcon(32), programIcon(16),
                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)) ||
        !registerClass(kContainerClass, &containerProc, CS_HREDRAW | CS_VREDRAW) ||
        !registerClass(kOwnerClass, &ownerProc))
        return false;

    const Frame frame = frameOf(layout_);
    if (!layout_.taskbar)
        owner_ = CreateWindowExW(WS_EX_TOOLWINDOW, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), this);
    // Placed on the primary monitor first, so that its dpi is known before anything is sized.
    HMONITOR monitor = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    CreateWindowExW(frame.exStyle, className.c_str(), wide(layout_.caption).c_str(), frame.style,
                    info.rcWork.left, info.rcWork.top, 100, 100, owner_, nullptr,
                    GetModuleHandleW(nullptr), this);
    if (!window_) return false;
    if (layout_.border == forms::Border::FixedDialog) {
        // The close box goes with the Close command.
        DeleteMenu(GetSystemMenu(window_, FALSE), SC_CLOSE, MF_BYCOMMAND);
        SendMessageW(window_, WM_NCACTIVATE, TRUE, 0);
    }

    controls_.make(window_, dpiOf(window_), &controlProc, [this](int index) {
        const forms::Id name = controls_.control(index).name;
        Grid::Events events;
        events.press = [this, name](forms::Button button, int row) {
            if (form_) form_->mouseDown(name, button, row);
        };
        events.move = [this, name] {
            if (form_) form_->mouseMove(name);
        };
        return events;
    });
    keyboard_.build();
    relayout(controls_.dpi());
    if (!layout_.focus.empty()) setFocus(layout_.focus);
    return true;
}

void FormWindow::centre() {
    RECT outer{};
    GetWindowRect(window_, &outer);
    HMONITOR monitor = MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    const forms::Point corner = forms::centred(
        info.rcWork.left, info.rcWork.top, info.rcWork.right - info.rcWork.left,
        info.rcWork.bottom - info.rcWork.top, outer.right - outer.left, outer.bottom - outer.top);
    if (corner.x == outer.left && corner.y == outer.top) return;
    SetWindowPos(window_, nullptr, corner.x, corner.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::show() {
    // Placed while still hidden, so the window manager maps it where it belongs: moved and mapped
    // in one step, Wine under openbox now and then kept the window where it was made.
    centre();
    // Each control is erased as it is painted rather than all of them at once before: under Wine
    // every control's turn costs a round of requests to the X server.
    SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_DEFERERASE);
    // Asked again when it is already in front, Wine would wait for the window manager once more.
    if (GetForegroundWindow() != window_) SetForegroundWindow(window_);
    keyboard_.restoreFocus();
}

void FormWindow::preparePainting() {
    if (!window_) return;
    win32::preparePainting(controls_);
    centre();
    forgetDrawnAhead();
    drawnAhead_ = drawAhead(controls_);
}

void FormWindow::forgetDrawnAhead() {
    if (drawnAhead_) DeleteObject(drawnAhead_);
    drawnAhead_ = nullptr;
}

void FormWindow::pointerMoved(HWND over, UINT message, WPARAM wParam, LPARAM lParam) {
    if (tooltips_ || !window_) return;
    // Made when the pointer first comes, not with every window: a window never pointed at needs
    // none.
    tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (!tooltips_) return;
    SendMessageW(tooltips_, WM_SETFONT, reinterpret_cast<WPARAM>(font({}, dpi())), 0);
    controls_.addTooltips(tooltips_);
    // This move came before the tooltips watched the controls.
    MSG move{over, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    GetCursorPos(&move.pt);
    SendMessageW(tooltips_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
}

void FormWindow::relayout(Dpi dpi) {
    const int width = dpi.twips(layout_.clientWidth);
    const int height = dpi.twips(layout_.clientHeight);
    const Frame frame = frameOf(layout_);
    SIZE outer = outerSize(width, height, frame.style, frame.exStyle, dpi);
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
    controls_.place(dpi);
    forgetDrawnAhead();
    if (tooltips_) SendMessageW(tooltips_, WM_SETFONT, reinterpret_cast<WPARAM>(font({}, dpi)), 0);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The window procedures

LRESULT CALLBACK FormWindow::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = adopt<FormWindow>(window, message, lParam);
    if (self && message == WM_NCCREATE) self->window_ = window;
    if (!self || self->window_ != window) return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto result = onControlMessage(message, wParam, lParam)) return *result;
    switch (message) {
        case WM_MOUSEMOVE:
            pointerMoved(window_, message, wParam, lParam);
            if (form_) form_->mouseMove({});
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window_, &ps);
            paintWindow(controls_, dc, ps.rcPaint, drawnAhead_);
            EndPaint(window_, &ps);
            // Only the first paint can be sure that nothing has changed since.
            forgetDrawnAhead();
            return 0;
        }
        case WM_ACTIVATE:
            if (keyboard_.activate(wParam)) return 0;
            break;
        case WM_SYSCOMMAND:
            return onSysCommand(wParam, lParam);
        case WM_CLOSE:
            return onClose();
        case WM_DPICHANGED:
            return onDpiChanged(wParam, *reinterpret_cast<const RECT*>(lParam));
        case WM_NCDESTROY:
            return onDestroyed();
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::ownerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = adopt<FormWindow>(window, message, lParam);
    // The owner is never shown: when the system hands it the activation (a message box of the
    // owned window has closed), it goes on to the owned window, or the keys would reach nothing.
    if ((message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) || message == WM_SETFOCUS)
        PostMessageW(window, kTakeActivation, 0, 0);
    if (message == kTakeActivation) {
        if (self) self->keyboard_.takeActivation();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::containerProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    FormWindow* self = of(window);
    const int index = self ? self->controls_.indexOf(window) : -1;
    if (index < 0) return DefWindowProcW(window, message, wParam, lParam);
    return self->handleContainer(index, window, message, wParam, lParam);
}

LRESULT FormWindow::handleContainer(int index, HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam) {
    if (auto result = onControlMessage(message, wParam, lParam)) return *result;
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            forgetDrawnAhead();
            handOverPaint(controls_, window);
            return 0;
        case WM_MOUSEMOVE:
            pointerMoved(window, message, wParam, lParam);
            if (form_) form_->mouseMove(controls_.control(index).name);
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
                                         UINT_PTR, DWORD_PTR) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &controlProc, 0);
        return DefSubclassProc(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_SETFOCUS:
        case WM_IME_COMPOSITION:
        case WM_IME_CHAR:
        case WM_ERASEBKGND:
        case WM_PAINT:
            if (FormWindow* self = of(window))
                if (const int index = self->controls_.indexOf(window); index >= 0)
                    return self->handleControl(index, window, message, wParam, lParam);
            break;
        default:
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT FormWindow::handleControl(int index, HWND window, UINT message, WPARAM wParam,
                                  LPARAM lParam) {
    const forms::Control& c = controls_.control(index);
    switch (message) {
        case WM_ERASEBKGND:
            // A button the window draws covers its whole place: erasing it first would only
            // ask for a backdrop that is drawn over at once.
            if (isOwnerDrawnButton(c)) return 1;
            break;
        case WM_PAINT:
            if (!paintedByTheWindow(c)) break;
            forgetDrawnAhead();
            handOverPaint(controls_, window);
            return 0;
        case WM_MOUSEMOVE:
            pointerMoved(window, message, wParam, lParam);
            if (form_) form_->mouseMove(c.name);
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (form_ && isPushButton(c.kind)) {
                const forms::Button button = message == WM_RBUTTONDOWN   ? forms::Button::Right
                                             : message == WM_MBUTTONDOWN ? forms::Button::Other
                                                                         : forms::Button::Left;
                form_->mouseDown(c.name, button, -1);
                // The form may have closed the window.
                if (!IsWindow(window)) return 0;
            }
            break;
        default:
            if (auto used = keyboard_.controlMessage(window, message, wParam, lParam, index, form_))
                return *used;
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// The named handlers

std::optional<LRESULT> FormWindow::onControlMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            return onCommand(wParam, lParam);
        case WM_DRAWITEM:
            return onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
            return onControlColour(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
        default:
            return std::nullopt;
    }
}

std::optional<LRESULT> FormWindow::onCommand(WPARAM wParam, LPARAM lParam) {
    const int index = controls_.indexOf(reinterpret_cast<HWND>(lParam));
    if (index < 0 || !form_) return std::nullopt;
    const forms::Control& c = controls_.control(index);
    // A drop-down list reports the administrator's choice as a click; the form's own setting of
    // the choice sends nothing.
    if (c.kind == forms::Kind::ComboBox && c.dropList) {
        if (HIWORD(wParam) != CBN_SELCHANGE) return std::nullopt;
        form_->click(c.name);
        return 0;
    }
    // A check box reports its click after it has toggled.
    if (HIWORD(wParam) != BN_CLICKED || !(isPushButton(c.kind) || c.kind == forms::Kind::CheckBox))
        return std::nullopt;
    form_->click(c.name);
    return 0;
}

std::optional<LRESULT> FormWindow::onDrawItem(const DRAWITEMSTRUCT& item) {
    const int index = controls_.indexOf(item.hwndItem);
    if (index < 0) return std::nullopt;
    forgetDrawnAhead();
    drawItem(controls_, index, item);
    return TRUE;
}

std::optional<LRESULT> FormWindow::onControlColour(HWND control, HDC dc) {
    const int index = controls_.indexOf(control);
    if (index < 0) return std::nullopt;
    return reinterpret_cast<LRESULT>(controlColours(controls_, index, control, dc));
}

LRESULT FormWindow::onSysCommand(WPARAM wParam, LPARAM lParam) {
    // Without a Close command in its system menu a window has no keyboard close either.
    if ((wParam & 0xFFF0) == SC_CLOSE && GetMenuState(GetSystemMenu(window_, FALSE), SC_CLOSE,
                                                      MF_BYCOMMAND) == static_cast<UINT>(-1))
        return 0;
    return DefWindowProcW(window_, WM_SYSCOMMAND, wParam, lParam);
}

LRESULT FormWindow::onClose() {
    if (form_ && !form_->closing()) return 0;
    DestroyWindow(window_);
    return 0;
}

LRESULT FormWindow::onDpiChanged(WPARAM wParam, const RECT& suggested) {
    relayout(Dpi(HIWORD(wParam)));
    // The suggested place, where the system moved the window; not its size, which is the old one
    // scaled and can be a pixel off the table's twips at the new dpi, where relayout is exact.
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT FormWindow::onDestroyed() {
    forgetDrawnAhead();
    window_ = nullptr;
    tooltips_ = nullptr;
    controls_.forget();
    if (auto gone = std::move(gone_)) gone();
    return 0;
}

}  // namespace tessmar::win32
