// The custom entry editor against a real user.dat in a program directory of its own.
#include <SQLiteCpp/SQLiteCpp.h>
#include <gtest/gtest.h>

#include <functional>

#include "forms/editor.h"
#include "support/session.h"

using namespace tessmar;
using forms::Key;
using forms::WindowKind;
using platform::Answer;
using platform::Buttons;
using platform::EntryRow;
using namespace forms::names::editor;

namespace {

EntryRow row(std::string name, std::int16_t reg = 1) {
    return EntryRow{name, "HKEY_CURRENT_USER ", "Software\\Test", "v" + name, "1", reg};
}

const std::vector<forms::Id> kTextBoxes{Name, KeyPath, SecondName, Value};

struct Editor : test::Session {
    void open() { program.open(WindowKind::Editor); }
    test::FakeView& w() const { return view(WindowKind::Editor); }
    forms::EditorForm& form() const { return desktop.form<forms::EditorForm>(WindowKind::Editor); }

    // A click on a button, which only an enabled button takes.
    void press(forms::Id button) const {
        EXPECT_TRUE(w().enabled(button)) << button << " pressed while disabled";
        form().click(button);
    }
    void clickRow(int r) const { form().mouseDown(Grid1, forms::Button::Left, r); }
    void fill(const std::string& name, const std::string& root, const std::string& key,
              const std::string& second, const std::string& value, const std::string& type) const {
        w().setText(Name, name);
        w().setText(Combo1, root);
        w().setText(KeyPath, key);
        w().setText(SecondName, second);
        w().setText(Value, value);
        w().setText(Combo2, type);
    }
    std::vector<std::string> names() const {
        std::vector<std::string> list;
        for (int r = 0; r < w().gridRows(Grid1); ++r) list.push_back(w().cell(Grid1, r, 0));
        return list;
    }
    // "on", "off", or "mixed".
    std::string boxes() const {
        int on = 0;
        for (forms::Id box : kTextBoxes) on += w().enabled(box);
        return on == 4 ? "on" : on == 0 ? "off" : "mixed";
    }
};

TEST(Editor, OpeningShowsTheNamesWithTheLastRowCurrent) {
    Editor e;
    e.makeEntries({row("甲"), row("乙"), row("丙")});
    e.open();
    const forms::WindowLayout& layout = e.w().layout();
    EXPECT_EQ(layout.caption, " 自定功能维护 ");
    EXPECT_EQ(forms::pixels(layout.clientWidth), 497);
    EXPECT_EQ(forms::pixels(layout.clientHeight), 289);
    EXPECT_EQ(e.names(), (std::vector<std::string>{"甲", "乙", "丙"}));
    EXPECT_EQ(e.w().grid(Grid1).currentRow, 2);
    EXPECT_EQ(e.form().currentRow(), 2);
    const forms::GridSpec& grid = *forms::findControl(layout, Grid1)->grid;
    EXPECT_EQ(grid.columnTwips, std::vector<int>{2000});
    EXPECT_EQ(grid.fixedRows, 0);
    EXPECT_TRUE(e.messages.shown.empty());
    e.open();
    EXPECT_EQ(e.desktop.events, (std::vector<std::string>{"show usersys", "raise usersys"}));
}

// The editor's table of states, over a sequence of events: buttons, boxes, editflag, status.
TEST(Editor, EnabledStatesFollowEachEvent) {
    Editor e;
    e.makeEntries({row("甲"), row("乙"), row("丙")});
    e.open();

    struct Step {
        const char* event;
        std::function<void()> act;
        bool add, change, del, save;
        const char* boxes;
        std::int16_t editflag;
        const char* status;
    };
    const char* adding = "进行增加操作";
    const char* changing = "进行修改操作";
    const char* deleting = "进行删除操作";
    const char* picked = "进行删除或修改操作";
    const std::vector<Step> steps = {
        {"opened", [] {}, true, false, false, false, "off", 0, ""},
        {"add", [&] { e.press(Add); }, false, false, false, true, "on", 0, adding},
        {"cancel", [&] { e.press(Cancel); }, true, true, true, false, "on", 7, ""},
        {"list click", [&] { e.clickRow(1); }, false, true, true, false, "on", 7, picked},
        {"change", [&] { e.press(Change); }, false, true, false, true, "on", 1, changing},
        {"save, Cancel",
         [&] {
             e.answer(Answer::Cancel);
             e.press(Save);
         },
         false, true, false, false, "on", 1, changing},
        {"change again", [&] { e.press(Change); }, false, true, false, true, "on", 1, changing},
        {"save, OK", [&] { e.press(Save); }, true, false, false, false, "off", 1, changing},
        {"list click", [&] { e.clickRow(0); }, false, true, true, false, "on", 1, picked},
        {"delete, Cancel",
         [&] {
             e.answer(Answer::Cancel);
             e.press(Delete);
         },
         false, false, true, false, "on", 3, deleting},
        {"delete, OK", [&] { e.press(Delete); }, true, false, false, false, "off", 3, deleting},
        {"cancel", [&] { e.press(Cancel); }, true, true, true, false, "off", 7, ""},
        {"add", [&] { e.press(Add); }, false, false, false, true, "on", 0, adding},
        {"save new, OK",
         [&] {
             e.w().setText(Name, "丁");
             e.w().setText(KeyPath, "k");
             e.w().setText(SecondName, "n");
             e.w().setText(Value, "2");
             e.press(Save);
         },
         true, false, false, false, "off", 0, adding},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.event);
        step.act();
        EXPECT_EQ(e.w().enabled(Add), step.add);
        EXPECT_EQ(e.w().enabled(Change), step.change);
        EXPECT_EQ(e.w().enabled(Delete), step.del);
        EXPECT_EQ(e.w().enabled(Save), step.save);
        EXPECT_EQ(e.boxes(), step.boxes);
        EXPECT_TRUE(e.w().enabled(Cancel) && e.w().enabled(Combo1) && e.w().enabled(Combo2) &&
                    e.w().enabled(Grid1));
        EXPECT_EQ(e.program.editflag(), step.editflag);
        EXPECT_EQ(e.w().text(forms::names::editor::Status), step.status);
    }
    EXPECT_TRUE(e.messages.answers.empty());
    // Row 1 was changed in place (as loaded), row 0 deleted, 丁 added last.
    EXPECT_EQ(e.names(), (std::vector<std::string>{"乙", "丙", "丁"}));
    EXPECT_EQ(e.userDat().size(), 3u);
}

