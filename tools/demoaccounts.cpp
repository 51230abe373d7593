// Gives a registry stand-in two demonstration accounts, so that the target chooser of the main
// window has something to offer on a machine without Windows: 小明 and 小红 with their profiles in
// ProfileList and their hives under HKEY_USERS, the Default profile, and the system account that
// the chooser leaves out. A stand-in that lists accounts already is left as it is. Usage:
// demoaccounts <registry.reg>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/registry.h"

namespace {
using tessmar::platform::RegRoot;
using tessmar::platform::RegType;

constexpr const char* kProfileList = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

bool setText(tessmar::platform::Registry& registry, RegRoot root, const std::string& key,
             const char* name, const char* utf8, RegType type = RegType::ExpandSz) {
    auto bytes = tessmar::platform::toCp936(utf8);
    auto open = registry.createKey(root, key);
    if (!bytes || !open) return false;
    std::vector<std::uint8_t> data(bytes->begin(), bytes->end());
    data.push_back(0);
    const bool done = registry.setValue(*open, name, type, data).has_value();
    registry.closeKey(*open);
    return done;
}

bool makeKey(tessmar::platform::Registry& registry, RegRoot root, const std::string& key) {
    auto open = registry.createKey(root, key);
    if (open) registry.closeKey(*open);
    return open.has_value();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: demoaccounts <registry.reg>\n");
        return 2;
    }
    auto registry = tessmar::platform::makeFileRegistry(argv[1]);
    auto list = registry->readKey(RegRoot::LocalMachine, kProfileList);
    if (!list) {
        std::fprintf(stderr, "demoaccounts: %s\n", list.error().message.c_str());
        return 1;
    }
    if (*list)
        for (const auto& key : (*list)->subkeys)
            if (key.starts_with("S-1-5-21-")) return 0;

    const std::string base = "S-1-5-21-3623811015-3361044348-30300820-";
    const std::string profiles = kProfileList;
    registry->beginGroup();
    bool ok =
        setText(*registry, RegRoot::LocalMachine, profiles + "\\S-1-5-18", "ProfileImagePath",
                "%systemroot%\\system32\\config\\systemprofile") &&
        setText(*registry, RegRoot::LocalMachine, profiles + "\\" + base + "1001",
                "ProfileImagePath", "C:\\Users\\小明") &&
        setText(*registry, RegRoot::LocalMachine, profiles + "\\" + base + "1002",
                "ProfileImagePath", "C:\\Users\\小红") &&
        setText(*registry, RegRoot::LocalMachine, profiles, "Default",
                "%SystemDrive%\\Users\\Default") &&
        setText(*registry, RegRoot::LocalMachine, profiles, "ProfilesDirectory",
                "%SystemDrive%\\Users") &&
        setText(*registry, RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                "EditionID", "Professional", RegType::Sz) &&
        makeKey(*registry, RegRoot::Users, base + "1001\\Software") &&
        makeKey(*registry, RegRoot::Users, base + "1002\\Software") &&
        makeKey(*registry, RegRoot::Users, "DefaultUser\\Software");
    auto stored = registry->endGroup();
    if (!ok || !stored) {
        std::fprintf(stderr, "demoaccounts: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
