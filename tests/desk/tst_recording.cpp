// Book counting, reader check-in and reader-book registration against the demo library, and the
// barcode import file reader.
#include "db/database.h"
#include "desk/admission.h"
#include "desk/barcodeimport.h"
#include "desk/recording.h"
#include "desk/recordingrows.h"
#include "info/isbnform.h"
#include "support/deskprocess.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString writeImportFile(const QTemporaryDir& dir, const QByteArray& content)
{
    static int files = 0;
    const QString path = dir.filePath(QStringLiteral("import%1.txt").arg(++files));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(content);
    return path;
}

QStringList readAllCodes(BarcodeImportReader& reader)
{
    QStringList codes;
    QString code;
    while (reader.next(code))
        codes << code;
    return codes;
}

const QString todaysWorkload = QStringLiteral(
    "SELECT coalesce(sum(volume), 0) FROM wkr_job_qty WHERE wkr_no_f = 'A001' AND job_type = '%1' "
    "AND oper_date = substr(lt_server_time(), 1, 10)");

} // namespace

class TestRecording : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TestDatabase db{QStringLiteral("recording")};
    RecordingPresenter* presenter = nullptr;
    DeskContext desk;

    int number(const QString& sql) const { return db.scalar(sql).toInt(); }
    int workload(const QString& job) const { return number(todaysWorkload.arg(job)); }

    void enterMode(DeskMode mode)
    {
        desk = deskAt(mode);
        presenter->clear();
    }

    void admitFirstDemoReader()
    {
        ReaderAdmission admission;
        QVERIFY(!admission.admit(desk, QStringLiteral("D0000001")).refused);
        QVERIFY(desk.readerAdmitted);
        presenter->clear();
    }

    // Drops the test's own failing trigger whatever the test's outcome.
    struct TriggerGuard
    {
        const TestDatabase& db;
        QString drop;
        ~TriggerGuard() { db.exec(drop); }
    };

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(prepareDeskProcess(db, home.path()));
        presenter = RecordingPresenter::install();
    }

    void countingTwiceRecordsTwoEvents()
    {
        enterMode(DeskMode::BookCounting);
        const QString events =
            QStringLiteral("SELECT count(*) FROM book_use_stat WHERE prop_no = 'P0000001'");
        const int eventsBefore = number(events);
        const int workloadBefore = workload(QStringLiteral("405"));
        QList<CountedBookRow> grid;
        QStringList eventTimes;
        long roundTrips[2] = {};
        for (long& trips : roundTrips) {
            const long before = DbSession::current().roundTrips();
            QCOMPARE(countOrRegisterBook(desk, QStringLiteral("B0000001")), 0);
            trips = DbSession::current().roundTrips() - before;
            grid << CountedBookRow::of(desk.item);
            eventTimes << desk.lastServerDate;
        }
        qInfo("round trips of one counting scan: %ld (first), %ld (same book again)", roundTrips[0],
              roundTrips[1]);
        QVERIFY(roundTrips[1] < roundTrips[0]); // the book shown already: its MARC record is not read again

        QVERIFY(presenter->boxes.isEmpty());
        QCOMPARE(number(events), eventsBefore + 2);
        QCOMPARE(workload(QStringLiteral("405")), workloadBefore + 2);
        QCOMPARE(grid.size(), 2);
        QCOMPARE(grid[1].cells(), grid[0].cells());
        QCOMPARE(grid[0].barcode, QStringLiteral("B0000001"));
        QVERIFY(!grid[0].title.isEmpty());
        const QString recorded = db.scalar(QStringLiteral(
            "SELECT string_agg(use_date_time || '|' || location_f || '|' || resp_wkr || '|' || call_no, ';' "
            "ORDER BY stat_serial) FROM (SELECT * FROM book_use_stat WHERE prop_no = 'P0000001' "
            "ORDER BY stat_serial DESC LIMIT 2) last"));
        const QString callNo = desk.item.callNo;
        QCOMPARE(recorded, eventTimes[0] + "|R1|A001|" + callNo + ";" + eventTimes[1] + "|R1|A001|" + callNo);
        QCOMPARE(eventTimes[1].size(), 18);
    }

    // The grids' texts come from the MARC record, whatever way the code was typed.
    void bookTexts_data()
    {
        QTest::addColumn<QString>("scanned");
        QTest::addColumn<QString>("barcode");
        // clang-format off
        QTest::newRow("CN MARC") << "B0000008" << "B0000008";
        QTest::newRow("lower case, blanks") << "  b0000005\t" << "B0000005";
        QTest::newRow("US MARC") << "B0000017" << "B0000017";
        // clang-format on
    }
    void bookTexts()
    {
        QFETCH(QString, scanned);
        QFETCH(QString, barcode);
        enterMode(DeskMode::BookCounting);
        QCOMPARE(countOrRegisterBook(desk, scanned), 0);
        const QString marc =
            QStringLiteral("SELECT %1 FROM marc JOIN item USING (marc_rec_no) WHERE bar_code = '%2'");
        auto column = [&](const char* name) { return db.scalar(marc.arg(QLatin1String(name), barcode)); };
        const ItemDetails& item = desk.item;
        QCOMPARE(item.barcode, barcode);
        QCOMPARE(
            CountedBookRow::of(item).cells(),
            (QStringList{column("m_title"), column("m_author"), column("m_publisher"), column("m_call_no"),
                         barcode, QLatin1Char('P') + barcode.mid(1), LIB_IsbnForm(column("m_isbn"))}));
    }

    // Refused books: one message, nothing recorded, no transaction, the item shown stays.
    void refusals_data()
    {
        QTest::addColumn<QString>("scanned");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("unknown barcode") << "B9999999" << "ELT130";
        QTest::newRow("other reading room") << "B0000101" << QStringLiteral("ELT111第二阅览室");
        QTest::newRow("stack, lower case") << " b0000201" << QStringLiteral("ELT111基藏书库");
        // clang-format on
    }
    void refusals()
    {
        QFETCH(QString, scanned);
        QFETCH(QString, message);
        enterMode(DeskMode::BookCounting);
        QCOMPARE(countOrRegisterBook(desk, QStringLiteral("B0000002")), 0);
        presenter->clear();
        const QString events = QStringLiteral("SELECT count(*) FROM book_use_stat");
        const int eventsBefore = number(events);
        const int workloadBefore = workload(QStringLiteral("405"));
        const long tripsBefore = DbSession::current().roundTrips();

        QCOMPARE(countOrRegisterBook(desk, scanned), -1);
        QCOMPARE(presenter->texts(), QStringList{shownText(message)});
        QCOMPARE(DbSession::current().roundTrips() - tripsBefore, 1L); // the lookup alone
        QVERIFY(!LIB_DB_InTransaction());
        QCOMPARE(number(events), eventsBefore);
        QCOMPARE(workload(QStringLiteral("405")), workloadBefore);
        QCOMPARE(desk.item.barcode, QStringLiteral("B0000002"));
    }

    // A check-in records the visit and its workload; an identity check shows the reader and
    // records nothing, without a round trip.
    void checkIn_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("recorded");
        QTest::newRow("check-in") << int(DeskMode::ReaderCheckIn) << 1;
        QTest::newRow("identity check") << int(DeskMode::IdentityCheck) << 0;
    }
    void checkIn()
    {
        QFETCH(int, mode);
        QFETCH(int, recorded);
        enterMode(DeskMode(mode));
        admitFirstDemoReader();
        const QString visits = QStringLiteral("SELECT count(*) FROM reader_stat WHERE cert_id = 'R0000001'");
        const int visitsBefore = number(visits);
        const int workloadBefore = workload(QStringLiteral("422"));
        const long tripsBefore = DbSession::current().roundTrips();

        QCOMPARE(recordCheckIn(desk), 0);
        QVERIFY(presenter->boxes.isEmpty());
        QCOMPARE(number(visits), visitsBefore + recorded);
        QCOMPARE(workload(QStringLiteral("422")), workloadBefore + recorded);
        if (recorded) {
            QCOMPARE(db.scalar(QStringLiteral(
                         "SELECT read_date_time || '|' || location_f || '|' || resp_wkr FROM "
                         "reader_stat WHERE cert_id = 'R0000001' ORDER BY stat_serial DESC LIMIT 1")),
                     desk.lastServerDate + "|R1|A001");
        } else {
            QCOMPARE(DbSession::current().roundTrips(), tripsBefore);
        }
        const QString typeAndGrade = db.scalar(
            QStringLiteral("SELECT t.redr_type_name || '|' || g.remark FROM reader r JOIN reader_type t "
                           "USING (redr_type_code) "
                           "JOIN lend_grd g ON g.lend_grd = r.lend_grd WHERE r.cert_id = 'R0000001'"));
        QCOMPARE(AdmittedReaderRow::of(desk).cells(),
                 (QStringList{QStringLiteral("张伟"), QStringLiteral("信息科学与技术学院"),
                              typeAndGrade.section('|', 0, 0), typeAndGrade.section('|', 1),
                              QStringLiteral("R0000001"), recorded ? desk.lastServerDate : QString()}));
    }

    void registrationRecordsReaderAndBook()
    {
        enterMode(DeskMode::ReaderBookRegistration);
        QCOMPARE(countOrRegisterBook(desk, QStringLiteral("B0000001")), -1); // no reader admitted yet
        const QString events =
            QStringLiteral("SELECT count(*) FROM reader_book_stat WHERE cert_id = 'R0000001'");
        const int eventsBefore = number(events);
        const int workloadBefore = workload(QStringLiteral("423"));
        admitFirstDemoReader();

        QCOMPARE(countOrRegisterBook(desk, QStringLiteral("B0000001")), 0);
        QVERIFY(presenter->boxes.isEmpty());
        QCOMPARE(number(events), eventsBefore + 1);
        QCOMPARE(workload(QStringLiteral("423")), workloadBefore + 1);
        QCOMPARE(db.scalar(QStringLiteral(
                     "SELECT prop_no || '|' || date_time || '|' || location_f || '|' || resp_wkr || '|' || "
                     "call_no "
                     "FROM reader_book_stat WHERE cert_id = 'R0000001' ORDER BY stat_serial DESC LIMIT 1")),
                 "P0000001|" + desk.lastServerDate + "|R1|A001|" + desk.item.callNo);
        const QStringList cells = RegisteredBookRow::of(desk).cells();
        QCOMPARE(cells.mid(0, 2), (QStringList{desk.lastServerDate, QStringLiteral("张伟")}));
        QCOMPARE(cells.mid(2), CountedBookRow::of(desk.item).cells());
    }

    // A failure of the event's procedure takes the event and its workload back together (a
    // failing workload count alone leaves the event standing: tst_faults).
    void failureRollsBackEventAndWorkload()
    {
        db.exec(QStringLiteral(
            "CREATE FUNCTION refuse_in_test() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN IF NEW.prop_no = "
            "'P0000003' THEN RAISE EXCEPTION 'refused by the test'; END IF; RETURN NEW; END $$; CREATE "
            "TRIGGER "
            "refuse_in_test BEFORE INSERT OR UPDATE ON book_use_stat FOR EACH ROW EXECUTE FUNCTION "
            "refuse_in_test()"));
        TriggerGuard guard{db, QStringLiteral("DROP TRIGGER refuse_in_test ON book_use_stat; DROP FUNCTION "
                                              "refuse_in_test()")};
        enterMode(DeskMode::BookCounting);
        const QString written =
            QStringLiteral("SELECT (SELECT count(*) FROM book_use_stat) || '|' || (SELECT count(*) FROM "
                           "book_use_stat_hist) || '|' "
                           "|| (SELECT total_read_qty FROM item WHERE prop_no = 'P0000003')");
        const QString writtenBefore = db.scalar(written);
        const int workloadBefore = workload(QStringLiteral("405"));

        QCOMPARE(countOrRegisterBook(desk, QStringLiteral("B0000003")), -1);
        QCOMPARE(presenter->boxes.size(), 1); // the database error, reported
        QCOMPARE(LIB_DB_Error().code, long(ErrorRecord::None));
        QVERIFY(!LIB_DB_InTransaction());
        QCOMPARE(db.scalar(written), writtenBefore);
        QCOMPARE(workload(QStringLiteral("405")), workloadBefore);
        QVERIFY(desk.item.isEmpty());
    }

    void importCodes_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QStringList>("codes");
        const QStringList three{"B0000001", "B0000002", "B0000003"};
        QTest::newRow("lines, CR LF, blank lines")
            << QByteArray("b0000001\r\n\r\n  B0000002 \r\nb0000003") << "" << three;
        QTest::newRow("lines, LF and lone CR")
            << QByteArray("b0000001\nb0000002\rb0000003\n\n") << "" << three;
        QTest::newRow("lines, UTF-8 mark") << QByteArray("\xEF\xBB\xBF"
                                                         "b0000001\nb0000002\nb0000003")
                                           << "" << three;
        QTest::newRow("separator, last code unterminated")
            << QByteArray("b0000001, b0000002,,\r\nb0000003") << "," << three;
        QTest::newRow("separator ends the file")
            << QByteArray("b0000001;b0000002;b0000003;\r\n") << ";" << three;
        QTest::newRow("separator of two characters")
            << QByteArray("b0000001||b0000002|| b0000003") << "||" << three;
        QTest::newRow("separator absent: one code")
            << QByteArray("b0000001 b0000002") << "," << QStringList{"B0000001 B0000002"};
        QTest::newRow("empty file") << QByteArray() << "" << QStringList();
    }
    void importCodes()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, separator);
        QFETCH(QStringList, codes);
        BarcodeImportReader reader(separator);
        QVERIFY(reader.open(writeImportFile(home, content)));
        QCOMPARE(readAllCodes(reader), codes);
        QVERIFY(!reader.failed());
    }

    void importOfMissingFileFails()
    {
        BarcodeImportReader reader;
        QVERIFY(!reader.open(home.filePath(QStringLiteral("no such file.txt"))));
        QString code;
        QVERIFY(!reader.next(code));
    }

    // A long import comes out code by code, upper-cased, with its progress growing to the file's
    // size. (Counting the codes it gives is the desk window's import test.)
    void longImportShowsProgress()
    {
        QStringList written;
        for (int i = 0; i < 1000; ++i)
            written << QStringLiteral("b%1").arg(i, 7, 10, QLatin1Char('0'));
        BarcodeImportReader reader(QStringLiteral(","));
        QVERIFY(reader.open(writeImportFile(home, written.join(QLatin1Char(',')).toUtf8())));
        QString code;
        QVERIFY(reader.next(code));
        QVERIFY(reader.bytesRead() < reader.size());
        const QStringList read = QStringList{code} + readAllCodes(reader);
        QVERIFY(!reader.failed());
        QCOMPARE(reader.bytesRead(), reader.size());
        QCOMPARE(read.size(), 1000);
        QCOMPARE(read.at(500), written.at(500).toUpper());
        QCOMPARE(read.last(), QStringLiteral("B0000999"));
    }
};

QTEST_GUILESS_MAIN(TestRecording)
#include "tst_recording.moc"
