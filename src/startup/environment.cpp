#include "environment.h"

#include "db/database.h"
#include "db/dbenvironment.h"
#include "db/logfile.h"
#include "db/messages.h"
#include "db/statisticssession.h"
#include "operatorsession.h"
#include "profilefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QMutex>

OperatorSession& OperatorSession::current()
{
    static OperatorSession session;
    return session;
}

Environment& Environment::instance()
{
    static Environment environment;
    return environment;
}

Environment::Environment()
{
    QString directory = qEnvironmentVariable("TAVORN_HOME");
    if (directory.isEmpty() && QCoreApplication::instance())
        directory = QCoreApplication::applicationDirPath();
    if (directory.isEmpty())
        directory = QDir::currentPath();
    setProgramDirectory(directory);
    DbEnvironment::setWorkerNumberSource([] { return OperatorSession::current().workerNumber; });
}

void Environment::setProgramDirectory(const QString& directory)
{
    QString p = QDir(directory).absolutePath();
    if (!p.endsWith(QLatin1Char('/')))
        p += QLatin1Char('/');
    m_paths[Program] = p;
    m_paths[Bin] = p + QStringLiteral("BIN/");
    m_paths[Doc] = p + QStringLiteral("DOC/");
    m_paths[Cfg] = p + QStringLiteral("CFG/");
    m_paths[Log] = p + QStringLiteral("LOG/");
    m_paths[Tmp] = p + QStringLiteral("TMP/");
    m_paths[Dat] = p + QStringLiteral("DAT/");
    m_paths[BaseParam] = m_paths[Cfg] + QStringLiteral("BM/BaseParam/");
    m_paths[CardParam] = m_paths[Cfg] + QStringLiteral("BM/CardParam/");
    m_paths[Template] = m_paths[Cfg] + QStringLiteral("BM/Template/");
    m_paths[Z3950] = m_paths[Cfg] + QStringLiteral("BM/Z3950/");
    // The database layer writes the log and plays the message sounds from these.
    DbEnvironment::setLogDirectory(m_paths[Log]);
    DbEnvironment::setSoundDirectory(m_paths[Cfg] + QStringLiteral("sound/"));
}

QString Environment::path(int index) const
{
    return index >= 0 && index < PathCount ? m_paths[index] : QString();
}

QString LIB_Path(int index)
{
    return Environment::instance().path(index);
}

int LIB_ReadEnvironment()
{
    Environment& env = Environment::instance();
    const QString file = env.programDirectory() + QStringLiteral("tavorn.ini");
    if (!env.programDirectory().endsWith(QLatin1Char('/'))) {
        LIB_Beep();
        LIB_WriteLogFile(QStringLiteral("初始化文件[tavorn.ini]出错，请与系统管理员联系，恢复正常的文件。"));
        return -1;
    }
    env.serverSection = ProfileFile::read(file, QStringLiteral("LIB-DATA"), QStringLiteral("LIB_SERVER"));
    env.connection.dsn = ProfileFile::read(file, env.serverSection, QStringLiteral("DSN"));
    env.connection.user = ProfileFile::read(file, env.serverSection, QStringLiteral("UID"));
    env.connection.password =
        LIB_UnscramblePassword(ProfileFile::read(file, env.serverSection, QStringLiteral("PWD")));
    DbSession::current().setConnectionValues(env.connection);
    // The statistics' read replica: its connection string; the same user and password.
    const QString replica = ProfileFile::read(file, env.serverSection, QStringLiteral("STAT_DSN"));
    const QString wait = ProfileFile::read(file, env.serverSection, QStringLiteral("STAT_WAIT"));
    bool given = false;
    const double seconds = wait.toDouble(&given);
    LIB_SetStatisticsReplica({replica, env.connection.user, env.connection.password},
                             given ? int(seconds * 1000) : 1000);
    return 0;
}

QVariant LIB_GetEnv(int number)
{
    Environment& env = Environment::instance();
    const OperatorSession& op = OperatorSession::current();
    switch (number) {
    case 0: {
        // Sessions on other threads (one per thread) record at the same time; the last server
        // date-time they all keep is written under a lock.
        const QString now = LIB_DB_ServerDate();
        static QMutex keeping;
        const QMutexLocker lock(&keeping);
        env.lastServerDate = now;
        return now;
    }
    case 1:
        return LIB_DB_ServerDate().left(10);
    case 2:
        return LIB_DB_ServerDate().right(8);
    case 3:
        return op.location;
    case 4:
        return op.workerNumber;
    case 5:
        return op.password;
    case 7:
        return LIB_DB_ServerDate().left(4);
    case 8:
        return true;
    case 10:
        return env.path(Environment::Program);
    case 11:
        return env.path(Environment::Bin);
    case 12:
        return env.path(Environment::Doc);
    case 13:
        return env.path(Environment::Tmp);
    case 14:
        return env.path(Environment::Cfg);
    case 15:
        return env.path(Environment::Log);
    case 16:
        return env.path(Environment::Dat);
    case 17:
        return env.path(Environment::BaseParam);
    case 18:
        return env.path(Environment::CardParam);
    case 19:
        return env.path(Environment::Template);
    case 20:
        return env.path(Environment::Z3950);
    default:
        return {};
    }
}

namespace {
int wrapBelow(int code)
{
    return code < 33 ? code + 94 : code;
}
int wrapAbove(int code)
{
    return code >= 127 ? code - 94 : code;
}

// Reverses the characters inside each group of three; its own inverse.
QString reverseTriples(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (int i = 0; i < text.size(); i += 3) {
        QString group = text.mid(i, 3);
        std::reverse(group.begin(), group.end());
        result += group;
    }
    return result;
}
} // namespace

QString LIB_UnscramblePassword(const QString& stored)
{
    const QString text = reverseTriples(stored);
    QString clear;
    int n = 1;
    bool expectCheck = false;
    int check = 0;
    for (const QChar ch : text) {
        const int x = ch.unicode();
        if (expectCheck) {
            if (x != check)
                return {};
            expectCheck = false;
            continue;
        }
        const bool odd = n % 2 == 1;
        clear += QChar(odd ? wrapBelow(x - 10) : wrapAbove(x + 10));
        if (x % 10 >= 5) {
            check = odd ? wrapBelow(x - 5) : wrapAbove(x + 5);
            expectCheck = true;
        }
        ++n;
    }
    return clear;
}

QString LIB_ScramblePassword(const QString& clear)
{
    QString text;
    int n = 1;
    for (const QChar ch : clear) {
        const int c = ch.unicode();
        const bool odd = n % 2 == 1;
        const int x = odd ? wrapAbove(c + 10) : wrapBelow(c - 10);
        text += QChar(x);
        if (x % 10 >= 5)
            text += QChar(odd ? wrapBelow(x - 5) : wrapAbove(x + 5));
        ++n;
    }
    return reverseTriples(text);
}
