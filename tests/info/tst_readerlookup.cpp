// Finding readers: the quick lookups, the general search's statement and rows, and the
// general-certificate service asked over HTTP (a small service the test runs itself).
#include "db/database.h"
#include "info/generalcert.h"
#include "info/readercaptions.h"
#include "info/readerlookup.h"
#include "info/readersearchmodel.h"
#include "info/readersearchquery.h"
#include "startup/profilefile.h"
#include "startup/readersearchlists.h"
#include "support/deskdata.h"
#include "support/recordingpresenter.h"
#include "support/scriptedservice.h"

#include <QTemporaryDir>
#include <QTest>

class TestReaderLookup : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TestDatabase db{QStringLiteral("readerlookup")};
    RecordingPresenter* presenter = nullptr;
    ScriptedService service;

    QString configFile() const { return home.filePath(QStringLiteral("tavorn.ini")); }

private Q_SLOTS:
    void initTestCase()
    {
        loadDeskData(db, home.path());
        QCOMPARE(ReaderSearchLists::instance().load(), 0);
        presenter = RecordingPresenter::install();
        // A second reader whose card begins like D0000010's, and a second card of R0000001.
        db.exec(QStringLiteral("INSERT INTO reader_cert (redr_cert_id, cert_id, cert_flag, oper_date) VALUES "
                               "('D0000011', 'R1000001', '1', '2020-01-01'), "
                               "('D9000001', 'R0000001', '0', '2030-01-01')"));
        QVERIFY(service.isListening());
    }
    void init() { presenter->clear(); }

    void quickLookupFindsReadersByKeyPrefix_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        QTest::addColumn<QString>("statementPart");
        QTest::newRow("one card") << 0 << "D0000001" << QStringList{"R0000001"}
                                  << "redr_cert_id LIKE 'D0000001%'";
        QTest::newRow("barcode upper-cased") << 0 << "d0000002" << QStringList{"R0000002"} << "'D0000002%'";
        QTest::newRow("two readers") << 0 << "D000001" << QStringList{"R0000010", "R1000001"} << "'D000001%'";
        QTest::newRow("cancelled card") << 0 << "D0000004" << QStringList{"R0000004"} << "'D0000004%'";
        QTest::newRow("certificate") << 1 << "r0000003" << QStringList{"R0000003"}
                                     << "reader.cert_id LIKE 'R0000003%'";
        QTest::newRow("identity card")
            << 2 << "110108200301" << QStringList{"R0000001"} << "reader.id_card LIKE";
        QTest::newRow("name as typed")
            << 3 << "张伟" << QStringList{"R0000001"} << "reader.name LIKE '张伟%'";
        QTest::newRow("quote in name") << 3 << "O'Brien" << QStringList{} << "'O''Brien%'";
        QTest::newRow("no card") << 0 << "X" << QStringList{} << "'X%'";
    }
    void quickLookupFindsReadersByKeyPrefix()
    {
        QFETCH(int, kind);
        QFETCH(QString, typed);
        QFETCH(QString, statementPart);
        QStringList certIds;
        QCOMPARE(ReaderLookup::find(ReaderLookup::Kind(kind), typed, certIds), 0);
        certIds.sort();
        QTEST(certIds, "found");
        QVERIFY2(LIB_DB_CurrentStatement().contains(statementPart), qPrintable(LIB_DB_CurrentStatement()));
    }

    // (The window's query box shows the messages of a missing card and certificate.)
    void lookupMessagesAndNormaliser()
    {
        QCOMPARE(ReaderLookup::notFoundMessage(ReaderLookup::IdCard), QStringLiteral("ELT201"));
        QCOMPARE(ReaderLookup::notFoundMessage(ReaderLookup::Name), QStringLiteral("ELT201"));
        ReaderLookup::setCardNormaliser(
            [](const QString& raw) -> QString { return QStringLiteral("d") + raw.right(7); });
        QCOMPARE(ReaderLookup::searchText(ReaderLookup::CardBarcode, QStringLiteral("99990000009")),
                 QStringLiteral("D0000009"));
        QCOMPARE(ReaderLookup::searchText(ReaderLookup::Name, QStringLiteral("abc")), QStringLiteral("abc"));
        ReaderLookup::setCardNormaliser({});
        QStringList none;
        const long sent = DbSession::current().roundTrips();
        QCOMPARE(ReaderLookup::find(ReaderLookup::Name, QString(), none), 0);
        QCOMPARE(DbSession::current().roundTrips(), sent);
    }

    void generalSearchListsCardsOrRefuses_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<bool>("exact");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QStringList>("condition"); // column, value
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QStringList>("cards"); // "barcode state"
        const auto add = [](const char* tag, int option, bool exact, const char* from, const char* to,
                            const QStringList& condition, const char* refusal, const QStringList& cards) {
            QTest::newRow(tag) << option << exact << QString::fromUtf8(from) << QString::fromUtf8(to)
                               << condition << QString::fromUtf8(refusal) << cards;
        };
        const QStringList cardsOfR0000001{"D0000001 有效", "D9000001 注销"};
        add("barcode range", 0, false, "D0000003", "D0000005", {}, "",
            {"D0000003 有效", "D0000004 注销", "D0000005 挂失"});
        add("open-ended certificate range", 1, false, "", "R0000001", {}, "", cardsOfR0000001);
        add("empty range", 0, false, "", "", {}, "E条码号或者证件号空间不许为空!", {});
        add("bad date", 2, false, "2024-02-30", "2024-03-01", {}, "E时间输入错误!", {});
        add("two cards, valid first", 3, true, "", "", {"READER.cert_id", "R0000001"}, "", cardsOfR0000001);
        add("prefix", 3, false, "", "", {"READER.name", "张伟"}, "", cardsOfR0000001);
        add("exact needs the whole", 3, true, "", "", {"READER.name", "张"}, "", {});
        add("no value", 3, false, "", "", {"READER.dept", ""}, "EBM003", {});
    }
    void generalSearchListsCardsOrRefuses()
    {
        QFETCH(int, option);
        QFETCH(bool, exact);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QStringList, condition);
        QFETCH(QString, refusal);
        ReaderSearchCriteria criteria;
        criteria.option = ReaderSearchCriteria::Option(option);
        criteria.exactMatch = exact;
        criteria.from = from;
        criteria.to = to;
        if (!condition.isEmpty())
            criteria.conditions.append({condition.at(0), condition.at(1)});
        QString refused;
        const QString statement = ReaderSearch::statement(criteria, &refused);
        QCOMPARE(refused, refusal);
        QCOMPARE(statement.isEmpty(), !refusal.isEmpty());
        if (statement.isEmpty())
            return;
        ResultTable rows;
        QCOMPARE(LIB_DB_Select(statement, rows), 0);
        ReaderSearchModel model;
        model.setResult(rows);
        QStringList cards;
        for (int row = 0; row < model.rowCount(); ++row)
            cards << model.text(row, ReaderSearchModel::Barcode) + ' ' +
                         model.text(row, ReaderSearchModel::CardState);
        QTEST(cards, "cards");
    }

    void searchRowsShowDeregisteredReadersChecked()
    {
        ReaderSearchCriteria criteria;
        criteria.option = ReaderSearchCriteria::BarcodeRange;
        criteria.from = criteria.to = QStringLiteral("D0000003");
        QString refused;
        ResultTable rows;
        QCOMPARE(LIB_DB_Select(ReaderSearch::statement(criteria, &refused), rows), 0);
        ReaderSearchModel model;
        model.setResult(rows);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.index(0, ReaderSearchModel::Deregistered).data(Qt::CheckStateRole).toInt(),
                 int(Qt::Checked));
    }

    void conditionFieldsTakeCaptionsAndCodeLists()
    {
        const QString file = home.filePath(QStringLiteral("LT_reader.ini"));
        QVERIFY(ProfileFile::write(file, QStringLiteral("读者"), QStringLiteral("R004"),
                                   QStringLiteral("读者姓名")));
        ReaderCaptions::instance().load(file);
        QStringList captions;
        ReaderSearchField types;
        for (const ReaderSearchField& field : ReaderSearch::fields()) {
            captions << field.caption;
            if (field.column == QLatin1String("READER.redr_type_code"))
                types = field;
        }
        // A caption the file leaves out shows the column.
        QCOMPARE(captions.at(4), QStringLiteral("读者姓名"));
        QCOMPARE(captions.at(0), QStringLiteral("READER.cert_id"));
        const QList<ReaderSearchCode> codes = ReaderSearch::codes(types);
        QVERIFY(codes.size() > 1);
        QCOMPARE(codes.first().shown, QStringLiteral("[不定]"));
        QVERIFY(codes.first().value.isEmpty());
        QCOMPARE(codes.at(1).value, QStringLiteral("10"));
        QCOMPARE(codes.at(1).shown, QStringLiteral("10 本科生"));
    }

    // (Letters, digits, a blank and Chinese bytes: the request line of the lookup below.)
    void urlEncodingEscapesSigns()
    {
        QCOMPARE(GeneralCert::urlEncode(QStringLiteral("a b&c=%")), QByteArray("a+b%26c%3D%25"));
    }

    void generalCertificateLookupOverHttp_data()
    {
        QTest::addColumn<bool>("configured");
        QTest::addColumn<int>("lookup");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("state");
        const QByteArray ok = "1\x1f成功\x1d"
                              "G0001\x1f"
                              "2\x1f张伟\x1f信息学院";
        QTest::newRow("fields and state")
            << true << 0 << ok << 0 << "" << QStringList{"G0001", "2", "张伟", "信息学院"} << "挂失";
        QTest::newRow("certificate failure") << true << 0 << QByteArray("-1\x1f证件不存在\x1d") << -1
                                             << "获取通用证信息失败!\n证件不存在" << QStringList{} << "";
        QTest::newRow("reader failure") << true << 1 << QByteArray("-1\x1f服务停止") << -1
                                        << "获取信息失败!\n服务停止" << QStringList{} << "";
        QTest::newRow("switched off") << false << 0 << ok << -1 << "" << QStringList{} << "";
    }
    void generalCertificateLookupOverHttp()
    {
        QFETCH(bool, configured);
        QFETCH(int, lookup);
        QFETCH(QByteArray, reply);
        QFETCH(int, status);
        QFETCH(QStringList, fields);
        QFile::remove(configFile());
        if (configured)
            QVERIFY(ProfileFile::write(configFile(), "GENERAL", "URL", service.address() + "/"));
        QCOMPARE(GeneralCert::isConfigured(), configured);
        const QByteArray path = QByteArray("/general/") + (lookup == 0 ? "certsearch" : "redrsearch") +
                                ".php?strChr=G0001+%E5%BC%A0";
        service.bodies = {{path, reply}};
        service.requests.clear();
        QString rest;
        QCOMPARE(GeneralCert::ask(GeneralCert::Lookup(lookup), QStringLiteral("G0001 张"), rest), status);
        QTEST(presenter->lastText(), "message");
        QCOMPARE(service.requests,
                 configured ? QList<QByteArray>{"GET " + path + " HTTP/1.1"} : QList<QByteArray>());
        const GeneralCert::Record record = GeneralCert::Record::fromReply(rest);
        if (status == 0) {
            QCOMPARE(record.fields, fields);
            QTEST(record.stateText(), "state");
        }
    }

    void serviceReaderByCodeAfterSeparator()
    {
        QVERIFY(ProfileFile::write(configFile(), QStringLiteral("GENERAL"), QStringLiteral("CODE"),
                                   QStringLiteral("GEN")));
        QVERIFY(GeneralCert::isServiceReader(QStringLiteral("X|GEN")));
        QVERIFY(!GeneralCert::isServiceReader(QStringLiteral("GEN")));
        QVERIFY(!GeneralCert::isServiceReader(QStringLiteral("X|OTHER")));
    }
};

QTEST_MAIN(TestReaderLookup)
#include "tst_readerlookup.moc"
