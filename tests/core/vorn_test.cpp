#include "settings/vorn.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/tempdir.h"

namespace tessmar::settings {
namespace {

using std::nullopt;

constexpr std::string_view kGateRecord = "\"\",\"C:\\WINDOWS\",,,,\"\",\r\n";
constexpr std::string_view kChecklistRecord = ",\"C:\\WINDOWS\",,,,,\r\n";

TEST(SettingsFile, CreationRecordsAreByteExact) {
    test::TempDir dir;
    SettingsFile file(dir.path());
    EXPECT_EQ(file.path(), dir / "vorn.ini");
    EXPECT_FALSE(file.exists());

    ASSERT_TRUE(file.createForGate("C:\\WINDOWS"));
    EXPECT_TRUE(file.exists());
    EXPECT_EQ(dir.read("vorn.ini"), kGateRecord);
    EXPECT_EQ(kGateRecord.size(), 22u + 2u);

    ASSERT_TRUE(file.createForChecklist("C:\\WINDOWS"));
    EXPECT_EQ(dir.read("vorn.ini"), kChecklistRecord);
    EXPECT_EQ(kChecklistRecord.size(), 18u + 2u);
}

TEST(SettingsFile, GateRecordReadsAsEmptyPasswordAndNothingChosen) {
    test::TempDir dir;
    SettingsFile file(dir.path());
    ASSERT_TRUE(file.createForGate("C:\\WINDOWS"));

    auto six = file.read(kGateFieldCount);
    ASSERT_TRUE(six);
    EXPECT_EQ(*six, (Record{std::string(), std::string("C:\\WINDOWS"), nullopt, nullopt, nullopt,
                            std::string()}));
    EXPECT_TRUE(passwordMatches(*six, ""));
    EXPECT_TRUE(passwordMatches(*six, "   "));
    EXPECT_FALSE(passwordMatches(*six, "a"));
}

TEST(SettingsFile, RewriteKeepsUnsetFieldsUnset) {
    test::TempDir dir;
    SettingsFile file(dir.path());
    ASSERT_TRUE(file.createForChecklist("C:\\WINDOWS"));
    auto record = file.read();
    ASSERT_TRUE(record);
    field(*record, kFieldDesk) = "1" + std::string(18, '0') + "1";
    ASSERT_TRUE(file.write(*record));
    EXPECT_EQ(dir.read("vorn.ini"), ",\"C:\\WINDOWS\",,\"10000000000000000001\",,,\r\n");

    // The same field rewritten keeps the file's size.
    ASSERT_TRUE(file.write(*record));
    EXPECT_EQ(dir.read("vorn.ini").size(), 42u);
}

TEST(SettingsFile, WriteAlwaysWritesSevenFields) {
    test::TempDir dir;
    SettingsFile file(dir.path());
    ASSERT_TRUE(file.write({std::string("1")}));
    EXPECT_EQ(dir.read("vorn.ini"), "\"1\",,,,,,\r\n");
    Record nine(9, std::string("x"));
    ASSERT_TRUE(file.write(nine));
    EXPECT_EQ(dir.read("vorn.ini"), "\"x\",\"x\",\"x\",\"x\",\"x\",\"x\",\"x\"\r\n");
}

TEST(SettingsFile, PasswordChangeOnNewFile) {
    test::TempDir dir;
    SettingsFile file(dir.path());
    ASSERT_TRUE(file.createForGate("C:\\WINDOWS"));
    ASSERT_TRUE(file.changePassword("  Secret 1  "));
    EXPECT_EQ(dir.read("vorn.ini"), "\"\",\"C:\\WINDOWS\",\"Secret 1\",,,\"\",\"\"\r\n");

    auto record = file.read(kGateFieldCount);
    ASSERT_TRUE(record);
    EXPECT_TRUE(passwordMatches(*record, "Secret 1"));
    EXPECT_TRUE(passwordMatches(*record, "  Secret 1 "));
    EXPECT_FALSE(passwordMatches(*record, "secret 1"));
    EXPECT_FALSE(passwordMatches(*record, "Secret  1"));
    EXPECT_FALSE(passwordMatches(*record, ""));
}

TEST(SettingsFile, PasswordChangeKeepsOtherFieldsInTheirForm) {
    test::TempDir dir;
    SettingsFile file(dir.path());
    ASSERT_TRUE(file.createForChecklist("C:\\WINDOWS"));
    ASSERT_TRUE(file.changePassword("a,b"));
    EXPECT_EQ(dir.read("vorn.ini"), ",\"C:\\WINDOWS\",\"a,b\",,,,\"\"\r\n");

    // A stored custom selection stays as it was; blanks only store the empty password.
    dir.write("vorn.ini", "\"1010000\",\"C:\\WINDOWS\",\"old\",,\"00100\",,\"101\"\r\n");
    ASSERT_TRUE(file.changePassword("   "));
    EXPECT_EQ(dir.read("vorn.ini"), "\"1010000\",\"C:\\WINDOWS\",\"\",,\"00100\",,\"101\"\r\n");
    auto record = file.read();
    ASSERT_TRUE(record);
    EXPECT_TRUE(passwordMatches(*record, ""));
}

TEST(SettingsFile, PasswordsTheFileCannotHoldAreRefused) {
    test::TempDir dir;
    SettingsFile file(dir.path());
    ASSERT_TRUE(file.createForGate("C:\\WINDOWS"));
    for (const char* password : {"a\"b", "\U0001F600"}) {
        auto status = file.changePassword(password);
        ASSERT_FALSE(status) << password;
        EXPECT_NE(status.error().message.find("密码"), std::string::npos);
        EXPECT_EQ(dir.read("vorn.ini"), kGateRecord);
    }
    ASSERT_TRUE(file.changePassword("中文密码"));
    auto record = file.read();
    ASSERT_TRUE(record);
    EXPECT_TRUE(passwordMatches(*record, "中文密码"));
}

TEST(SettingsFile, DamagedOrMissingFileIsReportedAndLeftAlone) {
    test::TempDir dir;
    SettingsFile file(dir.path());
    EXPECT_FALSE(file.read());
    EXPECT_FALSE(file.changePassword("x"));
    EXPECT_FALSE(file.exists());

    for (std::string_view bytes : {std::string_view("\"\",\"C:\\WINDOWS\",,\r\n"),
                                   std::string_view("\"\",\"C:\\WINDOWS,,,,\"\",\r\n")}) {
        dir.write("vorn.ini", bytes);
        auto record = file.read();
        ASSERT_FALSE(record);
        EXPECT_NE(record.error().message.find("vorn.ini"), std::string::npos);
        EXPECT_FALSE(file.changePassword("x"));
        EXPECT_EQ(dir.read("vorn.ini"), bytes);
    }
}

TEST(SettingsFile, FieldAccessOutsideTheRecord) {
    const Record six(6, std::string("x"));
    EXPECT_FALSE(field(six, kFieldCustom));
    EXPECT_FALSE(passwordMatches(Record{}, "x"));
    EXPECT_TRUE(passwordMatches(Record{}, ""));
    Record grown;
    field(grown, kFieldCustom) = "1";
    EXPECT_EQ(grown.size(), 7u);
    EXPECT_EQ(field(grown, kFieldCustom), "1");
}

unsigned modeOf(const std::filesystem::path& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// The password lies in plain text in field 3: no writer may leave the file readable by others.
TEST(SettingsFile, EveryWriterLeavesTheFileReadableByItsOwnerAlone) {
    test::TempDir dir;
    SettingsFile file(dir.path());
    const auto path = dir / "vorn.ini";
    ASSERT_TRUE(file.createForGate("C:\\WINDOWS"));
    EXPECT_EQ(modeOf(path), 0600u);
    ASSERT_TRUE(file.changePassword("secret"));
    EXPECT_EQ(modeOf(path), 0600u);

    // A file made readable by all, as an older version left it, is narrowed by the next write.
    std::filesystem::permissions(path, std::filesystem::perms::all);
    auto record = file.read();
    ASSERT_TRUE(record);
    ASSERT_TRUE(file.write(*record));
    EXPECT_EQ(modeOf(path), 0600u);
    EXPECT_EQ(file.read().value(), *record);  // the format is what it was

    std::filesystem::remove(path);
    ASSERT_TRUE(file.createForChecklist("C:\\WINDOWS"));
    EXPECT_EQ(modeOf(path), 0600u);
    EXPECT_EQ(dir.read("vorn.ini"), kChecklistRecord);
}

}  // namespace
}  // namespace tessmar::settings
