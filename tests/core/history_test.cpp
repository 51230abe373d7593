#include "engine/history.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "common/scripted_messages.h"
#include "custom/store.h"
#include "engine/apply.h"
#include "engine/catalogue.h"
#include "engine/mainreg.h"
#include "engine/preview.h"
#include "platform/codepage.h"
#include "platform/entrydb.h"
#include "support/fake_registry.h"
#include "support/tempdir.h"

namespace tessmar::engine {
namespace {
using platform::Registry;
using platform::RegRoot;
using platform::RegType;
using platform::RegValue;
using Clock = std::chrono::system_clock;

constexpr auto HKCU = RegRoot::CurrentUser;
const std::string kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

// Everything the registry holds: every key, and every value with its type and bytes.
struct Snapshot {
    std::set<std::string> keys;
    std::map<std::string, RegValue> values;
    bool operator==(const Snapshot&) const = default;
};

void walk(Registry& reg, RegRoot root, const std::string& path, Snapshot& snap) {
    auto content = reg.readKey(root, path);
    ASSERT_TRUE(content) << content.error().message;
    ASSERT_TRUE(content->has_value()) << path;
    std::string id = std::string(platform::rootName(root)) + "\\" + path;
    snap.keys.insert(id);
    for (const auto& v : (*content)->values) snap.values[id + "|" + v.name] = v.value;
    for (const auto& sub : (*content)->subkeys)
        walk(reg, root, path.empty() ? sub : path + "\\" + sub, snap);
}

Snapshot snapshot(Registry& reg) {
    Snapshot snap;
    for (auto root : {RegRoot::ClassesRoot, HKCU, RegRoot::LocalMachine, RegRoot::Users})
        walk(reg, root, "", snap);
    return snap;
}

// Values present, values absent, values already as wanted, values of another type.
void seedAround(Registry& reg, const Plan& plan) {
    for (std::size_t i = 0; i < plan.writes.size(); ++i) {
        const RegWrite& w = plan.writes[i];
        if (w.op != RegWrite::Op::SetValue) continue;
        Status done;
        switch (i % 4) {
            case 0:  // absent, though its key is there with a neighbour
                done = setdword(reg, w.root, w.key, "neighbour", 7);
                break;
            case 1:
                done = setvalue(reg, w.root, w.key, w.name, w.type, w.data);
                break;
            case 2:
                done = setstring(reg, w.root, w.key, w.name, "旧的\r\n文本");
                break;
            case 3:
                done = setvalue(reg, w.root, w.key, w.name, RegType::Binary, {9, 8, 7, 6, 5});
                break;
        }
        ASSERT_TRUE(done) << done.error().message;
    }
}

custom::Entry entry(std::string sm, std::string key, std::string name, std::string data,
                    std::int16_t reg) {
    return {std::move(sm),   "HKEY_CURRENT_USER", std::move(key),
            std::move(name), std::move(data),     reg};
}

class HistoryTest : public ::testing::Test {
  protected:
    HistoryTest() { dir.write("vorn.ini", ",\"C:\\WINDOWS\",,,,,\r\n"); }

    ApplyOutcome run(int category, std::vector<bool> flags, int nrow = 1) {
        return apply({dir.path(), *reg, messages}, {category, std::move(flags), nrow});
    }

