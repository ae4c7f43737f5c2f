#include "dbsession.h"

#include "messages.h"

#include <QByteArray>
#include <QMutex>
#include <libpq-fe.h>
#include <vector>

namespace {

// PostgreSQL type oids, mapped onto the system's three classes of column.
int typeCodeOf(Oid oid)
{
    switch (oid) {
    case 18:   // char
    case 19:   // name
    case 25:   // text
    case 705:  // unknown
    case 1042: // bpchar
    case 1043: // varchar
        return ResultTable::TypeText;
    case 21: // int2
    case 23: // int4
        return ResultTable::TypeInteger;
    case 20: // int8
    case 26: // oid
        return ResultTable::TypeLong;
    case 700:  // float4
    case 701:  // float8
    case 1700: // numeric
        return ResultTable::TypeDouble;
    default:
        return ResultTable::TypeOther;
    }
}

QString rightTrimmed(const char* data, int length)
{
    while (length > 0 && data[length - 1] == ' ')
        --length;
    return QString::fromUtf8(data, length);
}

void fillTable(PGresult* res, ResultTable& result, DbSession::TextValues textValues)
{
    const int fields = PQnfields(res);
    const int records = PQntuples(res);
    result = ResultTable(fields, records);
    for (int c = 0; c < fields; ++c) {
        const int type = typeCodeOf(PQftype(res, c));
        result.setValue(c, 0, QString::fromUtf8(PQfname(res, c)));
        result.setValue(c, 1, type);
        for (int r = 0; r < records; ++r) {
            const bool null = PQgetisnull(res, r, c);
            if (type == ResultTable::TypeText) {
                const char* value = PQgetvalue(res, r, c);
                const int length = PQgetlength(res, r, c);
                result.setValue(c, r + 2,
                                null ? QString()
                                : textValues == DbSession::TextValues::Stored
                                    ? QString::fromUtf8(value, length)
                                    : rightTrimmed(value, length));
            } else if (type != ResultTable::TypeOther) {
                if (null)
                    result.setValue(c, r + 2, 0);
                else
                    result.setValue(c, r + 2,
                                    QByteArray(PQgetvalue(res, r, c), PQgetlength(res, r, c)).toDouble());
            }
        }
    }
}

// A value as text, the way the result table gives it.
QString cellText(PGresult* res, int row, int column, int type)
{
    const bool null = PQgetisnull(res, row, column);
    if (type == ResultTable::TypeText)
        return null ? QString() : rightTrimmed(PQgetvalue(res, row, column), PQgetlength(res, row, column));
    if (type == ResultTable::TypeOther)
        return {};
    const double number =
        null ? 0.0 : QByteArray(PQgetvalue(res, row, column), PQgetlength(res, row, column)).toDouble();
    return QVariant(number).toString();
}

QString errorField(const PGresult* res, int field)
{
    return res ? QString::fromUtf8(PQresultErrorField(res, field)) : QString();
}

} // namespace

struct DbSession::Impl
{
    PGconn* conn = nullptr;
    // The connection's cancel handle, used from other threads (cancelRunning).
    QMutex cancelLock;
    PGcancel* cancel = nullptr;

    ~Impl() { close(); }
    void close()
    {
        setCancel(nullptr);
        if (conn)
            PQfinish(conn);
        conn = nullptr;
    }
    void setCancel(PGcancel* handle)
    {
        QMutexLocker lock(&cancelLock);
        if (cancel)
            PQfreeCancel(cancel);
        cancel = handle;
    }

    // The error text in the form the reporter reads: "ORA-nnnnn: ..." for the failures it knows by
    // number, the server's own text otherwise. Constraint names are named in the Oracle way so that
    // the reporter's tests on key names and the words after "_RE" look at the constraint alone.
    QString describe(const PGresult* res) const
    {
        const QString state = errorField(res, PG_DIAG_SQLSTATE);
        const QString constraint = errorField(res, PG_DIAG_CONSTRAINT_NAME).toUpper();
        const QString primary = errorField(res, PG_DIAG_MESSAGE_PRIMARY);
        const bool lost = !conn || PQstatus(conn) == CONNECTION_BAD ||
                          state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01") ||
                          state == QLatin1String("57P02") || state == QLatin1String("57P03");
        if (lost)
            return QStringLiteral("ORA-03113: end-of-file on communication channel (%1)")
                .arg(QString::fromUtf8(PQerrorMessage(conn)).trimmed());
        if (state == QLatin1String("23505"))
            return QStringLiteral("ORA-00001: unique constraint (LIBRARY.%1) violated").arg(constraint);
        if (state == QLatin1String("55P03"))
            return QStringLiteral("ORA-00054: resource busy and acquire with NOWAIT specified");
        if (state == QLatin1String("40P01"))
            return QStringLiteral("ORA-00060: deadlock detected while waiting for resource (%1)")
                .arg(primary);
        if (state == QLatin1String("40001"))
            return QStringLiteral("ORA-08177: can't serialize access for this transaction (%1)").arg(primary);
        if (state == QLatin1String("23503")) {
            // The server says "insert or update on table ..." when the parent is missing and
            // "update or delete on table ..." when children exist.
            if (primary.startsWith(QLatin1String("insert or update")))
                return QStringLiteral(
                           "ORA-02291: integrity constraint (LIBRARY.%1) violated - parent key not found")
                    .arg(constraint);
            return QStringLiteral(
                       "ORA-02292: integrity constraint (LIBRARY.%1) violated - child record found")
                .arg(constraint);
        }
        QString text =
            res ? QString::fromUtf8(PQresultErrorMessage(res)) : QString::fromUtf8(PQerrorMessage(conn));
        return text.trimmed() + QStringLiteral(" [SQLSTATE ") + state + QLatin1Char(']');
    }
};

