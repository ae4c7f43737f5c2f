#pragma once

#include <QSettings>
#include <QString>
#include <memory>

// The per-user settings store. Every value is kept as text, the way the desk has always written
// it: integers as their decimal text, the desk's switches as "-1"/"0", a few keys shared with
// other modules as "True"/"False". Reading understands every spelling and falls back to the
// key's default when the key is absent or its text is not a value of the key's type.

// The store of one application of the suite (organisation "Tavorn"), opened on one section. The
// desk's own settings live under its application title (LIB_ApplicationTitle).
std::unique_ptr<QSettings> openSettingsSection(const QString& application, const QString& section);

enum class BoolSpelling { MinusOneZero, TrueFalse };

QString settingText(int value, BoolSpelling = BoolSpelling::MinusOneZero);
QString settingText(double value, BoolSpelling = BoolSpelling::MinusOneZero);
QString settingText(bool value, BoolSpelling spelling = BoolSpelling::MinusOneZero);
QString settingText(const QString& value, BoolSpelling = BoolSpelling::MinusOneZero);

int settingFromText(const QString& text, int fallback);
double settingFromText(const QString& text, double fallback);
bool settingFromText(const QString& text, bool fallback);
QString settingFromText(const QString& text, const QString& fallback);

// One key of a section with its type and default.
template <typename T> class SettingValue
{
public:
    SettingValue(const char* key, T fallback, BoolSpelling spelling = BoolSpelling::MinusOneZero)
        : m_key(key), m_fallback(std::move(fallback)), m_spelling(spelling)
    {
    }

    QString key() const { return QString::fromLatin1(m_key); }
    const T& fallback() const { return m_fallback; }

    T read(const QSettings& section) const
    {
        const QVariant stored = section.value(key());
        return stored.isValid() ? settingFromText(stored.toString(), m_fallback) : m_fallback;
    }
    void write(QSettings& section, const T& value) const
    {
        section.setValue(key(), settingText(value, m_spelling));
    }

private:
    const char* m_key;
    T m_fallback;
    BoolSpelling m_spelling;
};
