// The benchmark's own arithmetic and its promises about the data: percentiles as documented, a floor
// that survives a refused statement, scans that leave the library as they found it (what is lent
// comes back, the floor's replays really run), and a log grid filled without per-row queries.
#include "benchdesk.h"
#include "floorsession.h"
#include "flushprobe.h"
#include "latency.h"
#include "loggrid.h"
#include "scanruns.h"
#include "support/testdatabase.h"

#include <QTest>

class TestScanBench : public QObject
{
    Q_OBJECT
    TestDatabase* db = nullptr;
    BenchDesk* desk = nullptr;
    FloorSession floor;

    int count(const char* sql) { return db->scalar(QString::fromLatin1(sql)).toInt(); }

private Q_SLOTS:
    void initTestCase()
    {
        db = new TestDatabase(QStringLiteral("scanbench"));
        QVERIFY(db->isReady());
        // The demo library's clean readers and copies of the books on R1's shelves, numbered like
        // generated keys, stand in for the generated ranges.
        db->exec(QStringLiteral(
            "INSERT INTO item SELECT (jsonb_populate_record(NULL::item, to_jsonb(i) || jsonb_build_object("
            "'prop_no', 'P1' || substr(i.prop_no, 3), 'bar_code', 'B1' || substr(i.bar_code, 3)))).* "
            "FROM item i WHERE bar_code BETWEEN 'B0000001' AND 'B0000020';"
            "CREATE TABLE bench_keys (name text PRIMARY KEY, prefix text, first_no bigint, last_no bigint);"
            "INSERT INTO bench_keys VALUES ('card_ok', 'D', 1000011, 1000020), ('item_r1', 'B', 1000001, "
            "1000020)"));
        QCOMPARE(count("SELECT count(*) FROM lend_lst WHERE cert_id BETWEEN 'R1000011' AND 'R1000020'"), 0);
        BenchTarget target;
        target.connection = db->connectionValues();
        desk = new BenchDesk(target);
        QVERIFY2(desk->open(), qPrintable(desk->error()));
        QVERIFY2(desk->loadKeys(), qPrintable(desk->error()));
        QVERIFY2(floor.connect(target.connection), qPrintable(floor.error()));
    }
    void cleanupTestCase()
    {
        delete desk;
        delete db;
    }

    void percentiles_data()
    {
        QTest::addColumn<int>("values");
        QTest::addColumn<double>("p");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("median of 100") << 100 << 50.0 << qint64(50);
        QTest::newRow("p95 of 100") << 100 << 95.0 << qint64(95);
        QTest::newRow("p99 of 100") << 100 << 99.0 << qint64(99);
        QTest::newRow("p99 of 1000") << 1000 << 99.0 << qint64(990);
        QTest::newRow("p99 of 10: the largest but one") << 10 << 99.0 << qint64(10);
        QTest::newRow("median of 9") << 9 << 50.0 << qint64(5);
        QTest::newRow("one value") << 1 << 99.0 << qint64(1);
        QTest::newRow("none") << 0 << 50.0 << qint64(0);
    }
    void percentiles()
    {
        QFETCH(int, values);
        QFETCH(double, p);
        QFETCH(qint64, expected);
        QList<qint64> ascending;
        for (int v = 1; v <= values; ++v)
            ascending.append(v);
        QCOMPARE(nearestRank(ascending, p), expected);
    }

    // Samples arrive in any order and in nanoseconds; the summary is in microseconds.
    void summaryOfUnsortedSamples()
    {
        LatencySamples samples;
        for (qint64 v : {9000, 1000, 5000, 3000, 7000})
            samples.add(v);
        const LatencySummary s = samples.summary();
        QCOMPARE(s.count, 5);
        QCOMPARE(s.median, 5.0);
        QCOMPARE(s.p99, 9.0);
        QCOMPARE(s.max, 9.0);
    }

