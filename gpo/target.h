#pragma once
// Opening any target of an apply, "所有标准用户" included: its user half goes into the local
// Group Policy of the Non-Administrators group (GroupPolicyUsers\S-1-5-32-545\User\Registry.pol
// and its gpt.ini), its machine half to the registry as for every other target.
#include <filesystem>
#include <memory>

#include "engine/target.h"

namespace tessmar::gpo {

// dir: the program directory, beside which the stand-in keeps the standard users' policy.
Result<std::unique_ptr<engine::OpenTarget>> openTarget(platform::Registry& system,
                                                       const engine::Target& target,
                                                       const std::filesystem::path& dir);

}  // namespace tessmar::gpo
