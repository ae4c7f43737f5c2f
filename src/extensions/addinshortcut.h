#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <optional>

// What the argument tokens of a shortcut refer to; the desk fills it when a command runs.
struct AddinSession
{
    QString programDirectory;       // %A001
    const void* database = nullptr; // %B001%: the open database session
    QString databaseName;           // %B002%
    QString databaseUser;           // %B003%
    QString databasePassword;       // %B004%
    QString workerNumber;           // %C001%
    QString operatorPassword;       // %C002%
    QPointer<QObject> mainForm;     // %OBJECT%<name> names one of its controls
};

// A resolved argument: a text, or no value at all.
using AddinArgument = std::optional<QString>;

// The value of one argument token (compared without regard to case). References (%B001%,
// %OBJECT%<name>) are passed as the object's address, a decimal number; an unknown token and a
// control that does not exist give no value.
AddinArgument resolveAddinToken(const QString& token, const AddinSession& session);

// A command's shortcut text: "[" Kind "(" First "," Arg1 "," Arg2 ... ")" "]"; text outside the
// brackets is ignored.
struct AddinShortcut
{
    QString kind;       // "Interface", "Program"
    QString first;      // procedure name or program
    QStringList tokens; // the further pieces, one argument each

    // Nothing when "[" is missing, "]" does not follow it, "(" is missing inside, or ")" does not
    // follow "(".
    static std::optional<AddinShortcut> parse(const QString& text);

    // Arguments 1 to n, in order.
    QList<AddinArgument> arguments(const AddinSession& session) const;
};
