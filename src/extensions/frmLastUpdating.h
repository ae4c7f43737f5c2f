#pragma once

#include "updatenotes.h"

#include <QDialog>

class QAction;
class QLabel;
class QTreeWidget;

// "最新更新": the notes of the installed updates, grouped by release, by date or by catalog, with
// font zoom and a command that opens the notes folder. The opener sets m_Signature and UpgradeURL
// and shows the window modally; the notes are read when it first shows.
class frmLastUpdating : public QDialog
{
    Q_OBJECT
public:
    explicit frmLastUpdating(QWidget* parent = nullptr);

    QString m_Signature; // the signature the notes must carry
    QString UpgradeURL;  // the notes folder

    // Reads the notes and lists them. true once every file of the folder has been read.
    bool LoadUpdatings(const QString& strPath, const QString& strSignature);

    // The desk's own notes: signature "zq.tavorn.lt3", folder Update/流通阅览 of the program directory.
    static void showDeskNotes(QWidget* parent);

    void setGrouping(UpdateNotes::Grouping grouping);
    void zoom(int steps);
    void openFolder();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fill();
    void showDescription();

    UpdateNotes m_notes;
    UpdateNotes::Grouping m_grouping = UpdateNotes::Grouping::Release;
    bool m_loaded = false;
    QTreeWidget* tvwUpdating = nullptr;
    QLabel* lblDescript = nullptr;
    QList<QAction*> m_groupings;
};
