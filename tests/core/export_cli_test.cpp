// "tessmar --export FOLDER": the three files from a fresh program folder, and one line on standard
// error with nothing written for a damaged one or a folder that cannot be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "engine/history.h"
#include "engine/mainreg.h"
#include "gpo/cli.h"
#include "gpo/preg.h"
#include "gpo/target.h"
#include "platform/codepage.h"
#include "support/tempdir.h"

namespace tessmar::gpo {
namespace {
namespace fs = std::filesystem;

// What the start-up gate makes on the first start.
constexpr const char* kGateSettings = "\"\",\"C:\\WINDOWS\",,,,\"\",\r\n";

class ExportCommand : public ::testing::Test {
  protected:
    ExportCommand() {
        fs::copy_file(TESSMAR_SHIPPED_USER_DAT, dir / "user.dat");
        dir.write("vorn.ini", kGateSettings);
    }

    std::optional<int> run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return runCommandLine(args, dir.path(), out, err);
    }

    // No file at all below the folder.
    bool nothingBelow(const fs::path& folder) {
        std::error_code ec;
        for (const auto& e : fs::recursive_directory_iterator(folder, ec))
            if (e.is_regular_file()) return false;
        return true;
    }

    void expectOneErrorLine(std::string_view mentions) {
        std::string e = err.str();
        EXPECT_EQ(std::count(e.begin(), e.end(), '\n'), 1) << e;
        EXPECT_EQ(e.back(), '\n');
        EXPECT_NE(e.find(mentions), std::string::npos) << e;
        EXPECT_TRUE(out.str().empty());
    }

    test::TempDir dir;
    test::TempDir target;
    std::ostringstream out, err;
};

TEST_F(ExportCommand, OtherArgumentsLeaveTheProgramToStartAsUsual) {
    EXPECT_EQ(run({}), std::nullopt);
    EXPECT_EQ(run({"-platform", "offscreen"}), std::nullopt);
    EXPECT_EQ(run({"--export"}), 2);
    EXPECT_EQ(run({"--export", "a", "b"}), 2);
    EXPECT_NE(err.str().find("用法"), std::string::npos);
}

TEST_F(ExportCommand, AFreshProgramFolderExportsEveryCategoryCleared) {
    EXPECT_EQ(run({"--export", (target / "gpo").string()}), 0);
    EXPECT_TRUE(err.str().empty()) << err.str();
    std::string o = out.str();
    EXPECT_NE(o.find("已写入 " + (target / "gpo" / "User" / "Registry.pol").string()),
              std::string::npos)
        << o;
    EXPECT_NE(o.find((target / "gpo" / "Machine" / "Registry.pol").string()), std::string::npos);
    EXPECT_NE(o.find((target / "gpo" / "tessmar.reg").string()), std::string::npos);
    // The shipped entries are not chosen on a fresh start, so only the built-in values travel:
    // 7 + 26 + 5 + 14 writes in all, less the 3 that a later row writes again; 3 of them are
    // machine values (the two notice texts, CheckedValue) and one more, mustbevalidated.
    auto user = decodePol(target.read("gpo/User/Registry.pol"));
    auto machine = decodePol(target.read("gpo/Machine/Registry.pol"));
    ASSERT_TRUE(user.has_value());
    ASSERT_TRUE(machine.has_value());
    EXPECT_EQ(machine->size(), 4u);
    EXPECT_EQ(user->size() + machine->size(), 7u + 26u + 5u + 14u - 3u);
    std::string reg = target.read("gpo/tessmar.reg");
    EXPECT_EQ(reg.rfind("REGEDIT4\r\n", 0), 0u);
    EXPECT_NE(reg.find("\"nobrowseroptions\"=dword:00000000\r\n"), std::string::npos);
    // Exporting again gives the same files.
    EXPECT_EQ(run({"--export", (target / "gpo").string()}), 0);
    EXPECT_EQ(target.read("gpo/tessmar.reg"), reg);
}

TEST_F(ExportCommand, ADamagedProgramFolderWritesNothing) {
    const fs::path folder = target / "gpo";
    dir.write("user.dat", "这不是数据库，只是一些文字。");
    EXPECT_EQ(run({"--export", folder.string()}), 1);
    expectOneErrorLine("user.dat");
    EXPECT_TRUE(nothingBelow(target.path()));

    fs::remove(dir / "user.dat");
    EXPECT_EQ(run({"--export", folder.string()}), 1);
    expectOneErrorLine("user.dat");

    fs::copy_file(TESSMAR_SHIPPED_USER_DAT, dir / "user.dat");
    dir.write("vorn.ini", "\"1010000,\"C:\\WINDOWS");  // a quote that never closes
    EXPECT_EQ(run({"--export", folder.string()}), 1);
    expectOneErrorLine("vorn.ini");

    fs::remove(dir / "vorn.ini");
    fs::create_directory(dir / "vorn.ini");  // there, but no file to read
    EXPECT_EQ(run({"--export", folder.string()}), 1);
    expectOneErrorLine("vorn.ini");

    fs::remove(dir / "vorn.ini");
    EXPECT_EQ(run({"--export", folder.string()}), 1);
    expectOneErrorLine("找不到设置文件");
    EXPECT_TRUE(nothingBelow(target.path()));
}

TEST_F(ExportCommand, AFolderThatCannotBeWrittenIsReportedAndLeavesNoFile) {
    // A path below a regular file: no one, root included, can make a folder there.
    target.write("plain", "x");
    EXPECT_EQ(run({"--export", (target / "plain" / "gpo").string()}), 1);
    expectOneErrorLine((target / "plain").string());
    // Machine/ is a file: User/ could be made, but no file is written into it.
    fs::create_directory(target / "gpo2");
    target.write("gpo2/Machine", "x");
    EXPECT_EQ(run({"--export", (target / "gpo2").string()}), 1);
    expectOneErrorLine("Machine");
    EXPECT_FALSE(target.exists("gpo2/User/Registry.pol"));
    EXPECT_FALSE(target.exists("gpo2/tessmar.reg"));
}

}  // namespace
}  // namespace tessmar::gpo

