#pragma once
// A fresh directory per test, removed afterwards: stands for the program directory.
#include <filesystem>
#include <string>
#include <string_view>

namespace tessmar::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

    // Whole-file helpers for exact byte checks.
    std::string read(std::string_view name) const;
    void write(std::string_view name, std::string_view bytes) const;
    bool exists(std::string_view name) const;

  private:
    std::filesystem::path path_;
};

}  // namespace tessmar::test
