#include "frmGeneralInfo.h"

#include "generalinfo.h"
#include "info/generalcert.h"
#include "info/infotablemodel.h"
#include "info/infowindowparts.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

frmGeneralInfo::frmGeneralInfo(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmGeneralInfo"));
    setWindowTitle(QStringLiteral("通用证信息"));
    resize(860, 620);

    auto* fields = new QGridLayout;
    const QStringList captions = GeneralInfo::fieldCaptions();
    constexpr int perRow = 3;
    for (int i = 0; i < captions.size(); ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtField%1").arg(i));
        box->setReadOnly(true);
        fields->addWidget(new QLabel(captions.at(i) + QStringLiteral("："), this), i / perRow,
                          (i % perRow) * 2);
        fields->addWidget(box, i / perRow, (i % perRow) * 2 + 1);
        m_fields.append(box);
    }
    lblState = new QLabel(this);
    lblState->setObjectName(QStringLiteral("lblState"));
    QFont large = lblState->font();
    large.setPointSize(large.pointSize() + 6);
    large.setBold(true);
    lblState->setFont(large);

    tabGeneral = new QTabWidget(this);
    tabGeneral->setObjectName(QStringLiteral("tabGeneral"));
    static const char* const gridNames[] = {"vsLoans", "vsHistory", "vsDebts"};
    for (int grid = 0; grid < GeneralInfo::GridCount; ++grid) {
        auto* model = new InfoTableModel(this);
        model->setTable(GeneralInfo::gridCaptions(GeneralInfo::Grid(grid)), {});
        tabGeneral->addTab(InfoWindow::makeGrid(gridNames[grid], model, tabGeneral),
                           GeneralInfo::gridTitle(GeneralInfo::Grid(grid)));
        m_grids.append(model);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblState);
    layout->addLayout(fields);
    layout->addWidget(tabGeneral, 1);
}

void frmGeneralInfo::clear()
{
    for (QLineEdit* box : std::as_const(m_fields))
        box->clear();
    lblState->clear();
    for (int grid = 0; grid < m_grids.size(); ++grid)
        m_grids.at(grid)->setTable(GeneralInfo::gridCaptions(GeneralInfo::Grid(grid)), {});
}

int frmGeneralInfo::frmGeneralInfoSet(const QString& certId, const QString& barcode)
{
    clear();
    QString rest;
    if (GeneralCert::ask(GeneralCert::Lookup::Certificate, barcode.isEmpty() ? certId : barcode, rest) != 0)
        return -1;
    const GeneralCert::Record record = GeneralCert::Record::fromReply(rest);
    for (int i = 0; i < m_fields.size() && i < record.fields.size(); ++i)
        m_fields.at(i)->setText(record.fields.at(i));
    m_fields.value(1)->setText(record.stateText());
    lblState->setText(record.stateText());

    if (GeneralCert::ask(GeneralCert::Lookup::Reader, record.certId(), rest) != 0)
        return -1;
    const QList<QList<QStringList>> rows = GeneralInfo::gridRows(rest);
    for (int grid = 0; grid < m_grids.size(); ++grid)
        m_grids.at(grid)->setTable(GeneralInfo::gridCaptions(GeneralInfo::Grid(grid)), rows.value(grid));
    return 0;
}

void frmGeneralInfo::open(QWidget* parent, const QString& certId, const QString& barcode)
{
    frmGeneralInfo window(parent);
    window.frmGeneralInfoSet(certId, barcode);
    window.exec();
}
