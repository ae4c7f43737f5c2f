#include "readinglogmodel.h"

QStringList ReadingLogModel::headings()
{
    static const QStringList texts{
        QStringLiteral("到达时间"), QStringLiteral("证件号"), QStringLiteral("姓名"),
        QStringLiteral("单位"),     QStringLiteral("财产号"), QStringLiteral("书刊条码号"),
        QStringLiteral("题名"),     QStringLiteral("作者"),   QStringLiteral("出版社"),
        QStringLiteral("价格"),     QStringLiteral("索书号"), QStringLiteral("馆藏地"),
        QStringLiteral("经手人")};
    return texts;
}

bool ReadingLogModel::columnShown(ReadingLogKind kind, int column)
{
    if (column == ArrivalTime || column == Location || column == Worker)
        return true;
    const bool readerColumn = column >= CertId && column <= Dept;
    switch (kind) {
    case ReadingLogKind::Reader:
        return readerColumn;
    case ReadingLogKind::Book:
        return !readerColumn;
    case ReadingLogKind::ReaderBook:
        break;
    }
    return true;
}

QVariant ReadingLogModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return m_rows.at(index.row()).cells.at(index.column());
}

QVariant ReadingLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    return orientation == Qt::Horizontal ? QVariant(headings().value(section)) : QVariant(section + 1);
}

void ReadingLogModel::setRows(ReadingLogRows rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}
