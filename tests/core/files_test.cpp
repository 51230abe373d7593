#include "platform/files.h"

#include <gtest/gtest.h>

#include "support/tempdir.h"

namespace tessmar::platform {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::size_t entries(const fs::path& dir) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(Files, AtomicWriteReplacesTheFileAndLeavesNoTemporary) {
    TempDir dir;
    const std::string bytes("a\0b\r\n\xd6\xd0", 7);
    ASSERT_TRUE(writeFileAtomic(dir / "f.ini", bytes));
    EXPECT_EQ(readFile(dir / "f.ini").value(), bytes);
    ASSERT_TRUE(writeFileAtomic(dir / "f.ini", "short"));
    EXPECT_EQ(dir.read("f.ini"), "short");
    ASSERT_TRUE(writeFileAtomic(dir / "f.ini", ""));
    EXPECT_EQ(readFile(dir / "f.ini").value(), "");
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(Files, RefusesReadOnlyTargetsAndLeavesThemAlone) {
    TempDir dir;
    dir.write("f.ini", "old");
    fs::permissions(dir / "f.ini", fs::perms::owner_write, fs::perm_options::remove);
    auto r = writeFileAtomic(dir / "f.ini", "new");
    ASSERT_FALSE(r);
    EXPECT_FALSE(r.error().message.empty());
    EXPECT_EQ(dir.read("f.ini"), "old");
    EXPECT_EQ(entries(dir.path()), 1u);

    fs::create_directory(dir / "sub");
    EXPECT_FALSE(writeFileAtomic(dir / "sub", "x"));
    EXPECT_TRUE(fs::is_directory(dir / "sub"));
    EXPECT_FALSE(writeFileAtomic(dir / "missing" / "f.ini", "x"));
}

TEST(Files, MissingFilesAndDirectoriesAreNotFiles) {
    TempDir dir;
    EXPECT_FALSE(fileExists(dir / "none"));
    EXPECT_FALSE(readFile(dir / "none").has_value());
    EXPECT_FALSE(fileExists(dir.path()));
    EXPECT_FALSE(readFile(dir.path()).has_value());
    dir.write("there", "x");
    EXPECT_TRUE(fileExists(dir / "there"));
}

}  // namespace
}  // namespace tessmar::platform
