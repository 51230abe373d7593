// One REGEDIT4 value line, as the history records and the stand-in share it: any line is read or
// refused, and a value read, written as a line and read again is the same value.
#include <string>

#include "platform/regedit4.h"
#include "support.h"

using namespace tessmar;

namespace {

// The written line with its continuation lines joined, as the readers join them.
std::string joined(const std::string& line) {
    std::string out;
    std::size_t start = 0;
    while (start < line.size()) {
        std::size_t end = line.find("\r\n", start);
        if (end == std::string::npos) end = line.size();
        std::string_view part(line.data() + start, end - start);
        if (!out.empty())
            while (!part.empty() && (part.front() == ' ' || part.front() == '\t'))
                part.remove_prefix(1);
        out.append(part);
        start = end + 2;
        if (!out.empty() && out.back() == '\\')
            out.pop_back();
        else
            break;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The readers hand over single lines: a file's line never holds a line feed.
    const auto line = fuzz::text(data, size);
    if (line.find('\n') != std::string_view::npos) return 0;
    auto parsed = platform::regedit4::parseValueLine(line);
    if (!parsed) return 0;
    const std::string written = parsed->value
                                    ? platform::regedit4::valueLine(parsed->name, *parsed->value)
                                    : platform::regedit4::deletionLine(parsed->name);
    FUZZ_CHECK(written.size() >= 2 && written.substr(written.size() - 2) == "\r\n");
    auto again = platform::regedit4::parseValueLine(joined(written));
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(again->name == parsed->name);
    FUZZ_CHECK(again->value == parsed->value);
    return 0;
}
