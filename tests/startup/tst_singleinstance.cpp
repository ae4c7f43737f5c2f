// Two desks on one machine: the real program started twice, offscreen, with its own program and
// runtime directories. Nobody can answer a box offscreen, so the desk writes its messages to
// standard error there and takes their default answer.
#include "startup/singleinstance.h"
#include "support/deskprofile.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
constexpr int processWait = 60000; // generous: the machine may be busy compiling
}

class TestSingleInstance : public QObject
{
    Q_OBJECT
    TestDatabase* db = nullptr;
    QTemporaryDir home;
    QTemporaryDir runtime;

    void startDesk(QProcess& desk)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("TAVORN_HOME"), home.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.insert(QStringLiteral("LT3_COMPUTERNAME"), QStringLiteral("DESK-R1"));
        desk.setProcessEnvironment(environment);
        desk.start(QStringLiteral(READDESK_BINARY), QStringList());
        QVERIFY(desk.waitForStarted(processWait));
    }

    // Desks connected to the test library, this test's own administrative session left out.
    int deskSessions() const
    {
        return db
            ->scalar(
                QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() "
                               "AND application_name = 'readdesk' AND pid <> pg_backend_pid()"))
            .toInt();
    }

    static QString errorOutput(QProcess& desk) { return QString::fromUtf8(desk.readAllStandardError()); }

private Q_SLOTS:
    void initTestCase()
    {
        db = new TestDatabase(QStringLiteral("instance"));
        QVERIFY(db->isReady());
        QVERIFY(writeDeskProfile(home.filePath(QStringLiteral("tavorn.ini")), db->connectionValues()));
        QDir(home.path()).mkpath(QStringLiteral("LOG"));
        QDir(home.path()).mkpath(QStringLiteral("CFG/BM/BaseParam"));
        QVERIFY(QFile::copy(QStringLiteral(READDESK_RUNTIME_DIR "/CFG/BM/BaseParam/BM_MarcIDX.ini"),
                            home.filePath(QStringLiteral("CFG/BM/BaseParam/BM_MarcIDX.ini"))));
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void cleanupTestCase() { delete db; }

    void secondStartIsRefusedAndTheFirstRunsOn()
    {
        QProcess first;
        startDesk(first);
        QTRY_COMPARE_WITH_TIMEOUT(deskSessions(), 1, processWait); // the first waits at the login

        QProcess second;
        startDesk(second);
        QVERIFY(second.waitForFinished(processWait));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 1);
        const QString said = errorOutput(second);
        QVERIFY2(said.contains(QStringLiteral("readdesk: 正在运行一个 流通阅览 实例！")), qPrintable(said));
        QVERIFY2(!said.contains(QStringLiteral("数据库")), qPrintable(said));

        QCOMPARE(first.state(), QProcess::Running);
        QCOMPARE(deskSessions(), 1);
        QVERIFY(QFile::exists(SingleInstance(runtime.path()).lockFilePath()));
        first.kill();
        QVERIFY(first.waitForFinished(processWait));
    }

    // A desk that died without releasing its lock does not keep the next one out.
    void lockOfADeadDeskIsStale()
    {
        QVERIFY(QFile::exists(SingleInstance(runtime.path()).lockFilePath()));
        QTRY_COMPARE_WITH_TIMEOUT(deskSessions(), 0, processWait);

        QProcess next;
        startDesk(next);
        QTRY_COMPARE_WITH_TIMEOUT(deskSessions(), 1, processWait);
        QCOMPARE(next.state(), QProcess::Running);
        QVERIFY(!errorOutput(next).contains(QStringLiteral("实例")));
        next.kill();
        QVERIFY(next.waitForFinished(processWait));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
