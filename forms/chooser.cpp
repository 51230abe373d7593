#include "forms/chooser.h"

#include "engine/catalogue.h"
#include "settings/choices.h"
#include "settings/vorn.h"

namespace tessmar::forms {
namespace {

engine::Target me() {
    engine::Target t;
    t.word = "me";
    t.caption = "当前账户";
    return t;
}

}  // namespace

TargetChooser::TargetChooser() : targets_{me()} {}

void TargetChooser::refresh(platform::Registry& registry, platform::Accounts& accounts) {
    const engine::TargetRef was = chosen().ref;
    auto listed = engine::listTargets(registry, accounts);
    targets_ = listed && !listed->empty() ? std::move(*listed) : std::vector{me()};
    chosen_ = 0;
    for (std::size_t i = 0; i < targets_.size(); ++i)
        if (targets_[i].ref.same(was) && targets_[i].available) chosen_ = static_cast<int>(i);
}

std::vector<ListItem> TargetChooser::items() const {
    std::vector<ListItem> out;
    for (const auto& t : targets_)
        out.push_back({t.caption, t.available, t.available ? t.description : t.why});
    return out;
}

std::optional<std::string> TargetChooser::choose(int index) {
    if (index < 0 || index >= static_cast<int>(targets_.size())) return "";
    const engine::Target& t = targets_[static_cast<std::size_t>(index)];
    if (!t.available) return t.why;
    chosen_ = index;
    return std::nullopt;
}

Result<settings::Field> TargetChooser::storedSelection(const std::filesystem::path& dir,
                                                       const settings::Record& record,
                                                       int category) const {
    if (choosingMe()) return settings::field(record, engine::settingsFieldOf(category));
    return settings::ChoicesFile(dir).selection(engine::choicesKey(chosen().ref), category);
}

}  // namespace tessmar::forms
