#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// A field the general reader search offers in its condition grid.
struct ReaderSearchField
{
    QString column;     // "READER.name"
    QString caption;    // from the reader display captions, else the column
    int itemType = 0;   // the start-up item list of its codes (11 to 15); 0: typed freely
    bool named = false; // the list's entries are codes shown with their names
};

// One entry of a code field's list: the text sent and the text shown.
struct ReaderSearchCode
{
    QString value; // empty for "[不定]" (no restriction)
    QString shown;
};

// What the search window's options and boxes ask for.
struct ReaderSearchCriteria
{
    enum Option { BarcodeRange = 0, CertIdRange = 1, DateRange = 2, Combined = 3 };
    Option option = Combined;
    bool exactMatch = false;                   // "完全匹配"; otherwise "前方匹配"
    QString from;                              // "起 始：" (ranges) or the first date
    QString to;                                // "截 至：" or the second date
    QList<QPair<QString, QString>> conditions; // (column, value) of the grid's rows
};

namespace ReaderSearch {
extern const QString noRestriction; // "[不定]"

// The fields of the condition grid, in the order offered. The lists: 11 department, 12
// occupation, 13 grade group (code01), 14 department code, 15 reader type.
QList<ReaderSearchField> fields();
// The entries of a field's list, "[不定]" first; empty for a field typed freely.
QList<ReaderSearchCode> codes(const ReaderSearchField& field);

// The search statement, or an empty text with the refusal's message code in `refusal`:
// "条码号或者证件号空间不许为空!" for a range without ends, "时间输入错误!" for a date that is not
// "yyyy-mm-dd", EBM003 for combined conditions without any value (a search of every reader).
QString statement(const ReaderSearchCriteria& criteria, QString* refusal);

// The column a quick-lookup kind searches, as the condition grid names it.
QString columnOfKind(int kind);
} // namespace ReaderSearch
