// The sequential record format: any text either reads or is refused, and what was read, written and
// read again is the same record; any fields written read back as they were.
#include <algorithm>

#include "settings/record.h"
#include "support.h"

using namespace tessmar;
using settings::Record;

namespace {

bool holdsQuote(const Record& record) {
    return std::any_of(record.begin(), record.end(), [](const settings::Field& f) {
        return f && f->find('"') != std::string::npos;
    });
}

void readWriteRead(std::string_view text, std::size_t count) {
    auto record = settings::parseRecord(text, count);
    if (!record) {
        FUZZ_CHECK(!record.error().message.empty());
        return;
    }
    FUZZ_CHECK(record->size() == count);
    auto written = settings::formatRecord(*record);
    if (!written) {
        // Only a quote inside an unquoted run cannot be written back.
        FUZZ_CHECK(holdsQuote(*record));
        return;
    }
    auto again = settings::parseRecord(*written, count);
    FUZZ_CHECK(again && *again == *record);
}

// Byte 1 alone stands for an unset field; every other piece is a text field.
void writeRead(std::string_view text) {
    Record record;
    for (auto piece : fuzz::pieces(text)) {
        if (piece == "\x01")
            record.emplace_back(std::nullopt);
        else
            record.emplace_back(std::string(piece));
    }
    auto written = settings::formatRecord(record);
    if (!written) {
        FUZZ_CHECK(holdsQuote(record));
        return;
    }
    FUZZ_CHECK(written->size() >= 2 && written->substr(written->size() - 2) == "\r\n");
    auto back = settings::parseRecord(*written, record.size());
    FUZZ_CHECK(back && *back == record);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t count = data[0] % 9;
    const auto rest = fuzz::text(data + 1, size - 1);
    readWriteRead(rest, count);
    writeRead(rest);
    return 0;
}
