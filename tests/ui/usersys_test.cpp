// The custom entry editor against a real user.dat in a program directory of its own.
#include <QComboBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <functional>

#include "side_fixture.h"
#include "ui/usersys.h"

using tessmar::platform::Answer;
using tessmar::platform::Buttons;
using tessmar::platform::EntryRow;
using tessmar::test::activate;
using tessmar::test::child;
using tessmar::test::closeOpenWindow;
using tessmar::test::settle;
using tessmar::test::SideFixture;
using tessmar::ui::usersys;

namespace {

EntryRow row(std::string name, std::int16_t reg = 1) {
    return EntryRow{name, "HKEY_CURRENT_USER ", "Software\\Test", "v" + name, "1", reg};
}

// The editor's controls by name.
struct Editor {
    usersys* w;
    QLineEdit* name() const { return child<QLineEdit>(w, "Text1(3)"); }
    QLineEdit* key() const { return child<QLineEdit>(w, "Text1(0)"); }
    QLineEdit* second() const { return child<QLineEdit>(w, "Text1(1)"); }
    QLineEdit* value() const { return child<QLineEdit>(w, "Text1(2)"); }
    QComboBox* root() const { return child<QComboBox>(w, "Combo1"); }
    QComboBox* type() const { return child<QComboBox>(w, "Combo2"); }
    QTableWidget* grid() const { return child<QTableWidget>(w, "Grid1"); }
    QPushButton* add() const { return child<QPushButton>(w, "Command2(0)"); }
    QPushButton* change() const { return child<QPushButton>(w, "Command2(1)"); }
    QPushButton* del() const { return child<QPushButton>(w, "Command2(3)"); }
    QPushButton* cancel() const { return child<QPushButton>(w, "Command2(4)"); }
    QPushButton* save() const { return child<QPushButton>(w, "Command3"); }
    QString status() const { return child<QLabel>(w, "Label1(6)")->text(); }
    QString clickedName() const { return child<QLabel>(w, "Label1(5)")->text(); }

    void press(QPushButton* button) const {
        QVERIFY(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void click(int r) const {
        QTableWidget* g = grid();
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {},
                          g->visualRect(g->model()->index(r, 0)).center());
    }
    void fill(const QString& n, const QString& root, const QString& k, const QString& s,
              const QString& v, const QString& t) const {
        name()->setText(n);
        this->root()->setEditText(root);
        key()->setText(k);
        second()->setText(s);
        value()->setText(v);
        type()->setEditText(t);
    }
    QStringList names() const {
        QStringList list;
        for (int r = 0; r < grid()->rowCount(); ++r) list << grid()->item(r, 0)->text();
        return list;
    }
    bool boxesEnabled() const {
        return name()->isEnabled() && key()->isEnabled() && second()->isEnabled() &&
               value()->isEnabled();
    }
    bool boxesDisabled() const {
        return !name()->isEnabled() && !key()->isEnabled() && !second()->isEnabled() &&
               !value()->isEnabled();
    }
};

QWidget* focused() {
    return QApplication::focusWidget();
}

}  // namespace

class UsersysTest : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { closeOpenWindow<usersys>(); }

    void openingShowsTheNamesWithTheLastRowCurrent() {
        SideFixture f;
        f.makeEntries({row("甲"), row("乙"), row("丙")});
        Editor e{usersys::open(f.context)};
        QCOMPARE(e.w->windowTitle(), QStringLiteral(" 自定功能维护 "));
        QCOMPARE(e.w->size(), QSize(497, 289));
        QCOMPARE(e.names(), QStringList({"甲", "乙", "丙"}));
        QCOMPARE(e.grid()->currentRow(), 2);
        QCOMPARE(e.grid()->columnCount(), 1);
        QVERIFY(e.grid()->horizontalHeader()->isHidden());
        QVERIFY(f.messages.shown.empty());
        QCOMPARE(usersys::open(f.context), e.w);
    }

