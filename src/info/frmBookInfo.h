#pragma once

#include <QMainWindow>

class BookHitsModel;
class InfoTableModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QTabBar;
class QTableView;

// "书刊信息查询": titles found by a search path (or the book search window) in a result list,
// and for the chosen title fifteen tabs of copies, loans, requests, processing and its MARC
// record.
class frmBookInfo : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmBookInfo(QWidget* parent = nullptr);

    // Lists one title and shows it.
    void showMarcRecord(const QString& marcRecNo);
    // Lists and shows the title of an item (by property number or barcode); nothing for an
    // unknown item.
    void showItem(const QString& propNo);
    void showItemBarcode(const QString& barcode);
    QString marcRecNo() const { return m_marcRecNo; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildToolbar();
    void runQuery();
    void openBookSearch();
    void listHits(const QStringList& marcRecNos);
    void listItem(const QString& statement);
    void showRow(int row);
    void print();
    void loadCurrentTab();
    QString currentTabKey() const;

    QString m_marcRecNo;
    bool m_backup = false;

    QComboBox* cboPath = nullptr;
    QComboBox* cboOper = nullptr;
    QLineEdit* txtQuery = nullptr;
    QTableView* vsBookLst = nullptr;
    BookHitsModel* m_hits = nullptr;
    QLabel* lblRecNum = nullptr;
    QTabBar* tbsBookInfo = nullptr;
    QTableView* vsInfo = nullptr;
    InfoTableModel* m_grid = nullptr;
    QLabel* lblHint = nullptr;
};
