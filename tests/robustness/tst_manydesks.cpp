// Many desks at once against one copy of the demo library: eight desks, each with its own session,
// scan the same readers and books (check-ins, counting, registrations, photocopy loans and
// returns, row locks taken without waiting), and the database must tell the same story as the
// desks: every recorded event once, the workload equal to the events, the photocopy limits kept,
// and no deadlock between them. Two cases force what the random run may or may not meet: a locked
// reader, and a deadlock that the server breaks by rolling a desk's operation back.
#include "codes/codetables.h"
#include "db/database.h"
#include "db/errorreporter.h"
#include "desk/admission.h"
#include "desk/copylending.h"
#include "desk/copyreturn.h"
#include "desk/recording.h"
#include "robustdesk.h"
#include "support/testdatabase.h"

#include <QDeadlineTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <optional>
#include <thread>

namespace {

constexpr int deskCount = 8;

// Ordinary readers of the demo library: valid cards, no violations, no debts, no loans.
QString card(int n)
{
    return QStringLiteral("D%1").arg(1000001 + n);
}
QString certOfCard(const QString& card)
{
    return QLatin1Char('R') + card.mid(1);
}
// The twenty books of the first reading room.
QString book(int n)
{
    return QStringLiteral("B%1").arg(n + 1, 7, 10, QLatin1Char('0'));
}

// Photocopy loans beyond the rule's limits (per location, per location and circulation type)
// and the limit of the reading-room group: one line per breach, empty when there is none.
QString limitBreaches(const QString& certId = {})
{
    const QString reader =
        certId.isEmpty() ? QString() : QStringLiteral(" AND l.cert_id = ") + LIB_SQLQuote(certId);
    const QString loans =
        QStringLiteral(" FROM lend_lst l JOIN item i ON i.prop_no = l.prop_no JOIN call_no_lst c "
                       "ON c.call_no = i.call_no LEFT JOIN location_lst g ON g.location = "
                       "i.location WHERE l.rule_no_f = 'COPY01'") +
        reader;
    const QString rule = QStringLiteral("(SELECT %1 FROM circ_rule WHERE rule_no = 'COPY01')");
    return QStringLiteral("SELECT coalesce(string_agg(what, ', '), '') FROM ("
                          "SELECT l.cert_id || ' at ' || i.location || ': ' || count(*) AS what") +
           loans + QStringLiteral(" GROUP BY l.cert_id, i.location HAVING count(*) > ") +
           rule.arg(QStringLiteral("max_lend_qty")) +
           QStringLiteral(
               " UNION ALL SELECT l.cert_id || ' at ' || i.location || ' type ' || c.circ_type_code || "
               "': ' || count(*)") +
           loans + QStringLiteral(" GROUP BY l.cert_id, i.location, c.circ_type_code HAVING count(*) > ") +
           rule.arg(QStringLiteral("limt_lend_qty")) +
           QStringLiteral(" UNION ALL SELECT l.cert_id || ' in G1: ' || count(*)") + loans +
           QStringLiteral(" AND g.group_id = 'G1' GROUP BY l.cert_id HAVING count(*) > "
                          "(SELECT max_lend_qty FROM group_rule_comp WHERE r_group_id = 'G1')) b");
}

// Locks the reader's row the way a desk that must not wait does: a refused lock is reported
// ("E该记录已经被锁定!") and the transaction given up. 0 when the lock was had; otherwise the
// Oracle number of the failure.
long lockReaderNowait(const QString& certId)
{
    LIB_DB_BeginTrans();
    ResultTable rows;
    LIB_DB_CurrentStatement() = QStringLiteral("SELECT cert_id FROM reader WHERE cert_id = ") +
                                LIB_SQLQuote(certId) + QStringLiteral(" FOR UPDATE NOWAIT");
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), rows) != 0) {
        const long number = LIB_DB_Error().oracleNumber;
        LIB_DB_Rollback();
        LIB_DB_ShowError();
        return number;
    }
    LIB_DB_CommitTrans();
    return 0;
}

