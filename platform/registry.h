#pragma once
// The narrow registry interface the registry writer needs: the four calls it makes (create-or-open
// key, set value, delete subkey, close), except that each one says whether it took effect, and the
// reads and the value deletion that history, preview and restore need. Key paths, value names,
// subkey names and the data of string values (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) are code page
// 936 bytes, whatever code page the PC itself runs with; other data are bytes as stored.
//
// On Windows the backend converts names and string data explicitly between code page 936 and
// UTF-16 and uses the registry's wide-character functions, so that the registry holds the intended
// characters on every PC, and on a code page 936 PC exactly what the narrow functions stored. Bytes
// that are no code page 936 text are refused, not guessed at; a name or a string read from the
// registry that has no code page 936 form is an error, never a "?", since whoever records or
// restores it would otherwise write something else back.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace tessmar::platform {

// The predefined root keys, by their handle values.
enum class RegRoot : std::uint32_t {
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
    Users = 0x80000003u,
};

// "HKEY_CURRENT_USER" and so on.
const char* rootName(RegRoot root);
// The root with exactly that name (case counts), if any.
std::optional<RegRoot> rootFromName(std::string_view name);

// Windows refuses key paths deeper than this; the limit also bounds every walk down a key tree.
inline constexpr std::size_t kMaxKeyDepth = 512;

enum class RegType : std::uint32_t {
    None = 0,
    Sz = 1,
    ExpandSz = 2,
    Binary = 3,
    Dword = 4,
    MultiSz = 7,
};

struct RegValue {
    RegType type = RegType::None;
    std::vector<std::uint8_t> data;
    bool operator==(const RegValue&) const = default;
};

struct RegNamedValue {
    std::string name;  // code page 936; empty is the unnamed value
    RegValue value;
    bool operator==(const RegNamedValue&) const = default;
};

// What one key holds directly: its values and the names of its subkeys, in the registry's order.
struct RegKeyContent {
    std::vector<RegNamedValue> values;
    std::vector<std::string> subkeys;  // code page 936
    bool operator==(const RegKeyContent&) const = default;
};

class Registry {
  public:
    using Key = std::uintptr_t;  // an open key; 0 is none
    static constexpr Key kNoKey = 0;

    virtual ~Registry() = default;

    // Opens the key path under root, creating it and any missing level above it. An empty path is
    // the root itself.
    virtual Result<Key> createKey(RegRoot root, std::string_view path) = 0;
    // Sets (or replaces, whatever its old type) a value of the open key; an empty name is the
    // unnamed value.
    virtual Status setValue(Key key, std::string_view name, RegType type,
                            const std::vector<std::uint8_t>& data) = 0;
    // Deletes one subkey of the open key. A subkey that has subkeys of its own stays, and the
    // result says so. A subkey that does not exist is no failure: what the call is for, its
    // absence, holds.
    virtual Status deleteKey(Key key, std::string_view subkey) = 0;
    virtual void closeKey(Key key) = 0;
    // Deletes one value of the open key; a value that does not exist is no failure.
    virtual Status deleteValue(Key key, std::string_view name) = 0;

    // Reads one value as stored now: nullopt when the key or the value does not exist. A registry
    // that cannot be read is an error, never taken for an absent value, because whoever restores
    // from the answer would delete what is there.
    virtual Result<std::optional<RegValue>> readValue(RegRoot root, std::string_view path,
                                                      std::string_view name) = 0;
    // The key's values and subkeys; nullopt when the key does not exist.
    virtual Result<std::optional<RegKeyContent>> readKey(RegRoot root, std::string_view path) = 0;

    // Reading back, for tests and diagnostics; never used by the writer.
    virtual std::optional<RegValue> queryValue(RegRoot root, std::string_view path,
                                               std::string_view name) = 0;
    virtual bool keyExists(RegRoot root, std::string_view path) = 0;

    // Lets one pass group its writes: between begin and end a backend may hold the changes and
    // store them together at end. end's result is the fate of every write made in the group: when
    // it fails, none of them took effect. Groups do not nest. The default stores each write at
    // once.
    virtual void beginGroup() {}
    virtual Status endGroup() { return {}; }
};

// The registry of this system: advapi32 on Windows; elsewhere the stand-in kept in registry.reg in
// the program directory.
std::unique_ptr<Registry> makeSystemRegistry();

// The stand-in: the registry kept in a REGEDIT4 text file (code page 936, CR LF) that an
// administrator can read and import on a Windows PC. Writes to a root listed in readOnlyRoots fail,
// as they do on Windows for a user without the right (how tests meet a HKEY_LOCAL_MACHINE that
// cannot be written).
std::unique_ptr<Registry> makeFileRegistry(std::filesystem::path file,
                                           std::vector<RegRoot> readOnlyRoots = {});

}  // namespace tessmar::platform
