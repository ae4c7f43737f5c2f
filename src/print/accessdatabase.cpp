#include "accessdatabase.h"

#include <QAbstractItemModel>
#include <QFile>
#include <map>
#include <memory>
#include <sqlite3.h>

namespace {

struct CloseDatabase
{
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;

struct FinalizeStatement
{
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

Database open(const QString& path, int flags, QString& error)
{
    sqlite3* raw = nullptr;
    const int result = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags, nullptr);
    Database db(raw);
    if (result != SQLITE_OK) {
        error = db ? QString::fromUtf8(sqlite3_errmsg(db.get())) : QStringLiteral("out of memory");
        return nullptr;
    }
    sqlite3_extended_result_codes(db.get(), 1);
    return db;
}

int exec(sqlite3* db, const QString& sql, QString& error)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return 0;
    error = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
    sqlite3_free(message);
    return -1;
}

} // namespace

QString AccessDatabase::quoteName(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

int AccessDatabase::create()
{
    if (QFile::exists(m_path)) {
        m_error = QStringLiteral("file exists");
        return -1;
    }
    Database db = open(m_path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, m_error);
    // Writing the header page makes the file a database even before it holds a table.
    if (!db || exec(db.get(), QStringLiteral("PRAGMA user_version = 1"), m_error) != 0)
        return -1;
    return 0;
}

int AccessDatabase::listTables(QStringList& tables)
{
    tables.clear();
    Database db = open(m_path, SQLITE_OPEN_READONLY, m_error);
    if (!db)
        return -1;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(
            db.get(),
            "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
            "ESCAPE '\\' ORDER BY name",
            -1, &raw, nullptr) != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(db.get()));
        return -1;
    }
    Statement statement(raw);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(raw)) == SQLITE_ROW)
        tables.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(raw, 0))));
    if (step != SQLITE_DONE) {
        m_error = QString::fromUtf8(sqlite3_errmsg(db.get()));
        return -1;
    }
    return 0;
}

int AccessDatabase::createTable(const QString& table, const QList<ExportColumn>& columns)
{
    Database db = open(m_path, SQLITE_OPEN_READWRITE, m_error);
    if (!db)
        return -1;
    QStringList fields;
    for (const ExportColumn& column : columns)
        fields.append(quoteName(column.heading) + QStringLiteral(" TEXT"));
    return exec(db.get(),
                QStringLiteral("CREATE TABLE ") + quoteName(table) + QLatin1Char('(') +
                    fields.join(QLatin1Char(',')) + QLatin1Char(')'),
                m_error);
}

int AccessDatabase::insertRows(const QString& table, const QAbstractItemModel& model,
                               const QList<ExportColumn>& columns, int firstRow,
                               const ExportProgress& progress)
{
    Database db = open(m_path, SQLITE_OPEN_READWRITE, m_error);
    if (!db || exec(db.get(), QStringLiteral("BEGIN"), m_error) != 0)
        return -1;
    // One prepared statement per set of filled fields (most rows fill the same ones).
    std::map<QByteArray, Statement> statements;
    int added = 0;
    bool failed = false;
    QByteArray filled(columns.size(), '0');
    QList<QByteArray> values(columns.size());
    for (int row = firstRow; row < model.rowCount(); ++row) {
        if (progress && !progress(row - firstRow))
            break;
        QStringList fields;
        for (int i = 0; i < columns.size(); ++i) {
            const QString text = model.index(row, columns.at(i).index).data().toString();
            filled[i] = text.isEmpty() ? '0' : '1';
            values[i] = text.toUtf8();
            if (!text.isEmpty())
                fields.append(quoteName(columns.at(i).heading));
        }
        if (fields.isEmpty())
            continue;
        Statement& statement = statements[filled];
        if (!statement) {
            const QString placeholders = QStringLiteral("?,").repeated(fields.size()).chopped(1);
            const QString sql = QStringLiteral("insert into ") + quoteName(table) + QLatin1Char('(') +
                                fields.join(QLatin1Char(',')) + QStringLiteral(") values(") + placeholders +
                                QLatin1Char(')');
            sqlite3_stmt* raw = nullptr;
            if (sqlite3_prepare_v2(db.get(), sql.toUtf8().constData(), -1, &raw, nullptr) != SQLITE_OK) {
                m_error = QString::fromUtf8(sqlite3_errmsg(db.get()));
                failed = true;
                break;
            }
            statement.reset(raw);
        }
        int place = 0;
        for (int i = 0; i < columns.size(); ++i)
            if (filled.at(i) == '1')
                sqlite3_bind_text(statement.get(), ++place, values.at(i).constData(),
                                  int(values.at(i).size()), SQLITE_STATIC);
        const int step = sqlite3_step(statement.get());
        sqlite3_reset(statement.get());
        if (step != SQLITE_DONE) {
            m_error = QString::fromUtf8(sqlite3_errmsg(db.get()));
            failed = true;
            break;
        }
        ++added;
    }
    statements.clear();
    if (exec(db.get(), QStringLiteral("COMMIT"), m_error) != 0)
        return -1;
    return failed ? -1 : added;
}
