// The statistics engine against the demo library: class conditions (their text, what they
// select, and that the server builds the same text for its summaries), the lists of stored and
// one-off templates, the package calls with bound arrays, and the column letter shift.
#include "codes/codetables.h"
#include "db/boundcall.h"
#include "db/database.h"
#include "db/sysparams.h"
#include "stats/oneofftemplate.h"
#include "stats/statengine.h"
#include "support/recordingpresenter.h"
#include "support/testdatabase.h"

#include <QTest>

namespace {

// Composition rows "scheme|pattern" of one class "01".
ResultTable compositionsOf(const QStringList& rows)
{
    ResultTable table(3, int(rows.size()));
    const QStringList names{QStringLiteral("SUB_STAT_CODE"), QStringLiteral("CLS_ID"),
                            QStringLiteral("COMP_CLS")};
    for (int c = 0; c < 3; ++c)
        table.setValue(c, 0, names.at(c));
    for (int r = 0; r < rows.size(); ++r) {
        table.setValue(0, r + 2, QStringLiteral("01"));
        table.setValue(1, r + 2, rows.at(r).section(QLatin1Char('|'), 0, 0));
        table.setValue(2, r + 2, rows.at(r).section(QLatin1Char('|'), 1));
    }
    return table;
}

QString sqlArray(const QStringList& values)
{
    QStringList quoted;
    for (const QString& value : values)
        quoted.append(LIB_SQLQuote(value));
    return QStringLiteral("ARRAY[") + quoted.join(QLatin1Char(',')) + QStringLiteral("]::text[]");
}

} // namespace

