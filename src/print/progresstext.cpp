#include "progresstext.h"

#include <cmath>

QString LIB_ProgressRemaining(qint64 minimum, qint64 maximum, qint64 value, double elapsedSeconds)
{
    const qint64 done = value - minimum;
    qint64 seconds = 0;
    if (done > 0 && maximum > value)
        seconds = qint64(std::llround(double(maximum - value) * elapsedSeconds / double(done)));
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString LIB_ProgressCountLine(qint64 maximum, qint64 value)
{
    return QStringLiteral("总计 %1条, 现 %2条").arg(maximum).arg(value);
}
