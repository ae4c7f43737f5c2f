// The update notes (which files count, grouping, zoom, the folder command) and the updater's
// launch: the stored program, the question when it is missing, and its command line.
#include "extensions/desktopopener.h"
#include "extensions/frmLastUpdating.h"
#include "extensions/liveupdate.h"
#include "extensions/liveupdatelauncher.h"
#include "startup/applicationtitle.h"
#include "startup/desksettingsvalue.h"
#include "startup/environment.h"
#include "startup/operatorsession.h"
#include "support/recordingpresenter.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

QString notesFile(const QString& signature, const QString& release, const QString& items)
{
    QString properties;
    if (!signature.isNull())
        properties += QStringLiteral("<property name=\"数字签名\" value=\"%1\"/>").arg(signature);
    if (!release.isNull())
        properties += QStringLiteral("<property name=\"发布时间\" value=\"%1\"/>").arg(release);
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><update><properties>%1</properties>"
                          "<items>%2</items></update>")
        .arg(properties, items);
}

QString item(const QString& subject, const QString& catalog, const QString& date)
{
    return QStringLiteral(
               "<item subject=\"%1\" catalog=\"%2\" date=\"%3\" level=\"重要\" descript=\"说明%1\"/>")
        .arg(subject, catalog, date);
}

} // namespace

