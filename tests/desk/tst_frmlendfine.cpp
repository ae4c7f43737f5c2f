// The fine window offscreen against the demo library: what it shows, the operator's keys and
// clicks, every way of closing it, and the photocopy admission that opens it.
#include "desk/campuscard.h"
#include "desk/frmLendFine.h"
#include "desk/frmReadMain.h"
#include "finefixture.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <memory>

class TestFrmLendFine : public QObject
{
    Q_OBJECT
    FineFixture fx{"frmlendfine"};

    template <typename T> static T* child(QWidget* window, const char* name)
    {
        T* found = window->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }
    static QString focused()
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
    static void clickLine(QTableView* grid, int row)
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, 1)).center());
    }
    bool chargesLocked() const { return !fx.lockable("exceed_fine_lst", "cert_id = 'R1000003'"); }

private Q_SLOTS:
    void initTestCase() { fx.start(); }
    void init()
    {
        fx.reset();
        fx.addCharges({"10.00@R1", "5.00@S1"});
        fx.presenter->clear();
    }

    // The window shows the reader's charges; every way of closing it releases them, and cmdOK
    // settles on the way.
    void windowShowsAndCloses_data()
    {
        QTest::addColumn<QString>("way");
        for (const char* way : {"cmdOK", "cmdCancel", "Esc", "close"})
            QTest::newRow(way) << way;
    }
    void windowShowsAndCloses()
    {
        QFETCH(QString, way);
        DeskContext desk;
        desk.fineReader = QString::fromLatin1(FineFixture::Reader);
        frmLendFine window(desk);
        QVERIFY(window.load(true));
        QCOMPARE(desk.fineAmount, 15.0);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QString name = fx.db.scalar("SELECT name FROM reader WHERE cert_id = 'R1000003'");
        QCOMPARE(window.windowTitle(), QStringLiteral("超期罚款(") + name + QStringLiteral("：R1000003)"));
        QStringList shown{child<QLabel>(&window, "lblOB")->text(),
                          child<QComboBox>(&window, "cboFineType")->currentText()};
        for (const char* box : {"txtTotalFine", "txtAllowFine", "txtTrueFineExceed", "txtRemark"})
            shown << child<QLineEdit>(&window, box)->text();
        QCOMPARE(shown, QStringList({"0.00", "现金", "15.00", "10.00", "10.00", "本次余额(5.00)"}));

        // The bill box has the focus; leaving it trims and upper-cases its text.
        QCOMPARE(focused(), QStringLiteral("txtBillNo"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(" fk0042 "));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(child<QLineEdit>(&window, "txtBillNo")->text(), QStringLiteral("FK0042"));

        // Only the red line, which this workstation may settle, can be selected.
        auto* grid = child<QTableView>(&window, "spdFine");
        auto* waive = child<QPushButton>(&window, "cmdCancelExceed");
        QCOMPARE(grid->model()->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
        clickLine(grid, 1);
        QVERIFY(grid->selectionModel()->selectedRows().isEmpty() && !waive->isEnabled());
        clickLine(grid, 0);
        QVERIFY(grid->selectionModel()->selectedRows().size() == 1 && waive->isEnabled());

        QVERIFY(chargesLocked());
        if (way.startsWith("cmd"))
            QTest::mouseClick(child<QPushButton>(&window, way.toLatin1().constData()), Qt::LeftButton);
        else if (way == QLatin1String("Esc"))
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        else
            window.close();
        QVERIFY(!window.isVisible());
        QVERIFY(!chargesLocked());
        const bool settles = way == QLatin1String("cmdOK");
        QCOMPARE(fx.presenter->texts(),
                 settles ? QStringList{RecordingPresenter::shownText("WLT284")} : QStringList());
        QCOMPARE(fx.settled() +
                     fx.db.scalar("SELECT coalesce(max(bill_no), '') FROM deposit_account_lst WHERE "
                                  "cert_id = 'R1000003'"),
                 settles ? QStringLiteral("10.00FK0042") : QString());
        QCOMPARE(desk.fineAmount, settles ? 5.0 : 15.0);
    }

    // The campus-card component comes with the desk when the Card setting is 1, is made anew
    // from the settings by mnuReconn and goes with the desk.
    void campusCardFollowsTheDesk()
    {
        DeskSettings::current().campusCard = 1;
        DeskSettings::current().writeEditableSettings();
        const auto store = openSettingsSection(QStringLiteral("流通阅览"), QStringLiteral("Settings"));
        store->setValue(QStringLiteral("CardRefusal"), QString());
        LIB_ReleaseCampusCard();
        const auto charge = [] {
            int result = -1;
            LIB_CampusCard()->charge("R1000003", "D1000003", 1, 0, "2024-03-0110:00:00", "A001,超期罚款",
                                     result);
            return result == 0 ? QStringLiteral("accepted") : LIB_CampusCard()->errorText();
        };
        frmReadMain main;
        QCOMPARE(main.pInitialize(), 0);
        QVERIFY(main.findChild<QAction*>(QStringLiteral("mnuReconn"))->isEnabled() && LIB_CampusCard());
        QCOMPARE(charge(), QStringLiteral("accepted"));
        store->setValue(QStringLiteral("CardRefusal"), QStringLiteral("读卡器未连接"));
        QCOMPARE(charge(), QStringLiteral("accepted"));
        main.runMenuCommand(QStringLiteral("mnuReconn"));
        QCOMPARE(charge(), QStringLiteral("读卡器未连接"));
        main.show();
        main.close();
        QVERIFY(!LIB_CampusCard());
        QCOMPARE(fx.db.connectCurrentSession(), 0);
    }

    // A reader with a debt scanned for photocopy lending is taken to the fine window; once it is
    // settled the admission goes on, and a desk closed meanwhile takes the window's lock with it.
    void photocopyAdmissionOpensTheWindow_data()
    {
        QTest::addColumn<bool>("closeDesk");
        QTest::newRow("settled") << false;
        QTest::newRow("desk closed") << true;
    }
    void photocopyAdmissionOpensTheWindow()
    {
        QFETCH(bool, closeDesk);
        DeskSettings& s = DeskSettings::current();
        s.copyLend = s.settleFines = s.checkDebts = 1;
        s.printFineNotice = 0;
        s.writeEditableSettings();
        auto main = std::make_unique<frmReadMain>();
        QCOMPARE(main->pInitialize(), 0);
        main->show();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        main->runMenuCommand(QStringLiteral("mnuCopyLend"));
        QCOMPARE(focused(), QStringLiteral("txtRedrBarcode"));

        QString seen;
        bool lockedMeanwhile = false;
        QTimer::singleShot(0, this, [&] {
            auto* window = qobject_cast<frmLendFine*>(QApplication::activeModalWidget());
            if (!window)
                return;
            seen = window->windowTitle();
            lockedMeanwhile = chargesLocked();
            if (closeDesk)
                main->close();
            else
                child<QPushButton>(window, "cmdOK")->click();
        });
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("D1000003"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

        QVERIFY(seen.endsWith(QStringLiteral("：R1000003)")));
        QVERIFY(lockedMeanwhile);
        QVERIFY(!chargesLocked());
        QCOMPARE(fx.settled(), closeDesk ? QString() : QStringLiteral("10.00"));
        QCOMPARE(main->desk().readerAdmitted, true);
        if (closeDesk) {
            QVERIFY(!main->isVisible());
            QCOMPARE(fx.db.connectCurrentSession(), 0);
        } else {
            // The desk waits for the reader's books.
            QVERIFY(child<QLineEdit>(main.get(), "txtLendBookBarCode")->isEnabled());
            QVERIFY(!child<QLineEdit>(main.get(), "txtRedrBarcode")->isEnabled());
            QCOMPARE(main->desk().fineAmount, 5.0);
            // F8 opens the window again for what is left, the other room's charge.
            QTimer::singleShot(0, this, [&] {
                if (auto* window = qobject_cast<frmLendFine*>(QApplication::activeModalWidget())) {
                    seen = child<QLineEdit>(window, "txtTotalFine")->text();
                    window->close();
                }
            });
            main->runMenuCommand(QStringLiteral("mnuCopyFine"));
            QCOMPARE(seen, QStringLiteral("5.00"));
            QVERIFY(!chargesLocked());
        }
    }
};

QTEST_MAIN(TestFrmLendFine)
#include "tst_frmlendfine.moc"
