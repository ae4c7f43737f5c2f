// The reader and item windows offscreen, driven through their real widgets, and the desk's ways
// to them (menu commands, double click on a grid row).
#include "db/database.h"
#include "desk/frmReadMain.h"
#include "info/frmBookInfo.h"
#include "info/frmMarcNoSeek.h"
#include "info/frmRedrDetail.h"
#include "info/frmRedrInfo.h"
#include "info/frmRedrSearch.h"
#include "info/marcsearchpaths.h"
#include "print/printhandover.h"
#include "startup/desksettings.h"
#include "startup/operatorsession.h"
#include "startup/readersearchlists.h"
#include "support/deskdata.h"
#include "support/recordingpresenter.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

template <typename T> T* child(const QObject* window, const QString& name)
{
    T* found = window->findChild<T*>(name);
    if (!found)
        qFatal("no child %s", qPrintable(name));
    return found;
}

QTableView* grid(const QObject* window, const char* name)
{
    return child<QTableView>(window, QLatin1String(name));
}

// The texts of a column, found by its caption.
QStringList column(const QTableView* view, const QString& caption)
{
    const QAbstractItemModel* model = view->model();
    QStringList texts;
    for (int c = 0; c < model->columnCount(); ++c) {
        if (model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() != caption)
            continue;
        for (int r = 0; r < model->rowCount(); ++r)
            texts << model->index(r, c).data().toString();
    }
    return texts;
}

void clickRow(QTableView* view, int row, bool twice = false)
{
    const QPoint at = view->visualRect(view->model()->index(row, 1)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    if (twice)
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

// Types into the focus widget; characters beyond ASCII arrive as key events carrying their text.
void typeInto(QWidget* box, const QString& text, bool enter = true)
{
    box->setFocus();
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c), {});
    }
    if (enter)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

// Runs `act` on the modal window that the next step opens.
void onModal(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, [act] { act(QApplication::activeModalWidget()); });
}

void walkTabs(QTabBar* tabs, QTableView* view, RecordingPresenter* presenter)
{
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QVERIFY2(presenter->boxes.isEmpty(), qPrintable(tabs->tabText(i) + presenter->lastText()));
        QVERIFY(view->model()->columnCount() > 1);
    }
}

} // namespace

