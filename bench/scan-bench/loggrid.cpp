#include "loggrid.h"

#include "db/database.h"
#include "floorsession.h"
#include "latency.h"
#include "print/frmShowRate.h"
#include "stats/frmLt3Log.h"
#include "stats/readinglogloader.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QTableView>
#include <QTimeEdit>
#include <QTimer>

namespace {

// The longest stretch between turns of the event loop, seen by a timer that asks to run every
// 10 ms (finer would itself load the 2-core machine).
class StallMeter
{
public:
    StallMeter()
    {
        m_timer.setInterval(10);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_last = monotonicNanoseconds();
        m_timer.start();
    }
    double longestMs() const { return double(m_longest) / 1e6; }

private:
    void tick()
    {
        const qint64 now = monotonicNanoseconds();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }
    QTimer m_timer;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

// Resident and peak resident memory of this process in MB.
std::pair<double, double> memoryMb()
{
    QFile file(QStringLiteral("/proc/self/status"));
    double rss = 0, peak = 0;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QList<QByteArray> parts = line.simplified().split(' ');
            if (parts.size() >= 2 && parts.at(0) == "VmRSS:")
                rss = parts.at(1).toDouble() / 1024;
            if (parts.size() >= 2 && parts.at(0) == "VmHWM:")
                peak = parts.at(1).toDouble() / 1024;
        }
    }
    return {rss, peak};
}

void setBound(frmLt3Log& window, const char* dateName, const char* timeName, const QString& bound)
{
    window.findChild<QDateEdit*>(QLatin1String(dateName))
        ->setDate(QDate::fromString(bound.left(10), QStringLiteral("yyyy-MM-dd")));
    window.findChild<QTimeEdit*>(QLatin1String(timeName))
        ->setTime(QTime::fromString(bound.mid(10, 8), QStringLiteral("HH:mm:ss")));
}

// Clicks "查询" and turns the event loop until the query has ended, or until `cancelAfterMs`
// when given, then clicks the progress display's "取消" and waits again. Nanoseconds from the
// click (or from the cancel) to the end.
qint64 runQuery(frmLt3Log& window, qint64 cancelAfterMs = -1)
{
    QEventLoop loop;
    QObject::connect(&window, &frmLt3Log::seekEnded, &loop, &QEventLoop::quit);
    qint64 start = monotonicNanoseconds();
    window.findChild<QPushButton*>(QStringLiteral("cmdSeek"))->click();
    if (cancelAfterMs >= 0) {
        QTimer::singleShot(cancelAfterMs, &loop, &QEventLoop::quit);
        loop.exec();
        if (!window.isSeeking())
            return -1;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* progress = qobject_cast<frmShowRate*>(top); progress && progress->isVisible()) {
                start = monotonicNanoseconds();
                progress->cancelButton()->click();
            }
        }
    }
    if (window.isSeeking())
        loop.exec();
    QApplication::processEvents(); // the grid paints its rows
    return monotonicNanoseconds() - start;
}

} // namespace

GridFigures fillReadingLogWindow(int wantedRows, FloorSession* floor)
{
    GridFigures figures;
    ResultTable bounds;
    if (LIB_DB_Select(QStringLiteral("SELECT (SELECT date_time FROM reader_book_stat ORDER BY date_time DESC "
                                     "OFFSET %1 LIMIT 1), (SELECT max(date_time) FROM reader_book_stat)")
                          .arg(std::max(0, wantedRows - 1)),
                      bounds) != 0) {
        figures.failure = LIB_DB_Error().description;
        return figures;
    }
    figures.from = bounds.text(0, 2);
    figures.to = bounds.text(1, 2);
    if (figures.from.isEmpty()) // fewer rows than wanted: all of them
        figures.from = QStringLiteral("0000-01-0100:00:00");

    frmLt3Log window;
    window.resize(1200, 700);
    window.show();
    window.findChild<QComboBox*>(QStringLiteral("cboType"))->setCurrentIndex(int(ReadingLogKind::ReaderBook));
    setBound(window, "dtpBeginDate", "dtpBeginTime", figures.from);
    setBound(window, "dtpEndDate", "dtpEndTime", figures.to);
    QApplication::processEvents();

    auto* loader = window.findChild<ReadingLogLoader*>();
    QList<QByteArray> trace;
    loader->setStatementTrace(&trace);
    bool failed = false;
    QObject::connect(loader, &ReadingLogLoader::failed, [&](const ErrorRecord& error, const QString&) {
        failed = true;
        figures.failure = error.description;
    });
    const qint64 startCpu = processorNanoseconds();
    double totalMs = 0;
    {
        StallMeter meter;
        totalMs = double(runQuery(window)) / 1e6;
        figures.longestStallMs = meter.longestMs();
    }
    figures.processorMs = double(processorNanoseconds() - startCpu) / 1e6;
    loader->setStatementTrace(nullptr);
    if (failed)
        return figures;
    const ReadingLogFigures& done = loader->lastFigures();
    figures.rows = window.findChild<QTableView*>(QStringLiteral("spdReadLog"))->model()->rowCount();
    figures.records = done.records;
    figures.statements = done.statements;
    figures.listMs = done.listMs;
    figures.titlesMs = done.titlesMs;
    figures.totalMs = totalMs;
    std::tie(figures.residentMb, figures.peakMb) = memoryMb();

    if (floor) {
        QApplication::processEvents();
        figures.floorMs = double(floor->replay(trace)) / 1e6;
        const qint64 cancelNs = runQuery(window, qint64(totalMs / 2));
        figures.cancelMs = cancelNs < 0 ? -1 : double(cancelNs) / 1e6;
        figures.cancelKeptRows =
            window.findChild<QTableView*>(QStringLiteral("spdReadLog"))->model()->rowCount() == figures.rows;
    }
    return figures;
}
