// The desk window with its add-ins and themes, against the demo library: merged commands, add-in
// procedures that crash or are missing while the desk goes on scanning, and the theme stored at close.
#include "db/messages.h"
#include "desk/frmReadMain.h"
#include "extensions/assembly.h"
#include "extensions/newsstore.h"
#include "info/frmRedrInfo.h"
#include "startup/applicationtitle.h"
#include "startup/desksettings.h"
#include "startup/desksettingsvalue.h"
#include "startup/operatorsession.h"
#include "startup/profilefile.h"
#include "support/deskdata.h"
#include "support/recordingpresenter.h"
#include "support/scriptedservice.h"
#include "testpackages.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

// Closes the modal window that shows while the watch lives, noting its name.
std::unique_ptr<QTimer> closeNextModalWindow(QString& name)
{
    auto watch = std::make_unique<QTimer>();
    QObject::connect(watch.get(), &QTimer::timeout, watch.get(), [&name] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            name = w->objectName();
            w->close();
        }
    });
    watch->start(10);
    return watch;
}

} // namespace

class TestDeskExtensions : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    TestDatabase db{QStringLiteral("deskextensions")};
    RecordingPresenter* presenter = nullptr;
    std::unique_ptr<frmReadMain> main;
    ScriptedService newsService;

    void openWindow()
    {
        main = std::make_unique<frmReadMain>();
        QCOMPARE(main->pInitialize(), 0);
        main->show();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath("store"));
        cAssembly::setHostProgram(READDESK_ADDIN_HOST);
        const QString addins = home.filePath(QStringLiteral("addins"));
        // The faulty add-in's menu commands run a procedure that crashes and one that is missing.
        const QString faultyMenu = QStringLiteral(
            "<Extension path=\"%frmMain%\\%MainMenu%\\mnuTool\">"
            "<MenuItem id=\"mnuCrash\" label=\"崩溃\" Shortcut=\"[Interface(Crash)]\" class=\"Faulty.Lib\"/>"
            "<MenuItem id=\"mnuMissing\" label=\"缺少过程\" Shortcut=\"[Interface(Hide)]\" "
            "class=\"Faulty.Lib\"/></Extension>");
        QVERIFY(writeExampleAddins(addins, faultyMenu));
        QCOMPARE(QProcess::execute(QStringLiteral("cp"),
                                   {QStringLiteral("-r"), QStringLiteral(READDESK_RUNTIME_DIR "/themes"),
                                    home.filePath(QStringLiteral("themes"))}),
                 0);
        // A message channel checked every five minutes.
        const QString newsSetting = home.filePath(QStringLiteral("InfoCenter/setting.ini"));
        QDir().mkpath(home.filePath(QStringLiteral("InfoCenter")));
        QVERIFY(ProfileFile::write(newsSetting, "NewsChannel", "CheckCycle", "5"));
        QVERIFY(ProfileFile::write(newsSetting, "Channels", "Count", "1"));
        QVERIFY(ProfileFile::write(newsSetting, "Channels", "Channel1", newsService.address() + "/"));
        newsService.bodies.insert("/CheckLastNews.aspx?lasttime=",
                                  "<NewDataSet><Table><NEWS_ID>7</NEWS_ID><SUBJECT>通知</SUBJECT>"
                                  "<NEWS_TYPE>T</NEWS_TYPE></Table></NewDataSet>");

        loadDeskData(db, home.path());
        OperatorSession& op = OperatorSession::current();
        op.workerNumber = QStringLiteral("A001");
        op.location = QStringLiteral("R1");
        op.loggedIn = true;
        DeskSettings& s = DeskSettings::current();
        s.readingMode = 1;
        s.checkViolations = s.checkDebts = s.checkValidity = 1;
        s.localReaderTypesOnly = s.showReaderPhoto = 0;
        s.writeEditableSettings();
        openSettingsSection(LIB_ApplicationTitle(), QStringLiteral("Settings"))
            ->setValue(QStringLiteral("StyleID"), QStringLiteral("NoLongerInstalled"));
        presenter = RecordingPresenter::install();
        openWindow();
    }

    // Whatever an add-in's procedure does, the desk reports it and the next scan is recorded.
    void scansGoOnAfterAddinCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("example") << "mnuExampleOperator" << "";
        QTest::newRow("example, toolbar") << "ExampleOperator" << "";
        QTest::newRow("crash") << "mnuCrash" << "插件对象Faulty.Lib的过程Crash异常终止，命令未完成。";
        QTest::newRow("missing procedure") << "mnuMissing" << "插件对象Faulty.Lib没有过程Hide，命令未执行。";
        // clang-format on
    }
    void scansGoOnAfterAddinCommands()
    {
        QFETCH(QString, command);
        QFETCH(QString, message);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
        presenter->clear();
        main->findChild<QAction*>(command)->trigger();
        QCOMPARE(presenter->texts(), message.isEmpty() ? QStringList() : QStringList{message});

        presenter->clear();
        const QString visits = QStringLiteral("SELECT count(*) FROM reader_stat");
        const int before = db.scalar(visits).toInt();
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtRedrBarcode"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("D0000001"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(db.scalar(visits).toInt(), before + 1);
        QCOMPARE(presenter->texts(), QStringList());
    }

    // On the check cycle the desk fetches the channel's messages and says so in its status bar.
    void messagesArriveOnTheCycle()
    {
        auto* cycle = main->findChild<QTimer*>(QStringLiteral("tmrNewsCycle"));
        QVERIFY(cycle && cycle->isActive());
        QCOMPARE(cycle->interval(), 5 * 60 * 1000);
        cycle->start(0);
        QTRY_VERIFY(main->statusBar()->currentMessage().contains(QStringLiteral("收到 1 条新消息")));
        cycle->stop();
        QCOMPARE(NewsStore(home.path()).load().size(), 1);
    }

    // The tools and help commands open their windows: the modal ones (closed here) and the find
    // window beside the desk; without an updater the desk asks for one.
    void commandsOpenTheirWindows_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("message centre") << "mnuToolNews" << "frmNewsManager" << "";
        QTest::newRow("update notes") << "mnuLastUpdating" << "frmLastUpdating" << "";
        QTest::newRow("find") << "mnuFindText" << "frmFindText" << "";
        QTest::newRow("updater")
            << "mnuToolUpgrade" << "" << "没有找到默认的智能升级程序，是否选择新的升级程序文件？";
        QTest::newRow("help") << "mnuHelpContents" << "" << "无法显示帮助目录，该工程没有相关联的帮助。";
        // clang-format on
    }
    void commandsOpenTheirWindows()
    {
        QFETCH(QString, command);
        QFETCH(QString, message);
        presenter->clear();
        presenter->answerNext(2);
        QString modal;
        auto watch = closeNextModalWindow(modal);
        main->findChild<QAction*>(command)->trigger();
        watch.reset();
        QWidget* find = main->findChild<QWidget*>(QStringLiteral("frmFindText"));
        QTEST(find && find->isVisible() ? find->objectName() : modal, "window");
        QCOMPARE(presenter->texts(), message.isEmpty() ? QStringList() : QStringList{message});
        if (find)
            find->close();
    }

    // The reader window's "General" button opens the general certificate window for a reader of
    // the certificate service.
    void readerWindowOpensTheGeneralCertificate()
    {
        QVERIFY(ProfileFile::write(home.filePath("tavorn.ini"), "GENERAL", "URL", "http://127.0.0.1:1"));
        QVERIFY(ProfileFile::write(home.filePath("tavorn.ini"), "GENERAL", "CODE", "GEN"));
        db.exec(QStringLiteral("UPDATE reader SET code02 = 'X|GEN' WHERE cert_id = 'R0000001'"));
        frmRedrInfo info;
        info.frmRedrInfoSet(QStringLiteral("R0000001"));
        QAction* general = info.findChild<QAction*>(QStringLiteral("General"));
        QVERIFY(general->isEnabled());
        QString modal;
        auto watch = closeNextModalWindow(modal);
        presenter->clear();
        general->trigger();
        watch.reset();
        QCOMPARE(modal, QStringLiteral("frmGeneralInfo"));
        QVERIFY(presenter->lastText().startsWith(QStringLiteral("获取通用证信息失败!")));
    }

    // The stored style is no longer installed: the first theme is applied and stored at close.
    void firstThemeIsAppliedAndStoredAtClose()
    {
        QVERIFY(main->styleSheet().contains(QStringLiteral("#232629")));
        QVERIFY(main->findChild<QTableView*>(QStringLiteral("vsReader"))->alternatingRowColors());
        presenter->answerNext(1);
        QVERIFY(main->close());
        QCOMPARE(openSettingsSection(LIB_ApplicationTitle(), QStringLiteral("Settings"))
                     ->value(QStringLiteral("StyleID"))
                     .toString(),
                 QStringLiteral("DarkTheme"));
    }
};

QTEST_MAIN(TestDeskExtensions)
#include "tst_deskextensions.moc"
