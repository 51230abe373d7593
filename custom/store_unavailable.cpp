// A build without SQLite (the Windows cross build of the core) has no custom entry store: every
// call says so, and the apply pass reports the custom category as unavailable.
#include "custom/store.h"
#include "platform/files.h"

namespace tessmar::custom {
namespace {
constexpr const char* kAbsent = "本版本没有自定项目数据库";
}

Store::Store(std::filesystem::path file) : path_(std::move(file)) {}
// The file is there or not as anywhere else; only opening it is what this build cannot do.
bool Store::exists() const {
    return platform::fileExists(path_);
}
Result<std::vector<std::string>> Store::listNames() const {
    return fail(kAbsent);
}
Result<std::size_t> Store::count() const {
    return fail(kAbsent);
}
Result<Entry> Store::readAt(std::size_t) const {
    return fail(kAbsent);
}
Result<bool> Store::nameExists(std::string_view) const {
    return fail(kAbsent);
}
Status Store::append(const Entry&) const {
    return fail(kAbsent);
}
Status Store::changeAt(std::size_t, const Entry&) const {
    return fail(kAbsent);
}
Status Store::deleteAt(std::size_t) const {
    return fail(kAbsent);
}
Result<std::vector<Entry>> Store::walk(std::size_t) const {
    return fail(kAbsent);
}

}  // namespace tessmar::custom