    void enabledStatesFollowEachEvent() {
        SideFixture f;
        f.makeEntries({row("甲"), row("乙"), row("丙")});
        Editor e{usersys::open(f.context)};
        auto answer = [&](Answer a) { f.messages.answers.push_back(a); };

        struct Step {
            const char* event;
            std::function<void()> act;
            bool add, change, del, save, boxes;
            std::int16_t editflag;
            const char* status;
        };
        const char* adding = "进行增加操作";
        const char* changing = "进行修改操作";
        const char* deleting = "进行删除操作";
        const char* picked = "进行删除或修改操作";
        const std::vector<Step> steps = {
            {"opened", [] {}, true, false, false, false, false, 0, ""},
            {"add", [&] { e.press(e.add()); }, false, false, false, true, true, 0, adding},
            {"cancel", [&] { e.press(e.cancel()); }, true, true, true, false, true, 7, ""},
            {"list click", [&] { e.click(1); }, false, true, true, false, true, 7, picked},
            {"change", [&] { e.press(e.change()); }, false, true, false, true, true, 1, changing},
            {"save, Cancel",
             [&] {
                 answer(Answer::Cancel);
                 e.press(e.save());
             },
             false, true, false, false, true, 1, changing},
            {"change again", [&] { e.press(e.change()); }, false, true, false, true, true, 1,
             changing},
            {"save, OK", [&] { e.press(e.save()); }, true, false, false, false, false, 1, changing},
            {"list click", [&] { e.click(0); }, false, true, true, false, true, 1, picked},
            {"delete, Cancel",
             [&] {
                 answer(Answer::Cancel);
                 e.press(e.del());
             },
             false, false, true, false, true, 3, deleting},
            {"delete, OK", [&] { e.press(e.del()); }, true, false, false, false, false, 3,
             deleting},
            {"cancel", [&] { e.press(e.cancel()); }, true, true, true, false, false, 7, ""},
            {"add", [&] { e.press(e.add()); }, false, false, false, true, true, 0, adding},
            {"save new, OK",
             [&] {
                 e.name()->setText("丁");
                 e.key()->setText("k");
                 e.second()->setText("n");
                 e.value()->setText("2");
                 e.press(e.save());
             },
             true, false, false, false, false, 0, adding},
        };
        for (const Step& step : steps) {
            step.act();
            const QByteArray at = step.event;
            QVERIFY2(e.add()->isEnabled() == step.add, at);
            QVERIFY2(e.change()->isEnabled() == step.change, at);
            QVERIFY2(e.del()->isEnabled() == step.del, at);
            QVERIFY2(e.save()->isEnabled() == step.save, at);
            QVERIFY2(step.boxes ? e.boxesEnabled() : e.boxesDisabled(), at);
            QVERIFY2(e.cancel()->isEnabled() && e.root()->isEnabled() && e.type()->isEnabled() &&
                         e.grid()->isEnabled(),
                     at);
            QVERIFY2(f.context.editflag == step.editflag, at);
            QVERIFY2(e.status() == QString::fromUtf8(step.status), at);
        }
        QVERIFY(f.messages.answers.empty());
        // Row 1 was changed in place (as loaded), row 0 deleted, 丁 added last.
        QCOMPARE(e.names(), QStringList({"乙", "丙", "丁"}));
        QCOMPARE(f.userDat().size(), std::size_t(3));
    }

    void saveChecksEachBoxInOrderAndFocusesIt() {
        SideFixture f;
        f.makeEntries({});
        Editor e{usersys::open(f.context)};
        QVERIFY(activate(e.w));
        e.press(e.add());
        struct Check {
            QWidget* box;
            std::function<void()> empty;
            const char* message;
        };
        const std::vector<Check> checks = {
            {e.name(), [&] { e.name()->clear(); }, "“名称”不能为空"},
            {e.root(), [&] { e.root()->setEditText(""); }, "“配置单元”未选择"},
            {e.key(), [&] { e.key()->clear(); }, "“项的内容”不能为空"},
            {e.second(), [&] { e.second()->clear(); }, "“子项的内容”不能为空"},
            {e.value(), [&] { e.value()->clear(); }, "“值”不能为空"},
            {e.type(), [&] { e.type()->setEditText(""); }, "“值的类型”未选择"},
        };
        for (std::size_t failing = 0; failing < checks.size(); ++failing) {
            // Blanks are not empty: every box before the failing one holds only a blank.
            e.fill(" ", " ", " ", " ", " ", " ");
            for (std::size_t later = failing; later < checks.size(); ++later) checks[later].empty();
            e.save()->setFocus();
            f.messages.shown.clear();
            e.press(e.save());
            QCOMPARE(f.messages.shown.size(), std::size_t(1));
            QCOMPARE(f.messages.shown[0].text, std::string(checks[failing].message));
            QCOMPARE(f.messages.shown[0].title, std::string("系统提示"));
            QCOMPARE(f.messages.shown[0].buttons, Buttons::Ok);
            QCOMPARE(focused(), checks[failing].box);
            QVERIFY(e.save()->isEnabled());
        }
        QVERIFY(f.userDat().empty());
    }

