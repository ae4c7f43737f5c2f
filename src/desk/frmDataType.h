#pragma once

#include <QDialog>

class QLineEdit;
class QRadioButton;

// "数据导入格式选择": how a barcode import file separates its codes, by a separator text or one
// code per line. Accepted only with a usable choice; an empty separator ends the import.
class frmDataType : public QDialog
{
    Q_OBJECT
public:
    explicit frmDataType(QWidget* parent = nullptr);

    // The chosen separator; empty for one code per line.
    QString separator() const { return m_separator; }

public Q_SLOTS:
    void accept() override;

private:
    QRadioButton* optSeparator = nullptr;
    QRadioButton* optLine = nullptr;
    QLineEdit* txtSeparator = nullptr;
    QString m_separator;
};
