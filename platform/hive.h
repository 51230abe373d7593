#pragma once
// Another account's registry hive (its NTUSER.DAT) made reachable under HKEY_USERS for the time of
// one pass. On Windows the file is loaded (RegLoadKeyW) under a mount name of the program's own and
// unloaded again when the mount ends, also when the pass failed. The stand-in keeps every hive
// loaded already, each under its own key of HKEY_USERS, so there nothing is loaded.
#include <filesystem>
#include <memory>
#include <string>

#include "platform/result.h"

namespace tessmar::platform {

struct HiveRequest {
    std::filesystem::path file;  // NTUSER.DAT in the account's profile folder
    std::string mountName;       // the key under HKEY_USERS to load it at: the program's own name
    std::string standInKey;      // where the stand-in keeps this hive under HKEY_USERS
    std::string owner;           // whose hive, for messages: "账户“小明”"
};

class HiveMount {
  public:
    virtual ~HiveMount() = default;
    // The key under HKEY_USERS where the hive's root now is.
    virtual const std::string& key() const = 0;
    // Unloads the hive, writing it back to its file; the destructor does it too when this was not
    // called. Fails when the hive stays loaded (another program holds one of its keys open).
    virtual Status unload() = 0;
};

// Makes the hive reachable. Fails with one sentence, having loaded nothing, when the profile folder
// or its hive file is missing, when another program holds the file, or when the privileges that
// loading needs (SeBackupPrivilege, SeRestorePrivilege) cannot be had.
Result<std::unique_ptr<HiveMount>> mountHive(const HiveRequest& request);

}  // namespace tessmar::platform
