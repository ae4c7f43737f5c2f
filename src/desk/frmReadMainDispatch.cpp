// The desk window's command dispatch: a menu item or toolbar button delivers its id, the first
// matching entry runs. An entry without an action belongs to a window that does not exist yet.
#include "barcoderules.h"
#include "campuscard.h"
#include "codes/codetables.h"
#include "db/messages.h"
#include "extensions/deskextensions.h"
#include "extensions/helpcontents.h"
#include "frmBarReadRule.h"
#include "frmDataType.h"
#include "frmLendFine.h"
#include "frmReadMain.h"
#include "frmRedrValid.h"
#include "startup/applicationtitle.h"
#include "startup/desksettings.h"
#include "startup/desksettingsvalue.h"
#include "startup/environment.h"
#include "startup/frmCircLogo.h"
#include "startup/frmReadSet.h"
#include "stats/FrmBookTop.h"
#include "stats/FrmLendRate.h"
#include "stats/frmLt3Log.h"
#include "stats/frmRead_BookStat.h"
#include "stats/frmRedrCount.h"
#include "stats/frmRedrLendCount.h"
#include "stats/frmRedrStat.h"
#include "stats/frmStatJob.h"
#include "stats/frmUsingStat.h"
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
        {"mnuCopyFine",
         [](frmReadMain& w) {
             if (w.copyLendAvailable())
                 frmLendFine::openFromMenu(w.m_desk, &w);
         }},
        {"mnuReJoin", [](frmReadMain& w) { w.reLogin(); }},
        {"mnuExit", [](frmReadMain& w) { w.close(); }},
        {"mnuRedrInfo", [](frmReadMain& w) { w.openReaderDetail(); }},
        {"mnuRedrValide", [](frmReadMain& w) { w.openLocalReaders(); }},
        {"mnuReadSet", [](frmReadMain& w) { w.openSettings(); }},
        {"mnuBarReadRule", [](frmReadMain& w) { w.openBarcodeRules(); }},
        {"mnuReconn", [](frmReadMain&) { LIB_CreateCampusCard(); }},
        {"mnuLt3Log", [](frmReadMain& w) { w.openReadingLog(); }},
        {"mnuInfoSeekBook", [](frmReadMain& w) { w.openItemInformation(); }},
        {"mnuInfoSeekReader", [](frmReadMain& w) { w.openReaderInformation(); }},
        {"mnuInfoImport", [](frmReadMain& w) { w.startImport(); }},
        {"mnuDelrecord", [](frmReadMain& w) { w.openPurge(); }},
        {"mnuInfoReaderStat", // statistics windows
         [](frmReadMain& w) {
             frmRedrLendCount window(w.m_desk.mode == DeskMode::ReaderCheckIn, &w);
             window.exec();
         }},
        {"mnuInfoBookStat",
         [](frmReadMain& w) {
             frmRead_BookStat window(w.m_desk.mode == DeskMode::ReaderBookRegistration, &w);
             window.exec();
         }},
        {"mnuRedrStat",
         [](frmReadMain& w) {
             frmRedrStat window(&w);
             window.exec();
         }},
        {"mnuBookStat",
         [](frmReadMain& w) {
             FrmBookTop window(w.m_desk.mode == DeskMode::BookCounting, &w);
             window.exec();
         }},
        {"mnuRedrCount",
         [](frmReadMain& w) {
             frmRedrCount window(w.m_desk.mode == DeskMode::ReaderCheckIn, &w);
             window.exec();
         }},
        {"mnuUsingStat", // modeless
         [](frmReadMain& w) {
             auto* window = new frmUsingStat(w.m_desk.mode == DeskMode::BookCounting, &w);
             window->setAttribute(Qt::WA_DeleteOnClose);
             window->show();
         }},
        {"mnuReadUseRate",
         [](frmReadMain& w) {
             FrmLendRate window(w.m_desk.mode == DeskMode::BookCounting, &w);
             window.exec();
         }},
        {"mnuStatJob",
         [](frmReadMain& w) {
             frmStatJob window(QStringLiteral("4%"), &w); // the job types of this module
             window.exec();
         }},
        {"mnuFindText", [](frmReadMain& w) { w.m_extensions->openFindText(); }},
        {"mnuToolTheme", [](frmReadMain& w) { w.m_extensions->openThemeManager(); }},
        {"mnuToolAddins", [](frmReadMain& w) { w.m_extensions->openAddinManager(); }},
        {"mnuToolNews", [](frmReadMain& w) { w.m_extensions->openNewsManager(); }},
        {"mnuToolFeedback", {}},
        {"mnuToolUpgrade", [](frmReadMain& w) { w.m_extensions->startLiveUpdate(QStringLiteral("lt3")); }},
        {"mnuToolIIC", {}},
        {"mnuHelpContents", [](frmReadMain& w) { w.showHelpContents(); }},
        {"mnuLastUpdating", [](frmReadMain& w) { w.m_extensions->openUpdateNotes(); }},
        {"mnuHelpAbout", [](frmReadMain& w) { w.showAbout(); }},
        {"mnuTavornWeb", [](frmReadMain& w) { w.openMakerPage(QStringLiteral("TavornWeb")); }},
        {"mnuTavornBBS", [](frmReadMain& w) { w.openMakerPage(QStringLiteral("TavornBBS")); }},
        {"mnuHelpChat", [](frmReadMain& w) { w.startChat(); }},
    };
    if (refusedWhileOffline(id))
        return;
    for (const Command& command : commands) {
        if (id == QLatin1String(command.id)) {
            if (command.run)
                command.run(*this);
            syncModeChecks();
            return;
        }
    }
    // Other ids belong to the add-ins' menu items.
    m_extensions->runMenuCommand(id);
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
    else // the add-ins' toolbar items
        m_extensions->runToolbarCommand(id);
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
    LIB_ShowHelpContents(); // the desk ships no help file
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
