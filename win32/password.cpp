// The password change window: a fixed single border with a close box; nothing else of its own.
#include "win32/window.h"

namespace tessmar::win32 {

const WindowClass& passwordClass() {
    static const WindowClass kind{WS_CAPTION | WS_SYSMENU, 0, false, nullptr, nullptr};
    return kind;
}

}  // namespace tessmar::win32
