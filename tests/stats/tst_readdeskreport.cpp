// readdesk-report run as a process against the demo library: the figures of the windows in CSV
// and PDF under the same conditions, its help, wrong command lines (status 2) and database
// failures (status 1).
#include "codes/codetables.h"
#include "db/sysparams.h"
#include "extensions/zipunpacker.h"
#include "info/marcindexparams.h"
#include "startup/environment.h"
#include "stats/bookstatistics.h"
#include "stats/jobstatistics.h"
#include "stats/rankingstatistics.h"
#include "stats/readerrankstatistics.h"
#include "stats/redrstatistics.h"
#include "stats/statconditions.h"
#include "stats/statreports.h"
#include "stats/stattablemodel.h"
#include "stats/usingstatistics.h"
#include "stats/visitcountstatistics.h"
#include "support/recordingpresenter.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

// The grid of a CSV file (byte-order mark, quoted fields, CR LF): heading row first.
QList<QStringList> readCsv(QByteArray bytes)
{
    const QString text = QString::fromUtf8(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
    auto at = [&text](qsizetype i) { return i < text.size() ? text.at(i) : QChar(); };
    QList<QStringList> rows{QStringList()};
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted && c == QLatin1Char('"') && at(i + 1) == QLatin1Char('"'))
            field += text.at(++i);
        else if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && c == QLatin1Char(',')) {
            rows.last().append(field);
            field.clear();
        } else if (!quoted && c == QLatin1Char('\r') && at(i + 1) == QLatin1Char('\n')) {
            rows.last().append(field);
            field.clear();
            rows.append(QStringList());
            ++i;
        } else
            field += c;
    }
    rows.removeLast(); // after the last line end
    return rows;
}

} // namespace

class TestReaddeskReport : public QObject
{
    Q_OBJECT
    TestDatabase db{QStringLiteral("readdeskreport")};
    QTemporaryDir home;
    QString lastMonth; // the demo history's last month, "yyyy-mm"

