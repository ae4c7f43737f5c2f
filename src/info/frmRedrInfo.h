#pragma once

#include <QMainWindow>
#include <QStringList>
#include <functional>

class InfoTableModel;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QTabBar;
class QTableView;
class QTableWidget;

// "读者信息查询": everything the library holds about one reader on fourteen tabs, the reader
// panel with the portrait above them, a query box that finds another reader.
class frmRedrInfo : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmRedrInfo(QWidget* parent = nullptr);

    // Shows a reader: the panel, the portrait and the current tab. An unknown reader leaves
    // everything empty.
    void frmRedrInfoSet(const QString& certId);
    QString certId() const { return m_certId; }
    QString cardBarcode() const { return m_panel.value(0); }

    // The general certificate window, when the program has one: opened modally for a reader.
    using GeneralInfoOpener =
        std::function<void(QWidget* parent, const QString& certId, const QString& barcode)>;
    static void setGeneralInfoOpener(GeneralInfoOpener opener);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildToolbar();
    void runQuery();
    void search();
    void openGeneral();
    void print();
    void loadCurrentTab();
    QString currentTabKey() const;

    QString m_certId;
    QStringList m_panel;
    bool m_backup = false; // the lending history tab shows the backup table

    QLineEdit* txtQuery = nullptr;
    QComboBox* cboQuery = nullptr;
    QTableWidget* vsRedr = nullptr;
    QLabel* imgPortrait = nullptr;
    QTabBar* tbsRedrInfo = nullptr;
    QTableView* vsInfo = nullptr;
    QLabel* lblHint = nullptr;
    QAction* m_general = nullptr;
    InfoTableModel* m_grid = nullptr;
};
