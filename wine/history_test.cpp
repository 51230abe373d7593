// History records on Wine's registry, in two runs of this program around the registry editor:
//   record <folder>   seeds values (present, absent, of another type) and a subkey tree, records
//                     and performs two passes, and keeps the seeded state in <folder>\expected.reg
//   verify <folder>   after "regedit /s" of every record: each value and key is as seeded
// Between them, run-wine-tests.sh imports the records, newest first.
#include <windows.h>

#include <algorithm>
#include <filesystem>

#include "check.h"
#include "engine/catalogue.h"
#include "engine/history.h"
#include "engine/mainreg.h"
#include "engine/plan.h"
#include "platform/registry.h"
#include "support.h"

using namespace tessmar;
using namespace tessmar::winetest;
using platform::RegRoot;
using platform::RegType;
using platform::RegValue;

namespace {

constexpr const char* kBase = "Software\\TessmarWineTest\\history";
constexpr int kCategory = 1;

bool mode(const char* wanted) {
    return arguments().size() == 2 && arguments()[0] == wanted;
}

std::filesystem::path folder() {
    return std::filesystem::path(arguments()[1]);
}

std::vector<bool> flags() {
    std::vector<bool> out(21, false);
    for (std::size_t row = 1; row < out.size(); row += 3) out[row] = true;
    return out;
}

// The same state into both registries: values as they are before the passes.
void seed(platform::Registry& reg, const engine::Plan& plan, bool clear) {
    for (std::size_t i = 0; i < plan.writes.size(); ++i) {
        const auto& w = plan.writes[i];
        auto key = cp936(w.key);
        auto name = cp936(w.name);
        if (clear) {
            auto open = reg.createKey(w.root, key);
            REQUIRE(open.has_value());
            reg.deleteValue(*open, name);
            reg.closeKey(*open);
        }
        switch (i % 4) {
            case 0:  // stays absent
                break;
            case 1:
                CHECK(engine::setvalue(reg, w.root, w.key, w.name, w.type, w.data).has_value());
                break;
            case 2:
                CHECK(engine::setstring(reg, w.root, w.key, w.name, "旧的\r\n文本").has_value());
                break;
            case 3:
                CHECK(engine::setvalue(reg, w.root, w.key, w.name, RegType::Binary, {9, 8, 7, 6, 5})
                          .has_value());
                break;
        }
    }
    const std::string base = kBase;
    CHECK(engine::setdword(reg, RegRoot::CurrentUser, base + "\\Leaf", "a", 1).has_value());
    CHECK(engine::setstring(reg, RegRoot::CurrentUser, base + "\\Leaf", "", "默认").has_value());
    CHECK(
        engine::setbinary(reg, RegRoot::CurrentUser, base + "\\树", "b", {1, 2, 3, 4}).has_value());
    CHECK(engine::setvalue(reg, RegRoot::CurrentUser, base + "\\树\\Deep\\Deeper", "m",
                           RegType::MultiSz, {'x', 0, 'y', 0, 0})
              .has_value());
    auto empty = reg.createKey(RegRoot::CurrentUser, cp936(base + "\\树\\Empty"));
    REQUIRE(empty.has_value());
    reg.closeKey(*empty);
    CHECK(engine::setdword(reg, RegRoot::CurrentUser, base, "v", 5).has_value());
}

engine::Plan treePlan() {
    engine::Plan plan;
    plan.category = engine::kCustomCategory;
    auto del = [](const char* subkey, std::size_t row) {
        engine::RegWrite w;
        w.op = engine::RegWrite::Op::DeleteKey;
        w.key = kBase;
        w.name = subkey;
        w.row = row;
        return w;
    };
    plan.writes = {del("Leaf", 1), del("树", 2), del("Missing", 3)};
    engine::RegWrite v;
    v.key = kBase;
    v.name = "v";
    v.type = RegType::Dword;
    v.data = {6, 0, 0, 0};
    v.row = 4;
    plan.writes.push_back(v);
    return plan;
}

// Every key and value below path in got is in expected and the other way round, bytes and all.
void sameTree(platform::Registry& expected, platform::Registry& got, RegRoot root,
              const std::string& path) {
    auto want = expected.readKey(root, path);
    auto have = got.readKey(root, path);
    REQUIRE(want.has_value() && have.has_value());
    if (!CHECK(want->has_value() == have->has_value()) || !want->has_value()) {
        std::printf("    at %s\n", shown(path).c_str());
        return;
    }
    auto sorted = [](platform::RegKeyContent c) {
        std::sort(c.values.begin(), c.values.end(),
                  [](const auto& a, const auto& b) { return foldName(a.name) < foldName(b.name); });
        std::sort(c.subkeys.begin(), c.subkeys.end(),
                  [](const auto& a, const auto& b) { return foldName(a) < foldName(b); });
        return c;
    };
    auto w = sorted(**want), h = sorted(**have);
    if (!CHECK(w.values == h.values)) std::printf("    values at %s\n", shown(path).c_str());
    if (!CHECK(w.subkeys == h.subkeys)) std::printf("    subkeys at %s\n", shown(path).c_str());
    for (const auto& sub : w.subkeys) sameTree(expected, got, root, path + "\\" + sub);
}

}  // namespace

