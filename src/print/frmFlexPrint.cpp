// The print designer's window: menus, loading of the hand-over, and keeping the grid view in
// step with the model (hidden columns, widths, merged runs).
#include "frmFlexPrint.h"

#include "printhandover.h"
#include "printheadingarea.h"

#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

frmFlexPrint::frmFlexPrint(QWidget* parent) : QDialog(parent), m_caption(QStringLiteral("打印设计"))
{
    setObjectName(QStringLiteral("frmFlexPrint"));
    setWindowTitle(m_caption);
    resize(960, 680);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QMenuBar(this);
    layout->setMenuBar(bar);

    auto* splitter = m_splitter = new QSplitter(Qt::Vertical, this);
    auto* scroll = new QScrollArea(splitter);
    scroll->setWidgetResizable(true);
    m_heading = new PrintHeadingArea(scroll);
    scroll->setWidget(m_heading);
    vsPrint = new QTableView(splitter);
    vsPrint->setObjectName(QStringLiteral("vsPrint"));
    vsPrint->setModel(&m_model);
    vsPrint->setWordWrap(false);
    vsPrint->verticalHeader()->setDefaultSectionSize(vsPrint->fontMetrics().height() + 6);
    vsPrint->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background: #E0E0E0; }"));
    vsPrint->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    splitter->addWidget(scroll);
    splitter->addWidget(vsPrint);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter);

    buildMenus(bar);
    connect(&m_model, &QAbstractItemModel::modelReset, this, &frmFlexPrint::syncView);
    connect(&m_model, &QAbstractItemModel::columnsInserted, this, &frmFlexPrint::syncView);
    connect(&m_model, &QAbstractItemModel::layoutChanged, this, &frmFlexPrint::refreshSpans);
    connect(vsPrint->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) {
                if (width > 0 && column < m_model.columnCount() && m_model.column(column).width != width)
                    m_model.changeColumn(column, [width](PrintColumn& c) { c.width = width; });
            });
    connect(m_heading, &PrintHeadingArea::labelMenuRequested, this,
            [this](const QPoint& pos) { m_actions.value(QStringLiteral("mnuText"))->menu()->popup(pos); });
    connect(m_heading, &PrintHeadingArea::currentLabelChanged, this, [this](int index) {
        m_actions.value(QStringLiteral("mnuTextHide"))
            ->setChecked(index >= 0 && index < m_layout.labels.size() && m_layout.labels.at(index).hidden);
    });
}

QAction* frmFlexPrint::addAction(QMenu* menu, const char* name, const QString& caption,
                                 void (frmFlexPrint::*slot)())
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    if (slot)
        connect(action, &QAction::triggered, this, slot);
    m_actions.insert(QLatin1String(name), action);
    return action;
}

