#pragma once
// A view of the registry whose HKEY_CURRENT_USER is another place: another account's hive under
// HKEY_USERS, or a policy file that stands for every standard user. The pass that writes through
// it stays what it is; only where its HKEY_CURRENT_USER calls land changes. Calls on the other
// roots go on unchanged.
#include <memory>
#include <string>

#include "platform/registry.h"

namespace tessmar::platform {

// Where a view's HKEY_CURRENT_USER lies: a key below a root of some registry.
struct Redirect {
    Registry* registry = nullptr;  // not owned
    RegRoot root = RegRoot::Users;
    std::string prefix;  // code page 936 path below root; empty for the root itself
};

// others and redirect.registry must outlive the view. A group of the view is a group of each
// registry it reaches; its end fails when either fails.
std::unique_ptr<Registry> makeRedirectedRegistry(Registry& others, Redirect currentUser);

}  // namespace tessmar::platform
