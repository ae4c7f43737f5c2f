#include "scanruns.h"

#include "db/database.h"
#include "db/sysparams.h"
#include "desk/admissionreader.h"
#include "desk/barcodeimport.h"
#include "desk/barcoderules.h"
#include "desk/copylending.h"
#include "desk/copylendingscan.h"
#include "desk/copyreturn.h"
#include "desk/recording.h"
#include "desk/recordingrows.h"

#include <QCoreApplication>
#include <QFile>
#include <QSet>
#include <QTemporaryFile>

namespace {

constexpr int keptMessages = 5;

// What the window does with the reader box text before the admission check.
QString readerBox(const QString& scanned)
{
    return BarcodeReadRules::current().cardNumberFromScan(scanned);
}

} // namespace

ScanRuns::ScanRuns(BenchDesk& desk, FloorSession& floor, quint64 seed)
    : m_bench(desk), m_floor(floor), m_random(seed), m_order(seed ^ 0x9e3779b97f4a7c15ULL)
{
    const QString codes = LIB_GetSysPara(22).toString();
    const qsizetype split = codes.indexOf(QLatin1Char(';'));
    m_endReaderCode = (split < 0 ? codes : codes.left(split)).trimmed().toUpper();
    m_copyReturnCode = split < 0 ? QString() : codes.mid(split + 1).trimmed().toUpper();
}

int ScanRuns::figure(const QString& name)
{
    for (int i = 0; i < m_figures.size(); ++i) {
        if (m_figures.at(i).name == name)
            return i;
    }
    OperationFigures f;
    f.name = name;
    m_figures.append(f);
    return int(m_figures.size()) - 1;
}

QString ScanRuns::card()
{
    const KeyRange range = m_bench.range(QStringLiteral("card_ok"));
    return range.key(qint64(m_random() % quint64(range.count())));
}

QStringList ScanRuns::distinctItems(int count)
{
    const KeyRange range = m_bench.range(QStringLiteral("item_r1"));
    QStringList items;
    while (items.size() < count) {
        const QString item = range.key(qint64(m_random() % quint64(range.count())));
        if (!items.contains(item))
            items.append(item);
    }
    return items;
}

DeskContext ScanRuns::freshDesk(DeskMode mode) const
{
    DeskContext desk;
    desk.mode = mode;
    desk.location = m_bench.target().location;
    desk.worker = m_bench.target().worker;
    return desk;
}

ScanRuns::Capture ScanRuns::capture(const std::function<bool()>& scan)
{
    DbSession& session = DbSession::current();
    SilentPresenter& presenter = m_bench.presenter();
    presenter.texts.clear();
    Capture taken;
    session.setStatementTrace(&taken.statements);
    const qint64 processor = processorNanoseconds();
    const qint64 start = monotonicNanoseconds();
    taken.ok = scan();
    taken.nanoseconds = monotonicNanoseconds() - start;
    taken.processor = processorNanoseconds() - processor;
    session.setStatementTrace(nullptr);
    taken.ok = taken.ok && presenter.texts.isEmpty();
    return taken;
}

void ScanRuns::noteRefusal(int index)
{
    OperationFigures& f = m_figures[index];
    ++f.refused;
    for (const QString& text : m_bench.presenter().texts) {
        if (f.messages.size() < keptMessages)
            f.messages.append(text);
    }
}

void ScanRuns::measure(DeskContext& desk, const QList<Step>& steps, bool timed)
{
    // The first pass: the statements to replay, and the rows brought into the cache.
    QList<Capture> first;
    DeskContext firstDesk = desk;
    bool ok = true;
    for (const Step& step : steps) {
        first.append(capture([&] { return step.scan(firstDesk); }));
        if (!first.last().ok) {
            noteRefusal(step.figure);
            ok = false;
        }
    }
    if (!ok)
        return; // a refused scan has nothing to compare; the report names it

    QList<Capture> again;
    QList<qint64> floors, floorProcessors;
    auto deskPass = [&] {
        for (const Step& step : steps)
            again.append(capture([&] { return step.scan(desk); }));
    };
    auto floorPass = [&] {
        for (const Capture& taken : first) {
            floors.append(m_floor.replay(taken.statements));
            floorProcessors.append(m_floor.lastProcessorNanoseconds());
        }
    };
    // The statements replayed once untimed first: the first visit after a key's first scan
    // carries work that scan left behind (measurably slower). Then the two timed passes, on the
    // same connection, in random order: a fixed alternation can fall into step with the machine.
    for (const Capture& taken : first)
        m_floor.replay(taken.statements);
    if (m_order() % 2 == 0) {
        deskPass();
        floorPass();
    } else {
        floorPass();
        deskPass();
    }

    for (int i = 0; i < steps.size(); ++i) {
        OperationFigures& f = m_figures[steps.at(i).figure];
        const Capture& taken = again.at(i);
        if (!taken.ok)
            noteRefusal(steps.at(i).figure);
        if (!timed || !taken.ok)
            continue;
        const int sent = int(taken.statements.size());
        if (sent != first.at(i).statements.size())
            ++f.differing;
        f.firstScan.add(first.at(i).nanoseconds);
        f.desk.add(taken.nanoseconds);
        f.floor.add(floors.at(i));
        f.deskProcessor.add(taken.processor);
        f.floorProcessor.add(floorProcessors.at(i));
        f.statements += sent;
        f.fewestStatements = f.runs == 0 ? sent : std::min(f.fewestStatements, sent);
        f.mostStatements = std::max(f.mostStatements, sent);
        ++f.runs;
        f.sample = taken.statements;
        if (m_samples)
            m_samples->write(QStringLiteral("\"%1\",%2,%3,%4,%5\n")
                                 .arg(f.name)
                                 .arg(first.at(i).nanoseconds)
                                 .arg(taken.nanoseconds)
                                 .arg(floors.at(i))
                                 .arg(sent)
                                 .toUtf8());
    }
}

