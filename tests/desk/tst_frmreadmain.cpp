// The desk window against the demo library, offscreen, driven by keys typed into its real widgets.
#include "desk/frmDataType.h"
#include "desk/frmReadMain.h"
#include "stats/FrmBookTop.h"
#include "stats/bookstatistics.h"
#include "stats/frmLt3Log.h"
#include "stats/frmRead_BookStat.h"
#include "stats/frmRedrCount.h"
#include "stats/frmRedrLendCount.h"
#include "stats/frmUsingStat.h"
#include "stats/frmdelRecord.h"
#include "support/deskprocess.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <memory>

namespace {

const QStringList scanBoxes{"txtBokBar_code", "txtRedrBarcode", "txtBar_code", "txtLendBookBarCode",
                            "txtRetBookBarCode"};
const QStringList resultGrids{"vsBook", "vsReader", "vsRedrBook", "vsCopyLend", "vsCopyRet"};
const QStringList modeMenuItems{"mnuRedrInfo",     "mnuRedrValide",     "mnuInfoSeekReader",
                                "mnuRedrStat",     "mnuInfoBookStat",   "mnuBookStat",
                                "mnuReadUseRate",  "mnuInfoReaderStat", "mnuRedrCount",
                                "mnuInfoSeekBook", "mnuDelrecord",      "mnuInfoImport"};

} // namespace