    void writeIni(const QString& dsn)
    {
        QFile ini(home.filePath(QStringLiteral("tavorn.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(
            QStringLiteral("[LIB-DATA]\r\nLIB_SERVER=LIBRARY\r\n[LIBRARY]\r\nDSN=%1\r\nUID=%2\r\nPWD=%3\r\n")
                .arg(dsn, db.connectionValues().user, LIB_ScramblePassword(db.connectionValues().password))
                .toUtf8());
    }

    Run run(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TAVORN_HOME"), home.path());
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(READDESK_REPORT), arguments);
        process.waitForFinished(60000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(db.isReady());
        QVERIFY(home.isValid());
        RecordingPresenter::install();
        QCOMPARE(db.connectCurrentSession(), 0);
        QCOMPARE(LIB_LoadBaseData(), 0);
        QCOMPARE(LIB_LoadCodeTables(), 0);
        QCOMPARE(MarcIndexParameters::instance().load(), 0);
        lastMonth = db.scalar(QStringLiteral("SELECT substr(max(date_time), 1, 7) FROM redr_book_stat_hist"));
        writeIni(db.dsn());
    }

    // The report's grid equals the window's grid under the same conditions, in CSV and in PDF
    // (with the print heading lines).
    void sameFiguresAsWindow_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QStringList>("arguments"); // "{month}" stands for the last month
        QTest::addColumn<QString>("periodLine");
        QTest::newRow("classes, a year")
            << "classes" << QStringList{"--template", "S01", "--year", "{year}"} << "统计时间：{year}年";
        QTest::newRow("classes by template name, a range, one room")
            << "classes" << QStringList{"--template", "中图法五大部类", "--from",     "{month}-01",
                                        "--to",       "{month}-28",     "--location", "R1"}
            << "统计时间：{month}-01 至 {month}-28";
        QTest::newRow("books, registration, a month")
            << "books" << QStringList{"--template", "U01", "--month", "{month}", "--mode", "reader-book"}
            << "统计时间：{y}年 {m}月";
        QTest::newRow("books, counting, a year, one room")
            << "books" << QStringList{"--template", "S02", "--year", "{year}", "--location", "第一阅览室"}
            << "统计时间：{year}年";
        QTest::newRow("workload, a month")
            << "workload" << QStringList{"--worker", "A001", "--month", "{month}"} << "统计时间：{month}";
        QTest::newRow("title ranking, a year, three a class")
            << "rankings"
            << QStringList{"--template", "S02", "--year", "{year}", "--mode", "reader-book", "--top", "3"}
            << "统计时期： {year}年";
        QTest::newRow("rates by rate, a month")
            << "rates" << QStringList{"--template", "S01", "--month", "{month}", "--rate", ">=1.5"}
            << "统计时期： {y}年{mm}月";
        QTest::newRow("reader ranking, check-ins of a month")
            << "readers" << QStringList{"--month", "{month}", "--mode", "reader-check-in", "--top", "20"}
            << "统计时间：{y}年{mm}月";
        QTest::newRow("visits by unit, a year")
            << "visits" << QStringList{"--year", "{year}", "--by", "unit", "--mode", "reader-check-in"}
            << "统计时期：{year}年";
        QTest::newRow("use per copy, a range, one room")
            << "usage"
            << QStringList{"--from", "{month}-01", "--to", "{month}-28", "--location", "R1", "--top", "10"}
            << "统计时间：{month}-01 到 {month}-28";
    }
    void sameFiguresAsWindow()
    {
        QFETCH(QString, report);
        QFETCH(QStringList, arguments);
        QFETCH(QString, periodLine);
        auto fill = [this](QString text) {
            return text.replace(QLatin1String("{month}"), lastMonth)
                .replace(QLatin1String("{year}"), lastMonth.left(4))
                .replace(QLatin1String("{y}"), lastMonth.left(4))
                .replace(QLatin1String("{mm}"), lastMonth.mid(5))
                .replace(QLatin1String("{m}"), QString::number(lastMonth.mid(5).toInt()));
        };
        for (QString& argument : arguments)
            argument = fill(argument);
        auto option = [&arguments](const char* name) {
            const qsizetype at = arguments.indexOf(QLatin1String("--") + QLatin1String(name));
            return at < 0 ? QString() : arguments.value(at + 1);
        };

        // The window's statistics under the same conditions, as the windows run them.
        StatTableModel window;
        const QString location = option("location").isEmpty()                ? StatConditions::allLocations()
                                 : option("location") == QLatin1String("R1") ? QStringLiteral("第一阅览室")
                                                                             : option("location");
        const QString templateCode = option("template") == QStringLiteral("中图法五大部类")
                                         ? QStringLiteral("S02")
                                         : option("template");
        if (report == QLatin1String("classes")) {
            StatConditions conditions;
            conditions.statTypeCode = templateCode;
            conditions.location = location;
            conditions.periodKind =
                option("year").isEmpty() ? StatConditions::DateRange : StatConditions::Year;
            conditions.year = option("year");
            conditions.beginDate = option("from");
            conditions.endDate = option("to");
            QCOMPARE(RedrStatistics::run(conditions, window), 0);
        } else if (report == QLatin1String("books")) {
            BookStatConditions conditions;
            conditions.readerBookMode = option("mode") == QLatin1String("reader-book");
            conditions.statTypeCode = templateCode;
            conditions.location = location;
            conditions.period.kind = option("year").isEmpty() ? BookStatPeriod::Month : BookStatPeriod::Year;
            conditions.period.year = lastMonth.left(4);
            conditions.period.month = lastMonth.mid(5);
            QCOMPARE(BookStatistics::run(conditions, window), 0);
        } else if (!option("template").isEmpty() || !option("top").isEmpty() || !option("by").isEmpty()) {
            StatPeriod period;
            period.kind = !option("year").isEmpty()    ? StatPeriod::Year
                          : !option("month").isEmpty() ? StatPeriod::Month
                                                       : StatPeriod::Range;
            period.year = lastMonth.left(4);
            period.month = lastMonth.mid(5);
            period.beginDate = option("from");
            period.endDate = option("to");
            if (report == QLatin1String("rankings") || report == QLatin1String("rates")) {
                RankingConditions c;
                c.window = report == QLatin1String("rates") ? RankingConditions::LendRate
                                                            : RankingConditions::BookTop;
                c.bookCounting = option("mode").isEmpty(); // the reports' default mode counts books
                c.statTypeCode = templateCode;
                c.location = location;
                c.period = period;
                c.rate = QStringLiteral("1.5");
                const int top = option("top").toInt();
                QList<RankedTitle> titles;
                QCOMPARE(RankingStatistics::run(c, top, titles), 0);
                RankingStatistics::fill(titles, top, window);
            } else if (report == QLatin1String("readers")) {
                ReaderRankConditions c;
                c.checkIn = true;
                c.period = period;
                c.location = location;
                c.count = option("top").toInt();
                QCOMPARE(ReaderRankStatistics::run(c, window), 0);
            } else if (report == QLatin1String("visits")) {
                VisitCountConditions c;
                c.checkIn = true;
                c.period = period;
                c.location = location;
                StatTableModel types, grades, departments;
                QCOMPARE(VisitCountStatistics::run(c, {&types, &window, &grades, &departments}), 0);
            } else {
                UsingStatConditions c;
                c.bookCounting = true;
                c.period = period;
                c.location = location;
                c.count = option("top").toInt();
                QCOMPARE(UsingStatistics::run(c, window), 0);
            }
        } else {
            JobStatistics statistics;
            QCOMPARE(statistics.loadJobTypes(QStringLiteral("4%"), window), 0);
            QCOMPARE(statistics.run(QStringLiteral("A001"), JobStatistics::Month,
                                    lastMonth + QStringLiteral("-01"), QString(), QString(), window),
                     0);
        }
        QList<QStringList> expected{window.headings()};
        expected += window.rows();

        const QString csv = home.filePath(QStringLiteral("figures.csv"));
        const QString pdf = home.filePath(QStringLiteral("figures.pdf"));
        const QString xlsx = home.filePath(QStringLiteral("figures.xlsx"));
        QFile::remove(xlsx);
        for (const QString& path : {csv, pdf, xlsx}) {
            const Run done = run(QStringList{report} + arguments + QStringList{"--output", path});
            QVERIFY2(done.status == 0, qPrintable(done.err));
        }
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(readCsv(file.readAll()), expected);

        // The workbook: its sheet holds the heading lines and every cell as text.
        ZipUnpacker workbook;
        QVERIFY(workbook.open(xlsx));
        const QString unpacked = home.filePath(QStringLiteral("figures"));
        QDir(unpacked).removeRecursively();
        QVERIFY(workbook.extractTo(unpacked));
        QFile strings(unpacked + QStringLiteral("/xl/worksheets/sheet1.xml"));
        QVERIFY(strings.open(QIODevice::ReadOnly));
        const QString cells = QString::fromUtf8(strings.readAll());
        QVERIFY(cells.contains(fill(periodLine)));
        for (const QStringList& row : expected)
            for (const QString& cell : row)
                QVERIFY2(cells.contains(QString(cell).toHtmlEscaped()), qPrintable(cell));

        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(30000));
        const QString page = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(page.contains(fill(periodLine)), qPrintable(page));
        // Titles wrap in their cells: the ranking and use lists are read whole from the CSV.
        if (report == QLatin1String("rankings") || report == QLatin1String("rates") ||
            report == QLatin1String("usage"))
            return;
        for (const QStringList& row : window.rows()) {
            // Long class names wrap in their cell: the start of the name, then the rest of the row.
            QVERIFY(page.contains(row.first().left(8)));
            QStringList cells;
            for (const QString& cell : row.mid(1))
                if (!cell.isEmpty())
                    cells.append(QRegularExpression::escape(cell));
            QVERIFY2(page.contains(QRegularExpression(cells.join(QStringLiteral("\\s+")))),
                     qPrintable(row.join(' ')));
        }
    }

