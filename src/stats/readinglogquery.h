#pragma once

// The reading-log query: the three logs, the bounds, the filters and the statements sent for them.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

// The logs the query lists, in the order of its kind box.
enum class ReadingLogKind { Reader = 0, Book = 1, ReaderBook = 2 };

// The kind box's text: "读者方式", "图书方式" or "读者图书方式".
QString readingLogKindText(ReadingLogKind kind);

// A bound as event times are stored: "yyyy-mm-dd" directly followed by "hh:mm:ss".
QString readingLogBound(const QDate& date, const QTime& time);

// The codes of the ticked filter boxes. An empty list adds no condition; the book log has no
// reader-type condition.
struct ReadingLogFilters
{
    QStringList locations;
    QStringList workers;
    QStringList readerTypes;
};

// The codes quoted and joined with ",".
QString readingLogCodeList(const QStringList& codes);

// The log statement of a kind for the bounds (both included) and the filters, ordered by time.
QString readingLogStatement(ReadingLogKind kind, const QString& from, const QString& to,
                            const ReadingLogFilters& filters);

// A member of staff who works in this module, as the staff filter lists them.
struct ReadingLogStaff
{
    QString name;
    QString number;
};

// The staff whose code1 holds "4", in number order. 0, or -1 after the database error was shown;
// "ITJ008" is shown when there are none.
int readReadingLogStaff(QList<ReadingLogStaff>& staff);
