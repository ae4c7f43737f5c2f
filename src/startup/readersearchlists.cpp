#include "readersearchlists.h"

#include "db/database.h"

ReaderSearchLists& ReaderSearchLists::instance()
{
    static ReaderSearchLists lists;
    return lists;
}

int ReaderSearchLists::load()
{
    for (int i = 0; i < TypeCount; ++i) {
        const QString type = QString::number(FirstType + i);
        LIB_DB_CurrentStatement() = QStringLiteral("select itemcontent from tmp_itemlist where itemtype = ") +
                                    LIB_SQLQuote(type) + QStringLiteral(" order by itemcontent");
        ResultTable table;
        if (LIB_DB_Select(LIB_DB_CurrentStatement(), table) != 0)
            return -1;
        m_lists[i] = std::move(table);
    }
    return 0;
}

const ResultTable& ReaderSearchLists::list(int itemType) const
{
    static const ResultTable none;
    const int index = itemType - FirstType;
    return index >= 0 && index < TypeCount ? m_lists[index] : none;
}
