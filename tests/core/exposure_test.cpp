#include "platform/exposure.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/tempdir.h"

namespace tessmar::platform {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// A program folder as an installer leaves it: only its owner may write.
class ProgramFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read |
                                        fs::perms::others_exec);
        dir.write("user.dat", "db");
        fs::permissions(dir / "user.dat", fs::perms::owner_read | fs::perms::owner_write |
                                              fs::perms::group_read | fs::perms::others_read);
        dir.write("vorn.ini", "\"\",\"C:\\WINDOWS\",,,,\"\",\r\n");
        fs::permissions(dir / "vorn.ini", fs::perms::owner_read | fs::perms::owner_write);
    }
    TempDir dir;
};

TEST_F(ProgramFolder, AProtectedFolderGivesNoWarning) {
    EXPECT_EQ(exposureWarning(dir.path()), std::nullopt);
    // Files not made yet are no way in while the folder itself is closed.
    fs::remove(dir / "vorn.ini");
    EXPECT_EQ(writableByOthers(dir / "vorn.ini"), std::nullopt);
    EXPECT_EQ(exposureWarning(dir.path()), std::nullopt);
}

TEST_F(ProgramFolder, AFolderEveryoneCanWriteIsNamedWithTheRiskAndTheRemedy) {
    fs::permissions(dir.path(), fs::perms::all);
    auto warning = exposureWarning(dir.path());
    ASSERT_TRUE(warning);
    EXPECT_NE(warning->find("程序文件夹 " + dir.path().string() +
                            "：同组的用户可以写入，所有用户都可以写入"),
              std::string::npos)
        << *warning;
    EXPECT_EQ(warning->find("user.dat："), std::string::npos);  // the files themselves are closed
    EXPECT_NE(warning->find("换掉 user.dat"), std::string::npos);
    EXPECT_NE(warning->find("vorn.ini"), std::string::npos);
    EXPECT_NE(warning->find("C:\\Program Files\\Tessmar"), std::string::npos);
}

TEST_F(ProgramFolder, EachWritableFileIsNamedWithWhoCanWriteIt) {
    fs::permissions(dir / "user.dat", fs::perms::owner_read | fs::perms::owner_write |
                                          fs::perms::group_read | fs::perms::group_write |
                                          fs::perms::others_read | fs::perms::others_write);
    fs::permissions(dir / "vorn.ini", fs::perms::group_write, fs::perm_options::add);
    auto warning = exposureWarning(dir.path());
    ASSERT_TRUE(warning);
    EXPECT_NE(warning->find("自定项目数据库 user.dat：同组的用户可以写入，所有用户都可以写入"),
              std::string::npos)
        << *warning;
    EXPECT_NE(warning->find("设置文件 vorn.ini：同组的用户可以写入"), std::string::npos);
    EXPECT_EQ(warning->find("程序文件夹"), std::string::npos);
}

TEST_F(ProgramFolder, AFileOwnedByAnotherUserIsExposedWhateverItsMode) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file away needs root";
    ASSERT_EQ(::chown((dir / "user.dat").c_str(), 65534, 65534), 0);
    auto why = writableByOthers(dir / "user.dat");
    ASSERT_TRUE(why);
    EXPECT_NE(why->find("属于用户 "), std::string::npos) << *why;
    EXPECT_TRUE(exposureWarning(dir.path()));
}

}  // namespace
}  // namespace tessmar::platform
