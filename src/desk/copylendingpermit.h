#pragma once

// Whether a book may be lent or taken back at this desk: each location names, in the desk
// location list, the locations that may lend its books and those that may take them back.

#include <QString>

// Empty when the desk location occurs in the item location's list (column LendLocations or
// ReturnLocations of the desk location list); otherwise the list itself, or the item's location
// code when the location is not listed (such a book is never lent or taken back here).
QString LIB_DeskPermitRefusal(const QString& itemLocation, const QString& deskLocation, int listColumn);

// The names of the locations of a comma-separated list, joined by ",", for the refusal message.
QString LIB_LocationNames(const QString& locationList);

// The refusal of a day-rule loan or return whose location is closed on all seven week days: its
// due date would land on a closed day, so the operator is told to have the opening times put right.
QString LIB_ClosedEveryDayMessage(const QString& location);
