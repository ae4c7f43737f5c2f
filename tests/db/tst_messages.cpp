// Message codes, message boxes, system parameters and the daily log, without a database.
#include "db/logfile.h"
#include "db/messages.h"
#include "db/sysparams.h"
#include "startup/environment.h"
#include "support/recordingpresenter.h"
#include "support/testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
ResultTable rows(const QList<QPair<QString, QString>>& data)
{
    ResultTable t(2, int(data.size()));
    for (int i = 0; i < data.size(); ++i) {
        t.setValue(0, i + 2, data[i].first);
        t.setValue(1, i + 2, data[i].second);
    }
    return t;
}
} // namespace

class TestMessages : public QObject
{
    Q_OBJECT
    RecordingPresenter* presenter = nullptr;
    QTemporaryDir home;
    QStringList played;

private Q_SLOTS:
    void initTestCase()
    {
        QDir(home.path()).mkpath(QStringLiteral("CFG/sound"));
        QDir(home.path()).mkpath(QStringLiteral("LOG"));
        Environment::instance().setProgramDirectory(home.path());
        presenter = RecordingPresenter::install();
        MessageCatalogue::instance().setRows(rows({
            {QStringLiteral("QCM501"), QStringLiteral("确定要退出吗？")},
            {QStringLiteral("ELT101"), QStringLiteral("读者%s不存在！\\n请核对。%S")},
            {QStringLiteral("ECM500"), QStringLiteral("没有该工作人员%S。")},
        }));
        SystemParameters::instance().setRows(rows({
            {QStringLiteral("1"), QStringLiteral("流通阅览")},
            {QStringLiteral("3"), QStringLiteral("x")},
            {QStringLiteral("9"), QStringLiteral("2")},
            {QStringLiteral("14"), QStringLiteral("CN,US,X")},
            {QStringLiteral("20"), QStringLiteral("A_B")},
            {QStringLiteral("22"), QStringLiteral("  END  ")},
            {QStringLiteral("28"), QStringLiteral("   ")},
            {QStringLiteral("29"), QStringLiteral(" 1 ")},
        }));
        LIB_SetSoundPlayer([this](const QString& path) { played << path; });
    }
    void init() { presenter->clear(); }

    void kindLetters_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("beep");
        QTest::addColumn<bool>("cancelDefault");
        QTest::newRow("question, cancelled") << "QCM501" << 2 << 2 << "确定要退出吗？" << true << true;
        QTest::newRow("literal information")
            << "I成功修改登录口令！" << 1 << 1 << "成功修改登录口令！" << false << false;
        QTest::newRow("no kind letter")
            << "系统初始化出错，启动失败！" << 1 << 1 << "系统初始化出错，启动失败！" << false << false;
        QTest::newRow("missing code") << "ECM999" << 1 << 1 << "CM999" << true << false;
        QTest::newRow("S defaults to OK") << "S数据库连接失败，重新连接数据库？" << 1 << 1
                                          << "数据库连接失败，重新连接数据库？" << true << false;
        QTest::newRow("six characters") << "ECM500" << 1 << 1 << "没有该工作人员。" << true << false;
        // Only the first "%S" and "\N" are replaced, whatever their case.
        QTest::newRow("substitution and line break")
            << "ELT101D0000042" << 1 << 1 << "读者D0000042不存在！\r请核对。%S" << true << false;
    }
    void kindLetters()
    {
        QFETCH(QString, code);
        QFETCH(int, answer);
        presenter->answerNext(answer);
        QTEST(LIB_ShowMsg(code), "result");
        QCOMPARE(presenter->boxes.size(), 1);
        const auto& box = presenter->boxes.first();
        QTEST(box.text, "text");
        QTEST(presenter->beeps > 0, "beep");
        QTEST(box.cancelIsDefault, "cancelDefault");
        QCOMPARE(box.title, QStringLiteral("流通阅览"));
    }

    void soundsPlayForTheirMessage()
    {
        QFile list(home.filePath(QStringLiteral("CFG/sound/snd.ini")));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("ELT101,alarm.wav\nbroken line\nQCM501,bye,1.wav\n");
        list.close();
        MessageCatalogue::instance().loadSounds(list.fileName());
        played.clear();
        LIB_GetMsg(QStringLiteral("QCM501"));
        LIB_GetMsg(QStringLiteral("ECM500"));
        QCOMPARE(played, QStringList{home.filePath(QStringLiteral("CFG/sound/bye,1.wav"))});
    }

    void parameterConversions()
    {
        QCOMPARE(LIB_GetSysPara(1).toString(), QStringLiteral("流通阅览"));
        QCOMPARE(LIB_GetSysPara(3).toString(), QStringLiteral("x"));
        QCOMPARE(LIB_GetSysPara(9).toDouble(), 2.0);
        QCOMPARE(LIB_GetSysPara(14).toString(), QStringLiteral("CN"));
        QCOMPARE(LIB_GetSysPara(142).toString(), QStringLiteral("US"));
        QCOMPARE(LIB_GetSysPara(20).toString(), QStringLiteral("A B"));
        QCOMPARE(LIB_GetSysPara(22).toString(), QStringLiteral("END"));
        QCOMPARE(LIB_GetSysPara(28).toInt(), -1);
        QCOMPARE(LIB_GetSysPara(29).toBool(), true);
        QVERIFY(!LIB_GetSysPara(77).isValid());
    }

    void logLines()
    {
        const QDateTime moment(QDate(2024, 3, 7), QTime(9, 5, 3));
        QCOMPARE(LIB_WriteLogFileAt(moment, QStringLiteral("第一行")), 0);
        QCOMPARE(LIB_WriteLogFileAt(moment, QStringLiteral("second")), 0);
        const QString log = home.filePath(QStringLiteral("LOG/2024-03-07_Log.log"));
        QCOMPARE(QString::fromUtf8(readFile(log)),
                 QStringLiteral("2024-03-07 09:05:03;第一行\r\n2024-03-07 09:05:03;second\r\n"));
        QCOMPARE(LIB_WriteLogFileAt(moment, QStringLiteral("only"), 1), 0);
        QCOMPARE(readFile(log), QByteArray("2024-03-07 09:05:03;only\r\n"));
        Environment::instance().setProgramDirectory(home.filePath(QStringLiteral("missing")));
        QCOMPARE(LIB_WriteLogFile(QStringLiteral("silent")), -1);
        Environment::instance().setProgramDirectory(home.path());
    }

    // Stored passwords use printable characters only and read back; a stored text given by hand
    // is read as the desk's own stores it.
    void passwordScrambling_data()
    {
        QTest::addColumn<QString>("clear");
        QTest::addColumn<QString>("stored"); // null: scrambled by the test
        QTest::newRow("wraps around") << "~}!\"AZaz09" << QString();
        QTest::newRow("empty") << "" << QString();
        // "A" (65): odd position, stored 75 ('K'); 75 mod 10 = 5, so the check 70 ('F') follows.
        // Groups of three are reversed: "KF" -> "FK".
        QTest::newRow("by hand") << "A"
                                 << "FK";
        QTest::newRow("wrong check character") << ""
                                               << "GK";
    }
    void passwordScrambling()
    {
        QFETCH(QString, clear);
        QFETCH(QString, stored);
        if (stored.isNull()) {
            stored = LIB_ScramblePassword(clear);
            for (const QChar c : stored)
                QVERIFY(c.unicode() >= 33 && c.unicode() <= 126);
        }
        QCOMPARE(LIB_UnscramblePassword(stored), clear);
    }
};

QTEST_GUILESS_MAIN(TestMessages)
#include "tst_messages.moc"
