#include "offlinejournal.h"

#include <QUuid>
#include <sqlite3.h>

namespace {

// A prepared statement, finalised when it goes.
class Statement
{
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr); }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return m_stmt != nullptr; }
    void bind(int index, const QString& text)
    {
        const QByteArray bytes = text.toUtf8();
        sqlite3_bind_text(m_stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    }
    void bind(int index, qint64 number) { sqlite3_bind_int64(m_stmt, index, number); }
    int step() { return sqlite3_step(m_stmt); }
    QString text(int column) const
    {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column)),
                                 sqlite3_column_bytes(m_stmt, column));
    }
    qint64 number(int column) const { return sqlite3_column_int64(m_stmt, column); }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

constexpr const char* ScanColumns =
    "serial, scan_key, scan_time, worker, location, mode, reader_code, book_code, uncertain";

void bindScan(Statement& statement, const OfflineScan& scan)
{
    statement.bind(1, scan.key);
    statement.bind(2, scan.scanTime);
    statement.bind(3, scan.worker);
    statement.bind(4, scan.location);
    statement.bind(5, qint64(scan.mode));
    statement.bind(6, scan.readerCode);
    statement.bind(7, scan.bookCode);
    statement.bind(8, qint64(scan.uncertain ? 1 : 0));
}

OfflineScan scanFrom(const Statement& row)
{
    OfflineScan scan;
    scan.serial = row.number(0);
    scan.key = row.text(1);
    scan.scanTime = row.text(2);
    scan.worker = row.text(3);
    scan.location = row.text(4);
    scan.mode = DeskMode(row.number(5));
    scan.readerCode = row.text(6);
    scan.bookCode = row.text(7);
    scan.uncertain = row.number(8) != 0;
    return scan;
}

} // namespace

OfflineJournal::~OfflineJournal()
{
    close();
}

QString OfflineJournal::pathIn(const QString& programDirectory)
{
    return programDirectory + QStringLiteral("offline-scans.db");
}

bool OfflineJournal::open(const QString& path)
{
    close();
    if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        fail("open");
        close();
        return false;
    }
    // Another process holding the file (a test's look inside) is waited for a while.
    sqlite3_busy_timeout(m_db, 5000);
    const bool ready =
        exec("PRAGMA journal_mode=WAL") && exec("PRAGMA synchronous=FULL") &&
        exec("CREATE TABLE IF NOT EXISTS scans (serial INTEGER PRIMARY KEY AUTOINCREMENT, "
             "scan_key TEXT NOT NULL UNIQUE, scan_time TEXT NOT NULL, worker TEXT NOT NULL, "
             "location TEXT NOT NULL, mode INTEGER NOT NULL, reader_code TEXT NOT NULL, "
             "book_code TEXT NOT NULL, uncertain INTEGER NOT NULL)") &&
        exec("CREATE TABLE IF NOT EXISTS refused (serial INTEGER PRIMARY KEY, scan_key TEXT NOT NULL, "
             "scan_time TEXT NOT NULL, worker TEXT NOT NULL, location TEXT NOT NULL, mode INTEGER NOT NULL, "
             "reader_code TEXT NOT NULL, book_code TEXT NOT NULL, uncertain INTEGER NOT NULL, "
             "message_code TEXT NOT NULL, message_text TEXT NOT NULL)");
    if (!ready) {
        const QString reason = m_error;
        close();
        m_error = reason;
    }
    return ready;
}

void OfflineJournal::close()
{
    if (m_db)
        sqlite3_close(m_db);
    m_db = nullptr;
}

bool OfflineJournal::fail(const char* what)
{
    m_error = QString::fromLatin1(what) + QStringLiteral(": ") +
              (m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("no journal"));
    return false;
}

bool OfflineJournal::exec(const char* sql)
{
    if (!m_db)
        return fail(sql);
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK || fail(sql);
}

int OfflineJournal::count(const char* sql)
{
    if (!m_db)
        return 0;
    Statement statement(m_db, sql);
    return statement.ok() && statement.step() == SQLITE_ROW ? int(statement.number(0)) : 0;
}

