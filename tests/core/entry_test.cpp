#include "custom/entry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tessmar::custom {
namespace {

using platform::RegRoot;

TEST(EntryTypeText, CodesAndTextsRoundTrip) {
    const std::pair<std::int16_t, std::string> table[] = {
        {1, "DWORD 值(D)"}, {2, "字符串值(S)"}, {3, "二进制值(B)"}, {4, "删除子项(U)"}};
    for (const auto& [code, text] : table) {
        ASSERT_NE(typeText(code), nullptr) << code;
        EXPECT_EQ(typeText(code), text);
        EXPECT_EQ(typeCode(text), code) << text;
        EXPECT_EQ(typeCode("  " + text + " "), code) << "blanks around " << text;
    }
    for (std::int16_t code : {0, 5, -1, 32767}) EXPECT_EQ(typeText(code), nullptr) << code;
}

TEST(EntryTypeText, OtherTextsHaveNoCode) {
    for (const char* text : {"", "   ", "DWORD值(D)", "dword 值(d)", "DWORD 值", "字符串值(S)x",
                             "删除子项（U）", "\t字符串值(S)"})
        EXPECT_EQ(typeCode(text), std::nullopt) << text;
}

Entry entry(std::string hkey1, std::optional<std::int16_t> reg, std::string ka1 = "1") {
    return Entry{"项目", std::move(hkey1), "Software\\Test", "Value", std::move(ka1), reg};
}

TEST(EntryMeaning, EachCodeGivesItsOperation) {
    auto dword = meaningOf(entry("HKEY_CURRENT_USER", 1, "-5"));
    auto* op = std::get_if<Operation>(&dword);
    ASSERT_NE(op, nullptr);
    EXPECT_EQ(op->root, RegRoot::CurrentUser);
    EXPECT_EQ(op->key, "Software\\Test");
    EXPECT_EQ(op->name, "Value");
    ASSERT_TRUE(std::holds_alternative<SetDword>(op->action));
    EXPECT_EQ(std::get<SetDword>(op->action).value, -5);

    auto str = meaningOf(entry("HKEY_CURRENT_USER", 2, "中文 text"));
    ASSERT_TRUE(std::holds_alternative<Operation>(str));
    EXPECT_EQ(std::get<SetString>(std::get<Operation>(str).action).text, "中文 text");

    auto bin = meaningOf(entry("HKEY_CURRENT_USER", 3, "ab"));
    ASSERT_TRUE(std::holds_alternative<Operation>(bin));
    EXPECT_EQ(std::get<SetBinary>(std::get<Operation>(bin).action).text, "ab");

    // The value text plays no part in a delete, whatever it holds.
    auto del = meaningOf(entry("HKEY_CURRENT_USER", 4, "not a number"));
    ASSERT_TRUE(std::holds_alternative<Operation>(del));
    const auto& delOp = std::get<Operation>(del);
    EXPECT_TRUE(std::holds_alternative<DeleteSubkey>(delOp.action));
    EXPECT_EQ(delOp.key, "Software\\Test");
    EXPECT_EQ(delOp.name, "Value");
}

TEST(EntryMeaning, OtherCodesDoNothing) {
    for (std::optional<std::int16_t> reg :
         {std::optional<std::int16_t>{}, std::optional<std::int16_t>{0},
          std::optional<std::int16_t>{5}, std::optional<std::int16_t>{-1}}) {
        EXPECT_TRUE(
            std::holds_alternative<NoOperation>(meaningOf(entry("HKEY_CURRENT_USER", reg))));
        // Nothing to apply, so a bad root is no reason to complain either.
        EXPECT_TRUE(std::holds_alternative<NoOperation>(meaningOf(entry("HKEY_NOWHERE", reg))));
    }
}

TEST(EntryMeaning, RootsAreFoundAfterTrimming) {
    const std::pair<const char*, RegRoot> table[] = {
        {"HKEY_CLASSES_ROOT ", RegRoot::ClassesRoot},
        {"HKEY_CLASSES_ROOT", RegRoot::ClassesRoot},
        {"HKEY_CURRENT_USER ", RegRoot::CurrentUser},
        {"HKEY_CURRENT_USER", RegRoot::CurrentUser},
        {"HKEY_LOCAL_MACHINE ", RegRoot::LocalMachine},
        {"HKEY_LOCAL_MACHINE", RegRoot::LocalMachine},
        {"HKEY_USERS", RegRoot::Users},
        {"  HKEY_USERS  ", RegRoot::Users},
    };
    for (const auto& [name, root] : table) {
        auto m = meaningOf(entry(name, 1));
        ASSERT_TRUE(std::holds_alternative<Operation>(m)) << name;
        EXPECT_EQ(std::get<Operation>(m).root, root) << name;
    }
}

TEST(EntryMeaning, UnknownRootsAreUnusable) {
    for (const char* name : {"", "   ", "hkey_current_user", "HKCU", "HKEY_CURRENT_USER\\",
                             "HKEY_CURRENT_CONFIG", "\tHKEY_USERS", "HKEY_USERS\r\n"}) {
        for (std::int16_t reg : {1, 2, 3, 4}) {
            auto m = meaningOf(entry(name, reg));
            ASSERT_TRUE(std::holds_alternative<Unusable>(m)) << "'" << name << "' " << reg;
            EXPECT_NE(std::get<Unusable>(m).reason.find("项目"), std::string::npos)
                << "the reason names the entry";
        }
    }
}

TEST(EntryMeaning, DwordDataMustBeAShortWholeNumber) {
    const std::pair<const char*, int> good[] = {
        {"0", 0},  {"1", 1},     {"-32768", -32768}, {"32767", 32767},
        {"+7", 7}, {" 12 ", 12}, {"-0", 0},          {"007", 7},
    };
    for (const auto& [text, value] : good) {
        auto m = meaningOf(entry("HKEY_LOCAL_MACHINE", 1, text));
        ASSERT_TRUE(std::holds_alternative<Operation>(m)) << text;
        EXPECT_EQ(std::get<SetDword>(std::get<Operation>(m).action).value, value) << text;
    }
    for (const char* text : {"32768", "-32769", "40000", "99999999999999999999", "abc", "", " ",
                             "12abc", "1.5", "1e3", "0x10", "+-1", "- 1", "--1", "+", "-", "１"}) {
        auto m = meaningOf(entry("HKEY_LOCAL_MACHINE", 1, text));
        ASSERT_TRUE(std::holds_alternative<Unusable>(m)) << "'" << text << "'";
        EXPECT_NE(std::get<Unusable>(m).reason.find("“项目”"), std::string::npos);
    }
    // Only a DWORD takes its data as a number.
    EXPECT_TRUE(std::holds_alternative<Operation>(meaningOf(entry("HKEY_USERS", 2, "abc"))));
    EXPECT_TRUE(std::holds_alternative<Operation>(meaningOf(entry("HKEY_USERS", 3, "40000"))));
}

}  // namespace
}  // namespace tessmar::custom
