// The reads and the value deletion of the registry interface, on the stand-in and on the test fake
// alike: later tests lean on the fake behaving as the stand-in does.
#include <gtest/gtest.h>

#include <functional>

#include "platform/registry.h"
#include "support/fake_registry.h"
#include "support/tempdir.h"

namespace tessmar::platform {
namespace {

constexpr auto HKCU = RegRoot::CurrentUser;

RegValue dword(std::uint8_t v) {
    return {RegType::Dword, {v, 0, 0, 0}};
}

// The value read, or nullopt also when the read failed (which the caller checks separately).
std::optional<RegValue> readOk(Registry& reg, RegRoot root, std::string_view path,
                               std::string_view name) {
    auto read = reg.readValue(root, path, name);
    EXPECT_TRUE(read) << path;
    return read ? *read : std::nullopt;
}

Status set(Registry& reg, RegRoot root, std::string_view path, std::string_view name,
           const RegValue& value) {
    auto key = reg.createKey(root, path);
    if (!key) return std::unexpected(key.error());
    auto done = reg.setValue(*key, name, value.type, value.data);
    reg.closeKey(*key);
    return done;
}

Status unset(Registry& reg, RegRoot root, std::string_view path, std::string_view name) {
    auto key = reg.createKey(root, path);
    if (!key) return std::unexpected(key.error());
    auto done = reg.deleteValue(*key, name);
    reg.closeKey(*key);
    return done;
}

struct Backend {
    const char* name;
    std::function<std::unique_ptr<Registry>(const std::filesystem::path&)> make;
};

class RegistryReadTest : public ::testing::TestWithParam<Backend> {
  protected:
    test::TempDir dir;
    std::unique_ptr<Registry> reg = GetParam().make(dir / "registry.reg");
};

TEST_P(RegistryReadTest, ValueTypeAndBytesOrAbsence) {
    const RegValue odd{RegType::ExpandSz, {'%', 'A', '%'}};  // no terminating zero
    ASSERT_TRUE(set(*reg, HKCU, "Software\\R", "v", dword(7)));
    ASSERT_TRUE(set(*reg, HKCU, "Software\\R", "odd", odd));
    ASSERT_TRUE(set(*reg, HKCU, "Software\\R", "", RegValue{RegType::Binary, {}}));

    EXPECT_EQ(readOk(*reg, HKCU, "software\\r", "V"), std::optional(dword(7)));
    EXPECT_EQ(readOk(*reg, HKCU, "Software\\R", "odd"), std::optional(odd));
    EXPECT_EQ(readOk(*reg, HKCU, "Software\\R", ""), std::optional(RegValue{RegType::Binary, {}}));
    // Absent value, absent key, a path no key can have: all simply absent.
    for (auto [path, name] : {std::pair{"Software\\R", "none"}, std::pair{"Software\\Q", "v"},
                              std::pair{"Software\\\\R", "v"}}) {
        auto read = reg->readValue(HKCU, path, name);
        ASSERT_TRUE(read) << path;
        EXPECT_EQ(*read, std::nullopt) << path;
    }
}

TEST_P(RegistryReadTest, KeyValuesAndSubkeys) {
    ASSERT_TRUE(set(*reg, HKCU, "Software\\R", "b", dword(2)));
    ASSERT_TRUE(set(*reg, HKCU, "Software\\R", "a", dword(1)));
    ASSERT_TRUE(set(*reg, HKCU, "Software\\R\\Child", "c", dword(3)));
    ASSERT_TRUE(set(*reg, HKCU, "Software\\R\\Child\\Deep", "d", dword(4)));
    auto empty0 = reg->createKey(HKCU, "Software\\R\\Empty");
    ASSERT_TRUE(empty0);
    reg->closeKey(*empty0);

    auto content = reg->readKey(HKCU, "SOFTWARE\\r");
    ASSERT_TRUE(content);
    ASSERT_TRUE(content->has_value());
    std::vector<std::string> names;
    for (const auto& v : (*content)->values) names.push_back(v.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b"}));
    auto subkeys = (*content)->subkeys;
    std::sort(subkeys.begin(), subkeys.end());
    // Direct subkeys only, spelled as created.
    EXPECT_EQ(subkeys, (std::vector<std::string>{"Child", "Empty"}));

    auto empty = reg->readKey(HKCU, "Software\\R\\Empty");
    ASSERT_TRUE(empty && empty->has_value());
    EXPECT_EQ(**empty, RegKeyContent{});
    auto missing = reg->readKey(HKCU, "Software\\Missing");
    ASSERT_TRUE(missing);
    EXPECT_FALSE(missing->has_value());
    // The root itself lists its top levels.
    auto root = reg->readKey(HKCU, "");
    ASSERT_TRUE(root && root->has_value());
    EXPECT_EQ((*root)->subkeys, std::vector<std::string>{"Software"});
}

TEST_P(RegistryReadTest, DeletingAValue) {
    ASSERT_TRUE(set(*reg, HKCU, "Software\\R", "a", dword(1)));
    ASSERT_TRUE(set(*reg, HKCU, "Software\\R", "b", dword(2)));
    ASSERT_TRUE(unset(*reg, HKCU, "Software\\R", "A"));
    EXPECT_EQ(reg->queryValue(HKCU, "Software\\R", "a"), std::nullopt);
    EXPECT_EQ(reg->queryValue(HKCU, "Software\\R", "b"), dword(2));
    // Gone already: no failure, and the others stay where they were.
    EXPECT_TRUE(unset(*reg, HKCU, "Software\\R", "a"));
    ASSERT_TRUE(set(*reg, HKCU, "Software\\R", "c", dword(3)));
    auto content = reg->readKey(HKCU, "Software\\R");
    ASSERT_TRUE(content && content->has_value());
    ASSERT_EQ((*content)->values.size(), 2u);
    EXPECT_EQ(reg->queryValue(HKCU, "Software\\R", "c"), dword(3));
}

INSTANTIATE_TEST_SUITE_P(
    Backends, RegistryReadTest,
    ::testing::Values(Backend{"StandIn",
                              [](const std::filesystem::path& f) { return makeFileRegistry(f); }},
                      Backend{"Fake",
                              [](const std::filesystem::path&) -> std::unique_ptr<Registry> {
                                  return std::make_unique<test::FakeRegistry>();
                              }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegistryFileRead, AFileThatCannotBeReadIsAnErrorNotAnAbsence) {
    test::TempDir dir;
    dir.write("registry.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n\"v\"=nonsense\r\n");
    auto reg = makeFileRegistry(dir / "registry.reg");
    EXPECT_FALSE(reg->readValue(HKCU, "K", "v"));
    EXPECT_FALSE(reg->readKey(HKCU, "K"));
    // The old reads keep their forgiving answer.
    EXPECT_EQ(reg->queryValue(HKCU, "K", "v"), std::nullopt);
}

TEST(RegistryFileRead, ReadsKeepUpWithTheFileChangedBehindThem) {
    test::TempDir dir;
    auto reg = makeFileRegistry(dir / "registry.reg");
    ASSERT_TRUE(set(*reg, HKCU, "K", "a", dword(1)));
    EXPECT_EQ(readOk(*reg, HKCU, "K", "a"), dword(1));
    dir.write("registry.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n\"b\"=dword:00000002\r\n");
    EXPECT_EQ(readOk(*reg, HKCU, "K", "a"), std::nullopt);
    EXPECT_EQ(readOk(*reg, HKCU, "K", "b"), dword(2));
    // A write after the reads works on what the file holds now.
    ASSERT_TRUE(set(*reg, HKCU, "K", "c", dword(3)));
    EXPECT_EQ(makeFileRegistry(dir / "registry.reg")->queryValue(HKCU, "K", "b"), dword(2));
}

TEST(RegistryFileRead, DeletingAValueRewritesTheFile) {
    test::TempDir dir;
    auto reg = makeFileRegistry(dir / "registry.reg");
    ASSERT_TRUE(set(*reg, HKCU, "K", "a", dword(1)));
    ASSERT_TRUE(set(*reg, HKCU, "K", "b", dword(2)));
    ASSERT_TRUE(unset(*reg, HKCU, "K", "a"));
    EXPECT_EQ(dir.read("registry.reg"),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n\"b\"=dword:00000002\r\n\r\n");
}

}  // namespace
}  // namespace tessmar::platform
