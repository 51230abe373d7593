#include "settings/record.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/tempdir.h"

namespace tessmar::settings {
namespace {

using std::nullopt;

TEST(FormatRecord, WritesTextQuotedUnsetAsNothingAndEndsWithCrLf) {
    struct Case {
        Record record;
        std::string text;
    };
    const Case cases[] = {
        {{std::string(), std::string("C:\\WINDOWS"), nullopt, nullopt, nullopt, std::string(),
          nullopt},
         "\"\",\"C:\\WINDOWS\",,,,\"\",\r\n"},
        {{nullopt, nullopt}, ",\r\n"},
        {{std::string("a,b"), std::string("line1\r\nline2")}, "\"a,b\",\"line1\r\nline2\"\r\n"},
        {{std::string("  x  ")}, "\"  x  \"\r\n"},
    };
    for (const auto& c : cases) {
        auto text = formatRecord(c.record);
        ASSERT_TRUE(text) << c.text;
        EXPECT_EQ(*text, c.text);
    }
}

TEST(FormatRecord, RefusesDoubleQuote) {
    auto text = formatRecord({std::string("ok"), std::string("a\"b")});
    ASSERT_FALSE(text);
    EXPECT_NE(text.error().message.find("第 2 项"), std::string::npos);
}

TEST(ParseRecord, ReadsTrickyFields) {
    struct Case {
        std::string_view text;
        std::size_t count;
        Record expected;
    };
    const Case cases[] = {
        // unset versus empty text
        {",\"\",\r\n", 3, {nullopt, std::string(), nullopt}},
        // commas and a line break inside quotes
        {"\"a,b\",\"x\r\ny\"\r\n", 2, {std::string("a,b"), std::string("x\r\ny")}},
        // blanks around unquoted fields are removed; blanks inside quotes stay
        {"  abc  , \" q \" ,   ,\r\n",
         4,
         {std::string("abc"), std::string(" q "), nullopt, nullopt}},
        // anything between a closing quote and the next comma is dropped
        {"\"a\"junk,\"b\"\r\n", 2, {std::string("a"), std::string("b")}},
        // fields beyond count are ignored
        {"\"1\",\"2\",\"3\"\r\n", 2, {std::string("1"), std::string("2")}},
        // a quoted last field at the end of the text, with no line end
        {"\"a\",\"b\"", 2, {std::string("a"), std::string("b")}},
        // an unquoted last field ended by LF alone, by a lone CR, by the end of the text
        {"a,b\nrest", 2, {std::string("a"), std::string("b")}},
        {"a,b\rrest", 2, {std::string("a"), std::string("b")}},
        {"a,b", 2, {std::string("a"), std::string("b")}},
        // a comma at the very end promises an unset field
        {"\"a\",", 2, {std::string("a"), nullopt}},
        // a line end ends a field; the next one is on the next line
        {"\"a\"\r\n\"b\"\r\n", 2, {std::string("a"), std::string("b")}},
        {"a\r\nb\r\n", 2, {std::string("a"), std::string("b")}},
    };
    for (const auto& c : cases) {
        auto record = parseRecord(c.text, c.count);
        ASSERT_TRUE(record) << c.text << ": " << record.error().message;
        EXPECT_EQ(*record, c.expected) << c.text;
    }
}

TEST(ParseRecord, FailsOnTruncatedTextOrUnclosedQuote) {
    struct Case {
        std::string_view text;
        std::size_t count;
        std::string_view messagePart;
    };
    const Case cases[] = {
        {"", 1, "只读到 0 项"},
        {"\"a\",\"b\"\r\n", 3, "只读到 2 项"},
        {"\"a\"", 2, "只读到 1 项"},
        {"a,b\r\n", 3, "只读到 2 项"},
        {"\"a\",\"b", 2, "第 2 项的引号"},
        {"\"never closed,\r\n", 1, "第 1 项的引号"},
    };
    for (const auto& c : cases) {
        auto record = parseRecord(c.text, c.count);
        ASSERT_FALSE(record) << c.text;
        EXPECT_NE(record.error().message.find(c.messagePart), std::string::npos)
            << record.error().message;
    }
}

TEST(ParseRecord, ReadsBackWhatFormatWrote) {
    const Record record{nullopt,
                        std::string("C:\\WINDOWS"),
                        std::string("p,w"),
                        std::string(),
                        std::string("01\r\n10"),
                        nullopt,
                        std::string("中文")};
    auto text = formatRecord(record);
    ASSERT_TRUE(text);
    auto back = parseRecord(*text, record.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, record);
}

TEST(TrimBlanks, RemovesOnlyOuterU0020) {
    EXPECT_EQ(trimBlanks("  a b  "), "a b");
    EXPECT_EQ(trimBlanks("   "), "");
    EXPECT_EQ(trimBlanks("\ta\r\n"), "\ta\r\n");
    EXPECT_EQ(trimBlanks("\u3000a\u3000"), "\u3000a\u3000");
}

TEST(RecordFile, StoresCodePage936AndReadsItBack) {
    test::TempDir dir;
    ASSERT_TRUE(writeRecordFile(dir / "f.ini", {std::string("中文"), nullopt}));
    EXPECT_EQ(dir.read("f.ini"), "\"\xD6\xD0\xCE\xC4\",\r\n");

    dir.write("g.ini", "\"\xC3\xDC\xC2\xEB\",\"x\"\r\n");  // 密码 in code page 936
    auto record = readRecordFile(dir / "g.ini", 2);
    ASSERT_TRUE(record);
    EXPECT_EQ(*record, (Record{std::string("密码"), std::string("x")}));
}

TEST(RecordFile, WritesNothingWhenTextCannotBeStored) {
    test::TempDir dir;
    dir.write("f.ini", "\"old\"\r\n");
    EXPECT_FALSE(writeRecordFile(dir / "f.ini", {std::string("\U0001F600")}));
    EXPECT_FALSE(writeRecordFile(dir / "f.ini", {std::string("a\"b")}));
    EXPECT_EQ(dir.read("f.ini"), "\"old\"\r\n");
}

TEST(RecordFile, ReportsDamageNamingTheFile) {
    test::TempDir dir;
    dir.write("short.ini", "\"a\",\"b\"\r\n");
    dir.write("open.ini", "\"a\",\"b\r\n");
    dir.write("bytes.ini", "\"\x81\"\r\n");  // a lead byte without its trail byte
    for (const char* name : {"short.ini", "open.ini", "bytes.ini", "missing.ini"}) {
        auto record = readRecordFile(dir / name, 3);
        ASSERT_FALSE(record) << name;
        EXPECT_NE(record.error().message.find(name), std::string::npos) << record.error().message;
    }
    EXPECT_EQ(dir.read("short.ini"), "\"a\",\"b\"\r\n");
}

TEST(RecordFile, ReadOnlyFileIsNotReplaced) {
    test::TempDir dir;
    dir.write("f.ini", "\"old\"\r\n");
    std::filesystem::permissions(dir / "f.ini", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_FALSE(writeRecordFile(dir / "f.ini", {std::string("new")}));
    EXPECT_EQ(dir.read("f.ini"), "\"old\"\r\n");
}

}  // namespace
}  // namespace tessmar::settings
