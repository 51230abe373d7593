#include "custom/fill.h"

#include <gtest/gtest.h>

namespace tessmar::custom {
namespace {

using Row = std::array<std::string, 3>;

TEST(FillCustom, MarksRowsByPosition) {
    auto list = fillCustom({"一", "", "三", "四", "五"}, std::string("101"));
    ASSERT_EQ(list.rows.size(), 6u);
    EXPECT_EQ(list.rows[0], (Row{"序号", kCustomTitle, "选取"}));
    EXPECT_EQ(list.rows[1], (Row{"1", "一", " √"}));
    EXPECT_EQ(list.rows[2], (Row{"2", "", " "}));  // an empty name still shows its number
    EXPECT_EQ(list.rows[3], (Row{"3", "三", " √"}));
    EXPECT_EQ(list.rows[5], (Row{"5", "五", " "}));
    EXPECT_EQ(list.flags, (std::vector<bool>{false, true, false, true, false, false}));
}

TEST(FillCustom, ExtraStoredCharactersAreIgnored) {
    auto list = fillCustom({"a", "b"}, std::string("  0111111 "));
    ASSERT_EQ(list.rows.size(), 3u);
    EXPECT_EQ(list.flags, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(list.rows[2][2], " √");

    for (const auto& stored : {settings::Field{}, settings::Field{"111"}}) {
        auto empty = fillCustom({}, stored);
        ASSERT_EQ(empty.rows.size(), 1u);
        EXPECT_EQ(empty.rows[0][1], "           自定功能（要设置的项目）           ");
        EXPECT_EQ(empty.flags.size(), 1u);
    }
}

}  // namespace
}  // namespace tessmar::custom
