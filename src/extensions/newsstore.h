#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// One message of the supplier's message service. Types: "T" text (the content is shown), "L" link
// (the link is opened), "W" web page (downloaded and shown from the local copy).
struct NewsMessage
{
    QString id;
    QString subject;
    QString content;
    QString linkUrl;
    QString type;
    QString issueTime;
    QString issueOrgName;
    bool read = false;
    bool checked = false;

    bool operator==(const NewsMessage&) const = default;
};

// The message centre's files under the program directory:
//   InfoCenter/setting.ini  [NewsChannel] CheckCycle (minutes, 0 = no cycle), Timeout (seconds),
//                           LastNewsTime ("yyyy-mm-dd hh:mm"); [Channels] Count, Channel1..n
//                           (each the base address of a channel)
//   InfoCenter/News/news.xml              the stored messages
//   InfoCenter/News/<NewsID>/index.htm    the page of a "W" message
//   InfoCenter/News/tmp<n>.tmp            a channel's answer while it is processed
class NewsStore
{
public:
    explicit NewsStore(const QString& programDirectory);

    QString settingFile() const;
    QString newsFolder() const;
    QString newsFile() const;
    QString pageFolder(const QString& id) const;
    QString pageFile(const QString& id) const;
    QString answerFile(int channel) const;

    QStringList channels() const;
    int checkCycleMinutes() const;
    int timeoutSeconds() const; // 30 when not set
    QString lastNewsTime() const;
    bool setLastNewsTime(const QDateTime& time) const;
    // The address that asks a channel for the messages since the last check.
    QString checkAddress(const QString& channel) const;

    QList<NewsMessage> load() const;
    bool save(const QList<NewsMessage>& messages) const;
    // Stores the messages whose id is not stored yet (unread, unchecked) and returns them.
    QList<NewsMessage> merge(const QList<NewsMessage>& arrived) const;
    // Replaces the stored message with the same id (its read and checked state).
    bool update(const NewsMessage& message) const;
    // Removes messages and their page folders.
    bool remove(const QStringList& ids) const;

    // A channel's answer: every "Table" element with NEWS_ID, SUBJECT, CONTENT, LINKURL, NEWS_TYPE,
    // ISSUE_TIME, ISSUE_ORGNAME (names in any case). Messages whose id could not name a folder are
    // left out. ok is false when the answer is not XML.
    static QList<NewsMessage> parseChannelAnswer(const QByteArray& xml, bool* ok = nullptr);

private:
    QString m_folder; // ".../InfoCenter/"
};
