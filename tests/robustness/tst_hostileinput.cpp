// Hostile codes at every entry of the desk's operations and in an import file: quotes, pattern
// characters, backslashes, Chinese, control characters, NUL, very long and empty codes. Each is
// answered with the system's not-found message, and nothing is written. The database reads
// backslashes in string literals as escapes unless a session says otherwise, as older servers did.
#include "db/database.h"
#include "desk/admission.h"
#include "desk/barcodeimport.h"
#include "desk/copylending.h"
#include "desk/copyreturn.h"
#include "desk/recording.h"
#include "robustdesk.h"
#include "support/testdatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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

// The hostile codes, by name.
QList<QPair<const char*, QString>> hostileCodes()
{
    return {
        {"apostrophe after a card", QStringLiteral("D0000001'")},
        {"condition after a quote", QStringLiteral("' OR '1'='1")},
        {"statement after a quote", QStringLiteral("'; DELETE FROM item; --")},
        {"percent", QStringLiteral("%")},
        {"percent for the last digit", QStringLiteral("B000000%")},
        {"underscore for the last digit", QStringLiteral("D000000_")},
        {"backslash", QStringLiteral("\\")},
        {"backslash before a quote", QStringLiteral("B0000001\\'")},
        {"escape string", QStringLiteral("E'\\x42'")},
        {"backslash quote, then a statement",
         QStringLiteral("\\';UPDATE lib_worker SET password=chr(72) WHERE "
                        "wkr_no=chr(66)||chr(48)||chr(48)||chr(50);--")},
        {"Chinese", QStringLiteral("读者证第一号")},
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
        {"blank", QStringLiteral("   ")},
        {"tabs and line breaks", QStringLiteral("\t\r\n \t")},
    };
}

} // namespace

class TestHostileInput : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TestDatabase db{QStringLiteral("hostileinput")};
    SharedPresenter* presenter = nullptr;

    QString figures() { return db.scalar(writtenFigures); }

    // Runs one entry with the code; the message it showed (empty: none, or more than one).
    QString answer(const QString& entry, const QString& code)
    {
        presenter->clear();
        DeskContext desk;
        const auto admitted = [&desk](DeskMode mode) {
            desk = deskAt(mode);
            return !ReaderAdmission().admit(desk, QStringLiteral("D0000001")).refused;
        };
        if (entry == QLatin1String("check-in card")) {
            desk = deskAt(DeskMode::ReaderCheckIn);
            ReaderAdmission().admit(desk, code);
        } else if (entry == QLatin1String("registration card")) {
            desk = deskAt(DeskMode::ReaderBookRegistration);
            ReaderAdmission().admit(desk, code);
        } else if (entry == QLatin1String("identity check card")) {
            desk = deskAt(DeskMode::IdentityCheck);
            ReaderAdmission().admit(desk, code);
        } else if (entry == QLatin1String("photocopy lending card")) {
            desk = deskAt(DeskMode::CopyLending);
            ReaderAdmission().admit(desk, code);
        } else if (entry == QLatin1String("book counting")) {
            desk = deskAt(DeskMode::BookCounting);
            countOrRegisterBook(desk, code);
        } else if (entry == QLatin1String("registered book")) {
            if (!admitted(DeskMode::ReaderBookRegistration))
                return QStringLiteral("(reader not admitted)");
            presenter->clear();
            countOrRegisterBook(desk, code);
        } else if (entry == QLatin1String("photocopy loan")) {
            if (!admitted(DeskMode::CopyLending))
                return QStringLiteral("(reader not admitted)");
            presenter->clear();
            LendForPhotocopy(desk, code);
        } else if (entry == QLatin1String("photocopy return")) {
            desk = deskAt(DeskMode::CopyReturn);
            ReturnPhotocopy(desk, code);
        }
        const QStringList texts = presenter->texts();
        return texts.size() == 1 ? texts.first() : texts.join(QStringLiteral(" | "));
    }

    // Every entry with the message it answers an unknown code with.
    static QList<QPair<QString, QString>> entries()
    {
        const QString noCard = QStringLiteral("ELT101");
        const QString noBook = QStringLiteral("ELT130");
        return {{QStringLiteral("check-in card"), noCard},
                {QStringLiteral("registration card"), noCard},
                {QStringLiteral("identity check card"), noCard},
                {QStringLiteral("photocopy lending card"), noCard},
                {QStringLiteral("book counting"), noBook},
                {QStringLiteral("registered book"), noBook},
                {QStringLiteral("photocopy loan"), noBook},
                {QStringLiteral("photocopy return"), noBook}};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(db.isReady());
        db.exec(QStringLiteral("DO $$ BEGIN EXECUTE format('ALTER DATABASE %I SET "
                               "standard_conforming_strings = off', current_database()); END $$"));
        QVERIFY(prepareDeskProcess(db, home.path()));
        presenter = SharedPresenter::install();
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
        for (const auto& entry : entries()) {
            const QString shown = answer(entry.first, code);
            QVERIFY2(shown == shownText(entry.second),
                     qPrintable(QStringLiteral("%1 answered: %2").arg(entry.first, shown)));
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
        QTest::newRow("codes separated by a percent sign") << QStringLiteral("%");
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
            QCOMPARE(answer(QStringLiteral("book counting"), imported), shownText(QStringLiteral("ELT130")));
            QCOMPARE(answer(QStringLiteral("check-in card"), imported), shownText(QStringLiteral("ELT101")));
        }
        QCOMPARE(figures(), before);
    }
};

QTEST_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
