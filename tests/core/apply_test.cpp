#include "engine/apply.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>

#include "common/scripted_messages.h"
#include "custom/store.h"
#include "engine/catalogue.h"
#include "engine/history.h"
#include "engine/mainreg.h"
#include "platform/entrydb.h"
#include "platform/lock.h"
#include "support/fake_registry.h"
#include "support/tempdir.h"

namespace tessmar::engine {
namespace {
using platform::RegRoot;
using platform::RegType;
using platform::RegValue;
using Bytes = std::vector<std::uint8_t>;

constexpr auto HKCU = RegRoot::CurrentUser;
constexpr auto HKLM = RegRoot::LocalMachine;
constexpr const char* kPolicies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\";
const std::string kIe = "Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions";
const std::string kExplorer = std::string(kPolicies) + "Explorer";
const std::string kSystem = std::string(kPolicies) + "System";
const std::string kWinOldApp = std::string(kPolicies) + "WinOldApp";
const std::string kWinlogon = "Software\\Microsoft\\Windows\\CurrentVersion\\Winlogon";
const std::string kNewSettings = ",\"C:\\WINDOWS\",,,,,\r\n";

RegValue dword(std::uint32_t v) {
    auto b = fourBytes(v);
    return {RegType::Dword, {b.begin(), b.end()}};
}
RegValue binary(Bytes bytes) {
    return {RegType::Binary, std::move(bytes)};
}
RegValue sz(Bytes bytes) {
    bytes.push_back(0);
    return {RegType::Sz, std::move(bytes)};
}

// Flags for rows 1..n with the given rows chosen.
std::vector<bool> rowsChosen(std::size_t n, std::initializer_list<std::size_t> rows) {
    std::vector<bool> flags(n + 1, false);
    for (auto r : rows) flags[r] = true;
    return flags;
}

class ApplyTest : public ::testing::Test {
  protected:
    ApplyTest() { dir.write("vorn.ini", kNewSettings); }

    ApplyOutcome run(int category, std::vector<bool> flags, int nrow = 1) {
        return apply({dir.path(), *registry, messages}, {category, std::move(flags), nrow});
    }

    // What registry.reg holds, read back by a registry of its own.
    std::optional<RegValue> stored(RegRoot root, const std::string& key, const std::string& name) {
        return platform::makeFileRegistry(dir / "registry.reg")->queryValue(root, key, name);
    }

