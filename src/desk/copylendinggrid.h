#pragma once

// The lines of the two photocopy grids, vsCopyLend and vsCopyRet: a running line number in
// column 0, the operation's texts after it. The line an operation has just added is emphasised
// until the next one arrives: a font 3 points larger than the grid's, a tinted background and
// blue text. The line that loses the emphasis returns to the grid's font and a white background
// and keeps its blue text. Loans listed when a reader is admitted are drawn in black, or in red
// when overdue, and are never emphasised.

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QStringList>

class CopyGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum class Ink { Black, Red, Blue };

    static const QColor EmphasisBackground; // RGB(240, 251, 255)
    static const QColor ReturnNumberBackground;

    // vsCopyLend: "借", "条码号", ... "规则号"; vsCopyRet: "还", "条码号", ... "规则号". The return
    // grid gives the emphasised line's number cell a colour of its own.
    static CopyGridModel* forLending(QObject* parent = nullptr);
    static CopyGridModel* forReturn(QObject* parent = nullptr);

    CopyGridModel(const QStringList& captions, const QColor& numberCellTint, QObject* parent = nullptr);

    void setGridFont(const QFont& font);
    void clear();

    // `cells` are the texts after the line number; returns the new line's row.
    int appendListed(const QStringList& cells, Ink ink);
    int appendNewest(const QStringList& cells);

    int newestRow() const { return m_newest; } // -1 while no line is emphasised
    QStringList lineCells(int row) const;      // with the line number in front

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Line
    {
        QStringList cells;
        Ink ink = Ink::Black;
    };
    int append(const QStringList& cells, Ink ink);

    QStringList m_captions;
    QColor m_numberCellTint;
    QList<Line> m_lines;
    int m_newest = -1;
    QFont m_font;
};
