#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>

// The titles a book search found, read from table marc in batches as the list is scrolled: the
// record numbers are known at once, the rows of a batch come in one statement.
class BookHitsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // The book search window lists "索书号", "题名", "作者", "出版社", "ISBN"; the item window's
    // result list "题名", "责任者", "出版社", "ISBN", "文献类型", "语种", "国家代码", "MARC类型",
    // "索书号", "记录状态".
    enum class Layout { SearchHits, ItemList };
    static constexpr int BatchSize = 200;

    explicit BookHitsModel(Layout layout, QObject* parent = nullptr);

    // Takes the found numbers and reads the first batch. 0, or -1 with the error record filled.
    int setHits(const QStringList& marcRecNos);
    void clear();
    int hitCount() const { return int(m_numbers.size()); }
    QString marcRecNo(int row) const { return m_numbers.value(row); }
    QStringList cells(int row) const; // the texts of a row that has been read

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override; // a failed read is reported

    // The statement of one batch (exposed for the benchmark).
    static QString batchStatement(const QStringList& marcRecNos);

private:
    int readBatch(); // the next batch; 0 or -1
    QStringList rowFor(const QStringList& header) const;

    Layout m_layout;
    QStringList m_numbers;
    QHash<QString, QStringList> m_read; // marc_rec_no -> the texts of its row
    int m_shown = 0;
};
