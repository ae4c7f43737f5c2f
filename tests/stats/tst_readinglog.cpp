// The reading-log listing, purge and print hand-over against the demo library.
#include "db/database.h"
#include "print/printdesigner.h"
#include "print/printhandover.h"
#include "readinglogfixture.h"
#include "stats/readinglogloader.h"
#include "stats/readinglogprint.h"
#include "stats/readinglogpurge.h"
#include "support/recordingpresenter.h"

#include <QProcess>
#include <QTemporaryDir>

namespace {

// Lists the rows of a statement; false when they did not arrive.
bool list(ReadingLogLoader& loader, ReadingLogKind kind, const QString& statement, ReadingLogRows* rows)
{
    bool loaded = false;
    QObject context;
    QObject::connect(&loader, &ReadingLogLoader::loaded, &context, [&](const ReadingLogRows& listed) {
        loaded = true;
        *rows = listed;
    });
    loader.start(kind, statement);
    return QTest::qWaitFor([&] { return !loader.isRunning(); }, 20000) && loaded;
}

// The shown cells of a row joined with "|".
QString shownCells(const ReadingLogRow& row, ReadingLogKind kind)
{
    QStringList cells;
    for (int c = 0; c < ReadingLogModel::ColumnCount; ++c) {
        if (ReadingLogModel::columnShown(kind, c))
            cells << row.cells.at(c);
    }
    return cells.join(QLatin1Char('|'));
}

QString pdfText(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    return process.waitForFinished(60000) ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
}

const QString day = QStringLiteral("2030-01-01");

} // namespace

class TestReadingLog : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TestDatabase db{QStringLiteral("readinglog")};
    RecordingPresenter* presenter = nullptr;

    int count(const QString& sql) const { return db.scalar(sql).toInt(); }
    QList<int> purgeDayRows() const
    {
        return {count("SELECT count(*) FROM book_use_stat WHERE use_date_time < '2025'"),
                count("SELECT count(*) FROM reader_stat WHERE read_date_time < '2025'"),
                count("SELECT count(*) FROM reader_book_stat WHERE date_time < '2025'")};
    }
    int laterRows() const
    {
        return count("SELECT (SELECT count(*) FROM book_use_stat WHERE use_date_time >= '2025') + "
                     "(SELECT count(*) FROM reader_stat WHERE read_date_time >= '2025') + "
                     "(SELECT count(*) FROM reader_book_stat WHERE date_time >= '2025')");
    }

