// The Windows backends of platform/ on a real registry and real conversion tables.
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "check.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "support.h"

using namespace tessmar;
using namespace tessmar::winetest;
using platform::RegRoot;
using platform::RegType;
using platform::RegValue;

namespace {

constexpr const char* kBase = "Software\\TessmarWineTest\\platform";

std::string under(std::string_view rest) {
    return std::string(kBase) + "\\" + std::string(rest);
}

}  // namespace

WINE_TEST(AnsiCodePageIs936) {
    // Everything below assumes the system the tool is made for.
    CHECK_EQ(GetACP(), 936u);
}

WINE_TEST(CodePageConversionsAgreeWithTheTables) {
    struct Case {
        const char* utf8;
        std::vector<std::uint8_t> bytes;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"AB", {0x41, 0x42}},
        {"中文", {0xD6, 0xD0, 0xCE, 0xC4}},
        {"乗", {0x81, 0x5C}},  // second byte is a backslash
        {"丄乤", {0x81, 0x41, 0x81, 0x61}},
        {"禁止“运行”菜单",
         {0xBD, 0xFB, 0xD6, 0xB9, 0xA1, 0xB0, 0xD4, 0xCB, 0xD0, 0xD0, 0xA1, 0xB1, 0xB2, 0xCB, 0xB5,
          0xA5}},
    };
    for (const auto& c : cases) {
        auto to = platform::toCp936(c.utf8);
        if (!CHECK(to.has_value())) continue;
        CHECK_EQ(bytesOf(*to), c.bytes);
        auto back = platform::fromCp936(std::string(c.bytes.begin(), c.bytes.end()));
        if (CHECK(back.has_value())) CHECK_EQ(*back, std::string(c.utf8));
        CHECK(platform::fitsCp936(c.utf8));
    }
}

WINE_TEST(TextWithoutACodePage936FormIsAnError) {
    // Hangul, an emoji, and text that is not UTF-8 at all.
    for (const char* text : {"한국", "\xF0\x9F\x98\x80", "A\xFF", "\xE4\xB8"}) {
        CHECK(!platform::toCp936(text).has_value());
        CHECK(!platform::fitsCp936(text));
    }
    // A lone lead byte, and a lead byte followed by a byte that cannot end a character.
    for (std::string bytes :
         {std::string("\x81"), std::string("AB\xD6"), std::string("\x81\x7F")}) {
        auto text = platform::fromCp936(bytes);
        CHECK(!text.has_value());
        if (!text) CHECK(!text.error().message.empty());
    }
}

WINE_TEST(ProgramDirectoryHoldsTheProgram) {
    auto dir = platform::programDir();
    CHECK(std::filesystem::exists(dir / "wine_platform_test.exe"));
}

WINE_TEST(WindowsDirectoryComesFromTheSystem) {
    std::string dir = platform::getwindowsdir();
    CHECK(!dir.empty());
    CHECK(dir.back() != '\\');
    CHECK_EQ(foldName(cp936(dir)), foldName("C:\\windows"));
}

WINE_TEST(ShellReportsAFileItCannotOpen) {
    ScratchDir dir;
    auto shell = platform::makeSystemShell();
    CHECK(!shell->openMaximised(dir / "缺少的帮助.htm"));
}

WINE_TEST(CreateKeyMakesEveryMissingLevel) {
    wipe(HKEY_CURRENT_USER, kBase);
    auto reg = platform::makeSystemRegistry();
    auto key = reg->createKey(RegRoot::CurrentUser, under("a\\b\\c"));
    REQUIRE(key.has_value());
    CHECK(*key != platform::Registry::kNoKey);
    reg->closeKey(*key);
    CHECK(keyPresent(HKEY_CURRENT_USER, under("a")));
    CHECK(keyPresent(HKEY_CURRENT_USER, under("a\\b\\c")));
    // Names are compared without regard to case, and the first spelling stays.
    CHECK(reg->keyExists(RegRoot::CurrentUser, under("A\\B\\C")));
    CHECK_EQ(listSubkeys(HKEY_CURRENT_USER, kBase), std::vector<std::string>{"a"});
    CHECK(!reg->keyExists(RegRoot::CurrentUser, under("a\\x")));
}