// What one desk says it recorded.
struct DeskTally
{
    bool connected = false;
    int rounds = 0;
    QMap<QString, int> checkIns;   // cert_id
    QMap<QString, int> counted;    // prop_no
    QMap<QString, int> registered; // prop_no|cert_id
    int lent = 0;
    int returned = 0;
    int lockRefusals = 0;
    QStringList otherLockFailures; // NOWAIT failures that were not lock refusals
    QStringList breaches;          // limits found exceeded right after one of this desk's loans
    bool transactionLeftOpen = false;
};

QStringList asLines(const QMap<QString, int>& counts)
{
    QStringList lines;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        lines << it.key() + QLatin1Char('=') + QString::number(it.value());
    return lines;
}

// The desk's scans of one round.
class Desk
{
public:
    Desk(int tag, DeskTally& tally) : m_rng(1000 + tag), m_tally(tally) {}

    void round()
    {
        switch (m_rng.bounded(6)) {
        case 0:
            checkIn();
            break;
        case 1:
            count();
            break;
        case 2:
            registerBooks();
            break;
        case 3:
            lend();
            break;
        case 4:
            takeBack();
            break;
        default:
            probeLock();
            break;
        }
        ++m_tally.rounds;
    }

private:
    QString anyCard() { return card(int(m_rng.bounded(8))); }
    QString anyBook() { return book(int(m_rng.bounded(20))); }

    bool admit(DeskContext& desk) { return !ReaderAdmission().admit(desk, anyCard()).refused; }

    void checkIn()
    {
        DeskContext desk = deskAt(DeskMode::ReaderCheckIn);
        if (admit(desk) && recordCheckIn(desk) == 0)
            ++m_tally.checkIns[desk.reader.certId];
    }

    void count()
    {
        DeskContext desk = deskAt(DeskMode::BookCounting);
        if (countOrRegisterBook(desk, anyBook()) == 0)
            ++m_tally.counted[desk.item.propNo];
    }

    void registerBooks()
    {
        DeskContext desk = deskAt(DeskMode::ReaderBookRegistration);
        if (!admit(desk))
            return;
        for (int i = 0; i < 2; ++i) {
            if (countOrRegisterBook(desk, anyBook()) == 0)
                ++m_tally.registered[desk.item.propNo + QLatin1Char('|') + desk.reader.certId];
        }
    }

    void lend()
    {
        DeskContext desk = deskAt(DeskMode::CopyLending);
        if (!admit(desk))
            return;
        for (int i = 0; i < 2; ++i) {
            if (LendForPhotocopy(desk, anyBook()).failed)
                continue;
            ++m_tally.lent;
            ResultTable breach;
            if (LIB_DB_Select(limitBreaches(desk.reader.certId), breach) == 0 && !breach.text(0, 2).isEmpty())
                m_tally.breaches << breach.text(0, 2);
        }
    }

    // A book from the returns shelf: one of the room's books that is out.
    void takeBack()
    {
        ResultTable out;
        if (LIB_DB_Select(QStringLiteral("SELECT bar_code FROM item WHERE bar_code <= 'B0000020' AND "
                                         "book_lend_flag = '1' ORDER BY bar_code"),
                          out) != 0 ||
            out.isEmpty())
            return;
        DeskContext desk = deskAt(DeskMode::CopyReturn);
        const QString barcode = out.text(0, 2 + int(m_rng.bounded(out.recordCount())));
        if (ReturnPhotocopy(desk, barcode).returned)
            ++m_tally.returned;
    }

    void probeLock()
    {
        const long number = lockReaderNowait(certOfCard(anyCard()));
        if (number == OraNumber::ResourceBusy)
            ++m_tally.lockRefusals;
        else if (number != 0)
            m_tally.otherLockFailures << QString::number(number);
    }

    QRandomGenerator m_rng;
    DeskTally& m_tally;
};

} // namespace

