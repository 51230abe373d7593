// The Group Policy export: a fixed single border with a close box; its controls come from its
// table.
#include "win32/window.h"

namespace tessmar::win32 {

const WindowClass& exportClass() {
    static const WindowClass kind{WS_CAPTION | WS_SYSMENU, 0, false, nullptr, nullptr};
    return kind;
}

}  // namespace tessmar::win32
