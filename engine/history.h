#pragma once
// History of the apply passes: before a pass writes anything it saves what it is about to change
// as history/<date>-<time>-<n>-<category>.reg in the program directory, a REGEDIT4 file (code page
// 936, CR LF) that the registry editor can import on its own ("regedit /s") to put that state
// back. What the pass wrote and the record's facts travel in the same file as comment lines,
// which the registry editor skips.
//
// Keys the pass had to create stay when the record is imported or restored: the registry editor
// can only delete a key together with everything below it, which would also take whatever another
// program has put there since; an empty policy key means the same to Windows as none.
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/plan.h"
#include "engine/target.h"
#include "platform/registry.h"
#include "platform/result.h"

namespace tessmar::engine {

inline constexpr const char* kHistoryDirName = "history";

// One value or subkey as a pass found it and as it left it, for the window.
struct Change {
    std::string where;    // root\key\name, or root\key\subkey for a deleted subkey
    std::string before;   // as found
    std::string after;    // as the pass leaves it
    std::size_t row = 0;  // the checklist row whose write it is; 0 in the record of a restore
    bool operator==(const Change&) const = default;
};

struct HistoryEntry {
    std::filesystem::path file;
    std::string time;  // "2026-12-08 09:05:31", local time
    int category = 0;
    std::string categoryName;  // "系统桌面" and so on
    bool restore = false;      // the record of a restore rather than of an apply
    std::string restoredFrom;  // a restore's source record, by file name
    std::size_t changed = 0;   // values and subkeys whose state the pass changed
    std::string problem;       // why the record cannot be read; empty when it can
    TargetRef target;          // whose HKEY_CURRENT_USER the pass wrote
};

struct HistoryRecord {
    HistoryEntry entry;
    std::vector<Change> changes;  // only what the pass changed, in the order it wrote
    std::size_t unchanged = 0;    // values the pass wrote that held their state already
};

// The records in dir's history folder, newest first. No folder is no history. A record that cannot
// be read is listed with its problem and the time its name gives.
Result<std::vector<HistoryEntry>> listHistory(const std::filesystem::path& dir);
Result<HistoryRecord> readHistory(const std::filesystem::path& file);

// Puts back the state a record holds, in one registry group, after recording the state it
// replaces (so the restore can itself be undone). Nothing is written when that record cannot be
// made. Fails, saying which values did not take effect, when any write failed. registry is the
// view of the record's target (HistoryEntry::target), which the caller opens.
Status restore(const std::filesystem::path& dir, platform::Registry& registry,
               const std::filesystem::path& file);

// For a category, the rows whose values no longer hold what the newest apply of that category
// wrote (from its record; records of restores do not count): per row, one text per value naming
// it, what it holds now and what was written. Rows are those of the checklist at that apply. No
// record, no drift. Only the records of the target whose view registry is count.
Result<std::map<std::size_t, std::vector<std::string>>> drift(const std::filesystem::path& dir,
                                                              platform::Registry& registry,
                                                              int category,
                                                              const TargetRef& target = {});

// The apply pass's part: records what the plan is about to change, registry being the target's
// view. Returns the record's path. The record of another target than me says whose it is, and
// spells that target's HKEY_CURRENT_USER as its key under HKEY_USERS (the SID, or DefaultUser), so
// that importing it reaches that account while its hive is loaded; the standard users' policy
// half is no registry at all, so its lines are comments (";|") that only the program reads.
Result<std::filesystem::path> recordPlan(
    const std::filesystem::path& dir, platform::Registry& registry, const Plan& plan,
    std::chrono::system_clock::time_point now = std::chrono::system_clock::now(),
    const TargetRef& target = {});

// Where a place of a target's view is, for the administrator: another account's
// HKEY_CURRENT_USER as the record spells it (HKEY_USERS\<SID>\…), the standard users' policy named
// as such, and, for any target but me, HKEY_LOCAL_MACHINE marked as the whole PC's. For me, the
// place as it stands.
std::string targetWhere(const TargetRef& target, platform::RegRoot root, std::string_view key,
                        std::string_view name);

// The name of the record made at now, unused in the folder: "20261208-090531-001-1.reg". The
// counter keeps names made within one second apart, and names sort as they were made.
Result<std::filesystem::path> historyFileName(const std::filesystem::path& dir, int category,
                                              std::chrono::system_clock::time_point now);

}  // namespace tessmar::engine
