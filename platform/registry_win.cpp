// The registry of this Windows system, through advapi32's wide-character functions. The interface
// speaks code page 936; here names and string data become UTF-16 through code page 936's own table,
// whatever ANSI code page the PC runs with, so that every PC's registry holds the intended
// characters, and a code page 936 PC's exactly what the narrow functions would store.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/codepage.h"
#include "platform/codepage_win.h"
#include "platform/registry.h"
#include "platform/registry_win.h"

namespace tessmar::platform {

HKEY rootHandle(RegRoot root) {
    switch (root) {
        case RegRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RegRoot::Users:
            return HKEY_USERS;
    }
    return nullptr;
}

namespace {

HKEY handleOf(Registry::Key key) {
    return reinterpret_cast<HKEY>(key);
}

// A name as the wide functions take it; nullopt for bytes that are no code page 936 text and for
// a zero byte, which would cut the name short.
std::optional<std::wstring> wide(std::string_view name) {
    if (name.find('\0') != std::string_view::npos) return std::nullopt;
    return cp936ToWide(name);
}

// The types whose data is text: UTF-16 in the registry, code page 936 at the interface, zeros
// inside and at the end converted as characters of their own.
bool isText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

std::optional<std::wstring> storedText(const std::vector<std::uint8_t>& data) {
    return cp936ToWide({reinterpret_cast<const char*>(data.data()), data.size()});
}

std::optional<std::vector<std::uint8_t>> interfaceData(DWORD type, std::vector<std::uint8_t> raw) {
    if (!isText(type)) return raw;
    if (raw.size() % sizeof(wchar_t) != 0) return std::nullopt;
    std::wstring text(raw.size() / sizeof(wchar_t), L'\0');
    if (!raw.empty()) std::memcpy(text.data(), raw.data(), raw.size());
    auto bytes = wideToCp936(text);
    if (!bytes) return std::nullopt;
    return std::vector<std::uint8_t>(bytes->begin(), bytes->end());
}

// Names arrive as code page 936 bytes; messages are UTF-8.
std::string shown(std::string_view name) {
    auto text = fromCp936(name);
    return text ? *text : std::string("(无法显示的名称)");
}

std::string shownWide(std::wstring_view name) {
    return wideToUtf8(name).value_or("(无法显示的名称)");
}

std::string keyText(RegRoot root, std::string_view path) {
    std::string text = rootName(root);
    if (!path.empty()) text += "\\" + shown(path);
    return text;
}

std::string codeText(LONG code) {
    return " (错误代码 " + std::to_string(code) + ")";
}

std::unexpected<Error> unreadable(RegRoot root, std::string_view path, LONG rc) {
    return fail("无法读取注册表项 " + keyText(root, path) + codeText(rc));
}

std::unexpected<Error> noCp936(RegRoot root, std::string_view path, std::wstring_view name) {
    return fail("注册表项 " + keyText(root, path) + " 中的“" + shownWide(name) +
                "”有代码页 936 无法表示的文字，无法读取");
}

class WindowsRegistry : public Registry {
  public:
    Result<Key> createKey(RegRoot root, std::string_view path) override {
        HKEY base = rootHandle(root);
        if (!base) return fail("无效的注册表根键");
        auto widePath = wide(path);
        if (!widePath) return fail("注册表项名称 " + keyText(root, path) + " 不是有效的文字");
        HKEY key = nullptr;
        // The access the narrow RegCreateKeyA asks for: whatever the caller may have.
        LONG rc = RegCreateKeyExW(base, widePath->c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  MAXIMUM_ALLOWED, nullptr, &key, nullptr);
        if (rc != ERROR_SUCCESS || !key)
            return fail("无法打开或建立注册表项 " + keyText(root, path) + codeText(rc));
        return reinterpret_cast<Key>(key);
    }

