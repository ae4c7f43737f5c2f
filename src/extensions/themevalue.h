#pragma once

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QString>
#include <QVariant>

// One "Property" or "Method" entry of a theme: set the property Name, or call the method Name,
// with the typed value.
struct ThemeParam
{
    bool isMethod = false;
    QString name;
    QString type;
    QString value;
};

// The value of a typed text: "Long", "Integer", "Double", "CBool", "String", "Picture" (a file in
// the theme's folder), "LongColor" (a number holding red in its lowest byte, then green and blue),
// "RGBColor" ("red,green,blue") and "StrColor" (two prefix characters and hexadecimal digits, read
// as a long colour). Invalid when the text is no value of its type. A method entry without a type
// takes no argument.
QVariant themeValue(const QString& type, const QString& text, const QString& folder);

// The values themed properties had before a theme set them, so that the next theme starts from
// the desk's own look.
class ThemeRestorePoint
{
public:
    void remember(QObject* target, const QByteArray& property);
    void restore();

private:
    struct Saved
    {
        QPointer<QObject> target;
        QByteArray property;
        QVariant value;
    };
    QList<Saved> m_saved;
};

// Applies one entry through the object's meta-object: a property by name (a name that is no
// property but a palette colour role, "Window" or "Base", sets that colour of the palette), or a
// method by name. False when the object has no such property or method or the value does not fit.
bool applyThemeParam(QObject* target, const ThemeParam& param, const QString& folder,
                     ThemeRestorePoint* restore);
