#include "benchdesk.h"

#include "codes/codetables.h"
#include "db/database.h"
#include "db/sysparams.h"
#include "desk/barcoderules.h"
#include "desk/localreadertypes.h"
#include "info/marcindexparams.h"
#include "startup/desksettings.h"
#include "startup/environment.h"
#include "startup/operatorsession.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSettings>

namespace {
// The desk location list of a reading room desk.
constexpr int readingRoomOperationType = 3;
} // namespace

bool copyRuntimeTree(const QString& target)
{
    const QString source = QStringLiteral(READDESK_SOURCE_DIR "/runtime");
    QDirIterator it(source, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    if (!QDir(source).exists())
        return false;
    while (it.hasNext()) {
        const QString from = it.next();
        const QString to = target + QLatin1Char('/') + QDir(source).relativeFilePath(from);
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(to))
                return false;
        } else if (!QFile::copy(from, to)) {
            return false;
        }
    }
    return true;
}

bool BenchDesk::fail(const QString& reason)
{
    m_error = reason;
    return false;
}

bool BenchDesk::open()
{
    if (!m_home.isValid() || !copyRuntimeTree(m_home.path()))
        return fail(QStringLiteral("cannot lay out a program directory"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       m_home.filePath(QStringLiteral("store")));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_home.filePath(QStringLiteral("store")));
    Environment::instance().setProgramDirectory(m_home.path());
    Environment::instance().connection = m_target.connection;

    auto presenter = std::make_unique<SilentPresenter>();
    m_presenter = presenter.get();
    LIB_SetMessagePresenter(std::move(presenter));

    DbSession::current().setConnectionValues(m_target.connection);
    if (LIB_DB_Connect() != 0)
        return fail(QStringLiteral("cannot connect: ") + LIB_DB_Error().description);
    if (LIB_LoadBaseData() != 0)
        return fail(QStringLiteral("base data: ") + LIB_DB_Error().description);
    if (LIB_LoadLocations(readingRoomOperationType) != 0)
        return fail(QStringLiteral("desk locations: ") + LIB_DB_Error().description);
    if (LIB_LoadMarcIndexParameters() != 0)
        return fail(QStringLiteral("MARC index parameters"));
    if (LIB_LoadCodeTables() != 0)
        return fail(QStringLiteral("code tables: ") + LIB_DB_Error().description);

    OperatorSession& op = OperatorSession::current();
    op.workerNumber = m_target.worker;
    op.password = m_target.workerPassword;
    op.location = m_target.location;
    op.loggedIn = true;

    BarcodeReadRules::current().load();
    LIB_MaintainLocalReaderTypesFile();
    DeskSettings& settings = DeskSettings::current();
    settings.readLoginSwitches();
    settings.readMainWindowSettings();
    settings.localReaderTypesOnly = 1;
    settings.copyLend = 1;
    settings.copyLendRule = m_target.copyLendRule;
    m_presenter->texts.clear();
    return true;
}

bool BenchDesk::loadKeys()
{
    ResultTable rows;
    if (LIB_DB_Select(QStringLiteral("SELECT name, prefix, first_no, last_no FROM bench_keys"), rows) != 0)
        return fail(QStringLiteral("no key ranges (bench_keys): is this a generated database? ") +
                    LIB_DB_Error().description);
    for (int r = 2; r < rows.recordCount() + 2; ++r)
        m_keys.insert(rows.text(0, r),
                      {rows.text(1, r), qint64(rows.number(2, r)), qint64(rows.number(3, r))});
    for (const char* needed : {"card_ok", "item_r1"}) {
        if (range(QLatin1String(needed)).count() <= 0)
            return fail(QStringLiteral("bench_keys lacks the range ") + QLatin1String(needed));
    }
    return true;
}

QString BenchDesk::workstation()
{
    ResultTable rows;
    LIB_DB_Select(QStringLiteral("SELECT comp_name FROM loca_comp_lst WHERE location = ") +
                      LIB_SQLQuote(m_target.location) + QStringLiteral(" ORDER BY comp_name"),
                  rows);
    return rows.text(0, 2);
}
