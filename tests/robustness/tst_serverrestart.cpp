// The database server stops and starts again under a working desk: while the desk waits for the
// next scan, and while a check-in is inside its procedure. The operator is asked to reconnect
// (again, while the server is still down), the check-in is recorded completely or not at all,
// and after reconnecting the desk records the next scan.
//
// Stops the test cluster of scripts/run-tests (scripts/localdb stop/start), so it runs alone.
#include "db/database.h"
#include "deskfaults.h"
#include "robustdesk.h"
#include "testcluster.h"

#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

class TestServerRestart : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TestDatabase db{QStringLiteral("serverrestart")};
    SharedPresenter* presenter = nullptr;
    std::unique_ptr<AdminLink> admin;

private Q_SLOTS:
    void initTestCase()
    {
        if (!onTestCluster())
            QSKIP("READDESK_VAR and READDESK_PGPORT do not name the test cluster (run through "
                  "scripts/run-tests)");
        QVERIFY(prepareDeskProcess(db, home.path()));
        admin = std::make_unique<AdminLink>(db.connectionValues());
        QVERIFY2(ProcedurePause::install(*admin, {"reader_stat_hist"}), qPrintable(admin->error()));
        presenter = SharedPresenter::install();
    }

    void serverRestarted_data()
    {
        QTest::addColumn<bool>("midOperation");
        QTest::newRow("while the desk waits for a scan") << false;
        QTest::newRow("between the check-in's log and history rows") << true;
    }

    void serverRestarted()
    {
        QFETCH(bool, midOperation);
        ServerBackUp backUp;
        const FaultScenario checkIn = faultScenario(QStringLiteral("check-in"));
        DeskContext desk = deskAt(DeskMode::ReaderCheckIn);
        QVERIFY(checkIn.prepare(*admin, desk));
        presenter->clear();
        const QList<long long> before = readFigures(*admin, checkIn);
        QCOMPARE(before.size(), checkIn.recordedChange.size());
        const QString reconnect = shownText(QStringLiteral("S网络非正常中断，重新连接数据库？"));
        const QString reconnectAgain = shownText(QStringLiteral("S数据库连接失败，重新连接数据库？"));
        const QString connected = shownText(QStringLiteral("I数据库连接成功！"));

        bool wentThrough = false;
        bool stopped = false;
        bool started = false;
        if (!midOperation) {
            stopped = localdb(QStringLiteral("stop"));
            started = localdb(QStringLiteral("start"));
            // The desk learns of it with its next scan: the admission fails and asks.
            wentThrough = checkIn.prepare(*admin, desk);
            QCOMPARE(presenter->takeTexts(), (QStringList{reconnect, connected}));
        } else {
            QVERIFY2(ProcedurePause::arm(*admin, QStringLiteral("reader_stat_hist")),
                     qPrintable(admin->error()));
            const int pid = DbSession::current().backendPid();
            std::atomic<bool> operationDone{false};
            bool paused = false;
            QSemaphore serverDown;
            // The second question comes while the server is down; the operator waits for it to be
            // back before answering.
            presenter->setAnswer([&](const MessagePresenter::Box& box) {
                if (box.text == reconnectAgain && serverDown.tryAcquire(1, 120000))
                    started = localdb(QStringLiteral("start"));
                return 1;
            });
            std::thread stopper([&] {
                AdminLink watcher(db.connectionValues());
                paused = ProcedurePause::awaitPaused(watcher, pid, operationDone);
                if (paused)
                    stopped = localdb(QStringLiteral("stop"));
                serverDown.release();
            });
            wentThrough = checkIn.operate(desk);
            operationDone = true;
            stopper.join();
            presenter->setAnswer(nullptr);
            QVERIFY(ProcedurePause::release(*admin));
            QVERIFY2(paused, "the check-in never reached the pause");
            QCOMPARE(presenter->takeTexts(), (QStringList{reconnect, reconnectAgain, connected}));
        }
        QVERIFY(stopped);
        QVERIFY(started);
        QVERIFY(!wentThrough);
        QVERIFY(DbSession::current().isConnected());
        QCOMPARE(readFigures(*admin, checkIn), before);

        // The desk works again.
        QVERIFY(checkIn.prepare(*admin, desk));
        QVERIFY(checkIn.operate(desk));
        QCOMPARE(presenter->texts(), QStringList());
        QCOMPARE(readFigures(*admin, checkIn), figuresAfter(before, checkIn));
    }
};

QTEST_MAIN(TestServerRestart)
#include "tst_serverrestart.moc"
