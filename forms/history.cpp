#include "forms/history.h"

#include "forms/tables.h"

namespace tessmar::forms {

WindowLayout historyLayout() {
    return {.name = "history",
            .caption = "",
            .clientWidth = 6000,
            .clientHeight = 4000,
            .border = Border::FixedSingle,
            .taskbar = true,
            .focus = "",
            .controls = {}};
}

}  // namespace tessmar::forms
