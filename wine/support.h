#pragma once
// What the Windows test programs share: scratch folders, the registry read back through advapi32
// itself, whole-tree snapshots compared without regard to letter case, and a reader of REGEDIT4
// files.
#include <windows.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cp936.h"
#include "platform/registry.h"
#include "platform/result.h"

namespace tessmar::winetest {

// A fresh folder under the temporary folder, removed with everything in it at the end.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// UTF-8 to code page 936 bytes; a text that does not convert is a fault of the test itself.
std::string cp936(std::string_view utf8);
// The bytes of a text, optionally with its terminating zero.
std::vector<std::uint8_t> bytesOf(std::string_view text, bool withZero = false);

HKEY hkeyOf(platform::RegRoot root);

// Names as the registry compares them.
using platform::cp936::foldName;

// Reading back with the system's own calls (names and paths in code page 936).
std::optional<platform::RegValue> readValue(HKEY base, std::string_view path,
                                            std::string_view name);
bool keyPresent(HKEY base, std::string_view path);
struct NamedValue {
    std::string name;  // as stored, code page 936
    platform::RegValue value;
};
std::vector<NamedValue> listValues(HKEY base, std::string_view path);
std::vector<std::string> listSubkeys(HKEY base, std::string_view path);
// Removes the key and everything below it.
void wipe(HKEY base, std::string_view path);

// Every key and value below one key, addressed by folded paths and names relative to it ("" is
// the key itself).
struct KeySnapshot {
    std::string path;  // as stored, code page 936
    std::map<std::string, NamedValue> values;
    // Names that a file or the registry lists more than once under forms that fold to one name.
    std::vector<std::string> clashes;
};
using Snapshot = std::map<std::string, KeySnapshot>;

Snapshot snapshot(HKEY base);
// Adds a key and every level above it up to the snapshot's top.
KeySnapshot& ensureKey(Snapshot& snap, std::string_view path);

// Every difference between two snapshots, one line each in UTF-8; where says which tree it is.
std::vector<std::string> differences(const Snapshot& expected, std::string_view expectedName,
                                     const Snapshot& got, std::string_view gotName,
                                     std::string_view where);

// The contents of a REGEDIT4 file (code page 936), one snapshot per root, paths relative to it.
Result<std::map<platform::RegRoot, Snapshot>> readRegedit4(const std::filesystem::path& file);

// Code page 936 bytes shown as UTF-8 for messages.
std::string shown(std::string_view cp936Text);

}  // namespace tessmar::winetest
