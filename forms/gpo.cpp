#include "forms/gpo.h"

#include "forms/tables.h"

namespace tessmar::forms {

WindowLayout gpoLayout() {
    return {.name = "gpo",
            .caption = "",
            .clientWidth = 6000,
            .clientHeight = 4000,
            .border = Border::FixedSingle,
            .taskbar = true,
            .focus = "",
            .controls = {}};
}

}  // namespace tessmar::forms
