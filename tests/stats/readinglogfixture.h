#pragma once

// Reading events of the test days in the three log tables, and the desk state the log windows
// read (operator A001 at R1, messages, parameters, code tables, MARC index parameters).

#include "startup/operatorsession.h"
#include "support/deskdata.h"
#include "support/testdatabase.h"

#include <QTest>

// Three events on 2030-01-01 in each log, at 08:00:00 (R1, A001, reader type 10), 09:30:00 (R2,
// B002, type 30) and 12:00:00 (R1, B002, type 20): readers R0000001, R0000002, R0000004 with the
// books P0000001, P0000002, P0000003.
inline void insertQueryDay(const TestDatabase& db)
{
    db.exec(QStringLiteral(
        "INSERT INTO reader_stat (cert_id, read_date_time, location_f, resp_wkr) VALUES "
        "('R0000001', '2030-01-0108:00:00', 'R1', 'A001'), ('R0000002', '2030-01-0109:30:00', 'R2', 'B002'), "
        "('R0000004', '2030-01-0112:00:00', 'R1', 'B002');"
        "INSERT INTO book_use_stat (prop_no, use_date_time, location_f, resp_wkr) VALUES "
        "('P0000001', '2030-01-0108:00:00', 'R1', 'A001'), ('P0000002', '2030-01-0109:30:00', 'R2', 'B002'), "
        "('P0000003', '2030-01-0112:00:00', 'R1', 'B002');"
        "INSERT INTO reader_book_stat (prop_no, cert_id, date_time, location_f, resp_wkr) VALUES "
        "('P0000001', 'R0000001', '2030-01-0108:00:00', 'R1', 'A001'), "
        "('P0000002', 'R0000002', '2030-01-0109:30:00', 'R2', 'B002'), "
        "('P0000003', 'R0000004', '2030-01-0112:00:00', 'R1', 'B002')"));
}

// Four events in each log around 2024-03-01: the evening before, the day's first and last second
// and the next day's first. Earlier purges of them are undone first.
inline void insertPurgeDays(const TestDatabase& db)
{
    const QString times =
        QStringLiteral("(VALUES ('2024-02-2923:59:59'), ('2024-03-0100:00:00'), ('2024-03-0123:59:59'), "
                       "('2024-03-0200:00:00')) t(at)");
    db.exec(QStringLiteral("DELETE FROM reader_stat WHERE read_date_time < '2025';"
                           "DELETE FROM book_use_stat WHERE use_date_time < '2025';"
                           "DELETE FROM reader_book_stat WHERE date_time < '2025';"
                           "INSERT INTO reader_stat (cert_id, read_date_time, location_f, resp_wkr) "
                           "SELECT 'R0000001', at, 'R1', 'A001' FROM %1;"
                           "INSERT INTO book_use_stat (prop_no, use_date_time, location_f, resp_wkr) "
                           "SELECT 'P0000001', at, 'R1', 'A001' FROM %1;"
                           "INSERT INTO reader_book_stat (prop_no, cert_id, date_time, location_f, resp_wkr) "
                           "SELECT 'P0000001', 'R0000001', at, 'R1', 'A001' FROM %1")
                .arg(times));
}

// The operator A001, with or without the purge right 4023.
inline void setOperator(bool purgeRight)
{
    OperatorSession& op = OperatorSession::current();
    op.workerNumber = QStringLiteral("A001");
    op.location = QStringLiteral("R1");
    const QStringList rights = purgeRight ? QStringList{"4022", "4023"} : QStringList{"4022"};
    op.moduleRights = ResultTable(1, int(rights.size()));
    for (int row = 0; row < rights.size(); ++row)
        op.moduleRights.setValue(0, row + 2, rights.at(row));
}

// Connects to the copy, loads what the log windows read, and adds the query day's events.
inline void openDesk(const TestDatabase& db, const QString& home)
{
    loadDeskData(db, home);
    setOperator(true);
    insertQueryDay(db);
}
