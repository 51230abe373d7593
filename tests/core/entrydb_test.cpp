#include "platform/entrydb.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <gtest/gtest.h>

#include <chrono>

#include "support/tempdir.h"

namespace tessmar::platform {
namespace {

using test::TempDir;

EntryRow row(std::string sm, std::optional<std::int16_t> reg = 1) {
    return EntryRow{sm, "HKEY_CURRENT_USER ", "Software\\Test", "value", "1", reg};
}

std::vector<std::string> names(EntryDatabase& db) {
    auto all = db.all();
    EXPECT_TRUE(all.has_value());
    std::vector<std::string> out;
    for (const auto& e : *all) out.push_back(e.row.sm.value_or("<null>"));
    return out;
}

class EntryDatabaseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SQLite::Database db(file(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec(EntryDatabase::schema());
    }
    std::filesystem::path file() const { return dir / "user.dat"; }
    EntryDatabase open() {
        auto db = EntryDatabase::open(file());
        EXPECT_TRUE(db.has_value()) << (db ? "" : db.error().message);
        return std::move(*db);
    }
    TempDir dir;
};

TEST_F(EntryDatabaseTest, NaturalOrderFollowsAppendChangeAndRemove) {
    auto db = open();
    EXPECT_EQ(db.count().value(), 0u);
    EXPECT_TRUE(db.all().value().empty());
    for (auto n : {"a", "b", "c"}) ASSERT_TRUE(db.append(row(n)).has_value());
    EXPECT_EQ(names(db), (std::vector<std::string>{"a", "b", "c"}));

    auto all = db.all().value();
    ASSERT_TRUE(db.change(all[0].id, row("a2"), false).has_value());
    EXPECT_EQ(names(db), (std::vector<std::string>{"a2", "b", "c"}));

    ASSERT_TRUE(db.remove(all[0].id).has_value());
    EXPECT_EQ(names(db), (std::vector<std::string>{"b", "c"}));

    // Removing the last record and adding again must still put the new one last.
    ASSERT_TRUE(db.remove(all[2].id).has_value());
    ASSERT_TRUE(db.append(row("d")).has_value());
    ASSERT_TRUE(db.append(row("e")).has_value());
    EXPECT_EQ(names(db), (std::vector<std::string>{"b", "d", "e"}));
    EXPECT_EQ(db.count().value(), 3u);
}

TEST_F(EntryDatabaseTest, NewRecordGoesLastEvenAfterTheLargestRowid) {
    {
        SQLite::Database raw(file(), SQLite::OPEN_READWRITE);
        raw.exec("INSERT INTO iexf (rowid, sm) VALUES (5, 'x'), (9223372036854775806, 'y')");
    }
    auto db = open();
    ASSERT_TRUE(db.append(row("z")).has_value());
    EXPECT_EQ(names(db), (std::vector<std::string>{"x", "y", "z"}));
    // No rowid follows the largest one: refusing beats putting the record somewhere in the middle.
    EXPECT_FALSE(db.append(row("w")).has_value());
    EXPECT_EQ(names(db), (std::vector<std::string>{"x", "y", "z"}));
}

TEST_F(EntryDatabaseTest, FieldsRoundTripAndKeepRegLeavesStoredCode) {
    auto db = open();
    EntryRow full{"名称", "HKEY_USERS", "Software\\中文", "值", "文字", 2};
    EntryRow nulls{std::nullopt, std::nullopt, std::nullopt,
                   std::nullopt, std::nullopt, std::nullopt};
    ASSERT_TRUE(db.append(full).has_value());
    ASSERT_TRUE(db.append(nulls).has_value());
    auto all = db.all().value();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].row, full);
    EXPECT_EQ(all[1].row, nulls);

    EntryRow changed{"新", "HKEY_CURRENT_USER", "k", "n", "v", 4};
    ASSERT_TRUE(db.change(all[0].id, changed, true).has_value());
    auto kept = changed;
    kept.reg = 2;
    EXPECT_EQ(db.all().value()[0].row, kept);

    ASSERT_TRUE(db.change(all[0].id, changed, false).has_value());
    EXPECT_EQ(db.all().value()[0].row, changed);
    // Not keeping reg and giving none clears it.
    changed.reg.reset();
    ASSERT_TRUE(db.change(all[0].id, changed, false).has_value());
    EXPECT_EQ(db.all().value()[0].row.reg, std::nullopt);
}

