#include "settings/selection.h"

#include <gtest/gtest.h>

namespace tessmar::settings {
namespace {

std::vector<bool> chosen(std::size_t n, std::initializer_list<std::size_t> rows) {
    std::vector<bool> flags(n + 1, false);
    for (auto r : rows) flags[r] = true;
    return flags;
}

TEST(Selection, ParsesStoredStrings) {
    struct Case {
        Field stored;
        std::size_t n;
        std::vector<bool> flags;
    };
    const Case cases[] = {
        {"1010000", 7, chosen(7, {1, 3})},
        {"1" + std::string(18, '0') + "1" + "11111", 20, chosen(20, {1, 20})},
        {std::nullopt, 5, chosen(5, {})},
        {"", 5, chosen(5, {})},
        {"  11  ", 3, chosen(3, {1, 2})},
        {"1x1 1", 5, chosen(5, {1, 3, 5})},
        {"101", 5, chosen(5, {1, 3})},
        {"111", 0, chosen(0, {})},
        {"2-1", 3, chosen(3, {3})},
        // Positions count characters: a hand-edited Chinese character is one position.
        {"是1", 4, chosen(4, {2})},
        {"√√1√1", 5, chosen(5, {3, 5})},
    };
    for (const auto& c : cases) {
        auto flags = parseSelection(c.stored, c.n);
        EXPECT_EQ(flags, c.flags) << c.stored.value_or("(unset)");
    }
}

TEST(Selection, BuildsOneCharacterPerRow) {
    EXPECT_EQ(buildSelection(chosen(7, {1, 3}), 7), "1010000");
    EXPECT_EQ(buildSelection(chosen(20, {1, 20}), 20), "1" + std::string(18, '0') + "1");
    EXPECT_EQ(buildSelection({}, 0), "");
    // Flags shorter than n count as not chosen.
    EXPECT_EQ(buildSelection(chosen(2, {2}), 4), "0100");
    for (const char* s : {"00000", "10101", "11111"})
        EXPECT_EQ(buildSelection(parseSelection(std::string(s), 5), 5), s);
}

TEST(Selection, ChecklistMarksAgreeWithFlags) {
    const std::vector<std::string> captions{"一", "", "三", "四", "五"};
    auto list = makeChecklist("自定功能", captions, std::string("101"));
    ASSERT_EQ(list.rows.size(), 6u);
    ASSERT_EQ(list.flags.size(), 6u);
    EXPECT_EQ(list.rows[0], (std::array<std::string, 3>{"序号", "自定功能", "选取"}));
    EXPECT_EQ(list.rows[1], (std::array<std::string, 3>{"1", "一", " √"}));
    EXPECT_EQ(list.rows[2], (std::array<std::string, 3>{"2", "", " "}));
    EXPECT_EQ(list.rows[3][2], " √");
    EXPECT_EQ(list.rows[5][0], "5");
    for (std::size_t i = 1; i < list.rows.size(); ++i)
        EXPECT_EQ(list.flags[i], list.rows[i][2] == kMark) << i;
    EXPECT_EQ(list.flags, chosen(5, {1, 3}));

    auto empty = makeChecklist("t", {}, std::string("111"));
    ASSERT_EQ(empty.rows.size(), 1u);
    EXPECT_EQ(empty.flags.size(), 1u);
}

}  // namespace
}  // namespace tessmar::settings
