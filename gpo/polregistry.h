#pragma once
// A Registry.pol seen as the HKEY_CURRENT_USER of a registry: its records as keys and values, so
// that an apply pass, its history record, its preview, drift and a restore work on the policy of
// every standard user as they work on an account's hive. What is there already is kept; a write
// replaces the record of its value. Changes are stored at the end of a group (outside one, at
// once): the file written atomically, then the gpt.ini beside it raised for its user half, so that
// Group Policy takes the new file up.
#include <filesystem>
#include <memory>

#include "platform/registry.h"

namespace tessmar::gpo {

// pol: the User\Registry.pol of the policy; gpt: its gpt.ini. Either may be missing. A damaged
// Registry.pol fails every call and is never rewritten.
std::unique_ptr<platform::Registry> makePolicyRegistry(std::filesystem::path pol,
                                                       std::filesystem::path gpt);

}  // namespace tessmar::gpo
