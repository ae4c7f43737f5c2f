#pragma once

#include "errorrecord.h"
#include "resulttable.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

struct pg_result;

// Facts about the server's schema, probed right after connecting; the MARC reader depends on them.
struct SchemaFlags
{
    bool longMarc = false;        // marc_data.marc03 wider than 2000
    bool wideMarcTable = false;   // table marc has more than 10 columns
    int indexContentWidth = 30;   // marc_idx.marc_idx_cont width class: 30 or 60
    bool wideClassSerial = false; // table max_class_serial has more than 5 columns
};

struct ConnectionValues
{
    QString dsn; // a libpq connection string ("host=... port=... dbname=...")
    QString user;
    QString password;
};

// One session with the library database. libpq stays inside the .cpp; the rest of the program
// sees result tables and the error record. The program has one session (current()); tests and
// benchmarks may run further sessions, one per thread.
class DbSession
{
public:
    DbSession();
    ~DbSession();
    DbSession(const DbSession&) = delete;
    DbSession& operator=(const DbSession&) = delete;

    // The session the LIB_DB_ routines use on this thread.
    static DbSession& current();
    static void setCurrent(DbSession* session); // nullptr: back to the process-wide session

    void setConnectionValues(const ConnectionValues& values) { m_values = values; }
    const ConnectionValues& connectionValues() const { return m_values; }

    int connect();
    void disconnect();
    bool isConnected() const;

    // Text values are right-trimmed as the system's result tables have them, or kept as stored
    // where every character counts (MARC pieces).
    enum class TextValues { RightTrimmed, Stored };
    int select(const QString& sql, ResultTable& result, TextValues textValues = TextValues::RightTrimmed);
    // Like select, for long lists: each data row is handed to `take` as it arrives, as the texts
    // the result table would give (right-trimmed text, NULL empty, numbers as their text, other
    // types empty), so that the whole result is never held twice. `take` returning false stops
    // the statement; that is no failure.
    int selectEach(const QString& sql, const std::function<bool(QStringList& row)>& take);
    // Asks the server to stop the statement this session is running; safe from any thread while
    // the session exists. The stopped statement fails with SQLSTATE 57014.
    void cancelRunning();
    int execute(const QString& statement, int mode);
    int callProc(const QString& statement, int mode);
    // Like callProc; inside a transaction the call runs under a savepoint, so that its failure
    // takes back only what the call did and leaves the transaction usable.
    int callProcKeepingTransaction(const QString& statement, int mode);
    QString serverDate();
    // Sends a statement with positional values ($1, $2, ...: a null QVariant is NULL, anything
    // else its text) and hands back the first row's columns by lower-case name, untrimmed, NULL
    // as a null QVariant (procedure calls with bound parameters).
    int callWithValues(const QString& statement, const QList<QVariant>& values, QVariantMap& firstRow);

    void beginTrans();
    // -1 with the error record filled when the transaction did not commit: the connection broke,
    // or the server rolled it back instead.
    int commitTrans();
    void rollback();
    bool inTransaction() const { return m_inTransaction; }

    // A desk operation that may be run a second time after a deadlock or serialisation failure
    // arms the session; the error reporter then passes such a failure over silently and asks for
    // the second run instead (see DbRetryOnce).
    enum class Retry { Off, Armed, Requested };
    Retry retry() const { return m_retry; }
    void setRetry(Retry retry) { m_retry = retry; }

    ErrorRecord& error() { return m_error; }
    QString& currentStatement() { return m_statement; }
    const SchemaFlags& schemaFlags() const { return m_flags; }
    void setSchemaFlags(const SchemaFlags& flags) { m_flags = flags; }

    // Statements sent to the server since the session was made (for the benchmarks).
    long roundTrips() const { return m_roundTrips; }

    // Records the text of every statement sent from now on (nullptr stops it); the benchmarks replay
    // them with bare client calls to measure what the server alone costs.
    void setStatementTrace(QList<QByteArray>* trace) { m_trace = trace; }

    // Sends a recorded statement as it is on this session's connection and frees its result, and
    // nothing else: no error record, no trace, no count (the benchmarks' floor, so that it meets
    // the same server process as the desk). false, with the server's reason, when refused.
    bool executeBare(const QByteArray& statement, QString* refusal = nullptr);

    // The server process serving this session, 0 when not connected (for fault tests).
    int backendPid() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    ConnectionValues m_values;
    ErrorRecord m_error;
    QString m_statement;
    SchemaFlags m_flags;
    bool m_inTransaction = false;
    Retry m_retry = Retry::Off;
    long m_roundTrips = 0;
    QList<QByteArray>* m_trace = nullptr;

    pg_result* send(const QByteArray& statement);
    int fail(pg_result* res, long errorCode, const char* routine); // fills the error record, -1

    int runStatement(const QString& text, long errorCode, const char* routine);
    // "CALL name(args)" for "name args"; empty without the blank.
    static QString procedureCall(const QString& statement, int mode);
    int connectFailed(const QString& description); // fills the error record (1001), -1
    void probeSchemaFlags();
};
