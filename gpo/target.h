#pragma once
// Opening any target of an apply, "所有标准用户" included: its user half goes into the local
// Group Policy of the Non-Administrators group (GroupPolicyUsers\S-1-5-32-545\User\Registry.pol
// and its gpt.ini), its machine half to the registry as for every other target.
#include <filesystem>
#include <functional>
#include <memory>

#include "engine/target.h"

namespace tessmar::gpo {

// dir: the program directory, beside which the stand-in keeps the standard users' policy.
Result<std::unique_ptr<engine::OpenTarget>> openTarget(platform::Registry& system,
                                                       const engine::Target& target,
                                                       const std::filesystem::path& dir);

// Runs work on the target's view for one pass: the hive loaded for it is unloaded after, also when
// work failed. Fails, without running work, when the target cannot be opened, and when the hive
// could not be unloaded.
Status onTarget(platform::Registry& system, const engine::Target& target,
                const std::filesystem::path& dir,
                const std::function<void(platform::Registry&)>& work);

// Restores a history record into the registry it was made of: the record's target found among
// the PC's targets and opened (its hive loaded again when it is not loaded), restored, closed.
Status restoreRecord(platform::Registry& system, platform::Accounts& accounts,
                     const std::filesystem::path& dir, const std::filesystem::path& file);

}  // namespace tessmar::gpo
