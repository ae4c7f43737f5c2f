// The statistics on a read replica: a streaming standby of the test cluster made by the test
// (pg_basebackup -R into a folder of its own, listening on its own socket), stopped by it again.
// Every statistic answers on the standby, read-only, with the primary's figures once the standby
// has caught up; a standby that lags or is down is passed over for the primary, with a notice.
#include "db/database.h"
#include "db/statisticssession.h"
#include "db/sysparams.h"
#include "startup/operatorsession.h"
#include "stats/frmRedrLendCount.h"
#include "support/deskdata.h"
#include "support/recordingpresenter.h"
#include "support/testdatabase.h"
#include "windowfigures.h"

#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {

const QString serverTools = QStringLiteral("/usr/lib/postgresql/15/bin/");

// The server tools run as the cluster's owner: postgres when the tests run as root.
int runTool(const QString& tool, const QStringList& arguments, QString* output = nullptr)
{
    QProcess process;
    if (geteuid() == 0)
        process.start(QStringLiteral("runuser"),
                      QStringList{"-u", "postgres", "--", serverTools + tool} + arguments);
    else
        process.start(serverTools + tool, arguments);
    if (!process.waitForFinished(180000))
        return -1;
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QString superuser()
{
    return geteuid() == 0 ? QStringLiteral("postgres") : qEnvironmentVariable("USER");
}

} // namespace

class TestStatReplica : public QObject
{
    Q_OBJECT
    TestDatabase db{QStringLiteral("statreplica")};
    QTemporaryDir folder;
    QString data, sockets;
    RecordingPresenter* presenter = nullptr;

    ConnectionValues replicaValues() const
    {
        ConnectionValues values = db.connectionValues();
        values.dsn =
            QStringLiteral("host=%1 port=%2 dbname=%3")
                .arg(sockets, TestDatabase::port(), values.dsn.section(QStringLiteral("dbname="), 1));
        return values;
    }

    // A statement on the standby as the cluster's owner (pausing and resuming the replay).
    QString onStandby(const QString& sql)
    {
        QString output;
        runTool(QStringLiteral("psql"),
                {"-X", "-A", "-t", "-h", sockets, "-p", TestDatabase::port(), "-U", superuser(), "-d",
                 "postgres", "-c", sql},
                &output);
        return output.trimmed();
    }

    // A reading event of May 2019 recorded on the primary, so that the figures change.
    void recordEvents()
    {
        const QString book =
            db.scalar(QStringLiteral("SELECT prop_no FROM item WHERE location = 'R1' LIMIT 1"));
        db.exec(QStringLiteral("CALL LT_reader_stat('R0000003', '2019-05-2009:00:00', 'R1', 'A001')"));
        db.exec(QStringLiteral(
                    "CALL LT_reader_book_stat('%1', 'R0000003', '2019-05-2009:00:00', 'R1', 'A001', '')")
                    .arg(book));
        db.exec(
            QStringLiteral("CALL LT_book_use_stat('%1', '2019-05-2009:00:00', 'R1', 'A001', '')").arg(book));
        db.exec(QStringLiteral(
            "INSERT INTO wkr_job_qty (wkr_no_f, oper_date, job_type, volume) "
            "VALUES ('A001', '2019-05-20', '405', 1) ON CONFLICT (wkr_no_f, oper_date, job_type) "
            "DO UPDATE SET volume = wkr_job_qty.volume + 1"));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        loadDeskData(db, folder.path());
        OperatorSession::current().workerNumber = QStringLiteral("A001");
        presenter = RecordingPresenter::install();
        // The last month of the demo histories again in May 2019, and in the logs.
        const QString may = QStringLiteral("'2019-05' || substr(date_time, 8)"),
                      last = QStringLiteral(
                          "substr(date_time, 1, 7) = (SELECT substr(max(date_time), 1, 7) FROM %1)");
        db.exec(
            QStringLiteral(
                "INSERT INTO redr_book_stat_hist (prop_no, cert_id, date_time, location_f, marc_rec_no, "
                "call_no, cls_id) SELECT prop_no, cert_id, %1, location_f, marc_rec_no, call_no, cls_id "
                "FROM redr_book_stat_hist WHERE %2;"
                "INSERT INTO book_use_stat_hist (prop_no, date_time, location_f, marc_rec_no, call_no, "
                "cls_id) "
                "SELECT prop_no, %1, location_f, marc_rec_no, call_no, cls_id FROM book_use_stat_hist WHERE "
                "%3;"
                "INSERT INTO reader_stat_hist (cert_id, date_time, location_f) "
                "SELECT cert_id, %1, location_f FROM reader_stat_hist WHERE %4;"
                "INSERT INTO reader_stat (cert_id, read_date_time, location_f) "
                "SELECT cert_id, date_time, location_f FROM reader_stat_hist WHERE date_time LIKE '2019%';"
                "INSERT INTO reader_book_stat (prop_no, cert_id, date_time, location_f, call_no) "
                "SELECT prop_no, cert_id, date_time, location_f, call_no FROM redr_book_stat_hist "
                "WHERE date_time LIKE '2019%'")
                .arg(may, last.arg("redr_book_stat_hist"), last.arg("book_use_stat_hist"),
                     last.arg("reader_stat_hist")));
        recordEvents();
        // The standby: a base backup with the settings to follow the primary, on a socket of its own.
        data = folder.filePath(QStringLiteral("standby"));
        sockets = folder.filePath(QStringLiteral("run"));
        QVERIFY(QDir().mkpath(sockets));
        if (geteuid() == 0)
            QCOMPARE(QProcess::execute(QStringLiteral("chown"), {"-R", "postgres:postgres", folder.path()}),
                     0);
        QString output;
        QVERIFY2(runTool(QStringLiteral("pg_basebackup"),
                         {"-h", TestDatabase::host(), "-p", TestDatabase::port(), "-U", superuser(), "-D",
                          data, "-R", "-X", "stream", "--checkpoint=fast"},
                         &output) == 0,
                 qPrintable(output));
        QVERIFY2(runTool(QStringLiteral("pg_ctl"),
                         {"-D", data, "-l", folder.filePath(QStringLiteral("standby.log")), "-w", "-t", "120",
                          "-o",
                          QStringLiteral("-c port=%1 -c listen_addresses='' -c unix_socket_directories='%2' "
                                         "-c shared_buffers=32MB")
                              .arg(TestDatabase::port(), sockets),
                          "start"},
                         &output) == 0,
                 qPrintable(output));
        QCOMPARE(onStandby(QStringLiteral("SELECT pg_is_in_recovery()")), QStringLiteral("t"));
    }
    void cleanupTestCase()
    {
        LIB_SetStatisticsReplica({}, 0);
        if (!data.isEmpty())
            runTool(QStringLiteral("pg_ctl"), {"-D", data, "-m", "immediate", "-w", "stop"});
    }
    void init() { presenter->clear(); }