TEST(Editor, SaveChecksEachBoxInOrderAndFocusesIt) {
    Editor e;
    e.makeEntries({});
    e.open();
    e.press(Add);
    struct Check {
        forms::Id box;
        const char* message;
    } checks[] = {
        {Name, "“名称”不能为空"},        {Combo1, "“配置单元”未选择"},
        {KeyPath, "“项的内容”不能为空"}, {SecondName, "“子项的内容”不能为空"},
        {Value, "“值”不能为空"},         {Combo2, "“值的类型”未选择"},
    };
    for (std::size_t failing = 0; failing < std::size(checks); ++failing) {
        SCOPED_TRACE(checks[failing].box);
        // Blanks are not empty: every box before the failing one holds only a blank.
        e.fill(" ", " ", " ", " ", " ", " ");
        for (std::size_t later = failing; later < std::size(checks); ++later)
            e.w().setText(checks[later].box, "");
        e.w().focusOn(Save);
        e.messages.shown.clear();
        e.press(Save);
        ASSERT_EQ(e.messages.shown.size(), 1u);
        EXPECT_EQ(e.messages.shown[0].text, checks[failing].message);
        EXPECT_EQ(e.messages.shown[0].title, "系统提示");
        EXPECT_EQ(e.messages.shown[0].buttons, Buttons::Ok);
        EXPECT_EQ(e.w().focus(), checks[failing].box);
        EXPECT_TRUE(e.w().enabled(Save));
    }
    EXPECT_TRUE(e.userDat().empty());
}

