#include "engine/mainreg.h"

#include <gtest/gtest.h>

#include "support/fake_registry.h"

namespace tessmar::engine {
namespace {
using platform::RegType;
using platform::RegValue;
using test::FakeRegistry;
using Bytes = std::vector<std::uint8_t>;

constexpr std::string_view kKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

struct DwordCase {
    std::int16_t value;
    Bytes bytes;
};

TEST(MainregTest, DwordIsFourBytesLowFirstWithSignWidened) {
    const DwordCase cases[] = {
        {1, {0x01, 0x00, 0x00, 0x00}},      {0, {0x00, 0x00, 0x00, 0x00}},
        {-1, {0xFF, 0xFF, 0xFF, 0xFF}},     {32767, {0xFF, 0x7F, 0x00, 0x00}},
        {-32768, {0x00, 0x80, 0xFF, 0xFF}}, {258, {0x02, 0x01, 0x00, 0x00}},
    };
    for (const auto& c : cases) {
        FakeRegistry reg;
        ASSERT_TRUE(setdword(reg, RegRoot::CurrentUser, kKey, "norun", c.value));
        EXPECT_EQ(reg.queryValue(RegRoot::CurrentUser, kKey, "norun"),
                  (RegValue{RegType::Dword, c.bytes}))
            << c.value;
    }
}

TEST(MainregTest, StringIsCodePage936BytesAndOneZero) {
    const std::pair<std::string, Bytes> cases[] = {
        {"", {0x00}},
        {"AB", {0x41, 0x42, 0x00}},
        {"中文", {0xD6, 0xD0, 0xCE, 0xC4, 0x00}},
    };
    for (const auto& [text, bytes] : cases) {
        FakeRegistry reg;
        ASSERT_TRUE(
            setstring(reg, RegRoot::LocalMachine, "Software\\Winlogon", "legalnoticetext", text));
        EXPECT_EQ(reg.queryValue(RegRoot::LocalMachine, "Software\\Winlogon", "legalnoticetext"),
                  (RegValue{RegType::Sz, bytes}))
            << text;
    }
}

TEST(MainregTest, BinaryIsExactlyTheFourBytes) {
    FakeRegistry reg;
    ASSERT_TRUE(setbinary(reg, RegRoot::CurrentUser, kKey, "NoDrives", fourBytes(12)));
    EXPECT_EQ(reg.queryValue(RegRoot::CurrentUser, kKey, "NoDrives"),
              (RegValue{RegType::Binary, {0x0C, 0x00, 0x00, 0x00}}));
    EXPECT_EQ(fourBytes(16388), (std::array<std::uint8_t, 4>{0x04, 0x40, 0x00, 0x00}));
    EXPECT_EQ(fourBytes(0x12345678), (std::array<std::uint8_t, 4>{0x78, 0x56, 0x34, 0x12}));
}

TEST(MainregTest, EachOperationOpensChangesAndClosesOneKey) {
    FakeRegistry reg;
    ASSERT_TRUE(setdword(reg, RegRoot::CurrentUser, kKey, "norun", 1));
    ASSERT_TRUE(setstring(reg, RegRoot::CurrentUser, kKey, "caption", "x"));
    ASSERT_TRUE(setbinary(reg, RegRoot::CurrentUser, kKey, "nologoff", fourBytes(1)));
    ASSERT_TRUE(deletekey(reg, RegRoot::CurrentUser, kKey, "Sub"));
    using Op = FakeRegistry::Op;
    std::vector<Op> ops;
    for (const auto& call : reg.calls) ops.push_back(call.op);
    EXPECT_EQ(ops,
              (std::vector<Op>{Op::Create, Op::Set, Op::Close, Op::Create, Op::Set, Op::Close,
                               Op::Create, Op::Set, Op::Close, Op::Create, Op::Delete, Op::Close}));
    EXPECT_EQ(reg.openKeys(), 0u);
}

TEST(MainregTest, ReplacesAValueOfAnotherTypeCaseBlind) {
    FakeRegistry reg;
    ASSERT_TRUE(setstring(reg, RegRoot::CurrentUser, kKey, "NoRealMode", "text"));
    ASSERT_TRUE(setdword(reg, RegRoot::CurrentUser, kKey, "norealmode", 0));
    EXPECT_EQ(reg.queryValue(RegRoot::CurrentUser, kKey, "NOREALMODE"),
              (RegValue{RegType::Dword, {0, 0, 0, 0}}));
}

TEST(MainregTest, DeleteKeyMakesTheParentPathAndRemovesOnlyTheSubkey) {
    FakeRegistry reg;
    ASSERT_TRUE(deletekey(reg, RegRoot::Users, "A\\B", "Missing"));
    EXPECT_TRUE(reg.keyExists(RegRoot::Users, "A\\B"));
    EXPECT_EQ(reg.valueCount(), 0u);

    ASSERT_TRUE(setdword(reg, RegRoot::Users, "A\\B\\Gone", "v", 1));
    ASSERT_TRUE(deletekey(reg, RegRoot::Users, "A\\B", "gone"));
    EXPECT_FALSE(reg.keyExists(RegRoot::Users, "A\\B\\Gone"));
    EXPECT_TRUE(reg.keyExists(RegRoot::Users, "A\\B"));
}

TEST(MainregTest, FailuresNameTheValueAndWriteNothing) {
    FakeRegistry refused;
    refused.failCreate(RegRoot::LocalMachine);
    auto created = setdword(refused, RegRoot::LocalMachine, "Network\\Logon", "mustbevalidated", 1);
    ASSERT_FALSE(created);
    EXPECT_NE(created.error().message.find("HKEY_LOCAL_MACHINE\\Network\\Logon\\mustbevalidated"),
              std::string::npos)
        << created.error().message;
    EXPECT_EQ(refused.valueCount(), 0u);

    // The key opened, but the change failed: the key is still closed.
    FakeRegistry readOnly;
    readOnly.failWrites(RegRoot::LocalMachine);
    auto set = setstring(readOnly, RegRoot::LocalMachine, "Software\\Winlogon",
                         "legalnoticecaption", "标题");
    ASSERT_FALSE(set);
    EXPECT_NE(
        set.error().message.find("HKEY_LOCAL_MACHINE\\Software\\Winlogon\\legalnoticecaption"),
        std::string::npos);
    auto deleted = deletekey(readOnly, RegRoot::LocalMachine, "Software", "Sub");
    ASSERT_FALSE(deleted);
    EXPECT_NE(deleted.error().message.find("HKEY_LOCAL_MACHINE\\Software\\Sub"), std::string::npos);
    EXPECT_EQ(readOnly.openKeys(), 0u);
    EXPECT_EQ(readOnly.callsOf(FakeRegistry::Op::Close).size(), 2u);
    EXPECT_EQ(readOnly.valueCount(), 0u);
}

TEST(MainregTest, TextOutsideCodePage936IsRefusedBeforeAnyKeyOpens) {
    FakeRegistry reg;
    const std::string emoji = "\xF0\x9F\x98\x80";
    EXPECT_FALSE(setstring(reg, RegRoot::CurrentUser, kKey, "caption", emoji));
    EXPECT_FALSE(setdword(reg, RegRoot::CurrentUser, kKey, "name" + emoji, 1));
    EXPECT_FALSE(setbinary(reg, RegRoot::CurrentUser, "Key" + emoji, "v", fourBytes(1)));
    EXPECT_FALSE(deletekey(reg, RegRoot::CurrentUser, kKey, emoji));
    EXPECT_TRUE(reg.calls.empty());
}

TEST(MainregTest, ChineseKeyAndValueNamesReachTheRegistryInCodePage936) {
    FakeRegistry reg;
    ASSERT_TRUE(setdword(reg, RegRoot::CurrentUser, "软件", "值", 1));
    ASSERT_EQ(reg.calls.size(), 3u);
    EXPECT_EQ(reg.calls[0].path, "\xC8\xED\xBC\xFE");
    EXPECT_EQ(reg.calls[1].name, "\xD6\xB5");
}

}  // namespace
}  // namespace tessmar::engine