bool OfflineJournal::append(OfflineScan& scan)
{
    if (!m_db)
        return fail("append");
    if (scan.key.isEmpty())
        scan.key = QUuid::createUuid().toString(QUuid::WithoutBraces);
    Statement insert(m_db, "INSERT INTO scans (scan_key, scan_time, worker, location, mode, reader_code, "
                           "book_code, uncertain) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    if (!insert.ok())
        return fail("append");
    bindScan(insert, scan);
    // Outside a transaction the insert commits at once, synced to disk before it returns.
    if (insert.step() != SQLITE_DONE)
        return fail("append");
    scan.serial = sqlite3_last_insert_rowid(m_db);
    return true;
}

QList<OfflineScan> OfflineJournal::waiting(int limit, const QStringList& skipped)
{
    QList<OfflineScan> scans;
    if (!m_db)
        return scans;
    // Few workers ever share a desk: they are left out as they come.
    Statement select(m_db, (QStringLiteral("SELECT ") + QLatin1String(ScanColumns) +
                            QStringLiteral(" FROM scans ORDER BY serial"))
                               .toUtf8()
                               .constData());
    if (!select.ok()) {
        fail("waiting");
        return scans;
    }
    while (scans.size() < limit && select.step() == SQLITE_ROW) {
        OfflineScan scan = scanFrom(select);
        if (!skipped.contains(scan.worker))
            scans.append(scan);
    }
    return scans;
}

int OfflineJournal::waitingCount()
{
    return count("SELECT count(*) FROM scans");
}

QStringList OfflineJournal::waitingWorkers()
{
    QStringList workers;
    if (!m_db)
        return workers;
    Statement select(m_db, "SELECT DISTINCT worker FROM scans ORDER BY worker");
    while (select.ok() && select.step() == SQLITE_ROW)
        workers << select.text(0);
    return workers;
}

bool OfflineJournal::remove(const OfflineScan& scan)
{
    if (!m_db)
        return fail("remove");
    Statement remove(m_db, "DELETE FROM scans WHERE scan_key = ?");
    if (!remove.ok())
        return fail("remove");
    remove.bind(1, scan.key);
    return remove.step() == SQLITE_DONE || fail("remove");
}

bool OfflineJournal::refuse(const OfflineScan& scan, const QString& messageCode, const QString& messageText)
{
    if (!exec("BEGIN IMMEDIATE"))
        return false;
    Statement insert(m_db, "INSERT INTO refused (serial, scan_key, scan_time, worker, location, mode, "
                           "reader_code, book_code, uncertain, message_code, message_text) "
                           "VALUES (?10, ?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?11)");
    Statement remove(m_db, "DELETE FROM scans WHERE scan_key = ?");
    bool ok = insert.ok() && remove.ok();
    if (ok) {
        bindScan(insert, scan);
        insert.bind(9, messageCode);
        insert.bind(10, scan.serial);
        insert.bind(11, messageText);
        remove.bind(1, scan.key);
        ok = insert.step() == SQLITE_DONE && remove.step() == SQLITE_DONE;
    }
    if (!ok) {
        fail("refuse");
        const QString reason = m_error;
        exec("ROLLBACK");
        m_error = reason;
        return false;
    }
    return exec("COMMIT");
}

QList<RefusedScan> OfflineJournal::refused()
{
    QList<RefusedScan> list;
    if (!m_db)
        return list;
    Statement select(m_db, (QStringLiteral("SELECT ") + QLatin1String(ScanColumns) +
                            QStringLiteral(", message_code, message_text FROM refused ORDER BY serial"))
                               .toUtf8()
                               .constData());
    while (select.ok() && select.step() == SQLITE_ROW)
        list.append({scanFrom(select), select.text(9), select.text(10)});
    return list;
}

int OfflineJournal::refusedCount()
{
    return count("SELECT count(*) FROM refused");
}

bool OfflineJournal::clearRefused()
{
    return exec("DELETE FROM refused");
}
