// The REGEDIT4 reader of the registry stand-in: any bytes are read or refused, and a registry read,
// written and read again is the same registry (its text the same, byte for byte).
#include "platform/registry_text.h"
#include "support.h"

using namespace tessmar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto written = platform::rewrittenRegistryText(fuzz::text(data, size));
    if (!written) {
        FUZZ_CHECK(!written.error().message.empty());
        return 0;
    }
    FUZZ_CHECK(written->starts_with("REGEDIT4\r\n\r\n"));
    auto again = platform::rewrittenRegistryText(*written);
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(*again == *written);
    return 0;
}
