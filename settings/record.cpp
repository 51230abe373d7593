#include "settings/record.h"

#include <string>

#include "platform/codepage.h"
#include "platform/files.h"

namespace tessmar::settings {
namespace {

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Steps over one line end at pos: CR LF, a lone LF or a lone CR.
std::size_t skipLineEnd(std::string_view text, std::size_t pos) {
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
    return pos;
}

}  // namespace

std::string trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

Result<std::string> formatRecord(const Record& record) {
    std::string out;
    for (std::size_t i = 0; i < record.size(); ++i) {
        if (i > 0) out += ',';
        const Field& f = record[i];
        if (!f) continue;
        if (f->find('"') != std::string::npos)
            return fail("第 " + std::to_string(i + 1) + " 项含有双引号（\"），无法保存");
        out += '"';
        out += *f;
        out += '"';
    }
    out += "\r\n";
    return out;
}

Result<Record> parseRecord(std::string_view text, std::size_t count) {
    Record record;
    record.reserve(count);
    std::size_t pos = 0;
    // A comma promises one more field even when the text ends right after it; the very first field
    // needs some text to stand on.
    bool afterComma = false;
    for (std::size_t k = 0; k < count; ++k) {
        while (pos < text.size() && text[pos] == ' ') ++pos;
        if (pos >= text.size() && !afterComma) {
            return fail("记录不完整：应有 " + std::to_string(count) + " 项，只读到 " +
                        std::to_string(k) + " 项");
        }
        afterComma = false;
        if (pos < text.size() && text[pos] == '"') {
            const auto close = text.find('"', pos + 1);
            if (close == std::string_view::npos)
                return fail("第 " + std::to_string(k + 1) + " 项的引号没有结束");
            record.emplace_back(std::string(text.substr(pos + 1, close - pos - 1)));
            pos = close + 1;
            while (pos < text.size() && text[pos] != ',' && !isLineEnd(text[pos])) ++pos;
        } else {
            const auto start = pos;
            while (pos < text.size() && text[pos] != ',' && !isLineEnd(text[pos])) ++pos;
            std::string run = trimBlanks(text.substr(start, pos - start));
            if (run.empty())
                record.emplace_back(std::nullopt);
            else
                record.emplace_back(std::move(run));
        }
        if (pos < text.size() && text[pos] == ',') {
            ++pos;
            afterComma = true;
        } else {
            pos = skipLineEnd(text, pos);
        }
    }
    return record;
}

bool RecordFile::exists() const {
    return platform::fileExists(path_);
}

Result<Record> readRecordFile(const std::filesystem::path& file, std::size_t count) {
    auto bytes = platform::readFile(file);
    if (!bytes) return std::unexpected(bytes.error());
    auto text = platform::fromCp936(*bytes);
    if (!text)
        return fail("文件 " + platform::pathText(file) + " 内容有误：" + text.error().message);
    auto record = parseRecord(*text, count);
    if (!record)
        return fail("文件 " + platform::pathText(file) + " 内容有误：" + record.error().message);
    return record;
}

Status writeRecordFile(const std::filesystem::path& file, const Record& record,
                       platform::Access access) {
    auto text = formatRecord(record);
    if (!text)
        return fail("无法写入文件 " + platform::pathText(file) + "：" + text.error().message);
    auto bytes = platform::toCp936(*text);
    if (!bytes)
        return fail("无法写入文件 " + platform::pathText(file) + "：" + bytes.error().message);
    return platform::writeFileAtomic(file, *bytes, access);
}

}  // namespace tessmar::settings
