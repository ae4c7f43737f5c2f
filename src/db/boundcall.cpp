#include "boundcall.h"

#include "database.h"
#include "messages.h"

#include <QRegularExpression>
#include <QVariantMap>

void BoundParameters::bind(const QString& name, const QString& value, Direction direction)
{
    m_parameters.append({name, direction, false, {value}});
}

void BoundParameters::bindArray(const QString& name, const QStringList& values, Direction direction)
{
    m_parameters.append({name, direction, true, values});
}

BoundParameters::Parameter* BoundParameters::find(const QString& name)
{
    for (Parameter& parameter : m_parameters)
        if (parameter.name.compare(name, Qt::CaseInsensitive) == 0)
            return &parameter;
    return nullptr;
}

const BoundParameters::Parameter* BoundParameters::find(const QString& name) const
{
    return const_cast<BoundParameters*>(this)->find(name);
}

QString BoundParameters::value(const QString& name) const
{
    const Parameter* parameter = find(name);
    return parameter && !parameter->values.isEmpty() ? parameter->values.first() : QString();
}

QStringList BoundParameters::array(const QString& name) const
{
    const Parameter* parameter = find(name);
    return parameter ? parameter->values : QStringList();
}

QString LIB_DB_ArrayLiteral(const QStringList& values)
{
    QStringList elements;
    elements.reserve(values.size());
    for (QString value : values) {
        value.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
            .replace(QLatin1Char('"'), QLatin1String("\\\""));
        elements.append(QLatin1Char('"') + value + QLatin1Char('"'));
    }
    return QLatin1Char('{') + elements.join(QLatin1Char(',')) + QLatin1Char('}');
}

QStringList LIB_DB_ParseArray(const QString& literal)
{
    // The server writes {a,"b c",NULL}: quoted elements escape " and \ with a backslash; an
    // unquoted NULL is no value, which the statistics read as an empty text.
    QStringList values;
    if (literal.size() < 2 || !literal.startsWith(QLatin1Char('{')))
        return values;
    qsizetype at = 1;
    const qsizetype end = literal.size() - 1;
    while (at < end) {
        QString element;
        if (literal.at(at) == QLatin1Char('"')) {
            for (++at; at < end && literal.at(at) != QLatin1Char('"'); ++at) {
                if (literal.at(at) == QLatin1Char('\\') && at + 1 < end)
                    ++at;
                element += literal.at(at);
            }
            ++at; // the closing quote
        } else {
            const qsizetype comma = literal.indexOf(QLatin1Char(','), at);
            const qsizetype stop = comma < 0 || comma > end ? end : comma;
            element = literal.mid(at, stop - at);
            if (element == QLatin1String("NULL"))
                element.clear();
            at = stop;
        }
        values.append(element);
        ++at; // the comma
    }
    return values;
}

int LIB_DB_ExecuteBound(const QString& block, BoundParameters& parameters)
{
    static const QRegularExpression shape(
        QStringLiteral("^\\s*begin\\s+([\\w.$]+)\\s*\\((.*)\\)\\s*;\\s*end\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    ErrorRecord& error = LIB_DB_Error();
    auto refuse = [&error](const QString& why) {
        error.code = ErrorRecord::StatementFailed;
        error.oracleNumber = -1;
        error.description = why;
        error.routine = QStringLiteral("LIB_DB_ExecuteBound");
        LIB_Beep();
        return -1;
    };
    const QRegularExpressionMatch match = shape.match(block);
    if (!match.hasMatch())
        return refuse(QStringLiteral("not a procedure block: ") + block);

    QStringList placeholders;
    QList<QVariant> values;
    QList<BoundParameters::Parameter*> order;
    for (const QString& argument : match.captured(2).split(QLatin1Char(','))) {
        const QString name = argument.trimmed().mid(1);
        BoundParameters::Parameter* parameter =
            argument.trimmed().startsWith(QLatin1Char(':')) ? parameters.find(name) : nullptr;
        if (!parameter)
            return refuse(QStringLiteral("no parameter bound for ") + argument.trimmed());
        order.append(parameter);
        placeholders.append(QLatin1Char('$') + QString::number(order.size()));
        if (parameter->direction == BoundParameters::Output)
            values.append(QVariant());
        else if (parameter->isArray)
            values.append(LIB_DB_ArrayLiteral(parameter->values));
        else
            values.append(parameter->values.value(0));
    }
    const QString call = QStringLiteral("CALL ") + match.captured(1) + QLatin1Char('(') +
                         placeholders.join(QStringLiteral(", ")) + QLatin1Char(')');
    LIB_DB_CurrentStatement() = block;
    QVariantMap outputs;
    if (DbSession::current().callWithValues(call, values, outputs) != 0)
        return -1;
    for (BoundParameters::Parameter* parameter : order) {
        if (parameter->direction == BoundParameters::Input)
            continue;
        const QVariant output = outputs.value(parameter->name.toLower());
        if (parameter->isArray)
            parameter->values = LIB_DB_ParseArray(output.toString());
        else
            parameter->values = QStringList{output.toString()};
    }
    return 0;
}
