#include "custom/store.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <gtest/gtest.h>

#include "platform/entrydb.h"
#include "support/tempdir.h"

namespace tessmar::custom {
namespace {

class StoreTest : public ::testing::Test {
  protected:
    StoreTest() {
        SQLite::Database db((dir / kEntryFileName).string(),
                            SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec(platform::EntryDatabase::schema());
    }

    // Straight into the table, as a file made by other means would hold it.
    void insertRaw(const std::string& values) {
        SQLite::Database db((dir / kEntryFileName).string(), SQLite::OPEN_READWRITE);
        db.exec("INSERT INTO iexf (sm, hkey1, subkey1, newkey1, ka1, reg) VALUES " + values);
    }

    static Entry named(const std::string& sm, std::optional<std::int16_t> reg = 1) {
        return Entry{sm, "HKEY_CURRENT_USER ", "Software\\" + sm, "v", "1", reg};
    }

    std::vector<std::string> names() {
        auto n = store.listNames();
        EXPECT_TRUE(n.has_value()) << n.error().message;
        return n.value_or(std::vector<std::string>{});
    }

    test::TempDir dir;
    Store store{dir / kEntryFileName};
};

using Names = std::vector<std::string>;

TEST_F(StoreTest, EmptyTableListsNothingAndRefusesPositions) {
    EXPECT_TRUE(store.exists());
    EXPECT_EQ(names(), Names{});
    EXPECT_EQ(store.count().value(), 0u);
    EXPECT_EQ(store.walk(10).value(), std::vector<Entry>{});
    EXPECT_FALSE(store.readAt(0).has_value());
    EXPECT_FALSE(store.changeAt(0, named("a")).has_value());
    EXPECT_FALSE(store.deleteAt(0).has_value());
    EXPECT_EQ(store.nameExists("").value(), false);
}

TEST_F(StoreTest, NaturalOrderFollowsAppendChangeAndDelete) {
    for (const char* n : {"甲", "乙", "丙"}) ASSERT_TRUE(store.append(named(n)).has_value());
    EXPECT_EQ(names(), (Names{"甲", "乙", "丙"}));

    // A change keeps its place, and may take another entry's name.
    ASSERT_TRUE(store.changeAt(0, named("丙")).has_value());
    EXPECT_EQ(names(), (Names{"丙", "乙", "丙"}));

    // Deleting position 0 moves the others up by one.
    ASSERT_TRUE(store.deleteAt(0).has_value());
    EXPECT_EQ(names(), (Names{"乙", "丙"}));
    EXPECT_EQ(store.readAt(1)->subkey1, "Software\\丙");

    // An append after a delete still goes last, even when the last record was the deleted one.
    ASSERT_TRUE(store.deleteAt(1).has_value());
    ASSERT_TRUE(store.append(named("丁")).has_value());
    ASSERT_TRUE(store.append(named("戊")).has_value());
    EXPECT_EQ(names(), (Names{"乙", "丁", "戊"}));
    EXPECT_EQ(store.count().value(), 3u);
}

TEST_F(StoreTest, EntriesComeBackAsStored) {
    Entry e{"名称", "HKEY_LOCAL_MACHINE ", "Software\\键", "值名", "文本, 带逗号", 2};
    ASSERT_TRUE(store.append(e).has_value());
    ASSERT_TRUE(store.append(named("unset", std::nullopt)).has_value());
    EXPECT_EQ(store.readAt(0).value(), e);
    EXPECT_EQ(store.readAt(1)->reg, std::nullopt);
}

TEST_F(StoreTest, ChangeWithoutCodeKeepsTheStoredCode) {
    ASSERT_TRUE(store.append(named("a", 3)).has_value());
    ASSERT_TRUE(store.changeAt(0, named("b", std::nullopt)).has_value());
    auto e = store.readAt(0).value();
    EXPECT_EQ(e.sm, "b");
    EXPECT_EQ(e.reg, 3);

    ASSERT_TRUE(store.changeAt(0, named("b", 4)).has_value());
    EXPECT_EQ(store.readAt(0)->reg, 4);
}

TEST_F(StoreTest, PositionsPastTheEndAreErrorsAndChangeNothing) {
    ASSERT_TRUE(store.append(named("a")).has_value());
    ASSERT_TRUE(store.append(named("b")).has_value());
    auto read = store.readAt(2);
    ASSERT_FALSE(read.has_value());
    EXPECT_FALSE(read.error().message.empty());
    EXPECT_FALSE(store.changeAt(2, named("x")).has_value());
    EXPECT_FALSE(store.deleteAt(5).has_value());
    EXPECT_EQ(names(), (Names{"a", "b"}));
}

TEST_F(StoreTest, NullFieldsReadAsEmptyText) {
    insertRaw("(NULL, NULL, NULL, NULL, NULL, NULL)");
    EXPECT_EQ(names(), Names{""});
    EXPECT_EQ(store.readAt(0).value(), (Entry{"", "", "", "", "", std::nullopt}));
    EXPECT_EQ(store.nameExists("").value(), true);
}

TEST_F(StoreTest, NameExistsComparesExactly) {
    ASSERT_TRUE(store.append(named("Task")).has_value());
    ASSERT_TRUE(store.append(named("任务")).has_value());
    EXPECT_TRUE(store.nameExists("Task").value());
    EXPECT_TRUE(store.nameExists("任务").value());
    EXPECT_FALSE(store.nameExists("task").value());
    EXPECT_FALSE(store.nameExists("Task ").value());
    EXPECT_FALSE(store.nameExists("").value());
}

TEST_F(StoreTest, WalkStopsAtTheLastRecord) {
    for (const char* n : {"a", "b", "c"}) ASSERT_TRUE(store.append(named(n)).has_value());
    EXPECT_EQ(store.walk(0)->size(), 0u);
    auto two = store.walk(2).value();
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].sm, "a");
    EXPECT_EQ(two[1].sm, "b");
    EXPECT_EQ(store.walk(450)->size(), 3u);
}

TEST(StoreFile, MissingFileIsAnErrorAndIsNotCreated) {
    test::TempDir dir;
    Store store(dir / kEntryFileName);
    EXPECT_FALSE(store.exists());
    EXPECT_FALSE(store.listNames().has_value());
    EXPECT_FALSE(store.count().has_value());
    EXPECT_FALSE(store.readAt(0).has_value());
    EXPECT_FALSE(store.nameExists("a").has_value());
    auto added = store.append(Entry{"a", "HKEY_USERS", "k", "n", "1", 1});
    ASSERT_FALSE(added.has_value());
    EXPECT_FALSE(added.error().message.empty());
    EXPECT_FALSE(store.changeAt(0, Entry{}).has_value());
    EXPECT_FALSE(store.deleteAt(0).has_value());
    EXPECT_FALSE(store.walk(3).has_value());
    EXPECT_FALSE(dir.exists(kEntryFileName));
}

TEST(StoreFile, DamagedFilesAreErrorsAndStayUntouched) {
    test::TempDir dir;
    const std::string garbage = "this is not a database\r\n" + std::string(2000, 'x');
    dir.write(kEntryFileName, garbage);
    Store store(dir / kEntryFileName);
    EXPECT_TRUE(store.exists());
    EXPECT_FALSE(store.listNames().has_value());
    EXPECT_FALSE(store.append(Entry{"a", "HKEY_USERS", "k", "n", "1", 1}).has_value());
    EXPECT_FALSE(store.deleteAt(0).has_value());
    EXPECT_EQ(dir.read(kEntryFileName), garbage);

    // A database without the table is not repaired either.
    test::TempDir other;
    {
        SQLite::Database db((other / kEntryFileName).string(),
                            SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec("CREATE TABLE other (x TEXT)");
    }
    Store noTable(other / kEntryFileName);
    EXPECT_FALSE(noTable.append(Entry{"a", "HKEY_USERS", "k", "n", "1", 1}).has_value());
    SQLite::Database db((other / kEntryFileName).string());
    EXPECT_FALSE(db.tableExists("iexf"));
}

}  // namespace
}  // namespace tessmar::custom
