#include "support.h"

#include <stdlib.h>

#include <string>
#include <system_error>

namespace tessmar::fuzz {
namespace fs = std::filesystem;

std::vector<std::string_view> pieces(std::string_view text) {
    std::vector<std::string_view> out;
    while (true) {
        auto zero = text.find('\0');
        out.push_back(text.substr(0, zero));
        if (zero == std::string_view::npos) return out;
        text.remove_prefix(zero + 1);
    }
}

namespace {
fs::path made;
void removeScratch() {
    std::error_code ec;
    if (!made.empty()) fs::remove_all(made, ec);
}
}  // namespace

const fs::path& scratchDir() {
    if (made.empty()) {
        std::error_code ec;
        fs::path base =
            fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / "tessmar-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        made = pattern;
        std::atexit(removeScratch);
    }
    return made;
}

}  // namespace tessmar::fuzz
