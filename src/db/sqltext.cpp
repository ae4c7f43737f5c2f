#include "database.h"

QString LIB_SQLQuote(const QVariant& value)
{
    if (value.isNull())
        return QStringLiteral("''");
    QString text = value.toString();
    text.replace(QLatin1Char('\''), QLatin1String("''"));
    // The client library ends a statement at a NUL, and the server's text cannot hold one: a NUL
    // (a scanner's or a file's stray byte) becomes the replacement character, so that the statement
    // stays whole and such a code is simply not found.
    text.replace(QChar(0), QChar(QChar::ReplacementCharacter));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

QString LIB_Replace(const QString& text, const QString& find, const QString& replacement, int& start)
{
    if (text.isEmpty() || find.isEmpty())
        return text;
    QString result = text;
    int at = result.indexOf(find, start <= 0 ? 0 : start - 1);
    while (at >= 0) {
        result.replace(at, find.size(), replacement);
        start = at + replacement.size() + 1; // 1-based position after the inserted text
        at = result.indexOf(find, at + replacement.size());
    }
    return result;
}

QString LIB_Replace(const QString& text, const QString& find, const QString& replacement)
{
    int start = 0;
    return LIB_Replace(text, find, replacement, start);
}

QString LIB_CutToken(QString& text, const QString& delimiter)
{
    const int at = delimiter.isEmpty() ? -1 : text.indexOf(delimiter);
    if (at < 0) {
        QString whole = text;
        text.clear();
        return whole;
    }
    QString token = text.left(at);
    text.remove(0, at + delimiter.size());
    return token;
}
