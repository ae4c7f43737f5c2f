// The desk window's command dispatch: a menu item or toolbar button delivers its id, the first
// matching entry runs. An entry without an action belongs to a window that does not exist yet.
#include "barcoderules.h"
#include "codes/codetables.h"
#include "db/messages.h"
#include "frmBarReadRule.h"
#include "frmDataType.h"
#include "frmReadMain.h"
#include "frmRedrValid.h"
#include "startup/applicationtitle.h"
#include "startup/desksettings.h"
#include "startup/desksettingsvalue.h"
#include "startup/environment.h"
#include "startup/frmCircLogo.h"
#include "startup/frmReadSet.h"
#include "stats/frmLt3Log.h"
#include "stats/frmdelRecord.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QUrl>
#include <functional>

namespace {

struct Command
{
    const char* id;
    std::function<void(frmReadMain&)> run; // empty: the command's window does not exist yet
};

} // namespace

void frmReadMain::runMenuCommand(const QString& id)
{
    // Declared inside the member so that the entries may reach the window's private parts.
    static const Command commands[] = {
        {"mnuReadBook", [](frmReadMain& w) { w.selectMode(DeskMode::BookCounting); }},
        {"mnuReadReader", [](frmReadMain& w) { w.selectMode(DeskMode::ReaderCheckIn); }},
        {"mnuReadReaderBook", [](frmReadMain& w) { w.selectMode(DeskMode::ReaderBookRegistration); }},
        {"mnuCopyLend",
         [](frmReadMain& w) {
             if (w.copyLendAvailable())
                 w.selectMode(DeskMode::CopyLending);
         }},
        {"mnuCheck", [](frmReadMain& w) { w.enterMode(DeskMode::IdentityCheck); }},
        {"mnuCopyRet",
         [](frmReadMain& w) {
             if (w.copyLendAvailable())
                 w.enterMode(DeskMode::CopyReturn);
         }},
        {"mnuCopyFine", {}}, // overdue-fine window frmLendFine (needs copy lending and DealFine)
        {"mnuReJoin", [](frmReadMain& w) { w.reLogin(); }},
        {"mnuExit", [](frmReadMain& w) { w.close(); }},
        {"mnuRedrInfo", {}}, // reader detail window frmRedrDetail for the current card
        {"mnuRedrValide", [](frmReadMain& w) { w.openLocalReaders(); }},
        {"mnuReadSet", [](frmReadMain& w) { w.openSettings(); }},
        {"mnuBarReadRule", [](frmReadMain& w) { w.openBarcodeRules(); }},
        {"mnuReconn", {}}, // campus-card interface: none is configured in this build
        {"mnuLt3Log", [](frmReadMain& w) { w.openReadingLog(); }},
        {"mnuInfoSeekBook", {}},   // item information frmBookInfo for the current item
        {"mnuInfoSeekReader", {}}, // reader information frmRedrInfo for the reader's valid card
        {"mnuInfoImport", [](frmReadMain& w) { w.startImport(); }},
        {"mnuDelrecord", [](frmReadMain& w) { w.openPurge(); }},
        {"mnuInfoReaderStat", {}}, // statistics windows
        {"mnuInfoBookStat", {}},
        {"mnuRedrStat", {}},
        {"mnuBookStat", {}},
        {"mnuRedrCount", {}},
        {"mnuUsingStat", {}},
        {"mnuReadUseRate", {}},
        {"mnuStatJob", {}},    // workload statistics frmStatJob
        {"mnuFindText", {}},   // find text in the active grid
        {"mnuToolTheme", {}},  // theme manager
        {"mnuToolAddins", {}}, // add-in manager
        {"mnuToolNews", {}},   // message centre
        {"mnuToolFeedback", {}},
        {"mnuToolUpgrade", {}}, // online update for "lt3"
        {"mnuToolIIC", {}},
        {"mnuHelpContents", [](frmReadMain& w) { w.showHelpContents(); }},
        {"mnuLastUpdating", {}}, // release notes frmLastUpdating
        {"mnuHelpAbout", [](frmReadMain& w) { w.showAbout(); }},
        {"mnuTavornWeb", [](frmReadMain& w) { w.openMakerPage(QStringLiteral("TavornWeb")); }},
        {"mnuTavornBBS", [](frmReadMain& w) { w.openMakerPage(QStringLiteral("TavornBBS")); }},
        {"mnuHelpChat", [](frmReadMain& w) { w.startChat(); }},
    };
    for (const Command& command : commands) {
        if (id == QLatin1String(command.id)) {
            if (command.run)
                command.run(*this);
            syncModeChecks();
            return;
        }
    }
    // Call site (add-ins): other ids go to the add-in layer for "%frmMain%\%MainMenu%", "MenuItem".
    syncModeChecks();
}