    void makeUserDat(const std::vector<custom::Entry>& entries) {
        SQLite::Database db((dir / custom::kEntryFileName).string(),
                            SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec(platform::EntryDatabase::schema());
        custom::Store store(dir / custom::kEntryFileName);
        for (const auto& e : entries) ASSERT_TRUE(store.append(e).has_value());
    }

    std::vector<std::string> historyFiles() {
        std::vector<std::string> names;
        if (!std::filesystem::exists(dir / "history")) return names;
        for (const auto& f : std::filesystem::directory_iterator(dir / "history"))
            names.push_back(f.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir dir;
    std::unique_ptr<Registry> reg = platform::makeFileRegistry(dir / "registry.reg");
    test::ScriptedMessages messages;
};

TEST_F(HistoryTest, EachBuiltinCategoryIsRecordedPreviewedAndRestoredByteForByte) {
    for (int category = 0; category < kBuiltinCategories; ++category) {
        SCOPED_TRACE(category);
        const std::size_t rows = builtinCategory(category).items.size();
        std::vector<bool> flags(rows + 1);
        for (std::size_t r = 1; r <= rows; r += 2) flags[r] = true;
        auto planned = plan(dir.path(), category, flags, 1);
        ASSERT_TRUE(planned);
        seedAround(*reg, *planned);
        const Snapshot before = snapshot(*reg);

        auto previewed = preview(dir.path(), *reg, category, flags, 1);
        ASSERT_TRUE(previewed);
        EXPECT_EQ(snapshot(*reg), before);  // nothing written

        messages.shown.clear();
        auto outcome = run(category, flags);
        ASSERT_TRUE(outcome.history.has_value());
        EXPECT_EQ(messages.shown.size(), 1u);
        EXPECT_NE(snapshot(*reg), before);

        // The preview listed exactly what the record says the apply changed.
        auto record = readHistory(*outcome.history);
        ASSERT_TRUE(record) << record.error().message;
        EXPECT_EQ(record->changes, previewed->changes);
        EXPECT_EQ(record->unchanged, previewed->unchanged);
        EXPECT_EQ(record->entry.changed, record->changes.size());
        EXPECT_EQ(record->entry.category, category);
        EXPECT_EQ(record->entry.categoryName, categoryName(category));
        EXPECT_FALSE(record->entry.restore);
        EXPECT_GT(record->unchanged, 0u);
        // And the apply wrote what the preview said: nothing is left to change.
        auto again = preview(dir.path(), *reg, category, flags, 1);
        ASSERT_TRUE(again);
        EXPECT_TRUE(again->changes.empty());

        ASSERT_TRUE(restore(dir.path(), *reg, *outcome.history));
        EXPECT_EQ(snapshot(*reg), before);
    }
}

TEST_F(HistoryTest, ARecordReadsAsTheWindowShowsIt) {
    ASSERT_TRUE(setstring(*reg, HKCU, kExplorer, "norun", "x"));
    ASSERT_TRUE(setdword(*reg, HKCU, kExplorer, "nofind", 1));
    auto outcome = run(3, {false, true});
    ASSERT_TRUE(outcome.history);
    auto record = readHistory(*outcome.history);
    ASSERT_TRUE(record);
    ASSERT_FALSE(record->changes.empty());
    EXPECT_EQ(record->changes[0], (Change{"HKEY_CURRENT_USER\\" + kExplorer + "\\norun",
                                          "字符串值 “x”", "DWORD 值 1（0x00000001）", 1}));
    // Row 3 (nofind) was chosen before and is cleared now; the others were absent.
    bool sawFind = false;
    for (const auto& c : record->changes) {
        if (c.where.ends_with("\\nofind")) {
            sawFind = true;
            EXPECT_EQ(c.before, "DWORD 值 1（0x00000001）");
            EXPECT_EQ(c.after, "DWORD 值 0（0x00000000）");
        } else if (c.row != 1) {
            EXPECT_EQ(c.before, "（无此值）") << c.where;
        }
    }
    EXPECT_TRUE(sawFind);

    // The file is REGEDIT4 in code page 936 with CR LF, its facts in comment lines.
    std::string text = dir.read("history/" + outcome.history->filename().string());
    EXPECT_TRUE(text.starts_with("REGEDIT4\r\n\r\n;"));
    EXPECT_NE(text.find(";@category 3\r\n"), std::string::npos);
    EXPECT_NE(text.find(*platform::toCp936("“文件菜单”")), std::string::npos);
    EXPECT_NE(text.find(";@value 1 \"norun\"=dword:00000001\r\n\"norun\"=\"x\"\r\n"),
              std::string::npos);
    EXPECT_NE(text.find(";@value 3 \"nofind\"=dword:00000000\r\n\"nofind\"=dword:00000001\r\n"),
              std::string::npos);
    for (std::size_t i = 0; (i = text.find('\n', i)) != std::string::npos; ++i)
        ASSERT_EQ(text[i - 1], '\r');
}

TEST_F(HistoryTest, ACustomSubkeyDeletionIsRecordedWholeAndComesBack) {
    // Leaf holds values only, so the pass deletes it; Tree has subkeys, so it stays, but a
    // registry that deletes whole trees would take everything below it.
    const std::string base = "Software\\K";
    ASSERT_TRUE(setdword(*reg, HKCU, base + "\\Leaf", "a", 1));
    ASSERT_TRUE(setstring(*reg, HKCU, base + "\\Leaf", "", "默认"));
    ASSERT_TRUE(setbinary(*reg, HKCU, base + "\\Tree", "b", {1, 2, 3, 4}));
    ASSERT_TRUE(setvalue(*reg, HKCU, base + "\\Tree\\Deep\\Deeper", "m", RegType::MultiSz,
                         {'x', 0, 'y', 0, 0}));
    auto emptyKey = reg->createKey(HKCU, base + "\\Tree\\Empty");
    ASSERT_TRUE(emptyKey);
    reg->closeKey(*emptyKey);
    ASSERT_TRUE(setdword(*reg, HKCU, base, "v", 5));
    makeUserDat({entry("删叶", base, "Leaf", "", 4), entry("删树", base, "Tree", "", 4),
                 entry("删无", base, "Missing", "", 4), entry("值", base, "v", "6", 1)});
    const Snapshot before = snapshot(*reg);
    auto previewed = preview(dir.path(), *reg, 4, {false, true, true, true, true}, 5);
    ASSERT_TRUE(previewed);

    auto outcome = run(4, {false, true, true, true, true}, 5);
    ASSERT_TRUE(outcome.history);
    EXPECT_FALSE(reg->keyExists(HKCU, base + "\\Leaf"));
    ASSERT_EQ(outcome.notWritten.size(), 1u);  // Tree has subkeys
    EXPECT_NE(outcome.notWritten[0].find("第 2 项“删树”"), std::string::npos);

    auto record = readHistory(*outcome.history);
    ASSERT_TRUE(record);
    const std::vector<Change> expected{
        {"HKEY_CURRENT_USER\\Software\\K\\Leaf", "子项，共 2 个值、0 个下级子项", "（已删除）", 1},
        {"HKEY_CURRENT_USER\\Software\\K\\Tree", "子项，共 2 个值、3 个下级子项", "（已删除）", 2},
        {"HKEY_CURRENT_USER\\Software\\K\\v", "DWORD 值 5（0x00000005）",
         "DWORD 值 6（0x00000006）", 4}};
    EXPECT_EQ(record->changes, expected);
    EXPECT_EQ(record->unchanged, 1u);  // the missing subkey
    EXPECT_EQ(previewed->changes, expected);
    EXPECT_EQ(previewed->unchanged, 1u);

    // Take the tree as a recursive delete would, then restore: every key and value is back.
    for (const char* path : {"Tree\\Deep\\Deeper", "Tree\\Deep", "Tree\\Empty", "Tree"}) {
        std::string full = base + "\\" + path;
        std::size_t cut = full.rfind('\\');
        ASSERT_TRUE(deletekey(*reg, HKCU, full.substr(0, cut), full.substr(cut + 1)));
    }
    ASSERT_TRUE(restore(dir.path(), *reg, *outcome.history));
    EXPECT_EQ(snapshot(*reg), before);
}

TEST_F(HistoryTest, ARecordThatCannotBeWrittenStopsThePassBeforeAnyWrite) {
    dir.write("history", "a file where the folder should be");
    ASSERT_TRUE(setdword(*reg, HKCU, kExplorer, "norun", 0));
    const std::string registryBefore = dir.read("registry.reg");
    auto outcome = run(3, {false, true});
    EXPECT_FALSE(outcome.settingsWritten);
    EXPECT_FALSE(outcome.history);
    EXPECT_EQ(dir.read("registry.reg"), registryBefore);
    EXPECT_EQ(dir.read("vorn.ini"), ",\"C:\\WINDOWS\",,,,,\r\n");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "系统提示:");
    EXPECT_EQ(messages.shown[0].text.rfind("无法保存历史记录：无法建立文件夹 ", 0), 0u);
    EXPECT_NE(messages.shown[0].text.find("“文件菜单”设置没有执行，注册表和设置文件都未改动。"),
              std::string::npos);

    // A registry that cannot be read gives no record either, and so no write.
    std::filesystem::remove(dir / "history");
    test::FakeRegistry fake;
    fake.failReads(RegRoot::LocalMachine);
    messages.shown.clear();
    apply({dir.path(), fake, messages}, {1, {}, 1});
    EXPECT_TRUE(fake.callsOf(test::FakeRegistry::Op::Create).empty());
    EXPECT_TRUE(fake.callsOf(test::FakeRegistry::Op::BeginGroup).empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("无法读取注册表"), std::string::npos);
    EXPECT_TRUE(historyFiles().empty());
}

TEST_F(HistoryTest, ANameWithALineBreakCannotSlipLinesIntoTheRecord) {
    // Imported, such a line would set a value of its own choosing anywhere in the registry.
    makeUserDat(
        {entry("注入", "Software\\K", "x\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n\"y\"", "1", 1)});
    auto outcome = run(4, {false, true}, 2);
    EXPECT_FALSE(outcome.history);
    EXPECT_FALSE(outcome.settingsWritten);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("控制字符"), std::string::npos);
    EXPECT_FALSE(reg->keyExists(HKCU, "Software\\K"));
    EXPECT_TRUE(historyFiles().empty());

    // Likewise a name found inside a subkey that a pass deletes, DEL as much as a line break.
    for (const char* name : {"bad\nname", "bad\x7fname"}) {
        test::FakeRegistry fake;
        ASSERT_TRUE(setdword(fake, HKCU, "Software\\T\\Sub", name, 1));
        Plan plan{4, {}, {}, "", {}, {}};
        plan.writes.push_back(
            {RegWrite::Op::DeleteKey, HKCU, "Software\\T", "Sub", RegType::None, {}, 1});
        auto recorded = recordPlan(dir.path(), fake, plan);
        ASSERT_FALSE(recorded);
        EXPECT_NE(recorded.error().message.find("控制字符"), std::string::npos);
    }
}

TEST_F(HistoryTest, NamesSortAsMadeAndNeverCollide) {
    const auto now = Clock::now();
    auto first = recordPlan(dir.path(), *reg, Plan{1, {}, {}, "", {}, {}}, now);
    auto second = recordPlan(dir.path(), *reg, Plan{3, {}, {}, "", {}, {}}, now);
    auto third = recordPlan(dir.path(), *reg, Plan{1, {}, {}, "", {}, {}}, now);
    auto later =
        recordPlan(dir.path(), *reg, Plan{0, {}, {}, "", {}, {}}, now + std::chrono::seconds(1));
    ASSERT_TRUE(first && second && third && later);
    auto names = historyFiles();
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0], first->filename().string());
    EXPECT_EQ(names[1], second->filename().string());
    EXPECT_EQ(names[2], third->filename().string());
    EXPECT_EQ(names[3], later->filename().string());
    EXPECT_TRUE(names[0].ends_with("-001-1.reg"));
    EXPECT_TRUE(names[1].ends_with("-002-3.reg"));
    EXPECT_TRUE(names[2].ends_with("-003-1.reg"));

