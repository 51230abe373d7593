// The program on a PC whose ANSI code page is not 936: run-wine-tests.sh runs this under
// en_US.UTF-8 from a folder with a Chinese name. The logon notice and a custom entry's Chinese key,
// name and text reach the registry as the characters meant, read back with the wide functions.
#include <windows.h>

#include <string>
#include <vector>

#include "check.h"
#include "engine/apply.h"
#include "engine/catalogue.h"
#include "engine/mainreg.h"
#include "platform/paths.h"
#include "scripted_messages.h"
#include "settings/sidefiles.h"
#include "settings/vorn.h"
#include "support.h"

using namespace tessmar;
using namespace tessmar::winetest;

namespace {

std::wstring utf16(std::string_view utf8) {
    std::wstring out(utf8.size(), L'\0');
    out.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(),
                            static_cast<int>(out.size()))));
    return out;
}

// The value as stored, read with the wide functions.
std::optional<platform::RegValue> stored(HKEY root, std::string_view path, std::string_view name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, utf16(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<std::uint8_t> data(1024);
    DWORD size = static_cast<DWORD>(data.size()), type = 0;
    LONG rc = RegQueryValueExW(key, utf16(name).c_str(), nullptr, &type, data.data(), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    data.resize(size);
    return platform::RegValue{static_cast<platform::RegType>(type), std::move(data)};
}

// REG_SZ data of the text: its UTF-16 characters and the terminating zero.
std::optional<platform::RegValue> utf16Sz(std::string_view text) {
    std::wstring chars = utf16(text) + L'\0';
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(chars.data());
    return platform::RegValue{platform::RegType::Sz,
                              {bytes, bytes + chars.size() * sizeof(wchar_t)}};
}

}  // namespace

WINE_TEST(ProgramFolderOfAChineseNameOnAnotherCodePage) {
    CHECK(GetACP() != 936u);
    CHECK(platform::programDir().filename().wstring() == utf16("程序文件夹"));
}

WINE_TEST(ChineseNoticeReachesTheRegistryAsWritten) {
    const auto dir = platform::programDir();
    REQUIRE(settings::SettingsFile(dir).createForChecklist("C:\\windows"));
    REQUIRE(settings::NoticeFile(dir).write("登录须知", "本机只供授权人员使用"));
    std::vector<bool> flags(engine::builtinCategory(1).items.size() + 1, false);
    flags[3] = true;
    test::ScriptedMessages messages;
    auto outcome = engine::apply({dir, *platform::makeSystemRegistry(), messages}, {1, flags, 1});
    CHECK(outcome.notWritten.empty());
    const char* winlogon = "Software\\Microsoft\\Windows\\CurrentVersion\\Winlogon";
    CHECK_EQ(stored(HKEY_LOCAL_MACHINE, winlogon, "legalnoticecaption"), utf16Sz("登录须知"));
    CHECK_EQ(stored(HKEY_LOCAL_MACHINE, winlogon, "legalnoticetext"),
             utf16Sz("本机只供授权人员使用"));
}

WINE_TEST(ChineseCustomEntryReachesTheRegistryAsWritten) {
    auto reg = platform::makeSystemRegistry();
    const char* key = "Software\\Tessmar测试\\代码页";
    CHECK(engine::setstring(*reg, platform::RegRoot::CurrentUser, key, "中文名", "中文值“引号”"));
    // Binary data is bytes: a custom entry's four stay the code page 936 bytes of its text.
    CHECK(engine::setbinary(*reg, platform::RegRoot::CurrentUser, key, "二进制",
                            {0xD6, 0xD0, 0xCE, 0xC4}));
    CHECK_EQ(stored(HKEY_CURRENT_USER, key, "中文名"), utf16Sz("中文值“引号”"));
    CHECK_EQ(
        stored(HKEY_CURRENT_USER, key, "二进制"),
        std::optional(platform::RegValue{platform::RegType::Binary, {0xD6, 0xD0, 0xCE, 0xC4}}));
    // Read through the interface, names and text are code page 936 bytes again.
    auto content = reg->readKey(platform::RegRoot::CurrentUser, cp936(key));
    REQUIRE(content && *content && (*content)->values.size() == 2);
    CHECK_EQ((*content)->values[0].name, cp936("中文名"));
    CHECK_EQ((*content)->values[0].value.data, bytesOf(cp936("中文值“引号”"), true));
}
