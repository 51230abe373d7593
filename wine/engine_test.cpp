// The registry writer and the apply pass on Wine's registry, read back through advapi32.
#include <windows.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "check.h"
#include "engine/apply.h"
#include "engine/catalogue.h"
#include "engine/mainreg.h"
#include "platform/lock.h"
#include "scripted_messages.h"
#include "settings/sidefiles.h"
#include "settings/vorn.h"
#include "support.h"

using namespace tessmar;
using namespace tessmar::winetest;
using platform::RegRoot;
using platform::RegType;
using platform::RegValue;

namespace {

constexpr const char* kBase = "Software\\TessmarWineTest\\engine";
constexpr const char* kPolicies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies";

std::string under(std::string_view rest) {
    return std::string(kBase) + "\\" + std::string(rest);
}

std::optional<RegValue> dword(std::uint32_t v) {
    return RegValue{RegType::Dword,
                    {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                     static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)}};
}

std::optional<RegValue> binary(std::vector<std::uint8_t> bytes) {
    return RegValue{RegType::Binary, std::move(bytes)};
}

std::optional<RegValue> sz(std::string_view utf8) {
    return RegValue{RegType::Sz, bytesOf(cp936(utf8), true)};
}

std::optional<RegValue> policy(std::string_view key, std::string_view name) {
    return readValue(HKEY_CURRENT_USER, std::string(kPolicies) + "\\" + std::string(key), name);
}

}  // namespace

WINE_TEST(WriterBytesReachTheRegistryExactly) {
    wipe(HKEY_CURRENT_USER, kBase);
    auto reg = platform::makeSystemRegistry();
    struct Case {
        const char* name;
        Status (*write)(platform::Registry&, const std::string&, const char*);
        std::optional<RegValue> expected;
    };
    const std::vector<Case> cases = {
        {"one",
         [](auto& r, auto& k, auto n) {
             return engine::setdword(r, RegRoot::CurrentUser, k, n, 1);
         },
         dword(1)},
        {"zero",
         [](auto& r, auto& k, auto n) {
             return engine::setdword(r, RegRoot::CurrentUser, k, n, 0);
         },
         dword(0)},
        {"largest",
         [](auto& r, auto& k, auto n) {
             return engine::setdword(r, RegRoot::CurrentUser, k, n, 32767);
         },
         binary({0xFF, 0x7F, 0, 0})},
        {"empty",
         [](auto& r, auto& k, auto n) {
             return engine::setstring(r, RegRoot::CurrentUser, k, n, "");
         },
         RegValue{RegType::Sz, {0}}},
        {"ab",
         [](auto& r, auto& k, auto n) {
             return engine::setstring(r, RegRoot::CurrentUser, k, n, "AB");
         },
         RegValue{RegType::Sz, {0x41, 0x42, 0}}},
        {"chinese",
         [](auto& r, auto& k, auto n) {
             return engine::setstring(r, RegRoot::CurrentUser, k, n, "禁用旧的DOS程序");
         },
         RegValue{RegType::Sz,
                  {0xBD, 0xFB, 0xD3, 0xC3, 0xBE, 0xC9, 0xB5, 0xC4, 0x44, 0x4F, 0x53, 0xB3, 0xCC,
                   0xD0, 0xF2, 0x00}}},
        {"mask",
         [](auto& r, auto& k, auto n) {
             return engine::setbinary(r, RegRoot::CurrentUser, k, n, {0x0C, 0, 0, 0});
         },
         binary({0x0C, 0, 0, 0})},
    };
    const std::string key = under("bytes");
    for (const auto& c : cases) {
        CHECK(c.write(*reg, key, c.name).has_value());
        auto got = readValue(HKEY_CURRENT_USER, key, c.name);
        // The DWORD 32767 is compared by its bytes only.
        if (std::string_view(c.name) == "largest" && got) got->type = RegType::Binary;
        CHECK_EQ(got, c.expected);
    }
    // Enumeration reports the same sizes: the empty string is one byte long.
    for (const auto& named : listValues(HKEY_CURRENT_USER, key))
        if (named.name == "empty") CHECK_EQ(named.value.data.size(), std::size_t{1});
}

