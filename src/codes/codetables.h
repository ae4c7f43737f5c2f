#pragma once

// The code tables read from the server once after the first login and looked up for the rest of
// the run, and the desk location list that depends on the kind of desk.

#include "db/resulttable.h"

#include <QString>
#include <array>

// The cached tables, in the order they are loaded (which is also the order of failure).
enum class CodeTable {
    CircRules,
    RuleComponents,
    StatTypes,
    Locations,
    CircTypes,
    CircTypeByClass,
    Classifications,
    ClassGroups,
    StatTemplates,
    DocTypes,
    Carriers,
    GetModes,
    Languages,
    Countries,
    ReaderTypes,
    LendGrades,
    Violations,
    Workers,
    ClosingPeriods,
    OpeningTimes,
    Departments,
    LocationGroups,
    GroupLimits,
};
constexpr int CodeTableCount = int(CodeTable::GroupLimits) + 1;

// Column positions of the tables that other parts of the desk compute with.
namespace RuleComponentColumn {
enum { No, RuleNo, LocationCodes, CircTypeCodes, ReaderTypeCodes, DepartmentId };
}
namespace ReaderTypeColumn {
enum { Code, Name, CheckValidityPeriod, MaxLendQty, MaxDebtAmt, MaxPregQty, MaxPregDays };
}
namespace GroupLimitColumn {
enum { GroupCodes, ReaderTypeCodes, MaxLendQty };
}
namespace ClosingPeriodColumn {
enum { BeginDay, EndDay, ExtDays, Location };
}
namespace OpeningTimeColumn {
enum { Morning, Afternoon, Evening, Week, Location };
}
// The desk location list.
namespace LocationColumn {
enum { Location, Name, Property, ShortName, LendLocations, ReturnLocations, FineLocations, GroupId };
}

class CodeTables
{
public:
    static CodeTables& instance();

    // The statement that fills a table, exactly as it is sent.
    static QString query(CodeTable table);
    // The desk location list for an operation type; -1 lists every location.
    static QString deskLocationQuery(int operationType);

    const ResultTable& table(CodeTable table) const { return m_tables[int(table)]; }
    // Replaces one cached table (tests build their own tables this way).
    void setTable(CodeTable table, ResultTable rows) { m_tables[int(table)] = std::move(rows); }
    void clear();

    const ResultTable& deskLocations() const { return m_deskLocations; }
    int deskOperationType() const { return m_deskOperationType; }
    void setDeskLocations(ResultTable rows, int operationType);

private:
    CodeTables() = default;
    std::array<ResultTable, CodeTableCount> m_tables;
    ResultTable m_deskLocations;
    int m_deskOperationType = 0;
};

// Shorthand for CodeTables::instance().table(t).
const ResultTable& LIB_CodeTable(CodeTable table);

// Loads every code table in order. Stops at the first failed query with -1 and no message: the
// error record stays filled for the caller, and the tables after the failed one keep their rows.
int LIB_LoadCodeTables();

// Loads the desk location list for an operation type (3 for reading rooms, -1 for all
// locations). -1 without a message on failure; the previous list then stays.
int LIB_LoadLocations(int operationType);
