#pragma once
// The custom category as the checklist shows it.
#include <string>
#include <vector>

#include "settings/selection.h"

namespace tessmar::custom {

// Eleven blanks on each side.
inline constexpr const char* kCustomTitle = "           自定功能（要设置的项目）           ";

// One row per entry name, marked from field 7 of the settings file.
settings::Checklist fillCustom(const std::vector<std::string>& names,
                               const settings::Field& stored);

}  // namespace tessmar::custom
