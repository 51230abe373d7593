#pragma once
// Where an apply goes: the target of a pass. The running account ("me") is the default and the
// behaviour of the checklist tool; the others are another local account's HKEY_CURRENT_USER, the
// Default profile that accounts created later start from, and every standard user through the
// local Group Policy of the Non-Administrators group. The plan of a pass does not know its target:
// it writes HKEY_CURRENT_USER, and the target's registry view sends those writes where they
// belong. HKEY_LOCAL_MACHINE stays machine-wide whatever the target.
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/accounts.h"
#include "platform/hive.h"
#include "platform/registry.h"
#include "platform/result.h"

namespace tessmar::engine {

enum class TargetKind { Me, Account, Default, Standard };

// What names a target in a history record and in the stored choices.
struct TargetRef {
    TargetKind kind = TargetKind::Me;
    std::string sid;   // Account only
    std::string name;  // Account: its name when the record was made, for the administrator
    bool same(const TargetRef& other) const { return kind == other.kind && sid == other.sid; }
};

struct Target {
    TargetRef ref;
    std::string word;     // what "--to" takes: me, default, standard, or the account's name
    std::string caption;  // what the chooser shows: "当前账户", "小明（管理员）", ...
    std::string description;        // one line saying what the target reaches
    std::filesystem::path profile;  // Account, Default: the profile folder
    bool administrator = false;
    bool signedIn = false;  // signed in to this session while another account runs the program
    bool loaded = false;    // Account: its hive is loaded already (HKEY_USERS\<SID>)
    bool available = true;  // false for Standard on a Home edition
    std::string why;        // why it is not available, and what to choose instead
};

inline constexpr const char* kProfileList =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
inline constexpr const char* kCurrentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
// The key under HKEY_USERS that stands for the Default profile's hive in history records (and
// where the stand-in keeps it).
inline constexpr const char* kDefaultUserKey = "DefaultUser";

// The targets as the PC has them now: me first, then each account with a profile (system and
// service accounts left out, the running account only as me), then default, then standard. Fails
// only when ProfileList cannot be read.
Result<std::vector<Target>> listTargets(platform::Registry& registry, platform::Accounts& accounts);

// The target that a word names: a target's word, an account's name or its SID; nullptr for none.
const Target* findTarget(const std::vector<Target>& targets, std::string_view word,
                         platform::Accounts& accounts);
const Target* findTarget(const std::vector<Target>& targets, const TargetRef& ref);

// A Home edition does not process local Group Policy files (EditionID "Core…").
bool homeEdition(platform::Registry& registry);

// The key the stored choices keep a target under; empty for me, whose choices are in vorn.ini.
std::string choicesKey(const TargetRef& ref);

// The key under HKEY_USERS that a history record spells a target's HKEY_CURRENT_USER with, so that
// importing the record reaches that account while its hive is loaded there: the SID, or
// DefaultUser. Empty for me (HKEY_CURRENT_USER as it stands) and for standard, whose user half is
// no registry key at all.
std::string recordKey(const TargetRef& ref);

// The line that the completion message of a target other than me adds: whom it reached and when
// the change takes effect. Empty for me.
std::string completionLine(const Target& target);

// The name a message gives the target: "账户“小明”", "以后新建的账户", ...
std::string targetName(const TargetRef& ref);

// A target opened for one pass: its registry view, and the hive loaded for it, if any.
class OpenTarget {
  public:
    OpenTarget(std::unique_ptr<platform::HiveMount> mount,
               std::vector<std::unique_ptr<platform::Registry>> owned, platform::Registry& view);
    ~OpenTarget();
    OpenTarget(const OpenTarget&) = delete;
    OpenTarget& operator=(const OpenTarget&) = delete;

    platform::Registry& registry() { return view_; }
    // Ends the pass: unloads the hive loaded for it. The destructor does it too, unasked.
    Status close();

  private:
    std::unique_ptr<platform::HiveMount> mount_;
    std::vector<std::unique_ptr<platform::Registry>> owned_;  // the view and what it reaches
    platform::Registry& view_;
};

// Opens me, an account or default on the system registry: an account's own key under HKEY_USERS
// when its hive is loaded, else its NTUSER.DAT loaded for the pass; the Default profile's
// NTUSER.DAT likewise. Fails, having loaded nothing, with one sentence. Standard is opened by the
// Group Policy part (gpo::openTarget).
Result<std::unique_ptr<OpenTarget>> openTarget(platform::Registry& system, const Target& target);

}  // namespace tessmar::engine