namespace {
thread_local DbSession* t_current = nullptr;

long oracleNumberOf(const QString& description)
{
    const int at = description.indexOf(QLatin1String("ORA-"));
    if (at < 0)
        return -1;
    bool ok = false;
    const long number = description.mid(at + 4, 5).toLong(&ok);
    return ok ? number : -1;
}
} // namespace

DbSession::DbSession() : d(std::make_unique<Impl>()) {}
DbSession::~DbSession() = default;

DbSession& DbSession::current()
{
    static DbSession process;
    return t_current ? *t_current : process;
}

void DbSession::setCurrent(DbSession* session)
{
    t_current = session;
}

int DbSession::connectFailed(const QString& description)
{
    m_error.code = ErrorRecord::ConnectFailed;
    m_error.oracleNumber = -1;
    m_error.description = description;
    m_error.routine = QStringLiteral("LIB_DB_Connect");
    d->close();
    LIB_Beep();
    return -1;
}

int DbSession::connect()
{
    d->close();
    m_inTransaction = false;
    const QByteArray dsn = m_values.dsn.toUtf8();
    const QByteArray user = m_values.user.toUtf8();
    const QByteArray password = m_values.password.toUtf8();
    // LIB_SQLQuote only doubles apostrophes: that makes a literal of any text only while the
    // server reads backslashes as plain characters and both sides agree on the encoding. Both are
    // pinned here, whatever the database or the user has as their default.
    const char* keys[] = {"dbname",          "user",    "password", "client_encoding", "application_name",
                          "connect_timeout", "options", nullptr};
    const char* values[] = {dsn.constData(),
                            user.isEmpty() ? nullptr : user.constData(),
                            password.isEmpty() ? nullptr : password.constData(),
                            "UTF8",
                            "readdesk",
                            "10",
                            "-c standard_conforming_strings=on",
                            nullptr};
    // An empty DSN would let libpq fall back to its defaults; the system treats it as no database.
    if (dsn.trimmed().isEmpty())
        return connectFailed(QStringLiteral("no database named in tavorn.ini"));
    d->conn = PQconnectdbParams(keys, values, 1);
    ++m_roundTrips;
    if (PQstatus(d->conn) != CONNECTION_OK)
        return connectFailed(QString::fromUtf8(PQerrorMessage(d->conn)).trimmed());
    // A server that did not take the pinned settings (a pooler that drops options) is not used.
    if (qstrcmp(PQparameterStatus(d->conn, "standard_conforming_strings"), "on") != 0 ||
        qstrcmp(PQparameterStatus(d->conn, "client_encoding"), "UTF8") != 0)
        return connectFailed(QStringLiteral(
            "the server did not take standard_conforming_strings=on and client_encoding=UTF8"));
    d->setCancel(PQgetCancel(d->conn));
    probeSchemaFlags();
    return 0;
}

void DbSession::disconnect()
{
    d->close();
    m_inTransaction = false;
}

bool DbSession::isConnected() const
{
    return d->conn && PQstatus(d->conn) == CONNECTION_OK;
}

int DbSession::backendPid() const
{
    return d->conn ? PQbackendPID(d->conn) : 0;
}

bool DbSession::executeBare(const QByteArray& statement, QString* refusal)
{
    PGresult* res = d->conn ? PQexec(d->conn, statement.constData()) : nullptr;
    const ExecStatusType status = PQresultStatus(res);
    const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    if (!ok && refusal)
        *refusal =
            res ? QString::fromUtf8(PQresultErrorMessage(res)).trimmed() : QStringLiteral("not connected");
    PQclear(res);
    return ok;
}

