#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The book search by MARC index: one condition of the item window's search box, or the rows of
// the book search window combined into one statement.
namespace BookSearch {

extern const QString noRestriction; // "<不定>"

enum Operator { Prefix = 0, Anywhere = 1, Exact = 2 }; // "前方匹配", "任意匹配", "完全匹配"
const QStringList& operatorCaptions();

// Search paths besides the index groups.
extern const QString callNoPath;  // "91"
extern const QString propNoPath;  // "92"
extern const QString barcodePath; // "93"

struct Condition
{
    QString path; // index group or 91/92/93; "<不定>" or empty: no restriction
    Operator op = Prefix;
    QString value;
    bool isSet() const { return !value.isEmpty() && !path.isEmpty() && path != noRestriction; }
    bool isIndexRow() const { return path != callNoPath && path != propNoPath && path != barcodePath; }
};

// The value with the operator's wildcards: "v%", "%v%" or "v". Index groups hold their text in
// upper case, so an index value is upper-cased first.
QString pattern(const Condition& condition);
// A quoted pattern; with the long-MARC flag an index pattern is written for unistr: "\" and four
// hexadecimal digits per UTF-16 unit.
QString quotedIndexPattern(const QString& pattern, bool longMarc);

// The statement of one condition (the item window's search box). Empty when it has no value.
QString singleStatement(const Condition& condition, bool longMarc);

// The statement of the book search window's rows (numbered by their position). Empty with EBM003
// in `refusal` when no row has a value.
QString combinedStatement(const QList<Condition>& rows, bool longMarc, QString* refusal);

// The MARC record of an item, by property number or by barcode.
QString itemStatement(const QString& propNo);
QString itemBarcodeStatement(const QString& barcode);

// Runs a search statement: 0 with the MARC record numbers, -1 with the error record filled.
int find(const QString& statement, QStringList& marcRecNos);

} // namespace BookSearch
