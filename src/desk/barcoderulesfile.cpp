#include "barcoderulesfile.h"

#include "startup/environment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

std::optional<int> wholeNumber(const QString& text, int lowest)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 9) // longer texts are out of range, and would overflow
        return std::nullopt;
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    const int value = digits.toInt();
    return value >= lowest && value <= BarcodeRule::maxField ? std::optional<int>(value) : std::nullopt;
}

} // namespace

QString barcodeRuleFilePath()
{
    return LIB_Path(Environment::Cfg) + QStringLiteral("LT/BarReadRule.ini");
}

std::optional<BarcodeRule> parseBarcodeRule(const QString& start, const QString& length)
{
    const std::optional<int> first = wholeNumber(start, 1);
    const std::optional<int> count = wholeNumber(length, 0);
    if (!first || !count)
        return std::nullopt;
    return BarcodeRule{*first, *count};
}

std::optional<QList<BarcodeRule>> readBarcodeRuleFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    QList<BarcodeRule> rules;
    if (text.isEmpty())
        return rules;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const qsizetype comma = line.indexOf(QLatin1Char(','));
        const QString start = comma < 0 ? line : line.left(comma);
        const QString length = comma < 0 ? QString() : line.mid(comma + 1);
        if (const std::optional<BarcodeRule> rule = parseBarcodeRule(start, length))
            rules.append(*rule);
    }
    return rules;
}

bool writeBarcodeRuleFile(const QString& path, const QList<BarcodeRule>& rules)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray text;
    for (const BarcodeRule& rule : rules)
        text += QByteArray::number(rule.start) + ',' + QByteArray::number(rule.length) + "\r\n";
    file.write(text);
    return file.commit();
}
