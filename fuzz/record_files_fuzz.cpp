// The readers of vorn.ini, drives.ini and logo.ini on any bytes (the first byte picks the file):
// they read or refuse without harm, and what they read survives their own write and a second read.
#include <fstream>

#include "platform/codepage.h"
#include "settings/sidefiles.h"
#include "settings/vorn.h"
#include "support.h"

using namespace tessmar;
using namespace tessmar::settings;

namespace {

void put(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good());
}

bool storable(const Field& f) {
    return !f || (f->find('"') == std::string::npos && platform::fitsCp936(*f));
}

void settingsFile(const SettingsFile& file) {
    auto record = file.read();
    auto gate = file.read(kGateFieldCount);
    if (!record) {
        // The gate reads fewer fields, so it may still succeed; the reverse may not happen.
        return;
    }
    FUZZ_CHECK(record->size() == kSettingsFieldCount);
    FUZZ_CHECK(gate && std::equal(gate->begin(), gate->end(), record->begin()));
    (void)passwordMatches(*record, "");

    bool canWrite = true;
    for (const auto& f : *record) canWrite = canWrite && storable(f);
    auto written = file.write(*record);
    FUZZ_CHECK(written.has_value() == canWrite);
    if (!written) return;
    auto again = file.read();
    FUZZ_CHECK(again && *again == *record);
}

void drivesFile(const DrivesFile& file) {
    auto record = file.read();
    if (!record) return;
    const DriveFlags flags = parseDriveSelection(record->selection);
    (void)parseMaskText(record->maskText);
    FUZZ_CHECK(file.write(flags).has_value());
    auto again = file.read();
    FUZZ_CHECK(again && again->selection == driveSelection(flags));
    FUZZ_CHECK(parseMaskText(again->maskText) == driveMask(flags));
    FUZZ_CHECK(parseDriveSelection(again->selection) == flags);
}

void noticeFile(const NoticeFile& file) {
    auto notice = file.read();
    if (!notice) return;
    const bool canWrite = storable(notice->title) && storable(notice->text);
    auto written = file.write(notice->title, notice->text);
    FUZZ_CHECK(written.has_value() == canWrite);
    if (!written) return;
    auto again = file.read();
    FUZZ_CHECK(again && again->title == trimBlanks(notice->title) &&
               again->text == trimBlanks(notice->text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto& dir = fuzz::scratchDir();
    const auto bytes = fuzz::text(data + 1, size - 1);
    switch (data[0] % 3) {
        case 0:
            put(dir / kSettingsFileName, bytes);
            settingsFile(SettingsFile(dir));
            break;
        case 1:
            put(dir / kDrivesFileName, bytes);
            drivesFile(DrivesFile(dir));
            break;
        default:
            put(dir / kNoticeFileName, bytes);
            noticeFile(NoticeFile(dir));
            break;
    }
    return 0;
}
