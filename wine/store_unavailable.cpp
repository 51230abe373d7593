// The Windows test build has no SQLite, so the custom entry store is absent: every call says so.
// Only engine::apply's custom branch refers to it, and the Windows tests never take that branch.
#include "custom/store.h"

namespace tessmar::custom {
namespace {
constexpr const char* kAbsent = "本版本没有自定项目数据库";
}

Store::Store(std::filesystem::path file) : path_(std::move(file)) {}
bool Store::exists() const {
    return false;
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
