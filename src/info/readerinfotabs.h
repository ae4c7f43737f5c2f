#pragma once

#include "infotab.h"

#include <QList>

// The fourteen tabs of the reader information window, in their order: rights of the reader
// type, personal details, applicable rules, lost cards, cards, current loans, lending history,
// violations, overdue charges, reservations, arrived reservations, loss compensations,
// transfer requests and arrived transfers. Their key is the reader's certificate number.
namespace ReaderInfoTabs {
const QList<InfoTab>& tabs();
const InfoTab* tab(const QString& key);
// The tabs from the current loans on (readerloantabs.cpp).
QList<InfoTab> loanTabs();
} // namespace ReaderInfoTabs