    void help()
    {
        const Run done = run({QStringLiteral("--help")});
        QCOMPARE(done.status, 0);
        for (const ReportDefinition& report : LIB_Reports())
            QVERIFY(done.out.contains(QStringLiteral("  ") + report.name + QLatin1Char(' ')));
        for (const ReportOption& option : LIB_ReportOptions())
            QVERIFY(done.out.contains(QStringLiteral("--") + option.name + QLatin1Char(' ')));
        QVERIFY(done.out.contains(QStringLiteral("--output FILE")));
    }

    // A wrong command line: status 2 and what is wrong, without touching the database's figures.
    void wrongCommandLines_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no report") << QStringList{} << "name a report";
        QTest::newRow("unknown report") << QStringList{"ranking"} << "unknown report: ranking";
        QTest::newRow("unknown option") << QStringList{"classes", "--frobnicate"} << "frobnicate";
        QTest::newRow("option of another report")
            << QStringList{"workload", "--worker", "A001", "--year", "2024", "--template", "S01"}
            << "workload takes no --template";
        QTest::newRow("no period") << QStringList{"books", "--template", "S01"} << "give one period";
        QTest::newRow("two periods") << QStringList{"books", "--template", "S01",    "--year",
                                                    "2024",  "--month",    "2024-03"}
                                     << "give one period";
        QTest::newRow("range half given")
            << QStringList{"classes", "--template", "S01", "--from", "2024-01-01"} << "give one period";
        QTest::newRow("period the report does not take")
            << QStringList{"classes", "--template", "S01", "--date", "2024-01-01"} << "takes no --date";
        QTest::newRow("bad year") << QStringList{"classes", "--template", "S01", "--year", "24"}
                                  << "--year takes four digits";
        QTest::newRow("bad day") << QStringList{"books", "--template", "S01", "--date", "2024-02-30"}
                                 << "--date takes yyyy-mm-dd";
        QTest::newRow("bad mode") << QStringList{"books", "--template", "S01",    "--year",
                                                 "2024",  "--mode",     "reading"}
                                  << "unknown --mode: reading";
        QTest::newRow("unknown template")
            << QStringList{"classes", "--template", "B01", "--year", "2024"} << "unknown template: B01";
        QTest::newRow("unknown location")
            << QStringList{"classes", "--template", "S01", "--year", "2024", "--location", "R9"}
            << "unknown location: R9";
        QTest::newRow("no template") << QStringList{"classes", "--year", "2024"}
                                     << "classes needs --template";
        QTest::newRow("no worker") << QStringList{"workload", "--year", "2024"} << "workload needs --worker";
        QTest::newRow("a format without writer")
            << QStringList{"classes", "--template", "S01", "--year", "2024", "--output", "figures.ods"}
            << "cannot write .ods files (csv, pdf, xlsx)";
        QTest::newRow("ranking without template")
            << QStringList{"rankings", "--year", "2024"} << "this report needs --template";
        QTest::newRow("rates without condition")
            << QStringList{"rates", "--template", "S01", "--year", "2024"} << "rates needs --rate";
        QTest::newRow("a rate that is no number")
            << QStringList{"rates", "--template", "S01", "--year", "2024", "--rate", ">=much"}
            << "--rate takes";
        QTest::newRow("a count that is no number")
            << QStringList{"readers", "--year", "2024", "--top", "ten"} << "--top takes a whole number";
        QTest::newRow("a grid the visits do not have")
            << QStringList{"visits", "--year", "2024", "--by", "city"} << "--by takes type, unit, grade";
        QTest::newRow("order of another report")
            << QStringList{"usage", "--year", "2024", "--order", "rate"} << "usage takes no --order";
        QTest::newRow("chart not a picture")
            << QStringList{"classes", "--template", "S01", "--year", "2024", "--chart", "chart.jpg"}
            << "--chart takes a .png file";
    }
    void wrongCommandLines()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run done = run(arguments);
        QCOMPARE(done.status, 2);
        QVERIFY2(done.err.contains(message), qPrintable(done.err));
        QVERIFY(done.out.isEmpty());
    }

    // The database fails: status 1 and the server's reason.
    void databaseFailures_data()
    {
        QTest::addColumn<QString>("dsn"); // empty: the test database
        QTest::addColumn<QString>("breaking");
        QTest::addColumn<QString>("repairing");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no such database")
            << "host=" + TestDatabase::host() + " port=" + TestDatabase::port() + " dbname=no_such_library"
            << ""
            << ""
            << "no_such_library";
        QTest::newRow("a statement fails") << ""
                                           << "ALTER TABLE stat_type_detl RENAME TO stat_type_detl_gone"
                                           << "ALTER TABLE stat_type_detl_gone RENAME TO stat_type_detl"
                                           << "stat_type_detl";
    }
    void databaseFailures()
    {
        QFETCH(QString, dsn);
        QFETCH(QString, breaking);
        QFETCH(QString, repairing);
        QFETCH(QString, reason);
        writeIni(dsn.isEmpty() ? db.dsn() : dsn);
        if (!breaking.isEmpty())
            db.exec(breaking);
        const Run done = run({"classes", "--template", "S01", "--year", "2024"});
        if (!repairing.isEmpty())
            db.exec(repairing);
        writeIni(db.dsn());
        QCOMPARE(done.status, 1);
        QVERIFY2(done.err.contains(QStringLiteral("database error")) && done.err.contains(reason),
                 qPrintable(done.err));
    }
};

QTEST_GUILESS_MAIN(TestReaddeskReport)
#include "tst_readdeskreport.moc"
