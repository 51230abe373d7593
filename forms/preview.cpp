#include "forms/preview.h"

#include "forms/tables.h"

namespace tessmar::forms {

WindowLayout previewLayout() {
    return {.name = "preview",
            .caption = "",
            .clientWidth = 6000,
            .clientHeight = 4000,
            .border = Border::FixedSingle,
            .taskbar = true,
            .focus = "",
            .controls = {}};
}

}  // namespace tessmar::forms