class TestManyDesks : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TestDatabase db{QStringLiteral("manydesks")};
    SharedPresenter* presenter = nullptr;

    QString text(const QString& sql) { return db.scalar(sql); }

    // Runs `work` on a desk of its own: its own session, its own tag for the boxes it shows.
    void atOwnDesk(int tag, const std::function<void()>& work, std::atomic<int>* pid = nullptr)
    {
        SharedPresenter::setDeskTag(tag);
        DbSession session;
        session.setConnectionValues(db.connectionValues());
        if (session.connect() != 0)
            return;
        DbSession::setCurrent(&session);
        if (pid)
            *pid = session.backendPid();
        work();
        DbSession::setCurrent(nullptr);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(prepareDeskProcess(db, home.path()));
        presenter = SharedPresenter::install();
    }

    void init()
    {
        // The room's books on the shelf, the demo readers without photocopy loans, no events.
        db.exec(QStringLiteral(
            "DELETE FROM lend_lst WHERE cert_id LIKE 'R10000%'; "
            "UPDATE item SET book_lend_flag = '0' WHERE bar_code <= 'B0000020' OR bar_code = 'B0000403'; "
            "DELETE FROM book_use_stat; DELETE FROM book_use_stat_hist; DELETE FROM reader_stat; "
            "DELETE FROM reader_stat_hist; DELETE FROM reader_book_stat; DELETE FROM redr_book_stat_hist; "
            "DELETE FROM wkr_job_qty"));
        presenter->clear();
    }

    // A desk that admits a reader holds the reader's row until its check ends; another desk that
    // wants the row without waiting is told at once that it is locked, and has it afterwards.
    void lockedReaderReportedAtOnce()
    {
        DeskContext desk = deskAt(DeskMode::ReaderCheckIn);
        ReaderAdmission admission;
        std::optional<std::thread> other;
        QSemaphore otherDone;
        bool otherReturned = false;
        long refusal = 0;
        admission.showNow = [&](const AdmissionResult&) {
            if (other)
                return;
            other.emplace([&] {
                atOwnDesk(2, [&] { refusal = lockReaderNowait(QStringLiteral("R1000003")); });
                otherDone.release();
            });
            // Bounded: a lock taken without waiting must come back while the row is still held.
            otherReturned = otherDone.tryAcquire(1, 60000);
        };
        QVERIFY(!admission.admit(desk, QStringLiteral("D1000003")).refused);
        QVERIFY(other);
        other->join();

        QVERIFY2(otherReturned, "the lock without waiting waited for the admission");
        QCOMPARE(refusal, OraNumber::ResourceBusy);
        QCOMPARE(presenter->takeTexts(2), QStringList{shownText(QStringLiteral("E该记录已经被锁定!"))});
        QCOMPARE(recordCheckIn(desk), 0);
        QCOMPARE(lockReaderNowait(QStringLiteral("R1000003")), 0L);
        QCOMPARE(presenter->texts(), QStringList());
        QCOMPARE(text("SELECT count(*) FROM reader_stat WHERE cert_id = 'R1000003'"), QStringLiteral("1"));
    }

    // Another session holds the call number of a book the desk counts and then wants the book's
    // row, which the desk's counting holds: the server breaks the deadlock by rolling the counting
    // back (the desk waited first, so it finds the circle). The desk counts again at once; the
    // operator sees nothing, and the book is counted once.
    void deadlockRunsTheOperationAgain()
    {
        const QString figures = QStringLiteral(
            "SELECT (SELECT count(*) FROM book_use_stat WHERE prop_no = 'P0000003') || '/' || (SELECT "
            "coalesce(sum(volume), 0) FROM wkr_job_qty WHERE job_type = '405')");
        // The server picks the session whose deadlock check runs first once the circle has closed:
        // the desk, which waited first, unless it was held up so long that the other session's
        // check came first. And the desk's second run may come back to the book's row before the
        // other session, now free, has taken it, and close the circle once more. Such rounds tell
        // nothing about the second run going through unseen and are run again.
        const QString retryMessage =
            shownText(QStringLiteral("E其他工作站正在处理同一记录，本次操作已撤销，请重新操作！"));
        bool conclusive = false;
        int result = -1;
        QString before;
        for (int round = 0; round < 5 && !conclusive; ++round) {
            presenter->clear();
            before = text(figures);
            AdminLink other(db.connectionValues());
            QVERIFY(other.exec(
                QStringLiteral("BEGIN; UPDATE call_no_lst SET total_read_qty = total_read_qty WHERE "
                               "call_no = (SELECT call_no FROM item WHERE prop_no = 'P0000003')")));
            std::atomic<int> deskPid{0};
            std::thread desk([&] {
                atOwnDesk(
                    1,
                    [&] {
                        DeskContext counting = deskAt(DeskMode::BookCounting);
                        result = countOrRegisterBook(counting, QStringLiteral("B0000003"));
                    },
                    &deskPid);
            });
            const bool deskWaits = QTest::qWaitFor(
                [&] {
                    return deskPid != 0 &&
                           text(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE pid = %1 AND "
                                               "wait_event_type = 'Lock'")
                                    .arg(deskPid.load())) == QLatin1String("1");
                },
                60000);
            const bool deskWasRolledBack =
                deskWaits &&
                other.exec(QStringLiteral("UPDATE item SET total_read_qty = total_read_qty WHERE "
                                          "prop_no = 'P0000003'; COMMIT"));
            if (!deskWasRolledBack)
                other.exec(QStringLiteral("ROLLBACK"));
            desk.join();
            conclusive = deskWasRolledBack && !presenter->texts(1).contains(retryMessage);
            QVERIFY(deskWaits);
            // The desk's server process counts its deadlock as it ends; the next test counts its own.
            QVERIFY(QTest::qWaitFor(
                [&] {
                    return text(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE pid = %1")
                                    .arg(deskPid.load())) == QLatin1String("0");
                },
                60000));
        }

        QVERIFY(conclusive);
        QCOMPARE(result, 0);
        QCOMPARE(presenter->texts(1), QStringList());
        const QStringList counts = before.split(QLatin1Char('/'));
        QCOMPARE(text(figures),
                 QStringLiteral("%1/%2").arg(counts.at(0).toInt() + 1).arg(counts.at(1).toInt() + 1));
    }

    void eightDesksAgreeWithTheDatabase()
    {
        const int rounds = robustnessRounds(30);
        const QDeadlineTimer deadline(robustnessSeconds(60) * 1000LL);
        const int historyBefore = text("SELECT count(*)::text FROM lend_hist").toInt();
        const QString deadlocks =
            QStringLiteral("SELECT deadlocks FROM pg_stat_database WHERE datname = current_database()");
        const QString deadlocksBefore = text(deadlocks);

        std::vector<DeskTally> tallies(deskCount);
        std::vector<std::thread> desks;
        for (int tag = 1; tag <= deskCount; ++tag) {
            desks.emplace_back([&, tag] {
                DeskTally& tally = tallies[tag - 1];
                atOwnDesk(tag, [&] {
                    tally.connected = true;
                    Desk desk(tag, tally);
                    for (int i = 0; i < rounds && !deadline.hasExpired(); ++i)
                        desk.round();
                    tally.transactionLeftOpen = LIB_DB_InTransaction();
                });
            });
        }
        for (std::thread& desk : desks)
            desk.join();

        // What the desks say they recorded, all together.
        DeskTally all;
        for (int tag = 1; tag <= deskCount; ++tag) {
            const DeskTally& tally = tallies[tag - 1];
            QVERIFY2(tally.connected, qPrintable(QStringLiteral("desk %1 has no session").arg(tag)));
            QVERIFY(tally.rounds > 0);
            QVERIFY(!tally.transactionLeftOpen);
            QCOMPARE(tally.otherLockFailures, QStringList());
            QCOMPARE(tally.breaches, QStringList());
            const auto merge = [](QMap<QString, int>& into, const QMap<QString, int>& counts) {
                for (auto it = counts.cbegin(); it != counts.cend(); ++it)
                    into[it.key()] += it.value();
            };
            merge(all.checkIns, tally.checkIns);
            merge(all.counted, tally.counted);
            merge(all.registered, tally.registered);
            all.lent += tally.lent;
            all.returned += tally.returned;
            all.rounds += tally.rounds;
            all.lockRefusals += tally.lockRefusals;

            // Every box is a refusal that concurrent desks bring about; a lock refusal is
            // reported once for each refused lock.
            const QString locked = shownText(QStringLiteral("E该记录已经被锁定!"));
            const QStringList expected{shownText(QStringLiteral("ELT113")),
                                       shownText(QStringLiteral("ELT120")),
                                       shownText(QStringLiteral("ELT121")),
                                       shownText(QStringLiteral("ELT132")),
                                       shownText(QStringLiteral("E已达该馆藏地组最大册数")),
                                       locked};
            const QStringList texts = presenter->texts(tag);
            QCOMPARE(texts.count(locked), tally.lockRefusals);
            for (const QString& box : texts)
                QVERIFY2(expected.contains(box),
                         qPrintable(QStringLiteral("desk %1 showed: %2").arg(tag).arg(box)));
        }

        const auto rows = [this](const QString& sql) {
            return text(QStringLiteral(
                            "SELECT coalesce(string_agg(k || '=' || n, ',' ORDER BY k), '') FROM (") +
                        sql + QStringLiteral(") s"))
                .split(QLatin1Char(','), Qt::SkipEmptyParts);
        };
        // Each event once, in the desk's log and in the history.
        QCOMPARE(rows("SELECT cert_id k, count(*) n FROM reader_stat GROUP BY 1"), asLines(all.checkIns));
        QCOMPARE(rows("SELECT cert_id k, count(*) n FROM reader_stat_hist GROUP BY 1"),
                 asLines(all.checkIns));
        QCOMPARE(rows("SELECT prop_no k, count(*) n FROM book_use_stat GROUP BY 1"), asLines(all.counted));
        QCOMPARE(rows("SELECT prop_no k, count(*) n FROM book_use_stat_hist GROUP BY 1"),
                 asLines(all.counted));
        QCOMPARE(rows("SELECT prop_no || '|' || cert_id k, count(*) n FROM reader_book_stat GROUP BY 1"),
                 asLines(all.registered));
        QCOMPARE(rows("SELECT prop_no || '|' || cert_id k, count(*) n FROM redr_book_stat_hist GROUP BY 1"),
                 asLines(all.registered));

        // The operator's workload counts each event, loan and return once.
        const auto sum = [](const QMap<QString, int>& counts) {
            int total = 0;
            for (int n : counts)
                total += n;
            return total;
        };
        QCOMPARE(
            rows("SELECT job_type k, sum(volume) n FROM wkr_job_qty GROUP BY 1"),
            (QStringList{QStringLiteral("405=%1").arg(sum(all.counted)),
                         QStringLiteral("422=%1").arg(sum(all.checkIns)),
                         QStringLiteral("423=%1").arg(sum(all.registered)),
                         QStringLiteral("424=%1").arg(all.lent), QStringLiteral("425=%1").arg(all.returned)})
                .filter(QRegularExpression(QStringLiteral("=[1-9]"))));

        // Loans: what was lent and not returned is out, the returns are history, the books'
        // flags agree with the loans, and no reader is over a limit.
        QCOMPARE(text("SELECT count(*)::text FROM lend_lst WHERE cert_id LIKE 'R10000%'").toInt(),
                 all.lent - all.returned);
        QCOMPARE(text("SELECT count(*)::text FROM lend_hist").toInt() - historyBefore, all.returned);
        QCOMPARE(
            text("SELECT count(*) FROM item i WHERE bar_code <= 'B0000020' AND (book_lend_flag = '1') <> "
                 "EXISTS (SELECT 1 FROM lend_lst l WHERE l.prop_no = i.prop_no)"),
            QStringLiteral("0"));
        QCOMPARE(text(limitBreaches()), QString());

        // The desks take their locks in one order: the server never had a deadlock to break. The
        // figure is complete once the desks' server processes have ended.
        QVERIFY(QTest::qWaitFor(
            [this] {
                return text(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = "
                                           "current_database() AND pid NOT IN (pg_backend_pid(), %1)")
                                .arg(DbSession::current().backendPid())) == QLatin1String("0");
            },
            60000));
        QCOMPARE(text(deadlocks), deadlocksBefore);
        qInfo("%d rounds: %d check-ins, %d books counted, %d registered, %d lent, %d returned, %d locks "
              "refused",
              all.rounds, sum(all.checkIns), sum(all.counted), sum(all.registered), all.lent, all.returned,
              all.lockRefusals);
    }
};

QTEST_MAIN(TestManyDesks)
#include "tst_manydesks.moc"
