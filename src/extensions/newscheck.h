#pragma once

#include "httpdownload.h"
#include "newsstore.h"

#include <QObject>

// Asks every channel of the message centre for the messages since the last check: each answer is
// downloaded into tmp<n>.tmp, its messages are stored in news.xml (new ones unread and unchecked),
// the pages of new "W" messages are downloaded into their folders, and "LastNewsTime" moves on when
// every channel answered.
class NewsCheck : public QObject
{
    Q_OBJECT
public:
    explicit NewsCheck(const QString& programDirectory, QObject* parent = nullptr);

    // Starts a check (nothing happens while one runs). Without a channel: -1, and a check the
    // operator asked for shows "没有设定消息频道！".
    int start(bool onDemand);
    // Downloads the page of a "W" message (one shown before its page arrived).
    void fetchPage(const NewsMessage& message);
    void stop();
    bool running() const { return m_downloads.StillExecuting() || m_answersPending; }

    const NewsStore& store() const { return m_store; }
    cHttpDownload& downloads() { return m_downloads; }

Q_SIGNALS:
    // news.xml holds the channels' messages; count of those that were new.
    void messagesArrived(int count);
    void pageArrived(const QString& id);
    // The check and its page downloads are over.
    void finished();

private:
    void queueFinished();
    void processAnswers();
    void queuePage(const NewsMessage& message);

    NewsStore m_store;
    cHttpDownload m_downloads;
    int m_channelCount = 0;
    bool m_answersPending = false;
};