    // A refused statement is counted, and the aborted transaction it leaves does not spoil the
    // next replay.
    void floorSurvivesARefusal()
    {
        floor.replay({"BEGIN", "SELECT 1/0", "COMMIT"});
        QCOMPARE(floor.failures(), 1);
        floor.replay({"BEGIN", "SELECT 1", "COMMIT"});
        QCOMPARE(floor.failures(), 1);
    }

    // The probe beside the scans runs its statements on the desk's connection, each as sent.
    void flushProbeRuns()
    {
        const FlushFigures figures = measureFlush(5);
        QCOMPARE(figures.failed, 0);
        QCOMPARE(figures.roundTrip.count, 5);
        QCOMPARE(figures.committed.count, 5);
        QVERIFY(figures.committed.median > 0);
    }

    void scansLeaveTheLibraryAsTheyFoundIt()
    {
        const int visits = count("SELECT count(*) FROM reader_stat");
        const int counted = count("SELECT count(*) FROM book_use_stat");
        const int registered = count("SELECT count(*) FROM reader_book_stat");
        const int loans = count("SELECT count(*) FROM lend_lst");
        const int failuresBefore = floor.failures();

        ScanRuns runs(*desk, floor, 7);
        runs.checkIns(3, 1);
        runs.counting(3, 0);
        runs.registration(2, 2, 0);
        runs.photocopy(2, 2, 0);

        QMap<QString, int> timed;
        for (const OperationFigures& f : runs.figures()) {
            QVERIFY2(f.refused == 0,
                     qPrintable(f.name + QStringLiteral(": ") + f.messages.join(QStringLiteral(" / "))));
            QCOMPARE(f.floor.count(), f.runs);
            QCOMPARE(f.differing, 0);
            QVERIFY(f.fewestStatements > 0);
            timed.insert(f.name, f.runs);
        }
        QCOMPARE(timed.value(QStringLiteral("check-in: card admitted, visit recorded")), 3);
        QCOMPARE(timed.value(QStringLiteral("registration: book")), 4);
        QCOMPARE(timed.value(QStringLiteral("photocopy: lending")), 4);
        QCOMPARE(timed.value(QStringLiteral("photocopy: return")), 4);
        QCOMPARE(floor.failures(), failuresBefore);

        // Every event four times: the first scan, the untimed replay, the timed scan and its
        // floor (the warm-up scan included).
        QCOMPARE(count("SELECT count(*) FROM reader_stat"), visits + 4 * 4);
        QCOMPARE(count("SELECT count(*) FROM book_use_stat"), counted + 4 * 3);
        QCOMPARE(count("SELECT count(*) FROM reader_book_stat"), registered + 4 * 4);
        // What was lent came back, every time.
        QCOMPARE(count("SELECT count(*) FROM lend_lst"), loans);
        QCOMPARE(count("SELECT count(*) FROM item WHERE bar_code BETWEEN 'B1000001' AND 'B1000020' "
                       "AND book_lend_flag <> '0'"),
                 0);
    }

    // One log statement and one statement per few hundred records, whatever the number of rows.
    void logGridReadsRecordsInSets()
    {
        db->exec(
            QStringLiteral("INSERT INTO reader_book_stat (prop_no, cert_id, date_time, location_f, resp_wkr) "
                           "SELECT 'P10000' || lpad((1 + g % 20)::text, 2, '0'), 'R1000011', "
                           "'2099-01-01' || to_char(g, 'FM00') || ':00:00', 'R1', 'A001' "
                           "FROM generate_series(0, 23) g"));
        const GridFigures figures = fillReadingLogWindow(24, nullptr);
        QVERIFY2(figures.failure.isEmpty(), qPrintable(figures.failure));
        QCOMPARE(figures.rows, 24);
        QCOMPARE(figures.records, 20);
        QCOMPARE(figures.statements, 2L);
    }
};

QTEST_MAIN(TestScanBench)
#include "tst_scanbench.moc"