WINE_TEST(RecordTwoPasses) {
    if (!mode("record")) return;
    auto system = platform::makeSystemRegistry();
    auto expected = platform::makeFileRegistry(folder() / "expected.reg");
    wipe(HKEY_CURRENT_USER, kBase);
    auto desk = engine::plan(folder(), kCategory, flags(), 1);
    REQUIRE(desk.has_value());
    seed(*system, *desk, true);
    seed(*expected, *desk, false);

    auto first = engine::recordPlan(folder(), *system, *desk);
    REQUIRE(first.has_value());
    for (const auto& w : desk->writes) CHECK(engine::perform(*system, w).has_value());
    auto tree = treePlan();
    auto second = engine::recordPlan(folder(), *system, tree);
    REQUIRE(second.has_value());
    for (const auto& w : tree.writes) engine::perform(*system, w);
    // Windows NT keeps a subkey that has subkeys; take the whole tree as a recursive delete would.
    wipe(HKEY_CURRENT_USER, std::string(kBase) + "\\" + cp936("树"));
    CHECK(!keyPresent(HKEY_CURRENT_USER, std::string(kBase) + "\\Leaf"));

    auto record = engine::readHistory(*second);
    REQUIRE(record.has_value());
    CHECK_EQ(record->changes.size(), std::size_t{3});
    CHECK_EQ(record->entry.changed, std::size_t{3});
}

WINE_TEST(EveryValueAndKeyIsBackAfterTheImport) {
    if (!mode("verify")) return;
    auto system = platform::makeSystemRegistry();
    auto expected = platform::makeFileRegistry(folder() / "expected.reg");
    auto desk = engine::plan(folder(), kCategory, flags(), 1);
    REQUIRE(desk.has_value());
    std::size_t present = 0, absent = 0;
    for (const auto& w : desk->writes) {
        auto key = cp936(w.key);
        auto name = cp936(w.name);
        auto want = expected->readValue(w.root, key, name);
        auto have = system->readValue(w.root, key, name);
        REQUIRE(want.has_value() && have.has_value());
        if (!CHECK_EQ(*have, *want)) std::printf("    at %s\\%s\n", w.key.c_str(), w.name.c_str());
        ++(*want ? present : absent);
    }
    CHECK(present > 5);
    CHECK(absent > 3);
    sameTree(*expected, *system, RegRoot::CurrentUser, kBase);
    wipe(HKEY_CURRENT_USER, kBase);
}

WINE_TEST(UsedAsMeant) {
    CHECK(mode("record") || mode("verify"));
}
