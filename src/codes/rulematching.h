#pragma once

// Code lists of the rule tables and the reader-group limits of photocopy loans.

#include <QString>

// Whether a code list admits a value. A list that is a lone "*" (blanks around it allowed) admits
// everything; a list with a "*" admits values beginning with the text before its first "*";
// otherwise, and when that prefix does not match, the list is split at "," and an item must
// equal the value exactly (items are not trimmed).
bool InCodeList(const QString& value, const QString& list);

// The data row (2 upwards) of the first cached reader-group limit whose group list admits the
// location group and whose reader-type list admits the reader type; -1 when none does.
int FindGroupLimit(const QString& group, const QString& readerType);

// The location's group in the desk location list; empty when the location is not listed.
QString LocationGroup(const QString& location);
