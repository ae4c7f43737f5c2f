#include "httpdownload.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>
#include <QTimer>

cHttpDownload::cHttpDownload(QObject* parent) : QObject(parent)
{
    Init(nullptr, nullptr, nullptr);
}

cHttpDownload::~cHttpDownload()
{
    blockSignals(true); // the owner may be going too
    Clear();
}

void cHttpDownload::Init(QNetworkAccessManager* transfer, QTimer* timeoutTimer, QTimer* retryTimer)
{
    StopDownload();
    for (QTimer* timer : {m_timeout, m_retry}) {
        if (timer)
            timer->disconnect(this);
    }
    m_transfer = transfer ? transfer : new QNetworkAccessManager(this);
    m_timeout = timeoutTimer ? timeoutTimer : new QTimer(this);
    m_retry = retryTimer ? retryTimer : new QTimer(this);
    m_timeout->setSingleShot(true);
    m_retry->setSingleShot(true);
    connect(m_timeout, &QTimer::timeout, this, &cHttpDownload::timedOut);
    connect(m_retry, &QTimer::timeout, this, &cHttpDownload::runNext);
}

int cHttpDownload::AddHttpDownload(const QString& key, const QString& url, const QString& target, int port,
                                   int timeoutMs)
{
    m_error.clear();
    if (task(key)) {
        m_error = QStringLiteral("关键值重复");
        return -1;
    }
    QUrl address(url.trimmed());
    const QString scheme = address.scheme().toLower();
    if (!address.isValid() || address.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        m_error = QStringLiteral("下载地址 %1 无效").arg(url);
        return -1;
    }
    if (address.port() < 0 && port > 0 && port != (scheme == QLatin1String("https") ? 443 : 80))
        address.setPort(port);
    Task added;
    added.key = key;
    added.url = address;
    added.target = target;
    added.timeoutMs = timeoutMs > 0 ? timeoutMs : defaultTimeoutMs;
    m_tasks.append(added);
    return 0;
}

const cHttpDownload::Task* cHttpDownload::task(const QString& key) const
{
    for (const Task& t : m_tasks) {
        if (t.key == key)
            return &t;
    }
    return nullptr;
}

cHttpDownload::Task* cHttpDownload::current()
{
    return m_current >= 0 && m_current < m_tasks.size() ? &m_tasks[m_current] : nullptr;
}

int cHttpDownload::CompletedCount() const
{
    return int(std::count_if(m_tasks.cbegin(), m_tasks.cend(),
                             [](const Task& t) { return t.state == State::Completed; }));
}

void cHttpDownload::StartDownload()
{
    if (m_running)
        return;
    m_running = true;
    runNext();
}

void cHttpDownload::runNext()
{
    if (!m_running || m_reply)
        return;
    Task* next = current();
    if (!next || next->state != State::Retrying) {
        next = nullptr;
        for (int i = 0; i < m_tasks.size() && !next; ++i) {
            if (m_tasks.at(i).state == State::Waiting) {
                m_current = i;
                next = &m_tasks[i];
            }
        }
    }
    if (!next) {
        m_running = false;
        m_current = -1;
        Q_EMIT queueFinished();
        return;
    }
    begin(*next);
}

void cHttpDownload::begin(Task& task)
{
    ++task.attempts;
    task.state = State::Receiving;
    task.received = 0;
    task.total = -1;
    m_timedOut = false;
    QDir().mkpath(QFileInfo(task.target).absolutePath());
    m_file = std::make_unique<QSaveFile>(task.target);
    if (!m_file->open(QIODevice::WriteOnly)) {
        task.state = State::Failed;
        task.error = m_file->errorString();
        m_file.reset();
        Q_EMIT stateChanged(task.key, task.state);
        QTimer::singleShot(0, this, &cHttpDownload::runNext);
        return;
    }
    QNetworkRequest request(task.url);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    m_reply = m_transfer->get(request);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        if (Task* t = current(); t && m_reply) {
            const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
            t->total = length.isValid() ? length.toLongLong() : -1;
        }
    });
    connect(m_reply, &QNetworkReply::readyRead, this, &cHttpDownload::receive);
    connect(m_reply, &QNetworkReply::finished, this, &cHttpDownload::finish);
    m_timeout->start(task.timeoutMs);
    Q_EMIT stateChanged(task.key, task.state);
}

void cHttpDownload::receive()
{
    Task* t = current();
    if (!t || !m_reply || !m_file || !m_reply->isOpen())
        return;
    const QByteArray bytes = m_reply->readAll();
    if (bytes.isEmpty())
        return;
    m_file->write(bytes);
    t->received += bytes.size();
    // The time-out measures a stalled transfer: every arrival starts it again.
    m_timeout->start(t->timeoutMs);
    Q_EMIT stateChanged(t->key, t->state);
}

void cHttpDownload::timedOut()
{
    if (!m_reply)
        return;
    m_timedOut = true;
    m_reply->abort(); // finish() follows
}

void cHttpDownload::finish()
{
    m_timeout->stop();
    Task* t = current();
    if (!t || !m_reply)
        return;
    receive();
    const bool ok = m_reply->error() == QNetworkReply::NoError && m_file && m_file->commit();
    if (!ok) {
        t->error = m_timedOut                                   ? QStringLiteral("下载超时")
                   : m_reply->error() != QNetworkReply::NoError ? m_reply->errorString()
                   : m_file                                     ? m_file->errorString()
                                                                : QString();
        if (m_file)
            m_file->cancelWriting();
    }
    m_file.reset();
    dropReply();
    const QString key = t->key;
    if (ok)
        t->state = State::Completed;
    else
        t->state = t->attempts < maxAttempts ? State::Retrying : State::Failed;
    const bool retry = t->state == State::Retrying;
    Q_EMIT stateChanged(key, t->state);
    if (retry)
        m_retry->start(retryIntervalMs);
    else
        runNext();
}

void cHttpDownload::dropReply()
{
    if (!m_reply)
        return;
    m_reply->disconnect(this);
    m_reply->deleteLater();
    m_reply = nullptr;
}

void cHttpDownload::StopDownload()
{
    m_running = false;
    if (m_timeout)
        m_timeout->stop();
    if (m_retry)
        m_retry->stop();
    if (m_reply) {
        QNetworkReply* reply = m_reply;
        dropReply();
        reply->abort();
    }
    if (m_file) {
        m_file->cancelWriting();
        m_file.reset();
    }
    if (Task* t = current(); t && (t->state == State::Receiving || t->state == State::Retrying)) {
        t->state = State::Waiting;
        t->attempts = 0;
        Q_EMIT stateChanged(t->key, t->state);
    }
    m_current = -1;
}

void cHttpDownload::Clear()
{
    StopDownload();
    m_tasks.clear();
}

bool cHttpDownload::RemoveDownload(const QString& key)
{
    for (int i = 0; i < m_tasks.size(); ++i) {
        if (m_tasks.at(i).key != key)
            continue;
        if (i == m_current)
            return false;
        m_tasks.removeAt(i);
        if (m_current > i)
            --m_current;
        return true;
    }
    return false;
}
