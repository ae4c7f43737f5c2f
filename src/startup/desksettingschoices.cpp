#include "desksettingschoices.h"

#include "codes/circrule.h"
#include "codes/codetables.h"
#include "desksettings.h"

QStringList DeskSettingsChoices::payModeNames()
{
    return {QStringLiteral("现金"), QStringLiteral("刷卡"), QStringLiteral("预付款扣除"),
            QStringLiteral("自定义选择")};
}

int DeskSettingsChoices::payModeFromName(const QString& name)
{
    const int index = int(payModeNames().indexOf(name));
    return index >= PayByCash && index <= PayFromPrepayment ? index : int(PayModeChosenAtSettlement);
}

bool DeskSettingsChoices::payModeMayUseCard(int payMode)
{
    return payMode == PayByCard || payMode == PayModeChosenAtSettlement;
}

QStringList DeskSettingsChoices::readingModeNames()
{
    return {QStringLiteral("图书计次"), QStringLiteral("读者登到"), QStringLiteral("读者图书登记"),
            QStringLiteral("读者身份验证")};
}

QStringList DeskSettingsChoices::cachedCircRuleNumbers()
{
    const ResultTable& rules = LIB_CodeTable(CodeTable::CircRules);
    QStringList numbers;
    for (int row = 2; row < rules.recordCount() + 2; ++row)
        numbers.append(rules.text(CircRuleColumn::RuleNo, row));
    return numbers;
}

QStringList DeskSettingsChoices::copyRuleNumbers(const QStringList& circulationRuleNumbers)
{
    QStringList copyRules;
    for (const QString& number : circulationRuleNumbers) {
        if (number.startsWith(QLatin1String("COPY"))) // case-sensitive: rule numbers are codes
            copyRules.append(number);
    }
    return copyRules;
}

QString DeskSettingsChoices::fontLabel(const QString& fontName, double fontSize)
{
    return fontName + QLatin1Char(' ') + QString::number(fontSize) + QStringLiteral("号");
}

QList<int> DeskSettingsChoices::subfieldMarkCodes()
{
    return {31, '|', '@', '$', '^'};
}