void frmReadMain::runToolbarCommand(const QString& id)
{
    static const QMap<QString, DeskMode> modes{
        {QStringLiteral("ReadBook"), DeskMode::BookCounting},
        {QStringLiteral("ReadReader"), DeskMode::ReaderCheckIn},
        {QStringLiteral("ReadReaderBook"), DeskMode::ReaderBookRegistration},
        {QStringLiteral("Check"), DeskMode::IdentityCheck},
        {QStringLiteral("CopyLend"), DeskMode::CopyLending}};
    if (modes.contains(id))
        enterMode(modes.value(id));
    // Call site (add-ins): other ids go to the add-in layer for "%frmMain%\%Toolbar%\Standard".
    syncModeChecks();
}

void frmReadMain::selectMode(DeskMode mode)
{
    m_desk.fineReader.clear();
    enterMode(mode);
}

void frmReadMain::copyToggle()
{
    if (m_desk.mode == DeskMode::CopyLending)
        enterMode(DeskMode::CopyReturn);
    else
        selectMode(DeskMode::CopyLending);
}

void frmReadMain::openSettings()
{
    QStringList ruleNumbers;
    const ResultTable& rules = LIB_CodeTable(CodeTable::CircRules);
    for (int row = 2; row < rules.recordCount() + 2; ++row)
        ruleNumbers << rules.text(0, row);
    frmReadSet settings(DeskSettings::current(), ruleNumbers, this);
    connect(&settings, &frmReadSet::copyLendCommandsVisible, this, &frmReadMain::setCopyLendAvailable);
    settings.exec();
    m_menuItems.value(QStringLiteral("mnuReconn"))->setEnabled(DeskSettings::current().campusCardInUse());
    applyGridFont();
}

void frmReadMain::openBarcodeRules()
{
    frmBarReadRule rules(BarcodeReadRules::current(), this);
    rules.exec();
}

void frmReadMain::openLocalReaders()
{
    frmRedrValid readers(this);
    readers.exec();
}

void frmReadMain::openReadingLog()
{
    // Modeless, one window: a second command brings the open one forward (a closed one is
    // being released).
    frmLt3Log* log = nullptr;
    for (frmLt3Log* open : findChildren<frmLt3Log*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (open->isVisible())
            log = open;
    }
    if (!log) {
        log = new frmLt3Log(this);
        log->setAttribute(Qt::WA_DeleteOnClose);
    }
    log->show();
    log->raise();
    log->activateWindow();
}

void frmReadMain::openPurge()
{
    frmdelRecord purge(int(m_desk.mode), this);
    purge.exec();
}

void frmReadMain::showAbout()
{
    frmCircLogo about(nullptr, this);
    about.SetMode(frmCircLogo::aboutLayout());
    about.exec();
}

void frmReadMain::showHelpContents()
{
    // The desk ships no help file.
    LIB_ShowMsg(QStringLiteral("I无法显示帮助目录，该工程没有相关联的帮助。"));
}

void frmReadMain::openMakerPage(const QString& settingKey)
{
    // The addresses are configured in the desk's settings section; without one nothing opens.
    const QString address = openSettingsSection(LIB_ApplicationTitle(), QStringLiteral("Settings"))
                                ->value(settingKey)
                                .toString()
                                .trimmed();
    if (!address.isEmpty())
        QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

void frmReadMain::startChat()
{
    const QString parameter = QStringLiteral("<PARAM><ID>") + LIB_GetEnv(4).toString() +
                              QStringLiteral("</ID><PASSWORD>") + LIB_GetEnv(5).toString() +
                              QStringLiteral("</PASSWORD><MODULE>G</MODULE></PARAM>");
    // A chat program that cannot be started is passed over.
    QProcess::startDetached(Environment::instance().programDirectory() + QStringLiteral("Chat/Chat.exe"),
                            {parameter});
}

void frmReadMain::startImport()
{
    frmDataType format(this);
    if (format.exec() != QDialog::Accepted)
        return;
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("条码导入"), QString(),
                                                      QStringLiteral("文本文件(*.txt)"));
    if (path.isEmpty())
        return;
    importBarcodes(path, format.separator());
}
