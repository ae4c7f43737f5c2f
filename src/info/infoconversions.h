#pragma once

#include <QString>

// The code-to-text conversions of the reader and item windows.
namespace InfoText {
QString cardState(const QString& certFlag);  // "0" 注销, "2" 挂失, else 有效
QString sex(const QString& code);            // "M" 男, else 女
QString yesNo(const QString& flag);          // "1" 是, else 否
QString lossLifted(const QString& loseFlag); // "1" 否 (still lost), else 是
QString violationState(const QString& flag); // "0" 已处理, "1" 停借, "2" 罚款, "3" 罚款并停借
QString recoupType(const QString& type);     // "1" 赔书, "2" 赔钱, else 赔退
QString timeUnit(const QString& unit);       // "H" 小时, else 天
QString renewFrom(const QString& calcFlag);  // "0" 当前日算起, else 期满日算起
QString debtDealt(const QString& flag);      // "0" 未处理, else 处理完毕
QString relegateState(const QString& flag);  // "1" 划到 ... "6" 还书划到; others as they are
QString money(double amount);                // two decimals
QString percent(double part, double whole);  // "12.50%"; "0.00%" for a whole of 0
QString masked(const QString& password);     // one "*" per character
// The overdue time of a charge: whole calendar days from the due date to the return with "天"
// for "D", or the clock-hour boundaries passed from due time to return time with "小时".
QString overdueTime(const QString& dueDate, const QString& returnDate, const QString& unit);
} // namespace InfoText
