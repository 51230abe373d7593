#pragma once
// The apply pass behind "确定生效": writes every registry value of the category on screen by the
// flags, stores the new selection string in vorn.ini and tells the administrator how it went.
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/plan.h"
#include "engine/target.h"
#include "platform/messages.h"
#include "platform/registry.h"

namespace tessmar::engine {

struct ApplyRequest {
    int shezhiflag = 0;       // the category on screen, 0 to 4
    std::vector<bool> flags;  // element i for grid row i; element 0 unused
    int nrow = 1;             // custom category only: grid rows, heading row included
};

struct ApplyContext {
    std::filesystem::path dir;  // the program directory, where the tool's files are
    platform::Registry& registry;
    platform::MessageBoxes& messages;
    // Whether the pass first saves what it changes in the history folder; off only for measuring
    // what that costs.
    bool recordHistory = true;
    // How long the pass waits for another copy's pass to end before it gives up.
    std::chrono::milliseconds lockWait{5000};
    // Where the pass goes, registry being its view; nullptr is the running account, whose choices
    // vorn.ini keeps. Any other target's choices go to targets.ini, and vorn.ini is not touched.
    const Target* target = nullptr;
};

struct ApplyOutcome {
    bool settingsWritten = false;  // the selection string is stored
    // Each value or entry that did not take effect, in Chinese; when the registry could not store
    // the pass at all, that one reason.
    std::vector<std::string> notWritten;
    std::optional<std::string> windir;             // field 2 as read, for the program-wide windir
    std::optional<std::filesystem::path> history;  // the record saved before the first write
    bool performed = false;  // the pass came to its writes (anything before stops it unwritten)
    std::vector<RegWrite> written;  // the writes that took effect, in order
};

// Runs the whole pass, including its one message box. Nothing is thrown. customRows, for the
// custom category: the entry names its checklist rows showed, row k at k - 1; the pass writes
// nothing when user.dat no longer lists exactly these (nullptr: not checked).
ApplyOutcome apply(const ApplyContext& context, const ApplyRequest& request,
                   const std::vector<std::string>* customRows = nullptr);

}  // namespace tessmar::engine
