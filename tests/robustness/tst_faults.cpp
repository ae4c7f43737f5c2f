// A desk under faults. Its server session terminated in the middle of an operation (paused inside
// the server's procedure at a chosen row and terminated from another session): the operator is
// asked to reconnect, the operation is recorded completely or not at all, and after reconnecting
// the same operation goes through once. Hostile codes at each way of looking a code up and in an
// import file (quotes, pattern characters, backslashes, Chinese, control characters, NUL, very
// long and empty codes): each is answered with the system's not-found message and nothing is
// written, although the database reads backslashes in string literals as escapes, as older
// servers did.
#include "db/database.h"
#include "desk/admission.h"
#include "desk/barcodeimport.h"
#include "desk/copylending.h"
#include "desk/copyreturn.h"
#include "desk/recording.h"
#include "deskfaults.h"
#include "robustdesk.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

namespace {

// Every table an operation of the desk writes, as one line of figures.
const QString writtenFigures = QStringLiteral(
    "SELECT concat_ws('/', (SELECT count(*) FROM reader_stat), (SELECT count(*) FROM reader_stat_hist), "
    "(SELECT count(*) FROM book_use_stat), (SELECT count(*) FROM book_use_stat_hist), "
    "(SELECT count(*) FROM reader_book_stat), (SELECT count(*) FROM redr_book_stat_hist), "
    "(SELECT count(*) FROM lend_lst), (SELECT count(*) FROM lend_hist), (SELECT count(*) FROM "
    "exceed_fine_lst), "
    "(SELECT coalesce(sum(volume), 0) FROM wkr_job_qty), (SELECT sum(total_read_qty) FROM item), "
    "(SELECT string_agg(book_lend_flag || location, '' ORDER BY prop_no) FROM item), "
    "(SELECT string_agg(volt_deal_flag, '' ORDER BY cert_id, punish_date) FROM reader_volt_lst), "
    "(SELECT sum(volt_flag) || ' ' || sum(total_lend_qty) FROM reader), "
    "(SELECT string_agg(password, ' ' ORDER BY wkr_no) FROM lib_worker))");

QString withNul(const QString& before, const QString& after)
{
    return before + QChar(0) + after;
}

// The hostile codes, by name: one per way a code could break out of its quotes, match by
// pattern, be cut short or fail to convert.
QList<QPair<const char*, QString>> hostileCodes()
{
    return {
        {"apostrophe after a card", QStringLiteral("D0000001'")},
        {"condition after a quote", QStringLiteral("' OR '1'='1")},
        {"percent", QStringLiteral("%")},
        {"underscore for the last digit", QStringLiteral("D000000_")},
        {"backslash", QStringLiteral("\\")},
        {"backslash quote, then a statement",
         QStringLiteral("\\';UPDATE lib_worker SET password=chr(72) WHERE "
                        "wkr_no=chr(66)||chr(48)||chr(48)||chr(50);--")},
        {"full-width code", QStringLiteral("Ｂ０００００００１")},
        {"control characters", QStringLiteral("B00\x01\x02\x1b[0m01")},
        {"line break between two codes", QStringLiteral("B0000001\r\nB0000002")},
        {"NUL inside a code", withNul(QStringLiteral("B0000001"), QStringLiteral("X"))},
        {"NUL before a quote", withNul(QStringLiteral("D0000001"), QStringLiteral("' OR '1'='1"))},
        {"NUL alone", QString(QChar(0))},
        {"lone surrogate", QString(QChar(0xD800))},
        {"10,000 characters", QString(10000, QLatin1Char('B'))},
        {"10,000 Chinese characters", QString(10000, QChar(0x4E66))},
        {"empty", QStringLiteral("")},
        {"null", QString()},
        {"tabs and line breaks", QStringLiteral("\t\r\n \t")},
    };
}

// The entries of the desk's operations that look a code up their own way; each answers an unknown
// code with its not-found message. Every card entry reads the reader alike, and registration looks
// its book up as counting does.
struct Entry
{
    const char* name;
    DeskMode mode;
    bool book;        // a book's code, else a reader's card
    bool readerFirst; // a reader is admitted before the book
};
const Entry checkInCard{"check-in card", DeskMode::ReaderCheckIn, false, false};
const Entry bookCounting{"book counting", DeskMode::BookCounting, true, false};
const Entry entries[] = {
    checkInCard,
    bookCounting,
    {"photocopy loan", DeskMode::CopyLending, true, true},
    {"photocopy return", DeskMode::CopyReturn, true, false},
};

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TestDatabase db{QStringLiteral("faults")};
    SharedPresenter* presenter = nullptr;
    std::unique_ptr<AdminLink> admin;