class TestStatEngine : public QObject
{
    Q_OBJECT
    TestDatabase db{QStringLiteral("statengine")};

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(db.isReady());
        RecordingPresenter::install();
        QCOMPARE(db.connectCurrentSession(), 0);
        QCOMPARE(LIB_LoadBaseData(), 0);
        QCOMPARE(LIB_LoadCodeTables(), 0);
    }

    void classCondition_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("expected"); // empty: not compared
        QTest::addColumn<QString>("selected"); // of the pairs below, "scheme:call number"
        QTest::newRow("range and prefix")
            << QStringList{"1|A~B", "1|TP3"} << QString() << "1:A,1:A1,1:B,1:B999,1:TP3,1:TP311";
        QTest::newRow("list of prefixes and a range")
            << QStringList{"1|TP1,TP2~TP3"} << QString() << "1:TP1,1:TP2,1:TP3,1:TP311";
        QTest::newRow("blanks around the pattern") << QStringList{"1|  TP3 "} << QString() << "1:TP3,1:TP311";
        QTest::newRow("another scheme") << QStringList{"2|A"} << QString() << "2:A1";
        QTest::newRow("apostrophe") << QStringList{"1|K'2"} << QString() << "1:K'21";
        QTest::newRow("no composition rows") << QStringList{} << QStringLiteral(" (1=0) ") << QString();
    }
    void classCondition()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, expected);
        QFETCH(QString, selected);
        LIB_StatLists().compositions = compositionsOf(rows);
        const QString condition =
            BuildClassCondition(QStringLiteral("redr_book_stat_hist"), QStringLiteral("01"));
        if (!expected.isEmpty())
            QCOMPARE(condition, expected);
        // The server writes the same text, which is how it recognises a stored template's class.
        QStringList schemes, patterns;
        for (const QString& row : rows) {
            schemes.append(row.section(QLatin1Char('|'), 0, 0));
            patterns.append(row.section(QLatin1Char('|'), 1));
        }
        QCOMPARE(db.scalar(QStringLiteral(
                               "SELECT '[' || tj_sort.class_condition('redr_book_stat_hist', %1, %2) || ']'")
                               .arg(sqlArray(schemes), sqlArray(patterns))),
                 QLatin1Char('[') + condition + QLatin1Char(']'));
        const QString pairs =
            QStringLiteral("('1','A'),('1','A1'),('1','B'),('1','B999'),('1','C1'),('1','0'),"
                           "('1','TP1'),('1','TP2'),('1','TP3'),('1','TP311'),('1','TP4'),"
                           "('1','K''21'),('2','A1'),('1',NULL)");
        QCOMPARE(db.scalar(QStringLiteral(
                               "SELECT string_agg(cls_id || ':' || call_no, ',' ORDER BY call_no, cls_id) "
                               "FROM (VALUES %1) AS redr_book_stat_hist(cls_id, call_no) WHERE true AND %2")
                               .arg(pairs, condition)),
                 selected);
    }

    void lists_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("oneOff"); // class name|scheme name|pattern
        QTest::addColumn<QString>("classes");    // code:name, ...
        QTest::addColumn<QString>("compositions");
        QTest::addColumn<QString>("schemes");
        QTest::newRow("classes in use only")
            << "U01" << QStringList{} << "01:计算机技术,02:无线电电子学、电信技术,03:自动化技术"
            << QString("01/1/TP3,01/4/004~006,02/1/TN,03/1/TP1,TP2") << "1,4";
        QTest::newRow("one-off: a name once, codes in order of first appearance")
            << QString()
            << QStringList{"文学|中国图书馆分类法|I", "计算机|中国图书馆分类法|TP3", "文学|杜威十进分类法|8"}
            << "01:文学,02:计算机" << QString("01/1/I,02/1/TP3,01/4/8") << "1,4";
    }
    void lists()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, oneOff);
        QList<OneOffTemplate::Row> rows;
        for (const QString& row : oneOff)
            rows.append({row.section('|', 0, 0), row.section('|', 1, 1), row.section('|', 2)});
        OneOffTemplate::current().setRows(rows);
        QCOMPARE(PrepareStatLists(code), 0);
        const StatLists& lists = LIB_StatLists();
        QStringList classes, compositions, schemes;
        for (int i = 0; i < lists.classCount(); ++i)
            classes.append(lists.code(i) + QLatin1Char(':') + lists.name(i));
        for (int r = 2; r < lists.compositions.recordCount() + 2; ++r)
            compositions.append(lists.compositions.text(0, r) + QLatin1Char('/') +
                                lists.compositions.text(1, r) + QLatin1Char('/') +
                                lists.compositions.text(2, r));
        for (int r = 2; r < lists.schemes.recordCount() + 2; ++r)
            schemes.append(lists.schemes.text(0, r));
        schemes.sort();
        QTEST(classes.join(QLatin1Char(',')), "classes");
        QTEST(compositions.join(QLatin1Char(',')), "compositions");
        QTEST(schemes.join(QLatin1Char(',')), "schemes");
    }

    // The package calls: figures per class equal the statement run class by class; text arrays
    // travel both ways whatever their characters; no classes, no call.
    void packageCalls_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("statement");
        QTest::newRow("readers by class")
            << "S02"
            << " SELECT SUM(decode(reader.redr_type_code,'10' ,1,0)) || ',' || "
               "SUM(decode(reader.redr_type_code,'30' ,1,0)) FROM  redr_book_stat_hist "
               ",reader  WHERE redr_book_stat_hist.cert_id = reader.cert_id ";
        QTest::newRow("titles by class")
            << "U01"
            << " SELECT COUNT(distinct redr_book_stat_hist.marc_rec_no)|| ',' ||"
               "        COUNT(redr_book_stat_hist.prop_no)  FROM   redr_book_stat_hist "
               "WHERE SUBSTR(redr_book_stat_hist.date_time,1,2)='20'";
    }
    void packageCalls()
    {
        QFETCH(QString, code);
        QFETCH(QString, statement);
        QCOMPARE(PrepareStatLists(code), 0);
        QList<QStringList> result;
        QCOMPARE(CallCommonSortData(statement, QStringLiteral("redr_book_stat_hist"), result), 0);
        const StatLists& lists = LIB_StatLists();
        QCOMPARE(result.size(), lists.classCount() + 1);
        QVERIFY(result.last().isEmpty());
        for (int i = 0; i < lists.classCount(); ++i) {
            const QString expected =
                db.scalar(statement + QStringLiteral(" AND ") +
                          BuildClassCondition(QStringLiteral("redr_book_stat_hist"), lists.code(i)));
            QCOMPARE(result.at(i).join(QLatin1Char(',')),
                     expected.isEmpty() ? QStringLiteral(",") : expected);
        }
        QCOMPARE(CallBulkData(statement, result), 0);
        QCOMPARE(result.size(), 2);
        QCOMPARE(result.at(0), (QStringList{"1", "2"}));
        QCOMPARE(result.at(1).join(QLatin1Char(',')), db.scalar(statement));

        // No classes: -1 and nothing sent.
        LIB_StatLists() = StatLists();
        const long trips = DbSession::current().roundTrips();
        QCOMPARE(CallCommonSortData(statement, QStringLiteral("redr_book_stat_hist"), result), -1);
        QCOMPARE(CallGroupData(statement, QStringLiteral("redr_book_stat_hist"), QString()), -1);
        QCOMPARE(DbSession::current().roundTrips(), trips);
    }

    void boundArrays()
    {
        // Each condition completes " SELECT " to a literal, so the class-by-class answer echoes it.
        const QStringList values{"a\"b", "c,d", "e\\f", "{g}", "", "NULL", "汉字 'x'"};
        QStringList conditions;
        for (const QString& value : values)
            conditions.append(LIB_SQLQuote(value));
        BoundParameters parameters;
        parameters.bind(QStringLiteral("STRSQL"), QStringLiteral(" SELECT "));
        parameters.bind(QStringLiteral("ARRAYSIZE"), QString::number(values.size()));
        parameters.bindArray(QStringLiteral("CONDITION"), conditions);
        parameters.bindArray(QStringLiteral("RESULT"), {}, BoundParameters::Output);
        QCOMPARE(LIB_DB_ExecuteBound(QStringLiteral("Begin TJ_SORT.GetCommonSortData( :STRSQL, :ARRAYSIZE, "
                                                    ":CONDITION, :RESULT); End;"),
                                     parameters),
                 0);
        QCOMPARE(parameters.array(QStringLiteral("RESULT")), values);
        QCOMPARE(LIB_DB_ExecuteBound(QStringLiteral("Begin TJ_SORT.GetBulkData( :STRSQL,:MISSING); End;"),
                                     parameters),
                 -1);
        LIB_DB_Error().clear();
    }

    void columnShift_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("shifted");
        QTest::newRow("to Z") << "X" << 2 << "Z";
        QTest::newRow("past Z") << "Y" << 3 << "AB";
        QTest::newRow("two letters") << "AB" << 2 << "AD";
    }
    void columnShift()
    {
        QFETCH(QString, column);
        QFETCH(int, n);
        QTEST(LIB_ShiftColumnLetter(column, n), "shifted");
    }
};

QTEST_GUILESS_MAIN(TestStatEngine)
#include "tst_statengine.moc"
