#pragma once

#include <QDialog>

class QComboBox;
class QDateEdit;
class QRadioButton;
class StatYearBox;
class frmTmpSetTemplate;

// "统计条件设定": the statistics conditions (period, location, template) for the session. Made
// once and hidden, not destroyed, so that the next opening shows the previous choices; OK
// writes StatConditions::current(), Cancel changes nothing.
class frmStatProp : public QDialog
{
    Q_OBJECT
public:
    // The dialog of the session (made and loaded at the first call).
    static frmStatProp& shared();

    explicit frmStatProp(QWidget* parent = nullptr);

public Q_SLOTS:
    void accept() override;

private:
    void load();
    void applyPeriodOption();
    void templateChosen(int index);

    QRadioButton* optRange = nullptr;
    QRadioButton* optMonth = nullptr;
    QRadioButton* optYear = nullptr;
    QDateEdit* dtpBegin = nullptr;
    QDateEdit* dtpEnd = nullptr;
    QComboBox* cboMonth = nullptr;
    StatYearBox* yearBox = nullptr;
    QComboBox* cboLocation = nullptr;
    QComboBox* cboTemplate = nullptr;
    frmTmpSetTemplate* m_oneOff = nullptr;
};
