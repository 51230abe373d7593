#pragma once
// A later start of the program (platform/instance.h): the running copy's window brought forward.
#include <chrono>
#include <filesystem>

namespace tessmar::win32 {

// Brings forward the window of the copy of the program that runs from programDir, found by the
// tables' window classes and its process's folder: the main window if open, else the gate, else
// another. Gives that copy up to wait to show a window; false when none showed.
bool bringRunningCopyForward(const std::filesystem::path& programDir,
                             std::chrono::milliseconds wait);

}  // namespace tessmar::win32
