#pragma once

// The classification statistics engine: the classes ("sub-statistics") of a template with their
// composition rows, the condition of each class on call number and scheme, and the calls of the
// server's package TJ_SORT, which count every class of a template in one call.

#include "db/resulttable.h"

#include <QList>
#include <QString>
#include <QStringList>

// The client-side lists of the prepared template, in the shape of every query result (row 0
// the column names, row 1 the types, data from row 2). Replaced by every PrepareStatLists.
struct StatLists
{
    ResultTable subStats;     // SUB_STAT_CODE, SUB_STAT_NAME in sub_stat_code order
    ResultTable schemes;      // the distinct cls_id of the template
    ResultTable compositions; // SUB_STAT_CODE, CLS_ID, COMP_CLS in sub_stat_code order

    int classCount() const { return subStats.recordCount(); }
    QString code(int index) const { return subStats.text(0, index + 2); } // index from 0
    QString name(int index) const { return subStats.text(1, index + 2); }
    // The composition texts of a class joined with ";" (the grids' class-number column).
    QString patterns(const QString& subStatCode) const;
};

StatLists& LIB_StatLists();

// Fills the lists from the template's tables; each failing query shows the database error.
int LoadStatType(const QString& statTypeCode);
// LoadStatType for a template code; the empty code builds the lists from the one-off template.
int PrepareStatLists(const QString& statTypeCode);

// The condition of a class over <table>.call_no and <table>.cls_id. A class without composition
// rows counts nothing: its condition " (1=0) " is never true, so its row shows no events.
QString BuildClassCondition(const QString& table, const QString& subStatCode);
QString LIB_EmptyClassCondition();

// The package calls. 0 on success, -1 on failure (the caller shows the database error), also
// when the prepared template has no classes (no call is made then).
// result: one slot per class with its figures split at ",", then one empty slot.
int CallCommonSortData(const QString& statement, const QString& table, QList<QStringList>& result);
int CallGroupData(const QString& statement, const QString& table, const QString& extra);
// result: slot 0 the row count and the number of figures of the first row, then one slot per row.
int CallBulkData(const QString& statement, QList<QStringList>& result);

// A spreadsheet column name one or two letters long, shifted n letters on ("Y" + 3 = "AB").
QString LIB_ShiftColumnLetter(const QString& column, int n);
