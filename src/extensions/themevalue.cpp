#include "themevalue.h"

#include <QBrush>
#include <QColor>
#include <QDir>
#include <QIcon>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QPalette>
#include <QPixmap>

namespace {

QColor longColor(qint64 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QVariant rgbColor(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 3)
        return {};
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        rgb[i] = parts.at(i).trimmed().toInt(&ok);
        if (!ok || rgb[i] < 0 || rgb[i] > 255)
            return {};
    }
    return QColor(rgb[0], rgb[1], rgb[2]);
}

QVariant flag(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = t.toDouble(&ok);
    return ok ? QVariant(number != 0) : QVariant();
}

QVariant integer(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? QVariant(value) : QVariant();
}

QVariant real(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? QVariant(value) : QVariant();
}

// The value converted to the type the property or parameter takes.
QVariant fitTo(const QVariant& value, QMetaType type)
{
    if (!type.isValid() || type.id() == QMetaType::QVariant || value.metaType() == type)
        return value;
    if (type.id() == QMetaType::QIcon && value.metaType().id() == QMetaType::QPixmap)
        return QIcon(value.value<QPixmap>());
    if (type.id() == QMetaType::QBrush && value.metaType().id() == QMetaType::QColor)
        return QBrush(value.value<QColor>());
    QVariant converted = value;
    return converted.convert(type) ? converted : QVariant();
}

bool setPaletteRole(QObject* target, const QString& role, const QVariant& value, ThemeRestorePoint* restore)
{
    bool known = false;
    const int r = QMetaEnum::fromType<QPalette::ColorRole>().keyToValue(role.toLatin1().constData(), &known);
    if (!known || value.metaType().id() != QMetaType::QColor ||
        target->metaObject()->indexOfProperty("palette") < 0)
        return false;
    if (restore)
        restore->remember(target, "palette");
    QPalette palette = target->property("palette").value<QPalette>();
    palette.setColor(QPalette::ColorRole(r), value.value<QColor>());
    return target->setProperty("palette", palette);
}

bool callMethod(QObject* target, const QString& name, const QVariant& value)
{
    const QMetaObject* meta = target->metaObject();
    const int wanted = value.isValid() ? 1 : 0;
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.parameterCount() != wanted || QString::fromLatin1(method.name()) != name)
            continue;
        if (!wanted)
            return method.invoke(target, Qt::DirectConnection);
        QVariant argument = fitTo(value, method.parameterMetaType(0));
        if (!argument.isValid())
            continue;
        return method.invoke(target, Qt::DirectConnection,
                             QGenericArgument(method.parameterTypeName(0).constData(), argument.constData()));
    }
    return false;
}

} // namespace

QVariant themeValue(const QString& type, const QString& text, const QString& folder)
{
    const QString t = type.trimmed().toLower();
    if (t == QLatin1String("long") || t == QLatin1String("integer"))
        return integer(text);
    if (t == QLatin1String("double"))
        return real(text);
    if (t == QLatin1String("cbool"))
        return flag(text);
    if (t == QLatin1String("string"))
        return text;
    if (t == QLatin1String("picture")) {
        const QPixmap picture(QDir(folder).filePath(text.trimmed()));
        return picture.isNull() ? QVariant() : QVariant(picture);
    }
    if (t == QLatin1String("longcolor")) {
        bool ok = false;
        const qlonglong value = text.trimmed().toLongLong(&ok);
        return ok ? QVariant(longColor(value)) : QVariant();
    }
    if (t == QLatin1String("rgbcolor"))
        return rgbColor(text);
    if (t == QLatin1String("strcolor")) {
        bool ok = false;
        const qlonglong value = text.trimmed().mid(2).toLongLong(&ok, 16);
        return ok ? QVariant(longColor(value)) : QVariant();
    }
    return {};
}

void ThemeRestorePoint::remember(QObject* target, const QByteArray& property)
{
    for (const Saved& saved : std::as_const(m_saved)) {
        if (saved.target == target && saved.property == property)
            return;
    }
    m_saved.append({target, property, target->property(property.constData())});
}

void ThemeRestorePoint::restore()
{
    for (auto saved = m_saved.crbegin(); saved != m_saved.crend(); ++saved) {
        if (saved->target)
            saved->target->setProperty(saved->property.constData(), saved->value);
    }
    m_saved.clear();
}

bool applyThemeParam(QObject* target, const ThemeParam& param, const QString& folder,
                     ThemeRestorePoint* restore)
{
    const QVariant value = param.type.trimmed().isEmpty() && param.isMethod
                               ? QVariant()
                               : themeValue(param.type, param.value, folder);
    if (param.isMethod)
        return (value.isValid() || param.type.trimmed().isEmpty()) && callMethod(target, param.name, value);
    if (!value.isValid())
        return false;
    const QByteArray name = param.name.toLatin1();
    const int index = target->metaObject()->indexOfProperty(name.constData());
    if (index < 0)
        return setPaletteRole(target, param.name, value, restore);
    const QMetaProperty property = target->metaObject()->property(index);
    const QVariant fitted = fitTo(value, property.metaType());
    if (!fitted.isValid() || !property.isWritable())
        return false;
    if (restore)
        restore->remember(target, name);
    return property.write(target, fitted);
}
