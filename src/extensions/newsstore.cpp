#include "newsstore.h"

#include "startup/profilefile.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QSet>

namespace {

const QString channelSection = QStringLiteral("NewsChannel");
const QString readed = QStringLiteral("Readed");
const QString checkedText = QStringLiteral("Checked");

// The children of a stored message and of a channel's "Table" element, in the same order.
struct Field
{
    const char* stored;
    const char* answer;
    QString NewsMessage::*member;
};
const Field fields[] = {
    {"NewsID", "NEWS_ID", &NewsMessage::id},
    {"Subject", "SUBJECT", &NewsMessage::subject},
    {"Content", "CONTENT", &NewsMessage::content},
    {"LinkUrl", "LINKURL", &NewsMessage::linkUrl},
    {"NewsType", "NEWS_TYPE", &NewsMessage::type},
    {"IssueTime", "ISSUE_TIME", &NewsMessage::issueTime},
    {"IssueOrgName", "ISSUE_ORGNAME", &NewsMessage::issueOrgName},
};

// The message id names the page's folder: one plain path component only.
bool usableId(const QString& id)
{
    return !id.isEmpty() && id != QLatin1String(".") && id != QLatin1String("..") &&
           !id.contains(QLatin1Char('/')) && !id.contains(QLatin1Char('\\')) && !id.contains(QChar(0));
}

QHash<QString, QString> childTexts(const QDomElement& element)
{
    QHash<QString, QString> texts;
    for (QDomElement child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement())
        texts.insert(child.tagName().toUpper(), child.text());
    return texts;
}

void collectTables(const QDomElement& element, QList<QDomElement>& tables)
{
    for (QDomElement child = element.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        if (child.tagName().compare(QLatin1String("Table"), Qt::CaseInsensitive) == 0)
            tables.append(child);
        else
            collectTables(child, tables);
    }
}

} // namespace

NewsStore::NewsStore(const QString& programDirectory)
    : m_folder(QDir(programDirectory).filePath(QStringLiteral("InfoCenter")) + QLatin1Char('/'))
{
}

QString NewsStore::settingFile() const
{
    return m_folder + QStringLiteral("setting.ini");
}

QString NewsStore::newsFolder() const
{
    return m_folder + QStringLiteral("News/");
}

QString NewsStore::newsFile() const
{
    return newsFolder() + QStringLiteral("news.xml");
}

QString NewsStore::pageFolder(const QString& id) const
{
    return newsFolder() + id + QLatin1Char('/');
}

QString NewsStore::pageFile(const QString& id) const
{
    return pageFolder(id) + QStringLiteral("index.htm");
}

QString NewsStore::answerFile(int channel) const
{
    return newsFolder() + QStringLiteral("tmp%1.tmp").arg(channel);
}

QStringList NewsStore::channels() const
{
    QStringList list;
    const int count =
        ProfileFile::read(settingFile(), QStringLiteral("Channels"), QStringLiteral("Count")).toInt();
    for (int n = 1; n <= count; ++n) {
        const QString address =
            ProfileFile::read(settingFile(), QStringLiteral("Channels"), QStringLiteral("Channel%1").arg(n))
                .trimmed();
        if (!address.isEmpty())
            list << address;
    }
    return list;
}

int NewsStore::checkCycleMinutes() const
{
    // A timer counts milliseconds in an int: about 24 days at most.
    return qBound(0, ProfileFile::read(settingFile(), channelSection, QStringLiteral("CheckCycle")).toInt(),
                  35000);
}

int NewsStore::timeoutSeconds() const
{
    const int seconds = ProfileFile::read(settingFile(), channelSection, QStringLiteral("Timeout")).toInt();
    return seconds > 0 ? qMin(seconds, 86400) : 30;
}

QString NewsStore::lastNewsTime() const
{
    return ProfileFile::read(settingFile(), channelSection, QStringLiteral("LastNewsTime"));
}

bool NewsStore::setLastNewsTime(const QDateTime& time) const
{
    QDir().mkpath(m_folder);
    return ProfileFile::write(settingFile(), channelSection, QStringLiteral("LastNewsTime"),
                              time.toString(QStringLiteral("yyyy-MM-dd hh:mm")));
}

