#pragma once

// The money arithmetic of the fine window, in whole cents from the database to the grid and back:
// the amount the operator types, the amount proposed for the box, and the actual amount spread
// over the settled charges so that the rows add up to it exactly.

#include <QList>
#include <QString>
#include <QtGlobal>

// A number column of the database (a numeric with two decimals, delivered as a double) in cents.
qint64 LIB_MoneyCents(double amount);

// The amount typed into a box: digits with at most one decimal point, blanks around it allowed;
// more than two decimals are rounded half away from zero as the "0.00" format does. A sign, a
// letter or an empty text is no amount: false.
bool LIB_ParseMoneyText(const QString& text, qint64& cents);

// A text's leading number as cents (the settings' amounts): 0 when it does not start with one.
qint64 LIB_MoneyValue(const QString& text);

// The actual amount proposed for a settleable total by system parameter 9: 0 and 1 cut the
// cents down to tenths (12.25 -> 12.20), 2 rounds half up to tenths (12.25 -> 12.30). false for
// any other value: the box keeps what it holds.
bool LIB_ProposedFineCents(qint64 settleableCents, double parameter9, qint64& proposed);

// The amounts charged to the settleable charges `fines` (in grid order) when `actualCents` is
// paid for their total: every row but the last pays its charge less its share of the reduction,
// rounded to cents and never below 0; the last row pays what remains of the actual amount.
QList<qint64> LIB_ApportionFine(const QList<qint64>& fines, qint64 actualCents);
