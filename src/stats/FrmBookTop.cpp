#include "FrmBookTop.h"

#include "db/messages.h"
#include "startup/formhelpers.h"
#include "statperiod.h"

#include <QComboBox>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>

FrmBookTop::FrmBookTop(bool bookCounting, QWidget* parent)
    : RankingWindow(RankingConditions::BookTop, bookCounting, QStringLiteral("阅览图书排行榜"), parent)
{
    setObjectName(QStringLiteral("FrmBookTop"));
    cboShowCount = makeNamed<QComboBox>(this, "cboShowCount");
    cboShowCount->addItems({QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("50"),
                            QStringLiteral("100"), QStringLiteral("[自定义]")});
    connect(cboShowCount, &QComboBox::activated, this, &FrmBookTop::countChosen);
    cboOrder = makeNamed<QComboBox>(this, "cboOrder");
    cboOrder->addItems({QStringLiteral("借阅次数"), QStringLiteral("借阅比率")});
    ownConditions->addRow(QStringLiteral("记录显示"), cboShowCount);
    ownConditions->addRow(QStringLiteral("排行方式"), cboOrder);
    lblHelp->setText(
        QStringLiteral(
            "指定借阅时间,按分类模板统计每类阅览次数排名前n位的图书,按\"借阅次数\"或者\"借阅比率\"排行.") +
        QStringLiteral("借阅次数:一种图书在某段时间内所有复本阅览次数之和.") +
        QStringLiteral("借阅比率:一种图书阅览次数与其复本数之比.") +
        QStringLiteral("记录显示:可任意选择排名前n条记录而不必重新统计."));
}

RankingConditions FrmBookTop::conditions() const
{
    RankingConditions c = RankingWindow::conditions();
    c.order = cboOrder->currentIndex() == 1 ? RankingConditions::ByRate : RankingConditions::ByReadings;
    return c;
}

void FrmBookTop::countChosen(int index)
{
    int count = LIB_LeadingNumber(cboShowCount->itemText(index));
    if (cboShowCount->itemText(index) == QStringLiteral("[自定义]")) {
        bool given = false;
        const QString answer =
            QInputDialog::getText(this, QStringLiteral("图书排行榜"),
                                  QStringLiteral("请输入将要显示的图书排行榜的前n条记录.") +
                                      QStringLiteral(" 如: 10,13,45,100 等数字"),
                                  QLineEdit::Normal, QString(), &given);
        if (!given)
            return;
        count = answer.trimmed().toInt(&given);
        if (!given || count <= 0) {
            LIB_ShowMsg(QStringLiteral("E条件输入不正确！"));
            return;
        }
    }
    m_shown = count;
    if (!m_hasRun)
        return;
    // Ranks beyond what the last run read need a new run; the others show at once.
    if (count > m_readLimit)
        runStatistics();
    else
        display();
}