TEST(Editor, TextOutsideCodePage936IsRefusedInTheBoxThatHoldsIt) {
    struct Case {
        forms::Id box;
        const char* field;
    } cases[] = {{Name, "名称"},
                 {Combo1, "配置单元"},
                 {KeyPath, "项的内容"},
                 {SecondName, "子项的内容"},
                 {Value, "值"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        Editor e;
        e.makeEntries({});
        e.open();
        e.press(Add);
        e.fill("名", "HKEY_CURRENT_USER", "Software\\T", "v", "1", "字符串值(S)");
        e.w().setText(c.box, "😀");
        e.press(Save);
        ASSERT_EQ(e.messages.shown.size(), 1u);
        EXPECT_EQ(e.messages.shown[0].text,
                  std::string("“") + c.field +
                      "”中有无法保存的字符(只能使用简体中文GBK字符集中的字符)，请修改后再存盘。");
        EXPECT_EQ(e.w().focus(), c.box);
        EXPECT_TRUE(e.w().enabled(Save));
        EXPECT_EQ(e.w().text(c.box), "😀");
        EXPECT_TRUE(e.userDat().empty());
    }
}

TEST(Editor, AddStoresTrimmedFieldsAndTheRootAsShown) {
    Editor e;
    e.makeEntries({});
    e.open();
    e.press(Add);
    EXPECT_EQ(e.w().text(Combo1), "HKEY_CURRENT_USER");
    EXPECT_EQ(e.w().text(Combo2), "DWORD 值(D)");
    EXPECT_EQ(e.w().focus(), Name);
    e.w().setText(Name, "  甲 ");
    e.w().setText(KeyPath, " Software\\A ");
    e.w().setText(SecondName, " n ");
    e.w().setText(Value, " 5 ");
    e.press(Save);
    ASSERT_EQ(e.messages.shown.size(), 1u);
    EXPECT_EQ(e.messages.shown[0].text, "增加的内容要存盘(请确保输入的信息正确无误)吗？");
    EXPECT_EQ(e.messages.shown[0].buttons, Buttons::OkCancel);

    e.press(Add);
    e.w().choose(Combo1, 2);
    e.w().choose(Combo2, 0);
    e.w().setText(Name, "乙");
    e.w().setText(KeyPath, "k");
    e.w().setText(SecondName, "s");
    e.w().setText(Value, "v");
    e.press(Save);

    const std::vector<EntryRow> expected = {
        {"甲", "HKEY_CURRENT_USER", "Software\\A", "n", "5", 1},
        {"乙", "HKEY_LOCAL_MACHINE ", "k", "s", "v", 2},
    };
    EXPECT_EQ(e.userDat(), expected);
    EXPECT_EQ(e.names(), (std::vector<std::string>{"甲", "乙"}));
    EXPECT_EQ(e.w().grid(Grid1).currentRow, 1);

    e.clickRow(1);
    EXPECT_EQ(e.w().text(Clicked), "乙");
    EXPECT_EQ(e.w().text(Combo1), "HKEY_LOCAL_MACHINE ");
    EXPECT_EQ(e.w().text(Combo2), "字符串值(S)");
    EXPECT_EQ(e.w().text(Name), "乙");
    EXPECT_EQ(e.w().text(KeyPath), "k");
    EXPECT_EQ(e.w().text(SecondName), "s");
    EXPECT_EQ(e.w().text(Value), "v");
}

TEST(Editor, DuplicateNamesAreComparedTrimmedAndReportedAsTyped) {
    Editor e;
    e.makeEntries({row("甲")});
    e.open();
    e.press(Add);
    e.fill("  甲  ", "HKEY_USERS", "k", "n", "1", "DWORD 值(D)");
    e.w().focusOn(Save);
    e.press(Save);
    ASSERT_EQ(e.messages.shown.size(), 1u);
    EXPECT_EQ(e.messages.shown[0].text, "  甲  ->内容已存在，现无法增加！");
    EXPECT_EQ(e.w().focus(), Name);

    // A name of blanks only passes the checks and is stored empty; a second one is then a
    // duplicate.
    e.w().setText(Name, "   ");
    e.press(Save);
    ASSERT_EQ(e.userDat().size(), 2u);
    EXPECT_EQ(e.userDat()[1].sm, std::optional<std::string>(""));
    e.press(Add);
    e.fill(" ", "HKEY_USERS", "k", "n", "1", "DWORD 值(D)");
    e.messages.shown.clear();
    e.press(Save);
    ASSERT_EQ(e.messages.shown.size(), 1u);
    EXPECT_EQ(e.messages.shown[0].text, " ->内容已存在，现无法增加！");
    EXPECT_EQ(e.userDat().size(), 2u);
}

TEST(Editor, AddAnsweredCancelStillRefreshes) {
    Editor e;
    e.makeEntries({row("甲")});
    e.open();
    e.press(Add);
    e.fill("乙", "HKEY_USERS", "k", "n", "1", "DWORD 值(D)");
    e.answer(Answer::Cancel);
    e.press(Save);
    EXPECT_EQ(e.userDat().size(), 1u);
    EXPECT_EQ(e.boxes(), "off");
    EXPECT_EQ(e.w().text(Name), "乙");
    EXPECT_TRUE(e.w().enabled(Add));
    EXPECT_FALSE(e.w().enabled(Save));
    EXPECT_EQ(e.program.editflag(), 0);
    EXPECT_EQ(e.w().grid(Grid1).currentRow, 0);  // a one-row list: the last row is row 0
}

TEST(Editor, DeleteActsOnTheCurrentRowEvenAfterCancel) {
    Editor e;
    e.makeEntries({row("甲"), row("乙"), row("丙"), row("丁")});
    e.open();
    e.clickRow(0);
    e.press(Cancel);
    e.press(Delete);
    EXPECT_EQ(e.messages.shown.back().text, "确实要删除你选的内容吗？");
    EXPECT_EQ(e.messages.shown.back().buttons, Buttons::OkCancel);
    EXPECT_EQ(e.names(), (std::vector<std::string>{"乙", "丙", "丁"}));
    EXPECT_EQ(e.w().text(Combo1), "");
    EXPECT_EQ(e.w().text(Name), "");

    // Since then a refresh came: the current row is the last.
    e.press(Cancel);
    e.press(Delete);
    EXPECT_EQ(e.names(), (std::vector<std::string>{"乙", "丙"}));
}

TEST(Editor, DeleteOnAnEmptyTableIsRefused) {
    Editor e;
    e.makeEntries({});
    e.open();
    e.clickRow(0);  // nothing to click: nothing happens
    EXPECT_EQ(e.w().text(forms::names::editor::Status), "");
    for (int r : {-1, 1}) e.clickRow(r);
    EXPECT_EQ(e.w().text(forms::names::editor::Status), "");
    e.press(Cancel);
    e.press(Delete);
    ASSERT_EQ(e.messages.shown.size(), 1u);
    EXPECT_EQ(e.messages.shown[0].text, "现在无法进行删除操作！");
    EXPECT_EQ(e.messages.shown[0].buttons, Buttons::Ok);
    EXPECT_TRUE(e.w().enabled(Delete));
    EXPECT_FALSE(e.w().enabled(Add));
}

TEST(Editor, ClicksBelowTheLastRowChooseNothing) {
    Editor e;
    e.makeEntries({row("甲"), row("乙")});
    e.open();
    e.clickRow(5);
    e.clickRow(-1);
    EXPECT_EQ(e.w().text(forms::names::editor::Status), "");
    EXPECT_EQ(e.form().currentRow(), 1);
    e.form().mouseDown(Grid1, forms::Button::Right, 0);
    EXPECT_EQ(e.w().text(Clicked), "");
}

TEST(Editor, HandTypedTypeLeavesRegUnsetOrUnchanged) {
    Editor e;
    e.makeEntries({row("甲", 2), row("乙", 3)});
    e.open();
    e.press(Add);
    e.fill("丙", "HKEY_USERS", "k", "n", "1", "我的类型");
    e.press(Save);
    ASSERT_EQ(e.userDat().size(), 3u);
    EXPECT_EQ(e.userDat()[2].reg, std::optional<std::int16_t>());

    e.clickRow(0);
    e.press(Change);
    e.w().setText(Name, " 乙 ");  // a change is not compared with the other names
    e.w().setText(Combo2, "手写");
    e.press(Save);
    const EntryRow changed{"乙", "HKEY_CURRENT_USER ", "Software\\Test", "v甲", "1", 2};
    EXPECT_EQ(e.userDat().at(0), changed);
    EXPECT_EQ(e.names(), (std::vector<std::string>{"乙", "乙", "丙"}));

    // Loading an entry without a known code leaves the type box as it was.
    e.clickRow(1);
    EXPECT_EQ(e.w().text(Combo2), "二进制值(B)");
    e.clickRow(2);
    EXPECT_EQ(e.w().text(Combo2), "二进制值(B)");
}

TEST(Editor, EnterWalksTheBoxesInTheOrderTheyAreFilled) {
    Editor e;
    e.makeEntries({});
    e.open();

    // With the text boxes disabled Enter in the root box leaves the focus where it is.
    e.w().focusOn(Combo1);
    e.form().key(Combo1, Key::Enter);
    EXPECT_EQ(e.w().focus(), Combo1);

    e.press(Add);
    const std::vector<forms::Id> chain = {Name, Combo1, KeyPath, SecondName, Value, Combo2, Save};
    for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
        e.w().focusOn(chain[i]);
        EXPECT_FALSE(e.form().key(chain[i], Key::Enter));
        EXPECT_EQ(e.w().focus(), chain[i + 1]);
    }
    EXPECT_TRUE(e.messages.shown.empty());
    e.form().key(Save, Key::Enter);
    EXPECT_TRUE(e.messages.shown.empty());

    // Pressed while save is disabled, Enter in the type box leaves the focus there.
    e.press(Cancel);
    e.w().focusOn(Combo2);
    e.form().key(Combo2, Key::Enter);
    EXPECT_EQ(e.w().focus(), Combo2);
}

