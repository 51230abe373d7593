#include <array>
#include <utility>

#include "platform/registry.h"

namespace tessmar::platform {
namespace {
constexpr std::array<std::pair<RegRoot, const char*>, 4> kRoots{{
    {RegRoot::ClassesRoot, "HKEY_CLASSES_ROOT"},
    {RegRoot::CurrentUser, "HKEY_CURRENT_USER"},
    {RegRoot::LocalMachine, "HKEY_LOCAL_MACHINE"},
    {RegRoot::Users, "HKEY_USERS"},
}};
}  // namespace

const char* rootName(RegRoot root) {
    for (const auto& [r, name] : kRoots)
        if (r == root) return name;
    return "";
}

std::optional<RegRoot> rootFromName(std::string_view name) {
    for (const auto& [r, n] : kRoots)
        if (name == n) return r;
    return std::nullopt;
}

}  // namespace tessmar::platform