void ScanRuns::checkIns(int runs, int warmup)
{
    const int index = figure(QStringLiteral("check-in: card admitted, visit recorded"));
    for (int i = 0; i < warmup + runs; ++i) {
        DeskContext desk = freshDesk(DeskMode::ReaderCheckIn);
        const QString scanned = card();
        measure(desk,
                {{index,
                  [&](DeskContext& d) {
                      const AdmissionResult result = m_admission.admit(d, readerBox(scanned));
                      if (result.refused || recordCheckIn(d) != 0)
                          return false;
                      return !AdmittedReaderRow::of(d).cells().isEmpty();
                  }}},
                i >= warmup);
    }
}

void ScanRuns::counting(int runs, int warmup)
{
    const int index = figure(QStringLiteral("book counting"));
    // The desk keeps its last item between scans.
    DeskContext desk = freshDesk(DeskMode::BookCounting);
    for (int i = 0; i < warmup + runs; ++i) {
        const QString item = distinctItems(1).constFirst();
        measure(desk,
                {{index,
                  [&](DeskContext& d) {
                      if (countOrRegisterBook(d, item) != 0)
                          return false;
                      return !CountedBookRow::of(d.item).cells().isEmpty();
                  }}},
                i >= warmup);
    }
}

void ScanRuns::registration(int readers, int books, int warmup)
{
    const int readerIndex = figure(QStringLiteral("registration: reader card"));
    const int bookIndex = figure(QStringLiteral("registration: book"));
    for (int i = 0; i < warmup + readers; ++i) {
        DeskContext desk = freshDesk(DeskMode::ReaderBookRegistration);
        const QString scanned = card();
        QList<Step> steps{
            {readerIndex, [&](DeskContext& d) { return !m_admission.admit(d, readerBox(scanned)).refused; }}};
        for (const QString& item : distinctItems(books)) {
            steps.append({bookIndex, [this, item](DeskContext& d) {
                              if (item == LIB_GetSysPara(22).toString())
                                  return false;
                              if (countOrRegisterBook(d, item) != 0)
                                  return false;
                              return !RegisteredBookRow::of(d).cells().isEmpty();
                          }});
        }
        measure(desk, steps, i >= warmup);
    }
}

void ScanRuns::photocopy(int readers, int books, int warmup)
{
    const int readerIndex = figure(QStringLiteral("photocopy: reader card"));
    const int lendIndex = figure(QStringLiteral("photocopy: lending"));
    const int returnIndex = figure(QStringLiteral("photocopy: return"));
    for (int i = 0; i < warmup + readers; ++i) {
        DeskContext desk = freshDesk(DeskMode::CopyLending);
        const QString scanned = card();
        // The reader borrows the books, then the desk switches to returns and takes them back, so
        // that every pass finds the reader and the books as generated.
        QList<Step> steps{
            {readerIndex, [&](DeskContext& d) { return !m_admission.admit(d, readerBox(scanned)).refused; }}};
        const QStringList items = distinctItems(books);
        for (const QString& item : items) {
            steps.append({lendIndex, [this, item](DeskContext& d) {
                              const CopyScan scan = LIB_CopyLendScan(item, m_endReaderCode, m_copyReturnCode);
                              if (scan.action != CopyScanAction::Lend)
                                  return false;
                              const CopyLendOutcome outcome = LendForPhotocopy(d, scan.code);
                              return !outcome.failed && !outcome.line.cells().isEmpty();
                          }});
        }
        for (const QString& item : items) {
            steps.append({returnIndex, [this, item](DeskContext& d) {
                              d.mode = DeskMode::CopyReturn;
                              const CopyScan scan = LIB_CopyReturnScan(item, m_copyReturnCode);
                              if (scan.action != CopyScanAction::Return)
                                  return false;
                              const CopyReturnOutcome outcome = ReturnPhotocopy(d, scan.code);
                              if (!d.reader.isEmpty())
                                  readerPanelValues(d.reader);
                              return outcome.returned && !outcome.line.cells().isEmpty();
                          }});
        }
        measure(desk, steps, i >= warmup);
    }
}

ImportFigures ScanRuns::importCodes(int codes)
{
    ImportFigures figures;
    QTemporaryFile file;
    if (!file.open())
        return figures;
    const KeyRange items = m_bench.range(QStringLiteral("item_r1"));
    for (int i = 0; i < codes; ++i)
        file.write(items.key(qint64(m_random() % quint64(items.count()))).toUtf8() + "\r\n");
    file.flush();

    DeskContext desk = freshDesk(DeskMode::BookCounting);
    m_bench.presenter().texts.clear();
    const long before = DbSession::current().roundTrips();
    const qint64 start = monotonicNanoseconds();
    qint64 lastTurn = start;
    qint64 longest = 0;
    BarcodeImportReader reader;
    if (!reader.open(file.fileName()))
        return figures;
    QString code;
    while (reader.next(code)) {
        ++figures.codes;
        if (countOrRegisterBook(desk, code) == 0) {
            CountedBookRow::of(desk.item).cells();
            ++figures.counted;
        }
        // The window breathes between codes.
        QCoreApplication::processEvents();
        const qint64 now = monotonicNanoseconds();
        longest = std::max(longest, now - lastTurn);
        lastTurn = now;
    }
    figures.seconds = double(monotonicNanoseconds() - start) / 1e9;
    figures.statements = DbSession::current().roundTrips() - before;
    figures.longestCodeMs = double(longest) / 1e6;
    return figures;
}
