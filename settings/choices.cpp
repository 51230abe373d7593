#include "settings/choices.h"

#include <algorithm>
#include <system_error>

#include "platform/codepage.h"
#include "platform/files.h"

namespace tessmar::settings {

Result<std::vector<TargetChoices>> ChoicesFile::read() const {
    std::vector<TargetChoices> out;
    std::error_code ec;
    if (!std::filesystem::exists(path(), ec)) return out;
    auto bytes = platform::readFile(path());
    if (!bytes) return std::unexpected(bytes.error());
    auto text = platform::fromCp936(*bytes);
    auto damaged = [&](const std::string& why) {
        return fail("文件 " + platform::pathText(path()) + " 内容有误：" + why);
    };
    if (!text) return damaged(text.error().message);
    std::string_view rest(*text);
    for (std::size_t line = 1; !rest.empty(); ++line) {
        const std::size_t end = rest.find_first_of("\r\n");
        const std::string_view one = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (one.find_first_not_of(' ') == std::string_view::npos) continue;
        auto record = parseRecord(one, kChoicesFieldCount);
        if (!record) return damaged("第 " + std::to_string(line) + " 行" + record.error().message);
        if (!(*record)[0] || (*record)[0]->empty())
            return damaged("第 " + std::to_string(line) + " 行没有账户");
        TargetChoices choices{*(*record)[0], (*record)[1].value_or(""), {}};
        for (std::size_t i = 0; i < 5; ++i) choices.selections[i] = (*record)[2 + i];
        out.push_back(std::move(choices));
    }
    return out;
}

Result<Field> ChoicesFile::selection(std::string_view key, int category) const {
    auto all = read();
    if (!all) return std::unexpected(all.error());
    if (category < 0 || category > 4) return Field();
    for (const auto& c : *all)
        if (c.key == key) return c.selections[static_cast<std::size_t>(category)];
    return Field();
}

Status ChoicesFile::store(std::string_view key, std::string_view name, int category,
                          std::string_view selection) const {
    if (category < 0 || category > 4) return fail("类别无效，设置没有记录");
    auto all = read();
    if (!all) return std::unexpected(all.error());
    auto found = std::find_if(all->begin(), all->end(),
                              [&](const TargetChoices& c) { return c.key == key; });
    if (found == all->end()) {
        all->push_back({std::string(key), std::string(name), {}});
        found = all->end() - 1;
    }
    found->name = std::string(name);
    found->selections[static_cast<std::size_t>(category)] = std::string(selection);
    std::string text;
    for (const auto& c : *all) {
        Record record{c.key, c.name};
        record.insert(record.end(), c.selections.begin(), c.selections.end());
        auto line = formatRecord(record);
        if (!line)
            return fail("无法写入文件 " + platform::pathText(path()) + "：" + line.error().message);
        text += *line;
    }
    auto bytes = platform::toCp936(text);
    if (!bytes)
        return fail("无法写入文件 " + platform::pathText(path()) + "：" + bytes.error().message);
    return platform::writeFileAtomic(path(), *bytes, platform::Access::AdministratorsOnly);
}

}  // namespace tessmar::settings
