// Add-ins: definitions, shortcuts and their argument tokens, procedures run in the add-in host
// (the example add-in and a library that crashes), programs, the menu and toolbar merge, and the
// add-in manager.
#include "extensions/addinmenumerge.h"
#include "extensions/addinscollection.h"
#include "extensions/frmAddinManager.h"
#include "startup/environment.h"
#include "support/recordingpresenter.h"
#include "support/testfiles.h"
#include "testpackages.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

namespace {

const QString exampleClass = QStringLiteral("Example.Desk");

QStringList actionNames(const QWidget* parent)
{
    QStringList names;
    for (const QAction* action : parent->actions())
        names << action->objectName();
    return names;
}

} // namespace

class TestAddins : public QObject
{
    Q_OBJECT
    QTemporaryDir work;
    RecordingPresenter* presenter = nullptr;
    QString addinsPath;
    cAddinsCollection addins;
    QMainWindow window;

    // An add-in directory with the example add-in, a faulty one and the given definitions.
    void writeAddins(const QString& directory, const QMap<QString, QByteArray>& more = {})
    {
        QVERIFY(writeExampleAddins(directory));
        for (auto it = more.cbegin(); it != more.cend(); ++it)
            QVERIFY(writeFile(directory + QLatin1Char('/') + it.key() + QStringLiteral("/addin.xml"),
                              it.value()));
    }

private Q_SLOTS:
    void initTestCase()
    {
        presenter = RecordingPresenter::install();
        Environment::instance().setProgramDirectory(work.path()); // the daily log of failed calls
        cAssembly::setHostProgram(READDESK_ADDIN_HOST);
        addinsPath = work.filePath(QStringLiteral("addins"));
        const QString merge = QStringLiteral(
            "<Extension path=\"%frmMain%\\%MainMenu%\\mnuTool\">"
            "<MenuItem id=\"mnuAfter\" label=\"after\" insertafter=\"mnuToolTheme\"/>"
            "<MenuItem id=\"mnuBefore\" label=\"before\" insertbefore=\"mnuToolTheme\"/>"
            "<menuitem id=\"mnuBoth\" label=\"both\" insertafter=\"mnuToolAddins\" "
            "insertbefore=\"mnuToolTheme\"/>"
            "<MenuItem id=\"mnuEnd\" label=\"end\" insertafter=\"mnuNoSuch\"/>"
            "<MenuItem id=\"mnuToolTheme\" label=\"duplicate of the desk's\"/>"
            "<MenuItem id=\"\" label=\"no id\"/>"
            "<MenuItem id=\"mnuSub\" label=\"sub\" menu=\"true\"/>"
            "<CommandItem id=\"cmdWrongKind\" label=\"a toolbar item in a menu\"/>"
            "</Extension>"
            "<Extension path=\"%frmMain%\\%MainMenu%\\mnuSub\"><MenuItem id=\"mnuInSub\" label=\"in "
            "sub\"/></Extension>"
            "<Extension path=\"%frmMain%\\%MainMenu%\"><MenuItem id=\"mnuTop\" label=\"top\"/></Extension>"
            "<Extension path=\"%frmMain%\\%MainMenu%\\mnuNoSuchMenu\"><MenuItem id=\"mnuLost\"/></Extension>"
            "<EXTENSION PATH=\"%frmMain%\\%Toolbar%\\Standard\">"
            "<CommandItem id=\"Drop\" label=\"drop\" drop=\"true\" insertbefore=\"ReadReader\"/>"
            "<CommandItem id=\"Caption\" label=\"caption\" showcaption=\"true\"/></EXTENSION>"
            "<Extension path=\"%frmMain%\\%Toolbar%\\Standard\\Drop\"><CommandItem id=\"InDrop\" label=\"in "
            "drop\"/>"
            "</Extension>");
        const QString startup =
            QStringLiteral("<Initialize><Process shortcut=\"[Program(%1,%C001%)]\"/></Initialize>")
                .arg(work.filePath(QStringLiteral("record.sh")));
        QVERIFY(writeFile(work.filePath(QStringLiteral("record.sh")),
                          "#!/bin/sh\necho \"$@\" >> \"$(dirname \"$0\")/recorded.txt\"\n"));
        QFile::setPermissions(work.filePath(QStringLiteral("record.sh")), QFile::ReadOwner | QFile::ExeOwner);
        writeAddins(
            addinsPath,
            // A later add-in importing the example's class: calls go to the first one's library.
            {{"merge", addinXml("merge", FAULTY_ADDIN_LIBRARY, "Example.Desk", merge + startup)},
             {"broken", "<addin id=\"broken\"><Runtime></addin>"},
             {"missinglib", addinXml("missinglib", "libNoSuch.so", "Missing.Lib")},
             {"uppercase", QByteArray("<ADDIN ID=\"upper\" NAME=\"大写\"><RUNTIME><IMPORT ASSEMBLY=\"") +
                               EXAMPLE_ADDIN_LIBRARY + "\" CLASS=\"Upper.Lib\"/></RUNTIME></ADDIN>"}});
        QDir().mkpath(addinsPath + QStringLiteral("/nodefinition"));

        // The desk's menus and toolbar as far as the merge needs them.
        window.setObjectName(QStringLiteral("frmReadMain"));
        QMenuBar* bar = window.menuBar();
        bar->setObjectName(QStringLiteral("MenuMain"));
        QMenu* tools = bar->addMenu(QStringLiteral("工具"));
        tools->setObjectName(QStringLiteral("mnuTool"));
        for (const char* id : {"mnuFindText", "mnuToolTheme", "mnuToolAddins", "mnuToolNews"})
            tools->addAction(QLatin1String(id))->setObjectName(QLatin1String(id));
        QToolBar* toolbar = window.addToolBar(QStringLiteral("工具栏"));
        toolbar->setObjectName(QStringLiteral("Standard"));
        for (const char* id : {"ReadBook", "ReadReader"})
            toolbar->addAction(QLatin1String(id))->setObjectName(QLatin1String(id));
        auto* box = new QLineEdit(&window);
        box->setObjectName(QStringLiteral("txtRedrBarcode"));

        addins.MainForm = &window;
        addins.sessionValues = [] {
            AddinSession session;
            session.programDirectory = QStringLiteral("/desk/");
            session.databaseName = QStringLiteral("host=db dbname=library");
            session.databaseUser = QStringLiteral("desk");
            session.databasePassword = QStringLiteral("secret");
            session.workerNumber = QStringLiteral("A001");
            session.operatorPassword = QStringLiteral("DEMO");
            return session;
        };
        addins.LoadAddins(addinsPath + QStringLiteral("/"));
        mergeAddinMenuItems(addins, bar, [](const QString&) {});
        mergeAddinToolbarItems(addins, toolbar, [](const QString&) {});
    }

