#pragma once

// Procedure blocks with parameters bound by name, the way the statistics call the server's
// packages: "Begin TJ_SORT.GetBulkData( :STRSQL,:ARRAYSIZE,:RESULT); End;".

#include <QList>
#include <QString>
#include <QStringList>

// The parameters of one call. They live as long as the object, so a caller that keeps it on
// the stack has them removed after the call whatever its outcome.
class BoundParameters
{
public:
    enum Direction { Input, Output, InputOutput };

    void bind(const QString& name, const QString& value, Direction direction = Input);
    void bindArray(const QString& name, const QStringList& values, Direction direction = Input);

    // What the call left in an output parameter (empty when there is none).
    QString value(const QString& name) const;
    QStringList array(const QString& name) const;

private:
    friend int LIB_DB_ExecuteBound(const QString& block, BoundParameters& parameters);
    struct Parameter
    {
        QString name;
        Direction direction = Input;
        bool isArray = false;
        QStringList values; // one value for a plain parameter
    };
    Parameter* find(const QString& name);
    const Parameter* find(const QString& name) const;
    QList<Parameter> m_parameters;
};

// Runs "Begin name( :A, :B); End;" on the current session as CALL name($1, $2) with the bound
// inputs (text arrays as text[]; outputs sent as NULL) and reads the outputs back by name.
// 0, or -1 with the error record filled. A placeholder without a bound parameter is refused.
int LIB_DB_ExecuteBound(const QString& block, BoundParameters& parameters);

// The text form of a text[] value, and back (exposed for tests).
QString LIB_DB_ArrayLiteral(const QStringList& values);
QStringList LIB_DB_ParseArray(const QString& literal);
