#pragma once

#include "db/errorrecord.h"
#include "readinglogmodel.h"

#include <QObject>
#include <QThread>
#include <atomic>
#include <memory>

class ReadingLogWorker;

// What the last list took: its rows, the distinct MARC records read for them, the statements
// sent (connecting not counted), and the milliseconds of the log statement with its rows and of
// the titles.
struct ReadingLogFigures
{
    int rows = 0;
    int records = 0;
    long statements = 0;
    double listMs = 0;
    double titlesMs = 0;
};

// Lists reading-log rows off the window's thread: the log statement and the MARC records of the
// listed items run on database connections of the loader's own (the statement on one, the
// records on two at once), opened with the desk session's connection values at the first list
// and kept while the loader lives. The window's event loop keeps turning, so that it paints and
// its progress display hears "取消"; the rows arrive whole, in one step. A failure, connecting
// included, is handed over with its error record for the error reporter. Every signal is
// emitted on the loader's thread.
class ReadingLogLoader : public QObject
{
    Q_OBJECT
public:
    explicit ReadingLogLoader(QObject* parent = nullptr);
    ~ReadingLogLoader() override; // stops a running list and closes the connections

    // Starts listing the rows of a log statement of the kind (readingLogStatement): location codes
    // named from the code table, titles, authors and publishers read from the items' MARC
    // records for the book logs. A list still running is given up first.
    void start(ReadingLogKind kind, const QString& statement);
    // Gives the running list up: the server is asked to stop the statement; cancelled() follows.
    void cancel();
    bool isRunning() const { return m_running; }
    const ReadingLogFigures& lastFigures() const { return m_figures; }

    // Records the text of every statement the loader's connections send from now on (nullptr
    // stops it); the benchmark replays them bare. Read it once a list has ended.
    void setStatementTrace(QList<QByteArray>* trace);

Q_SIGNALS:
    // Progress of the MARC reading: sets of records read out of all.
    void progressed(int done, int total);
    void loaded(const ReadingLogRows& rows);
    // The connection or a statement failed; the error record and the statement are the
    // background connection's, for the error reporter.
    void failed(const ErrorRecord& error, const QString& statement);
    void cancelled();

private:
    friend class ReadingLogWorker;
    bool isCurrent(quint64 job) const { return m_running && job == m_job; }
    bool takeOutcome(quint64 job); // true for the current list, which then ends

    QThread m_thread;
    ReadingLogWorker* m_worker = nullptr;
    std::shared_ptr<std::atomic_bool> m_cancel;
    quint64 m_job = 0;
    bool m_running = false;
    ReadingLogFigures m_figures;
};
