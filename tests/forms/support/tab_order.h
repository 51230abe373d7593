#pragma once
// The controls a window's Tab key walks through, in order, as its controls table gives them.
#include <algorithm>
#include <string>
#include <vector>

#include "forms/layout.h"

namespace tessmar::test {

inline std::vector<std::string> tabOrder(const forms::WindowLayout& layout) {
    std::vector<const forms::Control*> stops;
    for (const forms::Control& control : layout.controls)
        if (control.tab >= 0) stops.push_back(&control);
    std::ranges::sort(stops, {}, &forms::Control::tab);
    std::vector<std::string> names;
    for (const forms::Control* control : stops) names.emplace_back(control->name);
    return names;
}

}  // namespace tessmar::test
