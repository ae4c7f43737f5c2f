#pragma once

#include "deskcontext.h"

#include <QList>
#include <QString>
#include <QStringList>

struct sqlite3;

// A scan the desk could not record because the server was out of reach: kept in the offline
// journal until the desk records it through its own operations.
struct OfflineScan
{
    qint64 serial = 0; // the journal's order of the scans
    QString key;       // unique for every scan ever made at any desk
    QString scanTime;  // the server's time of the scan as the desk estimated it, "yyyy-mm-ddhh:mm:ss"
    QString worker;
    QString location;
    DeskMode mode = DeskMode::ReaderCheckIn; // counting, check-in or registration
    QString readerCode;                      // check-in and registration: the card as scanned
    QString bookCode;                        // counting and registration
    // The connection broke at the commit of this scan's event: the server may hold it already.
    bool uncertain = false;
};

// A journaled scan that the desk's checks refused when it caught up, with what they said.
struct RefusedScan
{
    OfflineScan scan;
    QString messageCode; // the message as the check gave it ("ELT103", "E读者不能进入该阅览室！")
    QString messageText; // as the operator would have read it
};

// The offline journal: an SQLite file in the program directory, written in WAL mode with full
// synchronous commits, so that a scan the desk has answered survives the desk's or the machine's
// crash. Scans wait in order; refused scans stay listed until the operator clears them.
// Every routine returns false (or an empty list) when the file fails; error() says why.
class OfflineJournal
{
public:
    OfflineJournal() = default;
    ~OfflineJournal();
    OfflineJournal(const OfflineJournal&) = delete;
    OfflineJournal& operator=(const OfflineJournal&) = delete;

    // The journal's file in a program directory (ending in "/").
    static QString pathIn(const QString& programDirectory);

    bool open(const QString& path);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    QString error() const { return m_error; }

    // Writes the scan, giving it its serial and (when it has none) a new key.
    bool append(OfflineScan& scan);
    // The oldest waiting scans, at most `limit`, leaving out those of the `skipped` workers.
    QList<OfflineScan> waiting(int limit, const QStringList& skipped = {});
    int waitingCount();
    QStringList waitingWorkers();
    // A scan recorded: it leaves the journal.
    bool remove(const OfflineScan& scan);
    // A scan refused: it moves to the refused list, in one transaction.
    bool refuse(const OfflineScan& scan, const QString& messageCode, const QString& messageText);
    QList<RefusedScan> refused();
    int refusedCount();
    bool clearRefused();

private:
    bool exec(const char* sql);
    bool fail(const char* what);
    int count(const char* sql);

    sqlite3* m_db = nullptr;
    QString m_error;
};
