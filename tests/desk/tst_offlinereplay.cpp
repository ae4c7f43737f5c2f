// Catching up with the offline journal against the demo library: each journaled scan recorded
// through the desk's operations with its own time, operator and workload day, never twice, and
// refused by the admission or the item checks with their messages; other operators' scans
// recorded at start only when the operator agrees.
#include "db/database.h"
#include "desk/offlinedesk.h"
#include "desk/offlinereplay.h"
#include "support/deskprocess.h"

#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

namespace {

const char* historyOf(DeskMode mode)
{
    switch (mode) {
    case DeskMode::BookCounting:
        return "book_use_stat_hist";
    case DeskMode::ReaderBookRegistration:
        return "redr_book_stat_hist";
    default:
        return "reader_stat_hist";
    }
}

const char* jobOf(DeskMode mode)
{
    switch (mode) {
    case DeskMode::BookCounting:
        return "405";
    case DeskMode::ReaderBookRegistration:
        return "423";
    default:
        return "422";
    }
}

} // namespace

class TestOfflineReplay : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TestDatabase db{QStringLiteral("offlinereplay")};
    RecordingPresenter* presenter = nullptr;

    int number(const QString& sql) const { return db.scalar(sql).toInt(); }

    // The events of the scan's operator at R1 at the scan's time, and his workload that day.
    QList<int> figures(const OfflineScan& scan) const
    {
        return {
            number(QStringLiteral("SELECT count(*) FROM %1 WHERE location_f = 'R1' AND resp_wkr = '%2' "
                                  "AND date_time = '%3'")
                       .arg(QLatin1String(historyOf(scan.mode)), scan.worker, scan.scanTime)),
            number(QStringLiteral("SELECT coalesce(sum(volume), 0) FROM wkr_job_qty WHERE wkr_no_f = '%1' "
                                  "AND job_type = '%2' AND oper_date = '%3'")
                       .arg(scan.worker, QLatin1String(jobOf(scan.mode)), scan.scanTime.left(10)))};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(prepareDeskProcess(db, home.path()));
        presenter = RecordingPresenter::install();
    }

    // One journaled scan, with what the server held before, recorded or refused; the scan is by
    // B002 on a past day, so that its event and workload are told apart from everything else.
    void replayedScan_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("card");
        QTest::addColumn<QString>("book");
        QTest::addColumn<bool>("uncertain");
        QTest::addColumn<QString>("before"); // KEY the scan's key, TIME its time
        QTest::addColumn<int>("outcome");
        QTest::addColumn<bool>("alreadyRecorded");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("recorded"); // events and workload added

        const auto checkIn = int(DeskMode::ReaderCheckIn);
        const auto counting = int(DeskMode::BookCounting);
        const auto registration = int(DeskMode::ReaderBookRegistration);
        const int recorded = ReplayResult::Recorded;
        const int refused = ReplayResult::Refused;
        QTest::newRow("check-in") << checkIn << "D1000001"
                                  << "" << false << "" << recorded << false << "" << 1;
        QTest::newRow("book counting") << counting << ""
                                       << "b0000002" << false << "" << recorded << false << "" << 1;
        QTest::newRow("registration") << registration << "D1000002"
                                      << "B0000003" << false << "" << recorded << false << "" << 1;
        QTest::newRow("its key recorded before")
            << checkIn << "D1000004"
            << "" << false << "INSERT INTO offline_scan_key (scan_key, scan_time) VALUES ('KEY', 'TIME')"
            << recorded << true << "" << 0;
        QTest::newRow("uncertain, its event recorded before")
            << checkIn << "D1000005"
            << "" << true
            << "INSERT INTO reader_stat_hist (cert_id, date_time, location_f, resp_wkr) SELECT cert_id, "
               "to_char(to_timestamp('TIME', 'YYYY-MM-DDHH24:MI:SS') + interval '1 second', "
               "'YYYY-MM-DDHH24:MI:SS'), 'R1', 'B002' FROM reader_cert WHERE redr_cert_id = 'D1000005'"
            << recorded << true << "" << 0;
        QTest::newRow("uncertain, not recorded") << counting << ""
                                                 << "B0000004" << true << "" << recorded << false << "" << 1;
        QTest::newRow("card cancelled meanwhile")
            << checkIn << "D1000006"
            << "" << false << "UPDATE reader_cert SET cert_flag = '0' WHERE redr_cert_id = 'D1000006'"
            << refused << false << "ELT103" << 0;
        QTest::newRow("registration, book of another room")
            << registration << "D1000007"
            << "B0000101" << false << "" << refused << false << "ELT111" << 0;
    }

    void replayedScan()
    {
        QFETCH(int, mode);
        QFETCH(QString, card);
        QFETCH(QString, book);
        QFETCH(bool, uncertain);
        QFETCH(QString, before);
        QFETCH(int, outcome);
        QFETCH(bool, alreadyRecorded);
        QFETCH(QString, message);
        QFETCH(int, recorded);

        static int scans = 0;
        OfflineScan scan;
        scan.key = QUuid::createUuid().toString(QUuid::WithoutBraces);
        scan.scanTime = QStringLiteral("2023-05-1710:00:%1").arg(++scans, 2, 10, QLatin1Char('0'));
        scan.worker = QStringLiteral("B002");
        scan.location = QStringLiteral("R1");
        scan.mode = DeskMode(mode);
        scan.readerCode = card;
        scan.bookCode = book;
        scan.uncertain = uncertain;
        if (!before.isEmpty())
            db.exec(QString(before)
                        .replace(QLatin1String("KEY"), scan.key)
                        .replace(QLatin1String("TIME"), scan.scanTime));
        const QList<int> figuresBefore = figures(scan);
        presenter->clear();

        const ReplayResult result = LIB_ReplayOfflineScan(scan);
        QCOMPARE(int(result.outcome), outcome);
        QCOMPARE(result.alreadyRecorded, alreadyRecorded);
        QCOMPARE(result.messageCode.left(6), message);
        QCOMPARE(result.messageText.isEmpty(), message.isEmpty());
        QCOMPARE(presenter->texts(), QStringList()); // no one was there to answer a box
        QCOMPARE(figures(scan), (QList<int>{figuresBefore.at(0) + recorded, figuresBefore.at(1) + recorded}));
        QCOMPARE(
            number(
                QStringLiteral("SELECT count(*) FROM offline_scan_key WHERE scan_key = '%1'").arg(scan.key)),
            outcome == ReplayResult::Recorded && !(uncertain && alreadyRecorded) ? 1 : 0);
        // Replayed once more (a crash before the journal forgot it): nothing is recorded twice.
        if (outcome == ReplayResult::Recorded) {
            QVERIFY(LIB_ReplayOfflineScan(scan).alreadyRecorded);
            QCOMPARE(figures(scan),
                     (QList<int>{figuresBefore.at(0) + recorded, figuresBefore.at(1) + recorded}));
        }
    }

    // A journal holding another operator's scans: at start the operator is asked, and they are
    // recorded (in their operator's name) only when he agrees; his own are recorded either way.
    void othersScansAtStart_data()
    {
        QTest::addColumn<bool>("agreed");
        QTest::newRow("agreed") << true;
        QTest::newRow("declined") << false;
    }

    void othersScansAtStart()
    {
        QFETCH(bool, agreed);
        QTemporaryDir folder;
        OfflineDesk desk;
        QVERIFY2(desk.openJournal(OfflineJournal::pathIn(folder.path() + QLatin1Char('/'))),
                 qPrintable(desk.journalError()));
        const QString time = QStringLiteral("2023-06-0109:00:0%1").arg(agreed ? 1 : 2);
        QList<OfflineScan> scans;
        for (const char* worker : {"B002", "A001", "B002"}) {
            OfflineScan scan;
            scan.scanTime = time;
            scan.worker = QLatin1String(worker);
            scan.location = QStringLiteral("R1");
            scan.mode = DeskMode::BookCounting;
            scan.bookCode = QStringLiteral("B0000005");
            QVERIFY(desk.journal().append(scan));
            scans << scan;
        }
        const QString events = QStringLiteral(
            "SELECT count(*) FROM book_use_stat_hist WHERE date_time = '%1' AND resp_wkr = '%2'");
        QStringList asked;
        desk.start(QStringLiteral("A001"), [&](const QStringList& workers, int count) {
            asked << workers.join(QLatin1Char(',')) + QLatin1Char('/') + QString::number(count);
            return agreed;
        });
        QTRY_VERIFY(desk.state() == OfflineDesk::State::Online);
        QCOMPARE(asked, QStringList{QStringLiteral("B002/2")});
        QCOMPARE(number(events.arg(time, QStringLiteral("A001"))), 1);
        QCOMPARE(number(events.arg(time, QStringLiteral("B002"))), agreed ? 2 : 0);
        QCOMPARE(desk.waitingCount(), agreed ? 0 : 2);
        QCOMPARE(desk.journal().waitingWorkers(),
                 agreed ? QStringList() : QStringList{QStringLiteral("B002")});
    }
};

QTEST_MAIN(TestOfflineReplay)
#include "tst_offlinereplay.moc"
