#pragma once
// The .reg file for "reg import" on a PC outside a domain: REGEDIT4, code page 936, CR LF, the
// writes in the order they stand.
#include <string>
#include <vector>

#include "engine/plan.h"
#include "platform/result.h"

namespace tessmar::gpo {

// The file's bytes. A subkey delete is the parent key (which the apply pass creates) followed by
// the removal of the subkey: regedit removes it with everything below it, where RegDeleteKey
// leaves a subkey that has subkeys of its own.
Result<std::string> regFileBytes(const std::vector<engine::RegWrite>& writes);

}  // namespace tessmar::gpo
