#pragma once
// The PC's own local Group Policy: the user half into the policy of the Non-Administrators group,
// which applies to every account that is not an administrator, and the machine half into the
// machine's local policy. What is there already is kept; our values replace theirs.
#include <filesystem>
#include <string>
#include <vector>

#include "gpo/export.h"
#include "platform/result.h"

namespace tessmar::gpo {

// The well-known SID whose folder under GroupPolicyUsers holds the Non-Administrators policy.
inline constexpr const char* kNonAdministratorsSid = "S-1-5-32-545";

// The Group Policy client-side extension for registry settings and its editor snap-in.
inline constexpr const char* kUserExtensions =
    "[{35378EAC-683F-11D2-A89A-00C04FBBCFA2}{D02B1F73-3407-48AE-BA88-E8213C6761F1}]";
inline constexpr const char* kMachineExtensions =
    "[{35378EAC-683F-11D2-A89A-00C04FBBCFA2}{D02B1F72-3407-48AE-BA88-E8213C6761F1}]";

// Existing records merged with ours: a record of ours replaces one for the same value (names
// compared without regard to case) and comes after the rest.
std::vector<PolRecord> mergeRecords(const std::vector<PolRecord>& existing,
                                    const std::vector<PolRecord>& ours);

// gpt.ini with its version raised: user true raises the upper half (user policy), false the lower
// half (machine policy); the registry extension is listed under the half's extension key.
std::string raisedGptIni(std::string_view current, bool user);

struct LocalPolicyPaths {
    std::filesystem::path userPol, userGpt, machinePol, machineGpt;
};
// Below system32 (%SystemRoot%\System32).
LocalPolicyPaths localPolicyPaths(const std::filesystem::path& system32);

// Writes both halves into the local policy below system32. The lines say what was written.
Result<std::vector<std::string>> writeLocalPolicy(const std::filesystem::path& system32,
                                                  const Export& e);

// Where the PC's local policy lives: the system folder (%SystemRoot%\System32) on Windows; on
// the stand-in, the program directory dir, so that its GroupPolicyUsers folder lies beside the
// program.
Result<std::filesystem::path> localPolicyRoot(const std::filesystem::path& dir);

// Writes one file of a policy atomically, making its folders first.
Status writePolicyFile(const std::filesystem::path& file, const std::string& bytes);

// Windows only: the whole "apply to the PC's standard users" from the choices as stored, into the
// system's own folder. Elsewhere it fails with a sentence saying so.
Result<std::vector<std::string>> applyToStandardUsers(const std::filesystem::path& dir);

}  // namespace tessmar::gpo
