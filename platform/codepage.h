#pragma once
// The one conversion pair between the Unicode text held inside (UTF-8) and the code page 936 bytes
// that files and the registry hold. Text that the other side cannot represent is an error, never a
// "?".
#include <string>
#include <string_view>

#include "platform/result.h"

namespace tessmar::platform {

Result<std::string> toCp936(std::string_view utf8);
Result<std::string> fromCp936(std::string_view bytes);

// True when every character of the UTF-8 text has a code page 936 form.
bool fitsCp936(std::string_view utf8);

}  // namespace tessmar::platform
