#include "assembly.h"

#include "addinhostprotocol.h"
#include "db/logfile.h"
#include "extensionmessages.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLibrary>
#include <QProcess>

namespace {

QString& hostProgramPath()
{
    static QString path;
    return path;
}

} // namespace

cAssembly::cAssembly(const QString& file, const QString& className, const QString& folder)
    : File(file), ClassName(className), Folder(folder)
{
}

cAssembly::~cAssembly()
{
    Release();
}

void cAssembly::setHostProgram(const QString& path)
{
    hostProgramPath() = path;
}

QString cAssembly::hostProgram()
{
    if (hostProgramPath().isEmpty())
        return QCoreApplication::applicationDirPath() + QStringLiteral("/readdesk-addinhost");
    return hostProgramPath();
}

bool cAssembly::LoadAssemblyLibrary()
{
    if (QFileInfo(File).isFile() && QLibrary::isLibrary(File))
        return true;
    LIB_ShowErrorBox(QStringLiteral("装载") + ClassName + QStringLiteral("对象失败！"));
    return false;
}

bool cAssembly::startHost()
{
    if (m_host && m_host->state() == QProcess::Running)
        return true;
    m_host = std::make_unique<QProcess>();
    m_host->setProgram(hostProgram());
    m_host->setWorkingDirectory(Folder);
    m_host->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_host->start();
    m_received.clear();
    return m_host->waitForStarted();
}

// Waits, without taking the operator's input, until the host answers or ends. Returns what the
// host wrote since the last answer: the procedure's output and, unless the host ended, the answer.
QByteArray cAssembly::awaitAnswer()
{
    const QByteArray marker(AddinHostProtocol::answerMarker);
    QEventLoop loop;
    auto answered = [this, &marker] {
        m_received += m_host->readAllStandardOutput();
        const qsizetype at = m_received.indexOf(marker);
        return at >= 0 && m_received.indexOf('\n', at) >= 0;
    };
    QObject::connect(m_host.get(), &QProcess::readyReadStandardOutput, &loop, [&] {
        if (answered())
            loop.quit();
    });
    QObject::connect(m_host.get(), &QProcess::finished, &loop, &QEventLoop::quit);
    if (!answered() && m_host->state() == QProcess::Running)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    answered();
    return m_received;
}

AddinCall cAssembly::CallProcessByName(const QString& procedure, const QList<AddinArgument>& arguments)
{
    AddinCall call;
    if (arguments.size() > AddinHostProtocol::maxArguments)
        return call;
    if (!startHost()) {
        call.status = AddinCall::NoLibrary;
        reportFailure(call.status, procedure, m_host->errorString());
        return call;
    }
    QJsonArray values;
    for (const AddinArgument& argument : arguments)
        values.append(argument ? QJsonValue(*argument) : QJsonValue(QJsonValue::Null));
    const QJsonObject request{{QStringLiteral("library"), File},
                              {QStringLiteral("procedure"), procedure},
                              {QStringLiteral("arguments"), values}};
    m_host->write(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');

    const QByteArray received = awaitAnswer();
    const qsizetype at = received.indexOf(AddinHostProtocol::answerMarker);
    if (at < 0) {
        call.status = AddinCall::Crashed;
        call.output = QString::fromUtf8(received);
        m_received.clear();
        reportFailure(call.status, procedure,
                      QStringLiteral("宿主进程异常结束（%1，代码 %2）")
                          .arg(m_host->exitStatus() == QProcess::CrashExit ? QStringLiteral("崩溃")
                                                                           : QStringLiteral("退出"))
                          .arg(m_host->exitCode()));
        return call;
    }
    const qsizetype answerStart = at + qsizetype(qstrlen(AddinHostProtocol::answerMarker));
    const qsizetype answerEnd = received.indexOf('\n', answerStart);
    const QJsonObject answer =
        QJsonDocument::fromJson(received.mid(answerStart, answerEnd - answerStart)).object();
    call.output = QString::fromUtf8(received.left(at));
    m_received = received.mid(answerEnd + 1);

    const QString status = answer.value(QStringLiteral("status")).toString();
    const QString detail = answer.value(QStringLiteral("detail")).toString();
    if (status == QLatin1String(AddinHostProtocol::done))
        call.status = AddinCall::Done;
    else if (status == QLatin1String(AddinHostProtocol::noProcedure))
        call.status = AddinCall::NoProcedure;
    else
        call.status = AddinCall::NoLibrary;
    if (call.status != AddinCall::Done)
        reportFailure(call.status, procedure, detail);
    return call;
}

void cAssembly::reportFailure(AddinCall::Status status, const QString& procedure, const QString& detail) const
{
    if (!detail.isEmpty())
        LIB_WriteLogFile(QStringLiteral("插件对象%1（%2）：%3").arg(ClassName, File, detail));
    switch (status) {
    case AddinCall::NoProcedure:
        LIB_ShowErrorBox(QStringLiteral("插件对象%1没有过程%2，命令未执行。").arg(ClassName, procedure));
        break;
    case AddinCall::Crashed:
        LIB_ShowErrorBox(
            QStringLiteral("插件对象%1的过程%2异常终止，命令未完成。").arg(ClassName, procedure));
        break;
    default:
        LIB_ShowErrorBox(QStringLiteral("装载") + ClassName + QStringLiteral("对象失败！"));
        break;
    }
}

bool cAssembly::RunExecute(const QList<AddinArgument>& arguments)
{
    QStringList values;
    for (const AddinArgument& argument : arguments)
        values << argument.value_or(QString());
    if (QProcess::startDetached(File, values))
        return true;
    LIB_ShowErrorBox(QStringLiteral("外部调用执行失败！"));
    return false;
}

void cAssembly::Release()
{
    if (!m_host)
        return;
    if (m_host->state() != QProcess::NotRunning) {
        m_host->closeWriteChannel(); // the host ends at the end of its input
        if (!m_host->waitForFinished(3000)) {
            m_host->kill();
            m_host->waitForFinished();
        }
    }
    m_host.reset();
}
