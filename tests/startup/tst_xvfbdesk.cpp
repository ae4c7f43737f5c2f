// The real program under a virtual X display (Xvfb on a display of its own, no window manager),
// driven by keys that come from the X server as a keyboard and a card reader send them (xdotool):
// each key goes where the desk put the focus. A card reader's "a001", Enter, "demo", Enter logs
// in and opens the desk, and a card scanned into the desk is checked in.
#include "support/deskprofile.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {
constexpr int processWait = 60000; // generous: the machine may be busy compiling
}

class TestXvfbDesk : public QObject
{
    Q_OBJECT
    TestDatabase db{QStringLiteral("xvfbdesk")};
    QTemporaryDir home;
    QProcess xvfb;
    QProcess desk;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();

    // Runs xdotool on the test's display: its output, or a null text when it failed.
    QString xdotool(const QStringList& arguments)
    {
        QProcess tool;
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral("xdotool"), arguments);
        if (!tool.waitForFinished(processWait) || tool.exitStatus() != QProcess::NormalExit ||
            tool.exitCode() != 0)
            return {};
        return QString::fromUtf8(tool.readAllStandardOutput() + ' ');
    }
    bool scan(const QString& code)
    {
        return !xdotool({"type", "--delay", "20", code}).isNull() && !xdotool({"key", "Return"}).isNull();
    }

    // The heights of the desk's visible windows (all carry its title), by window id.
    QMap<QString, int> windowHeights()
    {
        QMap<QString, int> heights;
        QString window;
        const QString shown = xdotool(
            {"search", "--onlyvisible", "--name", "^流通阅览$", "getwindowgeometry", "--shell", "%@"});
        for (const QString& line : shown.split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("WINDOW=")))
                window = line.mid(7);
            else if (line.startsWith(QLatin1String("HEIGHT=")))
                heights.insert(window, line.mid(7).toInt());
        }
        return heights;
    }

    int checkIns()
    {
        return db.scalar("SELECT count(*) FROM reader_stat WHERE cert_id = 'R0000001'").toInt();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(db.isReady());
        for (QDirIterator files(READDESK_RUNTIME_DIR, QDir::Files, QDirIterator::Subdirectories);
             files.hasNext();) {
            const QString target = home.path() + files.next().mid(qstrlen(READDESK_RUNTIME_DIR));
            QVERIFY(QDir().mkpath(QFileInfo(target).path()) && QFile::copy(files.filePath(), target));
        }
        QVERIFY(writeDeskProfile(home.filePath(QStringLiteral("tavorn.ini")), db.connectionValues()));
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("runtime")));
        QFile::setPermissions(home.filePath("runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        // A display of its own, drawn at random far from the usual low numbers: an Xvfb that ends
        // elsewhere on the machine (a person's, another test run's) then never takes this one's
        // socket with it. A display in use makes Xvfb end at once; another is drawn. -noreset: an X
        // server resets when its last client leaves (each xdotool run), and a desk connecting
        // during the reset is turned away.
        QString display;
        for (int attempt = 0; attempt < 20 && display.isEmpty(); ++attempt) {
            const QString number = QString::number(QRandomGenerator::global()->bounded(100, 1000));
            if (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
                continue;
            xvfb.start("Xvfb",
                       {':' + number, "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"});
            QVERIFY2(xvfb.waitForStarted(processWait), "no Xvfb (scripts/bootstrap installs it)");
            const QString socket = QStringLiteral("/tmp/.X11-unix/X") + number;
            if (QTest::qWaitFor(
                    [&] { return QFileInfo::exists(socket) || xvfb.state() == QProcess::NotRunning; },
                    processWait) &&
                xvfb.state() == QProcess::Running)
                display = ':' + number;
        }
        QVERIFY2(!display.isEmpty(), "Xvfb found no free display");
        environment.insert("DISPLAY", display);
        QVERIFY2(!xdotool({"getmouselocation"}).isNull(), "no xdotool (scripts/bootstrap installs it)");
    }

    void cleanupTestCase()
    {
        desk.kill();
        desk.waitForFinished(processWait);
        xvfb.terminate();
        if (!xvfb.waitForFinished(processWait))
            xvfb.kill();
    }

    void cardReaderLogsInAndScans()
    {
        // The start-up reads the reader search lists before it turns the splash into the login
        // layout: while they are locked, the splash stays, and its height can be taken.
        DbSession locker;
        locker.setConnectionValues(db.connectionValues());
        QCOMPARE(locker.connect(), 0);
        QCOMPARE(locker.execute("BEGIN; LOCK TABLE tmp_itemlist IN ACCESS EXCLUSIVE MODE", 0), 0);

        QProcessEnvironment deskEnvironment = environment;
        deskEnvironment.insert("QT_QPA_PLATFORM", "xcb");
        deskEnvironment.insert("TAVORN_HOME", home.path());
        deskEnvironment.insert("HOME", home.path());
        deskEnvironment.insert("XDG_CONFIG_HOME", home.filePath("config"));
        deskEnvironment.insert("XDG_RUNTIME_DIR", home.filePath("runtime"));
        deskEnvironment.insert("LT3_COMPUTERNAME", "DESK-R1");
        desk.setProcessEnvironment(deskEnvironment);
        desk.start(READDESK_BINARY, QStringList());
        QVERIFY(desk.waitForStarted(processWait));

        QMap<QString, int> windows;
        QString sessions;
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         windows = windowHeights();
                         // The desk's session and the locker's, which holds the lock.
                         sessions =
                             db.scalar("SELECT string_agg(coalesce(wait_event_type, '-') || ': ' || "
                                       "left(query, 40), '; ') FROM pg_stat_activity WHERE datname = "
                                       "current_database() AND application_name = 'readdesk' AND pid <> "
                                       "pg_backend_pid()");
                         return windows.size() == 1 && sessions.contains(QLatin1String("Lock: "));
                     },
                     processWait),
                 qPrintable(QStringLiteral("%1 windows; sessions: %2; the desk said: %3")
                                .arg(windows.size())
                                .arg(sessions, QString::fromUtf8(desk.readAllStandardError()))));
        const QString login = windows.firstKey();
        const int splash = windows.first();
        QCOMPARE(locker.execute("COMMIT", 0), 0);
        QVERIFY(QTest::qWaitFor([&] { return windowHeights().value(login) > splash; }, processWait));

        // The card reader types into whatever holds the focus: the name box, then the password box.
        QVERIFY(!xdotool({"windowfocus", "--sync", login}).isNull());
        QVERIFY(scan("a001") && scan("demo"));

        // The login window goes and the desk window is the one left (a message box would show
        // beside the login window instead).
        QVERIFY(QTest::qWaitFor(
            [&] {
                windows = windowHeights();
                return !windows.contains(login) && windows.size() == 1;
            },
            processWait));
        QVERIFY(windows.first() > 400);

        // The reader box of the check-in mode holds the focus.
        const int before = checkIns();
        QVERIFY(scan("D0000001"));
        QVERIFY(QTest::qWaitFor([&] { return checkIns() == before + 1; }, processWait));
        QCOMPARE(desk.state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TestXvfbDesk)
#include "tst_xvfbdesk.moc"
