#pragma once

#include <QDialog>
#include <QList>

class InfoTableModel;
class QLabel;
class QLineEdit;
class QTabWidget;

// "通用证信息": what the shared certificate service knows about a reader's card, its fields and
// state, and the reader's current loans, loan history and debts there.
class frmGeneralInfo : public QDialog
{
    Q_OBJECT
public:
    explicit frmGeneralInfo(QWidget* parent = nullptr);

    // Asks the service about the card (the reader's certificate number when the barcode is empty)
    // and fills the window. -1 after a failed lookup, whose message was shown; the fields stay empty.
    int frmGeneralInfoSet(const QString& certId, const QString& barcode);

    // The reader window's "General" button: the window, modal, for a reader.
    static void open(QWidget* parent, const QString& certId, const QString& barcode);

private:
    void clear();

    QList<QLineEdit*> m_fields;
    QLabel* lblState = nullptr;
    QTabWidget* tabGeneral = nullptr;
    QList<InfoTableModel*> m_grids;
};