class TestFrmReadMain : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TestDatabase db{QStringLiteral("mainwindow")};
    RecordingPresenter* presenter = nullptr;
    std::unique_ptr<frmReadMain> main;

    template <typename T> T* child(const QString& name)
    {
        T* found = main->findChild<T*>(name);
        if (!found)
            qFatal("no child %s", qPrintable(name));
        return found;
    }
    QLineEdit* box(const char* name) { return child<QLineEdit>(QLatin1String(name)); }
    int rows(const char* grid) { return child<QTableView>(QLatin1String(grid))->model()->rowCount(); }
    QString cell(const char* grid, int row, int column)
    {
        QAbstractItemModel* model = child<QTableView>(QLatin1String(grid))->model();
        return model->index(row, column).data().toString();
    }
    QString focused() const
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
    int number(const QString& sql) const { return db.scalar(sql).toInt(); }

    // Types a code and Enter as a card reader does: into the focus widget of the active window,
    // which must be the box.
    void scan(const char* boxName, const QString& code)
    {
        QCOMPARE(focused(), QLatin1String(boxName));
        QTest::keyClicks(QApplication::focusWidget(), code);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    void openWindow(bool copyLend)
    {
        DeskSettings::current().copyLend = copyLend ? 1 : 0;
        DeskSettings::current().writeEditableSettings();
        main = std::make_unique<frmReadMain>();
        QCOMPARE(main->pInitialize(), 0);
        main->show();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        presenter->clear();
    }
    void pressInFocus(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
    void admitInRegistration()
    {
        pressInFocus(Qt::Key_F3);
        scan("txtRedrBarcode", QStringLiteral("D0000001"));
        QCOMPARE(focused(), QStringLiteral("txtBar_code"));
        QVERIFY(!box("txtRedrBarcode")->isEnabled());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(prepareDeskProcess(db, home.path()));
        OperatorSession::current().loggedIn = true;
        DeskSettings::current().readingMode = 1;
        presenter = RecordingPresenter::install();
    }
    void cleanup() { main.reset(); }

    // Function keys and toolbar buttons enter a mode with its boxes, grid and menu items.
    void modesShowTheirBoxesGridsAndMenus_data()
    {
        QTest::addColumn<int>("key"); // 0: click the toolbar button instead
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("firstBox");
        QTest::addColumn<QStringList>("otherShownBoxes");
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QStringList>("enabledMenus");
        const QStringList none;
        const QStringList m0{"mnuInfoBookStat", "mnuBookStat",  "mnuReadUseRate",
                             "mnuInfoSeekBook", "mnuDelrecord", "mnuInfoImport"};
        const QStringList m1{"mnuRedrInfo",  "mnuRedrValide", "mnuInfoSeekReader", "mnuInfoReaderStat",
                             "mnuRedrCount", "mnuDelrecord",  "mnuInfoImport"};
        QStringList m2 = modeMenuItems;
        m2.removeAll("mnuInfoImport");
        const QStringList m3{"mnuRedrInfo", "mnuRedrValide", "mnuInfoSeekReader"};
        const QStringList m4{"mnuRedrInfo", "mnuRedrValide", "mnuInfoSeekReader", "mnuInfoSeekBook"};
        QStringList m5 = m2;
        QTest::newRow("F1") << int(Qt::Key_F1) << "" << 0 << "txtBokBar_code" << none << "vsBook" << m0;
        QTest::newRow("F2") << int(Qt::Key_F2) << "" << 1 << "txtRedrBarcode" << none << "vsReader" << m1;
        QTest::newRow("F3") << int(Qt::Key_F3) << "" << 2 << "txtRedrBarcode" << QStringList{"txtBar_code"}
                            << "vsRedrBook" << m2;
        QTest::newRow("F4") << int(Qt::Key_F4) << "" << 3 << "txtRedrBarcode" << none << "vsReader" << m3;
        QTest::newRow("F5") << int(Qt::Key_F5) << "" << 4 << "txtRedrBarcode"
                            << QStringList{"txtLendBookBarCode"} << "vsCopyLend" << m4;
        QTest::newRow("F6") << int(Qt::Key_F6) << "" << 5 << "txtRetBookBarCode" << none << "vsCopyRet" << m5;
        QTest::newRow("ReadBook") << 0 << "ReadBook" << 0 << "txtBokBar_code" << none << "vsBook" << m0;
        QTest::newRow("CopyLend") << 0 << "CopyLend" << 4 << "txtRedrBarcode"
                                  << QStringList{"txtLendBookBarCode"} << "vsCopyLend" << m4;
    }
    void modesShowTheirBoxesGridsAndMenus()
    {
        QFETCH(int, key);
        QFETCH(QString, button);
        QFETCH(int, mode);
        QFETCH(QString, firstBox);
        QFETCH(QStringList, otherShownBoxes);
        QFETCH(QString, grid);
        QFETCH(QStringList, enabledMenus);
        openWindow(true);
        // Start from a mode that differs in every respect, with text left in its box.
        pressInFocus(mode == 0 ? Qt::Key_F4 : Qt::Key_F1);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("X1"));
        if (key)
            pressInFocus(Qt::Key(key));
        else
            QTest::mouseClick(child<QToolBar>("Standard")->widgetForAction(child<QAction>(button)),
                              Qt::LeftButton);

        QCOMPARE(int(main->mode()), mode);
        QCOMPARE(focused(), firstBox);
        QVERIFY(box(qPrintable(firstBox))->text().isEmpty());
        for (const QString& name : scanBoxes) {
            const bool shown = name == firstBox || otherShownBoxes.contains(name);
            QVERIFY2(child<QLineEdit>(name)->isVisible() == shown, qPrintable(name));
            if (otherShownBoxes.contains(name))
                QVERIFY2(!child<QLineEdit>(name)->isEnabled(), qPrintable(name));
        }
        for (const QString& name : resultGrids)
            QVERIFY2(child<QTableView>(name)->isVisible() == (name == grid), qPrintable(name));
        QVERIFY(!child<QTableView>("vsVolt")->isVisible());
        QCOMPARE(child<QTableWidget>("vsBookInfo")->isVisible(), mode == 0);
        QCOMPARE(child<QCheckBox>("chkClear")->isVisible(), mode == 2);
        QCOMPARE(child<QPushButton>("cmdCopyRet")->isVisible(), mode >= 4);
        if (mode >= 4)
            QCOMPARE(child<QPushButton>("cmdCopyRet")->text(), mode == 4 ? "复印还书" : "复印外借");
        for (const QString& name : modeMenuItems)
            QVERIFY2(child<QAction>(name)->isEnabled() == enabledMenus.contains(name), qPrintable(name));
        const char* checkedMenu[] = {"mnuReadBook", "mnuReadReader", "mnuReadReaderBook",
                                     "mnuCheck",    "mnuCopyLend",   "mnuCopyLend"};
        for (const char* name :
             {"mnuReadBook", "mnuReadReader", "mnuReadReaderBook", "mnuCheck", "mnuCopyLend", "mnuCopyRet"})
            QVERIFY2(child<QAction>(name)->isChecked() == (qstrcmp(name, checkedMenu[mode]) == 0), name);
        QCOMPARE(presenter->texts(), QStringList());
    }

    void copyCommandsNeedCopyLending()
    {
        openWindow(false);
        QCOMPARE(int(main->mode()), 1);
        for (Qt::Key key : {Qt::Key_F5, Qt::Key_F6, Qt::Key_F8})
            pressInFocus(key);
        QCOMPARE(int(main->mode()), 1);
        QCOMPARE(focused(), QStringLiteral("txtRedrBarcode"));
        QVERIFY(!child<QToolBar>("Standard")->widgetForAction(child<QAction>("CopyLend"))->isVisible());
        QVERIFY(!child<QAction>("mnuCopyLend")->isVisible());
        QCOMPARE(presenter->texts(), QStringList());
    }

    // F7 opens the one modeless log query window; the purge window opens modal for the mode.
    void logWindowsOpenFromTheMenus()
    {
        openWindow(false);
        pressInFocus(Qt::Key_F7);
        child<QAction>("mnuLt3Log")->trigger();
        QCOMPARE(main->findChildren<frmLt3Log*>().size(), 1);
        QVERIFY(main->findChild<frmLt3Log*>()->isVisible());
        QVERIFY(!QApplication::activeModalWidget());
        QString purgeTitle;
        QTimer::singleShot(0, this, [&purgeTitle] {
            if (auto* purge = qobject_cast<frmdelRecord*>(QApplication::activeModalWidget())) {
                purgeTitle = purge->windowTitle();
                purge->reject();
            }
        });
        child<QAction>("mnuDelrecord")->trigger();
        QCOMPARE(purgeTitle, QStringLiteral("删除历史记录-(读者登到)"));
    }

    void readerScansListReaders_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("card");
        QTest::addColumn<int>("listed");
        QTest::addColumn<int>("checkIns");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("check-in") << int(Qt::Key_F2) << "D0000001" << 1 << 1 << QStringList();
        QTest::newRow("identity check") << int(Qt::Key_F4) << "D0000001" << 1 << 0 << QStringList();
        QTest::newRow("refused") << int(Qt::Key_F2) << "D0000004" << 0 << 0 << QStringList{"ELT103"};
        QTest::newRow("unknown card") << int(Qt::Key_F2) << "D9999999" << 0 << 0 << QStringList{"ELT101"};
    }
    void readerScansListReaders()
    {
        QFETCH(int, key);
        QFETCH(QString, card);
        QFETCH(int, listed);
        QFETCH(int, checkIns);
        QFETCH(QStringList, messages);
        openWindow(true);
        pressInFocus(Qt::Key(key));
        const QString visits = QStringLiteral("SELECT count(*) FROM reader_stat");
        const int before = number(visits);
        scan("txtRedrBarcode", card);
        QCOMPARE(rows("vsReader"), listed);
        QCOMPARE(number(visits) - before, checkIns);
        if (listed)
            QCOMPARE(cell("vsReader", 0, 5),
                     db.scalar("SELECT cert_id FROM reader_cert WHERE redr_cert_id = '" + card + "'"));
        QCOMPARE(presenter->boxes.size(), messages.size());
        for (int i = 0; i < messages.size(); ++i)
            QVERIFY2(presenter->texts().at(i).startsWith(shownText(messages.at(i)).left(4)),
                     qPrintable(messages.at(i)));
        QVERIFY(box("txtRedrBarcode")->text().isEmpty());
        QCOMPARE(focused(), QStringLiteral("txtRedrBarcode"));
    }

    void bookScansCountBooks_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("listed");
        QTest::addColumn<QString>("message");
        QTest::newRow("book of the room") << "B0000001" << 1 << "";
        QTest::newRow("book of another room") << "B0000101" << 0 << "ELT111";
    }
    void bookScansCountBooks()
    {
        QFETCH(QString, code);
        QFETCH(int, listed);
        QFETCH(QString, message);
        openWindow(true);
        pressInFocus(Qt::Key_F1);
        const QString uses = QStringLiteral("SELECT count(*) FROM book_use_stat");
        const int before = number(uses);
        scan("txtBokBar_code", code);
        QCOMPARE(rows("vsBook"), listed);
        QCOMPARE(number(uses) - before, listed);
        if (listed) {
            QCOMPARE(cell("vsBook", 0, 0), QStringLiteral("1"));
            QCOMPARE(cell("vsBook", 0, 5), code);
            QCOMPARE(child<QTableWidget>("vsBookInfo")->item(1, 1)->text(), cell("vsBook", 0, 6)); // prop_no
        }
        QCOMPARE(presenter->boxes.size(), message.isEmpty() ? 0 : 1);
        QVERIFY(box("txtBokBar_code")->text().isEmpty());
        QCOMPARE(focused(), QStringLiteral("txtBokBar_code"));
    }

    void registrationNeedsAReader()
    {
        openWindow(true);
        admitInRegistration();
        scan("txtBar_code", QStringLiteral("B0000001"));
        QCOMPARE(rows("vsRedrBook"), 1);
        QCOMPARE(focused(), QStringLiteral("txtBar_code"));
        QTimer* timer = main->findChild<QTimer*>(QStringLiteral("tmrLendDelay"));
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 120000);

        box("txtRedrBarcode")->clear(); // the reader is gone before the next book
        scan("txtBar_code", QStringLiteral("B0000002"));
        QCOMPARE(rows("vsRedrBook"), 1);
        QCOMPARE(focused(), QStringLiteral("txtRedrBarcode"));
        QVERIFY(!box("txtBar_code")->isEnabled());

        pressInFocus(Qt::Key_F3); // entering the mode again drops everything
        QVERIFY(!timer->isActive());
        QCOMPARE(rows("vsRedrBook"), 0);
        QCOMPARE(presenter->texts(), QStringList());
    }

    void endingTheReader_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<bool>("clear");
        QTest::newRow("parameter 22") << false << false;
        QTest::newRow("F5, list cleared") << true << true;
    }
    void endingTheReader()
    {
        QFETCH(bool, byKey);
        QFETCH(bool, clear);
        openWindow(true);
        admitInRegistration();
        QVERIFY(!child<QTableWidget>("vsRedrInfo")->item(0, 1)->text().isEmpty());
        scan("txtBar_code", QStringLiteral("B0000001"));
        if (clear)
            QTest::mouseClick(child<QCheckBox>("chkClear"), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(focused(), QStringLiteral("txtBar_code")); // the check box hands the focus back
        if (byKey)
            pressInFocus(Qt::Key_F5);
        else
            scan("txtBar_code", LIB_GetSysPara(22).toString());
        QCOMPARE(int(main->mode()), 2);
        QCOMPARE(rows("vsRedrBook"), clear ? 0 : 1);
        for (int row = 0; row < 5; ++row)
            QVERIFY(child<QTableWidget>("vsRedrInfo")->item(row, 1)->text().isEmpty());
        QVERIFY(!box("txtBar_code")->isEnabled());
        QVERIFY(box("txtBar_code")->text().isEmpty());
        QVERIFY(box("txtRedrBarcode")->isEnabled());
        QVERIFY(box("txtRedrBarcode")->text().isEmpty());
        QCOMPARE(focused(), QStringLiteral("txtRedrBarcode"));
        QCOMPARE(presenter->texts(), QStringList());
    }

    // The desk control codes of parameter 22 ("LTEND;LTRET") in the photocopy modes: the reader
    // box compares its text as it stands, the book boxes compare it trimmed and upper-cased.
    void copyControlCodes_data()
    {
        QTest::addColumn<int>("key");       // the mode's key
        QTest::addColumn<bool>("admitted"); // a reader is admitted first
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("mode"); // afterwards
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QStringList>("messages");
        const auto row = [](const char* tag, Qt::Key key, bool admitted, const char* box, const char* code,
                            int mode, const char* focus, const QStringList& messages) {
            QTest::newRow(tag) << int(key) << admitted << QString::fromLatin1(box)
                               << QString::fromLatin1(code) << mode << QString::fromLatin1(focus) << messages;
        };
        row("return code as reader card", Qt::Key_F5, false, "txtRedrBarcode", "LTRET", 5,
            "txtRetBookBarCode", {});
        row("return code in lower case is a card", Qt::Key_F5, false, "txtRedrBarcode", "ltret", 4,
            "txtRedrBarcode", {shownText(QStringLiteral("ELT101"))});
        row("end code as book", Qt::Key_F5, true, "txtLendBookBarCode", " ltend ", 4, "txtRedrBarcode", {});
        row("return code as book", Qt::Key_F5, true, "txtLendBookBarCode", "ltret", 5, "txtRetBookBarCode",
            {});
        row("return code as returned book", Qt::Key_F6, false, "txtRetBookBarCode", " ltret", 4,
            "txtRedrBarcode", {});
    }
    void copyControlCodes()
    {
        QFETCH(int, key);
        QFETCH(bool, admitted);
        QFETCH(QString, boxName);
        QFETCH(QString, code);
        QFETCH(int, mode);
        QFETCH(QString, focus);
        QFETCH(QStringList, messages);
        openWindow(true);
        pressInFocus(Qt::Key(key));
        if (admitted)
            scan("txtRedrBarcode", QStringLiteral("D0000001"));
        presenter->clear();
        scan(qPrintable(boxName), code);
        QCOMPARE(int(main->mode()), mode);
        QCOMPARE(focused(), focus);
        QCOMPARE(presenter->texts(), messages);
    }

    // Each reader shows his own portrait, also when two readers come within one second with
    // portraits of the same size (all portraits go through one file name); the photocopy return
    // shows the borrower's portrait, or the default picture when he has none.
    void readersShowTheirPortraits()
    {
        const auto bitmap = [](Qt::GlobalColor colour) {
            QImage image(8, 8, QImage::Format_RGB32);
            image.fill(colour);
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "BMP");
            return QString::fromLatin1(bytes.toHex());
        };
        db.exec(
            QStringLiteral("DELETE FROM reader_portrait; INSERT INTO reader_portrait VALUES ('R0000001', "
                           "decode('%1', 'hex')), ('R0000002', decode('%2', 'hex')); "
                           "INSERT INTO lend_lst (cert_id, prop_no, lend_date, norm_ret_date, rule_no_f, "
                           "location) VALUES ('R0000001', 'P0000005', '2024-01-0109:00:00', '2099-01-01', "
                           "'COPY01', 'R1'), ('R1000002', 'P0000006', '2024-01-0109:00:00', '2099-01-01', "
                           "'COPY01', 'R1'); UPDATE item SET book_lend_flag = '1' WHERE prop_no IN "
                           "('P0000005', 'P0000006')")
                .arg(bitmap(Qt::red), bitmap(Qt::blue)));
        DeskSettings::current().showReaderPhoto = 1;
        DeskSettings::current().copyLendRule = QStringLiteral("COPY01");
        openWindow(true);
        QLabel* portrait = child<QLabel>("imgReader");
        const auto shown = [portrait] {
            const QPixmap pixmap = portrait->pixmap();
            return pixmap.isNull() ? QColor() : pixmap.toImage().pixelColor(0, 0);
        };

        pressInFocus(Qt::Key_F2);
        for (int attempt = 0; attempt < 3; ++attempt) { // until both scans fall into one second
            const qint64 second = QDateTime::currentSecsSinceEpoch();
            scan("txtRedrBarcode", QStringLiteral("D0000001"));
            QCOMPARE(shown(), QColor(Qt::red));
            scan("txtRedrBarcode", QStringLiteral("D0000002"));
            if (QDateTime::currentSecsSinceEpoch() == second)
                break;
        }
        QCOMPARE(shown(), QColor(Qt::blue));

        pressInFocus(Qt::Key_F6);
        scan("txtRetBookBarCode", QStringLiteral("B0000005"));
        QCOMPARE(shown(), QColor(Qt::red));
        scan("txtRetBookBarCode", QStringLiteral("B0000006"));
        QCOMPARE(shown(), QColor());
        QCOMPARE(presenter->texts(), QStringList());
        DeskSettings::current().showReaderPhoto = 0;
    }

    void closingAsksFirst()
    {
        openWindow(true);
        pressInFocus(Qt::Key_F1);
        scan("txtBokBar_code", QStringLiteral("B0000001"));
        presenter->answerNext(2);
        main->close();
        QCOMPARE(presenter->texts(), QStringList{shownText("QCM500")});
        QVERIFY(main->isVisible());
        QCOMPARE(int(main->mode()), 0);
        QCOMPARE(rows("vsBook"), 1);
    }

    // The statistics entries of the 阅览统计 menu open their windows modally, each reading the
    // history or log of the desk's reading mode.
    void statisticsMenusOpenTheirWindows_data()
    {
        QTest::addColumn<int>("modeKey");
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("table"); // what the window counts; empty: always the same
        QTest::newRow("classification") << int(Qt::Key_F3) << "mnuRedrStat"
                                        << "frmRedrStat"
                                        << "";
        QTest::newRow("books in registration") << int(Qt::Key_F3) << "mnuInfoBookStat"
                                               << "frmRead_BookStat"
                                               << "redr_book_stat_hist";
        QTest::newRow("books in counting") << int(Qt::Key_F1) << "mnuInfoBookStat"
                                           << "frmRead_BookStat"
                                           << "book_use_stat_hist";
        QTest::newRow("workload") << int(Qt::Key_F1) << "mnuStatJob"
                                  << "frmStatJob"
                                  << "";
        QTest::newRow("visits in check-in") << int(Qt::Key_F2) << "mnuInfoReaderStat"
                                            << "frmRedrLendCount"
                                            << "reader_stat_hist";
        QTest::newRow("visits in registration") << int(Qt::Key_F3) << "mnuInfoReaderStat"
                                                << "frmRedrLendCount"
                                                << "redr_book_stat_hist";
        QTest::newRow("title ranking in counting") << int(Qt::Key_F1) << "mnuBookStat"
                                                   << "FrmBookTop"
                                                   << "book_use_stat_hist";
        QTest::newRow("reader ranking in check-in") << int(Qt::Key_F2) << "mnuRedrCount"
                                                    << "frmRedrCount"
                                                    << "reader_stat";
        QTest::newRow("rates in registration") << int(Qt::Key_F3) << "mnuReadUseRate"
                                               << "FrmLendRate"
                                               << "redr_book_stat_hist";
    }
    void statisticsMenusOpenTheirWindows()
    {
        QFETCH(int, modeKey);
        QFETCH(QString, menu);
        openWindow(true);
        pressInFocus(Qt::Key(modeKey));
        QString opened;
        QString table;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            opened = modal ? modal->objectName() : QString();
            if (auto* books = qobject_cast<frmRead_BookStat*>(modal))
                table = BookStatistics::historyTable(books->conditions().readerBookMode);
            else if (auto* visits = qobject_cast<frmRedrLendCount*>(modal))
                table = VisitCountStatistics::historyTable(visits->conditions());
            else if (auto* ranking = qobject_cast<RankingWindow*>(modal))
                table = RankingStatistics::historyTable(ranking->conditions());
            else if (auto* readers = qobject_cast<frmRedrCount*>(modal))
                table = ReaderRankStatistics::table(readers->conditions());
            if (modal)
                modal->close();
        });
        child<QAction>(menu)->trigger();
        QTEST(opened, "window");
        QTEST(table, "table");
    }

    // The use-per-copy list opens modeless for its command id, which add-ins give their items.
    void useListOpensModeless()
    {
        openWindow(true);
        pressInFocus(Qt::Key_F1);
        main->runMenuCommand(QStringLiteral("mnuUsingStat"));
        auto* list = main->findChild<frmUsingStat*>();
        QVERIFY(list);
        QVERIFY(list->isVisible() && !list->isModal());
        QCOMPARE(UsingStatistics::table(list->conditions()), QStringLiteral("book_use_stat"));
        list->close();
    }

    void importFormat_data()
    {
        QTest::addColumn<bool>("bySeparator");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("separator");
        QTest::newRow("one per line") << false << "" << true << "";
        QTest::newRow("separator") << true << " ; " << true << ";";
        QTest::newRow("empty separator") << true << "  " << false << "";
    }
    void importFormat()
    {
        QFETCH(bool, bySeparator);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(QString, separator);
        frmDataType format;
        format.show();
        QVERIFY(QTest::qWaitForWindowActive(&format));
        auto* text = format.findChild<QLineEdit*>(QStringLiteral("txtSeparator"));
        QVERIFY(!text->isEnabled());
        if (bySeparator) {
            QTest::mouseClick(format.findChild<QRadioButton*>(QStringLiteral("optSeparator")), Qt::LeftButton,
                              {}, QPoint(5, 5));
            QVERIFY(text->isEnabled());
            QCOMPARE(QApplication::focusWidget(), text); // the option puts the cursor there
            QTest::keyClicks(QApplication::focusWidget(), typed);
        }
        QTest::mouseClick(format.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QCOMPARE(format.result() == QDialog::Accepted, accepted);
        QCOMPARE(format.separator(), separator);
    }

    void importOfAThousandCodes()
    {
        // Every tenth code belongs to another room; the others cycle through the room's first books.
        QStringList codes;
        for (int i = 0; i < 1000; ++i)
            codes << (i % 10 == 9 ? QStringLiteral("b0000101")
                                  : QStringLiteral(" b%1").arg(i % 20 + 1, 7, 10, QLatin1Char('0')));
        const QString path = home.filePath(QStringLiteral("codes.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(codes.join(',').toUtf8());
        file.close();

        openWindow(true);
        pressInFocus(Qt::Key_F1);
        const QString uses = QStringLiteral("SELECT count(*) FROM book_use_stat");
        const int before = number(uses);
        QCOMPARE(main->importBarcodes(path, QStringLiteral(",")), 1000);
        QCOMPARE(number(uses) - before, 900);
        QCOMPARE(rows("vsBook"), 900);
        QCOMPARE(cell("vsBook", 899, 0), QStringLiteral("900"));
        QCOMPARE(presenter->boxes.size(), 100);
        QVERIFY(!main->importRunning());
        QVERIFY(child<QAction>("mnuInfoImport")->isEnabled());
    }

    void importChecksReadersIn()
    {
        const QString path = home.filePath(QStringLiteral("cards.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("D0000001\n\nd0000004\n d0000001 \n");
        file.close();
        openWindow(true);
        pressInFocus(Qt::Key_F2);
        const QString visits = QStringLiteral("SELECT count(*) FROM reader_stat");
        const int before = number(visits);
        QCOMPARE(main->importBarcodes(path, QString()), 3);
        QCOMPARE(number(visits) - before, 2);
        QCOMPARE(rows("vsReader"), 2);
        QCOMPARE(presenter->boxes.size(), 1); // the deregistered card
        QVERIFY(box("txtRedrBarcode")->text().isEmpty());
    }
};

QTEST_MAIN(TestFrmReadMain)
#include "tst_frmreadmain.moc"
