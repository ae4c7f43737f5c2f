#include "extension.h"

#include <QDomElement>
#include <QDomNamedNodeMap>

namespace {

QString rooted(const QString& path)
{
    return path.startsWith(QLatin1Char('\\')) ? path : QLatin1Char('\\') + path;
}

} // namespace

cExtenItem::cExtenItem(const QDomElement& element) : Name(element.tagName()), Text(element.text())
{
    const QDomNamedNodeMap attributes = element.attributes();
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr attribute = attributes.item(i).toAttr();
        SetAttributeValue(attribute.name(), attribute.value());
    }
}

QString cExtenItem::GetAttributeValue(const QString& name) const
{
    return m_attributes.value(name.toLower());
}

void cExtenItem::SetAttributeValue(const QString& name, const QString& value)
{
    m_attributes.insert(name.toLower(), value);
}

bool cExtension::ValidPath(const QString& path) const
{
    const QString mine = rooted(Path);
    const QString wanted = rooted(path);
    if (!mine.startsWith(wanted, Qt::CaseInsensitive))
        return false;
    return mine.size() == wanted.size() || wanted.endsWith(QLatin1Char('\\')) ||
           mine.at(wanted.size()) == QLatin1Char('\\');
}

QString cExtension::GetChildPathKey(const QString& key) const
{
    const qsizetype at = Path.indexOf(key, 0, Qt::CaseInsensitive);
    if (at < 0)
        return {};
    QString below = Path.mid(at + key.size());
    while (below.startsWith(QLatin1Char('\\')))
        below.remove(0, 1);
    return below;
}