    QString figures() { return db.scalar(writtenFigures); }

    // Runs one entry with the code; the messages it showed.
    QString answer(const Entry& entry, const QString& code)
    {
        presenter->clear();
        DeskContext desk = deskAt(entry.mode);
        if (entry.readerFirst && ReaderAdmission().admit(desk, QStringLiteral("D0000001")).refused)
            return QStringLiteral("(reader not admitted)");
        presenter->clear();
        if (!entry.book)
            ReaderAdmission().admit(desk, code);
        else if (entry.mode == DeskMode::CopyLending)
            LendForPhotocopy(desk, code);
        else if (entry.mode == DeskMode::CopyReturn)
            ReturnPhotocopy(desk, code);
        else
            countOrRegisterBook(desk, code);
        return presenter->texts().join(QStringLiteral(" | "));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(db.isReady());
        db.exec(QStringLiteral("DO $$ BEGIN EXECUTE format('ALTER DATABASE %I SET "
                               "standard_conforming_strings = off', current_database()); END $$"));
        QVERIFY(prepareDeskProcess(db, home.path()));
        admin = std::make_unique<AdminLink>(db.connectionValues());
        QVERIFY2(ProcedurePause::install(*admin, {"reader_stat_hist", "book_use_stat_hist",
                                                  "redr_book_stat_hist", "wkr_job_qty", "item", "reader"}),
                 qPrintable(admin->error()));
        presenter = SharedPresenter::install();
    }