WINE_TEST(AValueTakesTheTypeOfItsLastWrite) {
    wipe(HKEY_CURRENT_USER, kBase);
    auto reg = platform::makeSystemRegistry();
    const std::string key = under("retype");
    CHECK(engine::setdword(*reg, RegRoot::CurrentUser, key, "值", 1));
    CHECK(engine::setstring(*reg, RegRoot::CurrentUser, key, "值", "文字"));
    CHECK_EQ(readValue(HKEY_CURRENT_USER, key, cp936("值")), sz("文字"));
    CHECK(engine::setbinary(*reg, RegRoot::CurrentUser, key, "Mixed", {1, 0, 0, 0}));
    CHECK(engine::setdword(*reg, RegRoot::CurrentUser, key, "MIXED", 0));
    auto values = listValues(HKEY_CURRENT_USER, key);
    CHECK_EQ(values.size(), std::size_t{2});
    CHECK_EQ(readValue(HKEY_CURRENT_USER, key, "mixed"), dword(0));
}

WINE_TEST(KeysAndValuesDifferingInCaseAreOne) {
    wipe(HKEY_CURRENT_USER, kPolicies);
    auto reg = platform::makeSystemRegistry();
    const std::string system = std::string(kPolicies) + "\\System";
    const std::string systemLower = std::string(kPolicies) + "\\system";
    const std::string explorer = std::string(kPolicies) + "\\Explorer";
    const std::string explorerLower = std::string(kPolicies) + "\\explorer";
    const std::string winOldApp = std::string(kPolicies) + "\\WinOldApp";
    CHECK(engine::setdword(*reg, RegRoot::CurrentUser, system, "nodispcpl", 1));
    CHECK(engine::setdword(*reg, RegRoot::CurrentUser, systemLower, "nodispcpl", 0));
    CHECK(engine::setdword(*reg, RegRoot::CurrentUser, explorerLower, "norealmode", 1));
    CHECK(engine::setdword(*reg, RegRoot::CurrentUser, explorer, "NoRealMode", 0));
    CHECK(engine::setdword(*reg, RegRoot::CurrentUser, winOldApp, "NoRealMode", 1));
    CHECK(engine::setdword(*reg, RegRoot::CurrentUser, winOldApp, "norealmode", 0));

    CHECK_EQ(listSubkeys(HKEY_CURRENT_USER, kPolicies).size(), std::size_t{3});
    CHECK_EQ(policy("SYSTEM", "NODISPCPL"), dword(0));
    CHECK_EQ(listValues(HKEY_CURRENT_USER, system).size(), std::size_t{1});
    CHECK_EQ(policy("explorer", "norealmode"), dword(0));
    CHECK_EQ(listValues(HKEY_CURRENT_USER, explorer).size(), std::size_t{1});
    auto winOld = listValues(HKEY_CURRENT_USER, winOldApp);
    REQUIRE(winOld.size() == 1);
    CHECK_EQ(winOld[0].value, *dword(0));
}

WINE_TEST(DeletingAMissingSubkeyMakesOnlyTheParentPath) {
    wipe(HKEY_CURRENT_USER, kBase);
    auto reg = platform::makeSystemRegistry();
    CHECK(engine::deletekey(*reg, RegRoot::CurrentUser, under("新的\\路径"), "不存在"));
    CHECK(keyPresent(HKEY_CURRENT_USER, under(cp936("新的\\路径"))));
    CHECK(listSubkeys(HKEY_CURRENT_USER, under(cp936("新的\\路径"))).empty());
    CHECK(listValues(HKEY_CURRENT_USER, under(cp936("新的\\路径"))).empty());
    CHECK_EQ(listSubkeys(HKEY_CURRENT_USER, kBase).size(), std::size_t{1});
}

WINE_TEST(DeletingASubkeyWithSubkeysIsReportedAndChangesNothing) {
    wipe(HKEY_CURRENT_USER, kBase);
    auto reg = platform::makeSystemRegistry();
    CHECK(engine::setdword(*reg, RegRoot::CurrentUser, under("父\\子\\孙"), "v", 1));
    CHECK(engine::setdword(*reg, RegRoot::CurrentUser, under("父\\叶"), "v", 1));
    auto refused = engine::deletekey(*reg, RegRoot::CurrentUser, under("父"), "子");
    CHECK(!refused.has_value());
    CHECK(keyPresent(HKEY_CURRENT_USER, under(cp936("父\\子\\孙"))));
    CHECK_EQ(readValue(HKEY_CURRENT_USER, under(cp936("父\\子\\孙")), "v"), dword(1));
    CHECK(engine::deletekey(*reg, RegRoot::CurrentUser, under("父"), "叶"));
    CHECK(!keyPresent(HKEY_CURRENT_USER, under(cp936("父\\叶"))));
}

