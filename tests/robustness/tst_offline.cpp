// The desk keeps recording while the database server is stopped, and catches up by itself once it
// runs again: every scan recorded once with its time, the workload counted once, scans refused
// meanwhile listed with their message; photocopy lending and server windows refused while
// offline. A desk killed while offline loses no scan, killed while catching up records none twice.
//
// Stops the test cluster of scripts/run-tests (scripts/localdb stop/start), so it runs alone.
#include "db/database.h"
#include "desk/frmOfflineRefused.h"
#include "desk/frmReadMain.h"
#include "desk/offlinedesk.h"
#include "desk/offlinerows.h"
#include "print/frmFlexPrint.h"
#include "print/printhandover.h"
#include "robustdesk.h"
#include "startup/desksettings.h"
#include "startup/operatorsession.h"
#include "support/testdatabase.h"
#include "testcluster.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <sqlite3.h>

namespace {

// The server's wall clock as the test reads it, in whole seconds since the epoch of a clock
// without zone.
qint64 wallSeconds(const QDateTime& wall)
{
    return QDateTime(wall.date(), wall.time(), Qt::UTC).toSecsSinceEpoch();
}
qint64 eventSeconds(const QString& time)
{
    return wallSeconds(QDateTime::fromString(time, QStringLiteral("yyyy-MM-ddHH:mm:ss")));
}

// The desk without a window (offlinedriver), as a child process that the test may kill.
class Driver
{
public:
    bool start(const QString& home, const ConnectionValues& values)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(OFFLINE_DRIVER), {home, values.dsn, values.user, values.password});
        return answer() == QLatin1String("ready");
    }
    QString ask(const QString& command)
    {
        send(command);
        return answer();
    }
    void send(const QString& command) { m_process.write((command + QLatin1Char('\n')).toUtf8()); }
    QString answer()
    {
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(60000))
                return QStringLiteral("(no answer)");
        }
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }
    void kill()
    {
        m_process.kill(); // SIGKILL: nothing of the desk runs any more
        m_process.waitForFinished(30000);
    }
    ~Driver() { kill(); }

private:
    QProcess m_process;
};

} // namespace

