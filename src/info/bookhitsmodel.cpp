#include "bookhitsmodel.h"

#include "codes/codenames.h"
#include "codes/fixedcodenames.h"
#include "db/database.h"
#include "db/errorreporter.h"

namespace {

// Columns of the batch statement.
enum {
    RecNo,
    DocType,
    MarcType,
    Lang,
    Country,
    CallNo,
    Title,
    Author,
    Publisher,
    PubYear,
    Isbn,
    UseFlag,
    Count
};

const QStringList& captions(BookHitsModel::Layout layout)
{
    static const QStringList hits{"索书号", "题名", "作者", "出版社", "ISBN"};
    static const QStringList items{"题名", "责任者",   "出版社",   "ISBN",   "文献类型",
                                   "语种", "国家代码", "MARC类型", "索书号", "记录状态"};
    return layout == BookHitsModel::Layout::SearchHits ? hits : items;
}

} // namespace

BookHitsModel::BookHitsModel(Layout layout, QObject* parent) : QAbstractTableModel(parent), m_layout(layout)
{
}

QString BookHitsModel::batchStatement(const QStringList& marcRecNos)
{
    QStringList quoted;
    quoted.reserve(marcRecNos.size());
    for (const QString& number : marcRecNos)
        quoted.append(LIB_SQLQuote(number));
    return QStringLiteral(
               " SELECT MARC_REC_NO,DOC_TYPE_CODE,MARC_TYPE,LANG_CODE,COUNTRY_CODE,M_CALL_NO,M_TITLE,"
               "M_AUTHOR,M_PUBLISHER,M_PUB_YEAR,M_ISBN,MARC_USE_FLAG FROM marc WHERE marc_rec_no in (") +
           quoted.join(QLatin1Char(',')) + QLatin1Char(')');
}

int BookHitsModel::setHits(const QStringList& marcRecNos)
{
    beginResetModel();
    m_numbers = marcRecNos;
    m_read.clear();
    m_shown = 0;
    endResetModel();
    return readBatch();
}

void BookHitsModel::clear()
{
    setHits({});
}

QStringList BookHitsModel::rowFor(const QStringList& h) const
{
    if (m_layout == Layout::SearchHits)
        return {h.at(CallNo), h.at(Title), h.at(Author), h.at(Publisher), h.at(Isbn)};
    return {h.at(Title),
            h.at(Author),
            h.at(Publisher),
            h.at(Isbn),
            LIB_DocTypeName(h.at(DocType)),
            LIB_LanguageName(h.at(Lang)),
            LIB_CountryName(h.at(Country)),
            LIB_MarcTypeName(h.at(MarcType).left(1)),
            h.at(CallNo),
            h.at(UseFlag) == QLatin1String("0") ? QStringLiteral("停用") : QStringLiteral("正常")};
}

int BookHitsModel::readBatch()
{
    const QStringList batch = m_numbers.mid(m_shown, BatchSize);
    if (batch.isEmpty())
        return 0;
    LIB_DB_CurrentStatement() = batchStatement(batch);
    ResultTable rows;
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), rows) != 0)
        return -1;
    for (int r = 2; r < rows.recordCount() + 2; ++r) {
        QStringList header;
        for (int c = 0; c < Count; ++c)
            header.append(rows.text(c, r));
        m_read.insert(header.at(RecNo), rowFor(header));
    }
    beginInsertRows({}, m_shown, m_shown + int(batch.size()) - 1);
    m_shown += int(batch.size());
    endInsertRows();
    return 0;
}

QStringList BookHitsModel::cells(int row) const
{
    return m_read.value(m_numbers.value(row));
}

int BookHitsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_shown;
}

int BookHitsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(captions(m_layout).size());
}

QVariant BookHitsModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_shown)
        return {};
    return cells(index.row()).value(index.column());
}

QVariant BookHitsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return captions(m_layout).value(section);
}

bool BookHitsModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && m_shown < m_numbers.size();
}

void BookHitsModel::fetchMore(const QModelIndex& parent)
{
    if (!parent.isValid() && readBatch() != 0)
        LIB_DB_ShowError();
}
