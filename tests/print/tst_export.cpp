// Export to the desktop database file and to workbooks: records, cancelling, the column limit, and
// the workbook as LibreOffice reads it.
#include "db/messages.h"
#include "print/accessdatabase.h"
#include "print/basExport.h"
#include "print/frmFlexPrint.h"
#include "print/printdesigner.h"
#include "print/savefilechooser.h"
#include "print/workbookexport.h"
#include "printfixture.h"
#include "startup/environment.h"
#include "support/recordingpresenter.h"
#include "support/testfiles.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <sqlite3.h>

namespace {

// The rows of a query on a database file, cells joined by "|", NULL as "<null>".
QStringList query(const QString& path, const QString& sql)
{
    sqlite3* db = nullptr;
    QStringList rows;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) == SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW) {
                QStringList cells;
                for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
                    cells.append(text ? QString::fromUtf8(text) : QStringLiteral("<null>"));
                }
                rows.append(cells.join('|'));
            }
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return rows;
}

// Answers the next modal window: types a table name (or picks a listed table) and presses a button.
void answerTableWindow(const QString& table, const char* button)
{
    QTimer::singleShot(0, [table, button] {
        QWidget* window = QApplication::activeModalWidget();
        QVERIFY(window);
        if (!table.isEmpty())
            window->findChild<QLineEdit*>(QStringLiteral("txtTable"))->setText(table);
        QTest::mouseClick(window->findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
    });
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    RecordingPresenter* presenter = nullptr;
    QString chosen; // what the save dialog answers
    int dialogs = 0;
    QWidget owner;

private Q_SLOTS:
    void initTestCase()
    {
        Environment::instance().setProgramDirectory(dir.path());
        presenter = RecordingPresenter::install();
        LIB_SetSaveFileChooser([this](const SaveFileRequest&, QString*) {
            ++dialogs;
            return chosen;
        });
    }
    void init()
    {
        presenter->clear();
        dialogs = 0;
    }

    // Each row adds a record naming only its filled fields, as text; an empty row adds nothing.
    void recordsNameOnlyTheFilledFields_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QStringList>("stored"); // the record, or none
        QTest::newRow("full") << QStringList{"1", "红楼梦", "12.50"} << QStringList{"1|红楼梦|12.50|text"};
        QTest::newRow("partly empty") << QStringList{"2", "", "0"} << QStringList{"2|<null>|0|text"};
        QTest::newRow("quote") << QStringList{"3", "O'Brien \"x\"", ""}
                               << QStringList{"3|O'Brien \"x\"|<null>|null"};
        QTest::newRow("empty") << QStringList{"", "", ""} << QStringList{};
    }
    void recordsNameOnlyTheFilledFields()
    {
        QFETCH(QStringList, cells);
        QFETCH(QStringList, stored);
        QStandardItemModel grid(1, 4);
        grid.setHorizontalHeaderLabels({"编号", "题名", "读者", "金额"});
        for (int c = 0; c < 3; ++c)
            grid.setItem(0, c == 2 ? 3 : c, new QStandardItem(cells.at(c)));
        grid.setItem(0, 2, new QStandardItem(QStringLiteral("秘密")));
        const QList<ExportColumn> columns = LIB_ExportColumns(grid, {2});
        const QString path = dir.filePath(QStringLiteral("rows-%1.db").arg(QTest::currentDataTag()));
        AccessDatabase database(path);
        QCOMPARE(database.create(), 0);
        QCOMPARE(database.createTable(QStringLiteral("阅览 \"日志\""), columns), 0);
        QCOMPARE(database.insertRows(QStringLiteral("阅览 \"日志\""), grid, columns), int(stored.size()));
        QCOMPARE(query(path, "SELECT 编号, 题名, 金额, typeof(金额) FROM \"阅览 \"\"日志\"\"\""), stored);
    }

    // Cancelling the file dialog leaves nothing; cancelling the table window leaves the new,
    // empty database; more than 51 columns stop before the dialog.
    void cancelledOrRefusedExportsLeaveNoRows_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<bool>("chooseFile");
        QTest::addColumn<int>("dialogs");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("fileLeft");
        QTest::newRow("file dialog cancelled") << 3 << false << 1 << 1 << false;
        QTest::newRow("table window cancelled") << 3 << true << 1 << 1 << true;
        QTest::newRow("51 columns") << 51 << true << 1 << 1 << true;
        QTest::newRow("52 columns") << 52 << true << 0 << -1 << false;
    }
    void cancelledOrRefusedExportsLeaveNoRows()
    {
        QFETCH(int, columns);
        QFETCH(bool, chooseFile);
        QFETCH(int, dialogs);
        QFETCH(int, result);
        QFETCH(bool, fileLeft);
        QStandardItemModel grid(2, columns + 1);
        grid.setItem(0, 0, new QStandardItem(QStringLiteral("x")));
        const QString path = dir.filePath(QStringLiteral("cancel-%1.db").arg(QTest::currentDataTag()));
        chosen = chooseFile ? path : QString();
        if (fileLeft)
            answerTableWindow(QString(), "cmdCancel");
        QCOMPARE(ExportGridToAccess(&owner, grid, {columns}), result); // the last column hidden
        QCOMPARE(this->dialogs, dialogs);
        QCOMPARE(QFile::exists(path), fileLeft);
        if (fileLeft)
            QCOMPARE(query(path, "SELECT count(*) FROM sqlite_master"), QStringList{"0"});
    }

    // The designer's "导出Access文件": a new table in a new file, then the same file again with
    // its table picked from the list.
    void designerWritesItsVisibleColumnsToATable()
    {
        fillReadingLog(PrintHandover::instance());
        frmFlexPrint* designer = LIB_PrintDesigner(&owner);
        chosen = dir.filePath("designer.db");
        answerTableWindow(QStringLiteral(" 日志 "), "cmdOK");
        designer->action("mnuExportAccess")->trigger();
        QCOMPARE(presenter->lastText(), QStringLiteral("数据导出完毕!"));
        QCOMPARE(query(chosen, "SELECT name FROM sqlite_master"), QStringList{"日志"});
        QCOMPARE(query(chosen, "SELECT * FROM 日志"),
                 (QStringList{"1|红楼梦|12.50", "2|<null>|0", "3|a|b|3.00"}));

        QTimer::singleShot(0, [] {
            QWidget* window = QApplication::activeModalWidget();
            auto* list = window->findChild<QListWidget*>(QStringLiteral("lstTables"));
            QCOMPARE(list->count(), 1);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(0)).center());
            QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        designer->action("mnuExportAccess")->trigger();
        QCOMPARE(query(chosen, "SELECT count(*) FROM 日志"), QStringList{"6"});
    }

    // A result grid into an existing file: the engine's own tables are not offered, a new table is
    // named, the view's hidden column stays out.
    void resultGridGoesIntoANewTableOfAnExistingFile()
    {
        chosen = dir.filePath("results.db");
        AccessDatabase database(chosen);
        QCOMPARE(database.create(), 0);
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(chosen.toUtf8().constData(), &db), SQLITE_OK);
        sqlite3_exec(
            db,
            "CREATE TABLE counter(id INTEGER PRIMARY KEY AUTOINCREMENT); INSERT INTO counter DEFAULT VALUES; "
            "DROP TABLE counter",
            nullptr, nullptr, nullptr);
        sqlite3_close(db);
        QCOMPARE(query(chosen, "SELECT name FROM sqlite_master"), QStringList{"sqlite_sequence"});

        QStandardItemModel grid(2, 3);
        grid.setHorizontalHeaderLabels({"证件号", "姓名", "次数"});
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c)
                grid.setItem(r, c, new QStandardItem(QStringLiteral("%1%2").arg(r).arg(c)));
        QTableView view;
        view.setModel(&grid);
        view.setColumnHidden(1, true);
        QTimer::singleShot(0, [] {
            QWidget* window = QApplication::activeModalWidget();
            QCOMPARE(window->findChild<QListWidget*>(QStringLiteral("lstTables"))->count(), 0);
            QVERIFY(!window->findChild<QWidget*>(QStringLiteral("optExisting"))->isEnabled());
            QVERIFY(!window->findChild<QWidget*>(QStringLiteral("cmdOK"))->isEnabled());
            window->findChild<QLineEdit*>(QStringLiteral("txtTable"))->setText(QStringLiteral("结果"));
            QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        QCOMPARE(ExportSpreadToAccess(&view), 0);
        QCOMPARE(presenter->lastText(), QStringLiteral("数据已成功保存!"));
        QCOMPARE(query(chosen, "SELECT * FROM 结果"), (QStringList{"00|02", "10|12"}));
    }

    // The workbook of the designer and of the hand-over without a window, as LibreOffice reads it.
    void workbookOpensWithTitleConditionHeadingsAndText()
    {
        const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (office.isEmpty())
            QSKIP("LibreOffice is not installed (scripts/bootstrap installs it)");
        fillReadingLog(PrintHandover::instance());
        PrintHandover::instance().appendRow(
            {QStringLiteral("007"), QStringLiteral("=1+1"), QString(), QString()});
        frmFlexPrint* designer = LIB_PrintDesigner(&owner);
        chosen = dir.filePath("designer.xlsx");
        designer->action("mnuExportExcel")->trigger();
        QCOMPARE(presenter->lastText(), QStringLiteral("导出到Excel完成！"));
        QCOMPARE(designer->grid()->model()->rowCount(), 4);
        QCOMPARE(LIB_ExportHandoverToXlsx(dir.filePath("handover.xlsx")), 0);

        QProcess convert;
        convert.setWorkingDirectory(dir.path());
        convert.start(office,
                      {QStringLiteral("-env:UserInstallation=file://") + dir.filePath("office-profile"),
                       "--headless", "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76", "--outdir",
                       dir.path(), dir.filePath("designer.xlsx"), dir.filePath("handover.xlsx")});
        QVERIFY(convert.waitForFinished(180000));
        const QString expected =
            QStringLiteral("阅览日志,,\n"
                           "起始日期：2026-01-01 终止日期：2026-01-31 阅览室：第一阅览室 "
                           "制表日期：2026-02-01 制表人：A001,,\n"
                           "编号,题名,金额\n"
                           "1,红楼梦,12.50\n"
                           "2,,0\n"
                           "3,a|b,3.00\n"
                           "007,=1+1,\n");
        for (const char* name : {"designer.csv", "handover.csv"}) {
            QCOMPARE(QString::fromUtf8(readFile(dir.filePath(name))).remove('\r'), expected);
        }
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