    void textOutsideCodePage936IsRefused() {
        SideFixture f;
        f.makeEntries({});
        Editor e{usersys::open(f.context)};
        QVERIFY(activate(e.w));
        e.press(e.add());
        e.fill("名", "HKEY_CURRENT_USER", "Software\\T", "v", "😀", "字符串值(S)");
        e.press(e.save());
        QCOMPARE(f.messages.shown.size(), std::size_t(1));
        QCOMPARE(focused(), e.value());
        QVERIFY(e.save()->isEnabled());
        QCOMPARE(e.value()->text(), QStringLiteral("😀"));
        QVERIFY(f.userDat().empty());
    }

    void addStoresTrimmedFieldsAndTheRootAsShown() {
        SideFixture f;
        f.makeEntries({});
        Editor e{usersys::open(f.context)};
        e.press(e.add());
        QCOMPARE(e.root()->currentText(), QStringLiteral("HKEY_CURRENT_USER"));
        QCOMPARE(e.type()->currentText(), QStringLiteral("DWORD 值(D)"));
        e.name()->setText("  甲 ");
        e.key()->setText(" Software\\A ");
        e.second()->setText(" n ");
        e.value()->setText(" 5 ");
        e.press(e.save());
        QCOMPARE(f.messages.shown.size(), std::size_t(1));
        QCOMPARE(f.messages.shown[0].text,
                 std::string("增加的内容要存盘(请确保输入的信息正确无误)吗？"));
        QCOMPARE(f.messages.shown[0].buttons, Buttons::OkCancel);

        e.press(e.add());
        e.root()->setCurrentIndex(2);
        e.type()->setCurrentIndex(0);
        e.name()->setText("乙");
        e.key()->setText("k");
        e.second()->setText("s");
        e.value()->setText("v");
        e.press(e.save());

        const std::vector<EntryRow> expected = {
            {"甲", "HKEY_CURRENT_USER", "Software\\A", "n", "5", 1},
            {"乙", "HKEY_LOCAL_MACHINE ", "k", "s", "v", 2},
        };
        QVERIFY(f.userDat() == expected);
        QCOMPARE(e.names(), QStringList({"甲", "乙"}));
        QCOMPARE(e.grid()->currentRow(), 1);

        e.click(1);
        QCOMPARE(e.clickedName(), QStringLiteral("乙"));
        QCOMPARE(e.root()->currentText(), QStringLiteral("HKEY_LOCAL_MACHINE "));
        QCOMPARE(e.type()->currentText(), QStringLiteral("字符串值(S)"));
        QCOMPARE(e.name()->text(), QStringLiteral("乙"));
    }

    void duplicateNamesAreComparedTrimmedAndReportedAsTyped() {
        SideFixture f;
        f.makeEntries({row("甲")});
        Editor e{usersys::open(f.context)};
        QVERIFY(activate(e.w));
        e.press(e.add());
        e.fill("  甲  ", "HKEY_USERS", "k", "n", "1", "DWORD 值(D)");
        e.save()->setFocus();
        e.press(e.save());
        QCOMPARE(f.messages.shown.size(), std::size_t(1));
        QCOMPARE(f.messages.shown[0].text, std::string("  甲  ->内容已存在，现无法增加！"));
        QCOMPARE(focused(), e.name());

        // A name of blanks only passes the checks and is stored empty; a second one is then a
        // duplicate.
        e.name()->setText("   ");
        e.press(e.save());
        QCOMPARE(f.userDat().size(), std::size_t(2));
        QCOMPARE(f.userDat()[1].sm, std::optional<std::string>(""));
        e.press(e.add());
        e.fill(" ", "HKEY_USERS", "k", "n", "1", "DWORD 值(D)");
        f.messages.shown.clear();
        e.press(e.save());
        QCOMPARE(f.messages.shown.size(), std::size_t(1));
        QCOMPARE(f.messages.shown[0].text, std::string(" ->内容已存在，现无法增加！"));
        QCOMPARE(f.userDat().size(), std::size_t(2));
    }