    // Folders with a readable definition load, in folder order; element and attribute names
    // compare without regard to case; a broken definition and a missing library show why.
    void definitionsLoad()
    {
        QStringList ids;
        for (const auto& addin : addins.Addins())
            ids << addin->Id;
        QCOMPARE(ids, (QStringList{"readdesk.example", "faulty", "merge", "missinglib", "upper"}));
        QVERIFY(addins.Addins().at(4)->GetAssemblyByKey(QStringLiteral("upper.lib")));
        QVERIFY(!addins.Addins().at(3)->GetAssemblyByKey(QStringLiteral("Missing.Lib")));
        const QStringList shown = presenter->texts();
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown.at(0).startsWith(QStringLiteral("不能调用插件定义文件\n") + addinsPath +
                                        QStringLiteral("/broken/addin.xml。 原因：")),
                 qPrintable(shown.at(0)));
        QCOMPARE(shown.at(1), QStringLiteral("装载Missing.Lib对象失败！"));
        QCOMPARE(presenter->boxes.at(1).title, QStringLiteral("错误提示"));
        QCOMPARE(addins.GetExtensByPath(AddinPaths::toolbar).size(), 3);
        QCOMPARE(addins.GetExtensByPath(QStringLiteral("\\%frmMain%\\%MainMenu%\\mnuTool")).size(), 2);
        QCOMPARE(addins.GetExtensByPath(QStringLiteral("%frmMain%\\%MainMenu%\\mnuToo")).size(), 0);
    }

    void shortcutsParse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kind"); // empty: not a shortcut
        QTest::addColumn<QString>("first");
        QTest::addColumn<QStringList>("tokens");
        const auto add = [](const char* tag, const char* text, const char* kind, const char* first,
                            const QStringList& tokens) {
            QTest::newRow(tag) << QString::fromUtf8(text) << QString::fromUtf8(kind)
                               << QString::fromUtf8(first) << tokens;
        };
        add("interface", "[Interface(Show,%C001%)]", "Interface", "Show", {"%C001%"});
        add("text around", "run: [Program( /bin/ls , %A001 , x )] now", "Program", "/bin/ls", {"%A001", "x"});
        add("no arguments", "[Interface(About)]", "Interface", "About", {});
        add("no [", "Interface(Show)]", "", "", {});
        add("no ]", "[Interface(Show)", "", "", {});
        add("no (", "[Interface Show)]", "", "", {});
        add("no )", "[Interface(Show]", "", "", {});
    }
    void shortcutsParse()
    {
        QFETCH(QString, text);
        QFETCH(QString, kind);
        const std::optional<AddinShortcut> shortcut = AddinShortcut::parse(text);
        QCOMPARE(shortcut.has_value(), !kind.isEmpty());
        if (shortcut) {
            QCOMPARE(shortcut->kind, kind);
            QTEST(shortcut->first, "first");
            QTEST(shortcut->tokens, "tokens");
        }
    }

    void tokensResolve_data()
    {
        QTest::addColumn<QString>("token");
        QTest::addColumn<bool>("hasValue");
        QTest::addColumn<QString>("value");
        QTest::newRow("program directory") << "%A001" << true << "/desk/";
        QTest::newRow("database name") << "%B002%" << true << "host=db dbname=library";
        QTest::newRow("database user") << "%B003%" << true << "desk";
        QTest::newRow("database password") << "%B004%" << true << "secret";
        QTest::newRow("worker") << "%C001%" << true << "A001";
        QTest::newRow("operator password") << "%c002%" << true << "DEMO";
        QTest::newRow("empty text") << "%D003%" << true << "";
        QTest::newRow("control") << "%OBJECT%txtRedrBarcode" << true << "address";
        QTest::newRow("no such control") << "%OBJECT%txtNoSuch" << false << "";
        QTest::newRow("no database session") << "%B001%" << false << "";
        QTest::newRow("unknown") << "%Z999%" << false << "";
        QTest::newRow("literal") << "hello" << false << "";
    }
    void tokensResolve()
    {
        QFETCH(QString, token);
        QFETCH(bool, hasValue);
        QFETCH(QString, value);
        AddinSession session = addins.sessionValues();
        session.mainForm = &window;
        const AddinArgument argument = resolveAddinToken(token, session);
        QCOMPARE(argument.has_value(), hasValue);
        if (value == QLatin1String("address"))
            QCOMPARE(argument->toULongLong(),
                     quintptr(static_cast<QObject*>(window.findChild<QLineEdit*>("txtRedrBarcode"))));
        else if (hasValue)
            QCOMPARE(*argument, value);
    }

    // Procedures run in the add-in host; one that crashes ends only its host, and the next call
    // starts a fresh one.
    void shortcutsRun_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("message");
        const auto add = [](const char* tag, const QString& className, const char* shortcut,
                            ShortcutRun::Outcome outcome, const char* output, const char* message) {
            QTest::newRow(tag) << className << QString::fromUtf8(shortcut) << int(outcome)
                               << QString::fromUtf8(output) << QString::fromUtf8(message);
        };
        using R = ShortcutRun;
        const char* shown = "当前操作员：A001\n";
        add("Show with the worker", exampleClass, "[Interface(Show,%C001%)]", R::Called, shown, "");
        add("class in other case", "example.desk", "[interface(Show,%C001%)]", R::Called, shown, "");
        add("no value", exampleClass, "[Interface(Show,%Z999%)]", R::Called, "当前操作员：\n", "");
        add("five arguments", exampleClass, "[Interface(Show,%C001%,1,2,3,4)]", R::Called, shown, "");
        add("six arguments", exampleClass, "[Interface(Show,%C001%,1,2,3,4,5)]", R::NothingRun, "", "");
        add("class no add-in imports", "No.Such", "[Interface(Show,%C001%)]", R::NothingRun, "", "");
        add("unreadable shortcut", exampleClass, "Interface(Show)", R::NothingRun, "", "");
        add("other kind", exampleClass, "[Script(Show)]", R::NothingRun, "", "");
        add("crash", "Faulty.Lib", "[Interface(Crash)]", R::Failed, "",
            "插件对象Faulty.Lib的过程Crash异常终止，命令未完成。");
        // A fresh host after the crash, asked for a procedure its library lacks.
        add("after a crash, missing procedure", "Faulty.Lib", "[Interface(Hide)]", R::Failed, "",
            "插件对象Faulty.Lib没有过程Hide，命令未执行。");
        add("program", "", "[Program(/bin/true,%C001%)]", R::Started, "", "");
        add("program that cannot start", "", "[Program(/no/such/program)]", R::Failed, "",
            "外部调用执行失败！");
    }
    void shortcutsRun()
    {
        QFETCH(QString, className);
        QFETCH(QString, shortcut);
        QFETCH(int, outcome);
        QFETCH(QString, output);
        QFETCH(QString, message);
        presenter->clear();
        const ShortcutRun run = addins.ExcuteExtenShortcut(className, shortcut);
        QCOMPARE(int(run.outcome), outcome);
        QCOMPARE(run.call.output, output);
        QCOMPARE(presenter->texts(), message.isEmpty() ? QStringList() : QStringList{message});
        if (!message.isEmpty())
            QCOMPARE(presenter->boxes.first().title, QStringLiteral("错误提示"));
    }

    void startupProcessesRun()
    {
        addins.RunStartupProcesses();
        QTRY_COMPARE(readFile(work.filePath(QStringLiteral("recorded.txt"))), QByteArray("A001\n"));
    }

    // The merge places items after insertafter, else before insertbefore, else at the end; skips
    // items without an id, ids the window has, and items of the other kind.
    void itemsMerge_data()
    {
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QStringList>("actions");
        QTest::newRow("tools menu") << "mnuTool"
                                    << QStringList{
                                           "mnuFindText",   "mnuBefore", "mnuToolTheme",       "mnuAfter",
                                           "mnuToolAddins", "mnuBoth",   "mnuExampleOperator", "mnuToolNews",
                                           "mnuEnd",        "mnuSub"};
        QTest::newRow("drop-down menu") << "mnuSub" << QStringList{"mnuInSub"};
        QTest::newRow("toolbar") << "Standard"
                                 << QStringList{"ReadBook", "Drop", "ReadReader", "ExampleOperator",
                                                "Caption"};
        QTest::newRow("drop-down button") << "Drop" << QStringList{"InDrop"};
    }
    void itemsMerge()
    {
        QFETCH(QString, parent);
        QFETCH(QStringList, actions);
        QWidget* widget = parent == QLatin1String("Standard")
                              ? static_cast<QWidget*>(window.findChild<QToolBar*>(parent))
                              : window.findChild<QMenu*>(parent);
        QVERIFY(widget);
        QCOMPARE(actionNames(widget), actions);
        QCOMPARE(window.menuBar()->actions().last()->objectName(), QStringLiteral("mnuTop"));
        QVERIFY(!window.findChild<QAction*>(QStringLiteral("mnuLost")));
        QVERIFY(!window.findChild<QAction*>(QStringLiteral("cmdWrongKind")));
    }

    void managerInstallsAndUninstalls()
    {
        frmAddinManager manager(addins);
        auto* tree = manager.findChild<QTreeWidget*>(QStringLiteral("tvwItems"));
        const int before = tree->topLevelItemCount();
        const QString package = work.filePath(QStringLiteral("new.zip"));
        QVERIFY(writeZip(package, {{"newtool/addin.xml", addinXml("new", "libNew.so", "New.Lib")}}));
        presenter->clear();
        manager.installPackage(package);
        QCOMPARE(presenter->texts(), QStringList{"是否确定从" + package + "中安装插件？"});
        QCOMPARE(tree->topLevelItemCount(), before + 1);
        QTreeWidgetItem* added = tree->findItems(QStringLiteral("插件new"), Qt::MatchExactly).value(0);
        QVERIFY(added);
        QCOMPARE(added->child(added->childCount() - 1)->text(0),
                 QStringLiteral("此插件将在您下次运行 [流通阅览] 时启用"));

        QVERIFY(writeZip(package, {{"other/readme.txt", "r"}}));
        presenter->clear();
        manager.installPackage(package);
        QCOMPARE(presenter->lastText(), QStringLiteral("插件文件无效！"));

        tree->setCurrentItem(tree->findItems(QStringLiteral("示例插件"), Qt::MatchExactly).value(0));
        presenter->clear();
        manager.uninstallSelected();
        QCOMPARE(presenter->texts(),
                 QStringList{"如果您卸载 示例插件，那就不能再使用它提供的功能，您确定要卸载 示例插件 吗？"});
        QTreeWidgetItem* removed = tree->findItems(QStringLiteral("示例插件"), Qt::MatchExactly).value(0);
        QCOMPARE(removed->child(removed->childCount() - 1)->text(0),
                 QStringLiteral("此插件将在您关闭 [流通阅览] 时卸载"));
        QVERIFY(QFile::exists(addinsPath + QStringLiteral("/example/addin.xml"))); // still in use
        PackageInstaller::applyPendingChanges(addinsPath);
        QVERIFY(!QFile::exists(addinsPath + QStringLiteral("/example")));
    }
};

QTEST_MAIN(TestAddins)
#include "tst_addins.moc"
