#include "desksettingsvalue.h"

std::unique_ptr<QSettings> openSettingsSection(const QString& application, const QString& section)
{
    auto settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                QStringLiteral("Tavorn"), application);
    settings->beginGroup(section);
    return settings;
}

QString settingText(int value, BoolSpelling)
{
    return QString::number(value);
}

QString settingText(double value, BoolSpelling)
{
    return QString::number(value);
}

QString settingText(bool value, BoolSpelling spelling)
{
    if (spelling == BoolSpelling::TrueFalse)
        return value ? QStringLiteral("True") : QStringLiteral("False");
    return value ? QStringLiteral("-1") : QStringLiteral("0");
}

QString settingText(const QString& value, BoolSpelling)
{
    return value;
}

int settingFromText(const QString& text, int fallback)
{
    bool ok = false;
    const int whole = text.trimmed().toInt(&ok);
    if (ok)
        return whole;
    // A boolean word or a decimal text, as an older desk may have written it.
    if (text.trimmed().compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return -1;
    if (text.trimmed().compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return 0;
    const double number = text.trimmed().toDouble(&ok);
    return ok && number > -2147483648.0 && number < 2147483648.0 ? qRound(number) : fallback;
}

double settingFromText(const QString& text, double fallback)
{
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    return ok ? number : fallback;
}

bool settingFromText(const QString& text, bool fallback)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = trimmed.toDouble(&ok);
    return ok ? number != 0 : fallback;
}

QString settingFromText(const QString& text, const QString&)
{
    return text;
}
