#include "fineamounts.h"

#include "overduecharge.h"

#include <QRegularExpression>

namespace {

// Cents of a text of digits, a point and digits, rounding from the third decimal on.
bool centsOf(const QString& digits, qint64& cents)
{
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? digits : digits.left(point);
    const QString fraction = point < 0 ? QString() : digits.mid(point + 1);
    if (whole.size() > 15)
        return false; // beyond any amount the database holds
    qint64 value = whole.isEmpty() ? 0 : whole.toLongLong();
    value = value * 100 + QString(fraction + QStringLiteral("00")).left(2).toLongLong();
    if (fraction.size() > 2 && fraction.at(2) >= QLatin1Char('5'))
        ++value;
    cents = value;
    return true;
}

} // namespace

qint64 LIB_MoneyCents(double amount)
{
    return LIB_CentsHalfAway(LIB_MicroYuan(amount));
}

bool LIB_ParseMoneyText(const QString& text, qint64& cents)
{
    static const QRegularExpression amount(QStringLiteral("^(\\d+\\.?\\d*|\\.\\d+)$"));
    const QString trimmed = text.trimmed();
    return amount.match(trimmed).hasMatch() && centsOf(trimmed, cents);
}

qint64 LIB_MoneyValue(const QString& text)
{
    static const QRegularExpression leading(QStringLiteral("^\\s*(\\d+\\.?\\d*|\\.\\d+)"));
    const QRegularExpressionMatch match = leading.match(text);
    qint64 cents = 0;
    if (match.hasMatch())
        centsOf(match.captured(1), cents);
    return cents;
}

bool LIB_ProposedFineCents(qint64 settleableCents, double parameter9, qint64& proposed)
{
    if (parameter9 == 0 || parameter9 == 1) {
        proposed = LIB_RoundFineCents(settleableCents, 1);
        return true;
    }
    if (parameter9 == 2) {
        proposed = LIB_RoundFineCents(settleableCents, 2);
        return true;
    }
    return false;
}

QList<qint64> LIB_ApportionFine(const QList<qint64>& fines, qint64 actualCents)
{
    qint64 settleable = 0;
    for (qint64 fine : fines)
        settleable += fine;
    QList<qint64> charged;
    qint64 remaining = actualCents;
    for (qsizetype i = 0; i < fines.size(); ++i) {
        if (i == fines.size() - 1) {
            charged.append(remaining);
            break;
        }
        // fine - reduction * fine / settleable = fine * actual / settleable, rounded half away
        // from zero in exact integers (wide enough for any two amounts the database holds).
        qint64 amount = 0;
        if (settleable > 0) {
            const __int128 numerator = __int128(fines.at(i)) * actualCents;
            amount = qint64((2 * numerator + settleable) / (2 * __int128(settleable)));
        }
        amount = qMax<qint64>(amount, 0);
        charged.append(amount);
        remaining -= amount;
    }
    return charged;
}
