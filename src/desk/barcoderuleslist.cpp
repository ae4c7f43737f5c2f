#include "barcoderuleslist.h"

#include "barcoderulesfile.h"

BarcodeRuleList::AddResult BarcodeRuleList::add(const QString& startText, const QString& lengthText)
{
    if (startText.trimmed().isEmpty() || lengthText.trimmed().isEmpty())
        return AddResult::Incomplete;
    if (!parseBarcodeRule(startText, QStringLiteral("0")))
        return AddResult::BadStart;
    const std::optional<BarcodeRule> rule = parseBarcodeRule(startText, lengthText);
    if (!rule)
        return AddResult::BadLength;
    m_rules.append(*rule);
    return AddResult::Added;
}

bool BarcodeRuleList::remove(int index)
{
    if (index < 0 || index >= m_rules.size())
        return false;
    m_rules.removeAt(index);
    return true;
}

QStringList BarcodeRuleList::lines() const
{
    QStringList shown;
    for (int i = 0; i < m_rules.size(); ++i)
        shown.append(line(i + 1, m_rules[i]));
    return shown;
}

QString BarcodeRuleList::line(int number, const BarcodeRule& rule)
{
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0')).leftJustified(10) +
           QString::number(rule.start).leftJustified(14) + QString::number(rule.length);
}