WINE_TEST(CreateKeyFailuresAreReported) {
    auto reg = platform::makeSystemRegistry();
    CHECK(!reg->createKey(static_cast<RegRoot>(0x80000009u), "Software").has_value());
    // The system refuses a path that starts with a backslash.
    CHECK(!reg->createKey(RegRoot::CurrentUser, "\\" + under("lead")).has_value());
    CHECK(!reg->createKey(RegRoot::CurrentUser, under(std::string("x\0y", 3))).has_value());
    CHECK(!keyPresent(HKEY_CURRENT_USER, under("x")));
    CHECK(!reg->setValue(platform::Registry::kNoKey, "v", RegType::Dword, {1, 0, 0, 0}));
    CHECK(!reg->deleteKey(platform::Registry::kNoKey, "v"));
}

WINE_TEST(NamesAreOneNameExactlyWhereTheyFoldAlike) {
    // Every character of code page 936 names a value of one key, the value holding its index: the
    // registry keeps one value for each set of names that fold alike, named as first written.
    wipe(HKEY_CURRENT_USER, kBase);
    HKEY key = nullptr;
    REQUIRE(RegCreateKeyA(HKEY_CURRENT_USER, under("fold").c_str(), &key) == ERROR_SUCCESS);
    std::vector<std::string> names;
    for (int c = 0x20; c < 0x7F; ++c) names.emplace_back(1, static_cast<char>(c));
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail)
            if (std::string name{char(lead), char(trail)}; platform::fromCp936(name))
                names.push_back(name);
    std::set<std::string> folded;
    for (DWORD i = 0; i < names.size(); ++i) {
        folded.insert(foldName(names[i]));
        RegSetValueExA(key, names[i].c_str(), 0, REG_DWORD, reinterpret_cast<BYTE*>(&i), 4);
    }
    DWORD count = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                     nullptr, nullptr, nullptr);
    CHECK_EQ(std::size_t{count}, folded.size());
    for (const auto& name : names) {
        DWORD index = 0, size = 4;
        RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&index),
                         &size);
        if (!CHECK_EQ(foldName(names.at(index)), foldName(name)))
            std::printf("    %s and %s\n", shown(name).c_str(), shown(names[index]).c_str());
    }
    RegCloseKey(key);
    wipe(HKEY_CURRENT_USER, kBase);
}

WINE_TEST(ValuesAreReplacedWhateverTheirType) {
    wipe(HKEY_CURRENT_USER, kBase);
    auto reg = platform::makeSystemRegistry();
    auto key = reg->createKey(RegRoot::CurrentUser, under("values"));
    REQUIRE(key.has_value());
    CHECK(reg->setValue(*key, "v", RegType::Dword, {1, 0, 0, 0}).has_value());
    CHECK(reg->setValue(*key, "V", RegType::Sz, {0x41, 0}).has_value());
    CHECK(reg->setValue(*key, "", RegType::Binary, {0x0C, 0, 0, 0}).has_value());
    CHECK(!reg->setValue(*key, std::string("a\0b", 3), RegType::Dword, {1, 0, 0, 0}));
    std::vector<std::uint8_t> big(5000, 0xAB);
    CHECK(reg->setValue(*key, "big", RegType::Binary, big).has_value());
    reg->closeKey(*key);

    auto values = listValues(HKEY_CURRENT_USER, under("values"));
    CHECK_EQ(values.size(), std::size_t{3});
    CHECK_EQ(readValue(HKEY_CURRENT_USER, under("values"), "v"),
             std::optional(RegValue{RegType::Sz, {0x41, 0}}));
    CHECK_EQ(reg->queryValue(RegRoot::CurrentUser, under("VALUES"), "v"),
             std::optional(RegValue{RegType::Sz, {0x41, 0}}));
    CHECK_EQ(reg->queryValue(RegRoot::CurrentUser, under("values"), ""),
             std::optional(RegValue{RegType::Binary, {0x0C, 0, 0, 0}}));
    CHECK_EQ(reg->queryValue(RegRoot::CurrentUser, under("values"), "big"),
             std::optional(RegValue{RegType::Binary, big}));
    CHECK(!reg->queryValue(RegRoot::CurrentUser, under("values"), "nothing").has_value());
    CHECK(!reg->queryValue(RegRoot::CurrentUser, under("nothing"), "v").has_value());
}