TEST_F(EntryDatabaseTest, RegOutsideSixteenBitsOrNotIntegerReadsUnset) {
    {
        SQLite::Database raw(file(), SQLite::OPEN_READWRITE);
        raw.exec(
            "INSERT INTO iexf (sm, reg) VALUES ('a', 32767), ('b', -32768), ('c', 32768), "
            "('d', -32769), ('e', 'abc'), ('f', 1.5), ('g', NULL), ('h', '3')");
    }
    auto db = open();
    auto all = db.all().value();
    ASSERT_EQ(all.size(), 8u);
    std::vector<std::optional<std::int16_t>> regs;
    for (const auto& e : all) regs.push_back(e.row.reg);
    EXPECT_EQ(regs, (std::vector<std::optional<std::int16_t>>{32767, -32768, std::nullopt,
                                                              std::nullopt, std::nullopt,
                                                              std::nullopt, std::nullopt, 3}));
}

TEST_F(EntryDatabaseTest, ChangeOrRemoveOfVanishedRecordFails) {
    auto db = open();
    ASSERT_TRUE(db.append(row("a")).has_value());
    auto id = db.all().value()[0].id;
    ASSERT_TRUE(db.remove(id).has_value());
    EXPECT_FALSE(db.remove(id).has_value());
    EXPECT_FALSE(db.change(id, row("b"), false).has_value());
    EXPECT_EQ(db.count().value(), 0u);
}

TEST_F(EntryDatabaseTest, FieldsFoundByNameWhateverTheColumnOrder) {
    std::filesystem::remove(file());
    {
        SQLite::Database raw(file(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        raw.exec(
            "CREATE TABLE iexf (extra TEXT, REG INTEGER, ka1 TEXT, newkey1 TEXT, subkey1 TEXT, "
            "hkey1 TEXT, sm TEXT)");
        raw.exec("INSERT INTO iexf VALUES ('x', 3, 'v', 'n', 'k', 'HKEY_USERS', 'name')");
    }
    auto db = open();
    auto all = db.all().value();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].row, (EntryRow{"name", "HKEY_USERS", "k", "n", "v", 3}));
}

TEST(EntryDatabaseFiles, UnusableFilesAreReportedAndLeftUntouched) {
    struct Case {
        const char* what;
        std::string content;
        const char* sql;  // run on a fresh database instead of writing content
    };
    const std::vector<Case> cases{
        {"not a database",
         std::string("this is not a database file at all, just text\r\n") + std::string(600, 'x'),
         nullptr},
        {"empty file", "", nullptr},
        {"no table", "", "CREATE TABLE other (sm TEXT)"},
        {"missing column", "",
         "CREATE TABLE iexf (sm TEXT, hkey1 TEXT, subkey1 TEXT, newkey1 TEXT, ka1 TEXT)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        if (c.sql) {
            SQLite::Database raw(dir / "user.dat", SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            raw.exec(c.sql);
        } else {
            dir.write("user.dat", c.content);
        }
        const std::string before = dir.read("user.dat");
        auto db = EntryDatabase::open(dir / "user.dat");
        ASSERT_FALSE(db.has_value());
        EXPECT_FALSE(db.error().message.empty());
        EXPECT_EQ(dir.read("user.dat"), before);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                                std::filesystem::directory_iterator()),
                  1);
    }
}

TEST(EntryDatabaseFiles, MissingFileIsNotCreated) {
    TempDir dir;
    auto db = EntryDatabase::open(dir / "user.dat");
    ASSERT_FALSE(db.has_value());
    EXPECT_NE(db.error().message.find("user.dat"), std::string::npos);
    EXPECT_FALSE(dir.exists("user.dat"));
}

TEST_F(EntryDatabaseTest, LockedDatabaseFailsQuicklyAndChangesNothing) {
    {
        auto db = open();
        ASSERT_TRUE(db.append(row("a")).has_value());
    }
    SQLite::Database other(file(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN EXCLUSIVE");

    auto start = std::chrono::steady_clock::now();
    auto locked = EntryDatabase::open(file());
    EXPECT_FALSE(locked.has_value());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));

    other.exec("ROLLBACK");
    auto db = open();
    other.exec("BEGIN EXCLUSIVE");
    EXPECT_FALSE(db.append(row("b")).has_value());
    EXPECT_FALSE(db.all().has_value());
    other.exec("ROLLBACK");
    EXPECT_EQ(names(db), (std::vector<std::string>{"a"}));
}

TEST(EntryDatabaseSchema, MakesTheTableTheProgramOpens) {
    EXPECT_STREQ(EntryDatabase::schema(),
                 "CREATE TABLE iexf (sm TEXT, hkey1 TEXT, subkey1 TEXT, newkey1 TEXT, ka1 TEXT, "
                 "reg INTEGER)");
}

}  // namespace
}  // namespace tessmar::platform