void frmFlexPrint::buildMenus(QMenuBar* bar)
{
    auto menu = [this, bar](const char* name, const QString& caption, QMenu* parent = nullptr) {
        QMenu* m = parent ? parent->addMenu(caption) : bar->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        m_actions.insert(QLatin1String(name), m->menuAction());
        return m;
    };
    QMenu* file = menu("mnuFile", QStringLiteral("文件(&F)"));
    addAction(file, "mnuPrinterSetup", QStringLiteral("打印机设置(&S)"), &frmFlexPrint::printerSetup);
    addAction(file, "mnuOutputItems", QStringLiteral("输出项设置(&C)"), &frmFlexPrint::outputItems);
    addAction(file, "mnuPageSetup", QStringLiteral("页面设置(&A)"), &frmFlexPrint::pageSetup);
    addAction(file, "mnuPrint", QStringLiteral("打印(&P)"), &frmFlexPrint::print);
    addAction(file, "mnuPreview", QStringLiteral("打印预览(&V)"), &frmFlexPrint::preview);

    QMenu* exports = menu("mnuExport", QStringLiteral("导出(&E)"));
    addAction(exports, "mnuExportText", QStringLiteral("导出文本文件"), &frmFlexPrint::exportText);
    addAction(exports, "mnuExportAccess", QStringLiteral("导出Access文件"), &frmFlexPrint::exportAccess);
    addAction(exports, "mnuExportExcel", QStringLiteral("导出Excel文件"), &frmFlexPrint::exportExcel);
    addAction(exports, "mnuExportHtml", QStringLiteral("导出html文件"), &frmFlexPrint::exportHtml);
    addAction(exports, "mnuExportXml", QStringLiteral("导出xml文件"), &frmFlexPrint::exportXml);

    QMenu* templates = menu("mnuTemplate", QStringLiteral("模板(&M)"));
    addAction(templates, "mnuSaveTemplate", QStringLiteral("保存用户设定"), nullptr);
    connect(m_actions.value(QStringLiteral("mnuSaveTemplate")), &QAction::triggered, this,
            [this] { saveTemplate(); });
    addAction(templates, "mnuTemplatePrint", QStringLiteral("按用户模板打印"), &frmFlexPrint::CustomPrint);

    QMenu* text = menu("mnuText", QStringLiteral("文本操作"));
    addAction(text, "mnuTextFont", QStringLiteral("字体"), &frmFlexPrint::labelFont);
    addAction(text, "mnuTextHide", QStringLiteral("隐藏"), &frmFlexPrint::toggleLabelHidden)
        ->setCheckable(true);
    addAction(text, "mnuTextColor", QStringLiteral("颜色"), &frmFlexPrint::labelColor);
    addAction(text, "mnuTextDelete", QStringLiteral("删除"), &frmFlexPrint::deleteCurrentLabel);

    QMenu* table = menu("mnuTable", QStringLiteral("表格操作"));
    addAction(table, "mnuSortAsc", QStringLiteral("升序"), nullptr);
    connect(m_actions.value(QStringLiteral("mnuSortAsc")), &QAction::triggered, this,
            [this] { sortCurrentColumn(Qt::AscendingOrder); });
    addAction(table, "mnuSortDesc", QStringLiteral("降序"), nullptr);
    connect(m_actions.value(QStringLiteral("mnuSortDesc")), &QAction::triggered, this,
            [this] { sortCurrentColumn(Qt::DescendingOrder); });
    QMenu* insert = menu("mnuInsertColumn", QStringLiteral("插入列"), table);
    addAction(insert, "mnuMarcColumn", QStringLiteral("新增Marc子字段"), &frmFlexPrint::newMarcColumn);
    addAction(insert, "mnuCustomColumn", QStringLiteral("自定义列"), &frmFlexPrint::newCustomColumn);
    addAction(table, "mnuDeleteColumn", QStringLiteral("删除列"), &frmFlexPrint::deleteCurrentColumn);
    m_showAgainMenu = menu("mnuShowColumn", QStringLiteral("恢复列"), table);
    m_showAgainMenu->setEnabled(false);
    addAction(table, "mnuRenameColumn", QStringLiteral("重命名"), &frmFlexPrint::renameCurrentColumn);
    addAction(table, "mnuSelectColumn", QStringLiteral("选中列"), nullptr);
    connect(m_actions.value(QStringLiteral("mnuSelectColumn")), &QAction::triggered, this,
            [this] { vsPrint->selectColumn(std::max(0, vsPrint->currentIndex().column())); });
    addAction(table, "mnuMerge", QStringLiteral("合并相同项"), nullptr);
    connect(m_actions.value(QStringLiteral("mnuMerge")), &QAction::triggered, this,
            [this] { setMerged(true); });
    addAction(table, "mnuUnmerge", QStringLiteral("取消合并相同项"), nullptr);
    connect(m_actions.value(QStringLiteral("mnuUnmerge")), &QAction::triggered, this,
            [this] { setMerged(false); });

    QMenu* style = menu("mnuStyle", QStringLiteral("展现样式"));
    QMenu* align = menu("mnuAlign", QStringLiteral("对齐方式"), style);
    const QList<QPair<QString, int>> alignments{{QStringLiteral("左对齐"), Qt::AlignLeft},
                                                {QStringLiteral("居中对齐"), Qt::AlignHCenter},
                                                {QStringLiteral("右对齐"), Qt::AlignRight}};
    const char* alignNames[] = {"mnuAlignLeft", "mnuAlignCenter", "mnuAlignRight"};
    for (int i = 0; i < 3; ++i) {
        const int alignment = alignments.at(i).second | Qt::AlignVCenter;
        addAction(align, alignNames[i], alignments.at(i).first, nullptr);
        connect(m_actions.value(QLatin1String(alignNames[i])), &QAction::triggered, this,
                [this, alignment] { setAlignment(alignment); });
    }
    QMenu* textStyle = menu("mnuTextStyle", QStringLiteral("文本样式"), style);
    const QStringList styles{QStringLiteral("平面"), QStringLiteral("凸出"), QStringLiteral("凹进")};
    const char* styleNames[] = {"mnuStyleFlat", "mnuStyleRaised", "mnuStyleSunken"};
    for (int i = 0; i < 3; ++i) {
        addAction(textStyle, styleNames[i], styles.at(i), nullptr);
        connect(m_actions.value(QLatin1String(styleNames[i])), &QAction::triggered, this,
                [this, i] { setTextStyle(i); });
    }
    addAction(style, "mnuColumnFont", QStringLiteral("字体"), &frmFlexPrint::columnFont);
    addAction(style, "mnuColumnColor", QStringLiteral("颜色"), &frmFlexPrint::columnColor);
    QAction* lines = addAction(style, "mnuGridLines", QStringLiteral("网格线"), nullptr);
    lines->setCheckable(true);
    lines->setChecked(true);
    connect(lines, &QAction::toggled, this, &frmFlexPrint::setGridLines);
}

