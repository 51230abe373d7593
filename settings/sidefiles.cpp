#include "settings/sidefiles.h"

#include <charconv>

#include "platform/codepage.h"
#include "settings/selection.h"

namespace tessmar::settings {

std::string driveSelection(const DriveFlags& hide) {
    std::string s;
    for (bool h : hide) s += h ? '1' : '0';
    return s;
}

std::uint32_t driveMask(const DriveFlags& hide) {
    std::uint32_t mask = 0;
    for (int i = 0; i < kDriveCount; ++i)
        if (hide[static_cast<std::size_t>(i)]) mask |= std::uint32_t{1} << i;
    return mask;
}

std::string maskText(std::uint32_t mask) {
    return " " + std::to_string(mask);
}

DriveFlags parseDriveSelection(std::string_view selection) {
    const std::vector<bool> ones = onesAt(trimBlanks(selection), kDriveCount);
    DriveFlags hide{};
    for (std::size_t i = 0; i < hide.size(); ++i) hide[i] = ones[i + 1];
    return hide;
}

std::optional<std::uint32_t> parseMaskText(std::string_view text) {
    const auto start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return 0u;
    std::uint32_t value = 0;
    const char* first = text.data() + start;
    const auto [end, ec] = std::from_chars(first, text.data() + text.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) return std::nullopt;
    if (ec != std::errc()) return 0u;
    return value;
}

Status DrivesFile::makeDefault() const {
    return writeRecordFile(path(), {std::string(kDriveCount, '0'), std::string()});
}

Result<DrivesRecord> DrivesFile::read() const {
    auto record = readRecordFile(path(), 2);
    if (!record) return std::unexpected(record.error());
    return DrivesRecord{(*record)[0].value_or(std::string()), (*record)[1].value_or(std::string())};
}

Status DrivesFile::write(const DriveFlags& hide) const {
    return writeRecordFile(path(), {driveSelection(hide), maskText(driveMask(hide))});
}

Status NoticeFile::makeDefault() const {
    return writeRecordFile(path(), {std::nullopt, std::string()});
}

Result<Notice> NoticeFile::read() const {
    auto record = readRecordFile(path(), 2);
    if (!record) return std::unexpected(record.error());
    return Notice{(*record)[0].value_or(std::string()), (*record)[1].value_or(std::string())};
}

Status NoticeFile::write(std::string_view title, std::string_view text) const {
    std::string t = trimBlanks(title);
    std::string x = trimBlanks(text);
    if (t.find('"') != std::string::npos || x.find('"') != std::string::npos)
        return fail("标题和内容中不能含有双引号（\"），请改用其他符号");
    if (!platform::fitsCp936(t) || !platform::fitsCp936(x))
        return fail("标题或内容中含有无法保存的字符，请换用其他字符");
    return writeRecordFile(path(), {std::move(t), std::move(x)});
}

}  // namespace tessmar::settings