// "tessmar --accounts" and "tessmar --apply" over the stand-in: a program folder whose registry.reg
// knows three accounts besides the system's own.
namespace tessmar::gpo {
namespace {

constexpr const char* kXiaoming = "S-1-5-21-1-2-3-1001";
constexpr const char* kBaba = "S-1-5-21-1-2-3-1002";
constexpr const char* kAdmin = "S-1-5-21-1-2-3-500";
constexpr const char* kIe = "Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions";

class Accounts : public platform::Accounts {
  public:
    std::optional<std::string> nameOf(std::string_view sid) override {
        if (sid == kAdmin) return "Administrator";
        return std::nullopt;
    }
    std::optional<std::string> sidOf(std::string_view name) override {
        if (name == "PC\\小明") return kXiaoming;
        return std::nullopt;
    }
    std::optional<std::string> runningSid() override { return kAdmin; }
    std::optional<std::string> sessionSid() override { return kXiaoming; }
    bool isAdministrator(std::string_view sid) override { return sid == kAdmin || sid == kBaba; }
    std::string expand(std::string_view path) override { return std::string(path); }
};

class ApplyCommand : public ::testing::Test {
  protected:
    ApplyCommand() {
        fs::copy_file(TESSMAR_SHIPPED_USER_DAT, dir / "user.dat");
        dir.write("vorn.ini", kGateSettings);
        const std::string list = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
        auto text = [&](std::string key, std::string name, std::string utf8) {
            auto bytes = *platform::toCp936(utf8);
            std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
            data.push_back(0);
            ASSERT_TRUE(engine::setvalue(*registry, platform::RegRoot::LocalMachine, key, name,
                                         platform::RegType::ExpandSz, data));
        };
        text(list + "\\S-1-5-18", "ProfileImagePath",
             "%systemroot%\\system32\\config\\systemprofile");
        text(list + "\\" + kXiaoming, "ProfileImagePath", "C:\\Users\\小明");
        text(list + "\\" + kBaba, "ProfileImagePath", "C:\\Users\\爸爸");
        text(list + "\\" + kAdmin, "ProfileImagePath", "C:\\Users\\Administrator");
        text(list, "Default", "%SystemDrive%\\Users\\Default");
        before = dir.read("registry.reg");
    }

    int run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return runCommandLine(args, dir.path(), out, err, System{*registry, accounts}).value_or(-1);
    }

