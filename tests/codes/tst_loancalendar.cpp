// Code lists, group limits and the due-date calendar, on tables built by the tests.
#include "codes/codetables.h"
#include "codes/loancalendar.h"
#include "codes/rulematching.h"
#include "tablerows.h"

#include <QTest>
#include <ctime>

namespace {

// "2024-05-01~2024-05-05+2;…": closing periods of one location with their extra days.
ResultTable closingPeriodsOf(const QString& text)
{
    QList<QStringList> rows;
    for (const QString& period : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString days = period.section(QLatin1Char('+'), 0, 0);
        rows.append({days.section(QLatin1Char('~'), 0, 0), days.section(QLatin1Char('~'), 1, 1),
                     period.section(QLatin1Char('+'), 1, 1), QStringLiteral("R1")});
    }
    return tableOf({"close_bgn_day", "close_end_day", "ext_days", "location"}, rows);
}

// "MON=o,SAT=c,…": one opening-times row per listed week day, open (o), closed all day (c) or
// closed only in the morning and evening (p).
ResultTable openingTimesOf(const QString& text)
{
    QList<QStringList> rows;
    for (const QString& day : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString state = day.section(QLatin1Char('='), 1, 1);
        const QString morning =
            state == QLatin1String("o") ? QStringLiteral("08:00") : QStringLiteral("00:00");
        const QString afternoon =
            state == QLatin1String("c") ? QStringLiteral(" 00:00 ") : QStringLiteral("14:00");
        rows.append({morning, afternoon, QStringLiteral("00:00"), day.section(QLatin1Char('='), 0, 0),
                     QStringLiteral("R1")});
    }
    return tableOf({"morn_open_time", "aftn_open_time", "even_open_time", "week", "location"}, rows);
}

const QString workingWeek = QStringLiteral("MON=o,TUE=o,WED=o,THU=o,FRI=o,SAT=c,SUN=c");

} // namespace

