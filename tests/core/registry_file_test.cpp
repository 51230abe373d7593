#include <gtest/gtest.h>

#include <filesystem>

#include "platform/codepage.h"
#include "platform/registry.h"
#include "support/tempdir.h"

namespace tessmar::platform {
namespace {

using test::TempDir;
constexpr auto HKCU = RegRoot::CurrentUser;
constexpr auto HKLM = RegRoot::LocalMachine;

std::vector<std::uint8_t> bytes(std::string_view s) {
    return {s.begin(), s.end()};
}
RegValue dword(std::uint32_t v) {
    return {RegType::Dword,
            {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)}};
}
// A REG_SZ as the writer stores it: the bytes and one terminating zero.
RegValue sz(std::string_view s) {
    auto data = bytes(s);
    data.push_back(0);
    return {RegType::Sz, data};
}

std::string crlf(std::initializer_list<std::string_view> lines) {
    std::string out;
    for (auto l : lines) out.append(l).append("\r\n");
    return out;
}

class RegistryFileTest : public ::testing::Test {
  protected:
    std::filesystem::path file() const { return dir / "registry.reg"; }
    std::unique_ptr<Registry> open(std::vector<RegRoot> readOnly = {}) {
        return makeFileRegistry(file(), std::move(readOnly));
    }
    static Status set(Registry& reg, RegRoot root, std::string_view path, std::string_view name,
                      const RegValue& value) {
        auto key = reg.createKey(root, path);
        if (!key) return std::unexpected(key.error());
        auto done = reg.setValue(*key, name, value.type, value.data);
        reg.closeKey(*key);
        return done;
    }
    static Status del(Registry& reg, RegRoot root, std::string_view path, std::string_view sub) {
        auto key = reg.createKey(root, path);
        if (!key) return std::unexpected(key.error());
        auto done = reg.deleteKey(*key, sub);
        reg.closeKey(*key);
        return done;
    }
    TempDir dir;
};

TEST_F(RegistryFileTest, WritesRegedit4TextByteForByte) {
    auto reg = open();
    const std::string explorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
    ASSERT_TRUE(set(*reg, HKCU, explorer, "NoRun", dword(1)));
    ASSERT_TRUE(set(*reg, HKCU, explorer, "NoDrives", dword(0x3ffffff)));
    ASSERT_TRUE(set(*reg, HKCU, explorer, "Bin", {RegType::Binary, {0x0c, 0, 0, 0}}));
    ASSERT_TRUE(set(*reg, HKCU, explorer, "", sz("default")));
    ASSERT_TRUE(set(*reg, HKCU, "Software\\Zeta", "q\"uote\\", sz("C:\\dir \"x\"")));
    ASSERT_TRUE(set(*reg, HKCU, "Software\\_under", "e", sz("")));
    ASSERT_TRUE(reg->createKey(HKCU, "Software\\alpha"));
    ASSERT_TRUE(set(*reg, HKLM, "Software\\Policies", "s", sz("\xd6\xd0\xce\xc4")));
    ASSERT_TRUE(set(*reg, RegRoot::Users, "", "rootvalue", dword(0)));

    EXPECT_EQ(dir.read("registry.reg"),
              crlf({"REGEDIT4",
                    "",
                    "[HKEY_CURRENT_USER\\Software]",
                    "",
                    "[HKEY_CURRENT_USER\\Software\\alpha]",
                    "",
                    "[HKEY_CURRENT_USER\\Software\\Microsoft]",
                    "",
                    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows]",
                    "",
                    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion]",
                    "",
                    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies]",
                    "",
                    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\"
                    "Explorer]",
                    "\"NoRun\"=dword:00000001",
                    "\"NoDrives\"=dword:03ffffff",
                    "\"Bin\"=hex:0c,00,00,00",
                    "@=\"default\"",
                    "",
                    "[HKEY_CURRENT_USER\\Software\\Zeta]",
                    "\"q\\\"uote\\\\\"=\"C:\\\\dir \\\"x\\\"\"",
                    "",
                    "[HKEY_CURRENT_USER\\Software\\_under]",
                    "\"e\"=\"\"",
                    "",
                    "[HKEY_LOCAL_MACHINE\\Software]",
                    "",
                    "[HKEY_LOCAL_MACHINE\\Software\\Policies]",
                    "\"s\"=\"\xd6\xd0\xce\xc4\"",
                    "",
                    "[HKEY_USERS]",
                    "\"rootvalue\"=dword:00000000",
                    ""}));
}

