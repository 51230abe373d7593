// The registry stand-in on a large registry.reg: one group that rewrites each of 5,000 values, as
// an apply pass over a crowded registry does. The figure to watch: well under a second per pass.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/files.h"
#include "platform/registry.h"

namespace {
namespace fs = std::filesystem;
using tessmar::platform::RegRoot;
using tessmar::platform::RegType;

constexpr int kKeys = 100;
constexpr int kValuesPerKey = 50;

bool setAll(tessmar::platform::Registry& reg, const char* keyPrefix, const char* valuePrefix,
            std::uint8_t datum) {
    reg.beginGroup();
    for (int k = 0; k < kKeys; ++k) {
        auto key = reg.createKey(RegRoot::CurrentUser, keyPrefix + std::to_string(k));
        if (!key) return false;
        for (int v = 0; v < kValuesPerKey; ++v)
            if (!reg.setValue(*key, valuePrefix + std::to_string(v), RegType::Dword,
                              {static_cast<std::uint8_t>(v + datum), 0, 0, 0}))
                return false;
        reg.closeKey(*key);
    }
    return reg.endGroup().has_value();
}

void BM_GroupRewrites5000Values(benchmark::State& state) {
    std::string pattern = (fs::temp_directory_path() / "tessmar-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        state.SkipWithError("the folder could not be made");
        return;
    }
    const fs::path dir = pattern;
    const fs::path file = dir / "registry.reg";
    {
        auto seed = tessmar::platform::makeFileRegistry(file);
        if (!setAll(*seed, "Software\\Key", "Value", 0)) state.SkipWithError("no seed file");
    }
    std::uint8_t round = 0;
    for (auto _ : state) {
        // A fresh reader each pass, as each apply pass has; the letter case differs from the
        // file's.
        auto reg = tessmar::platform::makeFileRegistry(file);
        if (!setAll(*reg, "software\\key", "value", ++round)) {
            state.SkipWithError("the group did not complete");
            break;
        }
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
}

}  // namespace

BENCHMARK(BM_GroupRewrites5000Values)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
