#include "forms/checklist.h"

#include <algorithm>
#include <array>

namespace tessmar::forms {
namespace {

// Declared bounds of ieflag, deskflag, netflag, fileflag and customflag; customflag grows past its
// bound when the custom entries need more rows, so that no row is ever without its flag.
constexpr std::array<std::size_t, 5> kFlagSizes{9, 27, 7, 13, 451};

}  // namespace

Checklist::Checklist(std::string windir) : windir_(std::move(windir)) {
    for (int i = 0; i < 5; ++i) flagsOf(i).assign(kFlagSizes[static_cast<std::size_t>(i)], false);
}

std::vector<bool>& Checklist::flagsOf(int category) {
    const std::array<std::vector<bool>*, 5> all{&ieflag_, &deskflag_, &netflag_, &fileflag_,
                                                &customflag_};
    return *all[static_cast<std::size_t>(std::clamp(category, 0, 4))];
}

const std::vector<bool>& Checklist::flags(int category) const {
    return const_cast<Checklist*>(this)->flagsOf(category);
}

std::vector<bool>& Checklist::shown() {
    return flagsOf(shezhiflag_);
}

int Checklist::rows() const {
    if (shezhiflag_ == engine::kCustomCategory) return std::max(0, nrow_ - 1);
    return static_cast<int>(engine::builtinCategory(shezhiflag_).items.size());
}

void Checklist::show(int category, const settings::Checklist& content) {
    shezhiflag_ = std::clamp(category, 0, 4);
    std::vector<bool>& flags = shown();
    if (shezhiflag_ == engine::kCustomCategory) {
        nrow_ = static_cast<int>(content.rows.size());
        customRows_.clear();
        for (std::size_t k = 1; k < content.rows.size(); ++k)
            customRows_.push_back(content.rows[k][1]);
        flags.assign(std::max(kFlagSizes[4], content.rows.size()), false);
    } else {
        std::fill(flags.begin(), flags.end(), false);
    }
    for (std::size_t k = 1; k < content.flags.size() && k < flags.size(); ++k)
        flags[k] = content.flags[k];
}

bool Checklist::toggle(int row) {
    if (row < 1 || row > rows()) return false;
    std::vector<bool>& flags = shown();
    flags[static_cast<std::size_t>(row)] = !flags[static_cast<std::size_t>(row)];
    return true;
}

bool Checklist::chosen(int row) const {
    const std::vector<bool>& f = flags(shezhiflag_);
    return row >= 1 && static_cast<std::size_t>(row) < f.size() && f[static_cast<std::size_t>(row)];
}

void Checklist::setAll(bool chosen) {
    std::vector<bool>& flags = shown();
    for (int k = 1; k <= rows(); ++k) flags[static_cast<std::size_t>(k)] = chosen;
}

engine::Detail Checklist::detail(int row) const {
    if (shezhiflag_ == engine::kCustomCategory) return engine::Detail::None;
    return engine::detailOf(shezhiflag_, row);
}

}  // namespace tessmar::forms