    void addAnsweredCancelStillRefreshes() {
        SideFixture f;
        f.makeEntries({row("甲")});
        Editor e{usersys::open(f.context)};
        e.press(e.add());
        e.fill("乙", "HKEY_USERS", "k", "n", "1", "DWORD 值(D)");
        e.grid()->setCurrentCell(0, 0);
        f.messages.answers.push_back(Answer::Cancel);
        e.press(e.save());
        QCOMPARE(f.userDat().size(), std::size_t(1));
        QVERIFY(e.boxesDisabled());
        QCOMPARE(e.name()->text(), QStringLiteral("乙"));
        QVERIFY(e.add()->isEnabled());
        QVERIFY(!e.save()->isEnabled());
        QCOMPARE(f.context.editflag, std::int16_t(0));
        QCOMPARE(e.grid()->currentRow(), 0);  // a one-row list: the last row is row 0
    }

    void deleteActsOnTheCurrentRowEvenAfterCancel() {
        SideFixture f;
        f.makeEntries({row("甲"), row("乙"), row("丙"), row("丁")});
        Editor e{usersys::open(f.context)};
        e.click(0);
        e.press(e.cancel());
        e.press(e.del());
        QCOMPARE(f.messages.shown.back().text, std::string("确实要删除你选的内容吗？"));
        QCOMPARE(e.names(), QStringList({"乙", "丙", "丁"}));
        QCOMPARE(e.root()->currentText(), QString());
        QCOMPARE(e.name()->text(), QString());

        // Since then a refresh came: the current row is the last.
        e.press(e.cancel());
        e.press(e.del());
        QCOMPARE(e.names(), QStringList({"乙", "丙"}));
    }

    void deleteOnAnEmptyTableIsRefused() {
        SideFixture f;
        f.makeEntries({});
        Editor e{usersys::open(f.context)};
        e.click(0);  // nothing to click: nothing happens
        QCOMPARE(e.status(), QString());
        e.press(e.cancel());
        e.press(e.del());
        QCOMPARE(f.messages.shown.size(), std::size_t(1));
        QCOMPARE(f.messages.shown[0].text, std::string("现在无法进行删除操作！"));
        QCOMPARE(f.messages.shown[0].buttons, Buttons::Ok);
        QVERIFY(e.del()->isEnabled());
        QVERIFY(!e.add()->isEnabled());
    }

    void handTypedTypeLeavesRegUnsetOrUnchanged() {
        SideFixture f;
        f.makeEntries({row("甲", 2), row("乙", 3)});
        Editor e{usersys::open(f.context)};
        e.press(e.add());
        e.fill("丙", "HKEY_USERS", "k", "n", "1", "我的类型");
        e.press(e.save());
        QCOMPARE(f.userDat().at(2).reg, std::optional<std::int16_t>());

        e.click(0);
        e.press(e.change());
        e.name()->setText(" 乙 ");  // a change is not compared with the other names
        e.type()->setEditText("手写");
        e.press(e.save());
        const EntryRow changed{"乙", "HKEY_CURRENT_USER ", "Software\\Test", "v甲", "1", 2};
        QVERIFY(f.userDat().at(0) == changed);
        QCOMPARE(e.names(), QStringList({"乙", "乙", "丙"}));

        // Loading an entry without a known code leaves the type box as it was.
        e.click(1);
        QCOMPARE(e.type()->currentText(), QStringLiteral("二进制值(B)"));
        e.click(2);
        QCOMPARE(e.type()->currentText(), QStringLiteral("二进制值(B)"));
    }

    void enterWalksTheBoxesAndTheDeleteTypeFillsTheValue() {
        SideFixture f;
        f.makeEntries({});
        Editor e{usersys::open(f.context)};
        QVERIFY(activate(e.w));

        // With the text boxes disabled Enter in the root box leaves the focus where it is.
        e.root()->setFocus();
        QTest::keyClick(focused(), Qt::Key_Return);
        QCOMPARE(focused(), e.root());

        e.press(e.add());
        const QList<QWidget*> chain = {e.name(),  e.root(), e.key(), e.second(),
                                       e.value(), e.type(), e.save()};
        for (qsizetype i = 0; i + 1 < chain.size(); ++i) {
            chain[i]->setFocus();
            QTest::keyClick(focused(), Qt::Key_Return);
            QCOMPARE(focused(), chain[i + 1]);
        }
        QVERIFY(f.messages.shown.empty());
        QCOMPARE(e.root()->count(), 4);  // Enter adds nothing to the lists
        QCOMPARE(e.type()->count(), 4);

        // Choosing the delete type alone does not fill the value box; the next key does.
        e.value()->setText("x");
        e.type()->setCurrentIndex(3);
        QCOMPARE(e.value()->text(), QStringLiteral("x"));
        e.type()->setFocus();
        QTest::keyClick(focused(), Qt::Key_End);
        QCOMPARE(e.value()->text(), QStringLiteral("x"));
        QTest::keyClick(focused(), Qt::Key_A);
        QCOMPARE(e.value()->text(), QStringLiteral("删除子项(U)"));
        // The text before the key counts: it is no longer the delete type.
        e.value()->setText("y");
        QTest::keyClick(focused(), Qt::Key_Backspace);
        QCOMPARE(e.value()->text(), QStringLiteral("y"));
        QTest::keyClick(focused(), Qt::Key_Return);
        QCOMPARE(e.value()->text(), QStringLiteral("删除子项(U)"));
        QCOMPARE(focused(), e.save());
        // Text committed by an input method counts as typed.
        e.type()->setFocus();
        e.value()->setText("z");
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("字"));
        QApplication::sendEvent(focused(), &commit);
        QCOMPARE(e.value()->text(), QStringLiteral("删除子项(U)"));

