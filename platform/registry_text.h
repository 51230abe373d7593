#pragma once
// The stand-in's file format on its own, without a file: what reading registry.reg and writing it
// back makes of its text. For checks of the reader; the registry itself never needs it.
#include <string>
#include <string_view>

#include "platform/result.h"

namespace tessmar::platform {

// The text the stand-in would write after reading these bytes, or the reader's refusal.
Result<std::string> rewrittenRegistryText(std::string_view bytes);

}  // namespace tessmar::platform
