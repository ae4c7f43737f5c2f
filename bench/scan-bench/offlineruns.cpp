#include "offlineruns.h"

#include "desk/admission.h"
#include "desk/barcoderules.h"
#include "desk/offlinedesk.h"
#include "desk/offlinerows.h"
#include "desk/recording.h"
#include "desk/recordingrows.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <functional>
#include <random>

namespace {

QString ms(double microseconds)
{
    return QString::number(microseconds / 1000.0, 'f', 3);
}

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
        qint64 times[4] = {};
        bool ok[4] = {};
        for (int pass = 0; pass < 2; ++pass) {
            if ((pass == 0) == onlineFirst) {
                times[0] = timed([&] { return onlineCheckIn(card); }, ok[0]);
                times[2] = timed([&] { return onlineCount(item); }, ok[2]);
            } else {
                times[1] = timed([&] { return journal(DeskMode::ReaderCheckIn, card); }, ok[1]);
                times[3] = timed([&] { return journal(DeskMode::BookCounting, item); }, ok[3]);
            }
        }
        if (!(ok[0] && ok[1] && ok[2] && ok[3]) || !bench.presenter().texts.isEmpty()) {
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
    out << "\nTimes in milliseconds, online and offline scan of the same key in random order. Online: the "
           "operation and the grid row; offline: the journal's write (WAL, synchronous FULL) and the waiting "
           "row.\n";
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
}
