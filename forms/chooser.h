#pragma once
// The main window's target chooser: which targets an apply can go to, as the drop-down list shows
// them, which one is chosen, and whose stored choices the checklist shows for it. The targets are
// read afresh for every checklist; the one chosen stays chosen while the PC still has it.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/target.h"
#include "forms/view.h"
#include "platform/accounts.h"
#include "platform/registry.h"
#include "settings/record.h"

namespace tessmar::forms {

class TargetChooser {
  public:
    TargetChooser();

    // Reads the targets as the PC has them now. When the targets cannot be read, or the chosen
    // one is gone, me is chosen.
    void refresh(platform::Registry& registry, platform::Accounts& accounts);

    // The list: one item per target, "当前账户" first.
    std::vector<ListItem> items() const;
    int chosenIndex() const { return chosen_; }
    const engine::Target& chosen() const { return targets_[static_cast<std::size_t>(chosen_)]; }
    bool choosingMe() const { return chosen().ref.kind == engine::TargetKind::Me; }

    // The administrator picked item index. nullopt when it is now the chosen target; otherwise
    // why it cannot be chosen, and the chosen target stays.
    std::optional<std::string> choose(int index);

    // The chosen target's stored selection string of a category: vorn.ini's (settings, as read)
    // for me, targets.ini's for any other target (unset when never applied).
    Result<settings::Field> storedSelection(const std::filesystem::path& dir,
                                            const settings::Record& settings, int category) const;

  private:
    std::vector<engine::Target> targets_;
    int chosen_ = 0;
};

}  // namespace tessmar::forms
