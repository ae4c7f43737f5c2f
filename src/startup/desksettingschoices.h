#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What the settings window offers and how its choices map to setting values.
namespace DeskSettingsChoices {

// "现金", "刷卡", "预付款扣除", "自定义选择": the list position is the PayMode value.
QStringList payModeNames();
// The PayMode of a list text: the first three by name, anything else chosen at settlement (3).
int payModeFromName(const QString& name);
// Card payment is possible with this mode, so the card password options apply.
bool payModeMayUseCard(int payMode);

// "图书计次", "读者登到", "读者图书登记", "读者身份验证": the position is LT3_ReadCHose.
QStringList readingModeNames();

// The numbers of the cached circulation rules, in cached order (what the window is handed).
QStringList cachedCircRuleNumbers();
// The photocopy-lending rules among circulation rule numbers, in their order.
QStringList copyRuleNumbers(const QStringList& circulationRuleNumbers);

// The font label: name, a blank, the size and "号".
QString fontLabel(const QString& fontName, double fontSize);

// Characters offered for the MARC subfield mark, by code: 31 (the mark itself), | @ $ ^.
QList<int> subfieldMarkCodes();

} // namespace DeskSettingsChoices
