#include "frmNewPrint.h"

#include "db/messages.h"
#include "printexport.h"
#include "printpages.h"
#include "savefilechooser.h"
#include "startup/environment.h"
#include "startup/formhelpers.h"

#include <QAbstractItemModel>
#include <QFile>
#include <QHBoxLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QList<QStringList> modelRows(const QAbstractItemModel& model, int row1, int row2, QList<int> columns)
{
    QList<QStringList> rows;
    QStringList headings;
    for (int c : columns)
        headings.append(model.headerData(c, Qt::Horizontal).toString());
    rows.append(headings);
    for (int r = std::max(0, row1); r <= row2 && r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c : columns)
            cells.append(model.index(r, c).data().toString());
        rows.append(cells);
    }
    return rows;
}

QList<int> columnRange(int first, int last)
{
    QList<int> columns;
    for (int c = std::max(0, first); c <= last; ++c)
        columns.append(c);
    return columns;
}

} // namespace

frmNewPrint::frmNewPrint(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmNewPrint"));
    setWindowTitle(QStringLiteral("打印"));
    resize(760, 520);
    auto* layout = new QVBoxLayout(this);
    vsList = makeNamed<QTableView>(this, "vsList");
    vsList->setModel(&m_model);
    layout->addWidget(vsList);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* print = makeNamed<QPushButton>(this, "cmdPrint", QStringLiteral("打印(&P)"));
    auto* save = makeNamed<QPushButton>(this, "cmdSave", QStringLiteral("保存(&S)"));
    auto* close = makeNamed<QPushButton>(this, "cmdClose", QStringLiteral("关闭(&C)"));
    for (QPushButton* b : {print, save, close})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(print, &QPushButton::clicked, this, [this] { PrintAll(windowTitle(), QString()); });
    connect(save, &QPushButton::clicked, this, &frmNewPrint::save);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void frmNewPrint::load(const QList<QStringList>& rows)
{
    m_buffer.reset(QString());
    m_buffer.setHeadings(rows.value(0));
    m_buffer.setRows(rows.mid(1));
    m_model.load(m_buffer);
}

void frmNewPrint::SpdSel2Flex(const QAbstractItemModel& spread, int row1, int row2, int col1, int col2,
                              const QList<int>& order)
{
    load(modelRows(spread, row1, row2, order.isEmpty() ? columnRange(col1, col2) : order));
}

void frmNewPrint::Spd2Flex(const QAbstractItemModel& spread, const QList<int>& order)
{
    SpdSel2Flex(spread, 0, spread.rowCount() - 1, 0, spread.columnCount() - 1, order);
}

void frmNewPrint::Flex2Flex(const QAbstractItemModel& grid, int groupColumn)
{
    Spd2Flex(grid);
    // Grouped: the rows of one group together, in the order the groups first appear.
    if (groupColumn >= 0 && groupColumn < m_model.columnCount()) {
        QList<QStringList> rows = m_buffer.table().mid(1);
        QStringList groups;
        for (const QStringList& row : rows)
            if (!groups.contains(row.value(groupColumn)))
                groups.append(row.value(groupColumn));
        std::stable_sort(rows.begin(), rows.end(), [&](const QStringList& a, const QStringList& b) {
            return groups.indexOf(a.value(groupColumn)) < groups.indexOf(b.value(groupColumn));
        });
        load(QList<QStringList>{m_buffer.table().first()} + rows);
        m_model.changeColumn(groupColumn, [](PrintColumn& c) { c.merged = true; });
    }
}

void frmNewPrint::LoadArray2Flex(const QList<QStringList>& rows)
{
    load(rows);
}

void frmNewPrint::FormatWorkList(int mode)
{
    for (int c = 0; c < m_model.columnCount(); ++c) {
        bool numbers = mode == 1 && m_model.rowCount() > 0;
        for (int r = 0; numbers && r < m_model.rowCount(); ++r)
            m_model.cell(r, c).toDouble(&numbers);
        subColAlign(c, (numbers ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
}

void frmNewPrint::subColAlign(int column, int alignment)
{
    if (column >= 0 && column < m_model.columnCount())
        m_model.changeColumn(column, [alignment](PrintColumn& c) { c.alignment = alignment; });
}

int frmNewPrint::printRows(const QList<QStringList>& rows, int firstColumn, const QString& header,
                           const QString& footer, const QString& documentName, QPrinter* printer)
{
    PrintHandover block;
    block.setHeadings(rows.value(0));
    block.setRows(rows.mid(1));
    PrintTableModel model;
    model.load(block);
    // The block's columns keep the formats of the buffer's columns they come from.
    QList<PrintColumn> columns = model.columns();
    for (int c = 0; c < columns.size() && firstColumn + c < m_model.columnCount(); ++c) {
        const PrintColumn& format = m_model.column(firstColumn + c);
        columns[c].alignment = format.alignment;
        columns[c].width = format.width;
        columns[c].merged = format.merged;
    }
    model.setColumns(columns);
    PrintLayout layout = PrintLayout::fromHeadingLines({header});
    layout.footerText = footer;

    QPrinter chosen(QPrinter::HighResolution);
    if (!printer) {
        QPrintDialog dialog(&chosen, this);
        if (dialog.exec() != QDialog::Accepted)
            return -1;
        printer = &chosen;
    }
    printer->setDocName(documentName.isEmpty() ? header : documentName);
    return PrintPages(model, layout).print(printer) < 0 ? -1 : 0;
}

int frmNewPrint::PrintAll(const QString& header, const QString& footer, const QString& documentName,
                          QPrinter* printer)
{
    return printRows(m_buffer.table(), 0, header, footer, documentName, printer);
}

int frmNewPrint::PrintSel(int row1, int col1, int row2, int col2, const QString& header,
                          const QString& footer, const QString& documentName, QPrinter* printer)
{
    QList<QStringList> rows{m_buffer.table().first().mid(col1, col2 - col1 + 1)};
    for (int r = row1; r <= row2 && r + 1 < m_buffer.rowCount(); ++r)
        rows.append(m_buffer.table().at(r + 1).mid(col1, col2 - col1 + 1));
    return printRows(rows, col1, header, footer, documentName, printer);
}

int frmNewPrint::saveText(const QString& path, bool unicode)
{
    if (QFile::exists(path) && LIB_ShowMsg(QStringLiteral("WCF011")) != 1)
        return 1;
    QList<QStringList> rows{PrintExport::visibleHeadings(m_model)};
    for (int r = 0; r < m_model.rowCount(); ++r) {
        QStringList cells;
        for (int c : m_model.visibleColumns())
            cells.append(m_model.cell(r, c));
        rows.append(cells);
    }
    return PrintExport::writeList(rows, unicode, path);
}

void frmNewPrint::save()
{
    const QString utf8 = QStringLiteral("UTF-8编码文件 (*.txt)");
    const QString unicode = QStringLiteral("Unicode编码文件 (*.txt)");
    QString filter;
    const QString path = LIB_ChooseSaveFile(this,
                                            {QStringLiteral("保存到文件(请注意选择适当的编码)"),
                                             LIB_GetEnv(12).toString(),
                                             {utf8, unicode},
                                             QStringLiteral("txt")},
                                            &filter);
    if (!path.isEmpty() && saveText(path, filter == unicode) < 0)
        LIB_ShowMsg(QStringLiteral("E文件写入失败！"));
}
