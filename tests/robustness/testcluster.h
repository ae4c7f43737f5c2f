#pragma once

// The test cluster stopped and started under a working desk (scripts/localdb on the cluster
// that scripts/run-tests made). READDESK_SOURCE_DIR is defined by the test's target.

#include "support/testdatabase.h"

#include <QProcess>
#include <QString>

// scripts/localdb acts on $READDESK_VAR and $READDESK_PGPORT: true when they name the cluster under
// test, so that stopping it stops nothing else.
inline bool onTestCluster()
{
    return !qEnvironmentVariable("READDESK_VAR").isEmpty() &&
           qEnvironmentVariable("READDESK_PGPORT") == TestDatabase::port();
}

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
