#include "gpo/target.h"

#include "gpo/localpolicy.h"
#include "gpo/polregistry.h"
#include "platform/registry_view.h"

namespace tessmar::gpo {

Result<std::unique_ptr<engine::OpenTarget>> openTarget(platform::Registry& system,
                                                       const engine::Target& target,
                                                       const std::filesystem::path& dir) {
    if (target.ref.kind != engine::TargetKind::Standard) return engine::openTarget(system, target);
    if (!target.available) return fail(target.why);
    auto root = localPolicyRoot(dir);
    if (!root) return std::unexpected(root.error());
    const LocalPolicyPaths paths = localPolicyPaths(*root);
    std::vector<std::unique_ptr<platform::Registry>> owned;
    owned.push_back(makePolicyRegistry(paths.userPol, paths.userGpt));
    platform::Registry& policy = *owned.back();
    owned.push_back(platform::makeRedirectedRegistry(
        system, platform::Redirect{&policy, platform::RegRoot::CurrentUser, ""}));
    platform::Registry& view = *owned.back();
    return std::make_unique<engine::OpenTarget>(nullptr, std::move(owned), view);
}

}  // namespace tessmar::gpo
