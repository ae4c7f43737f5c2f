#include "offlineruns.h"

#include "desk/admission.h"
#include "desk/barcoderules.h"
#include "desk/offlinedesk.h"
#include "desk/offlinerows.h"
#include "desk/recording.h"
#include "desk/recordingrows.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QUuid>
#include <algorithm>
#include <functional>
#include <random>
#include <sqlite3.h>

namespace {

QString ms(double microseconds)
{
    return QString::number(microseconds / 1000.0, 'f', 3);
}

// One row written as the journal writes it (WAL, synchronous FULL, a commit per row), with bare
// library calls and nothing else.
class BareJournal
{
public:
    explicit BareJournal(const QString& path)
    {
        sqlite3_open(path.toUtf8().constData(), &m_db);
        sqlite3_exec(
            m_db,
            "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; CREATE TABLE IF NOT EXISTS scans "
            "(serial INTEGER PRIMARY KEY AUTOINCREMENT, scan_key TEXT UNIQUE, scan_time TEXT, worker TEXT, "
            "location TEXT, mode INTEGER, reader_code TEXT, book_code TEXT, uncertain INTEGER)",
            nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(
            m_db, "INSERT INTO scans VALUES (NULL, ?, '2026-12-0610:00:00', 'A001', 'R1', 1, ?, '', 0)", -1,
            &m_insert, nullptr);
    }
    ~BareJournal()
    {
        sqlite3_finalize(m_insert);
        sqlite3_close(m_db);
    }
    bool write(const QByteArray& key, const QByteArray& code)
    {
        sqlite3_bind_text(m_insert, 1, key.constData(), int(key.size()), SQLITE_STATIC);
        sqlite3_bind_text(m_insert, 2, code.constData(), int(code.size()), SQLITE_STATIC);
        const bool done = sqlite3_step(m_insert) == SQLITE_DONE;
        sqlite3_reset(m_insert);
        return done;
    }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_insert = nullptr;
};

qint64 timed(const std::function<bool()>& scan, bool& ok)
{
    const qint64 start = monotonicNanoseconds();
    ok = scan();
    return monotonicNanoseconds() - start;
}

} // namespace

OfflineFigures measureOffline(BenchDesk& bench, int scans, int warmup, quint64 seed)
{
    OfflineFigures figures;
    OfflineDesk offline;
    if (!offline.openJournal(OfflineJournal::pathIn(bench.programDirectory() + QLatin1Char('/')))) {
        figures.messages << offline.journalError();
        return figures;
    }
    BareJournal bare(bench.programDirectory() + QStringLiteral("/bare-journal.db"));
    std::mt19937_64 random(seed);
    const KeyRange cards = bench.range(QStringLiteral("card_ok"));
    const KeyRange items = bench.range(QStringLiteral("item_r1"));
    const BenchTarget& target = bench.target();
    ReaderAdmission admission;
    DeskContext counting;
    counting.mode = DeskMode::BookCounting;
    counting.location = target.location;
    counting.worker = target.worker;

    // Both kinds of answer as the desk window gives them: online, the operation and the grid row;
    // offline, the journal's synced write and the waiting row.
    const auto onlineCheckIn = [&](const QString& card) {
        DeskContext desk = counting;
        desk.mode = DeskMode::ReaderCheckIn;
        const QString box = BarcodeReadRules::current().cardNumberFromScan(card);
        return !admission.admit(desk, box).refused && recordCheckIn(desk) == 0 &&
               !AdmittedReaderRow::of(desk).cells().isEmpty();
    };
    const auto onlineCount = [&](const QString& item) {
        return countOrRegisterBook(counting, item) == 0 &&
               !CountedBookRow::of(counting.item).cells().isEmpty();
    };
    const auto journal = [&](DeskMode mode, const QString& code) {
        OfflineScan scan;
        scan.worker = target.worker;
        scan.location = target.location;
        scan.mode = mode;
        (mode == DeskMode::BookCounting ? scan.bookCode : scan.readerCode) =
            mode == DeskMode::BookCounting ? code : BarcodeReadRules::current().cardNumberFromScan(code);
        return offline.journalScan(scan) && !OfflineRows::waitingCells(scan).isEmpty();
    };

    for (int i = 0; i < warmup + scans; ++i) {
        const QString card = cards.key(qint64(random() % quint64(cards.count())));
        const QString item = items.key(qint64(random() % quint64(items.count())));
        const bool onlineFirst = random() % 2 == 0;
        qint64 times[5] = {};
        bool ok[5] = {};
        for (int pass = 0; pass < 2; ++pass) {
            if ((pass == 0) == onlineFirst) {
                times[0] = timed([&] { return onlineCheckIn(card); }, ok[0]);
                times[2] = timed([&] { return onlineCount(item); }, ok[2]);
            } else {
                // A synced write right after another one waits longer: the three go in random order.
                const QByteArray key = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
                const QByteArray code = card.toUtf8();
                const std::function<bool()> writes[3] = {
                    [&] { return journal(DeskMode::ReaderCheckIn, card); },
                    [&] { return journal(DeskMode::BookCounting, item); },
                    [&] { return bare.write(key, code); }};
                int order[3] = {1, 3, 4};
                std::shuffle(std::begin(order), std::end(order), random);
                for (const int slot : order)
                    times[slot] = timed(writes[slot == 1 ? 0 : slot == 3 ? 1 : 2], ok[slot]);
            }
        }
        if (!(ok[0] && ok[1] && ok[2] && ok[3] && ok[4]) || !bench.presenter().texts.isEmpty()) {
            ++figures.surprises;
            figures.messages += bench.presenter().texts.mid(0, 3);
            bench.presenter().texts.clear();
            continue;
        }
        if (i < warmup)
            continue;
        figures.onlineCheckIn.add(times[0]);
        figures.offlineCheckIn.add(times[1]);
        figures.onlineCounting.add(times[2]);
        figures.offlineCounting.add(times[3]);
        figures.bareWrite.add(times[4]);
        figures.floorNanoseconds += times[0] + times[2] + 2 * times[4];
        figures.floorEvents += 2;
    }

    // Catching up, as after a login with the journal full: the desk's own loop of slices between
    // turns of the event loop.
    const int journaled = offline.waitingCount();
    QEventLoop loop;
    QObject::connect(&offline, &OfflineDesk::caughtUp, &loop, [&](int refused) {
        figures.refused = refused;
        loop.quit();
    });
    const long before = DbSession::current().roundTrips();
    QElapsedTimer clock;
    clock.start();
    offline.start(target.worker, [](const QStringList&, int) { return true; });
    if (offline.state() == OfflineDesk::State::CatchingUp)
        loop.exec();
    figures.catchUpSeconds = clock.nsecsElapsed() / 1e9;
    figures.catchUpStatements = DbSession::current().roundTrips() - before;
    figures.caughtUp = journaled - offline.waitingCount() - figures.refused;
    return figures;
}

void printOffline(QTextStream& out, const OfflineFigures& f)
{
    out << "| scan | runs | online median | online p99 | offline median | offline p99 | offline / online "
           "(median) |\n|---|---:|---:|---:|---:|---:|---:|\n";
    const auto row = [&](const char* name, const LatencySamples& online, const LatencySamples& offline) {
        const LatencySummary a = online.summary();
        const LatencySummary b = offline.summary();
        out << "| " << name << " | " << a.count << " | " << ms(a.median) << " | " << ms(a.p99) << " | "
            << ms(b.median) << " | " << ms(b.p99) << " | "
            << QString::number(a.median > 0 ? b.median / a.median : 0, 'f', 2) << " |\n";
    };
    row("check-in", f.onlineCheckIn, f.offlineCheckIn);
    row("book counting", f.onlineCounting, f.offlineCounting);
    const LatencySummary bare = f.bareWrite.summary();
    out << "| floor of an offline scan: one row written with bare SQLite calls | " << bare.count << " | | | "
        << ms(bare.median) << " | " << ms(bare.p99) << " | |\n";
    out << "\nTimes in milliseconds, online and offline scan of the same key in random order. Online: the "
           "operation and the grid row; offline: the journal's write (WAL, synchronous FULL) and the waiting "
           "row; its floor the same synced insert of one row with bare library calls, the three writes of "
           "each key in random order.\n";
    if (f.surprises > 0)
        out << "\n"
            << f.surprises
            << " keys left out (a scan refused or not journaled): " << f.messages.join(QStringLiteral(" / "))
            << "\n";
    const int events = f.caughtUp;
    out << "\nCatching up: " << events << " scans recorded from the journal (" << f.refused << " refused) in "
        << QString::number(f.catchUpSeconds, 'f', 2) << " s: **"
        << QString::number(f.catchUpSeconds > 0 ? events / f.catchUpSeconds : 0, 'f', 0)
        << " events per second**, "
        << QString::number(events ? double(f.catchUpStatements) / events : 0, 'f', 1)
        << " statements per event.\n";
    const double floorSeconds = f.floorNanoseconds / 1e9;
    out << "Its floor: the same events recorded online as above, each followed by one synced row written "
           "with "
           "bare SQLite calls (the journal marks every recorded scan), "
        << f.floorEvents << " events in " << QString::number(floorSeconds, 'f', 2) << " s: **"
        << QString::number(floorSeconds > 0 ? f.floorEvents / floorSeconds : 0, 'f', 0)
        << " events per second**.\n";
}
