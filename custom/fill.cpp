#include "custom/fill.h"

namespace tessmar::custom {

settings::Checklist fillCustom(const std::vector<std::string>& names,
                               const settings::Field& stored) {
    return settings::makeChecklist(kCustomTitle, names, stored);
}

}  // namespace tessmar::custom
