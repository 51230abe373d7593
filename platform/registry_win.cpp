// The registry of this Windows system, through advapi32's narrow-character functions.
#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/codepage.h"
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

// The narrow functions take zero-terminated names; a name with a zero byte inside would silently
// reach the registry cut short.
bool holdsZero(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

// Names arrive as code page 936 bytes; messages are UTF-8.
std::string shown(std::string_view name) {
    auto text = fromCp936(name);
    return text ? *text : std::string("(无法显示的名称)");
}

std::string keyText(RegRoot root, std::string_view path) {
    std::string text = rootName(root);
    if (!path.empty()) text += "\\" + shown(path);
    return text;
}

std::string codeText(LONG code) {
    return " (错误代码 " + std::to_string(code) + ")";
}

class WindowsRegistry : public Registry {
  public:
    Result<Key> createKey(RegRoot root, std::string_view path) override {
        HKEY base = rootHandle(root);
        if (!base) return fail("无效的注册表根键");
        if (holdsZero(path)) return fail("注册表项名称中含有空字符");
        HKEY key = nullptr;
        LONG rc = RegCreateKeyA(base, std::string(path).c_str(), &key);
        if (rc != ERROR_SUCCESS || !key)
            return fail("无法打开或建立注册表项 " + keyText(root, path) + codeText(rc));
        return reinterpret_cast<Key>(key);
    }

    Status setValue(Key key, std::string_view name, RegType type,
                    const std::vector<std::uint8_t>& data) override {
        if (key == kNoKey) return fail("注册表项没有打开，无法写入值");
        if (holdsZero(name)) return fail("注册表值名称中含有空字符");
        LONG rc =
            RegSetValueExA(handleOf(key), std::string(name).c_str(), 0, static_cast<DWORD>(type),
                           data.empty() ? nullptr : data.data(), static_cast<DWORD>(data.size()));
        if (rc != ERROR_SUCCESS) return fail("无法写入注册表值" + codeText(rc));
        return {};
    }

    Status deleteKey(Key key, std::string_view subkey) override {
        if (key == kNoKey) return fail("注册表项没有打开，无法删除子项");
        // RegDeleteKeyA given no name deletes the open key itself, which is not what was asked.
        if (subkey.empty()) return fail("没有指定要删除的子项");
        if (holdsZero(subkey)) return fail("子项名称中含有空字符");
        LONG rc = RegDeleteKeyA(handleOf(key), std::string(subkey).c_str());
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
        if (holdsZero(name)) return fail("注册表值名称中含有空字符");
        LONG rc = RegDeleteValueA(handleOf(key), std::string(name).c_str());
        if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) return {};
        return fail("无法删除注册表值 " + shown(name) + codeText(rc));
    }

    Result<std::optional<RegValue>> readValue(RegRoot root, std::string_view path,
                                              std::string_view name) override {
        auto opened = openForReading(root, path);
        if (!opened) return std::unexpected(opened.error());
        if (!*opened) return std::optional<RegValue>();
        HKEY key = **opened;
        auto value = queryOpen(key, root, path, std::string(name));
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
        HKEY base = rootHandle(root);
        if (!base || holdsZero(path) || holdsZero(name)) return std::nullopt;
        HKEY key = nullptr;
        if (RegOpenKeyExA(base, std::string(path).c_str(), 0, KEY_QUERY_VALUE, &key) !=
            ERROR_SUCCESS)
            return std::nullopt;
        std::string valueName(name);
        std::optional<RegValue> result;
        DWORD type = 0;
        DWORD size = 0;
        LONG rc = RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size);
        // The value may change between the two calls; ask again while the room is too small.
        for (int attempt = 0; rc == ERROR_SUCCESS && attempt < 4; ++attempt) {
            std::vector<std::uint8_t> data(size);
            DWORD got = size;
            rc = RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                                  data.empty() ? nullptr : data.data(), &got);
            if (rc == ERROR_SUCCESS) {
                data.resize(got);
                result = RegValue{static_cast<RegType>(type), std::move(data)};
                break;
            }
            if (rc == ERROR_MORE_DATA) {
                size = got;
                rc = ERROR_SUCCESS;
            }
        }
        RegCloseKey(key);
        return result;
    }

    bool keyExists(RegRoot root, std::string_view path) override {
        HKEY base = rootHandle(root);
        if (!base || holdsZero(path)) return false;
        HKEY key = nullptr;
        if (RegOpenKeyExA(base, std::string(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

  private:
    // The open key, or nullopt when it does not exist.
    static Result<std::optional<HKEY>> openForReading(RegRoot root, std::string_view path) {
        HKEY base = rootHandle(root);
        if (!base) return fail("无效的注册表根键");
        if (holdsZero(path)) return std::optional<HKEY>();
        HKEY key = nullptr;
        LONG rc = RegOpenKeyExA(base, std::string(path).c_str(), 0, KEY_READ, &key);
        if (rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND) return std::optional<HKEY>();
        if (rc != ERROR_SUCCESS) return unreadable(root, path, rc);
        return std::optional<HKEY>(key);
    }

    static std::unexpected<Error> unreadable(RegRoot root, std::string_view path, LONG rc) {
        return fail("无法读取注册表项 " + keyText(root, path) + codeText(rc));
    }

    static Result<std::optional<RegValue>> queryOpen(HKEY key, RegRoot root, std::string_view path,
                                                     const std::string& name) {
        DWORD type = 0;
        DWORD size = 0;
        LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
        // The value may change between the calls; ask again while the room is too small.
        for (int attempt = 0; rc == ERROR_SUCCESS && attempt < 4; ++attempt) {
            std::vector<std::uint8_t> data(size);
            DWORD got = size;
            rc = RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                  data.empty() ? nullptr : data.data(), &got);
            if (rc == ERROR_SUCCESS) {
                data.resize(got);
                return RegValue{static_cast<RegType>(type), std::move(data)};
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
        DWORD subkeyCount = 0, maxSubkey = 0, valueCount = 0, maxName = 0, maxData = 0;
        LONG rc = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeyCount, &maxSubkey,
                                   nullptr, &valueCount, &maxName, &maxData, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) return unreadable(root, path, rc);
        RegKeyContent content;
        // Room for the longest name and its zero; grown when a value changed meanwhile.
        std::vector<char> name(maxName + 1);
        std::vector<std::uint8_t> data(maxData);
        int grown = 0;
        for (DWORD index = 0;;) {
            DWORD nameLength = static_cast<DWORD>(name.size());
            DWORD dataLength = static_cast<DWORD>(data.size());
            DWORD type = 0;
            rc = RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type,
                               data.empty() ? nullptr : data.data(), &dataLength);
            if (rc == ERROR_NO_MORE_ITEMS) break;
            if (rc == ERROR_MORE_DATA) {
                if (++grown > 8) return unreadable(root, path, rc);
                name.resize(name.size() * 2 + 256);
                data.resize(std::max<std::size_t>(data.size() * 2, dataLength) + 256);
                continue;
            }
            if (rc != ERROR_SUCCESS) return unreadable(root, path, rc);
            content.values.push_back(
                {std::string(name.data(), nameLength),
                 RegValue{static_cast<RegType>(type),
                          std::vector<std::uint8_t>(data.begin(), data.begin() + dataLength)}});
            ++index;
        }
        std::vector<char> subkey(maxSubkey + 1);
        for (DWORD index = 0;;) {
            DWORD length = static_cast<DWORD>(subkey.size());
            rc = RegEnumKeyExA(key, index, subkey.data(), &length, nullptr, nullptr, nullptr,
                               nullptr);
            if (rc == ERROR_NO_MORE_ITEMS) break;
            if (rc == ERROR_MORE_DATA) {
                if (++grown > 16) return unreadable(root, path, rc);
                subkey.resize(subkey.size() * 2 + 256);
                continue;
            }
            if (rc != ERROR_SUCCESS) return unreadable(root, path, rc);
            content.subkeys.emplace_back(subkey.data(), length);
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
