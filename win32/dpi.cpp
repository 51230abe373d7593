#include "win32/dpi.h"

#include <cmath>

namespace tessmar::win32 {
namespace {

// Functions of newer Windows, looked up so that the program still starts without them.
template <class Fn>
Fn user32Function(const char* name) {
    return reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

void becomeDpiAware() {
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    static const auto setContext = user32Function<SetContextFn>("SetProcessDpiAwarenessContext");
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, then the first per-monitor version.
    if (setContext && (setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4))) ||
                       setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3)))))
        return;
    SetProcessDPIAware();
}

int Dpi::points(double points) const {
    return static_cast<int>(std::lround(points * value_ / 72.0));
}

Dpi dpiOf(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto get = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (get && window) {
        const UINT dpi = get(window);
        if (dpi) return Dpi(static_cast<int>(dpi));
    }
    HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(window, dc);
    return Dpi(dpi);
}

SIZE outerSize(int width, int height, DWORD style, DWORD exStyle, Dpi dpi) {
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = user32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    RECT rect{0, 0, width, height};
    if (adjust)
        adjust(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi.value()));
    else
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace tessmar::win32
