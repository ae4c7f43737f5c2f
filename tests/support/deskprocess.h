#pragma once

// The process of a desk as after a login at R1 by A001, and desks in a mode, for the tests that
// drive the desk's operations without its window.

#include "codes/codetables.h"
#include "db/sysparams.h"
#include "desk/deskcontext.h"
#include "info/marcindexparams.h"
#include "startup/desksettings.h"
#include "startup/environment.h"
#include "startup/operatorsession.h"
#include "support/recordingpresenter.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QSettings>
#include <QTest>

// The box text LIB_ShowMsg shows for a code: the catalogue's text, or the literal after the kind letter.
inline QString shownText(const QString& code)
{
    return RecordingPresenter::shownText(code);
}

// Program directory `home` (with LOG/ and the settings store), the process session connected to
// `db`, messages, parameters, code tables, reading-room locations, MARC index parameters, the
// operator A001 at R1, the admission checks of violations, debts and validity on (local types,
// photos and fine settlement off) and the photocopy rule COPY01. false (with a failed test) when
// a step fails.
inline bool prepareDeskProcess(const TestDatabase& db, const QString& home)
{
    [&] {
        QVERIFY(db.isReady());
        QVERIFY(QDir(home).mkpath(QStringLiteral("LOG")));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home + QStringLiteral("/store"));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home + QStringLiteral("/store"));
        Environment::instance().setProgramDirectory(home);
        QCOMPARE(db.connectCurrentSession(), 0);
        QCOMPARE(LIB_LoadBaseData(), 0);
        QCOMPARE(LIB_LoadCodeTables(), 0);
        QCOMPARE(LIB_LoadLocations(3), 0);
        QCOMPARE(MarcIndexParameters::instance().load(), 0);
    }();
    if (QTest::currentTestFailed())
        return false;
    OperatorSession::current().workerNumber = QStringLiteral("A001");
    OperatorSession::current().location = QStringLiteral("R1");
    DeskSettings& settings = DeskSettings::current();
    settings.checkViolations = settings.checkDebts = settings.checkValidity = 1;
    settings.localReaderTypesOnly = settings.showReaderPhoto = settings.settleFines = 0;
    settings.copyLendRule = QStringLiteral("COPY01");
    return true;
}

// A desk at R1 operated by A001 in the given mode.
inline DeskContext deskAt(DeskMode mode)
{
    DeskContext desk;
    desk.mode = mode;
    desk.location = QStringLiteral("R1");
    desk.worker = QStringLiteral("A001");
    return desk;
}
