#include "readinglogloader.h"

#include "codes/codenames.h"
#include "codes/codetables.h"
#include "db/database.h"
#include "readinglogtitles.h"

#include <QElapsedTimer>

namespace {

// Connections reading MARC records at once; the first also runs the log statement.
constexpr int titleSessions = 2;

// What a job needs from the window's thread, taken there so that the worker reads no shared state
// but the MARC index parameters.
struct Job
{
    quint64 id = 0;
    ReadingLogKind kind = ReadingLogKind::Reader;
    QString statement;
    ConnectionValues connection;
    QHash<QString, QString> locationNames;
    std::shared_ptr<std::atomic_bool> cancel;
};

QHash<QString, QString> locationNames()
{
    QHash<QString, QString> names;
    const ResultTable& locations = LIB_CodeTable(CodeTable::Locations);
    for (int row = 2; row < locations.recordCount() + 2; ++row) {
        const QString code = locations.text(0, row);
        names.insert(code, LIB_LocationName(code));
    }
    return names;
}

} // namespace

// Runs the jobs on the loader's thread. The log statement runs on the first of its two sessions;
// the MARC records are read on both at once.
class ReadingLogWorker : public QObject
{
public:
    explicit ReadingLogWorker(ReadingLogLoader* loader) : m_loader(loader) {}

    void run(const Job& job);
    void cancelStatement()
    {
        for (DbSession& session : m_sessions)
            session.cancelRunning();
    }
    // Each session records into a list of its own (they send at once); a job's statements are
    // handed to the caller's list when it ends.
    void setStatementTrace(QList<QByteArray>* trace)
    {
        m_trace = trace;
        for (int s = 0; s < titleSessions; ++s)
            m_sessions[s].setStatementTrace(trace ? &m_sessionTraces[s] : nullptr);
    }

private:
    bool connected(const Job& job, DbSession& session);
    bool listRows(const Job& job, ReadingLogRows& rows);
    bool readTitles(const Job& job, ReadingLogRows& rows, ReadingLogFigures& figures);
    long roundTrips() const
    {
        long sent = 0;
        for (const DbSession& session : m_sessions)
            sent += session.roundTrips();
        return sent;
    }
    template <typename F> void post(F&& f) { QMetaObject::invokeMethod(m_loader, std::forward<F>(f)); }

    ReadingLogLoader* m_loader;
    DbSession m_sessions[titleSessions];
    QList<QByteArray> m_sessionTraces[titleSessions];
    QList<QByteArray>* m_trace = nullptr;
    DbSession& m_session = m_sessions[0];
    DbSession* m_failed = nullptr; // the session whose error the job reports
};

bool ReadingLogWorker::connected(const Job& job, DbSession& session)
{
    if (session.isConnected())
        return true;
    session.setConnectionValues(job.connection);
    if (session.connect() == 0)
        return true;
    m_failed = &session;
    return false;
}

bool ReadingLogWorker::readTitles(const Job& job, ReadingLogRows& rows, ReadingLogFigures& figures)
{
    QList<DbSession*> sessions;
    for (DbSession& session : m_sessions)
        sessions << &session;
    ReadingLogTitles titles(sessions, *job.cancel, [loader = m_loader, id = job.id](int done, int total) {
        QMetaObject::invokeMethod(loader, [loader, id, done, total] {
            if (loader->isCurrent(id))
                Q_EMIT loader->progressed(done, total);
        });
    });
    const bool read = titles.read(rows);
    figures.records = titles.records();
    if (!read)
        m_failed = titles.failedSession();
    return read;
}