private Q_SLOTS:
    void initTestCase()
    {
        openDesk(db, home.path());
        presenter = RecordingPresenter::install();
    }
    void init()
    {
        presenter->clear();
        setOperator(true);
    }

    // Bounds, filters and kinds: the listed rows' times.
    void listing_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("bounds"); // "from to"
        QTest::addColumn<QStringList>("locations");
        QTest::addColumn<QStringList>("workers");
        QTest::addColumn<QStringList>("readerTypes");
        QTest::addColumn<QStringList>("times");
        const QStringList all{"08:00:00", "09:30:00", "12:00:00"}, none;
        const QString whole = QStringLiteral("00:00:00 23:59:59");
        for (int kind = 0; kind < 3; ++kind) {
            auto row = [kind](const char* name) -> QTestData& {
                return QTest::addRow("%s, kind %d", name, kind) << kind;
            };
            row("whole day") << whole << none << none << none << all;
            row("equal bounds on a row's second")
                << "09:30:00 09:30:00" << none << none << none << QStringList{"09:30:00"};
            row("equal bounds between rows") << "10:00:00 10:00:00" << none << none << none << none;
            row("location and staff")
                << whole << QStringList{"R1", "S1"} << QStringList{"B002"} << none << QStringList{"12:00:00"};
            // The book log has no reader-type condition.
            row("reader types") << whole << none << none << QStringList{"20", "30"}
                                << (kind == 1 ? all : QStringList{"09:30:00", "12:00:00"});
        }
    }
    void listing()
    {
        QFETCH(int, kind);
        QFETCH(QString, bounds);
        QFETCH(QStringList, locations);
        QFETCH(QStringList, workers);
        QFETCH(QStringList, readerTypes);
        ReadingLogLoader loader;
        ReadingLogRows rows;
        const auto logKind = ReadingLogKind(kind);
        QVERIFY(list(loader, logKind,
                     readingLogStatement(logKind, day + bounds.section(' ', 0, 0),
                                         day + bounds.section(' ', 1), {locations, workers, readerTypes}),
                     &rows));
        QStringList listed;
        for (const ReadingLogRow& row : rows)
            listed << row.cells.at(ReadingLogModel::ArrivalTime).mid(10);
        QTEST(listed, "times");
        QVERIFY(presenter->boxes.isEmpty());
    }

    // The staff filter's members: those whose code1 holds "4", in number order; "ITJ008" for none.
    void staff_data()
    {
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QStringList>("members");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("demo staff") << "" << QStringList{"王晓明 A001", "李红 B002", "赵刚 C003"}
                                    << QStringList{};
        QTest::newRow("nobody in this module")
            << "UPDATE lib_worker SET code1 = '3'" << QStringList{}
            << QStringList{RecordingPresenter::shownText(QStringLiteral("ITJ008"))};
    }
    void staff()
    {
        QFETCH(QString, codes);
        QFETCH(QStringList, members);
        QFETCH(QStringList, boxes);
        if (!codes.isEmpty())
            db.exec(QStringLiteral("CREATE TABLE worker_codes AS SELECT wkr_no, code1 FROM lib_worker;") +
                    codes);
        QList<ReadingLogStaff> staff;
        QCOMPARE(readReadingLogStaff(staff), 0);
        if (!codes.isEmpty())
            db.exec(QStringLiteral("UPDATE lib_worker w SET code1 = c.code1 FROM worker_codes c "
                                   "WHERE c.wkr_no = w.wkr_no; DROP TABLE worker_codes"));
        QStringList listed;
        for (const ReadingLogStaff& member : staff)
            listed << member.name + QLatin1Char(' ') + member.number;
        QCOMPARE(listed, members);
        QCOMPARE(presenter->texts(), boxes);
    }

    // The purge deletes the chosen day and every earlier one, in the current mode's log only,
    // and only with the right, the question answered OK and the statement accepted.
    void purge_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("right");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QList<int>>("left"); // book_use_stat, reader_stat, reader_book_stat
        const QString asked = QStringLiteral("是否确认删除历史记录?");
        const QString done = RecordingPresenter::shownText(QStringLiteral("ISC102"));
        QTest::newRow("book counting")
            << 0 << true << 1 << false << 1 << QStringList{asked, done} << QList<int>{1, 4, 4};
        QTest::newRow("reader check-in")
            << 1 << true << 1 << false << 1 << QStringList{asked, done} << QList<int>{4, 1, 4};
        QTest::newRow("reader and book registration")
            << 2 << true << 1 << false << 1 << QStringList{asked, done} << QList<int>{4, 4, 1};
        QTest::newRow("question answered Cancel")
            << 2 << true << 2 << false << 0 << QStringList{asked} << QList<int>{4, 4, 4};
        QTest::newRow("without right 4023")
            << 1 << false << 1 << false << 0
            << QStringList{RecordingPresenter::shownText(QStringLiteral("ECM504"))} << QList<int>{4, 4, 4};
        QTest::newRow("identity check: nothing to purge")
            << 3 << true << 1 << false << 0 << QStringList{} << QList<int>{4, 4, 4};
        QTest::newRow("statement refused, rolled back")
            << 0 << true << 1 << true << -1
            << QStringList{asked, RecordingPresenter::shownText(QStringLiteral("ECM012"))}
            << QList<int>{4, 4, 4};
    }
    void purge()
    {
        QFETCH(int, mode);
        QFETCH(bool, right);
        QFETCH(int, answer);
        QFETCH(bool, refused);
        QFETCH(int, result);
        QFETCH(QStringList, boxes);
        QFETCH(QList<int>, left);
        insertPurgeDays(db);
        if (refused) // a row the server will not let go, after two were deleted
            db.exec(QStringLiteral("CREATE FUNCTION keep_row() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                                   "IF OLD.use_date_time = '2024-03-0123:59:59' THEN RAISE EXCEPTION 'kept'; "
                                   "END IF; RETURN OLD; END $$;"
                                   "CREATE TRIGGER keep_row BEFORE DELETE ON book_use_stat FOR EACH ROW "
                                   "EXECUTE FUNCTION keep_row()"));
        const int later = laterRows();
        setOperator(right);
        presenter->answerNext(answer);
        const long statementsBefore = DbSession::current().roundTrips();
        QCOMPARE(purgeReadingLog(mode, QStringLiteral(" 2024-03-01 ")), result);
        if (refused)
            db.exec(QStringLiteral("DROP TRIGGER keep_row ON book_use_stat; DROP FUNCTION keep_row()"));
        QCOMPARE(presenter->texts(), boxes);
        QCOMPARE(purgeDayRows(), left);
        QCOMPARE(laterRows(), later);
        QVERIFY(!LIB_DB_InTransaction());
        if (result == 0) // refused before the database: not one statement
            QCOMPARE(DbSession::current().roundTrips(), statementsBefore);
    }

    // A listed day: every shown cell of a row (reader, item, the MARC texts, the location's name)
    // in one log statement and, for the items, one for the records; its print hand-over with the
    // shown columns, the MARC numbers hidden and the seven heading lines, which head the printed
    // page. An empty grid hands nothing over.
    void listedDay_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("cells"); // of the 09:30:00 row
        const QString item = QStringLiteral("P0000002|B0000002|围城|钱锺书著|人民文学出版社|19|I246.5/Q345|");
        QTest::newRow("reader") << 0 << 6 << "流通阅览阅览日志(读者方式)"
                                << "2030-01-0109:30:00|R0000002|李娜|文学院|第二阅览室|B002";
        QTest::newRow("book") << 1 << 11 << "流通阅览阅览日志(图书方式)"
                              << "2030-01-0109:30:00|" + item + "第二阅览室|B002";
        QTest::newRow("reader and book")
            << 2 << 14 << "流通阅览阅览日志(读者图书方式)"
            << "2030-01-0109:30:00|R0000002|李娜|文学院|" + item + "第二阅览室|B002";
    }
    void listedDay()
    {
        QFETCH(int, kind);
        QFETCH(int, columns);
        QFETCH(QString, title);
        const auto logKind = ReadingLogKind(kind);
        ReadingLogModel model;
        PrintHandover& handover = PrintHandover::instance();
        handover.reset(QStringLiteral("earlier"));
        QCOMPARE(handOverReadingLog(model, logKind), 0);
        QCOMPARE(handover.reportName(), QStringLiteral("earlier"));

        ReadingLogLoader loader;
        ReadingLogRows rows;
        QVERIFY(list(loader, logKind, readingLogStatement(logKind, day + "00:00:00", day + "23:59:59", {}),
                     &rows));
        const bool items = kind != 0;
        QCOMPARE(rows.size(), 3);
        QTEST(shownCells(rows.at(1), logKind), "cells");
        QCOMPARE(rows.at(1).marcRecNo, items ? QStringLiteral("0000000002") : QString());
        QCOMPARE(loader.lastFigures().statements, items ? 2L : 1L);

        model.setRows(rows);
        QCOMPARE(handOverReadingLog(model, logKind), 3);
        QCOMPARE(handover.reportName(), QStringLiteral("阅览日志"));
        const std::array<QString, 7> lines{title,
                                           QString(),
                                           QString(),
                                           QStringLiteral("制表日期：") + LIB_GetEnv(1).toString(),
                                           QStringLiteral("制表人：A001"),
                                           QString(),
                                           QStringLiteral("总计： 3 条")};
        QCOMPARE(handover.headingLines(), lines);
        QCOMPARE(handover.columnCount(), columns);
        QCOMPARE(handover.dataRowCount(), 3);
        QCOMPARE(handover.cell(0, 0), QStringLiteral("到达时间"));
        QCOMPARE(handover.cell(1, 0), QStringLiteral("2030-01-0108:00:00"));
        QCOMPARE(handover.marcColumn(), items ? columns - 1 : -1);
        QCOMPARE(handover.isColumnHidden(columns - 1), items);
        if (items)
            QCOMPARE(handover.cell(1, columns - 1), QStringLiteral("0000000001"));

        const QString pdf = home.filePath(QStringLiteral("log%1.pdf").arg(kind));
        QCOMPARE(LIB_PrintHandoverToPdf(pdf), 0);
        const QString printed = pdfText(pdf);
        for (const QString& line : lines)
            QVERIFY2(printed.contains(line), qPrintable(line));
        QVERIFY(!printed.contains(QStringLiteral("0000000001")));
    }
};

QTEST_MAIN(TestReadingLog)
#include "tst_readinglog.moc"
