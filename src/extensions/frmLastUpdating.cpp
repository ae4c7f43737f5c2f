#include "frmLastUpdating.h"

#include "desktopopener.h"
#include "startup/applicationtitle.h"
#include "startup/environment.h"

#include <QActionGroup>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

frmLastUpdating::frmLastUpdating(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLastUpdating"));
    setWindowTitle(LIB_ApplicationTitle() + QStringLiteral(" - 最新更新"));
    resize(720, 480);

    auto* menus = new QMenuBar(this);
    QMenu* view = menus->addMenu(QStringLiteral("查看(&V)"));
    auto* groupings = new QActionGroup(this);
    const std::pair<const char*, UpdateNotes::Grouping> choices[] = {
        {"按发布分组", UpdateNotes::Grouping::Release},
        {"按日期分组", UpdateNotes::Grouping::Issue},
        {"按分类分组", UpdateNotes::Grouping::Catalog}};
    for (const auto& [caption, grouping] : choices) {
        QAction* action = view->addAction(QString::fromUtf8(caption));
        action->setCheckable(true);
        action->setChecked(grouping == m_grouping);
        groupings->addAction(action);
        connect(action, &QAction::triggered, this, [this, g = grouping] { setGrouping(g); });
        m_groupings.append(action);
    }
    view->addSeparator();
    view->addAction(QStringLiteral("放大字体(&I)"), QKeySequence::ZoomIn, this, [this] { zoom(1); });
    view->addAction(QStringLiteral("缩小字体(&O)"), QKeySequence::ZoomOut, this, [this] { zoom(-1); });
    view->addSeparator();
    view->addAction(QStringLiteral("打开更新目录(&F)"), this, &frmLastUpdating::openFolder);

    tvwUpdating = new QTreeWidget(this);
    tvwUpdating->setObjectName(QStringLiteral("tvwUpdating"));
    tvwUpdating->setRootIsDecorated(true);
    tvwUpdating->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(tvwUpdating, &QTreeWidget::currentItemChanged, this, &frmLastUpdating::showDescription);
    lblDescript = new QLabel(this);
    lblDescript->setObjectName(QStringLiteral("lblDescript"));
    lblDescript->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menus);
    layout->addWidget(tvwUpdating, 1);
    layout->addWidget(lblDescript);
}

void frmLastUpdating::showDeskNotes(QWidget* parent)
{
    frmLastUpdating window(parent);
    window.m_Signature = QStringLiteral("zq.tavorn.lt3");
    window.UpgradeURL = Environment::instance().programDirectory() + QStringLiteral("Update/流通阅览");
    window.exec();
}

bool frmLastUpdating::LoadUpdatings(const QString& strPath, const QString& strSignature)
{
    m_loaded = true;
    const bool everyFileRead = m_notes.load(strPath, strSignature);
    fill();
    return everyFileRead;
}

void frmLastUpdating::showEvent(QShowEvent* event)
{
    if (!m_loaded)
        LoadUpdatings(UpgradeURL, m_Signature);
    QDialog::showEvent(event);
}

void frmLastUpdating::setGrouping(UpdateNotes::Grouping grouping)
{
    m_grouping = grouping;
    for (int i = 0; i < m_groupings.size(); ++i)
        m_groupings.at(i)->setChecked(i == int(grouping));
    fill();
}

void frmLastUpdating::fill()
{
    tvwUpdating->clear();
    const QStringList columns = UpdateNotes::columns(m_grouping);
    tvwUpdating->setColumnCount(int(columns.size()));
    tvwUpdating->setHeaderLabels(columns);
    for (const UpdateNotes::Group& group : m_notes.grouped(m_grouping)) {
        auto* heading = new QTreeWidgetItem(tvwUpdating, {group.title});
        heading->setFirstColumnSpanned(true);
        QFont bold = heading->font(0);
        bold.setBold(true);
        heading->setFont(0, bold);
        for (const UpdateNote& note : group.items) {
            auto* item = new QTreeWidgetItem(heading, UpdateNotes::cells(note, m_grouping));
            item->setData(0, Qt::UserRole, note.descript);
            item->setToolTip(0, note.descript);
        }
        heading->setExpanded(true);
    }
}

void frmLastUpdating::showDescription()
{
    const QTreeWidgetItem* item = tvwUpdating->currentItem();
    lblDescript->setText(item ? item->data(0, Qt::UserRole).toString() : QString());
}

void frmLastUpdating::zoom(int steps)
{
    QFont font = tvwUpdating->font();
    font.setPointSize(qBound(6, font.pointSize() + steps, 36));
    tvwUpdating->setFont(font);
}

void frmLastUpdating::openFolder()
{
    LIB_OpenDesktopUrl(QUrl::fromLocalFile(UpgradeURL));
}
