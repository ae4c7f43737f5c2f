#include "statwindowparts.h"

#include "codes/codetables.h"
#include "db/errorreporter.h"
#include "db/statisticssession.h"
#include "startup/formhelpers.h"
#include "statconditions.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

LIB_BusyPointer::LIB_BusyPointer()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

LIB_BusyPointer::~LIB_BusyPointer()
{
    QApplication::restoreOverrideCursor();
}

QTableView* LIB_MakeStatGridView(QWidget* parent, const char* name, QAbstractItemModel* model)
{
    auto* view = new QTableView(parent);
    view->setObjectName(QLatin1String(name));
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->horizontalHeader()->setStretchLastSection(true);
    view->horizontalHeader()->setDefaultSectionSize(90);
    return view;
}

void LIB_FillLocationCombo(QComboBox* combo)
{
    combo->clear();
    combo->addItem(StatConditions::allLocations());
    const ResultTable& locations = LIB_CodeTable(CodeTable::Locations);
    for (int row = 2; row < locations.recordCount() + 2; ++row)
        combo->addItem(locations.text(1, row));
}

void LIB_FillTemplateCombo(QComboBox* combo)
{
    combo->clear();
    ResultTable templates;
    if (LIB_LoadStatTemplates(templates) != 0)
        LIB_DB_ShowError();
    for (int row = 2; row < templates.recordCount() + 2; ++row)
        combo->addItem(templates.text(0, row), templates.text(1, row));
    combo->addItem(LIB_OneOffTemplateName(), QString());
}

QWidget* LIB_MakeStatResultArea(QWidget* parent, QWidget* grid, QWidget* chart)
{
    auto* splitter = new QSplitter(parent);
    splitter->addWidget(grid);
    splitter->addWidget(chart);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    return splitter;
}

QLabel* LIB_MakeStatNoticeLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("lblNotice"));
    label->setStyleSheet(QStringLiteral("color: #a03000"));
    return label;
}

void LIB_ShowStatisticsNotice(QLabel* label)
{
    label->setText(LIB_StatisticsNotice());
}

void LIB_FillCodeCombo(QComboBox* combo, int codeTable)
{
    combo->clear();
    combo->addItem(QStringLiteral("[全部]"), QString());
    const ResultTable& codes = LIB_CodeTable(CodeTable(codeTable));
    for (int row = 2; row < codes.recordCount() + 2; ++row)
        combo->addItem(codes.text(1, row), codes.text(0, row));
}

StatWindowButtons LIB_LayOutStatWindow(QWidget* window, QLayout* conditions, QWidget* result, QLabel* notice,
                                       QWidget* help, const QList<QPushButton*>& extraButtons)
{
    StatWindowButtons buttons;
    buttons.stat = makeNamed<QPushButton>(window, "cmdStat", QStringLiteral("统计"));
    buttons.print = makeNamed<QPushButton>(window, "cmdPrint", QStringLiteral("打印"));
    buttons.exit = makeNamed<QPushButton>(window, "cmdExit", QStringLiteral("退出"));
    buttons.print->setEnabled(false);
    auto* commands = new QHBoxLayout;
    if (help)
        commands->addWidget(help, 1);
    else
        commands->addStretch(1);
    commands->addWidget(buttons.stat);
    commands->addWidget(buttons.print);
    for (QPushButton* extra : extraButtons)
        commands->addWidget(extra);
    commands->addWidget(buttons.exit);
    auto* layout = new QVBoxLayout(window);
    layout->addLayout(conditions);
    layout->addWidget(result, 1);
    layout->addWidget(notice);
    layout->addLayout(commands);
    return buttons;
}