void DbSession::probeSchemaFlags()
{
    // One statement for the four facts; a missing table or column leaves its default.
    static const char* probe = "SELECT (SELECT atttypmod - 4 FROM pg_attribute WHERE attrelid = "
                               "to_regclass('marc_data') AND attname = 'marc03'),"
                               " (SELECT count(*) FROM pg_attribute WHERE attrelid = to_regclass('marc') AND "
                               "attnum > 0 AND NOT attisdropped),"
                               " (SELECT atttypmod - 4 FROM pg_attribute WHERE attrelid = "
                               "to_regclass('marc_idx') AND attname = 'marc_idx_cont'),"
                               " (SELECT count(*) FROM pg_attribute WHERE attrelid = "
                               "to_regclass('max_class_serial') AND attnum > 0 AND NOT attisdropped)";
    PGresult* res = send(probe);
    SchemaFlags flags;
    if (PQresultStatus(res) == PGRES_TUPLES_OK && PQntuples(res) == 1) {
        auto number = [res](int c) { return QByteArray(PQgetvalue(res, 0, c)).toInt(); };
        flags.longMarc = number(0) > 2000;
        flags.wideMarcTable = number(1) > 10;
        const int width = number(2);
        if ((width > 30 && !flags.longMarc) || (width > 60 && flags.longMarc))
            flags.indexContentWidth = 60;
        flags.wideClassSerial = number(3) > 5;
    }
    PQclear(res);
    m_flags = flags;
}

pg_result* DbSession::send(const QByteArray& statement)
{
    ++m_roundTrips;
    if (m_trace)
        m_trace->append(statement);
    return d->conn ? PQexec(d->conn, statement.constData()) : nullptr;
}

int DbSession::select(const QString& sql, ResultTable& result, TextValues textValues)
{
    const QByteArray text = sql.toUtf8();
    PGresult* res = send(text);
    if (PQresultStatus(res) != PGRES_TUPLES_OK)
        return fail(res, ErrorRecord::SelectFailed, "LIB_DB_Select");
    fillTable(res, result, textValues);
    PQclear(res);
    return 0;
}

int DbSession::selectEach(const QString& sql, const std::function<bool(QStringList& row)>& take)
{
    const QByteArray text = sql.toUtf8();
    ++m_roundTrips;
    if (m_trace)
        m_trace->append(text);
    if (!d->conn || !PQsendQuery(d->conn, text.constData()))
        return fail(nullptr, ErrorRecord::SelectFailed, "LIB_DB_Select");
    // One row at a time: the whole result never sits in the client library as well.
    PQsetSingleRowMode(d->conn);
    PGresult* failure = nullptr;
    bool wanted = true;
    QList<int> types;
    QStringList row;
    // Every result is collected, so that the connection is ready for the next statement.
    while (PGresult* res = PQgetResult(d->conn)) {
        const ExecStatusType status = PQresultStatus(res);
        if (status == PGRES_SINGLE_TUPLE && wanted) {
            const int fields = PQnfields(res);
            if (types.isEmpty()) {
                for (int c = 0; c < fields; ++c)
                    types << typeCodeOf(PQftype(res, c));
            }
            row.clear();
            for (int c = 0; c < fields; ++c)
                row << cellText(res, 0, c, types.at(c));
            if (!take(row)) {
                wanted = false;
                cancelRunning();
            }
        } else if (status != PGRES_SINGLE_TUPLE && status != PGRES_TUPLES_OK && wanted && !failure) {
            failure = res;
            continue;
        }
        PQclear(res);
    }
    if (failure)
        return fail(failure, ErrorRecord::SelectFailed, "LIB_DB_Select");
    return 0;
}

void DbSession::cancelRunning()
{
    QMutexLocker lock(&d->cancelLock);
    char reason[256];
    if (d->cancel)
        PQcancel(d->cancel, reason, sizeof reason);
}

int DbSession::fail(pg_result* res, long errorCode, const char* routine)
{
    m_error.code = errorCode;
    m_error.description = d->describe(res);
    m_error.oracleNumber = oracleNumberOf(m_error.description);
    m_error.routine = QString::fromLatin1(routine);
    // A lost session takes its transaction with it.
    if (m_error.oracleNumber == OraNumber::ConnectionLost)
        m_inTransaction = false;
    PQclear(res);
    LIB_Beep();
    return -1;
}

int DbSession::runStatement(const QString& text, long errorCode, const char* routine)
{
    const QByteArray bytes = text.toUtf8();
    PGresult* res = send(bytes);
    const ExecStatusType status = PQresultStatus(res);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        return fail(res, errorCode, routine);
    PQclear(res);
    return 0;
}

int DbSession::execute(const QString& statement, int mode)
{
    QString text = statement.trimmed();
    if (mode == 1)
        text.replace(QLatin1String("''"), QLatin1String("' '"));
    return runStatement(text, ErrorRecord::StatementFailed, "LIB_DB_Execute");
}

