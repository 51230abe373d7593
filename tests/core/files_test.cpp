#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

mode_t modeOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// Sets the umask for one test and puts the old one back.
class Umask {
  public:
    explicit Umask(mode_t mask) : old_(::umask(mask)) {}
    ~Umask() { ::umask(old_); }

  private:
    mode_t old_;
};

TEST(Files, AdministratorsOnlyFilesAreOwnerOnlyFromTheirCreationOnWhateverTheUmask) {
    TempDir dir;
    for (mode_t mask : {mode_t{0}, mode_t{022}, mode_t{0277}}) {
        Umask umask(mask);
        const auto file = dir / ("f" + std::to_string(mask) + ".ini");
        ASSERT_TRUE(writeFileAtomic(file, "secret", Access::AdministratorsOnly));
        EXPECT_EQ(modeOf(file), 0600u) << "umask " << mask;
        // A rewrite keeps it so.
        ASSERT_TRUE(writeFileAtomic(file, "secret 2", Access::AdministratorsOnly));
        EXPECT_EQ(modeOf(file), 0600u) << "umask " << mask;
        EXPECT_EQ(dir.read(file.filename().string()), "secret 2");
    }
    // The ordinary files keep what the umask gives.
    Umask umask(022);
    ASSERT_TRUE(writeFileAtomic(dir / "plain.ini", "x"));
    EXPECT_EQ(modeOf(dir / "plain.ini"), 0644u);
}

TEST(Files, AWideFileAndAStaleTemporaryAreNarrowedByTheNextWrite) {
    TempDir dir;
    dir.write("vorn.ini", "old");
    fs::permissions(dir / "vorn.ini", fs::perms::all);
    // A temporary file left by a crash, readable by all: its mode must not carry over.
    dir.write("vorn.ini.tmp", "stale");
    fs::permissions(dir / "vorn.ini.tmp", fs::perms::all);

    ASSERT_TRUE(writeFileAtomic(dir / "vorn.ini", "new", Access::AdministratorsOnly));
    EXPECT_EQ(modeOf(dir / "vorn.ini"), 0600u);
    EXPECT_EQ(dir.read("vorn.ini"), "new");
    EXPECT_FALSE(dir.exists("vorn.ini.tmp"));
}

}  // namespace
}  // namespace tessmar::platform
