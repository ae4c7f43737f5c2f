#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One change that an installed update brought, as its notes file lists it.
struct UpdateNote
{
    QString release; // the file's "发布时间"
    QString subject;
    QString catalog;
    QString date;
    QString level;
    QString descript;
};

// The notes of the installed updates: the files of one folder, each an XML document whose
// "property" elements (attributes name and value) carry "数字签名" and "发布时间", and whose "item"
// elements (attributes subject, catalog, date, level, descript) list the changes. A file counts only
// when its signature is the one asked for and it names its release time.
class UpdateNotes
{
public:
    enum class Grouping { Release, Issue, Catalog };
    struct Group
    {
        QString title;
        QList<UpdateNote> items;
    };

    // Reads every file of the folder. false when a file could not be read as XML (the others are
    // still read).
    bool load(const QString& folder, const QString& signature);
    const QList<UpdateNote>& items() const { return m_items; }

    // Newest release or date first; catalogs in name order. Items newest first within a group.
    QList<Group> grouped(Grouping grouping) const;
    // The list's columns: "内容", "分类", "时间", "级别", with "发布" first when grouped by release.
    static QStringList columns(Grouping grouping);
    static QStringList cells(const UpdateNote& note, Grouping grouping);

private:
    bool loadFile(const QString& path, const QString& signature);

    QList<UpdateNote> m_items;
};
