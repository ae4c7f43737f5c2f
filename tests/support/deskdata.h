#pragma once

// What the desk has loaded by the time its windows open, for the tests of windows and lookups.

#include "codes/codetables.h"
#include "db/sysparams.h"
#include "info/marcindexparams.h"
#include "startup/environment.h"
#include "support/testdatabase.h"

#include <QTest>

// Runs in `programDirectory` against the copy: connects the process-wide session and loads the
// base data (messages, parameters), the code tables and the MARC index parameters. Fails the
// calling test on the first error.
inline void loadDeskData(const TestDatabase& db, const QString& programDirectory)
{
    QVERIFY(db.isReady());
    Environment::instance().setProgramDirectory(programDirectory);
    QCOMPARE(db.connectCurrentSession(), 0);
    QCOMPARE(LIB_LoadBaseData(), 0);
    QCOMPARE(LIB_LoadCodeTables(), 0);
    QCOMPARE(MarcIndexParameters::instance().load(), 0);
}
