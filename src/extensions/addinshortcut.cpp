#include "addinshortcut.h"

namespace {

QString addressText(const void* object)
{
    return QString::number(reinterpret_cast<quintptr>(object));
}

} // namespace

AddinArgument resolveAddinToken(const QString& token, const AddinSession& session)
{
    static const QLatin1String objectPrefix("%OBJECT%");
    if (token.startsWith(objectPrefix, Qt::CaseInsensitive)) {
        const QString name = token.mid(objectPrefix.size());
        QObject* control =
            session.mainForm && !name.isEmpty() ? session.mainForm->findChild<QObject*>(name) : nullptr;
        return control ? AddinArgument(addressText(control)) : std::nullopt;
    }
    const QString key = token.toUpper();
    // The program directory's token is written without a closing "%"; the form with one is taken too.
    if (key == QLatin1String("%A001") || key == QLatin1String("%A001%"))
        return session.programDirectory;
    if (key == QLatin1String("%B001%"))
        return session.database ? AddinArgument(addressText(session.database)) : std::nullopt;
    if (key == QLatin1String("%B002%"))
        return session.databaseName;
    if (key == QLatin1String("%B003%"))
        return session.databaseUser;
    if (key == QLatin1String("%B004%"))
        return session.databasePassword;
    if (key == QLatin1String("%C001%"))
        return session.workerNumber;
    if (key == QLatin1String("%C002%"))
        return session.operatorPassword;
    if (key == QLatin1String("%D003%"))
        return QString();
    return std::nullopt;
}

std::optional<AddinShortcut> AddinShortcut::parse(const QString& text)
{
    const qsizetype open = text.indexOf(QLatin1Char('['));
    const qsizetype close = open < 0 ? -1 : text.indexOf(QLatin1Char(']'), open + 1);
    if (close < 0)
        return std::nullopt;
    const QString inside = text.mid(open + 1, close - open - 1);
    const qsizetype leftParen = inside.indexOf(QLatin1Char('('));
    const qsizetype rightParen = leftParen < 0 ? -1 : inside.lastIndexOf(QLatin1Char(')'));
    if (rightParen < leftParen + 1)
        return std::nullopt;
    AddinShortcut shortcut;
    shortcut.kind = inside.left(leftParen).trimmed();
    const QStringList pieces = inside.mid(leftParen + 1, rightParen - leftParen - 1).split(QLatin1Char(','));
    shortcut.first = pieces.first().trimmed();
    for (qsizetype i = 1; i < pieces.size(); ++i)
        shortcut.tokens << pieces.at(i).trimmed();
    return shortcut;
}

QList<AddinArgument> AddinShortcut::arguments(const AddinSession& session) const
{
    QList<AddinArgument> values;
    for (const QString& token : tokens)
        values << resolveAddinToken(token, session);
    return values;
}
