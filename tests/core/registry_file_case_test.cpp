// The stand-in folds letter case as the Windows registry does, also for the double-byte letters of
// code page 936 that come in two cases; the other double-byte characters keep apart even where
// their second bytes differ only as an ASCII letter's case would.
#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/registry.h"
#include "support/tempdir.h"

namespace tessmar::platform {
namespace {

std::string cp936(std::string_view utf8) {
    auto bytes = toCp936(utf8);
    EXPECT_TRUE(bytes.has_value());
    return bytes.value_or("");
}

RegValue sz(std::string_view utf8) {
    std::string b = cp936(utf8);
    std::vector<std::uint8_t> data(b.begin(), b.end());
    data.push_back(0);
    return {RegType::Sz, data};
}

TEST(RegistryFileCase, DoubleByteLettersOfBothCasesNameOneValue) {
    struct Pair {
        const char* upper;
        const char* lower;
    };
    // Roman numerals, full-width Latin, Greek, Cyrillic: first and last letter of each range.
    const Pair pairs[] = {{"Ⅰ", "ⅰ"}, {"Ⅹ", "ⅹ"}, {"Ａ", "ａ"}, {"Ｚ", "ｚ"}, {"Α", "α"},
                          {"Ω", "ω"}, {"А", "а"}, {"Ё", "ё"},   {"Я", "я"}};
    test::TempDir dir;
    auto reg = makeFileRegistry(dir / "registry.reg");
    auto key = reg->createKey(RegRoot::CurrentUser, "Software\\Case");
    ASSERT_TRUE(key.has_value());
    for (const auto& p : pairs) {
        SCOPED_TRACE(p.upper);
        ASSERT_TRUE(reg->setValue(*key, cp936(p.upper), RegType::Sz, sz("first").data));
        ASSERT_TRUE(reg->setValue(*key, cp936(p.lower), RegType::Sz, sz("second").data));
        EXPECT_EQ(reg->queryValue(RegRoot::CurrentUser, "Software\\Case", cp936(p.upper)),
                  sz("second"));
    }
    reg->closeKey(*key);

    auto upper = reg->createKey(RegRoot::CurrentUser, cp936("Software\\Case\\Σ"));
    ASSERT_TRUE(upper.has_value());
    reg->closeKey(*upper);
    EXPECT_TRUE(reg->keyExists(RegRoot::CurrentUser, cp936("Software\\CASE\\σ")));
}

TEST(RegistryFileCase, OtherDoubleByteCharactersStayApart) {
    test::TempDir dir;
    auto reg = makeFileRegistry(dir / "registry.reg");
    auto key = reg->createKey(RegRoot::CurrentUser, "Software\\Case");
    ASSERT_TRUE(key.has_value());
    // 81 41 and 81 61; and pinyin letters, whose upper case has no code page 936 form.
    ASSERT_TRUE(reg->setValue(*key, cp936("丄"), RegType::Sz, sz("a").data));
    ASSERT_TRUE(reg->setValue(*key, cp936("乤"), RegType::Sz, sz("b").data));
    ASSERT_TRUE(reg->setValue(*key, cp936("ā"), RegType::Sz, sz("c").data));
    reg->closeKey(*key);
    EXPECT_EQ(reg->queryValue(RegRoot::CurrentUser, "Software\\Case", cp936("丄")), sz("a"));
    EXPECT_EQ(reg->queryValue(RegRoot::CurrentUser, "Software\\Case", cp936("乤")), sz("b"));
    EXPECT_EQ(reg->queryValue(RegRoot::CurrentUser, "Software\\Case", cp936("ā")), sz("c"));
}

}  // namespace
}  // namespace tessmar::platform
