#pragma once

#include <QDialog>

class QLineEdit;

// Asks for a MARC column: its title ("在此输入Marc子字段名：") and the field path for CN MARC
// and for US MARC records ("200a", "245a").
class frmFlexPrtNode : public QDialog
{
    Q_OBJECT

public:
    explicit frmFlexPrtNode(QWidget* parent = nullptr);

    QString heading() const;
    QString cnMarc() const;
    QString usMarc() const;

private:
    void updateOk();

    QLineEdit* txtName = nullptr;
    QLineEdit* txtCnMarc = nullptr;
    QLineEdit* txtUsMarc = nullptr;
    class QPushButton* cmdOK = nullptr;
};