// A key in the type box while it reads "删除子项(U)" copies that text into the value box; the text
// before the key counts, since the form sees the key before the box does.
TEST(Editor, TheDeleteTypeFillsTheValue) {
    Editor e;
    e.makeEntries({});
    e.open();
    e.press(Add);
    e.w().setText(Value, "x");
    e.w().choose(Combo2, 3);
    EXPECT_EQ(e.w().text(Combo2), "删除子项(U)");
    EXPECT_EQ(e.w().text(Value), "x");  // choosing alone fills nothing
    e.form().key(Combo2, Key::Character);
    EXPECT_EQ(e.w().text(Value), "删除子项(U)");

    e.w().setText(Combo2, "删除子项(U)a");
    e.w().setText(Value, "y");
    e.form().key(Combo2, Key::Character);
    EXPECT_EQ(e.w().text(Value), "y");
    e.w().setText(Combo2, "删除子项(U)");
    e.w().focusOn(Combo2);
    e.form().key(Combo2, Key::Enter);
    EXPECT_EQ(e.w().text(Value), "删除子项(U)");
    EXPECT_EQ(e.w().focus(), Save);

    // Only the type box copies, and only the exact text.
    e.w().setText(Value, "z");
    e.w().setText(Name, "删除子项(U)");
    e.form().key(Name, Key::Character);
    e.w().setText(Combo2, " 删除子项(U)");
    e.form().key(Combo2, Key::Character);
    EXPECT_EQ(e.w().text(Value), "z");
    e.w().setText(Combo2, "删除子项(U)");
    e.form().key(Combo2, Key::Escape);
    EXPECT_EQ(e.w().text(Value), "删除子项(U)");
}

