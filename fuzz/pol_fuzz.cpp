// Registry.pol, read when a policy that already exists is merged: any bytes are read or refused,
// and records read, written and read again are the same records.
#include "gpo/preg.h"
#include "support.h"

using namespace tessmar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto records = gpo::decodePol(fuzz::text(data, size));
    if (!records) {
        FUZZ_CHECK(!records.error().message.empty());
        return 0;
    }
    auto bytes = gpo::encodePol(*records);
    FUZZ_CHECK(bytes.has_value());
    auto again = gpo::decodePol(*bytes);
    FUZZ_CHECK(again.has_value() && *again == *records);
    // The written form is canonical: writing what it gives back changes nothing.
    auto twice = gpo::encodePol(*again);
    FUZZ_CHECK(twice && *twice == *bytes);
    return 0;
}