    void makeUserDat(const std::vector<custom::Entry>& entries) {
        SQLite::Database db((dir / custom::kEntryFileName).string(),
                            SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec(platform::EntryDatabase::schema());
        custom::Store store(dir / custom::kEntryFileName);
        for (const auto& e : entries) ASSERT_TRUE(store.append(e).has_value());
    }

    // The one message shown, which must be a plain report.
    std::string onlyMessage() {
        EXPECT_EQ(messages.shown.size(), 1u);
        if (messages.shown.empty()) return {};
        EXPECT_EQ(messages.shown[0].title, "系统提示:");
        EXPECT_EQ(messages.shown[0].buttons, platform::Buttons::Ok);
        return messages.shown[0].text;
    }

    test::TempDir dir;
    std::unique_ptr<platform::Registry> registry = platform::makeFileRegistry(dir / "registry.reg");
    test::ScriptedMessages messages;
};

TEST_F(ApplyTest, IeRowsOneAndThreeWriteTheirValuesAndTheSelection) {
    auto outcome = run(0, rowsChosen(7, {1, 3}));
    const std::pair<const char*, std::uint32_t> expected[] = {
        {"nobrowseroptions", 1},   {"nofavorites", 0},   {"nofileopen", 1},
        {"nofilenew", 0},          {"nobrowsersave", 0}, {"nobrowsersaveas", 0},
        {"noselectdownloaddir", 0}};
    for (const auto& [name, value] : expected)
        EXPECT_EQ(stored(HKCU, kIe, name), dword(value)) << name;
    EXPECT_EQ(dir.read("vorn.ini"), "\"1010000\",\"C:\\WINDOWS\",,,,,\r\n");
    EXPECT_EQ(onlyMessage(), "系统已成功地完成了“IE属性”设置!");
    EXPECT_TRUE(outcome.settingsWritten);
    EXPECT_TRUE(outcome.notWritten.empty());
    EXPECT_EQ(outcome.windir, "C:\\WINDOWS");
}

TEST_F(ApplyTest, NothingChosenClearsEveryValueAndStoresZeros) {
    // Every category in turn on the same files: each rewrites only its own field.
    const char* after[] = {
        "\"0000000\",\"C:\\WINDOWS\",,,,,\r\n",
        "\"0000000\",\"C:\\WINDOWS\",,\"00000000000000000000\",,,\r\n",
        "\"0000000\",\"C:\\WINDOWS\",,\"00000000000000000000\",\"00000\",,\r\n",
        "\"0000000\",\"C:\\WINDOWS\",,\"00000000000000000000\",\"00000\",\"00000000000\",\r\n",
    };
    for (int c = 0; c < kBuiltinCategories; ++c) {
        SCOPED_TRACE(c);
        messages.shown.clear();
        run(c, {});
        EXPECT_EQ(dir.read("vorn.ini"), after[c]);
        EXPECT_EQ(onlyMessage(), completionMessage(c));
        for (const auto& item : builtinCategory(c).items) {
            for (const auto& e : item.notChosen) {
                auto value = stored(e.root, std::string(e.key), std::string(e.name));
                if (e.kind == EffectKind::String)
                    EXPECT_EQ(value, sz({})) << e.name;
                else if (e.kind == EffectKind::Binary)
                    EXPECT_EQ(value, binary({0, 0, 0, 0})) << e.name;
                else
                    EXPECT_EQ(value, dword(e.value)) << e.name;
            }
        }
    }
    // The inverted items are the ones left at 1.
    EXPECT_EQ(
        stored(HKLM,
               "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Advanced\\Folder\\Hidden"
               "\\SHOWALL",
               "CheckedValue"),
        dword(1));
    EXPECT_EQ(stored(HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\advanced",
                     "Start_enabledragdrop"),
              dword(1));
    EXPECT_EQ(stored(HKCU, kIe, "nofileopen"), dword(0));
}

TEST_F(ApplyTest, TheLaterRowDecidesASharedValue) {
    struct Case {
        std::initializer_list<std::size_t> rows;
        std::uint32_t nodispcpl, noRealModeF, norealmodeE;
    };
    const Case cases[] = {
        {{7}, 0, 0, 0},  {{12}, 1, 0, 0}, {{7, 12}, 1, 0, 0},
        {{14}, 0, 0, 0}, {{16}, 0, 1, 1}, {{14, 16}, 0, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::vector<std::size_t>(c.rows)));
        run(1, rowsChosen(20, c.rows));
        EXPECT_EQ(stored(HKCU, kSystem, "nodispcpl"), dword(c.nodispcpl));
        EXPECT_EQ(stored(HKCU, kWinOldApp, "NoRealMode"), dword(c.noRealModeF));
        EXPECT_EQ(stored(HKCU, std::string(kPolicies) + "explorer", "norealmode"),
                  dword(c.norealmodeE));
    }
    // Row 12 also hides the folder settings, as four bytes.
    run(1, rowsChosen(20, {12}));
    EXPECT_EQ(stored(HKCU, kExplorer, "nosetfolders"), binary({1, 0, 0, 0}));
}

TEST_F(ApplyTest, HiddenDrivesComeFromTheMaskField) {
    struct Case {
        const char* drivesIni;  // nullptr: no file
        Bytes bytes;
    };
    const Case cases[] = {
        {"\"001100000000000\",\" 12\"\r\n", {0x0C, 0, 0, 0}},
        {"\"001000000000001\",\" 16388\"\r\n", {0x04, 0x40, 0, 0}},
        // The fields disagree: the mask is what counts.
        {"\"111111111111111\",\"\"\r\n", {0, 0, 0, 0}},
        {nullptr, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.drivesIni ? c.drivesIni : "missing");
        std::filesystem::remove(dir / "drives.ini");
        if (c.drivesIni) dir.write("drives.ini", c.drivesIni);
        messages.shown.clear();
        run(1, rowsChosen(20, {2}));
        EXPECT_EQ(stored(HKCU, kExplorer, "NoDrives"), binary(c.bytes));
        EXPECT_EQ(onlyMessage(), "系统已成功地完成了“系统桌面”设置!");
        EXPECT_EQ(dir.exists("drives.ini"), c.drivesIni != nullptr);
    }
    // Not chosen: 0, and the file is not read (it could not be).
    dir.write("drives.ini", "\"unclosed");
    messages.shown.clear();
    run(1, rowsChosen(20, {}));
    EXPECT_EQ(stored(HKCU, kExplorer, "NoDrives"), binary({0, 0, 0, 0}));
    EXPECT_EQ(onlyMessage(), "系统已成功地完成了“系统桌面”设置!");
}

TEST_F(ApplyTest, AnUnreadableDrivesFileIsReportedAndTheOldValueKept) {
    // Unreadable, and a hand-edited mask that no 32 bits hold (which would hide every drive).
    for (const char* damaged : {"\"unclosed", "\"001100000000000\",\" 4294967296\"\r\n"}) {
        SCOPED_TRACE(damaged);
        dir.write("drives.ini", "\"001100000000000\",\" 12\"\r\n");
        run(1, rowsChosen(20, {2}));
        dir.write("drives.ini", damaged);
        messages.shown.clear();
        auto outcome = run(1, rowsChosen(20, {2}));
        EXPECT_EQ(stored(HKCU, kExplorer, "NoDrives"), binary({0x0C, 0, 0, 0}));
        ASSERT_EQ(outcome.notWritten.size(), 1u);
        auto text = onlyMessage();
        EXPECT_NE(text.find("系统桌面"), std::string::npos);
        EXPECT_NE(text.find("NoDrives"), std::string::npos);
        EXPECT_NE(text.find("drives.ini"), std::string::npos);
        // The choice is recorded all the same.
        EXPECT_EQ(dir.read("vorn.ini"), ",\"C:\\WINDOWS\",,\"01000000000000000000\",,,\r\n");
    }
}

TEST_F(ApplyTest, LogonNoticeIsWrittenTrimmedOrEmpty) {
    // "  标题  " and a two-line text, in code page 936 as the notice window writes it.
    dir.write("logo.ini", "\"  \xB1\xEA\xCC\xE2  \",\" line one\r\nline two \"\r\n");
    run(1, rowsChosen(20, {3}));
    EXPECT_EQ(stored(HKLM, kWinlogon, "legalnoticecaption"), sz({0xB1, 0xEA, 0xCC, 0xE2}));
    const std::string text = "line one\r\nline two";
    EXPECT_EQ(stored(HKLM, kWinlogon, "legalnoticetext"), sz(Bytes(text.begin(), text.end())));

    // Not chosen: empty texts without opening the file, which here could not be read.
    std::filesystem::remove(dir / "logo.ini");
    std::filesystem::create_directory(dir / "logo.ini");
    messages.shown.clear();
    run(1, rowsChosen(20, {}));
    EXPECT_EQ(stored(HKLM, kWinlogon, "legalnoticecaption"), sz({}));
    EXPECT_EQ(stored(HKLM, kWinlogon, "legalnoticetext"), sz({}));
    EXPECT_EQ(onlyMessage(), "系统已成功地完成了“系统桌面”设置!");

    // Chosen with no file at all: empty texts, and the file is not made.
    std::filesystem::remove(dir / "logo.ini");
    run(1, rowsChosen(20, {3}));
    EXPECT_EQ(stored(HKLM, kWinlogon, "legalnoticecaption"), sz({}));
    EXPECT_FALSE(dir.exists("logo.ini"));
}

TEST_F(ApplyTest, DragAndDropRowIsInverted) {
    const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\advanced";
    run(3, rowsChosen(11, {10}));
    EXPECT_EQ(stored(HKCU, key, "Start_enabledragdrop"), dword(0));
    EXPECT_EQ(stored(HKCU, kExplorer, "norun"), dword(0));
    EXPECT_EQ(dir.read("vorn.ini"), ",\"C:\\WINDOWS\",,,,\"00000000010\",\r\n");
    run(3, rowsChosen(11, {1}));
    EXPECT_EQ(stored(HKCU, key, "Start_enabledragdrop"), dword(1));
    EXPECT_EQ(stored(HKCU, kExplorer, "norun"), dword(1));
}

TEST_F(ApplyTest, FlagsShorterThanTheRowsCountAsNotChosen) {
    run(1, {false, true});
    EXPECT_EQ(dir.read("vorn.ini"), ",\"C:\\WINDOWS\",,\"10000000000000000000\",,,\r\n");
    EXPECT_EQ(stored(HKCU, kSystem, "DisableRegistryTools"), dword(1));
    EXPECT_EQ(stored(HKCU, kSystem, "noprofilepage"), dword(0));
}

custom::Entry entry(std::string sm, std::string root, std::string key, std::string name,
                    std::string data, std::optional<std::int16_t> reg) {
    return {std::move(sm), std::move(root), std::move(key), std::move(name), std::move(data), reg};
}

TEST_F(ApplyTest, OnlyTheChosenCustomEntryIsPerformed) {
    makeUserDat({entry("一", "HKEY_CURRENT_USER ", "Software\\T", "first", "1", 1),
                 entry("二", "HKEY_CURRENT_USER", "Software\\T", "second", "文本", 2),
                 entry("三", "HKEY_USERS", "Software\\T", "third", "1", 1)});
    auto outcome = run(4, rowsChosen(3, {2}), 4);
    EXPECT_EQ(stored(HKCU, "Software\\T", "first"), std::nullopt);
    EXPECT_EQ(stored(HKCU, "Software\\T", "second"), sz({0xCE, 0xC4, 0xB1, 0xBE}));
    EXPECT_EQ(stored(RegRoot::Users, "Software\\T", "third"), std::nullopt);
    EXPECT_EQ(dir.read("vorn.ini"), ",\"C:\\WINDOWS\",,,,,\"010\"\r\n");
    EXPECT_EQ(onlyMessage(), "系统已成功地完成了“自定功能”设置!");
    EXPECT_TRUE(outcome.settingsWritten);
}

TEST_F(ApplyTest, CustomEntriesOfEveryKind) {
    {
        auto seed = platform::makeFileRegistry(dir / "registry.reg");
        ASSERT_TRUE(setdword(*seed, HKCU, "Software\\K\\Old", "v", 1));
    }
    registry = platform::makeFileRegistry(dir / "registry.reg");
    makeUserDat({entry("负数", "HKEY_CURRENT_USER", "Software\\K", "neg", " -1 ", 1),
                 entry("短", "HKEY_CURRENT_USER", "Software\\K", "ab", "ab", 3),
                 entry("长", "HKEY_CURRENT_USER", "Software\\K", "zh", "中文字", 3),
                 entry("删", "HKEY_CURRENT_USER", "Software\\K", "Old", "删除子项(U)", 4),
                 entry("无", "HKEY_CURRENT_USER", "Software\\K", "none", "1", std::nullopt),
                 entry("零", "HKEY_CURRENT_USER", "Software\\K", "zero", "1", 0)});
    run(4, rowsChosen(6, {1, 2, 3, 4, 5, 6}), 7);
    EXPECT_EQ(stored(HKCU, "Software\\K", "neg"), dword(0xFFFFFFFF));
    EXPECT_EQ(stored(HKCU, "Software\\K", "ab"), binary({0x61, 0x62, 0, 0}));
    EXPECT_EQ(stored(HKCU, "Software\\K", "zh"), binary({0xD6, 0xD0, 0xCE, 0xC4}));
    EXPECT_FALSE(
        platform::makeFileRegistry(dir / "registry.reg")->keyExists(HKCU, "Software\\K\\Old"));
    EXPECT_EQ(stored(HKCU, "Software\\K", "none"), std::nullopt);
    EXPECT_EQ(stored(HKCU, "Software\\K", "zero"), std::nullopt);
    EXPECT_EQ(onlyMessage(), "系统已成功地完成了“自定功能”设置!");
    EXPECT_EQ(dir.read("vorn.ini"), ",\"C:\\WINDOWS\",,,,,\"111111\"\r\n");
}

TEST_F(ApplyTest, EmptyCustomTableStoresAnEmptySelection) {
    makeUserDat({});
    test::FakeRegistry fake;
    apply({dir.path(), fake, messages}, {4, {}, 1});
    EXPECT_TRUE(fake.callsOf(test::FakeRegistry::Op::Create).empty());
    EXPECT_EQ(dir.read("vorn.ini"), ",\"C:\\WINDOWS\",,,,,\"\"\r\n");
    EXPECT_EQ(onlyMessage(), "系统已成功地完成了“自定功能”设置!");
}

TEST_F(ApplyTest, EntriesDeletedMeanwhileAreNotReadPastTheEnd) {
    makeUserDat({entry("一", "HKEY_CURRENT_USER", "Software\\D", "a", "1", 1),
                 entry("二", "HKEY_CURRENT_USER", "Software\\D", "b", "2", 1)});
    // The checklist was filled with four entries; two have gone since.
    auto outcome = run(4, rowsChosen(4, {2, 4}), 5);
    EXPECT_EQ(stored(HKCU, "Software\\D", "a"), std::nullopt);
    EXPECT_EQ(stored(HKCU, "Software\\D", "b"), dword(2));
    ASSERT_EQ(outcome.notWritten.size(), 1u);
    EXPECT_NE(outcome.notWritten[0].find("第 4 项"), std::string::npos);
    EXPECT_NE(onlyMessage().find("自定功能"), std::string::npos);
    EXPECT_EQ(dir.read("vorn.ini"), ",\"C:\\WINDOWS\",,,,,\"0101\"\r\n");
}

TEST_F(ApplyTest, UnusableEntriesAreReportedAndTheOthersApplied) {
    makeUserDat({entry("坏根", "HKEY_NOWHERE", "Software\\U", "a", "1", 1),
                 entry("好", "HKEY_CURRENT_USER", "Software\\U", "b", "1", 1),
                 entry("坏数", "HKEY_CURRENT_USER", "Software\\U", "c", "40000", 1)});
    auto outcome = run(4, rowsChosen(3, {1, 2, 3}), 4);
    EXPECT_EQ(stored(HKCU, "Software\\U", "b"), dword(1));
    EXPECT_EQ(stored(HKCU, "Software\\U", "c"), std::nullopt);
    ASSERT_EQ(outcome.notWritten.size(), 2u);
    auto text = onlyMessage();
    EXPECT_NE(text.find("HKEY_NOWHERE"), std::string::npos);
    EXPECT_NE(text.find("40000"), std::string::npos);
    EXPECT_EQ(text.find("系统已成功地完成了"), std::string::npos);
    EXPECT_EQ(dir.read("vorn.ini"), ",\"C:\\WINDOWS\",,,,,\"111\"\r\n");
}

TEST_F(ApplyTest, ALongListOfFailuresIsCutShort) {
    std::vector<custom::Entry> bad;
    for (int i = 0; i < 25; ++i)
        bad.push_back(entry(std::to_string(i), "HKEY_X", "K", "v", "1", 1));
    makeUserDat(bad);
    run(4, std::vector<bool>(26, true), 26);
    auto text = onlyMessage();
    EXPECT_NE(text.find("第 20 项"), std::string::npos);
    EXPECT_EQ(text.find("第 21 项"), std::string::npos);
    EXPECT_NE(text.find("……等共 25 项"), std::string::npos);
}

TEST_F(ApplyTest, MissingOrDamagedUserDatStopsThePass) {
    for (bool damaged : {false, true}) {
        SCOPED_TRACE(damaged);
        if (damaged) dir.write(custom::kEntryFileName, "not a database");
        messages.shown.clear();
        auto outcome = run(4, rowsChosen(2, {1}), 3);
        EXPECT_FALSE(outcome.settingsWritten);
        EXPECT_NE(onlyMessage().find("user.dat"), std::string::npos);
        EXPECT_FALSE(dir.exists("registry.reg"));
        EXPECT_EQ(dir.read("vorn.ini"), kNewSettings);
    }
}

TEST_F(ApplyTest, AReadOnlyMachineRootIsReportedInsteadOfSuccess) {
    registry = platform::makeFileRegistry(dir / "registry.reg", {HKLM});
    auto outcome = run(1, rowsChosen(20, {1, 18}));
    EXPECT_EQ(stored(HKCU, kSystem, "DisableRegistryTools"), dword(1));
    EXPECT_EQ(stored(HKLM, "Network\\Logon", "mustbevalidated"), std::nullopt);
    auto text = onlyMessage();
    EXPECT_EQ(text.find("系统已成功地完成了"), std::string::npos);
    EXPECT_NE(text.find("“系统桌面”"), std::string::npos);
    EXPECT_NE(text.find("HKEY_LOCAL_MACHINE\\Network\\Logon\\mustbevalidated"), std::string::npos);
    EXPECT_NE(text.find("legalnoticecaption"), std::string::npos);
    EXPECT_NE(text.find("CheckedValue"), std::string::npos);
    // Rows 3 (two values), 5 and 18 live under the machine root.
    EXPECT_EQ(outcome.notWritten.size(), 4u);
    EXPECT_EQ(dir.read("vorn.ini"), ",\"C:\\WINDOWS\",,\"10000000000000000100\",,,\r\n");
}

TEST_F(ApplyTest, AFailedStoreOfTheRegistryIsReported) {
    test::FakeRegistry fake;
    fake.failEndGroup();
    auto outcome = apply({dir.path(), fake, messages}, {2, rowsChosen(5, {1}), 1});
    EXPECT_EQ(fake.valueCount(), 0u);
    auto text = onlyMessage();
    EXPECT_NE(text.find("全部写入都没有生效"), std::string::npos);
    EXPECT_NE(text.find("“网络共享”"), std::string::npos);
    EXPECT_EQ(fake.callsOf(test::FakeRegistry::Op::BeginGroup).size(), 1u);
    EXPECT_EQ(fake.openKeys(), 0u);
    EXPECT_TRUE(outcome.settingsWritten);
}

TEST_F(ApplyTest, ADamagedRegistryFileStopsThePassBeforeItWrites) {
    // What the values hold cannot be read, so no record can be made, and without one the pass
    // writes neither the registry nor the settings.
    const std::string damaged = "REGEDIT4\r\n\r\nnot a registry line\r\n";
    dir.write("registry.reg", damaged);
    auto outcome = run(1, rowsChosen(20, {1}));
    EXPECT_TRUE(outcome.notWritten.empty());
    EXPECT_FALSE(outcome.settingsWritten);
    EXPECT_FALSE(outcome.history.has_value());
    auto text = onlyMessage();
    EXPECT_EQ(text.rfind("无法保存历史记录：", 0), 0u);
    EXPECT_NE(text.find("registry.reg"), std::string::npos);
    EXPECT_NE(text.find("“系统桌面”设置没有执行，注册表和设置文件都未改动。"), std::string::npos);
    EXPECT_EQ(dir.read("registry.reg"), damaged);
    EXPECT_EQ(dir.read("vorn.ini"), kNewSettings);
}

TEST_F(ApplyTest, AnUnsetWindowsDirectoryIsWrittenBackAsAText) {
    dir.write("vorn.ini", "\"1\",,\"pw\",,,,\r\n");
    auto outcome = run(0, rowsChosen(7, {2}));
    EXPECT_FALSE(outcome.windir.has_value());
    EXPECT_EQ(dir.read("vorn.ini"), "\"0100000\",\"\",\"pw\",,,,\r\n");
}

TEST_F(ApplyTest, FailuresAreReportedInRowOrderWhateverTheirCause) {
    // Row 1 cannot be planned (the root is unknown), row 2 is planned but its root refuses the
    // write, row 3 cannot be planned again: the report keeps the rows in order.
    registry = platform::makeFileRegistry(dir / "registry.reg", {HKLM});
    makeUserDat({entry("坏根", "HKEY_NOWHERE", "Software\\U", "a", "1", 1),
                 entry("机器", "HKEY_LOCAL_MACHINE", "Software\\U", "b", "1", 1),
                 entry("好", "HKEY_CURRENT_USER", "Software\\U", "c", "1", 1),
                 entry("坏数", "HKEY_CURRENT_USER", "Software\\U", "d", "x", 1)});
    auto outcome = run(4, rowsChosen(4, {1, 2, 3, 4}), 5);
    ASSERT_EQ(outcome.notWritten.size(), 3u);
    EXPECT_EQ(outcome.notWritten[0].rfind("第 1 项：", 0), 0u);
    EXPECT_EQ(outcome.notWritten[1].rfind("第 2 项“机器”：未能写入注册表值 HKEY_LOCAL_MACHINE", 0),
              0u);
    EXPECT_EQ(outcome.notWritten[2].rfind("第 4 项：", 0), 0u);
    EXPECT_EQ(stored(HKCU, "Software\\U", "c"), dword(1));
}

TEST_F(ApplyTest, UnreadableSettingsWriteNothing) {
    for (const char* content : {static_cast<const char*>(nullptr), "\"1010000\",\"C:\\WIN"}) {
        SCOPED_TRACE(content ? content : "missing");
        std::filesystem::remove(dir / "vorn.ini");
        if (content) dir.write("vorn.ini", content);
        messages.shown.clear();
        auto outcome = run(0, rowsChosen(7, {1}));
        EXPECT_FALSE(outcome.settingsWritten);
        EXPECT_FALSE(outcome.windir.has_value());
        EXPECT_NE(onlyMessage().find("vorn.ini"), std::string::npos);
        EXPECT_FALSE(dir.exists("registry.reg"));
        EXPECT_EQ(dir.exists("vorn.ini"), content != nullptr);
        if (content) {
            EXPECT_EQ(dir.read("vorn.ini"), content);
        }
    }
}

// Another copy's pass holds the lock: this one waits, then writes nothing and says why.
TEST_F(ApplyTest, APassWaitsForAnotherAndGivesUpWithoutWriting) {
    auto other = platform::FileLock::acquire(dir / "tessmar.lock", std::chrono::milliseconds(0));
    ASSERT_TRUE(other.has_value());
    const ApplyContext context{dir.path(), *registry, messages, true,
                               std::chrono::milliseconds(200)};
    auto outcome = apply(context, {0, rowsChosen(7, {1}), 1});
    EXPECT_FALSE(outcome.settingsWritten);
    EXPECT_NE(onlyMessage().find("另一个 Tessmar 正在写入"), std::string::npos);
    EXPECT_FALSE(dir.exists("registry.reg"));
    EXPECT_EQ(dir.read("vorn.ini"), kNewSettings);
    auto restored = restore(dir.path(), *registry, dir / "none.reg");
    ASSERT_FALSE(restored.has_value());
    EXPECT_NE(restored.error().message.find("另一个 Tessmar 正在写入"), std::string::npos);
    // Once the other pass is over (its lock replaced by one on another file), the apply goes
    // through.
    other = platform::FileLock::acquire(dir / "spare.lock", std::chrono::milliseconds(0));
    messages.shown.clear();
    EXPECT_TRUE(apply(context, {0, rowsChosen(7, {1}), 1}).settingsWritten);
}

TEST_F(ApplyTest, SettingsThatCannotBeWrittenAreReportedAndKept) {
    std::filesystem::permissions(
        dir / "vorn.ini", std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    auto outcome = run(0, rowsChosen(7, {1}));
    EXPECT_FALSE(outcome.settingsWritten);
    EXPECT_EQ(stored(HKCU, kIe, "nobrowseroptions"), dword(1));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, "系统已成功地完成了“IE属性”设置!");
    EXPECT_NE(messages.shown[1].text.find("vorn.ini"), std::string::npos);
    EXPECT_EQ(messages.shown[1].title, "系统提示:");
    EXPECT_EQ(dir.read("vorn.ini"), kNewSettings);
}

}  // namespace
}  // namespace tessmar::engine