class TestUpdates : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    RecordingPresenter* presenter = nullptr;
    QStringList opened;
    int made = 0;

    QString notesFolder(const QStringList& files)
    {
        const QString folder = home.filePath(QStringLiteral("notes%1").arg(++made));
        QDir().mkpath(folder);
        for (int i = 0; i < files.size(); ++i)
            writeFile(folder + QStringLiteral("/%1.xml").arg(i), files.at(i).toUtf8());
        writeFile(folder + QStringLiteral("/.keep"), {});
        return folder;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath("store"));
        Environment::instance().setProgramDirectory(home.filePath("desk"));
        OperatorSession::current().workerNumber = QStringLiteral("A001");
        OperatorSession::current().password = QStringLiteral("DEMO");
        presenter = RecordingPresenter::install();
        LIB_SetDesktopUrlOpener([this](const QUrl& url) {
            opened << url.toLocalFile();
            return true;
        });
    }

    // A file counts only with the window's signature and a release time; an unreadable file makes
    // the result false while the others are still read.
    void notesThatCount_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("everyFileRead");
        QTest::addColumn<QStringList>("subjects");
        const QString a = item("甲", "界面", "2024-03-01");
        const QString b = item("乙", "统计", "2024-03-02");
        const auto add = [](const char* tag, const QStringList& files, bool everyFileRead,
                            const QStringList& subjects) {
            QTest::newRow(tag) << files << everyFileRead << subjects;
        };
        add("signed", {notesFile("zq.tavorn.lt3", "2024-03-05", a + b)}, true, {"甲", "乙"});
        add("another signature", {notesFile("zq.tavorn.lt2", "2024-03-05", a)}, true, {});
        add("no signature", {notesFile(QString(), "2024-03-05", a)}, true, {});
        add("no release time", {notesFile("zq.tavorn.lt3", QString(), a)}, true, {});
        add("unreadable beside a good one", {"<update><item", notesFile("zq.tavorn.lt3", "2024-03-05", b)},
            false, {"乙"});
    }
    void notesThatCount()
    {
        QFETCH(QStringList, files);
        UpdateNotes notes;
        QTEST(notes.load(notesFolder(files), QStringLiteral("zq.tavorn.lt3")), "everyFileRead");
        QStringList found;
        for (const UpdateNote& note : notes.items())
            found << note.subject;
        QTEST(found, "subjects");
    }

    // The window lists the notes under group headings (newest first), with the columns of the
    // grouping; zoom and the folder command work on the same window.
    void windowGroupsTheNotes_data()
    {
        QTest::addColumn<int>("grouping");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QStringList>("headings");
        QTest::addColumn<QStringList>("firstRow");
        const QStringList columns{"内容", "分类", "时间", "级别"};
        const QStringList firstRow{"丙", "界面", "2024-03-30", "重要"};
        QTest::newRow("release") << 0 << QStringList{"发布"} + columns
                                 << QStringList{"2024-04-01", "2024-03-05"}
                                 << QStringList{"2024-04-01"} + firstRow;
        QTest::newRow("date") << 1 << columns << QStringList{"2024-03-30", "2024-03-02", "2024-03-01"}
                              << firstRow;
        QTest::newRow("catalog") << 2 << columns << QStringList{"界面", "统计"} << firstRow;
    }
    void windowGroupsTheNotes()
    {
        QFETCH(int, grouping);
        const QString folder =
            notesFolder({notesFile("zq.tavorn.lt3", "2024-03-05",
                                   item("甲", "界面", "2024-03-01") + item("乙", "统计", "2024-03-02")),
                         notesFile("zq.tavorn.lt3", "2024-04-01", item("丙", "界面", "2024-03-30"))});
        frmLastUpdating window;
        window.m_Signature = QStringLiteral("zq.tavorn.lt3");
        window.UpgradeURL = folder;
        window.show();
        window.setGrouping(UpdateNotes::Grouping(grouping));
        auto* tree = window.findChild<QTreeWidget*>("tvwUpdating");
        QStringList captions;
        for (int c = 0; c < tree->columnCount(); ++c)
            captions << tree->headerItem()->text(c);
        QTEST(captions, "columns");
        QStringList titles;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            titles << tree->topLevelItem(i)->text(0);
        QTEST(titles, "headings");
        QStringList cells;
        for (int c = 0; c < tree->columnCount(); ++c)
            cells << tree->topLevelItem(0)->child(0)->text(c);
        QTEST(cells, "firstRow");

        const int size = tree->font().pointSize();
        window.zoom(2);
        QCOMPARE(tree->font().pointSize(), size + 2);
        window.zoom(-3);
        QCOMPARE(tree->font().pointSize(), size - 1);
        opened.clear();
        window.openFolder();
        QCOMPARE(opened, QStringList{folder});
    }

    // The updater gets the staff number, password, edition, module and program directory; a
    // missing updater is asked about and the chosen one is stored.
    void updaterLaunch_data()
    {
        QTest::addColumn<QString>("stored"); // "default", "script" or "missing"
        QTest::addColumn<int>("answer");     // 0: no question expected
        QTest::addColumn<bool>("started");
        QTest::newRow("default in the program directory") << "default" << 0 << true;
        QTest::newRow("stored program") << "script" << 0 << true;
        QTest::newRow("missing, another chosen") << "missing" << 1 << true;
        QTest::newRow("missing, none chosen") << "missing" << 2 << false;
    }
    void updaterLaunch()
    {
        QFETCH(QString, stored);
        QFETCH(int, answer);
        QFETCH(bool, started);
        const QString output = home.filePath(QStringLiteral("updater%1.txt").arg(++made));
        const QString script = home.filePath(QStringLiteral("updater%1.sh").arg(made));
        const QByteArray body = "#!/bin/sh\necho \"$0 $*\" > " + output.toUtf8() + ".part && mv " +
                                output.toUtf8() + ".part " + output.toUtf8() + "\n";
        QVERIFY(writeFile(script, body));
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString defaultUpdater =
            Environment::instance().programDirectory() + QStringLiteral("LiveUpdate.exe");
        QFile::remove(defaultUpdater);
        auto settings = openSettingsSection(LIB_ApplicationTitle(), QStringLiteral("Settings"));
        settings->remove(QStringLiteral("UpdateExcute"));
        if (stored == QLatin1String("default")) {
            // An installed desk's program directory is the user's own: the updater may lie beside
            // the executable instead.
            const QString installed = home.filePath(QStringLiteral("installed"));
            QVERIFY(writeFile(installed + QStringLiteral("/LiveUpdate.exe"), body));
            QCOMPARE(LiveUpdate::defaultUpdater(installed), installed + QStringLiteral("/LiveUpdate.exe"));
            QVERIFY(writeFile(defaultUpdater, body));
            QCOMPARE(LiveUpdate::defaultUpdater(installed), defaultUpdater);
            QFile::setPermissions(defaultUpdater, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        } else {
            settings->setValue(QStringLiteral("UpdateExcute"),
                               stored == QLatin1String("script") ? script : home.filePath("gone.exe"));
        }
        settings.reset();
        const QString program = stored == QLatin1String("default") ? defaultUpdater : script;
        LiveUpdateLauncher::setProgramChooser([script](QWidget*) { return script; });
        presenter->clear();
        if (answer)
            presenter->answerNext(answer);

        QCOMPARE(LiveUpdateLauncher::run(nullptr, QStringLiteral("lt3")), started);
        QCOMPARE(presenter->texts(),
                 answer ? QStringList{"没有找到默认的智能升级程序，是否选择新的升级程序文件？"}
                        : QStringList());
        QVERIFY(QRegularExpression(QStringLiteral("^流通阅览:\\d+\\.\\d+\\.\\d{4}$"))
                    .match(LiveUpdate::edition())
                    .hasMatch());
        const QString expected = program + QStringLiteral(" A001 DEMO editions=") + LiveUpdate::edition() +
                                 QStringLiteral(" module=lt3 home=") +
                                 Environment::instance().programDirectory();
        QCOMPARE(LiveUpdate::commandLine(program, QStringLiteral("lt3")), expected);
        if (started) {
            QTRY_VERIFY(QFile::exists(output));
            QCOMPARE(QString::fromUtf8(readFile(output)).trimmed(), expected);
            QCOMPARE(LiveUpdate::storedUpdater(), program);
        } else {
            QCOMPARE(LiveUpdate::storedUpdater(), home.filePath("gone.exe"));
        }
    }
};

QTEST_MAIN(TestUpdates)
#include "tst_updates.moc"
