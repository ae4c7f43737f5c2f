#pragma once

#include <QString>

// The record of the last database failure, filled by the failing routine and reported and cleared
// by LIB_DB_ShowError.
struct ErrorRecord
{
    enum Code { None = 0, ConnectFailed = 1001, SelectFailed = 1003, StatementFailed = 1005 };

    long code = None;
    long oracleNumber = 0; // the number after "ORA-" in the server's error text, -1 without one
    QString description;
    QString routine; // "LIB_DB_Connect", "LIB_DB_Select", "LIB_DB_Execute", "LIB_DB_CallProc"

    // A program fault that is reported like a database failure (5, 6, 364 or any other number).
    int pendingFault = 0;
    QString pendingFaultDescription;

    void clear() { *this = ErrorRecord(); }
};

// Oracle error numbers that the reporter distinguishes, derived from the server's SQLSTATE.
namespace OraNumber {
constexpr long UniqueViolated = 1;
constexpr long ResourceBusy = 54;
constexpr long ParentKeyNotFound = 2291;
constexpr long ChildRecordFound = 2292;
constexpr long ConnectionLost = 3113;
// The server broke a deadlock, or could not serialise the transaction: it was rolled back whole,
// and running it again will normally go through.
constexpr long Deadlock = 60;
constexpr long CannotSerialize = 8177;
constexpr bool isTransient(long number)
{
    return number == Deadlock || number == CannotSerialize;
}
} // namespace OraNumber
