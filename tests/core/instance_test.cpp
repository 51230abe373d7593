#include "platform/instance.h"

#include <gtest/gtest.h>

#include "support/tempdir.h"

namespace tessmar::platform {
namespace {

// One copy per program folder, however the folder is spelt; the next may start once it has gone.
TEST(InstanceClaim, OneCopyPerFolder) {
    test::TempDir dir, other;
    EXPECT_EQ(instanceName(dir.path()), instanceName(dir.path() / "." / ""));
    EXPECT_NE(instanceName(dir.path()), instanceName(other.path()));
    auto first = InstanceClaim::claim(dir.path());
    ASSERT_TRUE(first && *first);
    EXPECT_FALSE(InstanceClaim::claim(dir.path()).value().has_value());
    EXPECT_TRUE(InstanceClaim::claim(other.path()).value().has_value());
    first->reset();
    EXPECT_TRUE(InstanceClaim::claim(dir.path()).value().has_value());
}

}  // namespace
}  // namespace tessmar::platform
