// The start-up from the instance check to the login: what each failure shows, where it stops, and
// what a good start loads.
#include "codes/codetables.h"
#include "db/database.h"
#include "db/messages.h"
#include "db/sysparams.h"
#include "info/infostartup.h"
#include "info/readercaptions.h"
#include "startup/environment.h"
#include "startup/readersearchlists.h"
#include "startup/singleinstance.h"
#include "startup/startupsequence.h"
#include "support/deskprofile.h"
#include "support/recordingpresenter.h"
#include "support/testdatabase.h"
#include "support/testfiles.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestStartupSequence : public QObject
{
    Q_OBJECT
    RecordingPresenter* presenter = nullptr;
    TestDatabase* db = nullptr;
    QTemporaryDir home;
    QTemporaryDir runtime;

    QString iniPath() const { return home.filePath(QStringLiteral("tavorn.ini")); }
    static QString templateIndexFile()
    {
        return QStringLiteral(READDESK_RUNTIME_DIR "/CFG/BM/BaseParam/BM_MarcIDX.ini");
    }
    QString indexFile() const { return home.filePath(QStringLiteral("CFG/BM/BaseParam/BM_MarcIDX.ini")); }

    QStringList run(StartupSequence& sequence, bool& ok)
    {
        QStringList statuses;
        connect(&sequence, &StartupSequence::statusChanged, this, [&](const QString& s) { statuses << s; });
        sequence.announce();
        ok = sequence.run();
        return statuses;
    }

    QString logText() const { return textOfFiles(home.filePath(QStringLiteral("LOG"))); }

private Q_SLOTS:
    void initTestCase()
    {
        QDir(home.path()).mkpath(QStringLiteral("LOG"));
        QDir(home.path()).mkpath(QStringLiteral("CFG/sound"));
        QDir(home.path()).mkpath(QStringLiteral("CFG/BM/BaseParam"));
        QVERIFY(QFile::copy(templateIndexFile(), indexFile()));
        Environment::instance().setProgramDirectory(home.path());
        presenter = RecordingPresenter::install();
        db = new TestDatabase(QStringLiteral("startup"));
        QVERIFY(db->isReady());
    }
    void cleanupTestCase() { delete db; }
    void init()
    {
        presenter->clear();
        LIB_DB_Close();
        QFile::remove(iniPath());
        QDir(home.filePath(QStringLiteral("LOG"))).removeRecursively();
        QDir(home.path()).mkpath(QStringLiteral("LOG"));
    }

    void connectionFailureEndsAfterConnecting_data()
    {
        QTest::addColumn<bool>("withIni");
        QTest::addColumn<QString>("section");
        QTest::newRow("no tavorn.ini") << false << QString();
        QTest::newRow("LIB_SERVER names no section") << true << QStringLiteral("ELSEWHERE");
    }
    void connectionFailureEndsAfterConnecting()
    {
        QFETCH(bool, withIni);
        QFETCH(QString, section);
        if (withIni)
            QVERIFY(writeDeskProfile(iniPath(), db->connectionValues(), section));
        SingleInstance instance(runtime.path());
        StartupSequence sequence(instance, LIB_InformationStartupLoads());
        bool ok = true;
        const QStringList statuses = run(sequence, ok);
        QVERIFY(!ok);
        QCOMPARE(sequence.failedStep(), StartupSequence::ConnectDatabase);
        QCOMPARE(statuses.last(), QStringLiteral("连接数据库..."));
        QCOMPARE(presenter->texts(), QStringList{QStringLiteral("与数据库连接失败，启动失败！")});
        QCOMPARE(presenter->boxes.last().icon, MessagePresenter::Icon::Stop);
        QVERIFY(!DbSession::current().isConnected());
        QVERIFY(!logText().isEmpty());
    }

    void initialisationFailureEndsTheStartup_data()
    {
        QTest::addColumn<QString>("missingTable");
        QTest::addColumn<bool>("missingIndexFile");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("logged");
        QTest::newRow("system parameters")
            << "sys_comm_para" << false << int(StartupSequence::LoadBaseData) << "sys_comm_para";
        QTest::newRow("MARC index parameters")
            << "marc_idx_para" << false << int(StartupSequence::LoadMarcIndex) << "marc_idx_para";
        QTest::newRow("MARC search paths")
            << QString() << true << int(StartupSequence::LoadMarcIndex) << "BM_MarcIDX.ini";
    }
    void initialisationFailureEndsTheStartup()
    {
        QFETCH(QString, missingTable);
        QFETCH(bool, missingIndexFile);
        QFETCH(QString, logged);
        QVERIFY(writeDeskProfile(iniPath(), db->connectionValues()));
        if (!missingTable.isEmpty())
            db->exec(QStringLiteral("ALTER TABLE %1 RENAME TO gone").arg(missingTable));
        if (missingIndexFile)
            QFile::remove(indexFile());
        SingleInstance instance(runtime.path());
        StartupSequence sequence(instance, LIB_InformationStartupLoads());
        bool ok = true;
        run(sequence, ok);
        if (!missingTable.isEmpty())
            db->exec(QStringLiteral("ALTER TABLE gone RENAME TO %1").arg(missingTable));
        if (missingIndexFile)
            QVERIFY(QFile::copy(templateIndexFile(), indexFile()));
        QVERIFY(!ok);
        QTEST(int(sequence.failedStep()), "step");
        QCOMPARE(presenter->texts().size(), 2); // the failed load's own message, then the start-up's
        QCOMPARE(presenter->texts().last(), QStringLiteral("系统初始化出错，启动失败！"));
        QVERIFY2(logText().contains(logged), qPrintable(logText()));
    }

    void goodStartLoadsWhatTheDeskNeeds()
    {
        QVERIFY(writeDeskProfile(iniPath(), db->connectionValues(), "desk")); // section names ignore case
        db->exec(
            QStringLiteral("DELETE FROM tmp_itemlist; "
                           "INSERT INTO tmp_itemlist VALUES ('12', '工程师'), ('12', '教授'), ('15', '20')"));
        QDir(home.path()).mkpath(QStringLiteral("CFG/LT"));
        QFile::copy(QStringLiteral(READDESK_RUNTIME_DIR "/CFG/LT/LT_reader.ini"),
                    home.filePath(QStringLiteral("CFG/LT/LT_reader.ini")));
        SingleInstance instance(runtime.path());
        StartupSequence sequence(instance, LIB_InformationStartupLoads());
        bool ok = false;
        const QStringList statuses = run(sequence, ok);
        QVERIFY(ok);
        QVERIFY(presenter->boxes.isEmpty());
        QCOMPARE(ReaderCaptions::instance().caption(ReaderCaptions::Reader, ReaderCaptions::Name),
                 QStringLiteral("姓名"));
        QCOMPARE(statuses, (QStringList{QStringLiteral("检查程序是否已经运行..."),
                                        QStringLiteral("取系统环境变量..."), QStringLiteral("连接数据库..."),
                                        QStringLiteral("初始化系统使用的基本数据...")}));
        QVERIFY(DbSession::current().isConnected());
        QVERIFY(MessageCatalogue::instance().findRow(QStringLiteral("ECM500")) >= 0);
        QCOMPARE(LIB_GetSysPara(1).toString(), QStringLiteral("流通阅览"));

        QCOMPARE(CodeTables::instance().deskLocations().recordCount(), 2);

        const ResultTable& titles = ReaderSearchLists::instance().list(12);
        QCOMPARE(titles.recordCount(), 2);
        QCOMPARE(titles.text(0, 2), QStringLiteral("工程师"));
        QCOMPARE(ReaderSearchLists::instance().list(15).recordCount(), 1);
        QCOMPARE(ReaderSearchLists::instance().list(11).recordCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestStartupSequence)
#include "tst_startupsequence.moc"
