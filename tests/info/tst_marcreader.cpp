// Reading MARC records from a copy of the demo library, and the start-up loading of the index
// parameters and search paths.
#include "db/database.h"
#include "info/bibelements.h"
#include "info/marcindexparams.h"
#include "info/marcreader.h"
#include "info/marcsearchpaths.h"
#include "marctestdata.h"
#include "startup/environment.h"
#include "support/recordingpresenter.h"
#include "support/testdatabase.h"
#include "support/testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestMarcReader : public QObject
{
    Q_OBJECT
    TestDatabase* db = nullptr;
    RecordingPresenter* presenter = nullptr;
    QTemporaryDir home;

    // Changes the copy behind the back of the session under test.
    void run(const QString& statement) { db->exec(statement); }

    QString searchPathFile() const
    {
        return home.filePath(QStringLiteral("CFG/BM/BaseParam/BM_MarcIDX.ini"));
    }

    void installTemplateSearchPaths() const
    {
        QFile::remove(searchPathFile());
        QVERIFY(QFile::copy(QStringLiteral(READDESK_RUNTIME_DIR "/CFG/BM/BaseParam/BM_MarcIDX.ini"),
                            searchPathFile()));
    }

    QString todaysLog() const { return textOfFiles(home.filePath(QStringLiteral("LOG"))); }

    // Stores a record text in marc_data as these pieces, three to a row (marc01, marc02, marc03),
    // the rows written last first.
    void storeRecord(const QString& number, const QStringList& pieces)
    {
        const QString key = LIB_SQLQuote(number);
        run(QStringLiteral("DELETE FROM marc WHERE marc_rec_no = %1").arg(key));
        run(QStringLiteral("INSERT INTO marc (marc_rec_no, marc_type) VALUES (%1, 'C')").arg(key));
        for (int row = int(pieces.size() - 1) / 3; row >= 0; --row) {
            QStringList values;
            for (int column = row * 3; column < row * 3 + 3; ++column)
                values << (column < pieces.size() ? LIB_SQLQuote(pieces.at(column)) : QStringLiteral("NULL"));
            run(QStringLiteral("INSERT INTO marc_data VALUES (%1, %2, %3)")
                    .arg(key)
                    .arg(row + 1)
                    .arg(values.join(',')));
        }
    }

    // A text cut into pieces of at most `size` characters, each ending just after a blank where
    // it has one (the directory has none).
    static QStringList piecesEndingInBlanks(const QString& text, int size)
    {
        QStringList pieces;
        for (qsizetype from = 0; from < text.size();) {
            qsizetype end = text.size();
            if (end - from > size) {
                end = text.lastIndexOf(QLatin1Char(' '), from + size - 1) + 1;
                if (end <= from)
                    end = from + size;
            }
            pieces << text.mid(from, end - from);
            from = end;
        }
        return pieces;
    }

    // marc_data's pieces as wide as `width` characters; the session probes the long-MARC flag
    // (wider than 2,000) again.
    void setPieceWidth(int width)
    {
        run(QStringLiteral("ALTER TABLE marc_data ALTER marc01 TYPE varchar(%1), ALTER marc02 TYPE "
                           "varchar(%1), ALTER marc03 TYPE varchar(%1)")
                .arg(width));
        QCOMPARE(db->connectCurrentSession(), 0);
        QCOMPARE(LIB_DB_SchemaFlags().longMarc, width > 2000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        db = new TestDatabase(QStringLiteral("marc"));
        QVERIFY(db->isReady());
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("LOG")));
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("CFG/BM/BaseParam")));
        Environment::instance().setProgramDirectory(home.path());
        QCOMPARE(db->connectCurrentSession(), 0);
        QVERIFY(!LIB_DB_SchemaFlags().longMarc);
        presenter = RecordingPresenter::install();
        installTemplateSearchPaths();
        QCOMPARE(LIB_LoadMarcIndexParameters(), 0);
        QVERIFY(presenter->boxes.isEmpty());
    }
    void cleanupTestCase() { delete db; }
    void init() { presenter->clear(); }

    void startupLoadsParametersAndPaths()
    {
        const MarcIndexParameters& parameters = MarcIndexParameters::instance();
        QCOMPARE(parameters.fieldSpec(MarcRecord::CnMarc, 2), QStringLiteral("200f,701a,711a,702a"));
        QCOMPARE(parameters.fieldSpec(MarcRecord::UsMarc, 8), QStringLiteral("260b,264b"));
        QVERIFY(parameters.groups(MarcRecord::CnMarc).first().stopwords);
        QCOMPARE(parameters.stopwords().size(), 12);
        const QList<MarcSearchPath>& paths = MarcSearchPaths::instance().paths();
        QCOMPARE(paths.first().caption, QStringLiteral("题名"));
        QCOMPARE(paths.last().group, QStringLiteral("93"));
    }

    // Every demo record: the elements read from the record text agree with the columns the
    // catalogue keeps beside it, and reading many at once gives the same records.
    void demoRecordsAgreeWithTheirHeaders()
    {
        ResultTable demo;
        QCOMPARE(LIB_DB_Select(
                     QStringLiteral("SELECT marc_rec_no, m_title, m_author, m_publisher, m_isbn FROM marc "
                                    "ORDER BY marc_rec_no"),
                     demo),
                 0);
        QVERIFY(demo.recordCount() >= 20);
        QStringList numbers;
        for (int r = 2; r < demo.recordCount() + 2; ++r)
            numbers << demo.text(0, r);

        const long before = DbSession::current().roundTrips();
        QHash<QString, MarcRecord> many;
        QCOMPARE(MarcReader::readMany(numbers + numbers + QStringList{QStringLiteral("9999999999")}, many),
                 0);
        QCOMPARE(DbSession::current().roundTrips() - before, 1L);
        QCOMPARE(many.size(), numbers.size());

        for (int r = 2; r < demo.recordCount() + 2; ++r) {
            MarcRecord record;
            QCOMPARE(MarcReader::read(demo.text(0, r), record), 0);
            QVERIFY2(!record.isEmpty(), qPrintable(demo.text(0, r)));
            QCOMPARE(LIB_GetBibElement(record, BibTitle), demo.text(1, r));
            QCOMPARE(LIB_GetBibElement(record, BibResponsible), demo.text(2, r));
            QCOMPARE(LIB_GetBibElement(record, BibPublisher), demo.text(3, r));
            QCOMPARE(LIB_GetIndexGroupValue(record, IsbnIndexGroup), demo.text(4, r));
            QCOMPARE(many.value(demo.text(0, r)).text(), record.text());
            QCOMPARE(many.value(demo.text(0, r)).header().cataDate, record.header().cataDate);
        }
    }

    // Real records stored in pieces that end in blanks, as the demo and the generator cut them
    // (2,000 characters) and shorter, over several rows: every blank is part of the record.
    void piecesEndingInBlanks_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("pieceSize");
        QTest::newRow("UNIMARC of 2,498 bytes, pieces of 2,000") << "unimarc-1.mrc" << 2000;
        QTest::newRow("20 US MARC records, pieces of 200 over rows") << "usmarc-20.mrc" << 200;
    }
    void piecesEndingInBlanks()
    {
        QFETCH(QString, file);
        QFETCH(int, pieceSize);
        const QList<QByteArray> texts = marctest::sampleRecords(file);
        QVERIFY(!texts.isEmpty());
        for (int i = 0; i < texts.size(); ++i) {
            const QStringList pieces = piecesEndingInBlanks(QString::fromUtf8(texts.at(i)), pieceSize);
            QVERIFY(pieces.size() > 1);
            const QString number = QStringLiteral("T%1").arg(i, 9, 10, QLatin1Char('0'));
            storeRecord(number, pieces);
            MarcRecord record;
            QCOMPARE(MarcReader::read(number, record), 0);
            QCOMPARE(record.text(), texts.at(i));
            QCOMPARE(record.problem(), QString());
        }
    }

    // A record of more than 2,000 bytes with Chinese text whose directory counts UTF-8 or ANSI
    // bytes, read from its pieces as stored or, with pieces wider than 2,000 characters, through
    // the server's own dump() of them. A record that agrees with neither count reads as empty and
    // is written to the log.
    void longChineseRecord_data()
    {
        QTest::addColumn<int>("pieceWidth");
        QTest::addColumn<QString>("count"); // "UTF-8", "ANSI", or "neither"
        for (const int width : {2000, 4000}) {
            for (const char* count : {"UTF-8", "ANSI", "neither"}) {
                const QString tag = QStringLiteral("%1, pieces of %2").arg(QLatin1String(count)).arg(width);
                QTest::newRow(qPrintable(tag)) << width << QString::fromLatin1(count);
            }
        }
    }
    void longChineseRecord()
    {
        QFETCH(int, pieceWidth);
        QFETCH(QString, count);
        const auto fields = marctest::longChineseFields();
        QByteArray text =
            marctest::iso2709(fields, count == QLatin1String("UTF-8") ? MarcRecord::ByteCount::Utf8
                                                                      : MarcRecord::ByteCount::Ansi);
        if (count == QLatin1String("neither"))
            text.replace(0, 5, "00999");
        QVERIFY(text.size() > 2000);
        setPieceWidth(pieceWidth);
        const QString whole = QString::fromUtf8(text);
        QStringList pieces;
        for (qsizetype from = 0; from < whole.size(); from += pieceWidth)
            pieces << whole.mid(from, pieceWidth);
        storeRecord(QStringLiteral("C000000001"), pieces);

        run(QStringLiteral("UPDATE marc SET m_title = '基地与帝国 ' WHERE marc_rec_no = 'C000000001'"));

        MarcRecord record;
        QHash<QString, MarcRecord> many;
        const int read = MarcReader::read(QStringLiteral("C000000001"), record);
        const int readMany = MarcReader::readMany({QStringLiteral("C000000001")}, many);
        // The list columns of marc, dumped and decoded on the same path (m_author is NULL).
        ResultTable list;
        const int listed = LIB_DB_SelectMarc(
            QStringLiteral(
                "select MARC_REC_NO,M_TITLE,M_AUTHOR from marc where marc_rec_no in ('C000000001')"),
            list);
        run(QStringLiteral("DELETE FROM marc WHERE marc_rec_no = 'C000000001'"));
        setPieceWidth(2000);

        QCOMPARE(read, 0);
        QCOMPARE(readMany, 0);
        QCOMPARE(listed, 0);
        QCOMPARE(list.text(1, 2), QStringLiteral("基地与帝国"));
        QCOMPARE(list.text(2, 2), QString());
        QCOMPARE(record.text(), text);
        QCOMPARE(many.value(QStringLiteral("C000000001")).text(), text);
        QCOMPARE(record.isDecoded(), pieceWidth > 2000);
        if (count == QLatin1String("neither")) {
            QVERIFY(record.isEmpty());
            QVERIFY(todaysLog().contains(QStringLiteral("MARC记录[C000000001]")));
            return;
        }
        QCOMPARE(record.byteCount(),
                 count == QLatin1String("ANSI") ? MarcRecord::ByteCount::Ansi : MarcRecord::ByteCount::Utf8);
        QCOMPARE(marctest::fieldsOf(record), fields);
        QCOMPARE(LIB_GetBibElement(record, BibTitle), QStringLiteral("基地与帝国"));
        QCOMPARE(LIB_GetBibElement(many.value(QStringLiteral("C000000001")), BibPublisher),
                 QStringLiteral("四川科学技术出版社"));
    }

    void missingAndFailedReads()
    {
        MarcRecord record =
            MarcRecord::fromIso2709(marctest::iso2709({{QStringLiteral("200"), QStringLiteral("1 $aX")}}));
        QCOMPARE(MarcReader::read(QStringLiteral("no such record"), record), 0);
        QVERIFY(record.isEmpty());
        QCOMPARE(LIB_GetBibElement(record, BibTitle), QString());

        run(QStringLiteral("ALTER TABLE marc_data RENAME TO marc_data_away"));
        QCOMPARE(MarcReader::read(QStringLiteral("0000000001"), record), -1);
        QVERIFY(record.isEmpty());
        QHash<QString, MarcRecord> many{{QStringLiteral("x"), record}};
        QCOMPARE(MarcReader::readMany({QStringLiteral("0000000001")}, many), -1);
        QVERIFY(many.isEmpty());
        QCOMPARE(LIB_DB_Error().code, long(ErrorRecord::SelectFailed));
        QVERIFY(LIB_DB_CurrentStatement().contains(QLatin1String("marc_data")));
        LIB_DB_Error().clear();
        run(QStringLiteral("ALTER TABLE marc_data_away RENAME TO marc_data"));
        QVERIFY(presenter->boxes.isEmpty()); // reporting is the caller's
    }

    void startupFailures_data()
    {
        QTest::addColumn<QString>("unreadableTable");
        QTest::addColumn<QString>("iniText"); // null: no file
        QTest::addColumn<QString>("message");
        const QString good = QStringLiteral("[使用检索途径]\n000=01:题名\n");
        const QString parameters =
            QStringLiteral("初始化MARC索引参数出错，请代码管理员检查marc_idx_para数据是否正确。");
        QTest::newRow("index parameters") << "marc_idx_para" << good << parameters;
        QTest::newRow("stop words") << "stopword" << good << parameters;
        QTest::newRow("no search path file")
            << QString() << QString() << "初始化编目数据参数出错，请请恢复cfg\\bm\\baseparam。";
        const QString damaged = QStringLiteral("编目参数文件初始化错");
        QTest::newRow("path without caption") << QString() << "[使用检索途径]\n000=01:题名\n001=02\n"
                                              << damaged;
        QTest::newRow("no path") << QString() << "[其他]\n000=01:题名\n" << damaged;
    }
    void startupFailures()
    {
        QFETCH(QString, unreadableTable);
        QFETCH(QString, iniText);
        QFETCH(QString, message);
        QFile::remove(searchPathFile());
        QFile file(searchPathFile());
        if (!iniText.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(iniText.toUtf8()) > 0);
        file.close();
        const QString away = QStringLiteral("ALTER TABLE %1 RENAME TO %2");
        if (!unreadableTable.isEmpty())
            run(away.arg(unreadableTable, unreadableTable + QStringLiteral("_away")));
        const int loaded = LIB_LoadMarcIndexParameters();
        if (!unreadableTable.isEmpty())
            run(away.arg(unreadableTable + QStringLiteral("_away"), unreadableTable));
        installTemplateSearchPaths();

        QCOMPARE(loaded, -1);
        QCOMPARE(presenter->texts(), QStringList{message});
        QCOMPARE(presenter->boxes.first().title, QStringLiteral("系统初始化"));
        QVERIFY(todaysLog().contains(message));
        QCOMPARE(LIB_DB_Error().code, long(ErrorRecord::None));
        // What was loaded before stays in use.
        QCOMPARE(MarcIndexParameters::instance().groups(MarcRecord::CnMarc).size(), 10);
        QCOMPARE(MarcSearchPaths::instance().paths().size(), 13);
    }

    void atMostTwentySearchPaths()
    {
        QString text = QStringLiteral("[使用检索途径]\n");
        for (int key = 0; key < 25; ++key)
            text += QStringLiteral("%1=%2:path %2:extra\n").arg(key, 3, 10, QLatin1Char('0')).arg(key + 1);
        QFile file(searchPathFile());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0);
        file.close();
        MarcSearchPaths paths;
        QCOMPARE(paths.load(searchPathFile()), MarcSearchPaths::Status::Loaded);
        installTemplateSearchPaths();
        QCOMPARE(paths.paths().size(), 20);
        QCOMPARE(paths.paths().last().caption, QStringLiteral("path 20"));
        QCOMPARE(paths.paths().last().parts, (QStringList{"20", "path 20", "extra"}));
    }
};

QTEST_GUILESS_MAIN(TestMarcReader)
#include "tst_marcreader.moc"
