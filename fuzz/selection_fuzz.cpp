// The selection strings: the drive selection, the drive mask text and the checklist selection
// strings, held against the plain rules they follow.
#include "settings/selection.h"
#include "settings/sidefiles.h"
#include "support.h"

using namespace tessmar;
using namespace tessmar::settings;

namespace {

// Positions count characters: the first byte of each character, continuation bytes skipped.
std::string firstBytes(std::string_view text) {
    std::string firsts;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) firsts += c;
    return firsts;
}

void driveSelectionRules(std::string_view text) {
    const DriveFlags flags = parseDriveSelection(text);
    const std::string firsts = firstBytes(trimBlanks(text));
    std::uint32_t mask = 0;
    for (int i = 0; i < kDriveCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        FUZZ_CHECK(flags[at] == (at < firsts.size() && firsts[at] == '1'));
        if (flags[at]) mask |= 1u << i;
    }
    const std::string stored = driveSelection(flags);
    FUZZ_CHECK(stored.size() == kDriveCount);
    FUZZ_CHECK(parseDriveSelection(stored) == flags);
    FUZZ_CHECK(driveMask(flags) == mask);
    FUZZ_CHECK(parseMaskText(maskText(mask)) == mask);
}

// Leading blanks skipped, then the decimal digits; too large a number is no mask at all.
void maskTextRules(std::string_view text) {
    std::size_t pos = text.find_first_not_of(' ');
    std::optional<std::uint64_t> expected = 0;
    for (;
         pos != std::string_view::npos && pos < text.size() && text[pos] >= '0' && text[pos] <= '9';
         ++pos) {
        if (expected) *expected = *expected * 10 + static_cast<std::uint64_t>(text[pos] - '0');
        if (expected && *expected > 0xFFFFFFFFu) expected.reset();
    }
    const auto parsed = parseMaskText(text);
    FUZZ_CHECK(parsed.has_value() == expected.has_value());
    FUZZ_CHECK(!parsed || *parsed == *expected);
}

void checklistSelectionRules(std::string_view text, std::size_t n) {
    const Field stored = std::string(text);
    const auto flags = parseSelection(stored, n);
    FUZZ_CHECK(flags.size() == n + 1);
    const std::string firsts = firstBytes(trimBlanks(text));
    for (std::size_t i = 1; i <= n; ++i)
        FUZZ_CHECK(flags[i] == (i <= firsts.size() && firsts[i - 1] == '1'));
    const std::string built = buildSelection(flags, n);
    FUZZ_CHECK(built.size() == n);
    FUZZ_CHECK(built.find_first_not_of("01") == std::string::npos);
    FUZZ_CHECK(parseSelection(built, n) == flags);
    FUZZ_CHECK(parseSelection(std::nullopt, n) == std::vector<bool>(n + 1, false));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto text = fuzz::text(data + 1, size - 1);
    driveSelectionRules(text);
    maskTextRules(text);
    checklistSelectionRules(text, data[0]);
    return 0;
}
