#pragma once
// What applying every category writes, from the choices as stored: the writes of the five apply
// passes in row order, reduced to the one write that stands for each value.
#include <filesystem>
#include <string>
#include <vector>

#include "engine/plan.h"
#include "platform/result.h"

namespace tessmar::gpo {

struct Effects {
    // The writes that stand, each where its last occurrence came, so that performing them in
    // this order leaves the registry as the whole sequence does.
    std::vector<engine::RegWrite> writes;
    // Rows the passes cannot perform and deletes that cannot take effect, each with its reason.
    std::vector<std::string> notes;
};

// Registry names (UTF-8) compare as the registry compares their code page 936 forms.
bool sameName(std::string_view a, std::string_view b);

// The sequence reduced: a later write of a value replaces the earlier one; a subkey delete drops
// the earlier writes into that subkey; a delete that our own earlier writes make impossible (the
// subkey would have subkeys, which RegDeleteKey refuses) is dropped and noted.
Effects finalEffects(const std::vector<engine::RegWrite>& sequence);

// All five categories with the flags parsed from vorn.ini, in category order. Fails when vorn.ini
// is missing or unreadable, or user.dat missing or damaged.
Result<Effects> storedEffects(const std::filesystem::path& dir);

}  // namespace tessmar::gpo