TEST_F(RegistryFileTest, ValueFormsAndLongHexWrapping) {
    std::vector<std::uint8_t> sixty(60);
    for (std::size_t i = 0; i < sixty.size(); ++i) sixty[i] = std::uint8_t(i);
    struct Case {
        const char* what;
        RegValue value;
        std::string line;
    };
    const std::vector<Case> cases{
        {"string with CR LF", sz("a\r\nb"), "\"v\"=hex(1):61,0d,0a,62,00"},
        {"string with a tab", sz("a\tb"), "\"v\"=hex(1):61,09,62,00"},
        {"string without terminator", {RegType::Sz, bytes("ab")}, "\"v\"=hex(1):61,62"},
        {"string with inner zero", {RegType::Sz, {0x61, 0, 0x62, 0}}, "\"v\"=hex(1):61,00,62,00"},
        {"string cut inside a character", sz("\xd6"), "\"v\"=hex(1):d6,00"},
        {"empty string data", {RegType::Sz, {}}, "\"v\"=hex(1):"},
        {"short dword", {RegType::Dword, {1, 0}}, "\"v\"=hex(4):01,00"},
        {"expandable string", {RegType::ExpandSz, {0x25, 0}}, "\"v\"=hex(2):25,00"},
        {"type 11", {RegType(11), {1}}, "\"v\"=hex(b):01"},
        {"empty binary", {RegType::Binary, {}}, "\"v\"=hex:"},
        {"negative dword", dword(0xffffffff), "\"v\"=dword:ffffffff"},
        {"long binary",
         {RegType::Binary, sixty},
         "\"v\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\r\n"
         "  17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f,\\\r\n"
         "  30,31,32,33,34,35,36,37,38,39,3a,3b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir d;
        auto reg = makeFileRegistry(d / "registry.reg");
        ASSERT_TRUE(set(*reg, HKCU, "K", "v", c.value));
        EXPECT_EQ(d.read("registry.reg"),
                  crlf({"REGEDIT4", "", "[HKEY_CURRENT_USER\\K]", c.line, ""}));
        // And a fresh reader gets the very same value back.
        EXPECT_EQ(makeFileRegistry(d / "registry.reg")->queryValue(HKCU, "K", "v"), c.value);
    }
}

TEST_F(RegistryFileTest, ReadsHandEditsAndRewritesThemCanonically) {
    dir.write("registry.reg",
              "REGEDIT4\n"
              "; written by hand\n"
              "\n"
              "  [hkey_current_user\\Software\\Hand]  \n"
              "@=\"def\"\n"
              "\"D\" = DWORD:0000000C\n"
              "\"Long\"=hex:01,02,\\\n"
              "      AB,cd\n"
              "\"T\"=hex(7):41,00,00\n"
              "\"Esc\"=\"a\\\\b\\\"c\"\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\hand]\n"
              "\"d\"=dword:1\n");
    auto reg = open();
    EXPECT_EQ(reg->queryValue(HKCU, "Software\\Hand", ""), sz("def"));
    EXPECT_EQ(reg->queryValue(HKCU, "Software\\Hand", "Long"),
              (RegValue{RegType::Binary, {1, 2, 0xab, 0xcd}}));
    EXPECT_EQ(reg->queryValue(HKCU, "SOFTWARE\\HAND", "t"),
              (RegValue{RegType::MultiSz, {0x41, 0, 0}}));
    EXPECT_EQ(reg->queryValue(HKCU, "Software\\Hand", "Esc"), sz("a\\b\"c"));

    ASSERT_TRUE(set(*reg, HKCU, "Software\\Hand", "New", dword(2)));
    EXPECT_EQ(dir.read("registry.reg"),
              crlf({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Software]", "",
                    "[HKEY_CURRENT_USER\\Software\\Hand]", "@=\"def\"", "\"D\"=dword:00000001",
                    "\"Long\"=hex:01,02,ab,cd", "\"T\"=hex(7):41,00,00", "\"Esc\"=\"a\\\\b\\\"c\"",
                    "\"New\"=dword:00000002", ""}));
}

