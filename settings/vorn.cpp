#include "settings/vorn.h"

#include <algorithm>

#include "platform/codepage.h"
#include "platform/files.h"

namespace tessmar::settings {
namespace {

// Every write of vorn.ini: the record file's form, readable by the administrators alone, because
// field 3 holds the password in plain text.
Status writeSettings(const std::filesystem::path& file, const Record& record) {
    return writeRecordFile(file, record, platform::Access::AdministratorsOnly);
}

}  // namespace

Field& field(Record& record, int number) {
    const auto index = static_cast<std::size_t>(number < 1 ? 1 : number) - 1;
    if (record.size() <= index) record.resize(index + 1);
    return record[index];
}

const Field& field(const Record& record, int number) {
    static const Field unset;
    if (number < 1 || record.size() < static_cast<std::size_t>(number)) return unset;
    return record[static_cast<std::size_t>(number) - 1];
}

Status SettingsFile::createForGate(std::string_view windir) const {
    return writeSettings(path(), {std::string(), std::string(windir), std::nullopt, std::nullopt,
                                  std::nullopt, std::string(), std::nullopt});
}

Status SettingsFile::createForChecklist(std::string_view windir) const {
    return writeSettings(path(), {std::nullopt, std::string(windir), std::nullopt, std::nullopt,
                                  std::nullopt, std::nullopt, std::nullopt});
}

Result<Record> SettingsFile::read(std::size_t count) const {
    return readRecordFile(path(), count);
}

Status SettingsFile::write(const Record& record) const {
    Record full(record.begin(), record.begin() + static_cast<std::ptrdiff_t>(
                                                     std::min(record.size(), kSettingsFieldCount)));
    full.resize(kSettingsFieldCount);
    return writeSettings(path(), full);
}

Status SettingsFile::changePassword(std::string_view password) const {
    std::string trimmed = trimBlanks(password);
    if (trimmed.find('"') != std::string::npos) return fail("密码中不能含有双引号（\"）");
    if (!platform::fitsCp936(trimmed)) return fail("密码中含有无法保存的字符，请换用其他字符");

    auto record = read(kSettingsFieldCount);
    if (!record) return std::unexpected(record.error());
    field(*record, kFieldPassword) = std::move(trimmed);
    Field& custom = field(*record, kFieldCustom);
    if (!custom) custom = std::string();
    return write(*record);
}

bool passwordMatches(const Record& record, std::string_view typed) {
    const Field& stored = field(record, kFieldPassword);
    return trimBlanks(stored.value_or(std::string())) == trimBlanks(typed);
}

}  // namespace tessmar::settings