class TestInfoWindows : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TestDatabase db{QStringLiteral("infowindows")};
    RecordingPresenter* presenter = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath("store"));
        loadDeskData(db, home.path());
        QCOMPARE(ReaderSearchLists::instance().load(), 0);
        QCOMPARE(MarcSearchPaths::instance().load(
                     QStringLiteral(READDESK_RUNTIME_DIR "/CFG/BM/BaseParam/BM_MarcIDX.ini")),
                 MarcSearchPaths::Status::Loaded);
        OperatorSession& op = OperatorSession::current();
        op.workerNumber = QStringLiteral("A001");
        op.location = QStringLiteral("R1");
        op.loggedIn = true;
        DeskSettings& s = DeskSettings::current();
        s.readingMode = 1;
        s.localReaderTypesOnly = s.showReaderPhoto = 0;
        presenter = RecordingPresenter::install();
        db.exec(QStringLiteral(
            "INSERT INTO reader_cert (redr_cert_id, cert_id, cert_flag, oper_date) VALUES "
            "('D0000011', 'R1000001', '1', '2020-01-01');"
            "INSERT INTO lend_hist_bak (cert_id_f, prop_no_f, lend_date, ret_date, hist_serial) VALUES "
            "('R0000001', 'P0000002', '2019-03-0110:00:00', NULL, 900001)"));
    }
    void init() { presenter->clear(); }
    void cleanup()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            w->close();
    }

    // The query box: one reader shows at once, two open the search window, none says so.
    void readerWindowQueryBox_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("chooseRow"); // in the search window; -1: none opens
        QTest::addColumn<QString>("shownCertId");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("one card") << 0 << "D0000001" << -1 << "R0000001" << "";
        QTest::newRow("two readers") << 0 << "D000001" << 1 << "R1000001" << "";
        QTest::newRow("name") << 3 << "李娜" << -1 << "R0000002" << "";
        QTest::newRow("no card") << 0 << "ZZ" << -1 << "" << RecordingPresenter::shownText("ELT205");
        QTest::newRow("no certificate") << 1 << "ZZ" << -1 << "" << RecordingPresenter::shownText("ELT101");
        // clang-format on
    }
    void readerWindowQueryBox()
    {
        QFETCH(int, kind);
        QFETCH(QString, typed);
        QFETCH(int, chooseRow);
        frmRedrInfo window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        child<QComboBox>(&window, "cboQuery")->setCurrentIndex(kind);
        QStringList listed;
        if (chooseRow >= 0) {
            onModal([&](QWidget* search) {
                QTableView* results = grid(search, "spdQueryResult");
                listed = column(results, QStringLiteral("条码号"));
                clickRow(results, chooseRow);
                QTest::mouseClick(child<QPushButton>(search, "cmdOK"), Qt::LeftButton);
            });
        }
        typeInto(child<QLineEdit>(&window, "txtQuery"), typed);
        QTEST(window.certId(), "shownCertId");
        QTEST(presenter->lastText(), "message");
        if (chooseRow >= 0)
            QCOMPARE(listed, (QStringList{"D0000010", "D0000011"}));
    }

    // Every tab loads for a demo reader without an error; Insert on the history shows the backup.
    void readerWindowTabsAndBackup()
    {
        frmRedrInfo window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.frmRedrInfoSet(QStringLiteral("R0000001"));
        QCOMPARE(child<QTableWidget>(&window, "vsRedr")->item(1, 1)->text(), QStringLiteral("张伟"));
        QTabBar* tabs = child<QTabBar>(&window, "tbsRedrInfo");
        QTableView* info = grid(&window, "vsInfo");
        walkTabs(tabs, info, presenter);
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->tabText(i) == QStringLiteral("借阅历史"))
                tabs->setCurrentIndex(i);
        }
        QVERIFY(child<QLabel>(&window, "lblHint")->isVisible());
        info->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Insert);
        QCOMPARE(column(info, QStringLiteral("财产号")), QStringList{"P0000002"});

        // Printing hands the grid to the designer.
        onModal([](QWidget* designer) { designer->close(); });
        child<QAction>(&window, "Print")->trigger();
        const PrintHandover& handover = PrintHandover::instance();
        QCOMPARE(handover.dataRowCount(), 1);
        QCOMPARE(handover.table().first().value(2), QStringLiteral("财产号"));
        QCOMPARE(handover.headingLine(1), QStringLiteral("读者：张伟 R0000001"));
    }

    // The search window's options, code lists and selection.
    void searchWindowSelectsAndHandsBack()
    {
        frmRedrSearch search;
        search.show();
        QVERIFY(QTest::qWaitForWindowActive(&search));
        QTest::mouseClick(child<QPushButton>(&search, "cmdQuery"), Qt::LeftButton);
        QCOMPARE(presenter->lastText(), RecordingPresenter::shownText("EBM003"));

        auto* field = child<QComboBox>(&search, "cboField0");
        field->setCurrentIndex(field->findData(QStringLiteral("READER.redr_type_code")));
        auto* value = child<QComboBox>(&search, "cboValue0");
        value->setCurrentIndex(value->findData(QStringLiteral("90")));
        QTest::mouseClick(child<QPushButton>(&search, "cmdQuery"), Qt::LeftButton);
        QCOMPARE(child<QLabel>(&search, "lblCount")->text(), QStringLiteral("共命中读者：1"));

        child<QRadioButton>(&search, "optSel0")->setChecked(true);
        typeInto(child<QLineEdit>(&search, "txtFrom"), QStringLiteral("D0000003"), false);
        typeInto(child<QLineEdit>(&search, "txtTo"), QStringLiteral("D0000005"), false);
        QTest::mouseClick(child<QPushButton>(&search, "cmdQuery"), Qt::LeftButton);
        QTableView* results = grid(&search, "spdQueryResult");
        auto* ok = child<QPushButton>(&search, "cmdOK");
        QVERIFY(!ok->isEnabled());
        QTest::mouseClick(child<QPushButton>(&search, "cmdSelectAll"), Qt::LeftButton);
        QVERIFY(ok->isEnabled());
        QTest::mouseClick(child<QPushButton>(&search, "cmdResultCancel"), Qt::LeftButton);
        QVERIFY(!ok->isEnabled());
        clickRow(results, 2);
        clickRow(results, 1);
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(search.result(), int(QDialog::Accepted));
        QCOMPARE(search.chosenBarcode(), QStringLiteral("D0000004"));
        QCOMPARE(search.chosenCertId(), QStringLiteral("R0000004"));
        QCOMPARE(search.chosenState(), QStringLiteral("注销"));
    }

    void detailWindowPasswordAndClose()
    {
        frmRedrDetail detail(QStringLiteral("D0000001"));
        detail.show();
        QVERIFY(QTest::qWaitForWindowActive(&detail));
        auto* password = child<QLineEdit>(&detail, "txtRedrField20");
        QCOMPARE(password->text(), QStringLiteral("******"));
        QTest::mouseDClick(password, Qt::LeftButton);
        QCOMPARE(password->text(), QStringLiteral("123456"));
        QTest::mouseDClick(password, Qt::LeftButton);
        QCOMPARE(password->text(), QStringLiteral("******"));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &detail, Qt::Key_A);
        QVERIFY(!detail.isVisible());
    }

    void bookSearchWindow()
    {
        frmMarcNoSeek search;
        search.show();
        QVERIFY(QTest::qWaitForWindowActive(&search));
        const long sent = DbSession::current().roundTrips();
        QTest::mouseClick(child<QPushButton>(&search, "cmdSeek"), Qt::LeftButton);
        QCOMPARE(presenter->lastText(), RecordingPresenter::shownText("EBM003"));
        QCOMPARE(DbSession::current().roundTrips(), sent);

        typeInto(child<QLineEdit>(&search, "txtValue0"), QStringLiteral("中国"));
        QCOMPARE(child<QLabel>(&search, "lblRecNum")->text(), QStringLiteral("2"));
        clickRow(grid(&search, "spdBookLst"), 0);
        QTest::mouseClick(child<QPushButton>(&search, "cmdOK"), Qt::LeftButton);
        QCOMPARE(search.chosenMarcRecNo(), QStringLiteral("0000000006"));
    }

    void itemWindowListsAndTabs()
    {
        frmBookInfo window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.showItem(QStringLiteral("P0000004"));
        QCOMPARE(window.marcRecNo(), QStringLiteral("0000000004"));
        QCOMPARE(column(grid(&window, "vsBookLst"), QStringLiteral("题名")), QStringList{"三体"});
        QTabBar* tabs = child<QTabBar>(&window, "tbsBookInfo");
        walkTabs(tabs, grid(&window, "vsInfo"), presenter);
        tabs->setCurrentIndex(12);
        QCOMPARE(column(grid(&window, "vsInfo"), QStringLiteral("字段")).value(1), QStringLiteral("001"));

        child<QComboBox>(&window, "cboPath")->setCurrentIndex(7); // 出版者
        typeInto(child<QLineEdit>(&window, "txtQuery"), QStringLiteral("北京大学"));
        QCOMPARE(grid(&window, "vsBookLst")->model()->rowCount(), 2);
        QVERIFY(window.marcRecNo().isEmpty()); // two titles wait for a choice
        clickRow(grid(&window, "vsBookLst"), 1);
        QCOMPARE(window.marcRecNo(), QStringLiteral("0000000011"));
    }

    // The desk opens the windows from its grids and its 信息查询 commands.
    void deskOpensInformationWindows()
    {
        frmReadMain main;
        QCOMPARE(main.pInitialize(), 0);
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        typeInto(child<QLineEdit>(&main, "txtRedrBarcode"), QStringLiteral("D0000002"));
        clickRow(grid(&main, "vsReader"), 0, true);
        auto* reader = main.findChild<frmRedrInfo*>();
        QVERIFY(reader && reader->isVisible());
        QCOMPARE(reader->certId(), QStringLiteral("R0000002"));
        reader->close();

        QString detailName;
        onModal([&](QWidget* detail) {
            detailName = child<QLineEdit>(detail, "txtRedrField4")->text();
            detail->close();
        });
        main.runMenuCommand(QStringLiteral("mnuRedrInfo"));
        QCOMPARE(detailName, QStringLiteral("李娜"));
        main.runMenuCommand(QStringLiteral("mnuInfoSeekReader"));
        QCOMPARE(main.findChild<frmRedrInfo*>()->certId(), QStringLiteral("R0000002"));

        // The information windows took the activation; the operator comes back to the desk.
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        main.enterMode(DeskMode::BookCounting);
        typeInto(child<QLineEdit>(&main, "txtBokBar_code"), QStringLiteral("B0000005"));
        main.runMenuCommand(QStringLiteral("mnuInfoSeekBook"));
        QCOMPARE(main.findChild<frmBookInfo*>()->marcRecNo(), QStringLiteral("0000000005"));
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        typeInto(child<QLineEdit>(&main, "txtBokBar_code"), QStringLiteral("B0000006"));
        clickRow(grid(&main, "vsBook"), 1, true);
        QCOMPARE(main.findChild<frmBookInfo*>()->marcRecNo(), QStringLiteral("0000000006"));
        QCOMPARE(presenter->texts(), QStringList());
    }
};

QTEST_MAIN(TestInfoWindows)
#include "tst_infowindows.moc"
