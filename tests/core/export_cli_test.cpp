// "tessmar --export FOLDER": the three files from a fresh program folder, and one line on standard
// error with nothing written for a damaged one or a folder that cannot be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "gpo/cli.h"
#include "gpo/preg.h"
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
