#pragma once

#include "barcoderuleslist.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class BarcodeReadRules;

// "读者条码读取规则": edits the barcode read rules. Works on its own list; only OK stores.
class frmBarReadRule : public QDialog
{
    Q_OBJECT

public:
    explicit frmBarReadRule(BarcodeReadRules& rules, QWidget* parent = nullptr);

public Q_SLOTS:
    void accept() override;

private:
    void addRule();
    void deleteRule();
    void showRules();

    BarcodeReadRules& m_rules;
    BarcodeRuleList m_list;
    QCheckBox* m_used = nullptr;
    QRadioButton* m_byPosition = nullptr;
    QRadioButton* m_bySeparator = nullptr;
    QLineEdit* m_start = nullptr;
    QLineEdit* m_length = nullptr;
    QListWidget* m_lines = nullptr;
};
