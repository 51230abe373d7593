#include "gpo/target.h"

#include "engine/history.h"
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

Status onTarget(platform::Registry& system, const engine::Target& target,
                const std::filesystem::path& dir,
                const std::function<void(platform::Registry&)>& work) {
    auto opened = openTarget(system, target, dir);
    if (!opened) return std::unexpected(opened.error());
    work((*opened)->registry());
    return (*opened)->close();
}

Status restoreRecord(platform::Registry& system, platform::Accounts& accounts,
                     const std::filesystem::path& dir, const std::filesystem::path& file) {
    auto record = engine::readHistory(file);
    if (!record) return fail("无法恢复：" + record.error().message + "\n注册表没有改动。");
    const engine::TargetRef& ref = record->entry.target;
    // The running account's records need no account list, which may be unreadable.
    if (ref.kind == engine::TargetKind::Me) return engine::restore(dir, system, file);
    auto targets = engine::listTargets(system, accounts);
    if (!targets) return std::unexpected(targets.error());
    const engine::Target* target = engine::findTarget(*targets, ref);
    if (!target)
        return fail("这条记录属于" + engine::targetName(ref) +
                    "，本机已没有这个账户（或它已没有配置文件），无法恢复；注册表没有改动。");
    if (!target->available) return fail(target->why);
    Status restored;
    Status closed = onTarget(system, *target, dir, [&](platform::Registry& view) {
        restored = engine::restore(dir, view, file);
    });
    if (!restored) return restored;
    return closed;
}

}  // namespace tessmar::gpo
