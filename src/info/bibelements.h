#pragma once

#include "marcrecord.h"

#include <QString>

// The bibliographic elements that lists and panels show for a record.
enum BibElement {
    BibTitle = 0,
    BibResponsible = 1,
    BibPublisher = 3,
};

enum { IsbnIndexGroup = 5 };

// The element's text: the title (0) by the title rules of CN MARC and US MARC, every other element
// through the field path of its index group for the record's MARC type. Empty for an
// empty record or an element without a group.
QString LIB_GetBibElement(const MarcRecord& record, int element);

// The index group whose field path gives an element; 0 when none does.
int LIB_BibElementGroup(int element);

// The text of an index group's field path for the record's MARC type (group 5 is the
// ISBN, which no element number names).
QString LIB_GetIndexGroupValue(const MarcRecord& record, int group);