WINE_TEST(DeleteKeyReportsWhatTookEffect) {
    wipe(HKEY_CURRENT_USER, kBase);
    auto reg = platform::makeSystemRegistry();
    for (const char* path : {"d\\leaf", "d\\tree\\child", "d\\keep"}) {
        auto made = reg->createKey(RegRoot::CurrentUser, under(path));
        REQUIRE(made.has_value());
        reg->closeKey(*made);
    }
    auto key = reg->createKey(RegRoot::CurrentUser, under("d"));
    REQUIRE(key.has_value());
    CHECK(reg->deleteKey(*key, "LEAF").has_value());
    CHECK(!keyPresent(HKEY_CURRENT_USER, under("d\\leaf")));
    // A missing subkey: what the call is for already holds.
    CHECK(reg->deleteKey(*key, "missing").has_value());
    // A subkey with subkeys stays whole, and the result says so.
    auto tree = reg->deleteKey(*key, "tree");
    CHECK(!tree.has_value());
    if (!tree) CHECK(!tree.error().message.empty());
    CHECK(keyPresent(HKEY_CURRENT_USER, under("d\\tree\\child")));
    // No name must not delete the open key itself.
    CHECK(!reg->deleteKey(*key, "").has_value());
    reg->closeKey(*key);
    CHECK(keyPresent(HKEY_CURRENT_USER, under("d\\keep")));

    auto empty = reg->createKey(RegRoot::CurrentUser, under("d\\keep"));
    REQUIRE(empty.has_value());
    CHECK(!reg->deleteKey(*empty, "").has_value());
    reg->closeKey(*empty);
    CHECK(keyPresent(HKEY_CURRENT_USER, under("d\\keep")));
}

WINE_TEST(ReadsGiveTypeAndBytesOrAbsence) {
    wipe(HKEY_CURRENT_USER, kBase);
    auto reg = platform::makeSystemRegistry();
    auto key = reg->createKey(RegRoot::CurrentUser, under("read"));
    REQUIRE(key.has_value());
    std::vector<std::uint8_t> big(5000, 0xCD);
    const std::string chinese = cp936("中文");
    CHECK(reg->setValue(*key, "v", RegType::Dword, {1, 0, 0, 0}).has_value());
    CHECK(reg->setValue(*key, "big", RegType::Binary, big).has_value());
    CHECK(reg->setValue(*key, chinese, RegType::ExpandSz, {0x25, 0x41}).has_value());
    CHECK(reg->setValue(*key, "", RegType::Sz, {0}).has_value());
    reg->closeKey(*key);
    for (const char* sub : {"read\\Child", "read\\child2\\deep"}) {
        auto made = reg->createKey(RegRoot::CurrentUser, under(sub));
        REQUIRE(made.has_value());
        reg->closeKey(*made);
    }

    auto v = reg->readValue(RegRoot::CurrentUser, under("READ"), "V");
    if (CHECK(v.has_value())) CHECK_EQ(*v, std::optional(RegValue{RegType::Dword, {1, 0, 0, 0}}));
    auto b = reg->readValue(RegRoot::CurrentUser, under("read"), "big");
    if (CHECK(b.has_value())) CHECK_EQ(*b, std::optional(RegValue{RegType::Binary, big}));
    auto c = reg->readValue(RegRoot::CurrentUser, under("read"), chinese);
    if (CHECK(c.has_value()))
        CHECK_EQ(*c, std::optional(RegValue{RegType::ExpandSz, {0x25, 0x41}}));
    for (auto [path, name] : {std::pair{"read", "none"}, std::pair{"none", "v"}}) {
        auto absent = reg->readValue(RegRoot::CurrentUser, under(path), name);
        if (CHECK(absent.has_value())) CHECK(!absent->has_value());
    }
    CHECK(!reg->readValue(static_cast<RegRoot>(0x80000009u), "Software", "v").has_value());

    auto content = reg->readKey(RegRoot::CurrentUser, under("read"));
    REQUIRE(content.has_value() && content->has_value());
    std::vector<std::string> names;
    for (const auto& value : (*content)->values) {
        names.push_back(value.name);
        CHECK_EQ(std::optional(value.value),
                 readValue(HKEY_CURRENT_USER, under("read"), value.name));
    }
    std::sort(names.begin(), names.end());
    CHECK_EQ(names, (std::vector<std::string>{"", "big", "v", chinese}));
    auto subkeys = (*content)->subkeys;
    std::sort(subkeys.begin(), subkeys.end());
    CHECK_EQ(subkeys, (std::vector<std::string>{"Child", "child2"}));
    auto missing = reg->readKey(RegRoot::CurrentUser, under("none"));
    if (CHECK(missing.has_value())) CHECK(!missing->has_value());
    wipe(HKEY_CURRENT_USER, kBase);
}

