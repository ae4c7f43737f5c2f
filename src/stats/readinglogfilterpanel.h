#pragma once

#include <QFrame>
#include <QStringList>

class QListWidget;

// The panel of a filter box of the log query: a multi-select list of names, each standing for
// a code, and "全选", "全不选", "确定", "取消". It lies over the window while open; the selection
// stays while the window lives.
class ReadingLogFilterPanel : public QFrame
{
    Q_OBJECT
public:
    // `emptyMessage` is shown by "确定" when nothing is selected.
    ReadingLogFilterPanel(const char* name, const QString& emptyMessage, QWidget* parent);

    void addEntry(const QString& text, const QString& code);
    QStringList selectedCodes() const; // in list order
    QListWidget* list() const { return m_list; }

Q_SIGNALS:
    void accepted();  // "确定" with a selection; the panel has closed
    void cancelled(); // "取消"; the panel has closed

private:
    void accept();

    QListWidget* m_list = nullptr;
    QString m_emptyMessage;
};
