// The logon notice editor: Enter in its boxes starts a new line and never presses a button.
#include "win32/window.h"

namespace tessmar::win32 {
namespace {

DWORD controlStyle(const forms::Control& control) {
    return control.kind == forms::Kind::TextBox && control.multiLine ? ES_WANTRETURN : 0;
}

}  // namespace

const WindowClass& noticeClass() {
    static const WindowClass kind{WS_CAPTION | WS_SYSMENU, 0, false, &controlStyle, nullptr};
    return kind;
}

}  // namespace tessmar::win32