    dir.write("history/notes.txt", "not a record");
    dir.write("history/20200101-000000-001-2.reg", "REGEDIT4\r\n\r\ngarbage\r\n");
    auto list = listHistory(dir.path());
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 5u);
    EXPECT_EQ((*list)[0].file, *later);
    EXPECT_EQ((*list)[0].category, 0);
    EXPECT_EQ((*list)[3].file, *first);
    // A damaged record is listed with its time and the reason it cannot be read.
    EXPECT_EQ((*list)[4].time, "2020-01-01 00:00:00");
    EXPECT_NE((*list)[4].problem.find("第 3 行"), std::string::npos);
    EXPECT_TRUE((*list)[0].problem.empty());
    EXPECT_FALSE(readHistory(dir / "history/20200101-000000-001-2.reg"));
}

TEST_F(HistoryTest, ARestoreIsRecordedAndCanItselfBeUndone) {
    ASSERT_TRUE(setdword(*reg, HKCU, kExplorer, "norun", 0));
    auto outcome = run(3, {false, true});
    ASSERT_TRUE(outcome.history);
    const Snapshot applied = snapshot(*reg);
    ASSERT_TRUE(restore(dir.path(), *reg, *outcome.history));
    EXPECT_EQ(reg->queryValue(HKCU, kExplorer, "norun"), (RegValue{RegType::Dword, {0, 0, 0, 0}}));

    auto list = listHistory(dir.path());
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2u);
    const HistoryEntry& undo = (*list)[0];
    EXPECT_TRUE(undo.restore);
    EXPECT_EQ(undo.category, 3);
    EXPECT_EQ(undo.restoredFrom, outcome.history->filename().string());
    auto record = readHistory(undo.file);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->entry.changed, record->changes.size());
    EXPECT_EQ(record->changes.front().after, "DWORD 值 0（0x00000000）");
    EXPECT_EQ(record->changes.front().row, 0u);

    ASSERT_TRUE(restore(dir.path(), *reg, undo.file));
    EXPECT_EQ(snapshot(*reg), applied);
}