    Status setValue(Key key, std::string_view name, RegType type,
                    const std::vector<std::uint8_t>& data) override {
        if (key == kNoKey) return fail("注册表项没有打开，无法写入值");
        auto wideName = wide(name);
        if (!wideName) return fail("注册表值名称 " + shown(name) + " 不是有效的文字");
        std::optional<std::wstring> text;
        std::size_t size = data.size();
        if (isText(static_cast<DWORD>(type))) {
            text = storedText(data);
            if (!text) return fail("注册表值 " + shown(name) + " 的数据不是有效的代码页 936 文字");
            size = text->size() * sizeof(wchar_t);
            // Windows and Wine count a zero that follows string data in memory as its end;
            // a character after it keeps the data exactly as given.
            text->push_back(L'\x1');
        }
        const BYTE* bytes = text ? reinterpret_cast<const BYTE*>(text->data()) : data.data();
        LONG rc = RegSetValueExW(handleOf(key), wideName->c_str(), 0, static_cast<DWORD>(type),
                                 size == 0 ? nullptr : bytes, static_cast<DWORD>(size));
        if (rc != ERROR_SUCCESS) return fail("无法写入注册表值" + codeText(rc));
        return {};
    }

    Status deleteKey(Key key, std::string_view subkey) override {
        if (key == kNoKey) return fail("注册表项没有打开，无法删除子项");
        // RegDeleteKeyW given no name deletes the open key itself, which is not what was asked.
        if (subkey.empty()) return fail("没有指定要删除的子项");
        auto wideSubkey = wide(subkey);
        if (!wideSubkey) return fail("子项名称 " + shown(subkey) + " 不是有效的文字");
        LONG rc = RegDeleteKeyW(handleOf(key), wideSubkey->c_str());
        if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) return {};
        if (rc == ERROR_ACCESS_DENIED) {
            // Also what Windows answers for a subkey that still has subkeys.
            return fail("无法删除子项 " + shown(subkey) + "：它还有下级子项，或没有权限" +
                        codeText(rc));
        }
        return fail("无法删除子项 " + shown(subkey) + codeText(rc));
    }

    void closeKey(Key key) override {
        if (key != kNoKey) RegCloseKey(handleOf(key));
    }

    Status deleteValue(Key key, std::string_view name) override {
        if (key == kNoKey) return fail("注册表项没有打开，无法删除值");
        auto wideName = wide(name);
        if (!wideName) return fail("注册表值名称 " + shown(name) + " 不是有效的文字");
        LONG rc = RegDeleteValueW(handleOf(key), wideName->c_str());
        if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) return {};
        return fail("无法删除注册表值 " + shown(name) + codeText(rc));
    }

    Result<std::optional<RegValue>> readValue(RegRoot root, std::string_view path,
                                              std::string_view name) override {
        auto opened = openForReading(root, path);
        if (!opened) return std::unexpected(opened.error());
        auto wideName = wide(name);
        if (!*opened || !wideName) {
            if (*opened) RegCloseKey(**opened);
            return std::optional<RegValue>();
        }
        HKEY key = **opened;
        auto value = queryOpen(key, root, path, *wideName);
        RegCloseKey(key);
        return value;
    }

    Result<std::optional<RegKeyContent>> readKey(RegRoot root, std::string_view path) override {
        auto opened = openForReading(root, path);
        if (!opened) return std::unexpected(opened.error());
        if (!*opened) return std::optional<RegKeyContent>();
        HKEY key = **opened;
        auto content = enumerate(key, root, path);
        RegCloseKey(key);
        if (!content) return std::unexpected(content.error());
        return std::optional<RegKeyContent>(std::move(*content));
    }

    std::optional<RegValue> queryValue(RegRoot root, std::string_view path,
                                       std::string_view name) override {
        auto value = readValue(root, path, name);
        return value ? *value : std::nullopt;
    }

    bool keyExists(RegRoot root, std::string_view path) override {
        auto opened = openForReading(root, path);
        if (!opened || !*opened) return false;
        RegCloseKey(**opened);
        return true;
    }

  private:
    // The open key, or nullopt when it does not exist.
    static Result<std::optional<HKEY>> openForReading(RegRoot root, std::string_view path) {
        HKEY base = rootHandle(root);
        if (!base) return fail("无效的注册表根键");
        auto widePath = wide(path);
        if (!widePath) return std::optional<HKEY>();  // no key can have that path
        HKEY key = nullptr;
        LONG rc = RegOpenKeyExW(base, widePath->c_str(), 0, KEY_READ, &key);
        if (rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND) return std::optional<HKEY>();
        if (rc != ERROR_SUCCESS) return unreadable(root, path, rc);
        return std::optional<HKEY>(key);
    }

