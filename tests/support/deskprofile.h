#pragma once

// The workstation's tavorn.ini pointing the desk at a test database copy.

#include "db/dbsession.h"
#include "startup/environment.h"
#include "startup/profilefile.h"

// Writes the connection values into the [DESK] section of `path` (the password scrambled as the
// desk stores it) and names `serverSection` in [LIB-DATA] LIB_SERVER; false when a write fails.
inline bool writeDeskProfile(const QString& path, const ConnectionValues& values,
                             const QString& serverSection = QStringLiteral("DESK"))
{
    const QString desk = QStringLiteral("DESK");
    return ProfileFile::write(path, QStringLiteral("LIB-DATA"), QStringLiteral("LIB_SERVER"),
                              serverSection) &&
           ProfileFile::write(path, desk, QStringLiteral("DSN"), values.dsn) &&
           ProfileFile::write(path, desk, QStringLiteral("UID"), values.user) &&
           ProfileFile::write(path, desk, QStringLiteral("PWD"), LIB_ScramblePassword(values.password));
}
