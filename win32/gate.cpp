// The start-up gate: a dialog frame without a Close command and without a task bar button.
#include "win32/window.h"

namespace tessmar::win32 {
namespace {

void setUp(FormWindow& window) {
    // The close box goes with the Close command; "取消" is the way out.
    HMENU menu = GetSystemMenu(window.window(), FALSE);
    DeleteMenu(menu, SC_CLOSE, MF_BYCOMMAND);
    SendMessageW(window.window(), WM_NCACTIVATE, TRUE, 0);
}

}  // namespace

const WindowClass& gateClass() {
    static const WindowClass kind{WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME,
                                  true, nullptr, &setUp};
    return kind;
}

}  // namespace tessmar::win32
