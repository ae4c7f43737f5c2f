#pragma once

#include "infotab.h"

#include <QList>

// The fifteen tabs of the item window for one MARC record, in their order: copies by call
// number, holdings by location, current loans, lending history, reservations, arrived
// reservations, loss compensations, violations, processing, moves, overdue charges, items
// about to arrive, the MARC record, transfer requests and arrived transfers. Their key is the
// MARC record number.
namespace BookInfoTabs {
const QList<InfoTab>& tabs();
const InfoTab* tab(const QString& key);
// The item states of copies not yet on the shelf (accepted, in cataloguing, in processing).
const QStringList& arrivingStates();
} // namespace BookInfoTabs
