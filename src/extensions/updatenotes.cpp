#include "updatenotes.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QMap>
#include <algorithm>

namespace {

const QString signatureName = QStringLiteral("数字签名");
const QString releaseName = QStringLiteral("发布时间");

QString groupKey(const UpdateNote& note, UpdateNotes::Grouping grouping)
{
    switch (grouping) {
    case UpdateNotes::Grouping::Release:
        return note.release;
    case UpdateNotes::Grouping::Issue:
        return note.date;
    case UpdateNotes::Grouping::Catalog:
        return note.catalog;
    }
    return {};
}

} // namespace

bool UpdateNotes::load(const QString& folder, const QString& signature)
{
    m_items.clear();
    bool everyFileRead = true;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo& file : files)
        everyFileRead = loadFile(file.filePath(), signature) && everyFileRead;
    return everyFileRead;
}

bool UpdateNotes::loadFile(const QString& path, const QString& signature)
{
    QFile file(path);
    QDomDocument document;
    if (!file.open(QIODevice::ReadOnly) || !document.setContent(&file))
        return false;
    QString release;
    bool signedForUs = false;
    const QDomNodeList properties = document.elementsByTagName(QStringLiteral("property"));
    for (int i = 0; i < properties.size(); ++i) {
        const QDomElement property = properties.at(i).toElement();
        const QString name = property.attribute(QStringLiteral("name"));
        const QString value = property.attribute(QStringLiteral("value"));
        if (name == signatureName) {
            if (value != signature)
                return true; // notes of another program
            signedForUs = true;
        } else if (name == releaseName) {
            release = value;
        }
    }
    if (!signedForUs || release.isEmpty())
        return true;
    const QDomNodeList items = document.elementsByTagName(QStringLiteral("item"));
    for (int i = 0; i < items.size(); ++i) {
        const QDomElement item = items.at(i).toElement();
        m_items.append({release, item.attribute(QStringLiteral("subject")),
                        item.attribute(QStringLiteral("catalog")), item.attribute(QStringLiteral("date")),
                        item.attribute(QStringLiteral("level")), item.attribute(QStringLiteral("descript"))});
    }
    return true;
}

QList<UpdateNotes::Group> UpdateNotes::grouped(Grouping grouping) const
{
    QMap<QString, QList<UpdateNote>> byKey;
    for (const UpdateNote& note : m_items)
        byKey[groupKey(note, grouping)].append(note);
    QList<Group> groups;
    for (auto it = byKey.cbegin(); it != byKey.cend(); ++it) {
        Group group{it.key(), it.value()};
        std::stable_sort(group.items.begin(), group.items.end(),
                         [](const UpdateNote& a, const UpdateNote& b) { return a.date > b.date; });
        groups.append(group);
    }
    if (grouping != Grouping::Catalog)
        std::reverse(groups.begin(), groups.end());
    return groups;
}

QStringList UpdateNotes::columns(Grouping grouping)
{
    QStringList captions{QStringLiteral("内容"), QStringLiteral("分类"), QStringLiteral("时间"),
                         QStringLiteral("级别")};
    if (grouping == Grouping::Release)
        captions.prepend(QStringLiteral("发布"));
    return captions;
}

QStringList UpdateNotes::cells(const UpdateNote& note, Grouping grouping)
{
    QStringList texts{note.subject, note.catalog, note.date, note.level};
    if (grouping == Grouping::Release)
        texts.prepend(note.release);
    return texts;
}
