#pragma once
// Windows only: the system handle of a root key, for code that calls advapi32 itself.
#include <windows.h>

#include "platform/registry.h"

namespace tessmar::platform {

// The predefined handles are sign-extended on 64-bit Windows, so the enum's 32-bit values cannot
// simply be cast; the system's own constants are used instead.
HKEY rootHandle(RegRoot root);

}  // namespace tessmar::platform
