#include "infoconversions.h"

#include <QDateTime>

namespace {

QString pick(const QString& code, std::initializer_list<std::pair<const char*, const char*>> names,
             const QString& otherwise)
{
    for (const auto& [known, name] : names) {
        if (code == QLatin1String(known))
            return QString::fromUtf8(name);
    }
    return otherwise;
}

// "yyyy-mm-ddhh:mm:ss" or "yyyy-mm-dd" (midnight).
QDateTime eventTime(const QString& text)
{
    const QDate day = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime time =
        text.size() >= 18 ? QTime::fromString(text.mid(10, 8), QStringLiteral("hh:mm:ss")) : QTime(0, 0);
    return QDateTime(day, time.isValid() ? time : QTime(0, 0), Qt::UTC); // no daylight-saving jumps
}

} // namespace

QString InfoText::cardState(const QString& certFlag)
{
    return pick(certFlag, {{"0", "注销"}, {"2", "挂失"}}, QStringLiteral("有效"));
}

QString InfoText::sex(const QString& code)
{
    return code == QLatin1String("M") ? QStringLiteral("男") : QStringLiteral("女");
}

QString InfoText::yesNo(const QString& flag)
{
    return flag == QLatin1String("1") ? QStringLiteral("是") : QStringLiteral("否");
}

QString InfoText::lossLifted(const QString& loseFlag)
{
    return loseFlag == QLatin1String("1") ? QStringLiteral("否") : QStringLiteral("是");
}

QString InfoText::violationState(const QString& flag)
{
    return pick(flag, {{"0", "已处理"}, {"1", "停借"}, {"2", "罚款"}, {"3", "罚款并停借"}}, flag);
}

QString InfoText::recoupType(const QString& type)
{
    return pick(type, {{"1", "赔书"}, {"2", "赔钱"}}, QStringLiteral("赔退"));
}

QString InfoText::timeUnit(const QString& unit)
{
    return unit == QLatin1String("H") ? QStringLiteral("小时") : QStringLiteral("天");
}

QString InfoText::renewFrom(const QString& calcFlag)
{
    return calcFlag == QLatin1String("0") ? QStringLiteral("当前日算起") : QStringLiteral("期满日算起");
}

QString InfoText::debtDealt(const QString& flag)
{
    return flag == QLatin1String("0") ? QStringLiteral("未处理") : QStringLiteral("处理完毕");
}

QString InfoText::relegateState(const QString& flag)
{
    return pick(
        flag, {{"1", "划到"}, {"2", "交接"}, {"3", "借出"}, {"4", "还回"}, {"5", "回库"}, {"6", "还书划到"}},
        flag);
}

QString InfoText::money(double amount)
{
    return QString::number(amount, 'f', 2);
}

QString InfoText::percent(double part, double whole)
{
    return QString::number(whole == 0 ? 0.0 : part * 100.0 / whole, 'f', 2) + QLatin1Char('%');
}

QString InfoText::masked(const QString& password)
{
    return QString(password.size(), QLatin1Char('*'));
}

QString InfoText::overdueTime(const QString& dueDate, const QString& returnDate, const QString& unit)
{
    const QDateTime due = eventTime(dueDate);
    const QDateTime back = eventTime(returnDate);
    if (!due.isValid() || !back.isValid())
        return {};
    if (unit == QLatin1String("H")) {
        // Hour boundaries passed: both moments cut to their hour, then counted apart.
        const qint64 dueHour = due.toSecsSinceEpoch() / 3600;
        const qint64 backHour = back.toSecsSinceEpoch() / 3600;
        return QString::number(backHour - dueHour) + QStringLiteral("小时");
    }
    return QString::number(due.date().daysTo(back.date())) + QStringLiteral("天");
}
