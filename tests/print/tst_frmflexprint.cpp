// The print designer's windows offscreen against the demo library: loading, column commands,
// output items, MARC columns, the overwrite question, the list printer and the progress display.
#include "db/messages.h"
#include "info/marcfieldvalues.h"
#include "print/clsProgressBar.h"
#include "print/frmFlexPrint.h"
#include "print/frmFlexPrtCustom.h"
#include "print/frmNewPrint.h"
#include "print/printdesigner.h"
#include "print/printhandover.h"
#include "print/printheadingarea.h"
#include "printfixture.h"
#include "support/deskdata.h"
#include "support/recordingpresenter.h"
#include "support/testfiles.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

class TestFrmFlexPrint : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TestDatabase db{QStringLiteral("flexprint")};
    RecordingPresenter* presenter = nullptr;
    QWidget owner;

    frmFlexPrint* openDesigner()
    {
        fillReadingLog(PrintHandover::instance());
        return LIB_PrintDesigner(&owner);
    }

private Q_SLOTS:
    void initTestCase()
    {
        loadDeskData(db, home.path());
        presenter = RecordingPresenter::install();
    }
    void init() { presenter->clear(); }

    void designerShowsTheHandover()
    {
        frmFlexPrint* designer = openDesigner();
        QCOMPARE(designer->windowTitle(), QStringLiteral("打印设计－阅览日志"));
        QTableView* grid = designer->grid();
        QCOMPARE(grid->model()->rowCount(), 3);
        QVERIFY(grid->isColumnHidden(2));
        // Opened again for another list, the one designer shows the new rows.
        PrintHandover::instance().appendRow(
            {QStringLiteral("4"), QStringLiteral("西游记"), QString(), QString()});
        QCOMPARE(LIB_PrintDesigner(&owner), designer);
        QCOMPARE(grid->model()->rowCount(), 4);
    }

    // The column commands as the text export shows them afterwards. "删除列" hides a column from
    // view and output and offers it again; a column the caller hid is never offered.
    void columnCommandsShapeTheOutput_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("table"); // the export's lines after the second "=" line
        QTest::newRow("删除列") << "mnuDeleteColumn" << 1
                                << QStringList{"编号|金额", "1|12.50", "2|0", "3|3.00"};
        QTest::newRow("升序") << "mnuSortAsc" << 3
                              << QStringList{"编号|题名|金额", "2||0", "3|a|b|3.00", "1|红楼梦|12.50"};
        QTest::newRow("降序") << "mnuSortDesc" << 1
                              << QStringList{"编号|题名|金额", "3|a|b|3.00", "1|红楼梦|12.50", "2||0"};
        QTest::newRow("重命名") << "mnuRenameColumn" << 0
                                << QStringList{"No.|题名|金额", "1|红楼梦|12.50", "2||0", "3|a|b|3.00"};
        QTest::newRow("自定义列") << "mnuCustomColumn" << 0
                                  << QStringList{"编号|题名|金额|备注", "1|红楼梦|12.50|ok", "2||0|",
                                                 "3|a|b|3.00|"};
    }
    void columnCommandsShapeTheOutput()
    {
        QFETCH(QString, command);
        QFETCH(int, column);
        frmFlexPrint* designer = openDesigner();
        designer->show();
        designer->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(designer));
        QTableView* grid = designer->grid();
        grid->setCurrentIndex(grid->model()->index(0, column));
        if (command == "mnuCustomColumn") {
            // The operator's own column, typed into the grid.
            const int added = designer->addCustomColumn(QStringLiteral("备注"));
            grid->setCurrentIndex(grid->model()->index(0, added));
            grid->setFocus();
            QTest::keyClick(grid, Qt::Key_F2);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ok"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        } else {
            designer->action(command)->trigger();
        }
        if (command == "mnuRenameColumn") {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("No."));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        const QString path = home.filePath(QStringLiteral("command-%1.txt").arg(QTest::currentDataTag()));
        QCOMPARE(designer->exportTextTo(path), 0);
        const QStringList lines = QString::fromUtf8(readFile(path)).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(presenter->lastText(), QStringLiteral("文件导出完毕！"));
        QTEST(lines.mid(8), "table");
        if (command == "mnuDeleteColumn") {
            QVERIFY(grid->isColumnHidden(1));
            QMenu* showAgain = designer->findChild<QMenu*>(QStringLiteral("mnuShowColumn"));
            QCOMPARE(showAgain->actions().size(), 1);
            QCOMPARE(showAgain->actions().first()->text(), QStringLiteral("题名"));
            showAgain->actions().first()->trigger();
            QVERIFY(!grid->isColumnHidden(1));
            QVERIFY(showAgain->actions().isEmpty());
        }
        designer->hide();
    }

    // Heading lines: a hidden or deleted line leaves the output; one inserted by a double-click
    // on the free area is edited in place and printed.
    void headingLinesAreHiddenDeletedAndInserted()
    {
        frmFlexPrint* designer = openDesigner();
        designer->show();
        designer->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(designer));
        PrintHeadingArea* area = designer->headingArea();
        QTest::mouseClick(area->findChild<QWidget*>(QStringLiteral("lblHeading1")), Qt::LeftButton);
        designer->action("mnuTextHide")->trigger();
        QVERIFY(designer->action("mnuTextHide")->isChecked());
        QTest::mouseClick(area->findChild<QWidget*>(QStringLiteral("lblHeading2")), Qt::LeftButton);
        designer->action("mnuTextDelete")->trigger();
        QTest::mouseDClick(area, Qt::LeftButton, {}, QPoint(600, 60));
        auto* editor = area->findChild<QLineEdit*>(QStringLiteral("txtHeadingEdit"));
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->text(), QStringLiteral("在这里插入文本"));
        QTest::keyClicks(editor, QStringLiteral("Checked by the librarian"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(designer->layout().labels.last().text, QStringLiteral("Checked by the librarian"));

        const QString text = home.filePath("labels.txt");
        QCOMPARE(designer->exportTextTo(text), 0);
        const QStringList lines = QString::fromUtf8(readFile(text)).split("\r\n");
        QCOMPARE(lines.mid(2, 5),
                 (QStringList{"", "", "阅览室：第一阅览室", "制表日期：2026-02-01", "制表人：A001"}));
        designer->printer()->setOutputFormat(QPrinter::PdfFormat);
        designer->printer()->setOutputFileName(home.filePath("labels.pdf"));
        QCOMPARE(designer->printTo(designer->printer()), 0);
        const QString pdf = pdfText(home.filePath("labels.pdf"));
        QVERIFY(pdf.contains(QStringLiteral("Checked by the librarian")));
        QVERIFY(pdf.contains(QStringLiteral("阅览室：第一阅览室")));
        QVERIFY(!pdf.contains(QStringLiteral("起始日期")));
        QVERIFY(!pdf.contains(QStringLiteral("终止日期")));
        designer->hide();
    }

    // "保存用户设定" and the template applied to the next printout of the report.
    void savedTemplateArrangesTheNextPrintout()
    {
        frmFlexPrint* designer = openDesigner();
        QTableView* grid = designer->grid();
        grid->setColumnWidth(3, 150);
        grid->setCurrentIndex(grid->model()->index(0, 0));
        designer->action("mnuDeleteColumn")->trigger();
        designer->action("mnuSaveTemplate")->trigger();
        QVERIFY(QFile::exists(home.filePath("CFG/打印配置1/阅览日志")));
        QVERIFY(QFile::exists(home.filePath("CFG/打印配置2/阅览日志.txt")));

        designer = openDesigner();
        QVERIFY(!grid->isColumnHidden(0));
        QVERIFY(designer->loadTemplate());
        QVERIFY(grid->isColumnHidden(0));
        QVERIFY(grid->isColumnHidden(2));
        QCOMPARE(grid->columnWidth(3), 150);
        QCOMPARE(designer->findChild<QMenu*>(QStringLiteral("mnuShowColumn"))->actions().size(), 1);
        PrintHandover::instance().setReportName(QStringLiteral("阅览统计"));
        designer = LIB_PrintDesigner(&owner);
        QVERIFY(!designer->loadTemplate());
        QVERIFY(!grid->isColumnHidden(0));
    }

    void existingFileIsReplacedOnlyAfterTheQuestion_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("OK") << 1 << true;
        QTest::newRow("Cancel") << 2 << false;
    }
    void existingFileIsReplacedOnlyAfterTheQuestion()
    {
        QFETCH(int, answer);
        QFETCH(bool, replaced);
        frmFlexPrint* designer = openDesigner();
        for (const QString& suffix : {QStringLiteral("txt"), QStringLiteral("htm"), QStringLiteral("xml")}) {
            const QString path = home.filePath("old." + suffix);
            QVERIFY(writeFile(path, "old"));
            presenter->clear();
            presenter->answerNext(answer);
            const int result = suffix == "txt"   ? designer->exportTextTo(path)
                               : suffix == "htm" ? designer->exportHtmlTo(path)
                                                 : designer->exportXmlTo(path);
            QCOMPARE(result, replaced ? 0 : 1);
            QCOMPARE(presenter->texts().first(), RecordingPresenter::shownText(QStringLiteral("WCF011")));
            QCOMPARE(readFile(path) == "old", !replaced);
        }
    }

    // The output items: moved up, one unchecked, a sort choice; OK rearranges the table.
    void outputItemsRearrangeTheTable()
    {
        frmFlexPrint* designer = openDesigner();
        frmFlexPrtCustom items(designer->model(), designer);
        QTableWidget* list = items.list();
        QCOMPARE(list->rowCount(), 3); // the caller's hidden column is not listed
        list->setCurrentCell(2, 0);
        QTest::mouseClick(items.findChild<QPushButton*>(QStringLiteral("cmdUp")), Qt::LeftButton);
        list->item(2, 2)->setCheckState(Qt::Unchecked); // 题名
        list->setCurrentCell(1, 0);
        QTest::mouseClick(items.findChild<QPushButton*>(QStringLiteral("cmdDelete")), Qt::LeftButton);
        designer->applyColumns(items.columns());
        const PrintTableModel& model = designer->model();
        QStringList shown;
        for (int c : model.visibleColumns())
            shown.append(model.column(c).heading);
        QCOMPARE(shown, QStringList{QStringLiteral("编号")});
        QCOMPARE(model.columnCount(), 3); // 编号, 题名 (unchecked), 读者 (the caller's)
    }

    // A MARC column reads each row's record and takes the path of the record's format.
    void marcColumnReadsTheItemsRecords()
    {
        PrintHandover& h = PrintHandover::instance();
        h.reset(QStringLiteral("图书列表"));
        h.setHeadings({QStringLiteral("记录号"), QStringLiteral("格式")});
        const QStringList numbers =
            db.scalar("SELECT string_agg(marc_rec_no || ':' || marc_type || ':' || m_publisher, ',' ORDER BY "
                      "marc_type, marc_rec_no) "
                      "FROM (SELECT DISTINCT ON (marc_type) * FROM marc ORDER BY marc_type, marc_rec_no) m")
                .split(',');
        QVERIFY(numbers.size() >= 2);
        for (const QString& entry : numbers)
            h.appendRow({entry.section(':', 0, 0), entry.section(':', 1, 1)});
        h.appendRow({QStringLiteral("9999999999"), QStringLiteral("C")});
        h.setMarcColumn(0, LIB_ReadMarcFieldValues);
        frmFlexPrint* designer = LIB_PrintDesigner(&owner);
        const int column =
            designer->addMarcColumn(QStringLiteral("出版者"), QStringLiteral("210c"), QStringLiteral("260b"));
        QVERIFY(column >= 0);
        for (int r = 0; r < numbers.size(); ++r)
            QCOMPARE(designer->model().cell(r, column), numbers.at(r).section(':', 2));
        QCOMPARE(designer->model().cell(int(numbers.size()), column), QString());
    }

    void listPrinterSavesTextInEitherEncoding_data()
    {
        QTest::addColumn<bool>("unicode");
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("UTF-8") << false << QByteArray("\xe7\xbc\x96\xe5\x8f\xb7\t");
        QTest::newRow("Unicode") << true << QByteArray("\xff\xfe\x16\x7f\xf7\x53\t\0", 8);
    }
    void listPrinterSavesTextInEitherEncoding()
    {
        QFETCH(bool, unicode);
        QFETCH(QByteArray, start);
        QStandardItemModel spread(2, 3);
        spread.setHorizontalHeaderLabels(
            {QStringLiteral("编号"), QStringLiteral("题名"), QStringLiteral("金额")});
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c)
                spread.setItem(r, c, new QStandardItem(QStringLiteral("%1-%2").arg(r).arg(c)));
        frmNewPrint list;
        list.SpdSel2Flex(spread, 1, 1, 0, 1);
        const QString path = home.filePath(unicode ? "list16.txt" : "list8.txt");
        QCOMPARE(list.saveText(path, unicode), 0);
        const QByteArray bytes = readFile(path);
        QVERIFY(bytes.startsWith(start));
        const QString text =
            unicode ? QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                         (bytes.size() - 2) / 2)
                    : QString::fromUtf8(bytes);
        QCOMPARE(text, QStringLiteral("编号\t题名\r\n1-0\t1-1\r\n"));
    }

    // A block of the list printed under its header with its footer line.
    void listPrinterPrintsABlock()
    {
        frmNewPrint list;
        list.LoadArray2Flex({{"编号", "题名", "金额"},
                             {"1", "红楼梦", "12.50"},
                             {"2", "西游记", "8.00"},
                             {"3", "水浒传", "9.00"}});
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(home.filePath("block.pdf"));
        QCOMPARE(list.PrintSel(1, 1, 2, 2, QStringLiteral("图书清单"), QStringLiteral("经手人：A001"), {},
                               &printer),
                 0);
        const QString text = pdfText(home.filePath("block.pdf"));
        for (const char* shown : {"图书清单", "经手人：A001", "西游记", "水浒传", "9.00", "第 1 页，共 1 页"})
            QVERIFY2(text.contains(QString::fromUtf8(shown)), shown);
        for (const char* left : {"红楼梦", "编号"})
            QVERIFY2(!text.contains(QString::fromUtf8(left)), left);
    }

    // The progress display disables its source window, hears the cancel button and ends cleanly.
    void progressDisplayLocksItsSourceAndHearsCancel()
    {
        QWidget source;
        source.show();
        {
            clsProgressBar progress;
            progress.setMax(100);
            progress.SetLockSource(&source);
            progress.Show();
            QVERIFY(!source.isEnabled());
            progress.ValueAdd(150);
            QCOMPARE(progress.Value(), 100);
            QVERIFY(!progress.Interrupt());
            QTest::mouseClick(progress.window()->cancelButton(), Qt::LeftButton);
            QVERIFY(progress.Interrupt());
        }
        QVERIFY(source.isEnabled());
    }
};

QTEST_MAIN(TestFrmFlexPrint)
#include "tst_frmflexprint.moc"