    static Result<std::optional<RegValue>> queryOpen(HKEY key, RegRoot root, std::string_view path,
                                                     const std::wstring& name) {
        DWORD type = 0;
        DWORD size = 0;
        LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
        // The value may change between the calls; ask again while the room is too small.
        for (int attempt = 0; rc == ERROR_SUCCESS && attempt < 4; ++attempt) {
            std::vector<std::uint8_t> data(size);
            DWORD got = size;
            rc = RegQueryValueExW(key, name.c_str(), nullptr, &type,
                                  data.empty() ? nullptr : data.data(), &got);
            if (rc == ERROR_SUCCESS) {
                data.resize(got);
                auto bytes = interfaceData(type, std::move(data));
                if (!bytes) return noCp936(root, path, name);
                return RegValue{static_cast<RegType>(type), std::move(*bytes)};
            }
            if (rc == ERROR_MORE_DATA) {
                size = got;
                rc = ERROR_SUCCESS;
            }
        }
        if (rc == ERROR_FILE_NOT_FOUND) return std::optional<RegValue>();
        return unreadable(root, path, rc);
    }

    static Result<RegKeyContent> enumerate(HKEY key, RegRoot root, std::string_view path) {
        DWORD maxSubkey = 0, maxName = 0, maxData = 0;
        LONG rc = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &maxSubkey, nullptr,
                                   nullptr, &maxName, &maxData, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) return unreadable(root, path, rc);
        RegKeyContent content;
        // Room for the longest name and its zero; grown when a value changed meanwhile.
        std::vector<wchar_t> name(maxName + 1);
        std::vector<std::uint8_t> data(maxData);
        int grown = 0;
        for (DWORD index = 0;;) {
            DWORD nameLength = static_cast<DWORD>(name.size());
            DWORD dataLength = static_cast<DWORD>(data.size());
            DWORD type = 0;
            rc = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type,
                               data.empty() ? nullptr : data.data(), &dataLength);
            if (rc == ERROR_NO_MORE_ITEMS) break;
            if (rc == ERROR_MORE_DATA) {
                if (++grown > 8) return unreadable(root, path, rc);
                name.resize(name.size() * 2 + 256);
                data.resize(std::max<std::size_t>(data.size() * 2, dataLength) + 256);
                continue;
            }
            if (rc != ERROR_SUCCESS) return unreadable(root, path, rc);
            std::wstring_view wideName(name.data(), nameLength);
            auto valueName = wideToCp936(wideName);
            auto bytes = interfaceData(
                type, std::vector<std::uint8_t>(data.begin(), data.begin() + dataLength));
            if (!valueName || !bytes) return noCp936(root, path, wideName);
            content.values.push_back(
                {std::move(*valueName), RegValue{static_cast<RegType>(type), std::move(*bytes)}});
            ++index;
        }
        std::vector<wchar_t> subkey(maxSubkey + 1);
        for (DWORD index = 0;;) {
            DWORD length = static_cast<DWORD>(subkey.size());
            rc = RegEnumKeyExW(key, index, subkey.data(), &length, nullptr, nullptr, nullptr,
                               nullptr);
            if (rc == ERROR_NO_MORE_ITEMS) break;
            if (rc == ERROR_MORE_DATA) {
                if (++grown > 16) return unreadable(root, path, rc);
                subkey.resize(subkey.size() * 2 + 256);
                continue;
            }
            if (rc != ERROR_SUCCESS) return unreadable(root, path, rc);
            std::wstring_view wideName(subkey.data(), length);
            auto subkeyName = wideToCp936(wideName);
            if (!subkeyName) return noCp936(root, path, wideName);
            content.subkeys.push_back(std::move(*subkeyName));
            ++index;
        }
        return content;
    }
};

}  // namespace

std::unique_ptr<Registry> makeSystemRegistry() {
    return std::make_unique<WindowsRegistry>();
}

}  // namespace tessmar::platform