    // Each statistic runs on the standby (read-only: the package writes nothing there) and gives
    // the primary's figures, events recorded just before included.
    void replicaAnswers_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QStringList>("arguments");
        const QStringList may{"--month", "2019-05"};
        QTest::newRow("classes") << "classes" << may + QStringList{"--template", "S02"};
        QTest::newRow("books") << "books" << may + QStringList{"--template", "S01"};
        QTest::newRow("workload") << "workload" << QStringList{"--worker", "A001", "--year", "2019"};
        const QStringList ranking =
            may + QStringList{"--template", "S02", "--mode", "reader-book", "--top", "10"};
        QTest::newRow("rankings") << "rankings" << ranking;
        QTest::newRow("rates") << "rates" << ranking + QStringList{"--rate", ">=0.5"};
        QTest::newRow("readers") << "readers" << may + QStringList{"--mode", "reader-check-in"};
        QTest::newRow("visits") << "visits" << may + QStringList{"--mode", "reader-check-in"};
        QTest::newRow("usage") << "usage" << may + QStringList{"--mode", "reader-book"};
    }
    void replicaAnswers()
    {
        QFETCH(QString, report);
        QFETCH(QStringList, arguments);
        recordEvents();
        LIB_SetStatisticsReplica(replicaValues(), 60000);
        const long before = LIB_StatisticsReplicaSession().roundTrips();
        QList<QStringList> fromReplica, fromPrimary;
        QCOMPARE(windowFigures(report, arguments, fromReplica), 0);
        QCOMPARE(LIB_StatisticsNotice(), QString());
        QVERIFY(LIB_StatisticsReplicaSession().roundTrips() > before + 1);
        QVERIFY2(presenter->boxes.isEmpty(), qPrintable(presenter->lastText()));
        LIB_SetStatisticsReplica({}, 0);
        QCOMPARE(windowFigures(report, arguments, fromPrimary), 0);
        QCOMPARE(fromReplica, fromPrimary);
    }

    // A standby that lags (its replay paused) or is down: the window answers from the primary and
    // says so; the figures are the primary's.
    void fallsBackToPrimary_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("notice");
        QTest::newRow("lagging") << "lagging"
                                 << "统计副本数据滞后，本次统计由主库完成";
        QTest::newRow("caught up again") << "resumed"
                                         << "";
        QTest::newRow("down") << "stopped"
                              << "统计副本不可用，本次统计由主库完成";
        QTest::newRow("still down") << "stopped"
                                    << "统计副本连接失败，本次统计由主库完成";
    }
    void fallsBackToPrimary()
    {
        QFETCH(QString, state);
        LIB_SetStatisticsReplica(replicaValues(), state == QLatin1String("lagging") ? 300 : 60000);
        if (state == QLatin1String("resumed"))
            onStandby(QStringLiteral("SELECT pg_wal_replay_resume()"));
        QList<QStringList> visits; // connected before the change
        QCOMPARE(windowFigures(QStringLiteral("visits"), {"--month", "2019-05", "--mode", "reader-check-in"},
                               visits),
                 0);
        if (state == QLatin1String("lagging"))
            onStandby(QStringLiteral("SELECT pg_wal_replay_pause()"));
        else if (state == QLatin1String("stopped") &&
                 onStandby(QStringLiteral("SELECT 1")) == QLatin1String("1"))
            QCOMPARE(runTool(QStringLiteral("pg_ctl"), {"-D", data, "-m", "fast", "-w", "stop"}), 0);
        recordEvents();

        frmRedrLendCount window(true);
        window.findChild<QScrollBar*>(QStringLiteral("updYear"))->setValue(2019);
        window.findChild<QComboBox*>(QStringLiteral("cboMonth"))->setCurrentIndex(4);
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdStat")), Qt::LeftButton);
        QTEST(window.findChild<QLabel*>(QStringLiteral("lblNotice"))->text(), "notice");
        const QList<QStringList> shown = gridOf(window.grid(frmRedrLendCount::ByType));
        LIB_SetStatisticsReplica({}, 0);
        VisitCountConditions c = window.conditions();
        StatTableModel types, units, grades, departments;
        QCOMPARE(VisitCountStatistics::run(c, {&types, &units, &grades, &departments}), 0);
        QCOMPARE(shown, gridOf(types));
    }
};

QTEST_MAIN(TestStatReplica)
#include "tst_statreplica.moc"