void frmFlexPrint::setReportName(const QString& name)
{
    m_reportName = name;
    setWindowTitle(name.isEmpty() ? m_caption : m_caption + QStringLiteral("－") + name);
}

void frmFlexPrint::setMode(int mode)
{
    // Mode 0 prints without templates (lists that have no report name of their own).
    m_mode = mode;
    m_actions.value(QStringLiteral("mnuTemplate"))->setVisible(mode != 0);
}

void frmFlexPrint::initRawGrid()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PrintHandover& handover = PrintHandover::instance();
    m_model.load(handover);
    m_layout = PrintLayout::fromHeadingLines(handover.headingLines());
    m_actions.value(QStringLiteral("mnuGridLines"))->setChecked(true);
    m_heading->setLabels(&m_layout.labels);
    rebuildShowAgainMenu();
    m_splitter->setSizes({m_heading->minimumHeight() + 4, height()});
    QApplication::restoreOverrideCursor();
}

void frmFlexPrint::syncView()
{
    for (int c = 0; c < m_model.columnCount(); ++c) {
        vsPrint->setColumnHidden(c, m_model.isColumnHidden(c));
        if (vsPrint->columnWidth(c) != m_model.column(c).width && !m_model.isColumnHidden(c))
            vsPrint->setColumnWidth(c, m_model.column(c).width);
    }
    vsPrint->setShowGrid(m_layout.gridLines);
    int tableWidth = 0;
    for (int c : m_model.visibleColumns())
        tableWidth += m_model.column(c).width;
    m_heading->setCenterWidth(tableWidth + vsPrint->verticalHeader()->width());
    refreshSpans();
}

void frmFlexPrint::refreshSpans()
{
    vsPrint->clearSpans();
    for (int c = 0; c < m_model.columnCount(); ++c)
        if (m_model.column(c).merged)
            for (const auto& run : m_model.equalRuns(c))
                vsPrint->setSpan(run.first, c, run.second, 1);
}

void frmFlexPrint::rebuildShowAgainMenu()
{
    m_showAgainMenu->clear();
    for (int c = 0; c < m_model.columnCount(); ++c) {
        if (!m_model.isColumnHidden(c) || m_model.isHiddenByCaller(c))
            continue;
        QAction* entry = m_showAgainMenu->addAction(m_model.column(c).heading);
        entry->setObjectName(QStringLiteral("mnuShowColumn%1").arg(c));
        connect(entry, &QAction::triggered, this, [this, c] { showColumnAgain(c); });
    }
    m_showAgainMenu->setEnabled(!m_showAgainMenu->isEmpty());
}

QList<int> frmFlexPrint::selectedColumns() const
{
    QList<int> columns;
    for (const QModelIndex& index : vsPrint->selectionModel()->selectedIndexes())
        if (!columns.contains(index.column()))
            columns.append(index.column());
    if (columns.isEmpty() && vsPrint->currentIndex().isValid())
        columns.append(vsPrint->currentIndex().column());
    return columns;
}
