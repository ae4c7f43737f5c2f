// A desk whose server session is terminated in the middle of an operation: the session is paused
// inside the server's procedure, at a chosen row, and terminated from another session. The
// operator is asked to reconnect, the operation is recorded completely or not at all, and after
// reconnecting the same operation goes through once.
#include "db/database.h"
#include "deskfaults.h"
#include "robustdesk.h"
#include "support/testdatabase.h"

#include <QTemporaryDir>
#include <QTest>
#include <thread>

class TestFaults : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TestDatabase db{QStringLiteral("faults")};
    SharedPresenter* presenter = nullptr;
    std::unique_ptr<AdminLink> admin;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(prepareDeskProcess(db, home.path()));
        admin = std::make_unique<AdminLink>(db.connectionValues());
        QVERIFY2(ProcedurePause::install(*admin, {"reader_stat_hist", "book_use_stat_hist",
                                                  "redr_book_stat_hist", "wkr_job_qty", "item", "reader"}),
                 qPrintable(admin->error()));
        presenter = SharedPresenter::install();
    }

    void sessionTerminatedMidOperation_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("pausedAfter"); // the table whose row the procedure has just written
        const auto row = [](const char* tag, const char* operation, const char* table) {
            QTest::newRow(tag) << QString::fromLatin1(operation) << QString::fromLatin1(table);
        };
        row("check-in, between its log and history rows", "check-in", "reader_stat_hist");
        row("check-in, in the workload count", "check-in", "wkr_job_qty");
        row("book counting, between its log and history rows", "book counting", "book_use_stat_hist");
        row("book counting, in the workload count", "book counting", "wkr_job_qty");
        row("registration, between its log and history rows", "registration", "redr_book_stat_hist");
        row("registration, in the workload count", "registration", "wkr_job_qty");
        row("photocopy lending, after the loan row", "photocopy lending", "item");
        row("photocopy lending, in the workload count", "photocopy lending", "wkr_job_qty");
        row("photocopy return, after the history row", "photocopy return", "item");
        row("photocopy return, in the workload count", "photocopy return", "wkr_job_qty");
        row("admission, between the violation and the reader's count", "admission", "reader");
        for (const char* operation : {"check-in", "book counting", "registration", "photocopy lending",
                                      "photocopy return", "admission"})
            row(qPrintable(QStringLiteral("%1, at the commit").arg(QLatin1String(operation))), operation,
                ProcedurePause::AtCommit);
    }

    void sessionTerminatedMidOperation()
    {
        QFETCH(QString, operation);
        QFETCH(QString, pausedAfter);
        const FaultScenario scenario = faultScenario(operation);
        DeskContext desk = deskAt(scenario.mode);
        QVERIFY(scenario.prepare(*admin, desk));
        presenter->clear();
        const QList<long long> before = readFigures(*admin, scenario);
        QCOMPARE(before.size(), scenario.recordedChange.size());

        QVERIFY2(ProcedurePause::arm(*admin, pausedAfter), qPrintable(admin->error()));
        const int pid = DbSession::current().backendPid();
        std::atomic<bool> operationDone{false};
        bool paused = false;
        bool terminated = false;
        std::thread breaker([&] {
            AdminLink watcher(db.connectionValues());
            paused = ProcedurePause::awaitPaused(watcher, pid, operationDone);
            if (paused)
                terminated = watcher.number(
                                 QStringLiteral("SELECT pg_terminate_backend(%1, 10000)::int").arg(pid)) == 1;
        });
        const bool recorded = scenario.operate(desk);
        operationDone = true;
        breaker.join();
        QVERIFY(ProcedurePause::release(*admin));

        QVERIFY2(paused, "the operation never reached the pause");
        QVERIFY(terminated);
        QVERIFY(!recorded);
        QCOMPARE(presenter->takeTexts(),
                 (QStringList{shownText(QStringLiteral("S网络非正常中断，重新连接数据库？")),
                              shownText(QStringLiteral("I数据库连接成功！"))}));
        QVERIFY(DbSession::current().isConnected());
        QVERIFY(DbSession::current().backendPid() != pid);
        QVERIFY(!DbSession::current().inTransaction());
        QCOMPARE(readFigures(*admin, scenario), before);

        // The desk works again: the same scan goes through, once.
        QVERIFY(scenario.operate(desk));
        QCOMPARE(presenter->texts(), QStringList());
        QList<long long> expected = before;
        for (int i = 0; i < expected.size(); ++i)
            expected[i] += scenario.recordedChange.at(i);
        QCOMPARE(readFigures(*admin, scenario), expected);
    }

    // The server refuses the workload count: the operation stands all the same, counted nowhere,
    // and the operator sees nothing of it.
    void workloadRefusedLeavesOperationStanding_data()
    {
        QTest::addColumn<QString>("operation");
        for (const char* operation :
             {"check-in", "book counting", "registration", "photocopy lending", "photocopy return"})
            QTest::newRow(operation) << QString::fromLatin1(operation);
    }

    void workloadRefusedLeavesOperationStanding()
    {
        QFETCH(QString, operation);
        const FaultScenario scenario = faultScenario(operation);
        DeskContext desk = deskAt(scenario.mode);
        QVERIFY(scenario.prepare(*admin, desk));
        presenter->clear();
        const QList<long long> before = readFigures(*admin, scenario);
        QVERIFY(admin->exec(QStringLiteral(
            "CREATE FUNCTION refuse_workload() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE "
            "EXCEPTION 'refused by the test'; END $$; CREATE TRIGGER refuse_workload BEFORE INSERT OR "
            "UPDATE ON wkr_job_qty FOR EACH ROW EXECUTE FUNCTION refuse_workload()")));
        const bool recorded = scenario.operate(desk);
        QVERIFY(admin->exec(
            QStringLiteral("DROP TRIGGER refuse_workload ON wkr_job_qty; DROP FUNCTION refuse_workload()")));

        QVERIFY(recorded);
        QCOMPARE(presenter->texts(), QStringList());
        QVERIFY(!DbSession::current().inTransaction());
        QList<long long> expected = before;
        for (int i = 0; i < expected.size() - 1; ++i) // the last figure is the workload
            expected[i] += scenario.recordedChange.at(i);
        QCOMPARE(readFigures(*admin, scenario), expected);
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
