// readdesk-report run as a process against the demo library: the figures of the windows in CSV
// and PDF under the same conditions, its help, wrong command lines (status 2) and database
// failures (status 1).
#include "extensions/zipunpacker.h"
#include "stats/statreports.h"
#include "support/deskdata.h"
#include "support/deskprofile.h"
#include "support/recordingpresenter.h"
#include "support/testdatabase.h"
#include "support/testfiles.h"
#include "windowfigures.h"

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
        ConnectionValues values = db.connectionValues();
        values.dsn = dsn;
        QVERIFY(writeDeskProfile(home.filePath(QStringLiteral("tavorn.ini")), values));
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
        QVERIFY(home.isValid());
        RecordingPresenter::install();
        loadDeskData(db, home.path());
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
            << "统计时间：{year}年 {m}月";
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
            << "统计时期： {year}年{mm}月";
        QTest::newRow("reader ranking, check-ins of a month")
            << "readers" << QStringList{"--month", "{month}", "--mode", "reader-check-in", "--top", "20"}
            << "统计时间：{year}年{mm}月";
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
                .replace(QLatin1String("{mm}"), lastMonth.mid(5))
                .replace(QLatin1String("{m}"), QString::number(lastMonth.mid(5).toInt()));
        };
        for (QString& argument : arguments)
            argument = fill(argument);
        QList<QStringList> expected;
        QCOMPARE(windowFigures(report, arguments, expected), 0);

        const QString csv = home.filePath(QStringLiteral("figures.csv"));
        const QString pdf = home.filePath(QStringLiteral("figures.pdf"));
        const QString xlsx = home.filePath(QStringLiteral("figures.xlsx"));
        QFile::remove(xlsx);
        for (const QString& path : {csv, pdf, xlsx}) {
            const Run done = run(QStringList{report} + arguments + QStringList{"--output", path});
            QVERIFY2(done.status == 0, qPrintable(done.err));
        }
        QCOMPARE(readCsv(readFile(csv)), expected);

        // The workbook: its sheet holds the heading lines and every cell as text.
        ZipUnpacker workbook;
        QVERIFY(workbook.open(xlsx));
        const QString unpacked = home.filePath(QStringLiteral("figures"));
        QDir(unpacked).removeRecursively();
        QVERIFY(workbook.extractTo(unpacked));
        const QString cells =
            QString::fromUtf8(readFile(unpacked + QStringLiteral("/xl/worksheets/sheet1.xml")));
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
        for (const QStringList& row : expected.mid(1)) {
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

    // The help (status 0) lists every report and option; a wrong command line gives status 2 and
    // what is wrong without asking the database; a failing database status 1 and its reason.
    void commandLines_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("fault"); // "no database", "table gone" or none
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("texts"); // on the output for status 0, else on the errors
        QStringList help{"--output FILE"};
        for (const ReportDefinition& report : LIB_Reports())
            help.append(QStringLiteral("  ") + report.name + QLatin1Char(' '));
        for (const ReportOption& option : LIB_ReportOptions())
            help.append(QStringLiteral("--") + option.name + QLatin1Char(' '));
        const QString none;
        auto row = [&none](const char* name, const QStringList& arguments, const QString& message) {
            QTest::newRow(name) << arguments << none << 2 << QStringList{message};
        };
        QTest::newRow("help") << QStringList{"--help"} << none << 0 << help;
        const QStringList classes{"classes", "--template", "S01", "--year", "2024"};
        QTest::newRow("no such database")
            << classes << "no database" << 1 << QStringList{"database error", "no_such_library"};
        QTest::newRow("a statement fails")
            << classes << "table gone" << 1 << QStringList{"database error", "stat_type_detl"};
        row("no report", {}, "name a report");
        row("unknown report", {"ranking"}, "unknown report: ranking");
        row("unknown option", {"classes", "--frobnicate"}, "frobnicate");
        row("option of another report",
            {"workload", "--worker", "A001", "--year", "2024", "--template", "S01"},
            "workload takes no --template");
        row("no period", {"books", "--template", "S01"}, "give one period");
        row("two periods", {"books", "--template", "S01", "--year", "2024", "--month", "2024-03"},
            "give one period");
        row("range half given", {"classes", "--template", "S01", "--from", "2024-01-01"}, "give one period");
        row("period the report does not take", {"classes", "--template", "S01", "--date", "2024-01-01"},
            "takes no --date");
        row("bad year", {"classes", "--template", "S01", "--year", "24"}, "--year takes four digits");
        row("bad day", {"books", "--template", "S01", "--date", "2024-02-30"}, "--date takes yyyy-mm-dd");
        row("bad mode", {"books", "--template", "S01", "--year", "2024", "--mode", "reading"},
            "unknown --mode: reading");
        row("unknown template", {"classes", "--template", "B01", "--year", "2024"}, "unknown template: B01");
        row("unknown location", classes + QStringList{"--location", "R9"}, "unknown location: R9");
        row("no template", {"classes", "--year", "2024"}, "classes needs --template");
        row("no worker", {"workload", "--year", "2024"}, "workload needs --worker");
        row("a format without writer", classes + QStringList{"--output", "figures.ods"},
            "cannot write .ods files (csv, pdf, xlsx)");
        row("ranking without template", {"rankings", "--year", "2024"}, "this report needs --template");
        row("rates without condition", {"rates", "--template", "S01", "--year", "2024"},
            "rates needs --rate");
        row("a rate that is no number", {"rates", "--template", "S01", "--year", "2024", "--rate", ">=much"},
            "--rate takes");
        row("a count that is no number", {"readers", "--year", "2024", "--top", "ten"},
            "--top takes a whole number");
        row("a grid the visits do not have", {"visits", "--year", "2024", "--by", "city"},
            "--by takes type, unit, grade");
        row("order of another report", {"usage", "--year", "2024", "--order", "rate"},
            "usage takes no --order");
        row("chart not a picture", classes + QStringList{"--chart", "chart.jpg"},
            "--chart takes a .png file");
    }
    void commandLines()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, fault);
        QFETCH(int, status);
        QFETCH(QStringList, texts);
        if (fault == QLatin1String("no database"))
            writeIni("host=" + TestDatabase::host() + " port=" + TestDatabase::port() +
                     " dbname=no_such_library");
        else if (fault == QLatin1String("table gone"))
            db.exec(QStringLiteral("ALTER TABLE stat_type_detl RENAME TO stat_type_detl_gone"));
        const Run done = run(arguments);
        writeIni(db.dsn());
        if (fault == QLatin1String("table gone"))
            db.exec(QStringLiteral("ALTER TABLE stat_type_detl_gone RENAME TO stat_type_detl"));
        QCOMPARE(done.status, status);
        for (const QString& text : texts)
            QVERIFY2((status == 0 ? done.out : done.err).contains(text), qPrintable(text + '\n' + done.err));
        if (status != 0)
            QVERIFY(done.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestReaddeskReport)
#include "tst_readdeskreport.moc"
