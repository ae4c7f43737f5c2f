// The code names, fixed in the program or loaded with the code tables, and the desk location list
// from a copy of the demo library.
#include "codes/circrule.h"
#include "codes/codenames.h"
#include "codes/codetables.h"
#include "codes/fixedcodenames.h"
#include "codes/loancalendar.h"
#include "codes/rulematching.h"
#include "db/database.h"
#include "support/recordingpresenter.h"
#include "support/testdatabase.h"

#include <QDate>
#include <QTest>

using NameLookup = QString (*)(const QString&);
Q_DECLARE_METATYPE(NameLookup)

class TestCodeTables : public QObject
{
    Q_OBJECT
    TestDatabase* db = nullptr;
    RecordingPresenter* presenter = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        db = new TestDatabase(QStringLiteral("codes"));
        QVERIFY(db->isReady());
        QCOMPARE(db->connectCurrentSession(), 0);
        presenter = RecordingPresenter::install();
        QCOMPARE(LIB_LoadCodeTables(), 0);
    }
    void cleanupTestCase() { delete db; }

    void names_data()
    {
        QTest::addColumn<NameLookup>("lookup");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");

        const auto add = [](const char* row, NameLookup lookup, const char* code, const char* name) {
            QTest::newRow(row) << lookup << QString::fromUtf8(code) << QString::fromUtf8(name);
        };
        add("location", LIB_LocationName, "R1", "第一阅览室");
        add("location not listed", LIB_LocationName, "X7", "X7");
        add("language lower case", LIB_LanguageName, "chi", "中文");
        add("language not in use", LIB_LanguageName, "lat", "lat");
        add("country lower case", LIB_CountryName, "cn", "中国");
        add("circulation type", LIB_CircTypeName, "03", "工具书");
        add("circulation type not in use", LIB_CircTypeName, "99", "99");
        add("statistics type", LIB_StatTypeName, "S02", "中图法五大部类");
        add("statistics type unknown", LIB_StatTypeName, "ZZ", "");
        add("class id by name", LIB_ClassId, "杜威十进分类法", "4");
        add("class id of a scheme not in use", LIB_ClassId, "国际十进分类法", "");
        add("worker", LIB_WorkerName, "B002", "李红");
        // Fixed in the program.
        add("lend flag", LIB_LendFlagName, "3", "委托借出");
        add("lend flag unknown is the code", LIB_LendFlagName, "9", "9");
        add("item status with a letter", LIB_ItemStatusName, "3A", "下架装订");
        add("item status unknown is empty", LIB_ItemStatusName, "99", "");
        add("item status, letter case matters", LIB_ItemStatusName, "3c", "");
        add("process", LIB_ProcessName, "05", "书刊交换");
        add("marc N is CN", LIB_MarcTypeName, "N", "CN");
        add("marc c is authority", LIB_MarcTypeName, "c", "CN规范");
        add("marc unknown", LIB_MarcTypeName, "n", "");
        add("order status", LIB_OrderStatusName, "4", "审校");
    }
    void names()
    {
        QFETCH(NameLookup, lookup);
        QFETCH(QString, code);
        QTEST(lookup(code), "name");
    }

    void shelfStatus()
    {
        for (const char* code : {"33", "41", "42", "3C", "43", "44", "45", "46"})
            QVERIFY2(LIB_IsShelfStatus(QLatin1String(code)), code);
        for (const char* code : {"3c", "34", "38", "3B", ""})
            QVERIFY2(!LIB_IsShelfStatus(QLatin1String(code)), code);
    }

    void copyRules()
    {
        const auto days = LIB_FindCircRule(QStringLiteral("COPY01"));
        QVERIFY(days.has_value());
        QVERIFY(days->countsInDays());
        QCOMPARE(days->normTerm, 3);
        QCOMPARE(days->unfineExtDays, 1);
        QCOMPARE(days->fstFinePriceCents(), 10);
        QCOMPARE(days->otherFinePriceCents(), 20);

        const auto hours = LIB_FindCircRule(QStringLiteral("COPY02"));
        QVERIFY(hours.has_value());
        QVERIFY(!hours->countsInDays());
        QVERIFY(!LIB_FindCircRule(QStringLiteral("COPY99")).has_value());
    }

    void calendarOfReadingRoom()
    {
        const ResultTable periods = ClosingPeriods(QStringLiteral("R1"));
        QCOMPARE(QString::number(periods.recordCount()),
                 db->scalar(QStringLiteral("SELECT count(*) FROM close_day WHERE location = 'R1'")));
        QCOMPARE(OpeningTimes(QStringLiteral("R1")).recordCount(), 7);
        // A loan due on a Monday at R1 (closed on Mondays) and outside its closing period.
        const QString monday = db->scalar(QStringLiteral(
            "SELECT to_char(d, 'YYYY-MM-DD') FROM generate_series(current_date + 30, current_date + 36, "
            "interval '1 day') d WHERE extract(isodow FROM d) = 1"));
        const QString tuesday = QDate::fromString(monday, Qt::ISODate).addDays(1).toString(Qt::ISODate);
        const LoanCalendar r1 = LoanCalendar::forLocation(QStringLiteral("R1"));
        QCOMPARE(AdjustDueDate(monday, r1.closingPeriods, r1.openingTimes), tuesday);
    }

    void readingRoomLocations()
    {
        QCOMPARE(LIB_LoadLocations(3), 0);
        const ResultTable& rooms = CodeTables::instance().deskLocations();
        QCOMPARE(rooms.recordCount(), 2);
        QCOMPARE(rooms.text(LocationColumn::Location, 2), QStringLiteral("R1"));
        QCOMPARE(rooms.text(LocationColumn::Location, 3), QStringLiteral("R2"));
        QCOMPARE(rooms.text(LocationColumn::LendLocations, 2), QStringLiteral("R1,R2"));
        QCOMPARE(LocationGroup(QStringLiteral("R2")), QStringLiteral("G1"));
        QCOMPARE(LocationGroup(QStringLiteral("S1")), QString());
        QVERIFY(FindGroupLimit(QStringLiteral("G1"), QStringLiteral("10")) >= 2);

        QCOMPARE(LIB_LoadLocations(-1), 0);
        QCOMPARE(QString::number(CodeTables::instance().deskLocations().recordCount()),
                 db->scalar(QStringLiteral("SELECT count(*) FROM location_lst")));
    }

    // A failed query ends the load: the tables before it are fresh, those after it untouched,
    // and the error stays for the caller to report.
    void failureStopsTheLoad()
    {
        CodeTables& tables = CodeTables::instance();
        tables.clear();
        const ResultTable marker(1, 1);
        tables.setTable(CodeTable::ReaderTypes, marker);
        QCOMPARE(LIB_DB_Execute(QStringLiteral("ALTER TABLE country_code RENAME TO country_code_away")), 0);
        const int result = LIB_LoadCodeTables();
        const ErrorRecord error = LIB_DB_Error();
        const QString statement = LIB_DB_CurrentStatement();
        LIB_DB_Error().clear();
        QCOMPARE(LIB_DB_Execute(QStringLiteral("ALTER TABLE country_code_away RENAME TO country_code")), 0);

        QCOMPARE(result, -1);
        QCOMPARE(error.code, long(ErrorRecord::SelectFailed));
        QCOMPARE(statement, CodeTables::query(CodeTable::Countries));
        QVERIFY(presenter->texts().isEmpty());
        QVERIFY(tables.table(CodeTable::Languages).recordCount() > 0);
        QCOMPARE(tables.table(CodeTable::ReaderTypes).fieldCount(), 1);
        QCOMPARE(tables.table(CodeTable::GroupLimits).recordCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCodeTables)
#include "tst_codetables.moc"