WINE_TEST(LocalMachineValuesAreWrittenThere) {
    const char* key = "Software\\TessmarWineTest\\writer";
    wipe(HKEY_LOCAL_MACHINE, key);
    auto reg = platform::makeSystemRegistry();
    CHECK(engine::setstring(*reg, RegRoot::LocalMachine, key, "标题", "提示"));
    CHECK_EQ(readValue(HKEY_LOCAL_MACHINE, key, cp936("标题")), sz("提示"));
    CHECK(!keyPresent(HKEY_CURRENT_USER, key));
    wipe(HKEY_LOCAL_MACHINE, key);
}

namespace {

// What the registry must hold after a pass: the catalogue's effects played in row order, with
// names compared as the registry compares them, so that the later of two same values stands.
using Expected = std::map<std::tuple<RegRoot, std::string, std::string>,
                          std::tuple<std::string, std::string, RegValue>>;

constexpr std::uint8_t kMask = 12;  // drives C and D
constexpr const char* kTitle = "登录须知";
constexpr const char* kText = "本机只供\r\n授权人员使用";

Expected expectedAfter(int category, const std::vector<bool>& flags) {
    Expected out;
    const auto& items = engine::builtinCategory(category).items;
    for (std::size_t row = 1; row <= items.size(); ++row) {
        const auto& item = items[row - 1];
        for (const auto& e : flags[row] ? item.chosen : item.notChosen) {
            RegValue value;
            std::uint32_t number = e.value;
            if (e.datum == engine::Datum::DriveMask) number = kMask;
            if (e.kind == engine::EffectKind::String) {
                std::string text = e.datum == engine::Datum::NoticeTitle  ? kTitle
                                   : e.datum == engine::Datum::NoticeText ? kText
                                                                          : "";
                value = *sz(text);
            } else {
                value = *dword(number);
                if (e.kind == engine::EffectKind::Binary) value.type = RegType::Binary;
            }
            std::string key = cp936(e.key), name = cp936(e.name);
            out[{e.root, foldName(key), foldName(name)}] = {key, name, value};
        }
    }
    return out;
}

struct Pass {
    engine::ApplyOutcome outcome;
    std::vector<test::ShownMessage> shown;
    settings::Record record;
};

Pass applyIn(const ScratchDir& dir, int category, const std::vector<bool>& flags) {
    auto reg = platform::makeSystemRegistry();
    test::ScriptedMessages messages;
    engine::ApplyContext context{dir.path(), *reg, messages};
    Pass pass;
    pass.outcome = engine::apply(context, engine::ApplyRequest{category, flags, 1});
    pass.shown = messages.shown;
    auto record = settings::SettingsFile(dir.path()).read();
    if (record) pass.record = *record;
    return pass;
}

void prepareFiles(const ScratchDir& dir) {
    CHECK(settings::SettingsFile(dir.path()).createForChecklist("C:\\windows"));
    settings::DriveFlags hide{};
    hide[2] = hide[3] = true;
    CHECK(settings::DrivesFile(dir.path()).write(hide));
    CHECK(settings::NoticeFile(dir.path()).write(std::string("  ") + kTitle + " ", kText));
}

void checkRegistryHolds(const Expected& expected) {
    for (const auto& [where, what] : expected) {
        const auto& [key, name, value] = what;
        auto got = readValue(hkeyOf(std::get<0>(where)), key, name);
        if (!CHECK_EQ(got, std::optional(value)))
            std::printf("    at %s\\%s \"%s\"\n", platform::rootName(std::get<0>(where)),
                        shown(key).c_str(), shown(name).c_str());
    }
}

}  // namespace

WINE_TEST(EveryBuiltInCategoryAppliedWithAllAndWithNothingChosen) {
    ScratchDir dir;
    prepareFiles(dir);
    for (int category = 0; category < engine::kBuiltinCategories; ++category) {
        const std::size_t n = engine::builtinCategory(category).items.size();
        for (bool all : {true, false}) {
            std::vector<bool> flags(n + 1, all);
            flags[0] = false;
            Pass pass = applyIn(dir, category, flags);
            CHECK(pass.outcome.notWritten.empty());
            CHECK(pass.outcome.settingsWritten);
            REQUIRE(pass.shown.size() == 1);
            CHECK_EQ(pass.shown[0].text, engine::completionMessage(category));
            CHECK_EQ(pass.shown[0].title, std::string("系统提示:"));
            REQUIRE(pass.record.size() == settings::kSettingsFieldCount);
            CHECK_EQ(settings::field(pass.record, engine::settingsFieldOf(category)),
                     settings::Field(std::string(n, all ? '1' : '0')));
            checkRegistryHolds(expectedAfter(category, flags));
        }
    }
}