class TestOffline : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TestDatabase db{QStringLiteral("offline")};
    SharedPresenter* presenter = nullptr;
    std::unique_ptr<AdminLink> admin;

    long long number(const QString& sql) { return admin->number(sql); }
    QStringList column(const QString& sql)
    {
        const QString joined =
            admin->text(QStringLiteral("SELECT coalesce(string_agg(v, ',' ORDER BY n), '') FROM (") + sql +
                        QStringLiteral(") AS q(v, n)"));
        return joined.isEmpty() ? QStringList() : joined.split(QLatin1Char(','));
    }
    // The server's wall clock minus the test's, in milliseconds.
    qint64 serverOffset()
    {
        const QDateTime before = QDateTime::currentDateTime();
        const QString text =
            admin->text(QStringLiteral("SELECT to_char(clock_timestamp(), 'YYYY-MM-DD HH24:MI:SS.MS')"));
        const QDateTime after = QDateTime::currentDateTime();
        const QDateTime server = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        const QDateTime local = before.addMSecs(before.msecsTo(after) / 2);
        return QDateTime(local.date(), local.time(), Qt::UTC)
            .msecsTo(QDateTime(server.date(), server.time(), Qt::UTC));
    }
    QString workload(const char* job)
    {
        return admin->text(
            QStringLiteral("SELECT coalesce(sum(volume), 0) FROM wkr_job_qty WHERE wkr_no_f = 'A001' "
                           "AND job_type = '%1' AND oper_date = substr(lt_server_time(), 1, 10)")
                .arg(QLatin1String(job)));
    }
    QString focused() const
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!onTestCluster())
            QSKIP("READDESK_VAR and READDESK_PGPORT do not name the test cluster (run through "
                  "scripts/run-tests)");
        QVERIFY(prepareDeskProcess(db, home.path()));
        admin = std::make_unique<AdminLink>(db.connectionValues());
        presenter = SharedPresenter::install();
        OperatorSession::current().loggedIn = true;
    }

    // 100 check-ins and 50 book counts scanned into the desk window while the server is stopped,
    // with a check-in of a card the library cancels meanwhile; then the server runs again.
    void windowKeepsScanningOffline()
    {
        ServerBackUp backUp;
        DeskSettings& settings = DeskSettings::current();
        settings.readingMode = 1;
        settings.copyLend = 1;
        settings.writeEditableSettings();
        frmReadMain main;
        QCOMPARE(main.pInitialize(), 0);
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        const QString title = main.windowTitle();
        OfflineDesk& offline = main.offlineDesk();
        offline.setCheckInterval(3600 * 1000); // the server is asked again once the card is cancelled

        QStringList cards;
        for (int i = 0; i < 100; ++i)
            cards << QStringLiteral("D10000%1").arg(i % 39 + 1, 2, 10, QLatin1Char('0'));
        QStringList books;
        for (int i = 0; i < 50; ++i)
            books << QStringLiteral("B00000%1").arg(i % 20 + 1, 2, 10, QLatin1Char('0'));
        const QString cancelled = QStringLiteral("D1000040");
        const QString since = QStringLiteral(" WHERE h.hist_serial > %1 AND h.resp_wkr = 'A001'");
        const long long visitsBefore =
            number(QStringLiteral("SELECT coalesce(max(hist_serial), 0) FROM reader_stat_hist"));
        const long long booksBefore =
            number(QStringLiteral("SELECT coalesce(max(hist_serial), 0) FROM book_use_stat_hist"));
        const QStringList workloadBefore{workload("422"), workload("405")};
        const long long loansBefore = number(QStringLiteral("SELECT count(*) FROM lend_lst"));
        const qint64 offset = serverOffset();

        QVERIFY(localdb(QStringLiteral("stop")));
        presenter->clear();
        presenter->setAnswer([](const MessagePresenter::Box& box) {
            return box.buttons == MessagePresenter::Buttons::OkCancel ? 2 : 1; // no reconnecting
        });
        QList<qint64> scanSeconds;
        const auto scan = [&](const QString& code) {
            QTest::keyClicks(QApplication::focusWidget(), code);
            const QDateTime at = QDateTime::currentDateTime();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            scanSeconds << wallSeconds(at.addMSecs(offset));
        };
        QCOMPARE(focused(), QStringLiteral("txtRedrBarcode"));
        for (const QString& card : cards + QStringList{cancelled})
            scan(card);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        for (const QString& book : books)
            scan(book);
        // The lost connection was asked about once; every scan after it was kept at once.
        QCOMPARE(presenter->takeTexts(),
                 QStringList{shownText(QStringLiteral("S网络非正常中断，重新连接数据库？"))});
        QVERIFY(offline.isOffline());
        QCOMPARE(offline.waitingCount(), 151);
        const QString state = QStringLiteral("脱机：151 条扫描待补录");
        QCOMPARE(main.windowTitle(), title + QStringLiteral(" - ") + state);
        QCOMPARE(main.findChild<QLabel*>(QStringLiteral("sbrOffline"))->text(), state);
        QAbstractItemModel* counted = main.findChild<QTableView*>(QStringLiteral("vsBook"))->model();
        QCOMPARE(counted->rowCount(), 50);
        QCOMPARE(counted->index(49, 1).data().toString(), OfflineRows::waitingMark());
        QCOMPARE(counted->index(49, 5).data().toString(), books.last());

        // Photocopy lending and return (of a book on loan) and the windows that need the server
        // (the log, the fines) say so and keep nothing.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
        scan(QStringLiteral("D1000001"));
        QVERIFY(!main.findChild<QLineEdit*>(QStringLiteral("txtLendBookBarCode"))->isEnabled());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
        scan(QStringLiteral("B0000401"));
        scanSeconds.remove(scanSeconds.size() - 2, 2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F7);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8);
        const QStringList refusals = presenter->takeTexts();
        const QStringList said{QStringLiteral("复印外借需要连接服务器"),
                               QStringLiteral("复印归还需要连接服务器"), QStringLiteral("“阅览日志查询”"),
                               QStringLiteral("“超期罚款”")};
        QCOMPARE(refusals.size(), said.size());
        for (int i = 0; i < said.size(); ++i)
            QVERIFY2(refusals.at(i).contains(said.at(i)), qPrintable(refusals.at(i)));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2); // back to check-in
        QCOMPARE(offline.waitingCount(), 151);

        // The server runs again; the library cancels a card before the desk notices.
        QVERIFY(localdb(QStringLiteral("start")));
        QVERIFY(admin->exec(QStringLiteral("UPDATE reader_cert SET cert_flag = '0' WHERE redr_cert_id = '%1'")
                                .arg(cancelled)));
        presenter->setAnswer(nullptr);
        offline.setCheckInterval(100);
        QTRY_VERIFY_WITH_TIMEOUT(offline.state() == OfflineDesk::State::Online, 60000);
        QCOMPARE(presenter->takeTexts(), QStringList());
        QCOMPARE(offline.waitingCount(), 0);
        QCOMPARE(main.windowTitle(), title);
        QVERIFY(!main.findChild<QLabel*>(QStringLiteral("sbrOffline"))->isVisible());

        // Every scan once, in order, at the time it was scanned; the workload once.
        const QStringList visits =
            column(QStringLiteral(
                       "SELECT c.redr_cert_id || '@' || h.date_time, h.hist_serial FROM reader_stat_hist h "
                       "JOIN reader_cert c ON c.cert_id = h.cert_id") +
                   since.arg(visitsBefore));
        const QStringList counts = column(
            QStringLiteral("SELECT i.bar_code || '@' || h.date_time, h.hist_serial FROM book_use_stat_hist h "
                           "JOIN item i ON i.prop_no = h.prop_no") +
            since.arg(booksBefore));
        QVERIFY2(visits.size() == cards.size(), qPrintable(admin->error()));
        QCOMPARE(counts.size(), books.size());
        const QStringList events = visits + counts;
        const QStringList codes = cards + books;
        scanSeconds.removeAt(cards.size()); // the cancelled card's
        for (int i = 0; i < events.size(); ++i) {
            QCOMPARE(events.at(i).section(QLatin1Char('@'), 0, 0), codes.at(i));
            const qint64 late = eventSeconds(events.at(i).section(QLatin1Char('@'), 1)) - scanSeconds.at(i);
            QVERIFY2(qAbs(late) <= 1, qPrintable(QStringLiteral("%1: %2 s").arg(events.at(i)).arg(late)));
        }
        QCOMPARE((QStringList{workload("422"), workload("405")}),
                 (QStringList{QString::number(workloadBefore.at(0).toInt() + 100),
                              QString::number(workloadBefore.at(1).toInt() + 50)}));
        QCOMPARE(number(QStringLiteral("SELECT count(*) FROM lend_lst")), loansBefore);
        QCOMPARE(number(QStringLiteral("SELECT count(*) FROM tj_sort.summary_differences()")), 0);

        // The cancelled card is listed with its message, not recorded, and printed on request.
        auto* refused = main.findChild<frmOfflineRefused*>();
        QVERIFY(refused && refused->isVisible());
        QCOMPARE(focused(), QStringLiteral("txtRedrBarcode")); // the scan box keeps the focus
        QAbstractItemModel* list = refused->findChild<QTableView*>(QStringLiteral("vsRefused"))->model();
        QCOMPARE(list->rowCount(), 1);
        QCOMPARE(list->index(0, 3).data().toString(), cancelled);
        QCOMPARE(list->index(0, 5).data().toString(), QStringLiteral("ELT103"));
        QCOMPARE(main.findChild<QToolButton*>(QStringLiteral("cmdOfflineRefused"))->text(),
                 QStringLiteral("脱机扫描未登记 1 条"));
        QString printed;
        QTimer::singleShot(0, this, [&printed] {
            if (auto* designer = qobject_cast<frmFlexPrint*>(QApplication::activeModalWidget())) {
                printed = PrintHandover::instance().cell(1, 2) + QLatin1Char('/') +
                          PrintHandover::instance().cell(1, 4) + QLatin1Char('/') +
                          PrintHandover::instance().headingLine(6);
                designer->reject();
            }
        });
        QTest::mouseClick(refused->findChild<QPushButton*>(QStringLiteral("cmdPrint")), Qt::LeftButton);
        QCOMPARE(printed, cancelled + QStringLiteral("/ELT103/总计： 1 条"));
        QTest::mouseClick(refused->findChild<QPushButton*>(QStringLiteral("cmdClear")), Qt::LeftButton);
        QCOMPARE(offline.refusedCount(), 0);
        QVERIFY(!main.findChild<QToolButton*>(QStringLiteral("cmdOfflineRefused"))->isVisible());
        presenter->clear();
    }

    // A desk killed with SIGKILL while offline keeps every scan it answered; killed again while
    // catching up, right after recording a scan that its journal had not yet let go, it records
    // that scan no second time when it starts again.
    void killedOfflineAndWhileCatchingUp()
    {
        ServerBackUp backUp;
        QTemporaryDir driverHome;
        QVERIFY(QDir(driverHome.path()).mkpath(QStringLiteral("LOG")));
        const QString journalPath = OfflineJournal::pathIn(driverHome.path() + QLatin1Char('/'));
        const QString since = QStringLiteral(" WHERE hist_serial > %1");
        const long long visitsBefore =
            number(QStringLiteral("SELECT coalesce(max(hist_serial), 0) FROM reader_stat_hist"));
        const long long booksBefore =
            number(QStringLiteral("SELECT coalesce(max(hist_serial), 0) FROM book_use_stat_hist"));
        const long long workloadBefore = workload("422").toLongLong() + workload("405").toLongLong();

        QStringList sent;
        {
            Driver desk;
            QVERIFY(desk.start(driverHome.path(), db.connectionValues()));
            QVERIFY(localdb(QStringLiteral("stop")));
            for (int i = 1; i <= 12; ++i) {
                sent << (i % 3 ? QStringLiteral("checkin D10000%1").arg(i, 2, 10, QLatin1Char('0'))
                               : QStringLiteral("count B00000%1").arg(i, 2, 10, QLatin1Char('0')));
                QCOMPARE(desk.ask(sent.last()), QStringLiteral("journaled %1").arg(i));
            }
            desk.send(QStringLiteral("checkin D1000013")); // killed while this one is on its way
            desk.kill();
        }
        QList<OfflineScan> journaled;
        {
            OfflineJournal journal;
            QVERIFY2(journal.open(journalPath), qPrintable(journal.error()));
            journaled = journal.waiting(100);
        }
        QVERIFY(journaled.size() == 12 || journaled.size() == 13);
        for (int i = 0; i < 12; ++i)
            QCOMPARE(journaled.at(i).readerCode + journaled.at(i).bookCode,
                     sent.at(i).section(QLatin1Char(' '), 1));
        QStringList keys;
        for (const OfflineScan& scan : journaled)
            keys << QLatin1Char('\'') + scan.key + QLatin1Char('\'');
        const QString keysRecorded =
            QStringLiteral("SELECT count(*) FROM offline_scan_key WHERE scan_key IN (%1)")
                .arg(keys.join(QLatin1Char(',')));

        // Catching up, the desk is killed once it has recorded a scan that its journal still holds:
        // the test keeps the journal's file locked, so the desk waits to let the scan go.
        QVERIFY(localdb(QStringLiteral("start")));
        sqlite3* lock = nullptr;
        QCOMPARE(sqlite3_open(journalPath.toUtf8().constData(), &lock), SQLITE_OK);
        QCOMPARE(sqlite3_exec(lock, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        {
            Driver desk;
            QVERIFY(desk.start(driverHome.path(), db.connectionValues()));
            desk.send(QStringLiteral("catchup"));
            QTRY_VERIFY_WITH_TIMEOUT(number(keysRecorded) == 1, 30000);
            desk.kill();
        }
        sqlite3_exec(lock, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(lock);
        const auto events = [&] {
            return number(QStringLiteral("SELECT count(*) FROM reader_stat_hist") + since.arg(visitsBefore)) +
                   number(QStringLiteral("SELECT count(*) FROM book_use_stat_hist") + since.arg(booksBefore));
        };
        QCOMPARE(events(), 1);

        Driver desk;
        QVERIFY(desk.start(driverHome.path(), db.connectionValues()));
        QCOMPARE(desk.ask(QStringLiteral("catchup")), QStringLiteral("caught up 0"));
        QCOMPARE(events(), journaled.size());
        QCOMPARE(number(keysRecorded), journaled.size());
        QCOMPARE(workload("422").toLongLong() + workload("405").toLongLong(),
                 workloadBefore + journaled.size());
        OfflineJournal journal;
        QVERIFY(journal.open(journalPath));
        QCOMPARE(journal.waitingCount(), 0);
    }
};

QTEST_MAIN(TestOffline)
#include "tst_offline.moc"