QString DbSession::procedureCall(const QString& statement, int mode)
{
    QString text = statement.trimmed();
    const int blank = text.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return {};
    text = text.left(blank) + QLatin1Char('(') + text.mid(blank + 1) + QLatin1Char(')');
    if (mode == 1)
        text.replace(QLatin1String("''"), QLatin1String("' '"));
    // The system's anonymous block "Begin name(args); end;" is a CALL here.
    return QStringLiteral("CALL ") + text;
}

int DbSession::callProc(const QString& statement, int mode)
{
    const QString call = procedureCall(statement, mode);
    if (call.isEmpty()) {
        m_error.code = ErrorRecord::StatementFailed;
        m_error.oracleNumber = -1;
        m_error.description = QStringLiteral("procedure call without arguments: ") + statement.trimmed();
        m_error.routine = QStringLiteral("LIB_DB_CallProc");
        LIB_Beep();
        return -1;
    }
    return runStatement(call, ErrorRecord::StatementFailed, "LIB_DB_CallProc");
}

int DbSession::callProcKeepingTransaction(const QString& statement, int mode)
{
    const QString call = procedureCall(statement, mode);
    if (!m_inTransaction || call.isEmpty())
        return callProc(statement, mode);
    // One round trip: the savepoint, the call and its release go together; a failed call skips
    // the release, and the transaction is taken back to the savepoint.
    const QString text =
        QStringLiteral("SAVEPOINT lib_kept; ") + call + QStringLiteral("; RELEASE SAVEPOINT lib_kept");
    if (runStatement(text, ErrorRecord::StatementFailed, "LIB_DB_CallProc") == 0)
        return 0;
    if (m_inTransaction)
        PQclear(send("ROLLBACK TO SAVEPOINT lib_kept"));
    return -1;
}

int DbSession::callWithValues(const QString& statement, const QList<QVariant>& values, QVariantMap& firstRow)
{
    const QByteArray text = statement.toUtf8();
    QList<QByteArray> bytes;
    std::vector<const char*> pointers;
    bytes.reserve(values.size());
    for (const QVariant& value : values)
        bytes.append(value.isNull() ? QByteArray() : value.toString().toUtf8());
    for (qsizetype i = 0; i < values.size(); ++i)
        pointers.push_back(values.at(i).isNull() ? nullptr : bytes.at(i).constData());
    ++m_roundTrips;
    if (m_trace)
        m_trace->append(text);
    PGresult* res = d->conn ? PQexecParams(d->conn, text.constData(), int(pointers.size()), nullptr,
                                           pointers.data(), nullptr, nullptr, 0)
                            : nullptr;
    const ExecStatusType status = PQresultStatus(res);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        return fail(res, ErrorRecord::StatementFailed, "LIB_DB_ExecuteBound");
    firstRow.clear();
    if (status == PGRES_TUPLES_OK && PQntuples(res) > 0) {
        for (int c = 0; c < PQnfields(res); ++c) {
            const QString name = QString::fromUtf8(PQfname(res, c)).toLower();
            firstRow.insert(name,
                            PQgetisnull(res, 0, c)
                                ? QVariant()
                                : QVariant(QString::fromUtf8(PQgetvalue(res, 0, c), PQgetlength(res, 0, c))));
        }
    }
    PQclear(res);
    return 0;
}

QString DbSession::serverDate()
{
    // The error record stays filled on failure, so that a caller may report it.
    ResultTable table;
    if (select(QStringLiteral("CALL SYS_GetServerDate(NULL)"), table) != 0 || table.recordCount() < 1)
        return {};
    return table.text(0, 2);
}

void DbSession::beginTrans()
{
    PQclear(send("BEGIN"));
    m_inTransaction = true;
}

int DbSession::commitTrans()
{
    PGresult* res = send("COMMIT");
    m_inTransaction = false;
    // A transaction that a failed statement had aborted ends in a rollback, which the server
    // reports in the command's tag, not as an error.
    if (PQresultStatus(res) == PGRES_COMMAND_OK && qstrcmp(PQcmdStatus(res), "COMMIT") == 0) {
        PQclear(res);
        return 0;
    }
    // The failure that spoiled the transaction is the one to report, when it is still on record.
    if (m_error.code != ErrorRecord::None) {
        PQclear(res);
        LIB_Beep();
        return -1;
    }
    if (PQresultStatus(res) != PGRES_COMMAND_OK)
        return fail(res, ErrorRecord::StatementFailed, "LIB_DB_CommitTrans");
    PQclear(res);
    m_error.code = ErrorRecord::StatementFailed;
    m_error.description = QStringLiteral("ORA-02091: transaction rolled back");
    m_error.oracleNumber = oracleNumberOf(m_error.description);
    m_error.routine = QStringLiteral("LIB_DB_CommitTrans");
    LIB_Beep();
    return -1;
}

void DbSession::rollback()
{
    PQclear(send("ROLLBACK"));
    m_inTransaction = false;
}