TEST_F(RegistryFileTest, RewriteOfItsOwnOutputChangesNothing) {
    {
        auto reg = open();
        ASSERT_TRUE(set(*reg, HKCU, "A\\B", "x", sz("text \"q\" \\ \xd6\xd0")));
        ASSERT_TRUE(
            set(*reg, HKCU, "A\\B", "bin", {RegType::Binary, std::vector<std::uint8_t>(100, 7)}));
        ASSERT_TRUE(set(*reg, HKLM, "C", "", sz("a\r\nb")));
        ASSERT_TRUE(reg->createKey(RegRoot::ClassesRoot, "Empty"));
    }
    const std::string before = dir.read("registry.reg");
    auto reg = open();
    ASSERT_TRUE(reg->createKey(HKCU, "Temp"));
    EXPECT_NE(dir.read("registry.reg"), before);
    ASSERT_TRUE(del(*reg, HKCU, "", "Temp"));
    EXPECT_EQ(dir.read("registry.reg"), before);
}

TEST_F(RegistryFileTest, NamesAreCaseBlindAndKeepTheirFirstSpelling) {
    auto reg = open();
    ASSERT_TRUE(set(*reg, HKCU, "Software\\Policies\\System", "NoRealMode", dword(1)));
    ASSERT_TRUE(set(*reg, HKCU, "software\\POLICIES\\system", "norealmode", dword(0)));
    ASSERT_TRUE(set(*reg, HKCU, "Software\\Policies\\System", "Other", dword(5)));
    EXPECT_TRUE(reg->keyExists(HKCU, "SOFTWARE\\policies\\SyStEm"));
    EXPECT_EQ(reg->queryValue(HKCU, "Software\\Policies\\System", "NOREALMODE"), dword(0));
    EXPECT_EQ(dir.read("registry.reg"),
              crlf({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Software]", "",
                    "[HKEY_CURRENT_USER\\Software\\Policies]", "",
                    "[HKEY_CURRENT_USER\\Software\\Policies\\System]",
                    "\"NoRealMode\"=dword:00000000", "\"Other\"=dword:00000005", ""}));
}

TEST_F(RegistryFileTest, ChineseTrailBytesAreNeitherFoldedNorSplitNorEscaped) {
    // 丄 is 81 41 and 乤 is 81 61: the trail bytes are 'A' and 'a', yet the names differ.
    // 乗 is 81 5C: its trail byte is a backslash, yet it is no separator and needs no escape.
    const std::string upper = "\x81\x41", lower = "\x81\x61", slash = "\x81\x5c";
    ASSERT_EQ(fromCp936(upper).value(), "丄");
    ASSERT_EQ(fromCp936(lower).value(), "乤");
    ASSERT_EQ(fromCp936(slash).value(), "乗");
    {
        auto reg = open();
        ASSERT_TRUE(set(*reg, HKCU, upper, upper, dword(1)));
        ASSERT_TRUE(set(*reg, HKCU, lower, lower, dword(2)));
        ASSERT_TRUE(set(*reg, HKCU, upper, lower, dword(3)));
        ASSERT_TRUE(set(*reg, HKCU, "K" + slash, "v" + slash, sz("s" + slash)));
        EXPECT_FALSE(reg->keyExists(HKCU, "K"));
    }
    EXPECT_EQ(dir.read("registry.reg"),
              crlf({"REGEDIT4", "", "[HKEY_CURRENT_USER\\K\x81\x5c]", "\"v\x81\x5c\"=\"s\x81\x5c\"",
                    "", "[HKEY_CURRENT_USER\\\x81\x41]", "\"\x81\x41\"=dword:00000001",
                    "\"\x81\x61\"=dword:00000003", "", "[HKEY_CURRENT_USER\\\x81\x61]",
                    "\"\x81\x61\"=dword:00000002", ""}));
    auto reg = open();
    EXPECT_EQ(reg->queryValue(HKCU, upper, upper), dword(1));
    EXPECT_EQ(reg->queryValue(HKCU, upper, lower), dword(3));
    EXPECT_EQ(reg->queryValue(HKCU, lower, lower), dword(2));
    EXPECT_EQ(reg->queryValue(HKCU, "k" + slash, "V" + slash), sz("s" + slash));
}

