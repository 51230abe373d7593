// Choosing items in the checklist, built-in and custom categories alike.
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>

#include "support/session.h"
#include "ui/drives.h"
#include "ui/logo.h"
#include "ui/main.h"

using namespace tessmar;
using test::child;

namespace {

const QString kMark = " √";

}  // namespace

class ChecklistTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::Session> session;
    ui::main* window = nullptr;
    QTableWidget* grid = nullptr;

    void show(int category) {
        test::press(child<QWidget>(window, QString("Command2(%1)").arg(category)), Qt::LeftButton);
    }
    void click(const QString& name) { child<QPushButton>(window, name)->click(); }
    // The rows marked, as "1" / "0" per item row; fails when a mark and its flag disagree.
    QString marks() const {
        QString result;
        const std::vector<bool>& flags = window->flags(window->shezhiflag());
        for (int k = 1; k < grid->rowCount(); ++k) {
            const bool marked = grid->item(k, 2)->text() == kMark;
            if (marked != flags[static_cast<std::size_t>(k)])
                return QString("row %1: mark and flag disagree").arg(k);
            result += marked ? '1' : '0';
        }
        return result;
    }

  private slots:
    void init() {
        session = std::make_unique<test::Session>();
        window = ui::main::open(session->context);
        grid = child<QTableWidget>(window, "Grid1");
    }
    void cleanup() { session.reset(); }

    void showsTheStoredSelection() {
        session->write("vorn.ini", "\"1010000\",\"C:\\WINDOWS\",\"\",,,\"\",\r\n");
        show(0);
        QCOMPARE(grid->rowCount(), 8);
        QCOMPARE(grid->item(0, 0)->text(), QString("序号"));
        QCOMPARE(grid->item(0, 2)->text(), QString("选取"));
        QCOMPARE(grid->item(1, 1)->text(), QString("禁用“IE”菜单上显示“Internet选项”"));
        QCOMPARE(marks(), QString("1010000"));
    }

    void pressesToggleMarkAndFlagTogether() {
        show(3);
        struct Press {
            int row, column;
            Qt::MouseButton button;
            Qt::MouseButtons held;
            QString after;
        } presses[] = {
            {4, 1, Qt::LeftButton, {}, "00010000000"},
            {4, 2, Qt::LeftButton, {}, "00000000000"},
            {4, 0, Qt::LeftButton, {}, "00010000000"},
            {0, 1, Qt::LeftButton, {}, "00010000000"},
            {0, 2, Qt::RightButton, {}, "00010000000"},
            {2, 1, Qt::RightButton, {}, "00010000000"},
            {2, 1, Qt::MiddleButton, {}, "00010000000"},
            {2, 1, Qt::LeftButton, Qt::LeftButton | Qt::RightButton, "00010000000"},
            {11, 1, Qt::LeftButton, {}, "00010000001"},
        };
        for (const Press& p : presses) {
            test::pressCell(grid, p.row, p.column, p.button, p.held);
            QCOMPARE(marks(), p.after);
        }
        QCOMPARE(grid->currentRow(), 11);
        QCOMPARE(grid->currentColumn(), 2);

        // Only the exact mark counts as marked: anything else is marked by the next press.
        grid->item(5, 2)->setText("    ");
        grid->item(6, 2)->setText("√");
        test::pressCell(grid, 5, 1);
        QCOMPARE(grid->item(5, 2)->text(), kMark);
        test::pressCell(grid, 6, 1);
        QCOMPARE(marks(), QString("00011100001"));

        // Below the last row there is no item.
        const int below = grid->visualRect(grid->model()->index(11, 1)).bottom() + 5;
        if (below < grid->viewport()->height()) {
            test::mouse(grid->viewport(), QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton,
                        QPoint(50, below));
            QCOMPARE(marks(), QString("00011100001"));
        }
    }

    void rightPressOpensTheSideWindowsOfTheDesktopCategory() {
        show(0);
        test::pressCell(grid, 2, 1, Qt::RightButton);
        test::pressCell(grid, 3, 1, Qt::RightButton);
        QVERIFY(!ui::drives::instance() && !ui::logo::instance());

        show(1);
        test::pressCell(grid, 2, 1, Qt::RightButton);
        QVERIFY(ui::drives::instance());
        test::pressCell(grid, 3, 1, Qt::RightButton);
        ui::logo* notice = ui::logo::instance();
        QVERIFY(notice);
        test::pressCell(grid, 3, 2, Qt::RightButton);
        QCOMPARE(ui::logo::instance(), notice);
        QCOMPARE(marks(), QString(20, '0'));
    }

    void selectAllAndNone() {
        show(1);
        click("Command3(0)");
        QCOMPARE(marks(), QString(20, '1'));
        QCOMPARE(grid->currentRow(), 20);
        // The heading row is fixed: it stays in view when the grid scrolls to the last row.
        grid->scrollToBottom();
        QVERIFY(grid->verticalScrollBar()->value() > 0);
        QVERIFY(grid->horizontalHeader()->isVisible());
        QCOMPARE(grid->horizontalHeaderItem(2)->text(), QString("选取"));
        QCOMPARE(grid->horizontalHeaderItem(1)->text(),
                 QString("             系统桌面（要设置的项目）"));
        click("Command3(1)");
        QCOMPARE(marks(), QString(20, '0'));
        QVERIFY(std::ranges::none_of(window->flags(0), [](bool f) { return f; }));
    }

    void switchingBackShowsTheStoredSelectionAndApplyStoresTheShownOne() {
        show(2);
        test::pressCell(grid, 1, 1);
        show(0);
        show(2);
        QCOMPARE(marks(), QString("00000"));

        test::pressCell(grid, 2, 1);
        test::pressCell(grid, 5, 1);
        click("Command5");
        show(2);
        QCOMPARE(marks(), QString("01001"));
        QCOMPARE(session->read("vorn.ini"), std::string(",\"C:\\WINDOWS\",,,\"01001\",,\r\n"));
    }

    void customCategoryShowsTheEntriesWithTheirStoredMarks() {
        session->write("vorn.ini", "\"\",\"C:\\WINDOWS\",,,,\"\",\"1011111\"\r\n");
        session->makeUserDat({"一", "", "三", "四", "五"});
        show(0);
        click("Command3(0)");  // leaves marks in the grid that the custom fill must not keep
        show(4);
        QCOMPARE(window->shezhiflag(), 4);
        QCOMPARE(window->nrow(), 6);
        QCOMPARE(grid->item(0, 1)->text(),
                 QString("           自定功能（要设置的项目）           "));
        QCOMPARE(grid->item(2, 0)->text(), QString("2"));
        QVERIFY(grid->item(2, 1)->text().isEmpty());
        QCOMPARE(marks(), QString("10111"));
        QVERIFY(session->messages.shown.empty());
    }

    void customCategoryWithoutUserDat() {
        show(4);
        QCOMPARE(session->lastMessage(), QString("系统提示:|系统文件丢失,请重新安装!"));
        QCOMPARE(window->nrow(), 1);
        QCOMPARE(grid->rowCount(), 1);
        QVERIFY(grid->isVisible());
        click("Command3(0)");
        test::pressCell(grid, 0, 1);
        QCOMPARE(marks(), QString());
        show(3);
        QCOMPARE(grid->rowCount(), 12);
    }

    void moreThan450EntriesAreChosenAndStored() {
        std::vector<std::string> names;
        for (int i = 1; i <= 460; ++i) names.push_back("项目" + std::to_string(i));
        session->makeUserDat(names);
        show(4);
        QCOMPARE(window->nrow(), 461);
        click("Command3(0)");
        test::pressCell(grid, 455, 1);
        QCOMPARE(marks(), QString(454, '1') + "0" + QString(5, '1'));
        click("Command5");
        const std::string stored = session->read("vorn.ini");
        QCOMPARE(stored, ",\"C:\\WINDOWS\",,,,,\"" + std::string(454, '1') + "0" +
                             std::string(5, '1') + "\"\r\n");
        show(4);
        QCOMPARE(marks(), QString(454, '1') + "0" + QString(5, '1'));
    }
};

QTEST_MAIN(ChecklistTest)
#include "checklist_test.moc"
