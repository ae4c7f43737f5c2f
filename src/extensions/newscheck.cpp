#include "newscheck.h"

#include "extensionmessages.h"

#include <QFile>

namespace {

const QString pageKeyPrefix = QStringLiteral("page:");

QString channelKey(int n)
{
    return QStringLiteral("channel%1").arg(n);
}

} // namespace

NewsCheck::NewsCheck(const QString& programDirectory, QObject* parent)
    : QObject(parent), m_store(programDirectory), m_downloads(this)
{
    connect(&m_downloads, &cHttpDownload::queueFinished, this, &NewsCheck::queueFinished);
    connect(&m_downloads, &cHttpDownload::stateChanged, this,
            [this](const QString& key, cHttpDownload::State state) {
                if (state == cHttpDownload::State::Completed && key.startsWith(pageKeyPrefix))
                    Q_EMIT pageArrived(key.mid(pageKeyPrefix.size()));
            });
}

int NewsCheck::start(bool onDemand)
{
    if (running())
        return 0;
    const QStringList channels = m_store.channels();
    if (channels.isEmpty()) {
        if (onDemand)
            LIB_ShowTitledMsg(MessagePresenter::Icon::Exclamation, QStringLiteral("没有设定消息频道！"),
                              QStringLiteral("提示"));
        return -1;
    }
    m_downloads.Clear();
    m_downloads.defaultTimeoutMs = m_store.timeoutSeconds() * 1000;
    m_channelCount = int(channels.size());
    for (int n = 0; n < m_channelCount; ++n) {
        QFile::remove(m_store.answerFile(n));
        m_downloads.AddHttpDownload(channelKey(n), m_store.checkAddress(channels.at(n)),
                                    m_store.answerFile(n));
    }
    m_answersPending = true;
    m_downloads.StartDownload();
    return 0;
}

void NewsCheck::fetchPage(const NewsMessage& message)
{
    queuePage(message);
    m_downloads.StartDownload();
}

void NewsCheck::queuePage(const NewsMessage& message)
{
    const QString key = pageKeyPrefix + message.id;
    // A page asked for again after it failed or was deleted starts over; one on its way is left.
    if (const cHttpDownload::Task* task = m_downloads.task(key)) {
        if (task->state != cHttpDownload::State::Failed && task->state != cHttpDownload::State::Completed)
            return;
        m_downloads.RemoveDownload(key);
    }
    m_downloads.AddHttpDownload(key, message.linkUrl, m_store.pageFile(message.id));
}

void NewsCheck::stop()
{
    m_downloads.StopDownload();
    m_answersPending = false;
}

void NewsCheck::queueFinished()
{
    if (m_answersPending) {
        m_answersPending = false;
        processAnswers();
        if (m_downloads.CompletedCount() < m_downloads.DownloadListCount()) {
            m_downloads.StartDownload();
            if (m_downloads.StillExecuting())
                return;
        }
    }
    Q_EMIT finished();
}

void NewsCheck::processAnswers()
{
    bool everyChannelAnswered = true;
    QList<NewsMessage> arrived;
    for (int n = 0; n < m_channelCount; ++n) {
        const cHttpDownload::Task* task = m_downloads.task(channelKey(n));
        QFile answer(m_store.answerFile(n));
        bool parsed = false;
        if (task && task->state == cHttpDownload::State::Completed && answer.open(QIODevice::ReadOnly))
            arrived += NewsStore::parseChannelAnswer(answer.readAll(), &parsed);
        everyChannelAnswered = everyChannelAnswered && parsed;
        answer.close();
        answer.remove();
    }
    const QList<NewsMessage> added = m_store.merge(arrived);
    for (const NewsMessage& message : added) {
        if (message.type == QLatin1String("W"))
            queuePage(message);
    }
    if (everyChannelAnswered)
        m_store.setLastNewsTime(QDateTime::currentDateTime());
    Q_EMIT messagesArrived(int(added.size()));
}
