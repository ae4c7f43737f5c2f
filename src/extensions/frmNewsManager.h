#pragma once

#include <QDialog>

class NewsCheck;
class NewsListModel;
class QLabel;
class QPushButton;
class QTableView;
class QTextBrowser;
class QTimer;

// "消息管理中心": the stored messages of the supplier's message service. A message is shown when
// it becomes current (text in the browser, a link opened, a web page from its local copy) and is
// marked read after a short delay; ticked messages are deleted; "检查新消息" asks the channels.
class frmNewsManager : public QDialog
{
    Q_OBJECT
public:
    explicit frmNewsManager(const QString& programDirectory, QWidget* parent = nullptr);
    ~frmNewsManager() override;

    NewsCheck& check() { return *m_check; }
    void checkNow();
    void deleteMessages();

    int readDelayMs = 1500;

protected:
    void reject() override;

private:
    bool mayClose();
    void reload();
    void showCurrent();
    void markShownRead();
    void showProgress(const QString& key);

    NewsListModel* m_model = nullptr;
    NewsCheck* m_check = nullptr;
    QString m_shownId;
    QTimer* m_readTimer = nullptr;

    QTableView* vsNews = nullptr;
    QTextBrowser* webNews = nullptr;
    QLabel* lblState = nullptr;
    QPushButton* cmdCheck = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdClose = nullptr;
};
