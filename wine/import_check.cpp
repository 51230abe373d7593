// After the registry editor has imported a stand-in registry.reg into a fresh prefix: every key of
// the file is there, and every value with the same type and bytes.
#include <windows.h>

#include "check.h"
#include "support.h"

using namespace tessmar;
using namespace tessmar::winetest;

WINE_TEST(EveryKeyAndValueOfTheFileArrived) {
    REQUIRE(arguments().size() == 1);
    auto parsed = readRegedit4(arguments()[0]);
    if (!CHECK(parsed.has_value())) {
        std::printf("    %s\n", parsed.error().message.c_str());
        return;
    }
    std::size_t values = 0;
    for (const auto& [root, snap] : *parsed) {
        for (const auto& [folded, key] : snap) {
            std::string where = std::string(platform::rootName(root)) + "\\" + shown(key.path);
            if (!CHECK(keyPresent(hkeyOf(root), key.path))) {
                std::printf("    missing key %s\n", where.c_str());
                continue;
            }
            for (const auto& [name, value] : key.values) {
                ++values;
                if (!CHECK_EQ(readValue(hkeyOf(root), key.path, value.name),
                              std::optional(value.value)))
                    std::printf("    at %s \"%s\"\n", where.c_str(), shown(value.name).c_str());
            }
        }
    }
    // The file the conformance program leaves holds the whole sequence, not a handful of values.
    CHECK(values > 50);
}
