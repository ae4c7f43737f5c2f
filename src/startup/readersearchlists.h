#pragma once

#include "db/resulttable.h"

#include <QString>
#include <array>

// The item lists offered by the reader search window, one per item type "11" to "15", read once at
// start-up from tmp_itemlist.
class ReaderSearchLists
{
public:
    static constexpr int FirstType = 11;
    static constexpr int TypeCount = 5;

    static ReaderSearchLists& instance();

    // Reads the lists in type order and stops at the first failed query: -1 with the error record
    // filled, the lists from the failed one on left as they were.
    int load();
    // The list of an item type (11..15); an empty table for any other type.
    const ResultTable& list(int itemType) const;

private:
    ReaderSearchLists() = default;
    std::array<ResultTable, TypeCount> m_lists;
};