TEST_F(HistoryTest, ARestoreThatCannotRecordWritesNothing) {
    auto outcome = run(3, {false, true});
    ASSERT_TRUE(outcome.history);
    // The record kept elsewhere, and the history folder no longer to be made.
    std::filesystem::copy_file(*outcome.history, dir / "kept.reg");
    std::filesystem::remove_all(dir / "history");
    dir.write("history", "a file where the folder should be");
    const std::string registryBefore = dir.read("registry.reg");
    auto restored = restore(dir.path(), *reg, dir / "kept.reg");
    ASSERT_FALSE(restored);
    EXPECT_NE(restored.error().message.find("恢复没有执行，注册表没有改动。"), std::string::npos);
    EXPECT_EQ(dir.read("registry.reg"), registryBefore);
}

TEST_F(HistoryTest, DriftNamesTheRowsWhoseValuesChangedBehindTheProgramsBack) {
    auto none = drift(dir.path(), *reg, 3);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());  // no apply yet

    run(3, {false, true, true});
    auto clean = drift(dir.path(), *reg, 3);
    ASSERT_TRUE(clean);
    EXPECT_TRUE(clean->empty());

    ASSERT_TRUE(setdword(*reg, HKCU, kExplorer, "norun", 0));
    auto key = reg->createKey(HKCU, kExplorer);
    ASSERT_TRUE(key);
    ASSERT_TRUE(reg->deleteValue(*key, "nofind"));
    reg->closeKey(*key);
    const std::string vornBefore = dir.read("vorn.ini");
    auto marks = drift(dir.path(), *reg, 3);
    ASSERT_TRUE(marks);
    ASSERT_EQ(marks->size(), 2u);
    ASSERT_EQ(marks->count(1), 1u);
    EXPECT_EQ(marks->at(1),
              std::vector<std::string>{
                  "HKEY_CURRENT_USER\\" + kExplorer +
                  "\\norun：现为 DWORD 值 0（0x00000000），上次设置为 DWORD 值 1（0x00000001）"});
    ASSERT_EQ(marks->count(3), 1u);
    EXPECT_EQ(marks->at(3).size(), 1u);
    EXPECT_NE(marks->at(3)[0].find("nofind：现为（无此值），上次设置为 DWORD 值 0"),
              std::string::npos);
    // Drift chooses and clears nothing; other categories have their own records.
    EXPECT_EQ(dir.read("vorn.ini"), vornBefore);
    auto other = drift(dir.path(), *reg, 0);
    ASSERT_TRUE(other);
    EXPECT_TRUE(other->empty());

    // A restore is no apply: the marks stay until the category is applied again.
    auto list = listHistory(dir.path());
    ASSERT_TRUE(list);
    ASSERT_TRUE(restore(dir.path(), *reg, list->front().file));
    auto afterRestore = drift(dir.path(), *reg, 3);
    ASSERT_TRUE(afterRestore);
    // Every value was absent before the apply, so no row holds what was applied.
    EXPECT_EQ(afterRestore->size(), 11u);
}

