#include "platform/paths.h"
#include "platform/registry.h"

namespace tessmar::platform {

std::unique_ptr<Registry> makeSystemRegistry() {
    return makeFileRegistry(programDir() / "registry.reg");
}

}  // namespace tessmar::platform