    std::optional<platform::RegValue> value(platform::RegRoot root, const std::string& key,
                                            const char* name) {
        return platform::makeFileRegistry(dir / "registry.reg")->queryValue(root, key, name);
    }

    test::TempDir dir;
    std::unique_ptr<platform::Registry> registry = platform::makeFileRegistry(dir / "registry.reg");
    Accounts accounts;
    std::string before;
    std::ostringstream out, err;
};

TEST_F(ApplyCommand, AccountsListEveryTargetOnceWithItsMarks) {
    EXPECT_EQ(run({"--accounts"}), 0);
    EXPECT_EQ(
        out.str(),
        std::string(
            "me\tS-1-5-21-1-2-3-500\t当前账户：运行本程序的账户 Administrator（管理员）\n") +
            "小明\tS-1-5-21-1-2-3-1001\t账户 小明（已登录）：配置文件 C:\\Users\\小明\n" +
            "爸爸\tS-1-5-21-1-2-3-1002\t账户 爸爸（管理员）：配置文件 C:\\Users\\爸爸\n" +
            "default\t-\t以后新建的账户：写入默认配置文件 %SystemDrive%\\Users\\Default，"
            "只影响此后新建的账户，现有账户不受影响\n" +
            "standard\t-\t所有标准用户：写入非管理员组的本地组策略，对每个不是管理员的账户生效\n");
}

TEST_F(ApplyCommand, BadInputIsOneLineExitTwoAndNothingWritten) {
    const std::string seven(7, '0');
    const std::vector<std::pair<std::vector<std::string>, const char*>> cases = {
        {{"--apply"}, "用法"},
        {{"--apply", "5"}, "用法"},
        {{"--apply", "01"}, "用法"},
        {{"--apply", "0", "--to"}, "用法"},
        {{"--apply", "0", "--to", "me", "--to", "me"}, "用法"},
        {{"--apply", "0", "--with", "me"}, "用法"},
        {{"--apply", "0", "--to", "nobody"}, "nobody"},
        {{"--apply", "0", "--choose", "101"}, "7 个"},
        {{"--apply", "0", "--choose", "10100x0"}, "10100x0"},
        {{"--apply", "1", "--choose", seven}, "20 个"},
        {{"--accounts", "me"}, "用法"},
    };
    for (const auto& [args, mentions] : cases) {
        EXPECT_EQ(run(args), 2) << args.back();
        const std::string e = err.str();
        EXPECT_EQ(std::count(e.begin(), e.end(), '\n'), 1) << e;
        EXPECT_NE(e.find(mentions), std::string::npos) << e;
        EXPECT_TRUE(out.str().empty());
    }
    EXPECT_EQ(dir.read("registry.reg"), before);
    EXPECT_EQ(dir.read("vorn.ini"), kGateSettings);
    EXPECT_FALSE(dir.exists("history"));
    EXPECT_FALSE(dir.exists("targets.ini"));
}

TEST_F(ApplyCommand, AnAccountGetsTheWritesAndTheRunningAccountNone) {
    // By name, by the system's spelling and by SID: the same account.
    for (std::string to : {"小明", "PC\\小明", kXiaoming}) {
        ASSERT_EQ(run({"--apply", "0", "--to", to, "--choose", "1010000"}), 0) << err.str();
        EXPECT_TRUE(err.str().empty()) << err.str();
    }
    const std::string hive = std::string(kXiaoming) + "\\" + kIe;
    EXPECT_EQ(value(platform::RegRoot::Users, hive, "nobrowseroptions")->data,
              (std::vector<std::uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(value(platform::RegRoot::Users, hive, "nofavorites")->data,
              (std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_FALSE(platform::makeFileRegistry(dir / "registry.reg")
                     ->keyExists(platform::RegRoot::CurrentUser, kIe));
    EXPECT_NE(out.str().find("已写入 HKEY_USERS\\" + hive + "\\nobrowseroptions："),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("系统已成功地完成了“IE属性”设置!\n已写入账户“小明”"),
              std::string::npos);
    // The running account's choices stay as they were; the account's are its own.
    EXPECT_EQ(dir.read("vorn.ini"), kGateSettings);
    EXPECT_EQ(dir.read("targets.ini"),
              *platform::toCp936("\"S-1-5-21-1-2-3-1001\",\"小明\",\"1010000\",,,,\r\n"));
    // Without --choose the account's stored choices apply again; another target has none yet.
    EXPECT_EQ(run({"--apply", "0", "--to", "小明"}), 0);
    EXPECT_EQ(value(platform::RegRoot::Users, hive, "nobrowseroptions")->data,
              (std::vector<std::uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(run({"--apply", "0", "--to", "default"}), 0);
    EXPECT_EQ(
        value(platform::RegRoot::Users, std::string("DefaultUser\\") + kIe, "nobrowseroptions")
            ->data,
        (std::vector<std::uint8_t>{0, 0, 0, 0}));

    // The account's records name it and spell its HKEY_CURRENT_USER as HKEY_USERS\<SID>, so that
    // importing one reaches that account; restoring the first goes back into the same hive.
    auto records = engine::listHistory(dir.path());
    ASSERT_TRUE(records && records->size() == 5u);
    const engine::HistoryEntry& first = records->back();
    EXPECT_EQ(first.target.kind, engine::TargetKind::Account);
    EXPECT_EQ(first.target.name, "小明");
    const std::string text = dir.read("history/" + first.file.filename().string());
    EXPECT_NE(text.find(";@target account S-1-5-21-1-2-3-1001 "), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n[HKEY_USERS\\" + hive + "]\r\n"), std::string::npos);
    EXPECT_EQ(text.find("[HKEY_CURRENT_USER"), std::string::npos);
    ASSERT_TRUE(restoreRecord(*registry, accounts, dir.path(), first.file));
    EXPECT_FALSE(value(platform::RegRoot::Users, hive, "nobrowseroptions"));
    EXPECT_FALSE(platform::makeFileRegistry(dir / "registry.reg")
                     ->keyExists(platform::RegRoot::CurrentUser, kIe));
    EXPECT_EQ(engine::listHistory(dir.path())->front().target.sid, kXiaoming);
}

TEST_F(ApplyCommand, StandardUsersGetThePolicyAndTheMachineTheRest) {
    const std::string desk = "1" + std::string(19, '0');
    ASSERT_EQ(run({"--apply", "1", "--to", "standard", "--choose", desk}), 0) << err.str();
    auto user = decodePol(dir.read("GroupPolicyUsers/S-1-5-32-545/User/Registry.pol"));
    ASSERT_TRUE(user.has_value());
    EXPECT_EQ(user->front().name, "DisableRegistryTools");
    EXPECT_NE(dir.read("GroupPolicyUsers/S-1-5-32-545/gpt.ini").find("Version=65536"),
              std::string::npos);
    // The notice texts are machine-wide: in the registry, as for every target.
    EXPECT_TRUE(value(platform::RegRoot::LocalMachine,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Winlogon",
                      "legalnoticecaption"));
    EXPECT_FALSE(platform::makeFileRegistry(dir / "registry.reg")
                     ->keyExists(platform::RegRoot::CurrentUser, "Software\\Microsoft"));
    // Its record keeps the policy half in lines the registry editor skips.
    const auto record = engine::listHistory(dir.path())->front().file;
    EXPECT_NE(dir.read("history/" + record.filename().string())
                  .find(";|[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                        "Policies\\System]\r\n;@value 1 \"DisableRegistryTools\"=dword:00000001"
                        "\r\n;|\"DisableRegistryTools\"=-\r\n"),
              std::string::npos);
    // A Home edition processes no local policy: refused, nothing written.
    ASSERT_TRUE(engine::setstring(*registry, platform::RegRoot::LocalMachine,
                                  "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "EditionID",
                                  "Core"));
    const std::string pol = dir.read("GroupPolicyUsers/S-1-5-32-545/User/Registry.pol");
    EXPECT_EQ(run({"--apply", "1", "--to", "standard"}), 2);
    EXPECT_NE(err.str().find("家庭版"), std::string::npos);
    EXPECT_EQ(dir.read("GroupPolicyUsers/S-1-5-32-545/User/Registry.pol"), pol);
    EXPECT_EQ(run({"--accounts"}), 0);
    EXPECT_NE(out.str().find(
                  "standard\t-"
                  "\t所有标准用户：写入非管理员组的本地组策略，对每个不是管理员的账户生效（家庭版"),
              std::string::npos);
}

}  // namespace
}  // namespace tessmar::gpo
