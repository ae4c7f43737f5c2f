#pragma once

#include <QList>
#include <QMap>
#include <QString>

class QDomElement;

// One item hung at an extension point: the element's name, its attributes and its text.
class cExtenItem
{
public:
    cExtenItem() = default;
    explicit cExtenItem(const QDomElement& element);

    QString Name;
    QString Text;

    // Attribute names compare without regard to letter case; an absent attribute is empty.
    QString GetAttributeValue(const QString& name) const;
    void SetAttributeValue(const QString& name, const QString& value);

private:
    QMap<QString, QString> m_attributes; // by lower-case name
};

// An extension point of an add-in ("%frmMain%\%MainMenu%\mnuTool") and the items hung there.
class cExtension
{
public:
    QString Path;
    QList<cExtenItem> Items;

    // True when this extension's path lies under the given one: it begins with it, compared with a
    // leading "\" on both and without regard to case, and the match ends at a "\" or the end.
    bool ValidPath(const QString& path) const;
    // The part of the path below the key, without its leading "\": the menu the items go under.
    QString GetChildPathKey(const QString& key) const;
};