    void sessionTerminatedMidOperation_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("pausedAfter"); // the table whose row the procedure has just written
        const auto row = [](const char* tag, const char* operation, const char* table) {
            QTest::newRow(tag) << QString::fromLatin1(operation) << QString::fromLatin1(table);
        };
        // Each event's own procedure is broken inside; check-in, counting and registration share
        // the workload count and the commit, so check-in stands for them there.
        row("check-in, between its log and history rows", "check-in", "reader_stat_hist");
        row("book counting, between its log and history rows", "book counting", "book_use_stat_hist");
        row("registration, between its log and history rows", "registration", "redr_book_stat_hist");
        row("check-in, in the workload count", "check-in", "wkr_job_qty");
        row("photocopy lending, after the loan row", "photocopy lending", "item");
        row("photocopy lending, in the workload count", "photocopy lending", "wkr_job_qty");
        row("photocopy return, after the history row", "photocopy return", "item");
        row("photocopy return, in the workload count", "photocopy return", "wkr_job_qty");
        row("admission, between the violation and the reader's count", "admission", "reader");
        for (const char* operation : {"check-in", "photocopy lending", "photocopy return", "admission"})
            row(qPrintable(QStringLiteral("%1, at the commit").arg(QLatin1String(operation))), operation,
                ProcedurePause::AtCommit);
    }

    void sessionTerminatedMidOperation()
    {
        QFETCH(QString, operation);
        QFETCH(QString, pausedAfter);
        const FaultScenario scenario = faultScenario(operation);
        DeskContext desk = deskAt(scenario.mode);
        QVERIFY(scenario.prepare(*admin, desk));
        presenter->clear();
        const QList<long long> before = readFigures(*admin, scenario);
        QCOMPARE(before.size(), scenario.recordedChange.size());

        QVERIFY2(ProcedurePause::arm(*admin, pausedAfter), qPrintable(admin->error()));
        const int pid = DbSession::current().backendPid();
        std::atomic<bool> operationDone{false};
        bool paused = false;
        bool terminated = false;
        std::thread breaker([&] {
            AdminLink watcher(db.connectionValues());
            paused = ProcedurePause::awaitPaused(watcher, pid, operationDone);
            if (paused)
                terminated = watcher.number(
                                 QStringLiteral("SELECT pg_terminate_backend(%1, 10000)::int").arg(pid)) == 1;
        });
        const bool recorded = scenario.operate(desk);
        operationDone = true;
        breaker.join();
        QVERIFY(ProcedurePause::release(*admin));

        QVERIFY2(paused, "the operation never reached the pause");
        QVERIFY(terminated);
        QVERIFY(!recorded);
        QCOMPARE(presenter->takeTexts(),
                 (QStringList{shownText(QStringLiteral("S网络非正常中断，重新连接数据库？")),
                              shownText(QStringLiteral("I数据库连接成功！"))}));
        QVERIFY(DbSession::current().isConnected());
        QVERIFY(DbSession::current().backendPid() != pid);
        QVERIFY(!DbSession::current().inTransaction());
        QCOMPARE(readFigures(*admin, scenario), before);

        // The desk works again: the same scan goes through, once.
        QVERIFY(scenario.operate(desk));
        QCOMPARE(presenter->texts(), QStringList());
        QCOMPARE(readFigures(*admin, scenario), figuresAfter(before, scenario));
    }

    // The server refuses the workload count: the operation stands all the same, counted nowhere,
    // and the operator sees nothing of it.
    void workloadRefusedLeavesOperationStanding_data()
    {
        QTest::addColumn<QString>("operation");
        // Check-in, counting and registration count their workload alike.
        for (const char* operation : {"check-in", "photocopy lending", "photocopy return"})
            QTest::newRow(operation) << QString::fromLatin1(operation);
    }

    void workloadRefusedLeavesOperationStanding()
    {
        QFETCH(QString, operation);
        const FaultScenario scenario = faultScenario(operation);
        DeskContext desk = deskAt(scenario.mode);
        QVERIFY(scenario.prepare(*admin, desk));
        presenter->clear();
        const QList<long long> before = readFigures(*admin, scenario);
        QVERIFY(admin->exec(QStringLiteral(
            "CREATE FUNCTION refuse_workload() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE "
            "EXCEPTION 'refused by the test'; END $$; CREATE TRIGGER refuse_workload BEFORE INSERT OR "
            "UPDATE ON wkr_job_qty FOR EACH ROW EXECUTE FUNCTION refuse_workload()")));
        const bool recorded = scenario.operate(desk);
        QVERIFY(admin->exec(
            QStringLiteral("DROP TRIGGER refuse_workload ON wkr_job_qty; DROP FUNCTION refuse_workload()")));

        QVERIFY(recorded);
        QCOMPARE(presenter->texts(), QStringList());
        QVERIFY(!DbSession::current().inTransaction());
        // The last figure is the workload.
        QCOMPARE(readFigures(*admin, scenario), figuresAfter(before, scenario, before.size() - 1));
    }

    void everyEntryAnswersNotFound_data()
    {
        QTest::addColumn<QString>("code");
        for (const auto& code : hostileCodes())
            QTest::newRow(code.first) << code.second;
    }

    void everyEntryAnswersNotFound()
    {
        QFETCH(QString, code);
        const QString before = figures();
        for (const Entry& entry : entries) {
            const QString shown = answer(entry, code);
            QVERIFY2(shown == shownText(entry.book ? QStringLiteral("ELT130") : QStringLiteral("ELT101")),
                     qPrintable(QStringLiteral("%1 answered: %2").arg(QLatin1String(entry.name), shown)));
            QVERIFY(DbSession::current().isConnected());
            QVERIFY(!LIB_DB_InTransaction());
        }
        QCOMPARE(figures(), before);
    }

    // An operator's import file with hostile lines: every code read is counted (book counting)
    // or checked in (reader check-in) as if scanned, and each is answered as unknown.
    void importFileOfHostileCodes_data()
    {
        QTest::addColumn<QString>("separator");
        QTest::newRow("one code per line") << QString();
        QTest::newRow("codes separated by a backslash") << QStringLiteral("\\");
    }

    void importFileOfHostileCodes()
    {
        QFETCH(QString, separator);
        const QByteArray end = separator.isEmpty() ? QByteArray("\r\n") : separator.toUtf8();
        QByteArray content("\xEF\xBB\xBF"); // a byte-order mark, as some editors write
        int codesWritten = 0;
        for (const auto& code : hostileCodes()) {
            const QString text = code.second;
            if (text.contains(separator.isEmpty() ? QStringLiteral("\n") : separator) ||
                text.contains(QLatin1Char('\r')))
                continue;
            content += text.toUtf8() + end;
            codesWritten += text.trimmed().isEmpty() ? 0 : 1;
        }
        content += QByteArray("\xFF\xFE\x80 not UTF-8") + end; // bytes that are no text at all
        content += QByteArray("B0000001\0tail", 13) + end;     // a NUL byte inside a code
        content += QByteArray(" \t ") + end + QByteArray("\r\r\n\n");
        codesWritten += 2;
        const QString path = home.filePath(QStringLiteral("hostile.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();

        const QString before = figures();
        BarcodeImportReader reader(separator);
        QVERIFY(reader.open(path));
        QStringList codes;
        QString code;
        while (reader.next(code))
            codes << code;
        QVERIFY(!reader.failed());
        QCOMPARE(reader.bytesRead(), reader.size());
        QCOMPARE(codes.size(), codesWritten);
        for (const QString& imported : codes) {
            QVERIFY(!imported.isEmpty());
            QCOMPARE(answer(bookCounting, imported), shownText(QStringLiteral("ELT130")));
            QCOMPARE(answer(checkInCard, imported), shownText(QStringLiteral("ELT101")));
        }
        QCOMPARE(figures(), before);
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