TEST_F(RegistryFileTest, SettingAgainReplacesWhateverTheTypeAndKeepsThePlace) {
    auto reg = open();
    ASSERT_TRUE(set(*reg, HKCU, "K", "a", dword(1)));
    ASSERT_TRUE(set(*reg, HKCU, "K", "b", dword(2)));
    ASSERT_TRUE(set(*reg, HKCU, "K", "A", sz("now text")));
    EXPECT_EQ(reg->queryValue(HKCU, "K", "a"), sz("now text"));
    EXPECT_EQ(dir.read("registry.reg"), crlf({"REGEDIT4", "", "[HKEY_CURRENT_USER\\K]",
                                              "\"a\"=\"now text\"", "\"b\"=dword:00000002", ""}));
}

TEST_F(RegistryFileTest, DeletingASubkey) {
    auto reg = open();
    ASSERT_TRUE(set(*reg, HKCU, "P\\Leaf", "v", dword(1)));
    ASSERT_TRUE(set(*reg, HKCU, "P\\Branch\\Child", "v", dword(1)));

    // A subkey with subkeys of its own stays, and the caller hears why.
    auto refused = del(*reg, HKCU, "P", "branch");
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().message.find("Branch"), std::string::npos);
    EXPECT_TRUE(reg->keyExists(HKCU, "P\\Branch\\Child"));

    ASSERT_TRUE(del(*reg, HKCU, "P", "LEAF"));
    EXPECT_FALSE(reg->keyExists(HKCU, "P\\Leaf"));
    EXPECT_EQ(reg->queryValue(HKCU, "P\\Leaf", "v"), std::nullopt);

    ASSERT_TRUE(del(*reg, HKCU, "P", "Branch\\Child"));
    EXPECT_TRUE(reg->keyExists(HKCU, "P\\Branch"));
    EXPECT_FALSE(reg->keyExists(HKCU, "P\\Branch\\Child"));

    // Absent is what was asked for; the parent path is made by opening it.
    ASSERT_TRUE(del(*reg, HKCU, "New\\Path", "Nothing"));
    EXPECT_TRUE(reg->keyExists(HKCU, "New\\Path"));
    EXPECT_FALSE(del(*reg, HKCU, "P", ""));
}