        // Pressed while save is disabled, Enter in the type box leaves the focus there.
        e.press(e.cancel());
        e.type()->setFocus();
        QTest::keyClick(focused(), Qt::Key_Return);
        QCOMPARE(focused(), e.type());
    }

    void editflagOutlivesTheWindow() {
        SideFixture f;
        f.makeEntries({row("甲")});
        Editor e{usersys::open(f.context)};
        e.click(0);
        e.press(e.change());
        closeOpenWindow<usersys>();
        QVERIFY(!usersys::instance());
        e = Editor{usersys::open(f.context)};
        QCOMPARE(f.context.editflag, std::int16_t(1));
        QCOMPARE(e.status(), QString());
        QVERIFY(!e.save()->isEnabled());
    }

    void moreThan450EntriesWork() {
        SideFixture f;
        std::vector<EntryRow> rows;
        for (int i = 0; i < 500; ++i) rows.push_back(row("项" + std::to_string(i)));
        f.makeEntries(rows);
        Editor e{usersys::open(f.context)};
        QCOMPARE(e.grid()->rowCount(), 500);
        QCOMPARE(e.grid()->currentRow(), 499);
        e.grid()->scrollToItem(e.grid()->item(480, 0));
        e.click(480);
        QCOMPARE(e.name()->text(), QStringLiteral("项480"));
        e.press(e.del());
        QCOMPARE(e.grid()->rowCount(), 499);
        QCOMPARE(e.grid()->item(480, 0)->text(), QStringLiteral("项481"));
    }

    void unreadableUserDatIsReportedWithoutCrashing_data() {
        QTest::addColumn<QString>("state");
        QTest::newRow("missing") << "missing";
        QTest::newRow("damaged") << "damaged";
        QTest::newRow("locked") << "locked";
    }
    void unreadableUserDatIsReportedWithoutCrashing() {
        QFETCH(QString, state);
        SideFixture f;
        std::optional<SQLite::Database> other;
        if (state == "damaged") f.write("user.dat", "not a database, just text");
        if (state == "locked") {
            f.makeEntries({row("甲")});
            other.emplace(f.path("user.dat").string(), SQLite::OPEN_READWRITE);
            other->exec("BEGIN EXCLUSIVE");
        }
        Editor e{usersys::open(f.context)};
        QCOMPARE(f.messages.shown.size(), std::size_t(1));
        QCOMPARE(f.messages.shown[0].title, std::string("系统提示"));
        QCOMPARE(e.grid()->rowCount(), 0);

        e.press(e.add());
        e.fill("甲", "HKEY_USERS", "k", "n", "1", "DWORD 值(D)");
        e.press(e.save());
        QCOMPARE(f.messages.shown.size(), std::size_t(2));
        e.press(e.cancel());
        e.press(e.del());
        QCOMPARE(f.messages.shown.size(), std::size_t(3));
        e.press(e.cancel());
        e.press(e.change());
        e.fill("甲", "HKEY_USERS", "k", "n", "1", "DWORD 值(D)");
        e.press(e.save());
        QCOMPARE(f.messages.shown.size(), std::size_t(4));
        for (const auto& shown : f.messages.shown) QCOMPARE(shown.buttons, Buttons::Ok);
        if (state == "missing") QVERIFY(!std::filesystem::exists(f.path("user.dat")));
        if (state == "locked") {
            other.reset();
            QCOMPARE(f.userDat().size(), std::size_t(1));
        }
    }
};

QTEST_MAIN(UsersysTest)
#include "usersys_test.moc"
