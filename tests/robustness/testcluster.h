#pragma once

// The test cluster stopped and started under a working desk (scripts/localdb on the cluster
// that scripts/run-tests made). READDESK_SOURCE_DIR is defined by the test's target.

#include <QProcess>
#include <QString>

inline bool localdb(const QString& command)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(READDESK_SOURCE_DIR "/scripts/localdb"), {command});
    return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// Whatever happens in a test, the server runs again afterwards for the tests that follow.
struct ServerBackUp
{
    ~ServerBackUp() { localdb(QStringLiteral("start")); }
};