TEST_F(HistoryTest, PreviewListsWhatWouldChangeAndWhatCannotBeDone) {
    // ω and Ω are one value to the registry: the later row's write stands.
    makeUserDat({entry("坏", "Software\\P", "a", "40000", 1),
                 entry("好", "Software\\P", "b", "1", 1), entry("同", "Software\\P", "c", "2", 1),
                 entry("小写", "Software\\P", "ω", "3", 1),
                 entry("大写", "Software\\P", "Ω", "4", 1)});
    ASSERT_TRUE(setdword(*reg, HKCU, "Software\\P", "c", 2));
    auto previewed = preview(dir.path(), *reg, 4, {false, true, true, true, true, true}, 6);
    ASSERT_TRUE(previewed);
    const std::vector<Change> expected{
        {"HKEY_CURRENT_USER\\Software\\P\\b", "（无此值）", "DWORD 值 1（0x00000001）", 2},
        {"HKEY_CURRENT_USER\\Software\\P\\ω", "（无此值）", "DWORD 值 4（0x00000004）", 5}};
    EXPECT_EQ(previewed->changes, expected);
    EXPECT_EQ(previewed->unchanged, 1u);
    ASSERT_EQ(previewed->notDone.size(), 1u);
    EXPECT_NE(previewed->notDone[0].find("40000"), std::string::npos);
    EXPECT_FALSE(dir.exists("history"));

    // Where the apply cannot run at all, neither can the preview.
    std::filesystem::remove(dir / custom::kEntryFileName);
    auto missing = preview(dir.path(), *reg, 4, {false, true}, 2);
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().message.find("user.dat"), std::string::npos);
}

}  // namespace
}  // namespace tessmar::engine
