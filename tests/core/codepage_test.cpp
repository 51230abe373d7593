#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace tessmar::platform {
namespace {

TEST(Codepage, ChineseTextRoundTripsThroughItsCp936Bytes) {
    struct Case {
        std::string utf8, cp936;
    };
    const std::vector<Case> cases{
        {"", ""},
        {"abc, \"x\"\r\n", "abc, \"x\"\r\n"},
        {"中文", "\xd6\xd0\xce\xc4"},
        {" √", " \xa1\xcc"},
        {"系统提示:", "\xcf\xb5\xcd\xb3\xcc\xe1\xca\xbe:"},
        {"丄乗", "\x81\x41\x81\x5c"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(toCp936(c.utf8).value(), c.cp936);
        EXPECT_EQ(fromCp936(c.cp936).value(), c.utf8);
        EXPECT_TRUE(fitsCp936(c.utf8));
    }
}

TEST(Codepage, WhatTheOtherSideCannotHoldIsAnError) {
    for (std::string utf8 : {"emoji 😀", "\xff not utf-8", "cut \xe4\xb8"}) {
        SCOPED_TRACE(utf8);
        auto r = toCp936(utf8);
        ASSERT_FALSE(r.has_value());
        EXPECT_FALSE(r.error().message.empty());
        EXPECT_FALSE(fitsCp936(utf8));
    }
    for (std::string bytes : {"lone lead \xd6", "\xff"}) {
        SCOPED_TRACE(bytes);
        EXPECT_FALSE(fromCp936(bytes).has_value());
    }
}

}  // namespace
}  // namespace tessmar::platform
