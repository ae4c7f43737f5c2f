#include "infotab.h"

#include "bibelements.h"
#include "codes/codenames.h"
#include "db/database.h"
#include "infoconversions.h"
#include "marcreader.h"

InfoRow::InfoRow(const ResultTable& rows, int row, const QHash<QString, MarcRecord>& records)
    : m_rows(rows), m_row(row), m_records(records)
{
}

QString InfoRow::money(int column) const
{
    return InfoText::money(number(column));
}

QString InfoRow::title(int marcColumn) const
{
    const auto found = m_records.constFind((*this)[marcColumn]);
    return found == m_records.cend() ? QString() : LIB_GetBibElement(*found, BibTitle);
}

QString InfoRow::author(int marcColumn) const
{
    const auto found = m_records.constFind((*this)[marcColumn]);
    return found == m_records.cend() ? QString() : LIB_GetBibElement(*found, BibResponsible);
}

QString InfoRow::location(int column) const
{
    const QString code = (*this)[column];
    return code.isEmpty() ? QString() : LIB_LocationName(code);
}

int InfoTabs::load(const InfoTab& tab, const QString& key, bool backup, QList<QStringList>& rows)
{
    rows.clear();
    if (tab.load)
        return tab.load(key, rows);
    LIB_DB_CurrentStatement() = tab.statement(LIB_SQLQuote(key), backup && tab.hasBackup);
    ResultTable result;
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), result) != 0)
        return -1;
    QHash<QString, MarcRecord> records;
    if (tab.marcColumn >= 0) {
        QStringList numbers;
        for (int r = 2; r < result.recordCount() + 2; ++r)
            numbers.append(result.text(tab.marcColumn, r));
        if (MarcReader::readMany(numbers, records) != 0)
            return -1;
    }
    rows.reserve(result.recordCount());
    for (int r = 2; r < result.recordCount() + 2; ++r)
        rows.append(tab.makeRow(InfoRow(result, r, records)));
    return 0;
}

InfoTab InfoTabs::queryTab(const QString& key, const QString& caption, const QStringList& captions,
                           Statement statement, int marcColumn, RowMaker makeRow, bool hasBackup)
{
    InfoTab tab;
    tab.key = key;
    tab.caption = caption;
    tab.captions = captions;
    tab.statement = std::move(statement);
    tab.marcColumn = marcColumn;
    tab.makeRow = std::move(makeRow);
    tab.hasBackup = hasBackup;
    return tab;
}

InfoTab InfoTabs::loadedTab(const QString& key, const QString& caption, const QStringList& captions,
                            Loader load)
{
    InfoTab tab;
    tab.key = key;
    tab.caption = caption;
    tab.captions = captions;
    tab.load = std::move(load);
    return tab;
}
