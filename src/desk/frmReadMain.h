#pragma once

#include "admission.h"
#include "deskcontext.h"
#include "startup/deskhandover.h"

#include <QMainWindow>
#include <QMap>
#include <memory>

class CopyGridModel;
class DeskGridModel;
class DeskExtensions;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;
class QTableWidget;
class QTimer;
class QToolBar;

// The desk's main window. Loaded hidden at start-up; the first login initialises and shows it.
// The window shows what the desk operations hand it and forwards the operator's scans and
// commands; its parts live in frmReadMain*.cpp (widgets, menus and dispatch, modes, scans,
// import).
class frmReadMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmReadMain(QWidget* parent = nullptr);
    ~frmReadMain() override;

    // The hidden main window of the start-up, and what the first login hands over to it.
    static std::unique_ptr<QWidget> createForStartup(DeskHandover& handover);
    DeskHandover handover();

    // Prepares the window for the logged-in operator. 0 when it can be shown.
    int pInitialize();

    // The status bar's operator text: system parameter 1, " - ", the worker number.
    QString operatorStatusText() const;

    DeskMode mode() const { return m_desk.mode; }
    const DeskContext& desk() const { return m_desk; }

    // Enters a reading mode (menu, toolbar, start setting, copy toggle, control codes, timer).
    void enterMode(DeskMode mode);

    // Runs the command of a menu item or a toolbar button by its id.
    void runMenuCommand(const QString& id);
    void runToolbarCommand(const QString& id);

    // Imports the codes of a file as if scanned (mode 0 counts books, mode 1 checks readers in).
    // An empty separator reads one code per line. Returns the number of codes processed.
    int importBarcodes(const QString& path, const QString& separator);
    bool importRunning() const { return m_importRunning; }

public Q_SLOTS:
    // Shows the login window modally; a successful login replaces the operator.
    void reLogin();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // frmReadMainWidgets.cpp
    void buildControls();
    QLineEdit* addScanBox(const char* name, const QString& placeholder);
    void applyGridFont();
    // frmReadMainMenus.cpp
    void buildMenus();
    void buildToolbar();
    QAction* addMenuItem(QMenu* menu, const char* id, const QString& caption, const QKeySequence& key = {},
                         bool check = false);
    void addSeparator(QMenu* menu, const char* id);
    void setCopyLendAvailable(bool available);
    bool copyLendAvailable() const;
    // frmReadMainDispatch.cpp
    void selectMode(DeskMode mode);
    void openSettings();
    void openBarcodeRules();
    void openLocalReaders();
    void openReadingLog();
    void openPurge();
    void showAbout();
    void showHelpContents();
    void openMakerPage(const QString& settingKey);
    void startChat();
    void startImport();
    void copyToggle();
    // frmReadMainModes.cpp
    void syncModeChecks();
    QLineEdit* firstScanBox(DeskMode mode) const;
    QTableView* resultGrid(DeskMode mode) const;
    // frmReadMainScans.cpp
    bool isScanBox(QObject* object) const;
    void scanBook();             // txtBokBar_code
    bool scanReader();           // txtRedrBarcode; true when a reader was listed or admitted
    void scanRegistrationBook(); // txtBar_code
    void scanLendingBook();      // txtLendBookBarCode
    void scanReturnBook();       // txtRetBookBarCode
    void endReader();
    void startInactivityTimer();
    void showAdmission(const AdmissionResult& result);
    void showPortrait(bool shown, const QString& path); // shown false or no path: the default picture
    bool countBook(const QString& code);
    void clearCheckBoxFocus();
    // frmReadMainInfo.cpp
    void connectInformationWindows();
    void openReaderDetail();
    void openReaderInformation();
    void openItemInformation();
    void openRowInformation(const QModelIndex& index);
    // frmReadMain.cpp
    void writeOperatorStatus();
    void takeControlCodes();

    DeskContext m_desk;
    ReaderAdmission m_admission;
    QString m_scannedCode;
    QString m_endReaderCode;  // first desk control code
    QString m_copyReturnCode; // second desk control code
    bool m_importRunning = false;
    bool m_closing = false;

    DeskExtensions* m_extensions = nullptr; // add-ins and themes

    QMap<QString, QAction*> m_menuItems;   // by id
    QMap<QString, QAction*> m_toolButtons; // by id
    QToolBar* tbToolbar = nullptr;
    QLabel* sbrOperator = nullptr;

    QLabel* imgBookInput = nullptr;
    QLabel* imgRedrInput = nullptr;
    QLabel* imgRead = nullptr;
    QLabel* imgLend = nullptr;
    QLabel* imgRet = nullptr;
    QLabel* imgReader = nullptr;
    QLineEdit* txtBokBar_code = nullptr;
    QLineEdit* txtRedrBarcode = nullptr;
    QLineEdit* txtBar_code = nullptr;
    QLineEdit* txtLendBookBarCode = nullptr;
    QLineEdit* txtRetBookBarCode = nullptr;
    QCheckBox* chkClear = nullptr;
    QPushButton* cmdCopyRet = nullptr;
    QTimer* tmrLendDelay = nullptr;
    QTableWidget* vsRedrInfo = nullptr;
    QTableWidget* vsBookInfo = nullptr;

    DeskGridModel* m_readers = nullptr;
    DeskGridModel* m_books = nullptr;
    DeskGridModel* m_readerBooks = nullptr;
    DeskGridModel* m_violations = nullptr;
    CopyGridModel* m_copyLoans = nullptr;
    CopyGridModel* m_copyReturns = nullptr;
    QTableView* vsReader = nullptr;
    QTableView* vsBook = nullptr;
    QTableView* vsRedrBook = nullptr;
    QTableView* vsVolt = nullptr;
    QTableView* vsCopyLend = nullptr;
    QTableView* vsCopyRet = nullptr;
};