class TestLoanCalendar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A zone with daylight saving: loan hours must not follow the local clock.
    void initTestCase()
    {
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }

    void codeList_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("admitted");

        const auto add = [](const char* row, const char* list, const char* value, bool admitted) {
            QTest::newRow(row) << QString::fromLatin1(list) << QString::fromLatin1(value) << admitted;
        };
        add("star", "*", "X9", true);
        add("star with blanks", " * ", "X9", true);
        add("prefix alone", "A*", "A", true);
        add("two prefixes, first", "A*,B*", "A17", true);
        add("two prefixes, second is literal", "A*,B*", "B*", true);
        add("two prefixes, second not a prefix", "A*,B*", "B01", false);
        add("list item", "A01,B02", "B02", true);
        add("list item shorter", "A01,B02", "B0", false);
        add("list item with blank", "A01,B02", " B02", false);
        add("items are not trimmed", "A01, B02", "B02", false);
        add("empty list", "", "", false);
    }
    void codeList()
    {
        QFETCH(QString, list);
        QFETCH(QString, value);
        QTEST(InCodeList(value, list), "admitted");
    }

    void groupLimit_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("readerType");
        QTest::addColumn<int>("row");

        QTest::newRow("first row") << QStringLiteral("G2") << QStringLiteral("T9") << 2;
        QTest::newRow("second row by reader type") << QStringLiteral("G3") << QStringLiteral("T1") << 3;
        QTest::newRow("prefix group") << QStringLiteral("G7") << QStringLiteral("T2") << 4;
        QTest::newRow("none") << QStringLiteral("H1") << QStringLiteral("T2") << -1;
    }
    void groupLimit()
    {
        QFETCH(QString, group);
        QFETCH(QString, readerType);
        CodeTables::instance().setTable(CodeTable::GroupLimits,
                                        tableOf({"r_group_id", "redr_type_code_r", "max_lend_qty"},
                                                {{"G1,G2", "*", "2"}, {"*", "T1", "5"}, {"G*", "T2", "0"}}));
        QTEST(FindGroupLimit(group, readerType), "row");
    }

    void adjustDueDate_data()
    {
        QTest::addColumn<QString>("periods");
        QTest::addColumn<QString>("week");
        QTest::addColumn<QString>("due");
        QTest::addColumn<QString>("adjusted");

        const auto add = [](const char* row, const char* periods, const QString& week, const char* due,
                            const char* adjusted) {
            QTest::newRow(row) << QString::fromLatin1(periods) << week << QString::fromLatin1(due)
                               << QString::fromLatin1(adjusted);
        };
        const char* may = "2024-05-01~2024-05-05+0";
        add("first day of a period", may, {}, "2024-05-01", "2024-05-06");
        add("last day of a period", may, {}, "2024-05-05", "2024-05-06");
        add("extra days", "2024-05-01~2024-05-05+2", {}, "2024-05-05", "2024-05-08");
        add("adjacent periods", "2024-05-01~2024-05-05+0;2024-05-06~2024-05-08+1", {}, "2024-05-03",
            "2024-05-10");
        add("overlapping periods", "2024-06-10~2024-06-20+0;2024-06-15~2024-06-25+0", {}, "2024-06-12",
            "2024-06-26");
        add("overlapping, later listed first", "2024-06-15~2024-06-25+0;2024-06-10~2024-06-20+0", {},
            "2024-06-12", "2024-06-26");
        // 2024-05-04 is a Saturday.
        add("closed saturday and sunday", "", workingWeek, "2024-05-04", "2024-05-06");
        add("period ending on a friday", "2024-05-08~2024-05-10+0", workingWeek, "2024-05-08", "2024-05-13");
        add("weekend into a period", "2024-05-20~2024-05-21+0", workingWeek, "2024-05-18", "2024-05-22");
        add("open only in the afternoon", "", QStringLiteral("SAT=p"), "2024-05-04", "2024-05-04");
        add("week day without a row is open", "", QStringLiteral("SUN=c"), "2024-05-04", "2024-05-04");
        add("closed day without a row after it", "", QStringLiteral("SAT=c"), "2024-05-04", "2024-05-05");
        // Closed on every week day: the walk still ends, after a whole week.
        add("closed all week", "", QStringLiteral("MON=c,TUE=c,WED=c,THU=c,FRI=c,SAT=c,SUN=c"), "2024-05-04",
            "2024-05-11");
    }
    void adjustDueDate()
    {
        QFETCH(QString, periods);
        QFETCH(QString, week);
        QFETCH(QString, due);
        QTEST(AdjustDueDate(due, closingPeriodsOf(periods), openingTimesOf(week)), "adjusted");
    }

    void newLoanDueDate_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("term");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("due");

        QTest::newRow("48 hours") << QStringLiteral("H") << 48 << QStringLiteral("2024-03-0110:00:00")
                                  << QStringLiteral("2024-03-0310:00:00");
        QTest::newRow("hours over a daylight-saving change")
            << QStringLiteral("H") << 24 << QStringLiteral("2024-03-3012:00:00")
            << QStringLiteral("2024-03-3112:00:00");
        QTest::newRow("days into a closing period")
            << QStringLiteral("D") << 3 << QStringLiteral("2024-05-0209:12:00")
            << QStringLiteral("2024-05-06");
    }
    void newLoanDueDate()
    {
        QFETCH(QString, unit);
        QFETCH(int, term);
        QFETCH(QString, now);
        CircRule rule;
        rule.timeUnit = unit;
        rule.normTerm = term;
        const LoanCalendar calendar{closingPeriodsOf(QStringLiteral("2024-05-01~2024-05-05+0")),
                                    openingTimesOf({})};
        const QString actual = LIB_NewLoanDueDate(rule, now, calendar);
        QTEST(actual, "due");
        QCOMPARE(actual.size(), unit == QLatin1String("D") ? 10 : 18);
    }
};

QTEST_GUILESS_MAIN(TestLoanCalendar)
#include "tst_loancalendar.moc"