bool ReadingLogWorker::listRows(const Job& job, ReadingLogRows& rows)
{
    const bool reader = job.kind == ReadingLogKind::Reader;
    const int locationColumn = reader ? 4 : ReadingLogModel::Location;
    m_session.currentStatement() = job.statement;
    return m_session.selectEach(job.statement, [&](QStringList& result) {
        if (*job.cancel)
            return false;
        ReadingLogRow row;
        if (reader) {
            for (int c = ReadingLogModel::ArrivalTime; c <= ReadingLogModel::Dept; ++c)
                row.cells[c] = std::move(result[c]);
            row.cells[ReadingLogModel::Worker] = std::move(result[5]);
        } else {
            for (int c = 0; c < ReadingLogModel::ColumnCount; ++c)
                row.cells[c] = std::move(result[c]);
            row.marcRecNo = row.cells[ReadingLogModel::Title];
            row.cells[ReadingLogModel::Title].clear();
            row.cells[ReadingLogModel::Author].clear();
            row.cells[ReadingLogModel::Publisher].clear();
        }
        const QString& code = reader ? result[locationColumn] : row.cells[ReadingLogModel::Location];
        row.cells[ReadingLogModel::Location] = job.locationNames.value(code, code);
        rows.append(std::move(row));
        return true;
    }) == 0;
}

void ReadingLogWorker::run(const Job& job)
{
    DbSession::setCurrent(&m_session);
    m_failed = &m_session;
    ReadingLogRows rows;
    ReadingLogFigures figures;
    QElapsedTimer clock;
    const bool titles = job.kind != ReadingLogKind::Reader;
    bool listed = !*job.cancel && connected(job, m_sessions[0]);
    for (int s = 1; s < titleSessions && titles; ++s)
        listed = listed && connected(job, m_sessions[s]);
    const long before = roundTrips();
    clock.start();
    listed = listed && listRows(job, rows);
    figures.listMs = double(clock.nsecsElapsed()) / 1e6;
    clock.start();
    listed = listed && (!titles || readTitles(job, rows, figures));
    figures.titlesMs = double(clock.nsecsElapsed()) / 1e6;
    figures.rows = int(rows.size());
    figures.statements = roundTrips() - before;
    for (QList<QByteArray>& sent : m_sessionTraces) {
        if (m_trace)
            m_trace->append(sent);
        sent.clear();
    }
    ReadingLogLoader* loader = m_loader;
    const quint64 id = job.id;
    if (*job.cancel) {
        // The statement the server stopped fails; that is the cancel, not a fault.
        for (DbSession& session : m_sessions)
            session.error().clear();
        return post([loader, id] {
            if (loader->takeOutcome(id))
                Q_EMIT loader->cancelled();
        });
    }
    if (!listed) {
        const ErrorRecord error = m_failed->error();
        const QString statement = m_failed->currentStatement();
        m_failed->error().clear();
        return post([loader, id, error, statement] {
            if (loader->takeOutcome(id))
                Q_EMIT loader->failed(error, statement);
        });
    }
    post([loader, id, figures, rows = std::move(rows)] {
        if (!loader->takeOutcome(id))
            return;
        loader->m_figures = figures;
        Q_EMIT loader->loaded(rows);
    });
}

ReadingLogLoader::ReadingLogLoader(QObject* parent) : QObject(parent), m_worker(new ReadingLogWorker(this))
{
    m_worker->moveToThread(&m_thread);
    m_thread.start();
}

ReadingLogLoader::~ReadingLogLoader()
{
    cancel();
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
}

void ReadingLogLoader::start(ReadingLogKind kind, const QString& statement)
{
    cancel();
    Job job;
    job.id = ++m_job;
    job.kind = kind;
    job.statement = statement;
    job.connection = DbSession::current().connectionValues();
    job.locationNames = locationNames();
    job.cancel = m_cancel = std::make_shared<std::atomic_bool>(false);
    m_running = true;
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, job] { worker->run(job); });
}

void ReadingLogLoader::setStatementTrace(QList<QByteArray>* trace)
{
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, trace] { worker->setStatementTrace(trace); });
}

void ReadingLogLoader::cancel()
{
    if (!m_running || !m_cancel)
        return;
    *m_cancel = true;
    m_worker->cancelStatement();
}

bool ReadingLogLoader::takeOutcome(quint64 job)
{
    if (job != m_job)
        return false; // a list given up for a newer one
    m_running = false;
    return true;
}
