// The real program under a virtual X display (Xvfb on a display of its own, no window manager),
// driven by keys that come from the X server as a keyboard and a card reader send them (xdotool):
// each key goes where the desk put the focus. A card reader's "a001", Enter, "demo", Enter logs
// in and opens the desk, and a card scanned into the desk is checked in.
#include "startup/environment.h"
#include "startup/profilefile.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QSize>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>

namespace {
constexpr int processWait = 60000; // generous: the machine may be busy compiling
const QString deskTitle = QStringLiteral("流通阅览");

bool copyTree(const QString& from, const QString& to)
{
    QDirIterator files(from, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString source = files.next();
        const QString target = to + source.mid(from.size());
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(source, target))
            return false;
    }
    return true;
}
} // namespace

class TestXvfbDesk : public QObject
{
    Q_OBJECT
    TestDatabase* db = nullptr;
    QTemporaryDir home;
    QProcess xvfb;
    QProcess desk;
    QString display;

    // Runs xdotool on the test's display; false when it failed. Its output goes to `output`.
    bool xdotool(const QStringList& arguments, QString* output = nullptr)
    {
        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), display);
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral("xdotool"), arguments);
        if (!tool.waitForFinished(processWait) || tool.exitStatus() != QProcess::NormalExit ||
            tool.exitCode() != 0)
            return false;
        if (output)
            *output = QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
        return true;
    }

    bool typeKeys(const QString& text)
    {
        return xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text}) &&
               xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    }

    // The desk's visible windows (all carry the desk's title) by window id, with their sizes.
    QMap<QString, QSize> visibleWindows()
    {
        QMap<QString, QSize> windows;
        QString ids; // the search fails when there is no such window
        xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                 QLatin1Char('^') + deskTitle + QLatin1Char('$')},
                &ids);
        for (const QString& id : ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            QString geometry;
            if (!xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id}, &geometry))
                continue; // gone meanwhile
            int width = 0, height = 0;
            for (const QString& line : geometry.split(QLatin1Char('\n'))) {
                if (line.startsWith(QLatin1String("WIDTH=")))
                    width = line.mid(6).toInt();
                if (line.startsWith(QLatin1String("HEIGHT=")))
                    height = line.mid(7).toInt();
            }
            windows.insert(id, QSize(width, height));
        }
        return windows;
    }

    int checkIns(const QString& certId)
    {
        return db->scalar(QStringLiteral("SELECT count(*) FROM reader_stat WHERE cert_id = '%1'").arg(certId))
            .toInt();
    }

private Q_SLOTS:
    void initTestCase()
    {
        db = new TestDatabase(QStringLiteral("xvfbdesk"));
        QVERIFY(db->isReady());
        QVERIFY(copyTree(QStringLiteral(READDESK_RUNTIME_DIR), home.path()));
        const QString ini = home.filePath(QStringLiteral("tavorn.ini"));
        const ConnectionValues values = db->connectionValues();
        QVERIFY(ProfileFile::write(ini, QStringLiteral("LIB-DATA"), QStringLiteral("LIB_SERVER"),
                                   QStringLiteral("DESK")));
        QVERIFY(ProfileFile::write(ini, QStringLiteral("DESK"), QStringLiteral("DSN"), values.dsn));
        QVERIFY(ProfileFile::write(ini, QStringLiteral("DESK"), QStringLiteral("UID"), values.user));
        QVERIFY(ProfileFile::write(ini, QStringLiteral("DESK"), QStringLiteral("PWD"),
                                   LIB_ScramblePassword(values.password)));
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("runtime")));
        QFile::setPermissions(home.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        // Xvfb picks a free display itself and writes its number.
        xvfb.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                    QStringLiteral("tcp")});
        QVERIFY2(xvfb.waitForStarted(processWait), "Xvfb is not installed (scripts/bootstrap installs it)");
        while (!xvfb.canReadLine() && xvfb.waitForReadyRead(processWait)) {
        }
        const int number = QString::fromLatin1(xvfb.readLine()).trimmed().toInt();
        display = QStringLiteral(":%1").arg(number);
        QVERIFY2(xdotool({QStringLiteral("getmouselocation")}),
                 "xdotool is not installed (scripts/bootstrap installs it)");
    }

    void cleanupTestCase()
    {
        desk.kill();
        desk.waitForFinished(processWait);
        xvfb.terminate();
        if (!xvfb.waitForFinished(processWait))
            xvfb.kill();
        delete db;
    }

    void cardReaderLogsInAndScans()
    {
        // The start-up reads the reader search lists before it switches the splash to the login
        // layout: while they are locked, the splash stays, and its size can be taken.
        DbSession locker;
        locker.setConnectionValues(db->connectionValues());
        QCOMPARE(locker.connect(), 0);
        QCOMPARE(locker.execute(QStringLiteral("BEGIN; LOCK TABLE tmp_itemlist IN ACCESS EXCLUSIVE MODE"), 0),
                 0);

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), display);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("TAVORN_HOME"), home.path());
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("runtime")));
        environment.insert(QStringLiteral("LT3_COMPUTERNAME"), QStringLiteral("DESK-R1"));
        desk.setProcessEnvironment(environment);
        desk.start(QStringLiteral(READDESK_BINARY), QStringList());
        QVERIFY(desk.waitForStarted(processWait));

        QMap<QString, QSize> windows;
        QVERIFY(QTest::qWaitFor(
            [&] {
                windows = visibleWindows();
                // The desk's session waits for the lock: the start-up has come as far as the lists.
                return windows.size() == 1 &&
                       db->scalar(QStringLiteral(
                           "SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() AND "
                           "application_name = 'readdesk' AND wait_event_type = 'Lock'")) ==
                           QLatin1String("1");
            },
            processWait));
        const QString login = windows.firstKey();
        const int splashHeight = windows.first().height();
        QCOMPARE(locker.execute(QStringLiteral("COMMIT"), 0), 0);
        QVERIFY(QTest::qWaitFor([&] { return visibleWindows().value(login).height() > splashHeight; },
                                processWait));

        // The card reader types into whatever holds the focus: the name box, then the password box.
        QVERIFY(xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), login}));
        QVERIFY(typeKeys(QStringLiteral("a001")));
        QVERIFY(typeKeys(QStringLiteral("demo")));

        // The login window goes and the desk window is the one left (a message box would show
        // beside the login window instead).
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         windows = visibleWindows();
                         return !windows.contains(login) && windows.size() == 1;
                     },
                     processWait),
                 qPrintable(QStringLiteral("%1 windows shown").arg(windows.size())));
        QVERIFY(windows.first().width() > 600);

        // The reader box of the check-in mode holds the focus.
        const int before = checkIns(QStringLiteral("R0000001"));
        QVERIFY(typeKeys(QStringLiteral("D0000001")));
        QVERIFY(
            QTest::qWaitFor([&] { return checkIns(QStringLiteral("R0000001")) == before + 1; }, processWait));
        QCOMPARE(desk.state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TestXvfbDesk)
#include "tst_xvfbdesk.moc"
