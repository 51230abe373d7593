#pragma once
// What every fuzz target shares: a check that stops the run with the broken property, and a
// scratch folder for the readers that work on files.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <vector>

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

namespace tessmar::fuzz {

inline std::string_view text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The pieces of text between zero bytes, so that one input can carry several strings.
std::vector<std::string_view> pieces(std::string_view text);

// A folder of this process's own, on a memory file system when there is one (the readers write
// and rewrite their files on every input), removed when the process ends.
const std::filesystem::path& scratchDir();

}  // namespace tessmar::fuzz
