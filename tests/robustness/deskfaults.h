#pragma once

// The desk operations as the fault tests break them: how to get the desk ready for each, how to
// run it, and the database figures that tell whether it was recorded (all of them or none).

#include "desk/deskcontext.h"

#include <QList>
#include <QString>
#include <functional>

class AdminLink;

struct FaultScenario
{
    DeskMode mode = DeskMode::ReaderCheckIn;
    // Brings the database and the desk to the point just before the operation; false on failure.
    std::function<bool(AdminLink& admin, DeskContext& desk)> prepare;
    // Runs the operation; true when the desk says it was recorded.
    std::function<bool(DeskContext& desk)> operate;
    // One statement giving the figures the operation changes, as numbers joined by "/".
    QString figures;
    // How a recorded operation moves each figure.
    QList<long long> recordedChange;
};

// "check-in", "book counting", "registration", "photocopy lending", "photocopy return",
// "admission" (the refresh of an ended suspension).
FaultScenario faultScenario(const QString& operation);

// The figures of a scenario, read through `admin`; empty when they could not be read.
QList<long long> readFigures(AdminLink& admin, const FaultScenario& scenario);

// The figures `before` as a recorded operation leaves them: the first `moved` figures move (all by
// default), the rest stay.
QList<long long> figuresAfter(QList<long long> before, const FaultScenario& scenario, qsizetype moved = -1);
