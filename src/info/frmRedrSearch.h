#pragma once

#include <QDialog>
#include <functional>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QTableWidget;
class ReaderSearchModel;

// "读者通用查询": finds readers by card barcode or certificate number ranges, by registration
// dates or by combined conditions, lists one row per card and hands back the chosen reader.
class frmRedrSearch : public QDialog
{
    Q_OBJECT
public:
    static constexpr int ConditionRows = 5;

    explicit frmRedrSearch(QWidget* parent = nullptr);

    // Fills the window for a quick-lookup kind and text (a combined prefix condition on the kind's
    // column) and runs the search.
    void setQuery(int kind, const QString& text);

    QString chosenBarcode() const { return m_barcode; }
    QString chosenCertId() const { return m_certId; }
    QString chosenState() const { return m_state; } // "注销", "挂失" or "有效"

    // The quick lookup of a host window: one reader found calls `show` with its certificate
    // number, several open this window over `host` and call `show` with the reader chosen there,
    // none shows the kind's message. Empty text does nothing.
    static void quickLookup(QWidget* host, int kind, const QString& typed,
                            const std::function<void(const QString& certId)>& show);

private:
    void buildConditionGrid();
    void fieldChosen(int row);
    void runQuery();
    void selectionChanged();
    void takeChosen();

    QRadioButton* optSel[4] = {};
    QRadioButton* optPrefix = nullptr;
    QRadioButton* optExact = nullptr;
    QLineEdit* txtFrom = nullptr;
    QLineEdit* txtTo = nullptr;
    QDateEdit* dtpFrom = nullptr;
    QDateEdit* dtpTo = nullptr;
    QTableWidget* spdRedrQuery = nullptr;
    QTableView* spdQueryResult = nullptr;
    ReaderSearchModel* m_results = nullptr;
    QLabel* lblCount = nullptr;
    QPushButton* cmdOK = nullptr;

    QString m_barcode;
    QString m_certId;
    QString m_state;
};