WINE_TEST(TheLaterOfTwoCaseBlindWritesStands) {
    ScratchDir dir;
    prepareFiles(dir);
    const std::size_t n = engine::builtinCategory(1).items.size();
    struct Case {
        std::vector<int> chosen;
        const char* key;
        const char* name;
        std::uint32_t expected;
    };
    const std::vector<Case> cases = {
        {{7}, "System", "nodispcpl", 0},      {{12}, "system", "NODISPCPL", 1},
        {{14}, "WinOldApp", "NoRealMode", 0}, {{16}, "WinOldApp", "NoRealMode", 1},
        {{16}, "Explorer", "norealmode", 1},  {{14}, "explorer", "NoRealMode", 0},
    };
    for (const auto& c : cases) {
        std::vector<bool> flags(n + 1, false);
        for (int row : c.chosen) flags[static_cast<std::size_t>(row)] = true;
        applyIn(dir, 1, flags);
        CHECK_EQ(policy(c.key, c.name), dword(c.expected));
    }
}

WINE_TEST(InvertedAndSideFileItemsHoldTheirValues) {
    ScratchDir dir;
    prepareFiles(dir);
    const char* hidden =
        "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Advanced\\Folder\\Hidden\\SHOWALL";
    const char* winlogon = "Software\\Microsoft\\Windows\\CurrentVersion\\Winlogon";
    const char* advanced = "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\advanced";
    std::vector<bool> desk(21, true);
    applyIn(dir, 1, desk);
    CHECK_EQ(readValue(HKEY_LOCAL_MACHINE, hidden, "CheckedValue"), dword(0));
    CHECK_EQ(policy("Explorer", "NoDrives"), binary({0x0C, 0, 0, 0}));
    CHECK_EQ(readValue(HKEY_LOCAL_MACHINE, winlogon, "legalnoticecaption"), sz(kTitle));
    CHECK_EQ(readValue(HKEY_LOCAL_MACHINE, winlogon, "legalnoticetext"), sz(kText));
    std::fill(desk.begin(), desk.end(), false);
    applyIn(dir, 1, desk);
    CHECK_EQ(readValue(HKEY_LOCAL_MACHINE, hidden, "CheckedValue"), dword(1));
    CHECK_EQ(policy("Explorer", "NoDrives"), binary({0, 0, 0, 0}));
    CHECK_EQ(readValue(HKEY_LOCAL_MACHINE, winlogon, "legalnoticecaption"), sz(""));

    std::vector<bool> file(12, false);
    applyIn(dir, 3, file);
    CHECK_EQ(readValue(HKEY_CURRENT_USER, advanced, "Start_enabledragdrop"), dword(1));
    file[10] = true;
    applyIn(dir, 3, file);
    CHECK_EQ(readValue(HKEY_CURRENT_USER, advanced, "Start_enabledragdrop"), dword(0));
}

// The pass lock with LockFileEx: a pass that finds another holding it waits, then writes nothing;
// once it is free the same pass goes through.
WINE_TEST(APassWaitsForAnotherCopysPassAndWritesNothing) {
    ScratchDir dir;
    prepareFiles(dir);
    wipe(HKEY_CURRENT_USER, std::string(kPolicies) + "\\Explorer");
    auto other = platform::FileLock::acquire(dir / "tessmar.lock", std::chrono::milliseconds(0));
    REQUIRE(other.has_value());
    auto reg = platform::makeSystemRegistry();
    test::ScriptedMessages messages;
    engine::ApplyContext context{dir.path(), *reg, messages, true, std::chrono::milliseconds(300)};
    std::vector<bool> flags(12, true);
    auto refused = engine::apply(context, engine::ApplyRequest{3, flags, 1});
    CHECK(!refused.settingsWritten);
    REQUIRE(messages.shown.size() == 1);
    CHECK(messages.shown[0].text.find("另一个 Tessmar 正在写入") != std::string::npos);
    CHECK_EQ(policy("Explorer", "norun"), std::optional<RegValue>());
    other = platform::FileLock::acquire(dir / "spare.lock", std::chrono::milliseconds(0));
    CHECK(engine::apply(context, engine::ApplyRequest{3, flags, 1}).settingsWritten);
    CHECK_EQ(policy("Explorer", "norun"), dword(1));
}
