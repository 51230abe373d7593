#pragma once
// What every window of the program shares: where its files are, the outside world it reaches
// through the platform layer, and the few values that live as long as the program.
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/messages.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace tessmar::ui {

struct Context {
    std::filesystem::path dir;  // the program directory
    platform::Registry& registry;
    platform::MessageBoxes& messages;
    platform::Shell& shell;
    std::string windir;         // the Windows directory, set by the start-up gate
    std::int16_t editflag = 0;  // the custom entry editor's operation; survives its window
};

}  // namespace tessmar::ui
