// The custom entry editor: keys typed into its combo boxes reach the form like those of the text
// boxes, since the type box reacts to every character.
#include "win32/window.h"

namespace tessmar::win32 {
namespace {

void setUp(FormWindow& window) {
    const auto& controls = window.layout().controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].kind != forms::Kind::ComboBox) continue;
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (GetComboBoxInfo(window.control(controls[i].name), &info) && info.hwndItem)
            window.routeEventsOf(info.hwndItem, static_cast<int>(i));
    }
}

}  // namespace

const WindowClass& editorClass() {
    static const WindowClass kind{WS_CAPTION | WS_SYSMENU, 0, false, nullptr, &setUp};
    return kind;
}

}  // namespace tessmar::win32
