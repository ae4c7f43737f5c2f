#include "startupprobe.h"

#include "db/database.h"
#include "db/messageboxpresenter.h"
#include "desk/frmReadMain.h"
#include "info/infostartup.h"
#include "startup/applicationtitle.h"
#include "startup/consolepresenter.h"
#include "startup/deskstartup.h"
#include "startup/environment.h"
#include "startup/frmCircLogo.h"
#include "startup/profilefile.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

namespace {

void printStamp(const char* what)
{
    std::printf("%s %lld\n", what, static_cast<long long>(monotonicNanoseconds()));
    std::fflush(stdout);
}

bool writeIni(const QString& path, const ConnectionValues& c)
{
    const QString section = QStringLiteral("BENCH");
    return ProfileFile::write(path, QStringLiteral("LIB-DATA"), QStringLiteral("LIB_SERVER"), section) &&
           ProfileFile::write(path, section, QStringLiteral("DSN"), c.dsn) &&
           ProfileFile::write(path, section, QStringLiteral("UID"), c.user) &&
           ProfileFile::write(path, section, QStringLiteral("PWD"), LIB_ScramblePassword(c.password));
}

} // namespace

int runStartupProbe(int argc, char* argv[])
{
    // As readdesk's main does it.
    QApplication app(argc, argv);
    DeskStartup::prepareApplication();

    DeskStartup startup(&frmReadMain::createForStartup, LIB_InformationStartupLoads());
    if (!startup.run())
        return 1;
    QApplication::processEvents();
    printStamp("login");

    // The operator logs in; the main window opens.
    frmCircLogo* login = startup.loginWindow();
    auto* name = login->findChild<QComboBox*>(QStringLiteral("cboName"));
    auto* password = login->findChild<QLineEdit*>(QStringLiteral("txtPassword"));
    if (!name || !password)
        return 3;
    name->setEditText(qEnvironmentVariable("SCAN_BENCH_WORKER"));
    password->setText(qEnvironmentVariable("SCAN_BENCH_PASSWORD"));
    login->login();
    QApplication::processEvents();
    if (!startup.mainWindow() || !startup.mainWindow()->isVisible())
        return 4;
    printStamp("main");
    return 0;
}

StartupFigures measureStartup(const BenchTarget& target, const QString& workstation, int runs)
{
    StartupFigures figures;
    QTemporaryDir home;
    if (!home.isValid() || !copyRuntimeTree(home.path()) ||
        !writeIni(home.filePath(QStringLiteral("tavorn.ini")), target.connection)) {
        figures.failed = runs;
        figures.failure = QStringLiteral("cannot lay out the probe's program directory");
        return figures;
    }
    const QString runtimeDir = home.filePath(QStringLiteral("xdg-run"));
    QDir().mkpath(runtimeDir);
    QFile::setPermissions(runtimeDir,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TAVORN_HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LT3_COMPUTERNAME"), workstation);
    env.insert(QStringLiteral("SCAN_BENCH_WORKER"), target.worker);
    env.insert(QStringLiteral("SCAN_BENCH_PASSWORD"), target.workerPassword);

    for (int run = 0; run < runs; ++run) {
        QProcess probe;
        probe.setProcessEnvironment(env);
        const qint64 start = monotonicNanoseconds();
        probe.start(QCoreApplication::applicationFilePath(), {StartupProbeArgument});
        const bool finished = probe.waitForFinished(60000);
        qint64 login = 0, main = 0;
        const QList<QByteArray> lines = probe.readAllStandardOutput().split('\n');
        for (const QByteArray& line : lines) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() == 2 && parts[0] == "login")
                login = parts[1].toLongLong() - start;
            if (parts.size() == 2 && parts[0] == "main")
                main = parts[1].toLongLong() - start;
        }
        if (!finished || probe.exitCode() != 0 || login <= 0 || main <= 0) {
            if (!finished)
                probe.kill();
            if (figures.failed++ == 0)
                figures.failure = QStringLiteral("exit %1: %2")
                                      .arg(probe.exitCode())
                                      .arg(QString::fromUtf8(probe.readAllStandardError()).trimmed());
            continue;
        }
        if (figures.toLogin.count() == 0)
            figures.firstToLoginMs = double(login) / 1e6;
        figures.toLogin.add(login);
        figures.toMainWindow.add(main);
    }
    return figures;
}
