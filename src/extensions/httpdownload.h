#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QSaveFile;
class QTimer;

// A queue of files fetched over HTTP, one task after the other. Each task sends a GET request,
// follows its progress by the Content-Length header, writes the body to its target file (the file
// appears only when the whole body has arrived) and, when the transfer fails or stalls longer than
// its time-out, is tried again after the retry interval, up to maxAttempts times in all.
class cHttpDownload : public QObject
{
    Q_OBJECT
public:
    enum class State { Waiting, Receiving, Retrying, Completed, Failed };
    struct Task
    {
        QString key;
        QUrl url;
        QString target;
        int timeoutMs = 0;
        State state = State::Waiting;
        qint64 received = 0;
        qint64 total = -1; // Content-Length, -1 while unknown
        int attempts = 0;
        QString error; // the last failure
    };

    explicit cHttpDownload(QObject* parent = nullptr);
    ~cHttpDownload() override;

    // The transfer object and the two timers the queue works with; each one not handed over
    // (nullptr) is made by the queue itself. Called by the constructor with none.
    void Init(QNetworkAccessManager* transfer, QTimer* timeoutTimer, QTimer* retryTimer);

    // Queues a file. The port applies when the address names none; a time-out of 0 takes
    // defaultTimeoutMs. 0, or -1 when the key is already queued (errorString() "关键值重复") or the
    // address is not an http(s) address.
    int AddHttpDownload(const QString& key, const QString& url, const QString& target, int port = 80,
                        int timeoutMs = 0);
    // Runs the waiting tasks in the order they were queued.
    void StartDownload();
    // Stops the running task (it waits again) and the queue.
    void StopDownload();
    // Stops and forgets every task.
    void Clear();
    // Forgets a task that is not running. false when there is none or it runs.
    bool RemoveDownload(const QString& key);

    int CompletedCount() const;
    int DownloadListCount() const { return int(m_tasks.size()); }
    bool StillExecuting() const { return m_running; }
    const Task* task(const QString& key) const;
    QString errorString() const { return m_error; }

    int defaultTimeoutMs = 30000;
    int retryIntervalMs = 5000;
    int maxAttempts = 3;

Q_SIGNALS:
    // A task changed its state or received bytes.
    void stateChanged(const QString& key, cHttpDownload::State state);
    // The queue ran out of waiting tasks.
    void queueFinished();

private:
    Task* current();
    void runNext();
    void begin(Task& task);
    void receive();
    void finish();
    void timedOut();
    void dropReply();

    QList<Task> m_tasks;
    int m_current = -1;
    bool m_running = false;
    bool m_timedOut = false;
    QString m_error;
    QNetworkAccessManager* m_transfer = nullptr;
    QTimer* m_timeout = nullptr;
    QTimer* m_retry = nullptr;
    QPointer<QNetworkReply> m_reply;
    std::unique_ptr<QSaveFile> m_file;
};