TEST_F(RegistryFileTest, KeyPathsAndHandles) {
    auto reg = open();
    for (auto bad : {"\\Lead", "Trail\\", "a\\\\b", "\\", "tab\tname"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(reg->createKey(HKCU, bad));
    }
    EXPECT_FALSE(dir.exists("registry.reg"));

    auto root = reg->createKey(HKCU, "");
    ASSERT_TRUE(root);
    EXPECT_FALSE(dir.exists("registry.reg"));  // nothing changed, nothing written
    EXPECT_FALSE(reg->setValue(*root, "bad\nname", RegType::Sz, {0}));
    EXPECT_FALSE(reg->setValue(*root + 1000, "v", RegType::Sz, {0}));
    reg->closeKey(*root);
    EXPECT_FALSE(reg->setValue(*root, "v", RegType::Sz, {0}));
    EXPECT_FALSE(reg->deleteKey(*root, "x"));
    EXPECT_FALSE(reg->createKey(static_cast<RegRoot>(0x80000005u), "K"));

    // A handle whose key was deleted under it is refused, not silently recreating the key.
    auto child = reg->createKey(HKCU, "Gone");
    ASSERT_TRUE(child);
    ASSERT_TRUE(del(*reg, HKCU, "", "Gone"));
    EXPECT_FALSE(reg->setValue(*child, "v", RegType::Sz, {0}));
    EXPECT_FALSE(reg->keyExists(HKCU, "Gone"));
}

TEST_F(RegistryFileTest, ReadOnlyRootRefusesAndWritesNothing) {
    auto reg = open({HKLM});
    EXPECT_FALSE(reg->createKey(HKLM, "Software\\Policies"));
    EXPECT_FALSE(reg->createKey(HKLM, ""));
    EXPECT_FALSE(dir.exists("registry.reg"));
    EXPECT_TRUE(set(*reg, HKCU, "K", "v", dword(1)));
}

TEST_F(RegistryFileTest, UnreadableOrUnwritableFileIsLeftAlone) {
    struct Case {
        const char* what;
        std::string content;
    };
    const std::string good =
        crlf({"REGEDIT4", "", "[HKEY_CURRENT_USER\\K]", "\"v\"=dword:00000001", ""});
    const std::vector<Case> malformed{
        {"no header", crlf({"[HKEY_CURRENT_USER\\K]"})},
        {"other header",
         crlf({"Windows Registry Editor Version 5.00", "", "[HKEY_CURRENT_USER\\K]"})},
        {"unknown root", crlf({"REGEDIT4", "[HKEY_CURRENT_CONFIG\\K]"})},
        {"deleting section", crlf({"REGEDIT4", "[-HKEY_CURRENT_USER\\K]"})},
        {"deleting value", crlf({"REGEDIT4", "[HKEY_CURRENT_USER\\K]", "\"v\"=-"})},
        {"value before any key", crlf({"REGEDIT4", "\"v\"=dword:00000001"})},
        {"unknown escape", crlf({"REGEDIT4", "[HKEY_CURRENT_USER\\K]", "\"v\"=\"C:\\dir\""})},
        {"open quote", crlf({"REGEDIT4", "[HKEY_CURRENT_USER\\K]", "\"v\"=\"abc"})},
        {"text after string", crlf({"REGEDIT4", "[HKEY_CURRENT_USER\\K]", "\"v\"=\"a\" b"})},
        {"long dword", crlf({"REGEDIT4", "[HKEY_CURRENT_USER\\K]", "\"v\"=dword:123456789"})},
        {"bad hex", crlf({"REGEDIT4", "[HKEY_CURRENT_USER\\K]", "\"v\"=hex:0g,00"})},
        {"hex cut at end", crlf({"REGEDIT4", "[HKEY_CURRENT_USER\\K]", "\"v\"=hex:00,\\"})},
        {"empty level", crlf({"REGEDIT4", "[HKEY_CURRENT_USER\\A\\\\B]"})},
        {"stray line", crlf({"REGEDIT4", "[HKEY_CURRENT_USER\\K]", "v=1"})},
    };
    for (const auto& c : malformed) {
        SCOPED_TRACE(c.what);
        TempDir d;
        d.write("registry.reg", c.content);
        auto reg = makeFileRegistry(d / "registry.reg");
        auto key = reg->createKey(HKCU, "New");
        ASSERT_FALSE(key);
        EXPECT_FALSE(key.error().message.empty());
        EXPECT_EQ(d.read("registry.reg"), c.content);
        EXPECT_FALSE(reg->keyExists(HKCU, "K"));
    }

    // Read-only: the owner's write bit is off (the check holds even for the superuser).
    dir.write("registry.reg", good);
    std::filesystem::permissions(file(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    auto reg = open();
    EXPECT_FALSE(reg->createKey(HKCU, "New"));
    EXPECT_FALSE(set(*reg, HKCU, "K", "v", dword(2)));
    EXPECT_FALSE(del(*reg, HKCU, "", "K"));
    EXPECT_EQ(dir.read("registry.reg"), good);
    EXPECT_EQ(reg->queryValue(HKCU, "K", "v"), dword(1));
    EXPECT_FALSE(reg->keyExists(HKCU, "New"));
}

TEST_F(RegistryFileTest, SeesTheFileChangedBetweenCalls) {
    auto reg = open();
    ASSERT_TRUE(set(*reg, HKCU, "K", "v", dword(1)));
    dir.write("registry.reg",
              crlf({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Edited]", "\"by\"=\"hand\"", ""}));
    ASSERT_TRUE(set(*reg, HKCU, "K", "w", dword(2)));
    EXPECT_EQ(reg->queryValue(HKCU, "Edited", "by"), sz("hand"));
    EXPECT_EQ(reg->queryValue(HKCU, "K", "v"), std::nullopt);
    EXPECT_EQ(reg->queryValue(HKCU, "K", "w"), dword(2));
}

TEST_F(RegistryFileTest, GroupWritesOnceAtTheEnd) {
    auto reg = open();
    ASSERT_TRUE(set(*reg, HKCU, "K", "first", dword(1)));
    const std::string before = dir.read("registry.reg");

    reg->beginGroup();
    ASSERT_TRUE(set(*reg, HKCU, "K", "a", dword(1)));
    ASSERT_TRUE(set(*reg, HKCU, "K\\Sub", "b", sz("x")));
    ASSERT_TRUE(del(*reg, HKCU, "K", "Sub"));
    EXPECT_EQ(dir.read("registry.reg"), before);
    // Reading back shows the file, which the group has not touched yet.
    EXPECT_EQ(reg->queryValue(HKCU, "K", "a"), std::nullopt);
    ASSERT_TRUE(reg->endGroup());

    EXPECT_EQ(dir.read("registry.reg"),
              crlf({"REGEDIT4", "", "[HKEY_CURRENT_USER\\K]", "\"first\"=dword:00000001",
                    "\"a\"=dword:00000001", ""}));

    // A group that changes nothing writes nothing.
    std::filesystem::remove(file());
    reg->beginGroup();
    ASSERT_TRUE(reg->createKey(HKCU, ""));
    EXPECT_TRUE(reg->endGroup());
    EXPECT_FALSE(dir.exists("registry.reg"));
}

TEST_F(RegistryFileTest, FailingGroupReportsFailureAndChangesNothing) {
    const std::string good =
        crlf({"REGEDIT4", "", "[HKEY_CURRENT_USER\\K]", "\"v\"=dword:00000001", ""});
    dir.write("registry.reg", good);
    std::filesystem::permissions(file(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    auto reg = open();
    reg->beginGroup();
    EXPECT_TRUE(set(*reg, HKCU, "K", "v", dword(7)));
    EXPECT_TRUE(set(*reg, HKCU, "L", "w", dword(8)));
    EXPECT_FALSE(reg->endGroup());
    EXPECT_EQ(dir.read("registry.reg"), good);
    EXPECT_EQ(reg->queryValue(HKCU, "K", "v"), dword(1));

    // A file that cannot be parsed fails every call of the group and the group itself.
    std::filesystem::permissions(file(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    dir.write("registry.reg", "garbage");
    reg->beginGroup();
    EXPECT_FALSE(reg->createKey(HKCU, "K"));
    EXPECT_FALSE(reg->createKey(HKCU, "K"));
    EXPECT_FALSE(reg->endGroup());
    EXPECT_EQ(dir.read("registry.reg"), "garbage");
}

// How long such a pass takes is measured in bench/registry_bench.cpp; here, what it does.
TEST_F(RegistryFileTest, GroupOverALargeRegistryRewritesTheFileOnceAtItsEnd) {
    auto reg = open();
    reg->beginGroup();
    for (int k = 0; k < 100; ++k)
        for (int v = 0; v < 50; ++v)
            ASSERT_TRUE(set(*reg, HKCU, "Software\\Key" + std::to_string(k),
                            "Value" + std::to_string(v), dword(v)));
    ASSERT_TRUE(reg->endGroup());
    const std::string before = dir.read("registry.reg");

    // A fresh reader, one group rewriting each of the 5,000 values under other letter case.
    auto again = open();
    again->beginGroup();
    for (int k = 0; k < 100; ++k)
        for (int v = 0; v < 50; ++v)
            ASSERT_TRUE(set(*again, HKCU, "software\\key" + std::to_string(k),
                            "value" + std::to_string(v), dword(v + 1)));
    EXPECT_EQ(dir.read("registry.reg"), before);  // nothing stored while the group is open
    ASSERT_TRUE(again->endGroup());

    const std::string after = dir.read("registry.reg");
    EXPECT_EQ(after.size(), before.size());  // replaced in place, no value added
    EXPECT_NE(after.find("[HKEY_CURRENT_USER\\Software\\Key99]"), std::string::npos);
    EXPECT_EQ(after.find("value0"), std::string::npos);  // the first spelling stays
    auto third = open();
    EXPECT_EQ(third->queryValue(HKCU, "Software\\Key0", "Value0"), dword(1));
    EXPECT_EQ(third->queryValue(HKCU, "Software\\Key99", "Value49"), dword(50));
}

}  // namespace
}  // namespace tessmar::platform