WINE_TEST(DeleteValueRemovesOneValue) {
    wipe(HKEY_CURRENT_USER, kBase);
    auto reg = platform::makeSystemRegistry();
    auto key = reg->createKey(RegRoot::CurrentUser, under("del"));
    REQUIRE(key.has_value());
    CHECK(reg->setValue(*key, "a", RegType::Dword, {1, 0, 0, 0}).has_value());
    CHECK(reg->setValue(*key, "b", RegType::Dword, {2, 0, 0, 0}).has_value());
    CHECK(reg->deleteValue(*key, "A").has_value());
    // Gone already: what the call is for holds.
    CHECK(reg->deleteValue(*key, "a").has_value());
    CHECK(!reg->deleteValue(platform::Registry::kNoKey, "b").has_value());
    reg->closeKey(*key);
    CHECK(!readValue(HKEY_CURRENT_USER, under("del"), "a").has_value());
    CHECK(readValue(HKEY_CURRENT_USER, under("del"), "b").has_value());
    wipe(HKEY_CURRENT_USER, kBase);
}

WINE_TEST(LocalMachineIsWritableInThePrefix) {
    const char* path = "Software\\TessmarWineTest\\machine";
    wipe(HKEY_LOCAL_MACHINE, path);
    auto reg = platform::makeSystemRegistry();
    auto key = reg->createKey(RegRoot::LocalMachine, path);
    REQUIRE(key.has_value());
    CHECK(reg->setValue(*key, "m", RegType::Dword, {1, 0, 0, 0}).has_value());
    reg->closeKey(*key);
    CHECK_EQ(readValue(HKEY_LOCAL_MACHINE, path, "m"),
             std::optional(RegValue{RegType::Dword, {1, 0, 0, 0}}));
    wipe(HKEY_LOCAL_MACHINE, path);
}

WINE_TEST(AtomicWritesReplaceTheFileAndRespectReadOnly) {
    ScratchDir dir;
    const auto file = dir / "vorn.ini";
    CHECK(platform::writeFileAtomic(file, "first\r\n"));
    // Replacing an existing file is what every later write of the settings file does.
    CHECK(platform::writeFileAtomic(file, "second\r\n"));
    CHECK_EQ(platform::readFile(file).value_or(""), std::string("second\r\n"));
    CHECK(!std::filesystem::exists(dir / "vorn.ini.tmp"));

    REQUIRE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    CHECK(!platform::writeFileAtomic(file, "third\r\n").has_value());
    CHECK_EQ(platform::readFile(file).value_or(""), std::string("second\r\n"));
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);

    CHECK(!platform::readFile(dir / "missing.ini").has_value());
    CHECK(!platform::fileExists(dir / "missing.ini"));
    CHECK(platform::fileExists(file));
}
