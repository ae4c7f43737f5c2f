// The designer's column and heading-label commands.
#include "db/errorreporter.h"
#include "frmFlexPrint.h"
#include "frmFlexPrtCustom.h"
#include "frmFlexPrtNode.h"
#include "printheadingarea.h"
#include "printmarccolumn.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QTableView>

void frmFlexPrint::sortCurrentColumn(Qt::SortOrder order)
{
    const int column = vsPrint->currentIndex().column();
    if (column < 0)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_model.sortByColumn(column, order);
    QApplication::restoreOverrideCursor();
}

void frmFlexPrint::deleteCurrentColumn()
{
    for (int column : selectedColumns())
        m_model.setColumnHidden(column, true);
    syncView();
    rebuildShowAgainMenu();
}

void frmFlexPrint::showColumnAgain(int column)
{
    m_model.setColumnHidden(column, false);
    syncView();
    rebuildShowAgainMenu();
}

void frmFlexPrint::renameCurrentColumn()
{
    const int column = vsPrint->currentIndex().column();
    if (column < 0)
        return;
    QHeaderView* header = vsPrint->horizontalHeader();
    auto* editor = new QLineEdit(m_model.column(column).heading, header);
    editor->setObjectName(QStringLiteral("txtColumnTitle"));
    editor->setGeometry(header->sectionViewportPosition(column), 0, header->sectionSize(column),
                        header->height());
    connect(editor, &QLineEdit::editingFinished, this, [this, editor, column] {
        if (!editor->isVisible())
            return;
        m_model.setHeaderData(column, Qt::Horizontal, editor->text());
        editor->hide();
        editor->deleteLater();
    });
    editor->show();
    editor->setFocus();
    editor->selectAll();
}

void frmFlexPrint::setMerged(bool merged)
{
    for (int column : selectedColumns())
        m_model.changeColumn(column, [merged](PrintColumn& c) { c.merged = merged; });
    refreshSpans();
}

void frmFlexPrint::setAlignment(int alignment)
{
    for (int column : selectedColumns())
        m_model.changeColumn(column, [alignment](PrintColumn& c) { c.alignment = alignment; });
}

void frmFlexPrint::setTextStyle(int style)
{
    for (int column : selectedColumns())
        m_model.changeColumn(column, [style](PrintColumn& c) { c.textStyle = style; });
}

void frmFlexPrint::setGridLines(bool shown)
{
    m_layout.gridLines = shown;
    vsPrint->setShowGrid(shown);
}

void frmFlexPrint::columnFont()
{
    const QList<int> columns = selectedColumns();
    if (columns.isEmpty())
        return;
    bool ok = false;
    const QFont font =
        QFontDialog::getFont(&ok, LIB_PrintFont(m_model.column(columns.first()).font, vsPrint->font()), this);
    if (!ok)
        return;
    for (int column : columns)
        m_model.changeColumn(column, [&font](PrintColumn& c) { c.font = font.toString(); });
}

void frmFlexPrint::columnColor()
{
    const QList<int> columns = selectedColumns();
    if (columns.isEmpty())
        return;
    const QColor color = QColorDialog::getColor(Qt::black, this);
    if (!color.isValid())
        return;
    for (int column : columns)
        m_model.changeColumn(column, [&color](PrintColumn& c) { c.color = color.name(); });
}

void frmFlexPrint::toggleLabelHidden()
{
    const int index = m_heading->currentLabel();
    if (index < 0 || index >= m_layout.labels.size())
        return;
    m_layout.labels[index].hidden = !m_layout.labels[index].hidden;
    m_actions.value(QStringLiteral("mnuTextHide"))->setChecked(m_layout.labels[index].hidden);
    m_heading->refresh();
}

void frmFlexPrint::deleteCurrentLabel()
{
    const int index = m_heading->currentLabel();
    if (index < 0 || index >= m_layout.labels.size())
        return;
    // The seven heading lines keep their places (exports address them by number): they empty.
    if (index < 7)
        m_layout.labels[index].text.clear();
    else
        m_layout.labels.removeAt(index);
    m_heading->setLabels(&m_layout.labels);
}

void frmFlexPrint::labelFont()
{
    const int index = m_heading->currentLabel();
    if (index < 0 || index >= m_layout.labels.size())
        return;
    bool ok = false;
    const QFont font =
        QFontDialog::getFont(&ok, LIB_PrintFont(m_layout.labels.at(index).font, this->font()), this);
    if (ok) {
        m_layout.labels[index].font = font.toString();
        m_heading->refresh();
    }
}

void frmFlexPrint::labelColor()
{
    const int index = m_heading->currentLabel();
    if (index < 0 || index >= m_layout.labels.size())
        return;
    const QColor color = QColorDialog::getColor(Qt::black, this);
    if (color.isValid()) {
        m_layout.labels[index].color = color.name();
        m_heading->refresh();
    }
}

int frmFlexPrint::addCustomColumn(const QString& heading)
{
    PrintColumn column;
    column.heading = heading;
    return m_model.appendColumn(column);
}

int frmFlexPrint::addMarcColumn(const QString& heading, const QString& cnMarc, const QString& usMarc)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int column = LIB_AddMarcColumn(m_model, heading, cnMarc, usMarc);
    QApplication::restoreOverrideCursor();
    if (column < 0)
        LIB_DB_ShowError();
    return column;
}

void frmFlexPrint::newMarcColumn()
{
    frmFlexPrtNode node(this);
    if (node.exec() == QDialog::Accepted)
        addMarcColumn(node.heading(), node.cnMarc(), node.usMarc());
}

void frmFlexPrint::newCustomColumn()
{
    bool ok = false;
    const QString heading = QInputDialog::getText(this, QStringLiteral("自定义列"), QStringLiteral("列名："),
                                                  QLineEdit::Normal, QString(), &ok);
    if (ok && !heading.trimmed().isEmpty())
        addCustomColumn(heading.trimmed());
}

void frmFlexPrint::applyColumns(const QList<PrintColumn>& columns)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_model.setColumns(columns);
    for (int c = 0; c < m_model.columnCount(); ++c)
        if (m_model.column(c).isMarc() && LIB_FillMarcColumn(m_model, c) != 0) {
            QApplication::restoreOverrideCursor();
            LIB_DB_ShowError();
            QApplication::setOverrideCursor(Qt::WaitCursor);
            break;
        }
    m_model.applySortChoices();
    syncView();
    rebuildShowAgainMenu();
    QApplication::restoreOverrideCursor();
}

void frmFlexPrint::outputItems()
{
    frmFlexPrtCustom items(m_model, this);
    if (items.exec() == QDialog::Accepted)
        applyColumns(items.columns());
}