QString NewsStore::checkAddress(const QString& channel) const
{
    return channel + QStringLiteral("CheckLastNews.aspx?lasttime=") + lastNewsTime().left(10);
}

QList<NewsMessage> NewsStore::load() const
{
    QList<NewsMessage> messages;
    QFile file(newsFile());
    QDomDocument document;
    if (!file.open(QIODevice::ReadOnly) || !document.setContent(&file))
        return messages;
    const QDomElement root = document.documentElement();
    for (QDomElement item = root.firstChildElement(); !item.isNull(); item = item.nextSiblingElement()) {
        const QHash<QString, QString> texts = childTexts(item);
        NewsMessage message;
        for (const Field& field : fields)
            message.*field.member = texts.value(QString::fromLatin1(field.stored).toUpper());
        message.read = texts.value(QStringLiteral("READSTATE")) == readed;
        message.checked = texts.value(QStringLiteral("CHECKSTATE")) == checkedText;
        if (usableId(message.id))
            messages.append(message);
    }
    return messages;
}

bool NewsStore::save(const QList<NewsMessage>& messages) const
{
    QDomDocument document;
    document.appendChild(document.createProcessingInstruction(
        QStringLiteral("xml"), QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
    QDomElement root = document.createElement(QStringLiteral("News"));
    document.appendChild(root);
    auto add = [&document](QDomElement& parent, const QString& name, const QString& text) {
        QDomElement child = document.createElement(name);
        child.appendChild(document.createTextNode(text));
        parent.appendChild(child);
    };
    for (const NewsMessage& message : messages) {
        QDomElement item = document.createElement(QStringLiteral("NewsItem"));
        for (const Field& field : fields)
            add(item, QString::fromLatin1(field.stored), message.*field.member);
        add(item, QStringLiteral("ReadState"), message.read ? readed : QStringLiteral("UnReaded"));
        add(item, QStringLiteral("CheckState"), message.checked ? checkedText : QStringLiteral("UnChecked"));
        root.appendChild(item);
    }
    QDir().mkpath(newsFolder());
    QSaveFile file(newsFile());
    return file.open(QIODevice::WriteOnly) && file.write(document.toByteArray(2)) >= 0 && file.commit();
}

QList<NewsMessage> NewsStore::merge(const QList<NewsMessage>& arrived) const
{
    QList<NewsMessage> messages = load();
    QSet<QString> known;
    for (const NewsMessage& message : std::as_const(messages))
        known.insert(message.id);
    QList<NewsMessage> added;
    for (NewsMessage message : arrived) {
        if (known.contains(message.id))
            continue;
        known.insert(message.id);
        message.read = message.checked = false;
        added.append(message);
        messages.append(message);
    }
    save(messages);
    return added;
}

bool NewsStore::update(const NewsMessage& changed) const
{
    QList<NewsMessage> messages = load();
    for (NewsMessage& message : messages) {
        if (message.id == changed.id)
            message = changed;
    }
    return save(messages);
}

bool NewsStore::remove(const QStringList& ids) const
{
    QList<NewsMessage> messages = load();
    messages.removeIf([&ids](const NewsMessage& message) { return ids.contains(message.id); });
    for (const QString& id : ids) {
        if (usableId(id))
            QDir(pageFolder(id)).removeRecursively();
    }
    return save(messages);
}

QList<NewsMessage> NewsStore::parseChannelAnswer(const QByteArray& xml, bool* ok)
{
    QList<NewsMessage> messages;
    QDomDocument document;
    const bool parsed = bool(document.setContent(xml));
    if (ok)
        *ok = parsed;
    if (!parsed)
        return messages;
    QList<QDomElement> tables;
    const QDomElement root = document.documentElement();
    if (root.tagName().compare(QLatin1String("Table"), Qt::CaseInsensitive) == 0)
        tables.append(root);
    else
        collectTables(root, tables);
    for (const QDomElement& table : tables) {
        const QHash<QString, QString> texts = childTexts(table);
        NewsMessage message;
        for (const Field& field : fields)
            message.*field.member = texts.value(QLatin1String(field.answer)).trimmed();
        message.type = message.type.toUpper();
        if (usableId(message.id))
            messages.append(message);
    }
    return messages;
}
