// A history record of the apply passes, as any bytes in the history folder may hold: it is read
// or refused, the list agrees with the reader, and a record that reads can be restored onto the
// registry stand-in without harm.
#include <fstream>

#include "engine/history.h"
#include "platform/registry.h"
#include "support.h"

using namespace tessmar;
namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path& dir = fuzz::scratchDir();
    const fs::path folder = dir / engine::kHistoryDirName;
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::remove(dir / "registry.reg", ec);
    fs::create_directories(folder, ec);
    const fs::path file = folder / "20261208-090531-001-1.reg";
    {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        FUZZ_CHECK(out.good());
    }

    auto record = engine::readHistory(file);
    auto list = engine::listHistory(dir);
    FUZZ_CHECK(list.has_value() && list->size() == 1);
    FUZZ_CHECK(list->front().problem.empty() == record.has_value());
    if (!record) {
        FUZZ_CHECK(!record.error().message.empty());
        return 0;
    }
    FUZZ_CHECK(record->entry.category >= 0 && record->entry.category <= 4);

    auto registry = platform::makeFileRegistry(dir / "registry.reg");
    (void)engine::restore(dir, *registry, file);
    return 0;
}
