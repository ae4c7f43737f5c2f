#pragma once

#include "localreadertypeslists.h"

#include <QDialog>

class QListWidget;
class QPushButton;

// "本地读者选择": chooses which reader types count as local readers of this reading room. OK
// rewrites the local reader types file and turns the local-reader check on.
class frmRedrValid : public QDialog
{
    Q_OBJECT

public:
    explicit frmRedrValid(QWidget* parent = nullptr);

private:
    void reload();
    void showLists();
    void changed();
    void setPending(bool pending);
    void makeSelectedLocal();
    void makeSelectedNonLocal();
    void save();
    void discard();

    LocalReaderTypeLists m_lists;
    QListWidget* lstUsetype = nullptr;  // local
    QListWidget* lstRedrtype = nullptr; // not local
    QPushButton* cmdSelectAll = nullptr;
    QPushButton* cmdUnselectAll = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};
