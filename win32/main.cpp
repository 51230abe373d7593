// The main window: no title bar, a thin fixed border, a fixed size; every pointer move over it and
// its controls goes to the form, which does the hover colours.
#include "win32/window.h"

namespace tessmar::win32 {

const WindowClass& mainClass() {
    // Without a title bar it still keeps its task bar button.
    static const WindowClass kind{WS_POPUP | WS_BORDER, WS_EX_APPWINDOW, false, nullptr, nullptr};
    return kind;
}

}  // namespace tessmar::win32
