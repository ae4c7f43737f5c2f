// The statement routines and the error reporter against a real copy of the library database.
#include "db/database.h"
#include "db/dbretry.h"
#include "db/errorreporter.h"
#include "db/sysparams.h"
#include "startup/environment.h"
#include "support/recordingpresenter.h"
#include "support/testdatabase.h"

#include <QTemporaryDir>
#include <QTest>

class TestDatabaseRoutines : public QObject
{
    Q_OBJECT
    TestDatabase* db = nullptr;
    RecordingPresenter* presenter = nullptr;
    QTemporaryDir home;

private Q_SLOTS:
    void initTestCase()
    {
        db = new TestDatabase(QStringLiteral("database"));
        QVERIFY(db->isReady());
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("LOG")));
        Environment::instance().setProgramDirectory(home.path());
        QCOMPARE(db->connectCurrentSession(), 0);
        QCOMPARE(LIB_LoadBaseData(), 0);
        presenter = RecordingPresenter::install();
    }
    void cleanupTestCase() { delete db; }
    void init() { presenter->clear(); }

    void resultTableShape()
    {
        ResultTable t;
        QCOMPARE(
            LIB_DB_Select(QStringLiteral("SELECT NULL::text AS t, NULL::numeric AS n, current_date AS d, "
                                         "'abc  '::varchar AS v, 42::int AS i"),
                          t),
            0);
        QCOMPARE(t.recordCount(), 1);
        QCOMPARE(t.fieldCount(), 5);
        QCOMPARE(t.columnName(0), QStringLiteral("t"));
        QCOMPARE(t.value(0, 1).toInt(), int(ResultTable::TypeText));
        QCOMPARE(t.text(0, 2), QString());
        QCOMPARE(t.value(1, 2).toInt(), 0);
        QVERIFY(!t.value(2, 2).isValid()); // dates are read as text by the queries that need them
        QCOMPARE(t.text(3, 2), QStringLiteral("abc"));
        QCOMPARE(t.value(4, 2).toDouble(), 42.0);
        QVERIFY(!t.value(5, 2).isValid()); // the extra column
        QVERIFY(!t.value(0, 3).isValid()); // the extra row

        QCOMPARE(LIB_DB_Select(QStringLiteral("SELECT 1 AS a WHERE false"), t), 0);
        QCOMPARE(t.recordCount(), 0);
        QCOMPARE(t.columnName(0), QStringLiteral("a"));
        QVERIFY(!t.value(0, 2).isValid());
    }

    void quotingRoundTrips_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("apostrophes") << QStringLiteral("O'Brien's ''book''");
        QTest::newRow("backslashes") << QStringLiteral("C:\\LIB\\\\x\\'");
        QTest::newRow("like wildcards") << QStringLiteral("100% _of_ %S");
        QTest::newRow("chinese") << QStringLiteral("第一阅览室《红楼梦》");
        QTest::newRow("long") << QString(10000, QLatin1Char('x')) + QStringLiteral("'");
    }
    void quotingRoundTrips()
    {
        QFETCH(QString, value);
        ResultTable t;
        QCOMPARE(LIB_DB_Select(QStringLiteral("SELECT ") + LIB_SQLQuote(value) + QStringLiteral("::text"), t),
                 0);
        QCOMPARE(t.text(0, 2), value);
        QCOMPARE(LIB_SQLQuote(QVariant()), QStringLiteral("''"));
    }

    void callProcAndServerDate()
    {
        const QString now = LIB_DB_ServerDate();
        QCOMPARE(now.size(), 18);
        QCOMPARE(now.mid(4, 1), QStringLiteral("-"));
        QCOMPARE(now.mid(12, 1), QStringLiteral(":"));
        QCOMPARE(LIB_DB_CallProc(QStringLiteral("no_blank_here"), 0), -1);
        QCOMPARE(LIB_DB_Error().code, long(ErrorRecord::StatementFailed));
        LIB_DB_ShowError();
        QCOMPARE(presenter->lastText(), LIB_GetMsg(QStringLiteral("ECM012")));
    }

    void transactionRollsBack()
    {
        LIB_DB_BeginTrans();
        QVERIFY(LIB_DB_InTransaction());
        QCOMPARE(LIB_DB_Execute(QStringLiteral("CREATE TABLE tx_probe (a text)")), 0);
        LIB_DB_Rollback();
        QVERIFY(!LIB_DB_InTransaction());
        QCOMPARE(db->scalar(QStringLiteral("SELECT count(*) FROM pg_class WHERE relname = 'tx_probe'")),
                 QStringLiteral("0"));
    }

    void executeModeOneStoresBlank()
    {
        QCOMPARE(LIB_DB_Execute(QStringLiteral("CREATE TABLE blank_probe (a text, b text)")), 0);
        QCOMPARE(LIB_DB_Execute(QStringLiteral("  INSERT INTO blank_probe VALUES ('', 'x')  "), 1), 0);
        QCOMPARE(db->scalar(QStringLiteral("SELECT '[' || a || ']' FROM blank_probe")),
                 QStringLiteral("[ ]"));
    }

    void duplicateCardBarcode()
    {
        const QString card = db->scalar(QStringLiteral("SELECT min(redr_cert_id) FROM reader_cert"));
        QVERIFY(!card.isEmpty());
        LIB_DB_CurrentStatement() =
            QStringLiteral("INSERT INTO reader_cert SELECT * FROM reader_cert WHERE redr_cert_id = ") +
            LIB_SQLQuote(card);
        QCOMPARE(LIB_DB_Execute(LIB_DB_CurrentStatement()), -1);
        QCOMPARE(LIB_DB_Error().oracleNumber, 1L);
        LIB_DB_ShowError();
        QCOMPARE(presenter->lastText(), QStringLiteral("读者条码号重复!"));
        QCOMPARE(LIB_DB_Error().code, 0L);
    }

    void childRowWords_data()
    {
        QTest::addColumn<QString>("constraintName");
        QTest::addColumn<QString>("message");
        QTest::newRow("item") << "loan_probe_reitem"
                              << "该财产已经被相关记录引用!";
        QTest::newRow("reader") << "card_probe_rereader"
                                << "该读者已经被相关记录引用!";
        QTest::newRow("none of the words") << "stat_probe_relocation" << LIB_GetMsg(QStringLiteral("ECM011"));
    }
    void childRowWords()
    {
        QFETCH(QString, constraintName);
        QFETCH(QString, message);
        const QString parent = QStringLiteral("p_") + QTest::currentDataTag()[0];
        const QString child = QStringLiteral("c_") + QTest::currentDataTag()[0];
        QCOMPARE(LIB_DB_Execute(QStringLiteral("CREATE TABLE %1 (k text PRIMARY KEY)").arg(parent)), 0);
        QCOMPARE(LIB_DB_Execute(QStringLiteral("CREATE TABLE %1 (k text CONSTRAINT %2 REFERENCES %3)")
                                    .arg(child, constraintName, parent)),
                 0);
        QCOMPARE(LIB_DB_Execute(QStringLiteral("INSERT INTO %1 VALUES ('a'); INSERT INTO %2 VALUES ('a')")
                                    .arg(parent, child)),
                 0);
        QCOMPARE(LIB_DB_Execute(QStringLiteral("DELETE FROM %1").arg(parent)), -1);
        QCOMPARE(LIB_DB_Error().oracleNumber, 2292L);
        LIB_DB_ShowError();
        QCOMPARE(presenter->lastText(), message);
    }

    void lockedRowIsReported()
    {
        QCOMPARE(LIB_DB_Execute(QStringLiteral("CREATE TABLE lock_probe (k text PRIMARY KEY); "
                                               "INSERT INTO lock_probe VALUES ('a')")),
                 0);
        DbSession other;
        other.setConnectionValues(db->connectionValues());
        QCOMPARE(other.connect(), 0);
        other.beginTrans();
        ResultTable t;
        QCOMPARE(other.select(QStringLiteral("SELECT k FROM lock_probe FOR UPDATE"), t), 0);

        LIB_DB_BeginTrans();
        QCOMPARE(LIB_DB_Select(QStringLiteral("SELECT k FROM lock_probe FOR UPDATE NOWAIT"), t), -1);
        LIB_DB_Rollback();
        LIB_DB_ShowError();
        QCOMPARE(presenter->lastText(), QStringLiteral("该记录已经被锁定!"));
        other.rollback();
    }

    // A transaction the server cannot serialise (like a deadlock it breaks) is rolled back; run
    // under DbRetryOnce it runs once more without a word to the operator, and only a second
    // conflict is shown, with a message that tells the operator to do it again.
    void conflictRunsOnceMore_data()
    {
        QTest::addColumn<int>("conflicts");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("one conflict") << 1 << 0 << QStringList();
        QTest::newRow("two conflicts")
            << 2 << -1
            << QStringList{QStringLiteral("其他工作站正在处理同一记录，本次操作已撤销，请重新操作！")};
    }
    void conflictRunsOnceMore()
    {
        QFETCH(int, conflicts);
        QFETCH(int, result);
        QFETCH(QStringList, shown);
        db->exec(QStringLiteral("DROP TABLE IF EXISTS conflict_probe; CREATE TABLE conflict_probe (v int); "
                                "INSERT INTO conflict_probe VALUES (0)"));
        int attempts = 0;
        const auto operation = [&] {
            ++attempts;
            ResultTable t;
            LIB_DB_BeginTrans();
            LIB_DB_Execute(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ"));
            LIB_DB_Select(QStringLiteral("SELECT v FROM conflict_probe"), t);
            if (attempts <= conflicts)
                db->exec(QStringLiteral("UPDATE conflict_probe SET v = v + 1"));
            if (LIB_DB_Execute(QStringLiteral("UPDATE conflict_probe SET v = v + 10")) != 0) {
                LIB_DB_Rollback();
                LIB_DB_ShowError();
                return -1;
            }
            return LIB_DB_CommitTrans();
        };
        QCOMPARE(DbRetryOnce(operation), result);
        QCOMPARE(attempts, 2);
        QCOMPARE(presenter->texts(), shown);
        QCOMPARE(db->scalar(QStringLiteral("SELECT v FROM conflict_probe")),
                 QString::number(conflicts + 10 * (1 + result)));
    }

    void lostConnectionOffersReconnect()
    {
        ResultTable t;
        // Cancel: the session stays broken and the next statement asks again.
        db->terminateOtherSessions();
        QCOMPARE(LIB_DB_Select(QStringLiteral("SELECT 1"), t), -1);
        QCOMPARE(LIB_DB_Error().oracleNumber, 3113L);
        presenter->answerNext(2);
        LIB_DB_ShowError();
        QCOMPARE(presenter->texts(), QStringList{QStringLiteral("网络非正常中断，重新连接数据库？")});
        QCOMPARE(LIB_DB_Select(QStringLiteral("SELECT 1"), t), -1);
        presenter->clear();
        presenter->answerNext(1);
        LIB_DB_ShowError();
        QCOMPARE(presenter->texts(), (QStringList{QStringLiteral("网络非正常中断，重新连接数据库？"),
                                                  QStringLiteral("数据库连接成功！")}));
        QCOMPARE(LIB_DB_Select(QStringLiteral("SELECT 1"), t), 0);
    }

    void textHelpers()
    {
        QString list = QStringLiteral("R1,R2,,S1");
        QCOMPARE(LIB_CutToken(list, QStringLiteral(",")), QStringLiteral("R1"));
        QCOMPARE(list, QStringLiteral("R2,,S1"));
        QString last = QStringLiteral("S1");
        QCOMPARE(LIB_CutToken(last, QStringLiteral(",")), QStringLiteral("S1"));
        QVERIFY(last.isEmpty());
        QCOMPARE(LIB_Replace(QStringLiteral("aXbXc"), QStringLiteral("X"), QStringLiteral("XX")),
                 QStringLiteral("aXXbXXc"));
        QCOMPARE(LIB_Replace(QString(), QStringLiteral("X"), QStringLiteral("Y")), QString());
    }
};

QTEST_GUILESS_MAIN(TestDatabaseRoutines)
#include "tst_database.moc"
