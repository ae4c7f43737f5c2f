#include "startupsequence.h"

#include "applicationtitle.h"
#include "codes/codetables.h"
#include "db/database.h"
#include "db/errorreporter.h"
#include "db/messages.h"
#include "db/sysparams.h"
#include "environment.h"
#include "readersearchlists.h"
#include "singleinstance.h"

namespace {
// The start-up's own texts carry no kind letter: they show whole in a stop box.
const QString environmentFailed = QStringLiteral("系统环境出错，启动失败！");
const QString initialisationFailed = QStringLiteral("系统初始化出错，启动失败！");

// The reading-room desk's kind of location.
constexpr int readingRoomOperationType = 3;
} // namespace

StartupSequence::StartupSequence(SingleInstance& instance, StartupLoads loads, QObject* parent)
    : QObject(parent), m_instance(instance), m_loads(std::move(loads))
{
}

QString StartupSequence::instanceMessage()
{
    return QStringLiteral("正在运行一个 ") + LIB_ApplicationTitle() + QStringLiteral(" 实例！");
}

void StartupSequence::announce()
{
    m_instance.open();
}

bool StartupSequence::run()
{
    m_failedStep = NotRun;
    if (!checkInstance() || !readEnvironment() || !connectDatabase() || !loadBaseData())
        return false;
    loadSounds();
    loadDeskLocations();
    if (!loadMarcIndex())
        return false;
    loadSearchLists();
    return true;
}

bool StartupSequence::fail(Step step, const QString& message)
{
    m_failedStep = step;
    if (!message.isEmpty())
        LIB_ShowMsg(message);
    return false;
}

bool StartupSequence::checkInstance()
{
    Q_EMIT statusChanged(QStringLiteral("检查程序是否已经运行..."));
    if (!m_instance.anotherInstanceRuns())
        return true;
    // Ends before anything else is read: the running desk's files and session stay untouched.
    return fail(InstanceCheck, QStringLiteral("I") + instanceMessage());
}

bool StartupSequence::readEnvironment()
{
    Q_EMIT statusChanged(QStringLiteral("取系统环境变量..."));
    if (LIB_ReadEnvironment() == 0)
        return true;
    return fail(ReadEnvironment, environmentFailed);
}

bool StartupSequence::connectDatabase()
{
    Q_EMIT statusChanged(QStringLiteral("连接数据库..."));
    if (LIB_DB_Connect() == 0)
        return true;
    LIB_DB_ShowError(); // shows "与数据库连接失败，启动失败！" and logs the server's reason
    return fail(ConnectDatabase, QString());
}

bool StartupSequence::loadBaseData()
{
    Q_EMIT statusChanged(QStringLiteral("初始化系统使用的基本数据..."));
    if (LIB_LoadBaseData() == 0) // reports the failed query itself
        return true;
    return fail(LoadBaseData, initialisationFailed);
}

void StartupSequence::loadSounds()
{
    MessageCatalogue::instance().loadSounds(LIB_GetEnv(14).toString() + QStringLiteral("sound/snd.ini"));
}

void StartupSequence::loadDeskLocations()
{
    // Without the list the desk still starts; the previous (empty) list stays.
    if (LIB_LoadLocations(readingRoomOperationType) != 0)
        LIB_DB_Error().clear();
}

bool StartupSequence::loadMarcIndex()
{
    if (m_loads.marcIndexParameters() == 0) // shows and logs its own detail
        return true;
    return fail(LoadMarcIndex, initialisationFailed);
}

void StartupSequence::loadSearchLists()
{
    // The reader search still opens without its lists.
    if (ReaderSearchLists::instance().load() != 0)
        LIB_DB_Error().clear();
    m_loads.readerCaptions(); // a missing file leaves them empty
}
