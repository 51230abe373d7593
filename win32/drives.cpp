// The drive hiding window: a fixed single border with a close box; the check boxes, lines and
// buttons come from its table.
#include "win32/window.h"

namespace tessmar::win32 {

const WindowClass& drivesClass() {
    static const WindowClass kind{WS_CAPTION | WS_SYSMENU, 0, false, nullptr, nullptr};
    return kind;
}

}  // namespace tessmar::win32
