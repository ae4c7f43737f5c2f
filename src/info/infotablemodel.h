#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// The rows of an information grid as texts: a narrow first column holds the row number, the
// captions name the columns after it. Used by every tab of the reader and item windows.
class InfoTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit InfoTableModel(QObject* parent = nullptr);

    // Replaces captions and rows at once (a tab switch changes both).
    void setTable(const QStringList& captions, QList<QStringList> rows);
    void clear();

    const QStringList& captions() const { return m_captions; }
    const QList<QStringList>& rows() const { return m_rows; }
    QString cell(int row, int column) const; // column 0 is the first caption's

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList m_captions;
    QList<QStringList> m_rows;
};
