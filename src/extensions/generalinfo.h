#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What the general certificate window shows of the shared certificate service's answers.
//
// The certificate lookup answers one record of up to 27 fields (separated by character 31) in the
// order of fieldCaptions(): the card number (CERT_ID) first, its state code second.
//
// The reader lookup, asked with the card number, answers three sections separated by character 29:
// the current loans, the loan history and the debts; a section's rows are separated by character 30
// and a row's fields by character 31, in the order of the grid's captions.
namespace GeneralInfo {

constexpr int fieldCount = 27;
constexpr char16_t RowSeparator = 30;

enum Grid { Loans, History, Debts, GridCount };

QStringList fieldCaptions();
QString gridTitle(Grid grid);
QStringList gridCaptions(Grid grid);

// The rows of each grid from the rest of the reader lookup's answer.
QList<QList<QStringList>> gridRows(const QString& rest);

} // namespace GeneralInfo
