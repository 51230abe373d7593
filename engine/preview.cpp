#include "engine/preview.h"

#include "engine/plan.h"
#include "engine/state.h"

namespace tessmar::engine {

Result<Preview> preview(const std::filesystem::path& dir, platform::Registry& registry,
                        int category, const std::vector<bool>& flags, int nrow,
                        const std::vector<std::string>* customRows, const TargetRef& target) {
    auto planned = plan(dir, category, flags, nrow, customRows);
    if (!planned) return std::unexpected(planned.error());
    auto targets = state::targetsOf(*planned);
    auto before = state::readBefore(registry, targets);
    if (!before) return fail("无法读取注册表中现有的值：" + before.error().message);
    Preview out;
    out.notDone = planned->notDone;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const auto& t = targets[i];
        const auto& b = (*before)[i];
        if (!state::changes(t, b)) {
            ++out.unchanged;
            continue;
        }
        bool subkey = t.kind == state::Target::Kind::Subkey;
        out.changes.push_back({targetWhere(target, t.root, t.key, t.name),
                               subkey ? state::describeTree(b.tree) : state::describe(b.value),
                               state::describeAfter(t), t.row});
    }
    return out;
}

}  // namespace tessmar::engine
