#include "frmReadSet.h"

#include "desksettings.h"
#include "desksettingschoices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace DeskSettingsChoices;

namespace {

std::optional<QFont> fontFromDialog(const QFont& current, QWidget* parent)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, current, parent, QStringLiteral("字体"));
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

int checkValue(const QCheckBox* box)
{
    return box->isChecked() ? 1 : 0;
}

} // namespace

frmReadSet::frmReadSet(DeskSettings& settings, const QStringList& circulationRuleNumbers, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_chooseFont(fontFromDialog)
{
    setObjectName(QStringLiteral("frmReadSet"));
    setWindowTitle(QStringLiteral("系统参数设置"));

    auto* groups = new QTabWidget;
    groups->setObjectName(QStringLiteral("tabGroups"));
    groups->addTab(buildReadingModePage(), QStringLiteral("阅览方式选择"));
    groups->addTab(buildReaderPage(), QStringLiteral("阅览读者设置"));
    groups->addTab(buildFinePage(), QStringLiteral("罚款方式"));
    groups->addTab(buildCopyLendPage(circulationRuleNumbers), QStringLiteral("复印外借"));
    groups->addTab(buildDisplayPage(), QStringLiteral("显示参数"));

    // The button box belongs to the window before its default is set: a default button the window
    // does not know of is passed over, and Enter in a box would press the first button shown.
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("退出"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cmdExit"));
    connect(buttons, &QDialogButtonBox::accepted, this, &frmReadSet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmReadSet::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(groups);
    layout->addWidget(buttons);
}

QCheckBox* frmReadSet::addCheckBox(QWidget* page, const char* name, const QString& caption, int value)
{
    auto* box = new QCheckBox(caption, page);
    box->setObjectName(QLatin1String(name));
    box->setChecked(value == 1);
    page->layout()->addWidget(box);
    return box;
}

QWidget* frmReadSet::buildReadingModePage()
{
    auto* page = new QWidget;
    new QVBoxLayout(page);
    const QStringList names = readingModeNames();
    for (int mode = 0; mode < names.size(); ++mode) {
        auto* option = new QRadioButton(names[mode], page);
        option->setObjectName(QStringLiteral("optReadChose%1").arg(mode));
        option->setChecked(mode == m_settings.readingMode);
        page->layout()->addWidget(option);
        m_readingModes.append(option);
    }
    return page;
}

QWidget* frmReadSet::buildReaderPage()
{
    auto* page = new QWidget;
    new QVBoxLayout(page);
    m_checkViolations =
        addCheckBox(page, "chkCheckVolt", QStringLiteral("检查读者违章信息"), m_settings.checkViolations);
    m_checkDebts =
        addCheckBox(page, "chkCheckFine", QStringLiteral("检查读者欠款信息"), m_settings.checkDebts);
    m_checkValidity =
        addCheckBox(page, "chkRedrIN", QStringLiteral("检查读者有效期"), m_settings.checkValidity);
    m_showPhoto = addCheckBox(page, "chkRedrPic", QStringLiteral("显示读者相片"), m_settings.showReaderPhoto);
    return page;
}

QWidget* frmReadSet::buildFinePage()
{
    auto* page = new QWidget;
    new QVBoxLayout(page);
    m_payMode = new QComboBox(page);
    m_payMode->setObjectName(QStringLiteral("cboPayMode"));
    m_payMode->addItems(payModeNames());
    m_payMode->setCurrentIndex(m_settings.payMode < m_payMode->count() ? m_settings.payMode : -1);
    page->layout()->addWidget(m_payMode);
    m_settleFines =
        addCheckBox(page, "chkDealFine", QStringLiteral("可处理超期罚款"), m_settings.settleFines);
    m_printNotice =
        addCheckBox(page, "chkPrtExceed", QStringLiteral("打印超期罚款单"), m_settings.printFineNotice);
    m_campusCard = addCheckBox(page, "chkCard", QStringLiteral("使用一卡通"), m_settings.campusCard);
    m_confirmWindow =
        addCheckBox(page, "chkWindow", QStringLiteral("刷卡罚款显示确认窗口"), m_settings.cardConfirmWindow);
    m_asksPassword =
        addCheckBox(page, "chkOutPut", QStringLiteral("刷卡时需要输入密码"), m_settings.cardAsksPassword);
    page->layout()->addWidget(new QLabel(QStringLiteral("免输入密码最大金额:"), page));
    m_passwordFreeAmount = new QLineEdit(m_settings.passwordFreeAmount, page);
    m_passwordFreeAmount->setObjectName(QStringLiteral("txtMaxMoney"));
    page->layout()->addWidget(m_passwordFreeAmount);
    m_accountChangeable =
        addCheckBox(page, "chkChgAcct", QStringLiteral("可以更改帐号"), m_settings.accountChangeable);

    // Decided once, for the mode shown when the window opens.
    const bool mayUseCard = payModeMayUseCard(m_settings.payMode);
    m_asksPassword->setEnabled(mayUseCard);
    m_passwordFreeAmount->setEnabled(mayUseCard);
    return page;
}

QWidget* frmReadSet::buildCopyLendPage(const QStringList& circulationRuleNumbers)
{
    auto* page = new QWidget;
    new QVBoxLayout(page);
    m_copyLend = addCheckBox(page, "chkCopyLend", QStringLiteral("使用复印外借功能"), m_settings.copyLend);
    page->layout()->addWidget(new QLabel(QStringLiteral("本地适用规则："), page));
    m_copyRule = new QComboBox(page);
    m_copyRule->setObjectName(QStringLiteral("cboCopyRule"));
    m_copyRule->addItems(copyRuleNumbers(circulationRuleNumbers));
    m_copyRule->setCurrentIndex(m_copyRule->findText(m_settings.copyLendRule));
    page->layout()->addWidget(m_copyRule);
    return page;
}

QWidget* frmReadSet::buildDisplayPage()
{
    auto* page = new QWidget;
    auto* layout = new QFormLayout(page);
    m_fontLabel = new QLabel(page);
    m_fontLabel->setObjectName(QStringLiteral("lblFont"));
    auto* change = new QPushButton(QStringLiteral("更改"), page);
    change->setObjectName(QStringLiteral("cmdFont"));
    auto* standard = new QPushButton(QStringLiteral("默认字体"), page);
    standard->setObjectName(QStringLiteral("cmdDefaultFont"));
    layout->addRow(QStringLiteral("使用字体"), m_fontLabel);
    layout->addRow(change, standard);
    for (QPushButton* button : {change, standard})
        button->setAutoDefault(false); // Enter confirms the window, never changes the font
    connect(change, &QPushButton::clicked, this, &frmReadSet::chooseFont);
    connect(standard, &QPushButton::clicked, this, [this] {
        m_settings.resetDisplayFont();
        showFont();
    });
    showFont();

    auto* marks = new QComboBox(page);
    marks->setObjectName(QStringLiteral("cboSubId"));
    const QList<int> codes = subfieldMarkCodes();
    for (int code : codes)
        marks->addItem(QString(QChar(code)), code);
    marks->setCurrentIndex(int(codes.indexOf(m_settings.subfieldMarkCode)));
    connect(marks, &QComboBox::activated, this,
            [this, marks](int index) { m_settings.subfieldMarkCode = marks->itemData(index).toInt(); });
    layout->addRow(QStringLiteral("子字段标识符"), marks);
    return page;
}

void frmReadSet::showFont()
{
    m_fontLabel->setText(fontLabel(m_settings.fontName, m_settings.fontSize));
    m_fontLabel->setFont(m_settings.displayFont());
}

void frmReadSet::chooseFont()
{
    if (const std::optional<QFont> font = m_chooseFont(m_settings.displayFont(), this)) {
        m_settings.setDisplayFont(*font);
        showFont();
    }
}

void frmReadSet::accept()
{
    DeskSettings& s = m_settings;
    s.checkViolations = checkValue(m_checkViolations);
    s.checkDebts = checkValue(m_checkDebts);
    s.checkValidity = checkValue(m_checkValidity);
    s.showReaderPhoto = checkValue(m_showPhoto);
    s.payMode = payModeFromName(m_payMode->currentText());
    s.settleFines = checkValue(m_settleFines);
    s.printFineNotice = checkValue(m_printNotice);
    s.campusCard = checkValue(m_campusCard);
    s.cardConfirmWindow = checkValue(m_confirmWindow);
    s.cardAsksPassword = checkValue(m_asksPassword);
    s.passwordFreeAmount = m_passwordFreeAmount->text();
    s.accountChangeable = checkValue(m_accountChangeable);
    s.copyLend = checkValue(m_copyLend);
    if (m_copyRule->currentIndex() >= 0) // no rule chosen: the stored rule stays
        s.copyLendRule = m_copyRule->currentText();
    for (int mode = 0; mode < m_readingModes.size(); ++mode) {
        if (m_readingModes[mode]->isChecked())
            s.readingMode = mode;
    }
    s.writeEditableSettings();
    Q_EMIT copyLendCommandsVisible(s.copyLendAvailable());
    QDialog::accept();
}
