#include "settings/sidefiles.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/tempdir.h"

namespace tessmar::settings {
namespace {

DriveFlags hidden(std::initializer_list<int> drives) {
    DriveFlags flags{};
    for (int d : drives) flags[static_cast<std::size_t>(d)] = true;
    return flags;
}

TEST(DrivesFile, WritesSelectionAndMask) {
    struct Case {
        DriveFlags hide;
        std::string_view bytes;
    };
    const Case cases[] = {
        {hidden({}), "\"000000000000000\",\" 0\"\r\n"},
        {hidden({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}),
         "\"111111111111111\",\" 32767\"\r\n"},
        {hidden({0}), "\"100000000000000\",\" 1\"\r\n"},
        {hidden({14}), "\"000000000000001\",\" 16384\"\r\n"},
        {hidden({2, 3}), "\"001100000000000\",\" 12\"\r\n"},
    };
    test::TempDir dir;
    DrivesFile file(dir.path());
    EXPECT_EQ(file.path(), dir / "drives.ini");
    for (const auto& c : cases) {
        ASSERT_TRUE(file.write(c.hide));
        EXPECT_EQ(dir.read("drives.ini"), c.bytes);
        auto record = file.read();
        ASSERT_TRUE(record);
        EXPECT_EQ(parseDriveSelection(record->selection), c.hide);
        EXPECT_EQ(parseMaskText(record->maskText), driveMask(c.hide));
    }
}

TEST(DrivesFile, DefaultRecordAndIndependentFields) {
    test::TempDir dir;
    DrivesFile file(dir.path());
    EXPECT_FALSE(file.exists());
    ASSERT_TRUE(file.makeDefault());
    EXPECT_TRUE(file.exists());
    EXPECT_EQ(dir.read("drives.ini"), "\"000000000000000\",\"\"\r\n");
    auto record = file.read();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->selection, "000000000000000");
    EXPECT_EQ(record->maskText, "");
    EXPECT_EQ(parseMaskText(record->maskText), 0u);

    // Fields that disagree: the window shows field 1, the apply pass uses field 2.
    dir.write("drives.ini", "\"100000000000000\",\" 8\"\r\n");
    record = file.read();
    ASSERT_TRUE(record);
    EXPECT_EQ(parseDriveSelection(record->selection), hidden({0}));
    EXPECT_EQ(parseMaskText(record->maskText), 8u);

    dir.write("drives.ini", ",\r\n");
    record = file.read();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->selection, "");
    EXPECT_EQ(record->maskText, "");

    dir.write("drives.ini", "\"000000000000000\"\r\n");
    EXPECT_FALSE(file.read());
}

TEST(DriveSelection, ParsesHandEditedText) {
    struct Case {
        std::string_view text;
        DriveFlags hide;
    };
    const Case cases[] = {
        {" 1010", hidden({0, 2})},
        {"", hidden({})},
        {"x1y1 ", hidden({1, 3})},
        {"000000000000011111", hidden({13, 14})},
        {"   ", hidden({})},
        // Positions count characters, not bytes.
        {"甲1", hidden({1})},
        {"１1", hidden({1})},
    };
    for (const auto& c : cases) EXPECT_EQ(parseDriveSelection(c.text), c.hide) << c.text;
}

TEST(MaskText, FormatsAndParses) {
    EXPECT_EQ(maskText(0), " 0");
    EXPECT_EQ(maskText(32767), " 32767");
    struct Case {
        std::string_view text;
        std::optional<std::uint32_t> value;
    };
    const Case cases[] = {
        {"", 0},
        {"   ", 0},
        {" 12", 12},
        {"12", 12},
        {"   4096abc", 4096},
        {" 12 34", 12},
        {"-5", 0},
        {"x12", 0},
        {" 4294967295", 4294967295u},
        {" 4294967296", std::nullopt},
        {" 99999999999999999999999", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(parseMaskText(c.text), c.value) << c.text;
}

TEST(NoticeFile, DefaultAndEmptyRecords) {
    test::TempDir dir;
    NoticeFile file(dir.path());
    EXPECT_EQ(file.path(), dir / "logo.ini");
    ASSERT_TRUE(file.makeDefault());
    EXPECT_EQ(dir.read("logo.ini"), ",\"\"\r\n");
    auto notice = file.read();
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->title, "");
    EXPECT_EQ(notice->text, "");

    ASSERT_TRUE(file.write("", "   "));
    EXPECT_EQ(dir.read("logo.ini"), "\"\",\"\"\r\n");
}

TEST(NoticeFile, StoresTrimmedTextAndReadsItBack) {
    struct Case {
        std::string_view title, text;
        std::string_view bytes;
        std::string_view readTitle, readText;
    };
    const Case cases[] = {
        {"  Word  ", "  body ", "\"Word\",\"body\"\r\n", "Word", "body"},
        {"t", "line 1\r\nline 2", "\"t\",\"line 1\r\nline 2\"\r\n", "t", "line 1\r\nline 2"},
        {"a, b", "c,d", "\"a, b\",\"c,d\"\r\n", "a, b", "c,d"},
        {" \r\nx\r\n ", "y", "\"\r\nx\r\n\",\"y\"\r\n", "\r\nx\r\n", "y"},
        {"\u3000注意\u3000", "欢迎",
         "\"\xA1\xA1\xD7\xA2\xD2\xE2\xA1\xA1\",\"\xBB\xB6\xD3\xAD\"\r\n", "\u3000注意\u3000",
         "欢迎"},
    };
    test::TempDir dir;
    NoticeFile file(dir.path());
    for (const auto& c : cases) {
        ASSERT_TRUE(file.write(c.title, c.text));
        EXPECT_EQ(dir.read("logo.ini"), c.bytes);
        auto notice = file.read();
        ASSERT_TRUE(notice);
        EXPECT_EQ(notice->title, c.readTitle);
        EXPECT_EQ(notice->text, c.readText);
    }
}

TEST(NoticeFile, ReadIsUntrimmed) {
    test::TempDir dir;
    dir.write("logo.ini", "\"  t  \",\" x \"\r\n");
    auto notice = NoticeFile(dir.path()).read();
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->title, "  t  ");
    EXPECT_EQ(notice->text, " x ");
}

TEST(NoticeFile, RefusesWhatTheFileCannotHold) {
    test::TempDir dir;
    NoticeFile file(dir.path());
    ASSERT_TRUE(file.write("old", "text"));
    const std::string before = dir.read("logo.ini");
    for (auto [title, text] : {std::pair{"say \"hi\"", "x"}, std::pair{"x", "a\"b"},
                               std::pair{"\U0001F600", "x"}, std::pair{"x", "\U0001F600"}}) {
        EXPECT_FALSE(file.write(title, text)) << title << text;
        EXPECT_EQ(dir.read("logo.ini"), before);
    }
}

TEST(SideFiles, ReadOnlyFilesAreNotReplaced) {
    test::TempDir dir;
    DrivesFile drives(dir.path());
    NoticeFile notice(dir.path());
    ASSERT_TRUE(drives.makeDefault());
    ASSERT_TRUE(notice.makeDefault());
    for (const char* name : {"drives.ini", "logo.ini"})
        std::filesystem::permissions(dir / name, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove);
    EXPECT_FALSE(drives.write(hidden({2})));
    EXPECT_FALSE(notice.write("t", "x"));
    EXPECT_EQ(dir.read("drives.ini"), "\"000000000000000\",\"\"\r\n");
    EXPECT_EQ(dir.read("logo.ini"), ",\"\"\r\n");
}

}  // namespace
}  // namespace tessmar::settings