TEST(Editor, EditflagOutlivesTheWindow) {
    Editor e;
    e.makeEntries({row("甲")});
    e.open();
    e.clickRow(0);
    e.press(Change);
    EXPECT_TRUE(e.desktop.closeBox(WindowKind::Editor));
    EXPECT_FALSE(e.isOpen(WindowKind::Editor));
    e.open();
    EXPECT_EQ(e.program.editflag(), 1);
    EXPECT_EQ(e.w().text(forms::names::editor::Status), "");
    EXPECT_FALSE(e.w().enabled(Save));
}

TEST(Editor, MoreThan450EntriesWork) {
    Editor e;
    std::vector<EntryRow> rows;
    for (int i = 0; i < 500; ++i) rows.push_back(row("项" + std::to_string(i)));
    e.makeEntries(rows);
    e.open();
    EXPECT_EQ(e.w().gridRows(Grid1), 500);
    EXPECT_EQ(e.w().grid(Grid1).currentRow, 499);
    e.clickRow(480);
    EXPECT_EQ(e.w().text(Name), "项480");
    e.press(Delete);
    EXPECT_EQ(e.w().gridRows(Grid1), 499);
    EXPECT_EQ(e.w().cell(Grid1, 480, 0), "项481");
}

TEST(Editor, UnreadableUserDatIsReportedWithoutCrashing) {
    for (std::string state : {"missing", "damaged", "locked"}) {
        SCOPED_TRACE(state);
        Editor e;
        std::optional<SQLite::Database> other;
        if (state == "damaged") e.write("user.dat", "not a database, just text");
        if (state == "locked") {
            e.makeEntries({row("甲")});
            other.emplace((e.dir / "user.dat").string(), SQLite::OPEN_READWRITE);
            other->exec("BEGIN EXCLUSIVE");
        }
        e.open();
        ASSERT_EQ(e.messages.shown.size(), 1u);
        EXPECT_EQ(e.messages.shown[0].title, "系统提示");
        EXPECT_EQ(e.w().gridRows(Grid1), 0);

        e.press(Add);
        e.fill("甲", "HKEY_USERS", "k", "n", "1", "DWORD 值(D)");
        e.press(Save);
        EXPECT_EQ(e.messages.shown.size(), 2u);
        e.press(Cancel);
        e.press(Delete);
        EXPECT_EQ(e.messages.shown.size(), 3u);
        e.press(Cancel);
        e.press(Change);
        e.fill("甲", "HKEY_USERS", "k", "n", "1", "DWORD 值(D)");
        e.press(Save);
        EXPECT_EQ(e.messages.shown.size(), 4u);
        for (const auto& shown : e.messages.shown) EXPECT_EQ(shown.buttons, Buttons::Ok);
        if (state == "missing") {
            EXPECT_FALSE(std::filesystem::exists(e.dir / "user.dat"));
        }
        if (state == "locked") {
            other.reset();
            EXPECT_EQ(e.userDat().size(), 1u);
        }
    }
}

}  // namespace
