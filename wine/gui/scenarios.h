#pragma once
// The program under test: a fresh copy of its folder for each start-up story, and the steps that
// the tests, the screenshots and the measurements share.
#include <windows.h>

#include <filesystem>
#include <string>

#include "driver.h"

namespace tessmar::guitest {

// The program's folder (tessmar.exe, user.dat, help.htm) copied to a new temporary folder, so that
// every story starts without vorn.ini; removed again at the end.
class ProgramCopy {
  public:
    explicit ProgramCopy(const std::filesystem::path& folder);
    ~ProgramCopy();
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;
    const std::filesystem::path& dir() const { return dir_; }
    std::filesystem::path exe() const { return dir_ / "tessmar.exe"; }
    bool ok() const { return ok_; }

  private:
    std::filesystem::path dir_;
    bool ok_ = false;
};

// Opens every window of the program in turn; for each, writes OUT/<name>.ready holding the
// window's screen rectangle and waits for OUT/<name>.done from the script that takes the picture.
int screenshots(const std::filesystem::path& out, const std::filesystem::path& folder);

}  // namespace tessmar::guitest
